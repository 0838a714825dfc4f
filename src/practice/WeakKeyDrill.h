// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A practice lesson for the learner's weakest keys: each with the character most often typed in
// its place, drilled in short groups ("ő ö őö öő") and in words of the course that hold it (a
// comma or full stop after words).
// Texts are Windows-1250.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/KeyStats.h"
#include "practice/LessonFile.h"

namespace pekto {

// The keys a drill takes and how often each must have been judged to count.
inline constexpr size_t kDrillKeyCount = 5;
inline constexpr int32_t kDrillMinJudged = 10;
// The score table keeps this much of a lesson's title.
inline constexpr size_t kDrillTitleLimit = 50;
// Lines are wrapped at the width of the course's lessons.
inline constexpr size_t kDrillLineWidth = 52;

// The course's word list (tools/course/words.txt, "words.txt" among the files that come with the
// program): UTF-8, one word a line, lines beginning with "#" skipped. The words in Windows-1250,
// in file order.
std::vector<std::string> ParseWordList(std::string_view text);
// Throws pekto::Error when the file cannot be read.
std::vector<std::string> ReadWordList(const std::filesystem::path& file);
std::filesystem::path WordListFile(const std::filesystem::path& bundleDir);

// The drill for the worst keys of `tallies` (WorstKeys: kDrillKeyCount of them, at least
// kDrillMinJudged judgements each), titled "Gyakorló: ő ű í z y", its words taken from `words`;
// nothing when no key qualifies.
std::optional<Lesson> WeakKeyDrill(const std::vector<KeyTally>& tallies,
                                   const std::vector<std::string>& words);

// The file a drill made for `player` (Windows-1250) on `day` is kept in, in the lesson folder:
// one name a player and day ("gyakorlo_Kiss_Anna_2026-12-09.lck"), so that a later drill of the
// same player and day replaces the earlier one while learners sharing the folder keep theirs.
// In the name the player's blanks and the characters no file name may hold on Windows or Linux
// (controls, < > : " / \ | ? *) become "_", the rest stays as written, at most kDrillNameLimit
// characters of it; without a player the name is the day's alone ("gyakorlo_2026-12-09.lck").
inline constexpr size_t kDrillNameLimit = 50;
std::filesystem::path DrillLessonFile(const std::filesystem::path& lessonFolder,
                                      std::string_view player, std::chrono::year_month_day day);
// Saves the drill there as an ordinary lesson and returns the file. Throws pekto::Error.
std::filesystem::path SaveDrillLesson(const std::filesystem::path& lessonFolder,
                                      const Lesson& drill, std::string_view player,
                                      std::chrono::year_month_day day);

}  // namespace pekto
