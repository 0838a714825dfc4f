#include "app/Seged.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <ostream>
#include <string>

#include "TempDir.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {

// Shows bounds in failure messages.
void PrintTo(const FormBounds& b, std::ostream* os) {
  *os << "{" << b.Left << ", " << b.Top << ", " << b.Width << ", " << b.Height << "}";
}

namespace {

constexpr WorkRect kScreen{0, 0, 1024, 768};

TEST(ClampToWorkArea, HorizontalRules) {
  // Past the right edge: back to 0.
  EXPECT_EQ(ClampToWorkArea({1100, 10, 300, 200}, kScreen), (FormBounds{0, 10, 300, 200}));
  // Reaching past the right edge: pulled left.
  EXPECT_EQ(ClampToWorkArea({700, 10, 400, 200}, kScreen), (FormBounds{624, 10, 400, 200}));
  // Wider than the work area: at 0, as wide as the work area.
  EXPECT_EQ(ClampToWorkArea({10, 10, 1100, 200}, kScreen), (FormBounds{0, 10, 1024, 200}));
  EXPECT_EQ(ClampToWorkArea({10, 10, 1024, 200}, kScreen), (FormBounds{0, 10, 1024, 200}));
  // Both rules in turn.
  EXPECT_EQ(ClampToWorkArea({1100, 10, 1100, 200}, kScreen), (FormBounds{0, 10, 1024, 200}));
  // Negative positions stay; exact fits stay.
  EXPECT_EQ(ClampToWorkArea({-50, 10, 300, 200}, kScreen), (FormBounds{-50, 10, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({724, 10, 300, 200}, kScreen), (FormBounds{724, 10, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({1024, 10, 300, 200}, kScreen), (FormBounds{724, 10, 300, 200}));
}

TEST(ClampToWorkArea, VerticalRules) {
  EXPECT_EQ(ClampToWorkArea({10, 800, 300, 200}, kScreen), (FormBounds{10, 0, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({10, 500, 300, 400}, kScreen), (FormBounds{10, 368, 300, 400}));
  EXPECT_EQ(ClampToWorkArea({10, 10, 300, 900}, kScreen), (FormBounds{10, 0, 300, 768}));
  EXPECT_EQ(ClampToWorkArea({10, -50, 300, 200}, kScreen), (FormBounds{10, -50, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({10, 568, 300, 200}, kScreen), (FormBounds{10, 568, 300, 200}));
}

TEST(ClampToWorkArea, OnlyTheRightAndBottomEdgesCount) {
  // A work area beside a task bar on the left and top: its Left and Top are not looked at.
  const WorkRect shifted{200, 100, 1024, 768};
  EXPECT_EQ(ClampToWorkArea({10, 20, 300, 200}, shifted), (FormBounds{10, 20, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({700, 500, 400, 400}, shifted), (FormBounds{624, 368, 400, 400}));
  EXPECT_EQ(ClampToWorkArea({10, 10, 1100, 900}, shifted), (FormBounds{0, 0, 1024, 768}));
}

TEST(ClampToWorkArea, ExtremeSavedValuesDoNotOverflow) {
  EXPECT_EQ(ClampToWorkArea({1000, 700, INT_MAX, INT_MAX}, kScreen), (FormBounds{0, 0, 1024, 768}));
  EXPECT_EQ(ClampToWorkArea({INT_MAX, INT_MAX, 300, 200}, kScreen), (FormBounds{0, 0, 300, 200}));
  EXPECT_EQ(ClampToWorkArea({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kScreen),
            (FormBounds{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
}

class SegedTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  const fs::path iniPath_ = dir_ / "Pekto.ini";
};

TEST_F(SegedTest, WindowWithoutSectionOpensAt10With10ItsDesignSize) {
  const IniFile ini(iniPath_);
  EXPECT_EQ(LoadFormBounds(ini, "frm_Main", 774, 598, kScreen), (FormBounds{10, 10, 774, 598}));
  int32_t left = -1;
  int32_t top = -1;
  LoadFormPos(ini, "frm_Beallit", left, top);
  EXPECT_EQ(left, 10);
  EXPECT_EQ(top, 10);

  // The design size is clamped too when the work area is smaller.
  EXPECT_EQ(LoadFormBounds(ini, "frm_Main", 774, 598, WorkRect{0, 0, 640, 480}),
            (FormBounds{0, 0, 640, 480}));
}

TEST_F(SegedTest, SavedBoundsAreReadAndClamped) {
  dir_.Write("Pekto.ini",
             "[FRM_TOP10]\r\nleft=700\r\nTop=-20\r\nWidth=400\r\nHeight=$1F4\r\n"
             "[frm_Szerkeszt]\r\nLeft=1100\r\nTop=900\r\n"
             "[frm_Ertekel]\r\nLeft=5000\r\nTop=-30\r\n");
  const IniFile ini(iniPath_);
  EXPECT_EQ(LoadFormBounds(ini, "frm_Top10", 694, 510, kScreen), (FormBounds{624, -20, 400, 500}));
  EXPECT_EQ(LoadFormBounds(ini, "frm_Szerkeszt", 781, 522, kScreen), (FormBounds{0, 0, 781, 522}))
      << "missing Width and Height take the design size";
  int32_t left = 0;
  int32_t top = 0;
  LoadFormPos(ini, "frm_Ertekel", left, top);
  EXPECT_EQ(left, 5000) << "positions of fixed-size dialogs are not clamped";
  EXPECT_EQ(top, -30);
}

TEST_F(SegedTest, SavingWritesKeysInOrderAndReplacesThemLater) {
  IniFile ini(iniPath_);
  SaveFormBounds(ini, "frm_Main", {-4, -4, 1032, 776});
  SaveFormPos(ini, "frm_Beallit", 120, 80);
  EXPECT_EQ(test::TempDir::Read(iniPath_),
            "[frm_Main]\r\nLeft=-4\r\nTop=-4\r\nWidth=1032\r\nHeight=776\r\n"
            "\r\n"
            "[frm_Beallit]\r\nLeft=120\r\nTop=80\r\n");

  SaveFormBounds(ini, "frm_Main", {10, 20, 700, 500});
  EXPECT_EQ(test::TempDir::Read(iniPath_),
            "[frm_Main]\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n"
            "\r\n"
            "[frm_Beallit]\r\nLeft=120\r\nTop=80\r\n");
  EXPECT_EQ(LoadFormBounds(ini, "frm_Main", 774, 598, kScreen), (FormBounds{10, 20, 700, 500}));
}

TEST_F(SegedTest, SaveFailureNamesTheSettingsFile) {
  dir_.Write("file", "x");
  const fs::path blocked = dir_ / "file" / "Pekto.ini";
  IniFile ini(blocked);
  try {
    SaveFormPos(ini, "frm_Jatekos", 1, 2);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + PathText(blocked));
  }
}

}  // namespace
}  // namespace pekto
