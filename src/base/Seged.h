// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window placement: each window's position, and for resizable windows its size, kept in its own
// section of the settings file (keys Left, Top, Width, Height) and pulled back onto the desktop
// work area when restored.
//
// What the numbers mean: Left and Top are the screen position of the window's outer top-left
// corner, the window manager's frame included; Width and Height are the size of the window's
// inside (the client area, without frame). Restoring and saving both use this one reference,
// so saved bounds come back as the same numbers however thick the frame is.

#include <cstdint>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/WorkArea.h"

namespace pekto {

// Bounds as the settings file keeps them: the frame's top-left corner, the client area's size.
struct FormBounds {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  friend bool operator==(const FormBounds&, const FormBounds&) = default;
};

// The width of the frame a window manager draws on each side of a window's client area.
struct FrameMargins {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend bool operator==(const FrameMargins&, const FrameMargins&) = default;
};

inline constexpr int32_t kDefaultFormLeft = 10;
inline constexpr int32_t kDefaultFormTop = 10;

// Reads Left and Top (default 10 each) as saved, without clamping.
void LoadFormPos(const IniFile& ini, std::string_view section, int32_t& left, int32_t& top);

// Reads Left, Top (default 10 each), Width and Height (default `width` and `height`, the
// window's design size) and clamps them to the work area.
FormBounds LoadFormBounds(const IniFile& ini, std::string_view section, int32_t width,
                          int32_t height, const WorkRect& workArea);

// Pulls bounds back so that the window does not reach past the work area's right and bottom
// edges, shrinking it to the right (bottom) edge when it is too wide (tall) to fit. The work
// area's Left and Top are not used; a negative Left or Top is left as it is.
FormBounds ClampToWorkArea(FormBounds bounds, const WorkRect& workArea);

// Where a window with the given frame goes so that the whole of it, frame included, lies inside
// the work area: ClampToWorkArea's rules applied to the outer size, then a frame reaching past
// the work area's left (top) edge is moved onto it and, when it would then reach past the right
// (bottom) edge, narrowed (shortened) to fit. A window that fits stays where it is; one larger
// than the work area fills it. The result's size is again the client area's, at least 1 x 1.
FormBounds FitToWorkArea(const FormBounds& bounds, const FrameMargins& frame,
                         const WorkRect& workArea);

// Write Left and Top; Left, Top, Width and Height, in that order. Throw pekto::Error
// "Unable to write to <path>" at the first value that cannot be written.
void SaveFormPos(IniFile& ini, std::string_view section, int32_t left, int32_t top);
void SaveFormBounds(IniFile& ini, std::string_view section, const FormBounds& bounds);

}  // namespace pekto
