// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Settings.h"

#include <system_error>

#include "base/PaneFontSize.h"
#include "platform/Cp1250.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {

TBeall Beall;

namespace {

// Does a file (not a folder) exist at this Windows-1250 path?
bool SoundFileExists(const std::string& path) {
  if (path.empty()) return false;
  const std::string utf8 = cp1250::ToUtf8(path);
  const fs::path file(std::u8string(utf8.begin(), utf8.end()));
  std::error_code ec;
  return fs::exists(file, ec) && !fs::is_directory(file, ec);
}

std::string DefaultSoundFile(const fs::path& programDir) {
  return cp1250::FromUtf8(PathText(programDir / kDefaultSoundFileName));
}

// A size of no meaning (zero or negative) gives the default; any other is kept within the range
// the panes show. The interface font keeps to the same range.
int32_t FontSizeFrom(int32_t stored, int32_t fallback) {
  return stored < 1 ? fallback : ClampPaneFontSize(stored);
}

}  // namespace

void ReadSettings(const IniFile& ini, const fs::path& programDir, TBeall& beall) {
  const auto d = kDefaultsSection;
  beall.FullScreen = ini.ReadBool(d, "FullScreen", kDefaultFullScreen);
  beall.FontName = ini.ReadString(d, "FontName", kDefaultFontName);
  beall.FontSize = FontSizeFrom(ini.ReadInteger(d, "FontSize", kDefaultFontSize), kDefaultFontSize);
  beall.ScreenFontSize = FontSizeFrom(
      ini.ReadInteger(kScreenSection, "FontSize", kDefaultScreenFontSize), kDefaultScreenFontSize);
  beall.FontColor = ini.ReadInteger(d, "FontColor", kDefaultFontColor);
  beall.FontBold = ini.ReadBool(d, "FontBold", kDefaultFontBold);
  beall.FontItalic = ini.ReadBool(d, "FontItalic", kDefaultFontItalic);
  beall.FontUnderline = ini.ReadBool(d, "FontUnderline", kDefaultFontUnderline);
  beall.LastFile = ini.ReadString(d, "LastFile", "");
  beall.ActiveLineColor = ini.ReadInteger(d, "ActiveLineColor", kDefaultActiveLineColor);
  beall.SelectedColor = ini.ReadInteger(d, "SelectedColor", kDefaultSelectedColor);
  beall.BkColor = ini.ReadInteger(d, "BkColor", kDefaultBkColor);
  beall.LastPlayer = ini.ReadString(d, "LastPlayer", kDefaultLastPlayer);
  beall.Sound = ini.ReadBool(d, "Sound", kDefaultSound);
  beall.SoundFile = ini.ReadString(d, "SoundFile", DefaultSoundFile(programDir));

  if (!SoundFileExists(beall.SoundFile)) {
    beall.Sound = false;
    beall.SoundFile.clear();
  }
}

std::optional<std::string> SettingsPathText(const fs::path& path) {
  std::string text = cp1250::FromUtf8(PathText(path));
  if (PathFromText(cp1250::ToUtf8(text)) != path || !IniFile::KeepsValue(text)) {
    return std::nullopt;
  }
  return text;
}

void SetLastLesson(TBeall& beall, const fs::path& lesson) {
  if (std::optional<std::string> text = SettingsPathText(lesson)) {
    beall.LastFile = std::move(*text);
    beall.LastLesson.clear();
  } else {
    beall.LastLesson = lesson;
  }
}

fs::path LastLessonPath(const TBeall& beall) {
  if (!beall.LastLesson.empty()) return beall.LastLesson;
  return PathFromText(cp1250::ToUtf8(beall.LastFile));
}

PaneLook LookFromSettings(const TBeall& beall) {
  PaneLook look;
  look.FontName = beall.FontName;
  look.FontSize = beall.FontSize;
  look.FontColor = beall.FontColor;
  look.Bold = beall.FontBold;
  look.Italic = beall.FontItalic;
  look.Underline = beall.FontUnderline;
  look.StrikeOut = false;
  look.ActiveLineColor = beall.ActiveLineColor;
  look.SelectedColor = beall.SelectedColor;
  look.BkColor = beall.BkColor;
  return look;
}

bool ReadKeyboardShown(const IniFile& ini) {
  return ini.ReadBool(kKeyboardSection, "Lathato", false);
}

void WriteKeyboardShown(IniFile& ini, bool shown) {
  ini.WriteBool(kKeyboardSection, "Lathato", shown);
}

void WriteSettings(IniFile& ini, const TBeall& beall, const PaneLook& upperPane) {
  const auto d = kDefaultsSection;
  ini.WriteInteger(kScreenSection, "FontSize", beall.ScreenFontSize);

  ini.WriteString(d, "FontName", upperPane.FontName);
  ini.WriteInteger(d, "FontSize", upperPane.FontSize);
  ini.WriteInteger(d, "FontColor", upperPane.FontColor);

  ini.WriteBool(d, "FontBold", upperPane.Bold);
  ini.WriteBool(d, "FontItalic", upperPane.Italic);
  ini.WriteBool(d, "FontUnderline", upperPane.Underline);

  ini.WriteInteger(d, "ActiveLineColor", upperPane.ActiveLineColor);
  ini.WriteInteger(d, "SelectedColor", upperPane.SelectedColor);
  ini.WriteInteger(d, "BkColor", upperPane.BkColor);

  ini.WriteBool(d, "FullScreen", beall.FullScreen);
  ini.WriteString(d, "LastFile", beall.LastFile);
  ini.WriteString(d, "LastPlayer", beall.LastPlayer);
  ini.WriteBool(d, "Sound", beall.Sound);
  ini.WriteString(d, "SoundFile", beall.SoundFile);
}

}  // namespace pekto
