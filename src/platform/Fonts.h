#pragma once
// The Windows font names the program uses resolve to installed fonts of the same metrics.

namespace pekto {

// Registers the substitutions; call once after the application object exists.
void InstallFontSubstitutions();

}  // namespace pekto
