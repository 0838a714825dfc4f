// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LessonLibrary.h"

#include <system_error>

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

void CopyBundledLessons(const fs::path& bundled, const fs::path& lessonDir) {
  std::error_code ec;
  if (!fs::is_directory(bundled, ec) || fs::equivalent(bundled, lessonDir, ec)) return;
  std::vector<std::string> names;
  ListFiles(bundled / kLessonMask, names);
  for (const auto& name : names) {
    fs::copy_file(bundled / PathFromText(name), lessonDir / PathFromText(name),
                  fs::copy_options::skip_existing, ec);
  }
}

}  // namespace

fs::path LessonFolder(const fs::path& dataDir) {
  return dataDir / kLessonFolderName;
}

void PrepareLessonFolder(const fs::path& dataDir, const fs::path& programDir) {
  const fs::path lessonDir = LessonFolder(dataDir);
  std::error_code ec;
  if (fs::is_directory(lessonDir, ec)) return;
  fs::create_directories(lessonDir, ec);
  if (!ec) CopyBundledLessons(LessonFolder(programDir), lessonDir);
}

std::vector<std::string> ListLessons(const fs::path& dataDir) {
  std::vector<std::string> names;
  ListFiles(LessonFolder(dataDir) / kLessonMask, names);
  return names;
}

fs::path LessonPath(const fs::path& dataDir, std::string_view name) {
  return LessonFolder(dataDir) / PathFromText(name);
}

}  // namespace pekto
