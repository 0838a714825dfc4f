// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Offsets in a lesson text: the lines joined with two-character line breaks, as the exercise
// counts its expected position. Line k starts at S(k), the sum of (length + 2) of the lines
// before it; offsets S(k) + length(k) and the one after are the break following line k.

#include <cstdint>

namespace pekto {

// The line holding an offset and the offset where that line starts, kept between look-ups so
// that an offset moving along the text costs by the distance it moves, not by the text's length.
struct LineSpot {
  int line = 0;
  int64_t start = 0;
};

// Moves `spot` to the line holding `offset`: the first line k with S(k) + length(k) + 2 >
// offset, or the last line when the offset lies beyond the text. `lengthOf(k)` gives the
// length of line k; `lineCount` must be at least 1.
template <typename LengthOf>
void LocateOffset(int64_t offset, int lineCount, LengthOf&& lengthOf, LineSpot& spot) {
  while (offset < spot.start && spot.line > 0) {
    --spot.line;
    spot.start -= lengthOf(spot.line) + 2;
  }
  while (spot.start + lengthOf(spot.line) + 2 <= offset && spot.line + 1 < lineCount) {
    spot.start += lengthOf(spot.line) + 2;
    ++spot.line;
  }
}

}  // namespace pekto
