// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The goals a teacher may set per lesson: a speed in keystrokes per minute and a percentage
// correct, either or both. They live in the table file Celok.csv in the folder of the lessons
// (same format and code page as the score), one row per lesson, keyed by the lesson's file name:
// the name survives an edit of the title, and the lesson files stay as they are. No locking
// here: the caller holds the file's lock (platform/FileLock.h) while it writes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "results/CsvValue.h"

namespace pekto {

inline constexpr std::string_view kGoalFileName = "Celok.csv";

// What KTouch asks by default, offered as examples where the goals are set.
inline constexpr int32_t kSuggestedPerMinute = 180;
inline constexpr int32_t kSuggestedPercent = 98;

// A lesson's goal; an empty part asks nothing.
struct LessonGoal {
  std::optional<int32_t> perMinute;
  std::optional<int32_t> percent;
  bool Empty() const { return !perMinute && !percent; }
  friend bool operator==(const LessonGoal&, const LessonGoal&) = default;
};

// lecke (the file name, Windows-1250), leutes (keystrokes per minute), szazalek.
std::vector<FieldSpec> GoalSchema();

// The goal file of the folder that holds `lesson`.
std::filesystem::path GoalFileOf(const std::filesystem::path& lesson);

// One row of the goal file.
struct GoalRow {
  std::string lesson;  // file name, Windows-1250
  LessonGoal goal;
};
using GoalRows = std::vector<GoalRow>;

// The rows of `goalFile` in file order; none when the file does not exist. Throws pekto::Error
// (DamagedFileError for a file that is no goal table) with the reason.
GoalRows ReadGoals(const std::filesystem::path& goalFile);

// The goal of the lesson file named `fileName` (UTF-8, without folder), its name compared
// without regard to letter case; nothing when it has none.
std::optional<LessonGoal> GoalOf(const GoalRows& rows, std::string_view fileName);

// Sets the goal of `fileName` (UTF-8) in `goalFile`: replaces its row, adds one at the end, or
// removes it for an empty goal; an empty goal makes no file. Returns the message (UTF-8, naming
// the file) when it could not be written: a damaged file is left as it is, never replaced.
std::optional<std::string> WriteGoal(const std::filesystem::path& goalFile,
                                     std::string_view fileName, const LessonGoal& goal);

// The message for a goal that `goalFile` did not get: `reason` is why (UTF-8).
std::string GoalNotWrittenMessage(const std::filesystem::path& goalFile, std::string_view reason);

// The message for goals that could not be read from `goalFile`: `reason` is why (UTF-8).
std::string GoalsUnreadableMessage(const std::filesystem::path& goalFile, std::string_view reason);

// How far a result falls short of a goal; 0 where it reaches it or the goal asks nothing.
struct GoalShortfall {
  int32_t perMinute = 0;
  int32_t percent = 0;
  bool Met() const { return perMinute == 0 && percent == 0; }
};
GoalShortfall CheckGoal(const LessonGoal& goal, int32_t perMinute, int32_t percent);

// "Sikeres", or what is missing (UTF-8): "A pontosság 1 százalékponttal kevés", "A sebesség
// 12 leütés/perc-cel kevés", or both, a line each.
std::string GoalVerdict(const GoalShortfall& shortfall);

// A lesson with a goal, as the score rows name it: its file name (UTF-8) and title (Windows-1250,
// as the exercise shows it).
struct GoalLesson {
  std::string fileName;
  std::string title;
  LessonGoal goal;
};

// The file names of the lessons `player` has passed: a score row of that player (compared byte
// for byte) whose title is the lesson's, as the score keeps it (cut to the file's title width,
// letter case aside), and whose speed and percentage meet the lesson's goal. None when the score
// file does not exist; throws pekto::Error when it cannot be read.
std::set<std::string> PassedLessons(const std::filesystem::path& scoreFile, std::string_view player,
                                    const std::vector<GoalLesson>& lessons);

}  // namespace pekto
