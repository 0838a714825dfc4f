// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour values as the settings file stores them: signed 32-bit, red in the low byte; negative
// values name system colours (0xFF000000 | index). The look a text pane has until it is given
// another.

#include <cstdint>

namespace pekto {

// The system colour of window backgrounds.
inline constexpr int32_t kClWindow = static_cast<int32_t>(0xFF000005);

inline constexpr int32_t kPaneFontColor = 0;               // black
inline constexpr int32_t kPaneActiveLineColor = 0xFFECD9;  // pale blue
inline constexpr int32_t kPaneSelectedColor = 0x808080;    // grey
inline constexpr int32_t kPaneBackgroundColor = kClWindow;

}  // namespace pekto
