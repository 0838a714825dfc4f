// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings record: the user's preferences for the whole run, read from the settings file
// when the main window is created and written back when it closes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ColorValues.h"
#include "platform/IniFile.h"

namespace pekto {

// Strings are Windows-1250 bytes; colours are signed 32-bit values with red in the low byte,
// negative values naming system colours.
struct TBeall {
  int32_t ScreenFontSize = 0;  // interface font size, points
  bool FullScreen = false;
  std::string FontName;  // the pane look as read at start (the panes hold the live look)
  int32_t FontSize = 0;
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  int32_t FontColor = 0;
  std::string LastFile;  // full path of the lesson loaded last, as the settings file holds it
  // The lesson loaded last in this run when the settings file cannot hold its path (empty
  // otherwise): see SetLastLesson.
  std::filesystem::path LastLesson;
  int32_t ActiveLineColor = 0;
  int32_t SelectedColor = 0;
  int32_t BkColor = 0;
  std::string LastPlayer;
  bool Sound = false;     // play the error sound on a wrong key
  std::string SoundFile;  // full path of the error sound, empty when there is none
};

// The process-wide settings record.
extern TBeall Beall;

// The live look of the practice panes.
struct PaneLook {
  std::string FontName;
  int32_t FontSize = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  int32_t FontColor = 0;
  int32_t ActiveLineColor = 0;
  int32_t SelectedColor = 0;
  int32_t BkColor = 0;
};

inline constexpr std::string_view kDefaultsSection = "Defaults";
inline constexpr std::string_view kScreenSection = "Screen";
inline constexpr std::string_view kKeyboardSection = "Billentyuzet";

inline constexpr int32_t kSystemWindowColor = kClWindow;

inline constexpr bool kDefaultFullScreen = false;
inline constexpr std::string_view kDefaultFontName = "Courier New";
inline constexpr int32_t kDefaultFontSize = 14;
inline constexpr int32_t kDefaultScreenFontSize = 9;
inline constexpr int32_t kDefaultFontColor = kPaneFontColor;
inline constexpr bool kDefaultFontBold = true;
inline constexpr bool kDefaultFontItalic = true;
inline constexpr bool kDefaultFontUnderline = true;
inline constexpr int32_t kDefaultActiveLineColor = kPaneActiveLineColor;
inline constexpr int32_t kDefaultSelectedColor = kPaneSelectedColor;
inline constexpr int32_t kDefaultBkColor = kPaneBackgroundColor;
inline constexpr std::string_view kDefaultLastPlayer = "Pekto";
inline constexpr bool kDefaultSound = false;
inline constexpr std::string_view kDefaultSoundFileName = "default.wav";

// Fills `beall` from the settings file, every key with its default (a font size below 1 gives
// the default, one outside 6..72 points the nearest of these), then switches the sound off
// and empties SoundFile when SoundFile is empty or names no existing file. The default sound
// file is "default.wav" in `programDir`.
void ReadSettings(const IniFile& ini, const std::filesystem::path& programDir, TBeall& beall);

// The Windows-1250 text that keeps `path` in the settings file, when reading it back gives the
// same path; nothing for a path with characters the code page lacks, bytes that are no UTF-8,
// a line break, blanks or quotation marks at its ends, or more than the longest value.
std::optional<std::string> SettingsPathText(const std::filesystem::path& path);

// Notes the lesson just loaded: LastFile takes its path when the settings file can hold it;
// otherwise LastFile keeps the value it had (so the settings file keeps it too) and LastLesson
// names the lesson for the rest of the run.
void SetLastLesson(TBeall& beall, const std::filesystem::path& lesson);

// The lesson loaded last: LastLesson when set, else the path LastFile holds.
std::filesystem::path LastLessonPath(const TBeall& beall);

// The pane look described by the record: its font, style and colours, never struck out.
PaneLook LookFromSettings(const TBeall& beall);

// Whether the on-screen keyboard is shown under the practice panes: [Billentyuzet] Lathato, off
// by default.
bool ReadKeyboardShown(const IniFile& ini);
void WriteKeyboardShown(IniFile& ini, bool shown);

// Writes every key: the interface font size, the pane look taken from `upperPane` (strike-out
// is not kept), then FullScreen, LastFile, LastPlayer, Sound and SoundFile from `beall`.
// Throws pekto::Error "Unable to write to <path>" at the first key that cannot be written; the
// keys before it stay written, the later ones are not written.
void WriteSettings(IniFile& ini, const TBeall& beall, const PaneLook& upperPane);

}  // namespace pekto
