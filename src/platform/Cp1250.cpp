// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Cp1250.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pekto::cp1250 {
namespace {

// Code points of the bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

// Reverse look-up of the high half, built once: code points up to U+2122 fit a flat table.
constexpr char32_t kReverseLimit = 0x2200;

struct ReverseTable {
  std::array<std::uint8_t, kReverseLimit> bytes{};
  ReverseTable() {
    for (unsigned i = 0; i < kHighHalf.size(); ++i)
      bytes[kHighHalf[i]] = static_cast<std::uint8_t>(0x80 + i);
  }
};

const ReverseTable& Reverse() {
  static const ReverseTable table;
  return table;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns U+FFFD for malformed input and advances.
char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto lead = static_cast<unsigned char>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead >= 0xF8) return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (; extra > 0; --extra) {
    if (pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3F);
  }
  return c;
}

}  // namespace

char32_t ToUnicode(unsigned char byte) {
  return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

std::optional<unsigned char> FromUnicode(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<unsigned char>(codePoint);
  if (codePoint >= kReverseLimit) return std::nullopt;
  const std::uint8_t b = Reverse().bytes[codePoint];
  if (b == 0) return std::nullopt;
  return b;
}

std::string ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (const char ch : bytes) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string FromUtf8(std::string_view utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto byte = FromUnicode(NextCodePoint(utf8, pos));
    out += byte ? static_cast<char>(*byte) : replacement;
  }
  return out;
}

unsigned char ToLower(unsigned char byte) {
  // Capitals and small letters stand 0x20 apart (0x10 in the 0x8A-0x9F row); 0xD7 is the
  // multiplication sign, and the capitals of 0xA0-0xBF pair irregularly.
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
    return static_cast<unsigned char>(byte + 0x20);
  }
  switch (byte) {
    case 0x8A:
    case 0x8C:
    case 0x8D:
    case 0x8E:
    case 0x8F:
      return static_cast<unsigned char>(byte + 0x10);
    case 0xA3:
      return 0xB3;
    case 0xA5:
      return 0xB9;
    case 0xAA:
      return 0xBA;
    case 0xAF:
      return 0xBF;
    case 0xBC:
      return 0xBE;
    default:
      return byte;
  }
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ToLower(static_cast<unsigned char>(x)) == ToLower(static_cast<unsigned char>(y));
         });
}

}  // namespace pekto::cp1250
