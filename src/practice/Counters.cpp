// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/Counters.h"

namespace pekto {

int32_t RoundedPercent(int32_t correct, int32_t wrong) {
  const int64_t judged = int64_t{correct} + wrong;
  if (judged <= 0 || correct <= 0) return 0;
  // floor(100 * c / n + 1/2) without the binary rounding errors of a double: 1 of 40 is 2.5%,
  // which must show as 3.
  return static_cast<int32_t>((200 * int64_t{correct} + judged) / (2 * judged));
}

std::string PercentText(int32_t totalLetters, int32_t correct, int32_t wrong) {
  if (totalLetters == 0) return "0%";
  return std::to_string(RoundedPercent(correct, wrong)) + "%";
}

std::string TimeText(int32_t seconds) {
  return std::to_string(seconds / 60) + ":" + std::to_string(seconds % 60);
}

std::string CaretText(int line, int column) {
  return std::to_string(line) + " / " + std::to_string(column);
}

}  // namespace pekto
