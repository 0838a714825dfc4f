// The keyboard file and its lookup.

#include "practice/Keyboard.h"

#include <gtest/gtest.h>

#include "platform/Cp1250.h"
#include "platform/Error.h"

namespace pekto {
namespace {

// Windows-1250 bytes of a UTF-8 text, and its first byte.
std::string B(std::string_view utf8) {
  return cp1250::FromUtf8(utf8);
}
unsigned char C(std::string_view utf8) {
  return static_cast<unsigned char>(B(utf8).at(0));
}

const Keyboard& Hungarian() {
  static const Keyboard keyboard = Keyboard::Load(PEKTO_KEYBOARD_FILE);
  return keyboard;
}

// ---- keyboard ----------------------------------------------------------------------------------

TEST(Keyboard, RowsAsOnAHungarianKeyboardWithoutGapsOrOverlaps) {
  std::vector<std::string> rows(5);
  std::vector<double> ends(5, 0.0);
  for (const KeyCap& key : Hungarian().Keys()) {
    ASSERT_LT(static_cast<size_t>(key.row), rows.size());
    EXPECT_DOUBLE_EQ(key.x, ends[key.row]) << "row " << key.row << " " << key.label;
    ends[key.row] = key.x + key.width;
    if (key.base) rows[key.row] += static_cast<char>(key.base->ch);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{B("0123456789öüó"), B("qwertzuiopőú"),
                                            B("asdfghjkléáű"), B("íyxcvbnm,.-"), " "}));
  EXPECT_EQ(ends, std::vector<double>(5, 15.0));
}

struct StrokeCase {
  const char* ch;
  Finger finger;
  const char* base;  // the key's own character
  bool shift, altGr;
};

class KeyboardFind : public testing::TestWithParam<StrokeCase> {};

TEST_P(KeyboardFind, KeyFingerAndModifier) {
  const StrokeCase& c = GetParam();
  const std::optional<KeyStroke> stroke = Hungarian().Find(C(c.ch));
  ASSERT_TRUE(stroke);
  EXPECT_EQ(stroke->key->finger, c.finger);
  EXPECT_EQ(stroke->key->base->ch, C(c.base));
  EXPECT_EQ(stroke->shift, c.shift);
  EXPECT_EQ(stroke->altGr, c.altGr);
}

INSTANTIATE_TEST_SUITE_P(Hungarian, KeyboardFind,
                         testing::Values(StrokeCase{"ő", Finger::RightLittle, "ő", false, false},
                                         StrokeCase{"Ű", Finger::RightLittle, "ű", true, false},
                                         StrokeCase{"0", Finger::LeftLittle, "0", false, false},
                                         StrokeCase{"í", Finger::LeftLittle, "í", false,
                                                    false},  // before AltGr+J
                                         StrokeCase{"f", Finger::LeftIndex, "f", false, false},
                                         StrokeCase{"6", Finger::RightIndex, "6", false, false},
                                         StrokeCase{"@", Finger::LeftIndex, "v", false, true},
                                         StrokeCase{"€", Finger::RightIndex, "u", false, true},
                                         StrokeCase{" ", Finger::Thumbs, " ", false, false}));

TEST(Keyboard, DeadKeysAndMissingCharactersAreNotFound) {
  EXPECT_FALSE(Hungarian().Find('~'));
  EXPECT_FALSE(Hungarian().Find(C("ˇ")));
  EXPECT_FALSE(Hungarian().Find(C("â")));
}

class KeyboardParse : public testing::TestWithParam<const char*> {};

TEST_P(KeyboardParse, BadLineNamesItsNumber) {
  const std::string text = std::string("# keys\n0 0 1 L5 a A --\n") + GetParam() + "\n";
  try {
    Keyboard::Parse(text);
    FAIL() << "parsed: " << GetParam();
  } catch (const DamagedFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("3. sor: ", 0), 0U) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, KeyboardParse,
                         testing::Values("0 1 1 L5 b B", "0 x 1 L5 b B --", "0 1 1 L6 b B --",
                                         "0 1 1 L5 bb B --", "0 1 0 L5 b B --", "0 1 1 L5 b B őő"));

}  // namespace
}  // namespace pekto
