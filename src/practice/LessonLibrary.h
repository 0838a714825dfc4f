// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lesson library: the folder "Leckek" in the data folder, filled with the lessons that come
// with the program when it is first made, and listed for the lesson chooser and the picker.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pekto {

inline constexpr std::string_view kLessonFolderName = "Leckek";
inline constexpr std::string_view kLessonMask = "*.lck";

// The lesson folder of a data folder; the program's own lessons lie in the same-named folder
// beside the program.
std::filesystem::path LessonFolder(const std::filesystem::path& dataDir);

// Creates the lesson folder of `dataDir` with every missing parent when it does not exist yet,
// and copies the lessons that come with the program (from `programDir`'s lesson folder) into
// the new folder, as an installer would. An existing folder is never touched; failures are not
// reported (the chooser then simply lists nothing).
void PrepareLessonFolder(const std::filesystem::path& dataDir,
                         const std::filesystem::path& programDir);

// The names of the lessons in the lesson folder (UTF-8, with extension, without folder), in the
// order the file system gives them.
std::vector<std::string> ListLessons(const std::filesystem::path& dataDir);

// The path of the listed lesson `name` (UTF-8).
std::filesystem::path LessonPath(const std::filesystem::path& dataDir, std::string_view name);

}  // namespace pekto
