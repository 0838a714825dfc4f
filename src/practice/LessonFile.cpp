// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LessonFile.h"

#include <new>

#include "platform/Ascii.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace pekto {

std::vector<std::string> SplitLessonLines(std::string_view content) {
  const size_t nul = content.find('\0');
  if (nul != std::string_view::npos) content = content.substr(0, nul);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(content.substr(start));
      break;
    }
    lines.emplace_back(content.substr(start, end - start));
    const bool crlf = content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
    start = end + (crlf ? 2 : 1);
  }
  return lines;
}

// A file far too big (a damaged or wrongly chosen file, or a sparse one that only claims its
// size) is refused before a byte is read, so that it cannot take the machine's memory.
std::string ReadLessonBytes(const std::filesystem::path& path) {
  try {
    return ReadWholeFile(path, kMaxLessonFileBytes);
  } catch (const FileTooBig& tooBig) {
    throw Error("A lecke túl nagy: \"" + PathText(path) + "\" (" + Megabytes(tooBig.Size()) +
                "). Egy lecke legfeljebb " + Megabytes(kMaxLessonFileBytes) + " lehet.");
  }
}

Lesson ReadLessonFile(const std::filesystem::path& path) {
  try {
    std::vector<std::string> lines = SplitLessonLines(ReadLessonBytes(path));
    if (lines.empty()) throw Error("List index out of bounds (0)");
    Lesson lesson;
    lesson.title = std::move(lines.front());
    lesson.lines.assign(std::make_move_iterator(lines.begin() + 1),
                        std::make_move_iterator(lines.end()));
    return lesson;
  } catch (const std::bad_alloc&) {
    throw Error("Nincs elég memória a lecke beolvasásához: \"" + PathText(path) + "\".");
  }
}

std::string ReadLessonTitle(const std::filesystem::path& path) {
  // More than any title a score row keeps.
  constexpr std::uintmax_t kTitleBytes = 64 * 1024;
  const FileStart start = ReadFileStart(path, kTitleBytes);
  const std::string_view content = start.bytes;
  return TrimTitle(content.substr(0, content.find_first_of(std::string_view("\r\n\0", 3))));
}

void WriteLessonFile(const std::filesystem::path& path, const Lesson& lesson) {
  std::string content = lesson.title + "\r\n";
  for (const auto& line : lesson.lines) content.append(line).append("\r\n");
  // All or nothing: a lesson that took an hour to type is never left half written, and a save
  // that fails keeps the file that was there.
  WriteFileContent(path, content);
}

std::string TrimTitle(std::string_view title) {
  return std::string(TrimLowBytes(title));
}

}  // namespace pekto
