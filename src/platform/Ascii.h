// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte-text helpers shared by the program's 8-bit file formats (settings, tables, file masks):
// only the ASCII letters A-Z fold to lower case and only space and tab are blanks, so bytes above
// 127 pass unchanged whatever the code page. Letter case of the whole Windows-1250 alphabet is in
// Cp1250.h.

#include <algorithm>
#include <string_view>

namespace pekto {

constexpr char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// `text` without the blanks at either end.
constexpr std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// `text` without the bytes below 33 (blanks and control characters) at either end.
constexpr std::string_view TrimLowBytes(std::string_view text) {
  const auto low = [](char c) { return static_cast<unsigned char>(c) < 33; };
  while (!text.empty() && low(text.front())) text.remove_prefix(1);
  while (!text.empty() && low(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace pekto
