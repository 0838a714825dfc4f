// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lesson files: 8-bit text, line 1 the title, further lines the text to type.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pekto {

struct Lesson {
  std::string title;               // line 1 exactly as stored (Windows-1250)
  std::vector<std::string> lines;  // lines 2 to n
};

// Splits file content into lines: CR LF, a lone CR and a lone LF each end a line; a line end at
// the very end adds no empty line; a NUL byte ends the content.
std::vector<std::string> SplitLessonLines(std::string_view content);

// The largest lesson file that is read. A lesson is typed by hand: even this is far more than
// anyone types, and its panes already take some hundred megabytes of memory.
inline constexpr std::uintmax_t kMaxLessonFileBytes = 64 * 1024 * 1024;

// Reads a lesson. Throws pekto::Error "Cannot open file ..." when the file cannot be read, the
// message of ReadFileStart (platform/Files.h) when it is no regular file (a FIFO, a device),
// "List index out of bounds (0)" when it holds no line at all, and a message naming the file
// when it is larger than kMaxLessonFileBytes or does not fit into memory; nothing is read then.
Lesson ReadLessonFile(const std::filesystem::path& path);

// The title of the lesson at `path` as an exercise shows it (TrimTitle), read from the start of
// the file alone; "" for an empty file. Throws pekto::Error as ReadFileStart (platform/Files.h).
std::string ReadLessonTitle(const std::filesystem::path& path);

// Writes title and lines, each ended by CR LF, replacing the file as a whole (a new file renamed
// over the old one). Throws "Cannot create file ..." on failure; the old file is then unchanged.
void WriteLessonFile(const std::filesystem::path& path, const Lesson& lesson);

// The title with every leading and trailing byte below 33 removed.
std::string TrimTitle(std::string_view title);

}  // namespace pekto
