// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FileSizeLimit.h"
#include "TempDir.h"
#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

using test::FileSizeLimit;

// A folder name with a letter outside ASCII, so that paths go through the code-page conversion.
constexpr const char* kProgramFolderUtf8 = "Pekt\xC3\xB3";  // "Pektó"

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(programDir_); }

  TBeall Load() const {
    TBeall beall;
    ReadSettings(IniFile(iniPath_), programDir_, beall);
    return beall;
  }

  std::string FileText() const { return test::TempDir::Read(iniPath_); }

  // The path of a file in the program folder as Windows-1250 text, as the settings file holds it.
  std::string ProgramFileText(std::string_view name) const {
    return cp1250::FromUtf8(PathText(programDir_ / PathFromText(name)));
  }

  test::TempDir dir_;
  const fs::path programDir_ =
      dir_.Path() / fs::path(std::u8string(reinterpret_cast<const char8_t*>(kProgramFolderUtf8)));
  const fs::path iniPath_ = dir_ / "Pekto.ini";
};

// ---------------------------------------------------------------------------------------------
// Reading

TEST_F(SettingsTest, FirstStartWithoutSettingsFileGivesTheDefaults) {
  const TBeall beall = Load();
  EXPECT_FALSE(fs::exists(iniPath_));
  EXPECT_EQ(beall.ScreenFontSize, 9);
  EXPECT_FALSE(beall.FullScreen);
  EXPECT_EQ(beall.LastFile, "");
  EXPECT_EQ(beall.LastPlayer, "Pekto");
  EXPECT_FALSE(beall.Sound);
  EXPECT_EQ(beall.SoundFile, "") << "no default.wav beside the program";

  const PaneLook look = LookFromSettings(beall);
  EXPECT_EQ(look.FontName, "Courier New");
  EXPECT_EQ(look.FontSize, 14);
  EXPECT_EQ(look.FontColor, 0);
  EXPECT_TRUE(look.Bold);
  EXPECT_TRUE(look.Italic);
  EXPECT_TRUE(look.Underline);
  EXPECT_FALSE(look.StrikeOut);
  EXPECT_EQ(look.ActiveLineColor, 0xFFECD9);
  EXPECT_EQ(look.SelectedColor, 0x808080);
  EXPECT_EQ(look.BkColor, -16777211);
}

TEST_F(SettingsTest, DefaultWaveBesideTheProgramIsFoundButStaysOff) {
  std::ofstream(programDir_ / "default.wav") << "RIFF";
  const TBeall beall = Load();
  EXPECT_EQ(beall.SoundFile, ProgramFileText("default.wav"));
  EXPECT_NE(beall.SoundFile.find("Pekt\xF3"), std::string::npos) << "stored as Windows-1250";
  EXPECT_FALSE(beall.Sound);

  dir_.Write("Pekto.ini", "[Defaults]\r\nSound=1\r\n");
  const TBeall on = Load();
  EXPECT_TRUE(on.Sound);
  EXPECT_EQ(on.SoundFile, ProgramFileText("default.wav"));
}

