// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WaveFormat.h"

#include <cstddef>
#include <cstdint>

namespace pekto {
namespace {

uint32_t U32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}

std::string CheckFormat(std::string_view bytes, size_t at, uint32_t size) {
  if (size < 16) return "hibás formátumleírás";
  const uint16_t format = U16(bytes, at);
  const uint16_t channels = U16(bytes, at + 2);
  const uint16_t bits = U16(bytes, at + 14);
  if (format != 1 && format != 3 && format != 0xFFFE) return "nem PCM hang";
  if (channels == 0 || channels > 8 || bits == 0 || bits > 32 || U32(bytes, at + 4) == 0) {
    return "hibás formátumleírás";
  }
  return {};
}

}  // namespace

std::string WaveFileProblem(std::string_view bytes) {
  return WaveFileProblem(bytes, bytes.size());
}

std::string WaveFileProblem(std::string_view head, std::uint64_t fileSize) {
  if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WAVE") {
    return "nem RIFF WAVE fájl";
  }
  bool format = false;
  size_t at = 12;
  while (at + 8 <= head.size()) {
    const std::string_view id = head.substr(at, 4);
    const uint32_t size = U32(head, at + 4);
    at += 8;
    if (size > fileSize - at) return "csonka fájl";
    if (id == "fmt ") {
      if (at + 16 > head.size()) return "hibás formátumleírás";
      std::string problem = CheckFormat(head, at, size);
      if (!problem.empty()) return problem;
      format = true;
    } else if (id == "data") {
      return format ? std::string() : std::string("hiányzó formátumleírás");
    }
    at += size + (size & 1);
  }
  return "hiányzó hangadatok";
}

}  // namespace pekto
