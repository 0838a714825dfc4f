// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings files in the Windows private-profile (INI) format, read and written one value at a
// time directly in the file: nothing is cached, every read opens and parses the file, every
// write rewrites it.
//
// Format as read:
// - Lines end with CR LF or LF; a CR that ends the file is dropped too. A line whose first
// non-blank character is "[" opens a section;
//   its name is the text up to the next "]" with blanks around it dropped. A line whose first
//   non-blank character is ";" is a comment. Any other line holding "=" is a key line: the key
//   is the text before the first "=", the value the text after it. Other lines are ignored.
// - Section and key names are compared without regard to ASCII letter case. Only the first
//   section of a name counts, and in it the first line of a key; lines before the first section
//   belong to none.
// - A value loses the blanks (spaces, tabs) around it, then one pair of enclosing quotation
//   marks ('...' or "..."), and is then cut to 2047 characters.
// - A missing or unreadable file, section or key gives the default, which is returned as given.
//   A file larger than 1 MB, and anything but a regular file (a FIFO, a device, a link to one),
//   counts as unreadable (and is not rewritten: writing throws); it is never waited on.
//
// Format as written:
// - A key already in its section has its line replaced by "<key as spelled in the file>=<value>".
// - A new key goes right after the last key line of its section (right after the header when
//   the section has no key yet), so blank lines and comments closing the section stay behind it.
// - A new section is appended at the end of the file, after one blank line unless the file is
//   empty or already ends with a blank line.
// - Lines written end with CR LF; every other byte of the file is kept as it was, except that a
//   last line ended by CR alone or by nothing gets a CR LF when a line is written after it.
// - A value is written up to its first CR or LF: a line break would split the key line.
// - The new content replaces the file as a whole (temporary file, flushed, renamed over it), so
//   the file always holds either the old or the new content, never a mixture. When the path is
//   a symbolic link, the file it points to is replaced.
// - Any failure throws pekto::Error "Unable to write to <path>".
//
// Content is Windows-1250 bytes and passed through unchanged.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pekto {

class IniFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;

  explicit IniFile(std::filesystem::path path);

  const std::filesystem::path& Path() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Integer text as ParseIniInteger takes it; anything else gives `def`.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // Read as an integer: non-zero is true, zero false, anything else gives `def`.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // True when `value`, written, reads back unchanged: no line break, no blanks or enclosing
  // quotation marks that reading drops, not longer than kMaxValueLength.
  static bool KeepsValue(std::string_view value);
  // Signed decimal text.
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::filesystem::path path_;
};

// Integer text of a settings value: decimal digits, or hexadecimal digits after "$", "0x" or
// "0X", optionally preceded by one "+" or "-". Decimal values must lie within the signed 32-bit
// range; hexadecimal values up to $FFFFFFFF are taken as 32-bit patterns, so $FF000005 is
// -16777211. Anything else (empty text, blanks, other characters, values out of range) gives
// nothing.
std::optional<int32_t> ParseIniInteger(std::string_view text);

}  // namespace pekto
