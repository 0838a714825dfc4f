// SPDX-License-Identifier: GPL-3.0-or-later
// The header check of the error sound on any bytes: it answers, and a file it accepts holds a
// RIFF WAVE header.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/WaveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = pekto::fuzz::Bytes(data, size);
  const std::string problem = pekto::WaveFileProblem(bytes);
  if (problem.empty() && (size < 12 || bytes.substr(0, 4) != "RIFF")) {
    pekto::fuzz::Fail("a file without a RIFF header was accepted");
  }
  return 0;
}
