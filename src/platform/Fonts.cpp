#include "platform/Fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

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

// Wine's Tahoma lies outside fontconfig's folders; it is added on Linux when present.
void AddWineTahoma() {
#ifndef _WIN32
  for (const char* file :
       {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
    if (QFile::exists(QString::fromLatin1(file))) {
      QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
  }
#endif
}

}  // namespace

void InstallFontSubstitutions() {
#ifndef _WIN32
  AddWineTahoma();
  for (const auto& s : kSubstitutions) {
    QFont::insertSubstitutions(QString::fromLatin1(s.windowsName),
                               QString::fromLatin1(s.replacements).split(u','));
  }
#endif
}

}  // namespace pekto
