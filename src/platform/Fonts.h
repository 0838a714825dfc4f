#pragma once
// The Windows font names the program uses resolve to installed fonts of the same metrics.

#include <QFont>

namespace pekto {

// Registers the substitutions; call once after the application object exists.
void InstallFontSubstitutions();

// The font a font dialog opens on for `font`: the family actually drawn (Courier New shows as
// its substitute, which the dialog lists) with the font's size and style.
QFont FontForDialog(const QFont& font);
// The font that a font dialog's choice makes of `font`: the substitute family maps back to the
// name the program keeps, and a dialog confirmed without a change gives `font` itself.
QFont FontFromDialog(const QFont& font, const QFont& chosen);

}  // namespace pekto
