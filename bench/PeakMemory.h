// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Peak resident memory of this process, resettable so that each benchmark case reports its own
// peak (Linux: /proc/self/clear_refs value 5 resets VmHWM).
#include <fstream>
#include <string>

namespace pekto::bench {

inline void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// VmHWM in MiB; 0 where the kernel does not report it.
inline double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

}  // namespace pekto::bench
