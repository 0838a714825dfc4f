// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Seged.h"

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

// openbox's frame: a 1-pixel border, a 20-pixel title bar and a 5-pixel handle at the bottom.
constexpr FrameMargins kOpenbox{1, 20, 1, 5};

TEST(FitToWorkArea, AWindowThatFitsFrameIncludedStaysAsItIs) {
  EXPECT_EQ(FitToWorkArea({10, 10, 774, 598}, kOpenbox, kScreen), (FormBounds{10, 10, 774, 598}));
  // Touching the right and bottom edges with the frame.
  EXPECT_EQ(FitToWorkArea({248, 143, 774, 600}, kOpenbox, kScreen),
            (FormBounds{248, 143, 774, 600}));
  EXPECT_EQ(FitToWorkArea({0, 0, 1022, 743}, kOpenbox, kScreen), (FormBounds{0, 0, 1022, 743}));
  // Without a frame the rules are those of ClampToWorkArea for what fits.
  EXPECT_EQ(FitToWorkArea({700, 10, 400, 200}, {}, kScreen), (FormBounds{624, 10, 400, 200}));
}

TEST(FitToWorkArea, TheFrameCountsAtTheRightAndBottomEdges) {
  // The client area alone would fit; with its frame the window is pulled in by the frame.
  EXPECT_EQ(FitToWorkArea({250, 144, 774, 600}, kOpenbox, kScreen),
            (FormBounds{248, 143, 774, 600}));
  // Past the right edge: back to 0, as ClampToWorkArea does.
  EXPECT_EQ(FitToWorkArea({1100, 900, 300, 200}, kOpenbox, kScreen), (FormBounds{0, 0, 300, 200}));
}

TEST(FitToWorkArea, AWindowAsLargeAsTheScreenGetsItsFrameInside) {
  // A saved size as large as the work area, or a full-screen request: the frame fills the work
  // area and the client area is the frame's inside.
  EXPECT_EQ(FitToWorkArea({0, 0, 1024, 768}, kOpenbox, kScreen), (FormBounds{0, 0, 1022, 743}));
  EXPECT_EQ(FitToWorkArea({10, 10, 5000, 5000}, kOpenbox, kScreen), (FormBounds{0, 0, 1022, 743}));
}

TEST(FitToWorkArea, NegativePositionsArePulledOntoTheWorkArea) {
  // A corner left of or above the screen would hide the title bar and the menus.
  EXPECT_EQ(FitToWorkArea({-99999999, 10, 774, 598}, kOpenbox, kScreen),
            (FormBounds{0, 10, 774, 598}));
  EXPECT_EQ(FitToWorkArea({10, -50, 774, 598}, kOpenbox, kScreen), (FormBounds{10, 0, 774, 598}));
  EXPECT_EQ(FitToWorkArea({-50, 10, 300, 200}, {}, kScreen), (FormBounds{0, 10, 300, 200}));
}

TEST(FitToWorkArea, TheWorkAreasLeftAndTopEdgesCount) {
  // A task bar on the left (60 wide) and one at the top (30 high).
  const WorkRect shifted{60, 30, 1024, 768};
  EXPECT_EQ(FitToWorkArea({10, 10, 300, 200}, kOpenbox, shifted), (FormBounds{60, 30, 300, 200}));
  EXPECT_EQ(FitToWorkArea({100, 50, 300, 200}, kOpenbox, shifted), (FormBounds{100, 50, 300, 200}));
  // Full screen beside the task bars: the frame fills exactly the work area.
  EXPECT_EQ(FitToWorkArea({60, 30, 964, 738}, kOpenbox, shifted), (FormBounds{60, 30, 962, 713}));
  // Wider than the work area: ClampToWorkArea puts it at 0, which is under the task bar.
  EXPECT_EQ(FitToWorkArea({10, 10, 2000, 2000}, kOpenbox, shifted), (FormBounds{60, 30, 962, 713}));
  // Reaching past the right edge and then pulled left onto the task bar: moved and narrowed.
  EXPECT_EQ(FitToWorkArea({500, 40, 990, 200}, kOpenbox, shifted), (FormBounds{60, 40, 962, 200}));
}

TEST(FitToWorkArea, ExtremeValuesDoNotOverflowAndKeepAClientArea) {
  EXPECT_EQ(FitToWorkArea({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kOpenbox, kScreen),
            (FormBounds{0, 0, 1022, 743}));
  EXPECT_EQ(FitToWorkArea({INT_MAX, INT_MAX, INT_MAX, INT_MAX}, kOpenbox, kScreen),
            (FormBounds{0, 0, 1022, 743}));
  EXPECT_EQ(FitToWorkArea({INT_MIN, INT_MAX, 300, 200}, kOpenbox, kScreen),
            (FormBounds{0, 0, 300, 200}));
  EXPECT_EQ(FitToWorkArea({10, 10, -5, 0}, kOpenbox, kScreen), (FormBounds{10, 10, 1, 1}));
  EXPECT_EQ(FitToWorkArea({10, 10, INT_MIN, INT_MIN}, kOpenbox, kScreen),
            (FormBounds{10, 10, 1, 1}));
}

TEST(FitToWorkArea, SavedResultsComeBackUnchanged) {
  // What a window was placed at is what it saves; fitting that again changes nothing.
  const WorkRect shifted{60, 30, 1024, 768};
  for (const FormBounds request :
       {FormBounds{-99999999, 99999999, 774, 598}, FormBounds{10, 10, 5000, 5000},
        FormBounds{1000, 700, 50, 50}, FormBounds{-20, -20, 1024, 768}}) {
    for (const WorkRect& area : {kScreen, shifted}) {
      const FormBounds placed = FitToWorkArea(request, kOpenbox, area);
      EXPECT_EQ(FitToWorkArea(placed, kOpenbox, area), placed);
      EXPECT_EQ(ClampToWorkArea(placed, area), placed);
    }
  }
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
