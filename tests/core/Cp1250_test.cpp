// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Cp1250.h"

#include <gtest/gtest.h>

namespace pekto {
namespace {

TEST(Cp1250Test, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const char32_t c = cp1250::ToUnicode(static_cast<unsigned char>(b));
    const auto back = cp1250::FromUnicode(c);
    ASSERT_TRUE(back.has_value()) << b;
    EXPECT_EQ(*back, b);
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1250::FromUtf8(cp1250::ToUtf8(all)), all);
}

TEST(Cp1250Test, HungarianLettersAndForeignCharacters) {
  EXPECT_EQ(cp1250::ToUnicode(0xF5), U'\u0151');  // ő
  EXPECT_EQ(cp1250::ToUnicode(0xDB), U'\u0170');  // Ű
  EXPECT_EQ(cp1250::ToUnicode(0x80), U'\u20AC');  // €
  EXPECT_EQ(cp1250::FromUtf8("árvíztűrő tükörfúrógép"),
            "\xE1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p");
  EXPECT_EQ(cp1250::ToUtf8("\xC1RV\xCDZT\xDBR\xD5"), "ÁRVÍZTŰRŐ");
  EXPECT_EQ(cp1250::FromUtf8("ñ日"), "??");  // outside the code page
  EXPECT_EQ(cp1250::FromUtf8("a\xFF"
                             "b"),
            "a?b");                                          // malformed UTF-8
  EXPECT_FALSE(cp1250::FromUnicode(U'\u00F5').has_value());  // õ is not ő
}

TEST(Cp1250Test, LowerCaseOfEveryCapital) {
  int capitals = 0;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const unsigned char lower = cp1250::ToLower(byte);
    EXPECT_EQ(cp1250::ToLower(lower), lower) << b;
    if (lower == byte) continue;
    ++capitals;
    // Unicode puts the small letter 0x20 after an ASCII or Latin-1 capital and right after a
    // capital of Latin Extended-A.
    const char32_t from = cp1250::ToUnicode(byte), to = cp1250::ToUnicode(lower);
    EXPECT_EQ(to - from, from < 0x100 ? 0x20U : 1U) << b;
  }
  EXPECT_EQ(capitals, 26 + 40);
  EXPECT_EQ(cp1250::ToLower(0xD7), 0xD7);  // the multiplication sign
  EXPECT_TRUE(
      cp1250::EqualIgnoringCase("\xC1RV\xCDZT\xDBR\xD5 \x8A", "\xE1rv\xEDzt\xFBr\xF5 \x9A"));
  EXPECT_FALSE(cp1250::EqualIgnoringCase("\xC1", "a"));
  EXPECT_FALSE(cp1250::EqualIgnoringCase("ab", "a"));
}

}  // namespace
}  // namespace pekto
