// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the counter column.

#include <cstdint>
#include <string>

namespace pekto {

// "0%" without letters; otherwise the share of correct keystrokes among the judged ones as a
// whole percentage, halves rounded away from zero ("63%" for 5 correct and 3 wrong).
std::string PercentText(int32_t totalLetters, int32_t correct, int32_t wrong);

// The whole percentage itself (0 to 100), computed exactly in integers.
int32_t RoundedPercent(int32_t correct, int32_t wrong);

// Minutes and seconds, unpadded: "1:5" for 65 seconds.
std::string TimeText(int32_t seconds);

// The caret position of status panel 0: "3 / 12".
std::string CaretText(int line, int column);

}  // namespace pekto
