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

}  // namespace
}  // namespace pekto
