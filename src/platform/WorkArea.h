// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop work area: the screen without the task bar, in screen pixels.

#include <cstdint>

namespace pekto {

struct WorkRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend bool operator==(const WorkRect&, const WorkRect&) = default;
};

}  // namespace pekto
