// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Windows font names the program uses resolve to installed fonts of the same metrics.

#include <QFont>

namespace pekto {

// Registers the substitutions; on Windows, where the application's or a themed class's font
// names a family that has no fonts of its own (Wine's "MS Shell Dlg", which only its registry
// maps to a font, and on which Qt's font dialog fails), that font takes the family the name
// stands for. Call once after the application object exists.
void InstallFontSubstitutions();

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
