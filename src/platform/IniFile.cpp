// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IniFile.h"

#include <system_error>
#include <utility>
#include <vector>

#include "platform/Ascii.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One line of the file: its text without the line end, and the line end as found ("\r\n",
// "\n", or empty for a last line that has none).
struct Line {
  std::string_view text;
  std::string_view ending;
};

enum class LineKind { kOther, kSection, kKey };

// What a line is, with the section or key name it carries (blanks around it dropped) and, for a
// key line, the raw value text after the "=".
struct Parsed {
  LineKind kind = LineKind::kOther;
  std::string_view name;
  std::string_view value;
};

// Where a key is, or would go, in the file.
struct Location {
  bool sectionFound = false;
  size_t insertAfter = 0;         // last key line of the section, or its header
  std::optional<size_t> keyLine;  // the key's own line
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    const size_t newline = content.find('\n', pos);
    const size_t next = newline == std::string_view::npos ? content.size() : newline + 1;
    size_t textEnd = newline == std::string_view::npos ? content.size() : newline;
    if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back({content.substr(pos, textEnd - pos), content.substr(textEnd, next - textEnd)});
    pos = next;
  }
  return lines;
}

Parsed ParseLine(std::string_view text) {
  const std::string_view body = TrimBlanks(text);
  if (body.empty() || body.front() == ';') return {};
  if (body.front() == '[') {
    const size_t close = body.find(']');
    const size_t end = close == std::string_view::npos ? body.size() : close;
    return {LineKind::kSection, TrimBlanks(body.substr(1, end - 1)), {}};
  }
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos) return {};
  return {LineKind::kKey, TrimBlanks(body.substr(0, equals)), body.substr(equals + 1)};
}

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location location;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Parsed parsed = ParseLine(lines[i].text);
    if (!location.sectionFound) {
      if (parsed.kind == LineKind::kSection && EqualIgnoringAsciiCase(parsed.name, section)) {
        location.sectionFound = true;
        location.insertAfter = i;
      }
      continue;
    }
    if (parsed.kind == LineKind::kSection) break;
    if (parsed.kind != LineKind::kKey) continue;
    location.insertAfter = i;
    if (EqualIgnoringAsciiCase(parsed.name, key)) {
      location.keyLine = i;
      break;
    }
  }
  return location;
}

std::string_view CleanValue(std::string_view raw) {
  std::string_view value = TrimBlanks(raw);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, IniFile::kMaxValueLength);
}

// The whole file, or nothing when it cannot be read.
// A settings file holds a few kilobytes. One far bigger is not the program's (or is damaged):
// it is read as if absent and never rewritten, so that neither the memory nor the time it would
// take at every value is spent on it, and it stays as it is.
constexpr std::uintmax_t kMaxSettingsFileBytes = 1024 * 1024;

std::optional<std::string> LoadContent(const fs::path& path) {
  // No settings file before the first save: the start reads some twenty values from it, each
  // told apart here rather than by the error that a failed open throws and formats.
  std::error_code ec;
  if (!fs::exists(path, ec) && !ec) return std::nullopt;
  try {
    return ReadWholeFile(path, kMaxSettingsFileBytes);
  } catch (const Error&) {
    return std::nullopt;  // missing, unreadable, too big, or no regular file (a FIFO, a device)
  }
}

// The file that a write replaces: the path itself, or the file a symbolic link points to.
fs::path WriteTarget(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  const fs::path target = fs::canonical(path, ec);
  return ec ? path : target;
}

// The line end to write after `line` when another line follows it: its own, unless it is the last
// line and ends without an LF. A lone CR there is no line end to the reader, so a line written
// after it would be read as part of it.
std::string_view EndingBeforeMore(const Line& line) {
  return line.ending.ends_with('\n') ? line.ending : kLineEnd;
}

std::string WithKeyInSection(const std::vector<Line>& lines, const Location& location,
                             std::string_view key, std::string_view value) {
  std::string result;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (location.keyLine == i) {
      result.append(ParseLine(lines[i].text).name).append("=").append(value).append(kLineEnd);
      continue;
    }
    result.append(lines[i].text);
    if (i == location.insertAfter && !location.keyLine) {
      result.append(EndingBeforeMore(lines[i]));
      result.append(key).append("=").append(value).append(kLineEnd);
    } else {
      result.append(lines[i].ending);
    }
  }
  return result;
}

std::string WithNewSection(std::string_view content, const std::vector<Line>& lines,
                           std::string_view section, std::string_view key, std::string_view value) {
  std::string result(content);
  if (!lines.empty()) {
    const Line& last = lines.back();
    // A last line without its LF gets it, or a whole line end when it has not even the CR.
    if (!last.ending.ends_with('\n')) result.append(last.ending.empty() ? kLineEnd : "\n");
    if (!TrimBlanks(last.text).empty()) result.append(kLineEnd);
  }
  result.append("[").append(section).append("]").append(kLineEnd);
  result.append(key).append("=").append(value).append(kLineEnd);
  return result;
}

std::string UpdatedContent(std::string_view content, std::string_view section, std::string_view key,
                           std::string_view value) {
  const std::vector<Line> lines = SplitLines(content);
  const Location location = Find(lines, section, key);
  if (!location.sectionFound) return WithNewSection(content, lines, section, key, value);
  return WithKeyInSection(lines, location, key, value);
}

}  // namespace

IniFile::IniFile(fs::path path) : path_(std::move(path)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const std::optional<std::string> content = LoadContent(path_);
  if (!content) return std::string(def);
  const std::vector<Line> lines = SplitLines(*content);
  const Location location = Find(lines, section, key);
  if (!location.keyLine) return std::string(def);
  return std::string(CleanValue(ParseLine(lines[*location.keyLine].text).value));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  return ParseIniInteger(ReadString(section, key, "")).value_or(def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  const std::optional<int32_t> number = ParseIniInteger(ReadString(section, key, ""));
  return number ? *number != 0 : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  const fs::path target = WriteTarget(path_);
  std::error_code ec;
  const bool exists = fs::exists(target, ec);
  const std::optional<std::string> content =
      exists ? LoadContent(target) : std::optional<std::string>(std::string());
  std::string reason;
  fs::path culprit;
  if (ec || !content ||
      !ReplaceFileContent(target, UpdatedContent(*content, section, key, value), reason,
                          &culprit)) {
    // A folder that takes no new file is named as the cause, not the file.
    const bool folder = !culprit.empty() && culprit != target;
    throw Error("Unable to write to " + PathText(folder ? culprit : path_));
  }
}

bool IniFile::KeepsValue(std::string_view value) {
  return value.find_first_of("\r\n") == std::string_view::npos && CleanValue(value) == value;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    i += 1;
  } else if (text.size() - i >= 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = FoldAscii(text[i]);
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  const auto bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

}  // namespace pekto
