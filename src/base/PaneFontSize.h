// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The range of font sizes the text panes show. A size outside it comes from a damaged settings
// file or a slip in a font dialog: 1 point is unreadable, and sizes in the thousands draw
// nothing but empty boxes.

#include <algorithm>
#include <cstdint>

namespace pekto {

inline constexpr int32_t kMinPaneFontSize = 6;   // points
inline constexpr int32_t kMaxPaneFontSize = 72;  // points

// The nearest size within the range.
constexpr int32_t ClampPaneFontSize(int32_t points) {
  return std::clamp(points, kMinPaneFontSize, kMaxPaneFontSize);
}

}  // namespace pekto
