// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Windows font names the program uses resolve to installed fonts of the same metrics.

#include <QFont>

namespace pekto {

// Has fontconfig read its configuration and scan its font lists on a thread of its own, while
// the program's start goes on with what needs no font (Linux; elsewhere nothing). Call first
// thing in main; InstallFontSubstitutions waits for it.
void BeginFontSetup();

// Registers the substitutions; on Windows, where the application's or a themed class's font
// names a family that has no fonts of its own (Wine's "MS Shell Dlg", which only its registry
// maps to a font, and on which Qt's font dialog fails), that font takes the family the name
// stands for. Call once after the application object exists.
void InstallFontSubstitutions();

// While it lives, the application's default font is `font`. A text editor lays out its first,
// empty line in the default font as it is built, before it takes a font of its own: built in
// this scope with a font the window loads anyway, it loads no other.
class DefaultFontScope {
 public:
  explicit DefaultFontScope(const QFont& font);
  ~DefaultFontScope();
  DefaultFontScope(const DefaultFontScope&) = delete;
  DefaultFontScope& operator=(const DefaultFontScope&) = delete;

 private:
  QFont saved_;
};

// `font` drawn from its own font file alone where that file has every character of `text`: Qt
// then neither looks up the fonts it would borrow missing characters from (fontconfig sorts all
// fonts for that, over a million instructions a family) nor checks each glyph against them.
// Otherwise `font` as it is, which borrows what it lacks.
QFont WithoutFallback(const QFont& font, QStringView text);

// The family that draws a font name: the name where its fonts are installed, else its first
// installed substitute. A font asked for by this family is found at once, where one asked for
// by a missing name first has fontconfig search all fonts for a fallback.
QString InstalledFamily(const QString& family);

// A font as the program's windows, designed at 96 pixels per inch, name it: the size in points
// becomes a fixed size in pixels (8 pt gives 11 pixels, 14 pt 19), so that text keeps its
// proportions to a layout given in pixels.
QFont DesignFont(const QString& family, int points, bool bold = false);

// The font a font dialog opens on for `font`: the family actually drawn (Courier New shows as
// its substitute, which the dialog lists) with the font's size and style.
QFont FontForDialog(const QFont& font);
// The font that a font dialog's choice makes of `font`: the substitute family maps back to the
// name the program keeps, and a dialog confirmed without a change gives `font` itself.
QFont FontFromDialog(const QFont& font, const QFont& chosen);

}  // namespace pekto
