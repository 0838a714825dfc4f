// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window placement for the program's windows, in the settings file of this run.
//
// The window contract (Form.h) calls RestoreFormBounds or RestoreFormPos when a window is first
// shown and StoreFormBounds or StoreFormPos when it closes. The saved Left and Top are the
// window's outer corner, frame included; Width and Height its client area (see Seged.h).
//
// A window manager frames a window only after it has been mapped, so the frame's size is not
// known when the window is placed. The window is placed with the frame of the windows framed
// before it (none for the first one) and its frame's corner pinned to the saved point; once the
// window manager has framed and mapped it, the placement is fitted again with the real frame, so
// that the whole window lies inside the work area, however long the window manager takes.
// PlacementPending tells whether that is still to come.

#include <string_view>

#include "base/Seged.h"
#include "platform/IniFile.h"

class QWidget;

namespace pekto {

// The settings file of this run.
IniFile SettingsIni();

// Places a resizable window at its saved bounds (defaults: 10, 10 and the given size),
// clamped to the work area captured at start, frame included.
void RestoreFormBounds(QWidget& window, std::string_view section, int defaultWidth,
                       int defaultHeight);
// Places a fixed-size window at its saved position, moved onto the work area captured at start
// when any part of it, frame included, would lie outside.
void RestoreFormPos(QWidget& window, std::string_view section);
// Makes the window, frame included, fill `workArea`.
void FillWorkArea(QWidget& window, const WorkRect& workArea);

// Saves the frame's top-left corner and the client area's size; the position alone.
void StoreFormBounds(const QWidget& window, std::string_view section);
void StoreFormPos(const QWidget& window, std::string_view section);

// True while a placed window waits for its frame to be fitted into the work area.
bool PlacementPending(const QWidget& window);

}  // namespace pekto
