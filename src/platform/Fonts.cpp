// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fontconfig/fontconfig.h>

#include <mutex>
#include <thread>
#endif

namespace pekto {
namespace {

struct Substitution {
  const char* windowsName;
  const char* replacements;  // tried in order, separated by commas
};

constexpr Substitution kSubstitutions[] = {
    {"Courier New", "Liberation Mono,Cousine,DejaVu Sans Mono"},
    {"Arial", "Liberation Sans,Arimo,DejaVu Sans"},
    {"Times New Roman", "Liberation Serif,Tinos,DejaVu Serif"},
    {"Comic Sans MS", "Comic Neue,DejaVu Sans"},
    {"Tahoma", "Tahoma,DejaVu Sans"},
    {"MS Sans Serif", "Tahoma,Liberation Sans,DejaVu Sans"},
    {"Wingdings", "DejaVu Sans"},
};

#ifdef _WIN32
// Windows has the fonts the windows name; Wine has only its own few, so under Wine the names
// are mapped to the Linux fonts that Wine reads through fontconfig, as on Linux.
bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#else
// The thread reading fontconfig's configuration; joined before the first font is asked for, or
// at exit when no font ever is.
std::jthread& FontSetup() {
  static std::jthread thread;
  return thread;
}

// Reads fontconfig's configuration and adds Wine's Tahoma, which lies outside fontconfig's
// folders, to its fonts when present: Qt then lists it with the system's fonts rather than read
// it again as an application font. Once: on the thread of BeginFontSetup, or before the first
// font where no thread could be made.
void SetUpFontconfig() {
  static std::once_flag once;
  std::call_once(once, [] {
    FcInit();
    // A missing file is refused and adds nothing.
    for (const char* file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
      FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file));
    }
  });
}
#endif

#ifdef _WIN32
// The family a font name that has no fonts of its own is drawn with: the one the registry puts
// in its place (Wine's "MS Shell Dlg" is Tahoma), through the program's substitutions.
QString DrawnFamily(const QFont& font) {
  const QSettings substitutes(
      QStringLiteral(
          R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)"),
      QSettings::NativeFormat);
  const QString substitute = substitutes.value(font.family()).toString().section(u',', 0, 0);
  return QFontInfo(substitute.isEmpty() ? font : QFont(substitute)).family();
}

// Qt's Windows theme gives these classes the system's menu, message, status and caption fonts.
constexpr const char* kThemedClasses[] = {
    "QMenu",      "QMenuBar",         "QMessageBox",           "QTipLabel",
    "QStatusBar", "QDockWidgetTitle", "QMdiSubWindowTitleBar", "QAbstractItemView",
};

// Under Wine the application's and the theme's fonts name "MS Shell Dlg", which has no fonts
// of its own: Qt's font dialog fails on it, and text falls back to a serif face. Each such font
// takes the family the name stands for.
void UseKnownFamily(const char* className) {
  QFont font = className == nullptr ? QApplication::font() : QApplication::font(className);
  if (!QFontDatabase::styles(font.family()).isEmpty()) return;
  font.setFamily(DrawnFamily(font));
  QApplication::setFont(font, className);
}
#endif

// The family's style nearest to a weight and slant: an upright style for an upright font
// where there is one, then the nearest weight.
QString StyleOfFamily(const QString& family, int weight, bool italic) {
  QString best;
  int bestScore = 0;
  for (const QString& style : QFontDatabase::styles(family)) {
    const bool slanted = QFontDatabase::italic(family, style);
    const int score =
        (slanted == italic ? 0 : 10000) + std::abs(QFontDatabase::weight(family, style) - weight);
    if (best.isEmpty() || score < bestScore) {
      best = style;
      bestScore = score;
    }
  }
  return best;
}

}  // namespace

void BeginFontSetup() {
#ifndef _WIN32
  // Reading the configuration files is most of the cost of the first font; the application
  // object and the settings need none. Without a thread, the first font does it as before.
  try {
    FontSetup() = std::jthread(SetUpFontconfig);
  } catch (const std::system_error&) {
  }
#endif
}

void InstallFontSubstitutions() {
#ifdef _WIN32
  if (!RunsUnderWine()) {
    return;
  }
#else
  if (FontSetup().joinable()) FontSetup().join();
  SetUpFontconfig();
#endif
  for (const auto& s : kSubstitutions) {
    QFont::insertSubstitutions(QString::fromLatin1(s.windowsName),
                               QString::fromLatin1(s.replacements).split(u','));
  }
#ifdef _WIN32
  UseKnownFamily(nullptr);
  for (const char* className : kThemedClasses) UseKnownFamily(className);
#endif
}

// Through QGuiApplication: QApplication's setFont would also drop the fonts that the platform's
// theme gives classes such as menus and message boxes.
DefaultFontScope::DefaultFontScope(const QFont& font) : saved_(QGuiApplication::font()) {
  QGuiApplication::setFont(font);
}

DefaultFontScope::~DefaultFontScope() {
  QGuiApplication::setFont(saved_);
}

QFont WithoutFallback(const QFont& font, QStringView text) {
  QFont alone(font);
  alone.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
  const QFontMetrics metrics(alone);
  for (const char32_t character : text.toUcs4()) {
    if (!metrics.inFontUcs4(character)) return font;
  }
  return alone;
}

QString InstalledFamily(const QString& family) {
  const QStringList installed = QFontDatabase::families();
  if (installed.contains(family, Qt::CaseInsensitive)) return family;
  for (const QString& substitute : QFont::substitutes(family)) {
    if (installed.contains(substitute, Qt::CaseInsensitive)) return substitute;
  }
  return family;
}

QFont DesignFont(const QString& family, int points, bool bold) {
  QFont font(family);
  font.setPixelSize((points * 96 + 36) / 72);  // rounded to the nearest pixel
  font.setBold(bold);
  return font;
}

QFont FontForDialog(const QFont& font) {
  QFont shown(font);
  const QString family = QFontInfo(font).family();
  shown.setFamily(family);
  // The dialog picks its style by name. Without one it names the style in the interface's
  // language ("Kövér" with a Hungarian translation) while the font files name theirs in
  // English, and it would fall back to the family's first style: it gets the family's own name.
  const QString style = StyleOfFamily(family, font.weight(), font.italic());
  if (!style.isEmpty()) shown.setStyleName(style);
  return shown;
}

QFont FontFromDialog(const QFont& font, const QFont& chosen) {
  const bool sameFamily = chosen.family() == QFontInfo(font).family() ||
                          chosen.family().compare(font.family(), Qt::CaseInsensitive) == 0;
  QFont result(sameFamily ? font.family() : chosen.family());
  result.setStyleHint(font.styleHint());
  if (chosen.pointSize() > 0) {
    result.setPointSize(chosen.pointSize());
  } else {
    result.setPixelSize(chosen.pixelSize());
  }
  result.setBold(chosen.bold());
  result.setItalic(chosen.italic());
  result.setUnderline(chosen.underline());
  result.setStrikeOut(chosen.strikeOut());
  const bool unchanged = sameFamily && result.pointSize() == font.pointSize() &&
                         result.pixelSize() == font.pixelSize() && result.bold() == font.bold() &&
                         result.italic() == font.italic() &&
                         result.underline() == font.underline() &&
                         result.strikeOut() == font.strikeOut();
  return unchanged ? font : result;
}

}  // namespace pekto