TEST_F(SettingsTest, SoundFileThatIsGoneSwitchesTheSoundOff) {
  const std::string gone = cp1250::FromUtf8(PathText(dir_ / "gone.wav"));
  dir_.Write("Pekto.ini", "[Defaults]\r\nSound=1\r\nSoundFile=" + gone + "\r\n");
  TBeall beall = Load();
  EXPECT_FALSE(beall.Sound);
  EXPECT_EQ(beall.SoundFile, "");

  IniFile ini(iniPath_);
  WriteSettings(ini, beall, LookFromSettings(beall));
  const std::string text = FileText();
  EXPECT_NE(text.find("\r\nSound=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nSoundFile=\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("gone.wav"), std::string::npos) << text;
}

TEST_F(SettingsTest, SoundFileMustBeAnExistingFile) {
  fs::create_directory(dir_ / "folder.wav");
  dir_.Write("Pekto.ini", "[Defaults]\r\nSound=1\r\nSoundFile=" +
                              cp1250::FromUtf8(PathText(dir_ / "folder.wav")) + "\r\n");
  EXPECT_FALSE(Load().Sound) << "a folder is not a sound file";

  dir_.Write("Pekto.ini", "[Defaults]\r\nSound=1\r\nSoundFile=\r\n");
  std::ofstream(programDir_ / "default.wav") << "RIFF";
  const TBeall empty = Load();
  EXPECT_FALSE(empty.Sound) << "an empty SoundFile is kept empty, not the default";
  EXPECT_EQ(empty.SoundFile, "");

  // A file name outside ASCII: the Windows-1250 text names the UTF-8 file on disk.
  std::ofstream(programDir_ / fs::path(u8"hib\u00E1.wav")) << "RIFF";
  const std::string named = ProgramFileText("hib\xC3\xA1.wav");
  ASSERT_NE(named.find("hib\xE1.wav"), std::string::npos);
  dir_.Write("Pekto.ini", "[Defaults]\r\nSound=1\r\nSoundFile=\"" + named + "\"\r\n");
  const TBeall found = Load();
  EXPECT_TRUE(found.Sound);
  EXPECT_EQ(found.SoundFile, named);
}

TEST_F(SettingsTest, NumbersAndFlagsInEveryAcceptedForm) {
  dir_.Write("Pekto.ini",
             "[Defaults]\r\n"
             "FontSize=11\r\n"
             "BkColor=-16777211\r\n"
             "FontColor=$0000FF\r\n"
             "ActiveLineColor=0x0000FF\r\n"
             "SelectedColor=abc\r\n"
             "FontBold=2\r\n"
             "FontItalic=x\r\n"
             "FontUnderline=0\r\n"
             "FullScreen=1\r\n"
             "\r\n"
             "[Screen]\r\n"
             "FontSize=20\r\n");
  const TBeall beall = Load();
  EXPECT_EQ(beall.BkColor, kSystemWindowColor);
  EXPECT_EQ(beall.FontColor, 255);
  EXPECT_EQ(beall.ActiveLineColor, 255);
  EXPECT_EQ(beall.SelectedColor, kDefaultSelectedColor);
  EXPECT_TRUE(beall.FontBold);
  EXPECT_TRUE(beall.FontItalic) << "not a number: the default (true)";
  EXPECT_FALSE(beall.FontUnderline);
  EXPECT_TRUE(beall.FullScreen);
  EXPECT_EQ(beall.FontSize, 11);
  EXPECT_EQ(beall.ScreenFontSize, 20) << "used unchanged, whatever its range";

  dir_.Write("Pekto.ini", "[defaults]\r\nBKCOLOR=abc\r\nfontcolor=0x0000FF\r\n");
  const TBeall other = Load();
  EXPECT_EQ(other.BkColor, kSystemWindowColor);
  EXPECT_EQ(other.FontColor, 255);
  EXPECT_EQ(other.ScreenFontSize, 9);
  EXPECT_EQ(other.FontSize, 14);
}

// A pane font size of no meaning gives the default; one the panes cannot show usefully (an
// unreadable 1 point, or boxes at 100000) the nearest of 6 and 72 points.
TEST_F(SettingsTest, PaneFontSizesStayWithinWhatThePanesShow) {
  const std::pair<const char*, int32_t> cases[] = {
      {"-5", 14}, {"0", 14},  {"1", 6},       {"5", 6},           {"6", 6},
      {"72", 72}, {"73", 72}, {"100000", 72}, {"2147483647", 72}, {"-2147483648", 14}};
  for (const auto& [stored, expected] : cases) {
    dir_.Write("Pekto.ini", std::string("[Defaults]\r\nFontSize=") + stored + "\r\n");
    EXPECT_EQ(Load().FontSize, expected) << "FontSize=" << stored;
  }
  // The interface font the same way, with its own default.
  const std::pair<const char*, int32_t> screen[] = {
      {"-5", 9}, {"0", 9}, {"1", 6}, {"20", 20}, {"100000", 72}};
  for (const auto& [stored, expected] : screen) {
    dir_.Write("Pekto.ini", std::string("[Screen]\r\nFontSize=") + stored + "\r\n");
    EXPECT_EQ(Load().ScreenFontSize, expected) << "[Screen] FontSize=" << stored;
  }
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST_F(SettingsTest, FreshSettingsFileMatchesTheGoldenBytes) {
  dir_.Write("Pekto.ini", "");
  TBeall beall = Load();
  IniFile ini(iniPath_);
  WriteSettings(ini, beall, LookFromSettings(beall));
  const std::string golden = test::TempDir::Read(fs::path(PEKTO_GOLDEN_DIR) / "settings_fresh.ini");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(FileText(), golden);

  fs::remove(iniPath_);
  WriteSettings(ini, beall, LookFromSettings(beall));
  EXPECT_EQ(FileText(), golden) << "no file at all gives the same bytes";
}

TEST_F(SettingsTest, RoundTripKeepsEveryValue) {
  std::ofstream(programDir_ / "beep.wav") << "RIFF";
  TBeall beall;
  beall.ScreenFontSize = 10;
  beall.FullScreen = true;
  beall.FontName = "ignored on save";
  beall.LastFile = "C:\\Leck\xE9k\\\xE1rv\xEDz.lck";
  beall.LastPlayer = "  Kov\xE1\x63s \xC9va ";  // blanks stay inside quotes only
  beall.Sound = true;
  beall.SoundFile = ProgramFileText("beep.wav");
  PaneLook look;
  look.FontName = "Times New Roman";
  look.FontSize = 18;
  look.Bold = false;
  look.Italic = true;
  look.Underline = false;
  look.StrikeOut = true;
  look.FontColor = 0x123456;
  look.ActiveLineColor = -16777211;
  look.SelectedColor = 0;
  look.BkColor = 0xFFFFFF;

  IniFile ini(iniPath_);
  WriteSettings(ini, beall, look);
  const TBeall read = Load();
  EXPECT_EQ(read.ScreenFontSize, 10);
  EXPECT_TRUE(read.FullScreen);
  EXPECT_EQ(read.LastFile, beall.LastFile);
  EXPECT_EQ(read.LastPlayer, "Kov\xE1\x63s \xC9va") << "blanks around a value are not kept";
  EXPECT_TRUE(read.Sound);
  EXPECT_EQ(read.SoundFile, beall.SoundFile);

  const PaneLook back = LookFromSettings(read);
  EXPECT_EQ(back.FontName, "Times New Roman");
  EXPECT_EQ(back.FontSize, 18);
  EXPECT_FALSE(back.Bold);
  EXPECT_TRUE(back.Italic);
  EXPECT_FALSE(back.Underline);
  EXPECT_FALSE(back.StrikeOut) << "strike-out is not kept";
  EXPECT_EQ(back.FontColor, 0x123456);
  EXPECT_EQ(back.ActiveLineColor, -16777211);
  EXPECT_EQ(back.SelectedColor, 0);
  EXPECT_EQ(back.BkColor, 0xFFFFFF);
  EXPECT_NE(FileText().find("\r\nFontName=Times New Roman\r\n"), std::string::npos)
      << "the pane look, not the record's start-up look, is saved";
}

TEST_F(SettingsTest, SavingKeepsTheRestOfTheFileAndReplacesKeysInPlace) {
  const std::string placement = "[frm_Main]\r\nLeft=5\r\nTop=6\r\nWidth=700\r\nHeight=500\r\n";
  dir_.Write("Pekto.ini", placement +
                              "\r\n"
                              "[Defaults]\r\n"
                              "; chosen by hand\r\n"
                              "FontName=Arial\r\n"
                              "Custom=kept\r\n"
                              "\r\n"
                              "[Screen]\r\n"
                              "FontSize=20\r\n");
  TBeall beall = Load();
  IniFile ini(iniPath_);
  WriteSettings(ini, beall, LookFromSettings(beall));
  const std::string once = FileText();
  EXPECT_EQ(once.rfind(placement, 0), 0u) << once;
  EXPECT_NE(once.find("[Defaults]\r\n; chosen by hand\r\nFontName=Arial\r\nCustom=kept\r\n"
                      "FontSize=14\r\n"),
            std::string::npos)
      << once;
  EXPECT_NE(once.find("\r\n\r\n[Screen]\r\nFontSize=20\r\n"), std::string::npos) << once;
  EXPECT_EQ(once.find("FontName=", once.find("FontName=") + 1), std::string::npos)
      << "each key once";

  WriteSettings(ini, Load(), LookFromSettings(Load()));
  EXPECT_EQ(FileText(), once) << "a second save of the same values changes nothing";
}

TEST_F(SettingsTest, FirstFailingWriteStopsTheSave) {
  if (!FileSizeLimit::kAvailable) GTEST_SKIP() << test::kNoFileSizeLimit;
  const std::string golden = test::TempDir::Read(fs::path(PEKTO_GOLDEN_DIR) / "settings_fresh.ini");
  // Keys are appended in the order they are written, so the file after each key is a prefix of
  // the whole: allow exactly the bytes up to ActiveLineColor.
  const size_t cut = golden.find("ActiveLineColor=");
  ASSERT_NE(cut, std::string::npos);
  TBeall beall = Load();
  IniFile ini(iniPath_);
  std::string message;
  {
    const FileSizeLimit limit(cut);
    try {
      WriteSettings(ini, beall, LookFromSettings(beall));
    } catch (const Error& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message, "Unable to write to " + PathText(iniPath_));
  EXPECT_EQ(FileText(), golden.substr(0, cut)) << "earlier keys written, later ones not";
}

// The settings file keeps only a path that reads back as the same path.
TEST(SettingsPathTest, OnlyPathsThatReadBackAreStored) {
  EXPECT_EQ(SettingsPathText(PathFromText("/h/\xC3\xA1rv\xC3\xADz.lck")), "/h/\xE1rv\xEDz.lck");
  for (const char* bad :
       {"/h/\xD0\x9A\xD0\xB8\xD1\x80/a.lck", "/h/a\nb.lck", "/h/a.lck ", "'/h/a.lck'"}) {
    EXPECT_EQ(SettingsPathText(PathFromText(bad)), std::nullopt) << bad;
  }
#ifndef _WIN32
  EXPECT_EQ(SettingsPathText("/h/\xE1rv.lck"), std::nullopt);  // bytes that are no UTF-8
#endif
}

}  // namespace
}  // namespace pekto
