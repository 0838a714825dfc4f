// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Central European code page (Windows-1250): every byte maps to one Unicode code point and
// back, the five bytes the code page leaves undefined to the C1 control of the same number.

#include <optional>
#include <string>
#include <string_view>

namespace pekto::cp1250 {

// The code point of one byte.
char32_t ToUnicode(unsigned char byte);

// The byte of one code point, or nothing when the code page lacks it.
std::optional<unsigned char> FromUnicode(char32_t codePoint);

// Whole texts: Windows-1250 bytes to UTF-8 and back. Code points the code page lacks, and
// malformed UTF-8, become `replacement`.
std::string ToUtf8(std::string_view bytes);
std::string FromUtf8(std::string_view utf8, char replacement = '?');

// The lower-case byte of an upper-case letter of the code page (A-Z and the accented capitals);
// every other byte unchanged.
unsigned char ToLower(unsigned char byte);

// True when the texts are equal with letters of either case taken as the same.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace pekto::cp1250
