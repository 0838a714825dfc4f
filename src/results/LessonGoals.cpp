// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/LessonGoals.h"

#include <algorithm>
#include <system_error>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "practice/KeyStats.h"
#include "results/CsvTable.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kLessonField = "lecke";
constexpr std::string_view kPerMinuteField = "leutes";
constexpr std::string_view kPercentField = "szazalek";
// A file name in Windows-1250 takes at most as many bytes as in UTF-8, which file systems keep
// to 255.
constexpr int kNameBytes = 255;

std::string Quoted(const fs::path& file) {
  return "\"" + PathText(file) + "\"";
}

std::optional<int32_t> OptionalInt(const NullableValue& value) {
  if (!value) return std::nullopt;
  return NullToInt(value, 0);
}

NullableValue Nullable(const std::optional<int32_t>& value) {
  if (!value) return std::nullopt;
  return FieldValue(*value);
}

// The name as the goal file keeps it; nothing when the code page cannot spell it.
std::optional<std::string> StorableName(std::string_view fileName) {
  std::string name = cp1250::FromUtf8(fileName);
  if (cp1250::ToUtf8(name) != fileName) return std::nullopt;
  return name;
}

// The row of the lesson named `name` (Windows-1250), letter case aside.
template <typename Rows>
auto FindRow(Rows& rows, std::string_view name) {
  return std::find_if(rows.begin(), rows.end(), [name](const GoalRow& row) {
    return cp1250::EqualIgnoringCase(row.lesson, name);
  });
}

void SaveRows(const fs::path& goalFile, const GoalRows& rows) {
  CsvTable table("Tbl", GoalSchema(), nullptr);
  table.Open();
  for (const GoalRow& row : rows) {
    table.AppendRow();
    table.SetText(kLessonField, row.lesson);
    table.SetValue(kPerMinuteField, Nullable(row.goal.perMinute));
    table.SetValue(kPercentField, Nullable(row.goal.percent));
    table.PostRow();
  }
  table.SaveFile(goalFile);
}

// The places of the score fields a passed lesson is judged by.
struct ScoreFields {
  explicit ScoreFields(const std::vector<FieldSpec>& fields)
      : title(RequiredField(fields, score_field::kTitle)),
        player(RequiredField(fields, score_field::kPlayer)),
        correct(RequiredField(fields, score_field::kCorrect)),
        wrong(RequiredField(fields, score_field::kWrong)),
        percent(RequiredField(fields, score_field::kPercent)),
        seconds(RequiredField(fields, score_field::kSeconds)),
        titleField(fields[title]) {}
  size_t title, player, correct, wrong, percent, seconds;
  FieldSpec titleField;
};

// `title` as the score's title field keeps it.
std::string StoredAs(const FieldSpec& titleField, const std::string& title) {
  const auto stored = ConvertValue(titleField, FieldValue(title));
  return stored ? NullToStr(stored, {}) : title;
}

}  // namespace

std::vector<FieldSpec> GoalSchema() {
  FieldSpec lesson = MakeField(kLessonField, FieldType::String);
  lesson.size = kNameBytes;
  lesson.displayWidth = kNameBytes;
  return {lesson, MakeField(kPerMinuteField, FieldType::Integer),
          MakeField(kPercentField, FieldType::Integer)};
}

GoalRows ReadGoals(const fs::path& goalFile) {
  GoalRows rows;
  std::error_code ec;
  if (!fs::exists(goalFile, ec)) return rows;
  std::optional<size_t> lesson, perMinute, percent;
  const auto use = [&](const std::vector<FieldSpec>& fields,
                       const std::vector<NullableValue>& values) {
    if (!lesson) {
      lesson = RequiredField(fields, kLessonField);
      perMinute = RequiredField(fields, kPerMinuteField);
      percent = RequiredField(fields, kPercentField);
    }
    rows.push_back({NullToStr(values[*lesson], ""),
                    {OptionalInt(values[*perMinute]), OptionalInt(values[*percent])}});
  };
  // A file without rows must have the fields too.
  const std::vector<FieldSpec> fields = ForEachFileRow(goalFile, GoalSchema(), use);
  for (const std::string_view name : {kLessonField, kPerMinuteField, kPercentField}) {
    RequiredField(fields, name);
  }
  return rows;
}

fs::path GoalFileOf(const fs::path& lesson) {
  return lesson.parent_path() / kGoalFileName;
}

std::optional<LessonGoal> GoalOf(const GoalRows& rows, std::string_view fileName) {
  const std::optional<std::string> name = StorableName(fileName);
  if (!name) return std::nullopt;
  const auto row = FindRow(rows, *name);
  if (row == rows.end() || row->goal.Empty()) return std::nullopt;
  return row->goal;
}

std::optional<std::string> WriteGoal(const fs::path& goalFile, std::string_view fileName,
                                     const LessonGoal& goal) {
  const std::optional<std::string> storable = StorableName(fileName);
  if (!storable) {
    return "A lecke célja nem menthető: a fájl neve (" + std::string(fileName) +
           ") olyan karaktert tartalmaz, amely a(z) " + Quoted(goalFile) + " fájlba nem írható.";
  }
  const std::string& name = *storable;
  try {
    GoalRows rows = ReadGoals(goalFile);
    const auto row = FindRow(rows, name);
    if (row != rows.end()) {
      if (row->goal == goal) return std::nullopt;
      if (goal.Empty()) {
        rows.erase(row);
      } else {
        row->goal = goal;
      }
    } else if (goal.Empty()) {
      return std::nullopt;
    } else {
      rows.push_back({name, goal});
    }
    SaveRows(goalFile, rows);
  } catch (const DamagedFileError& e) {
    return DamagedLeftWholeMessage(Quoted(goalFile), e.what(), "a lecke célja nem került bele");
  } catch (const Error& e) {
    return GoalNotWrittenMessage(goalFile, e.what());
  }
  return std::nullopt;
}

std::string GoalNotWrittenMessage(const fs::path& goalFile, std::string_view reason) {
  return "A lecke célja nem került a(z) " + Quoted(goalFile) + " fájlba:\n" + std::string(reason);
}

std::string GoalsUnreadableMessage(const fs::path& goalFile, std::string_view reason) {
  return "A leckék céljai nem olvashatók be a(z) " + Quoted(goalFile) + " fájlból:\n" +
         std::string(reason) +
         "\nA fájl változatlanul megmaradt; a gyakorlás célok nélkül folytatható.";
}

GoalShortfall CheckGoal(const LessonGoal& goal, int32_t perMinute, int32_t percent) {
  const auto shortBy = [](const std::optional<int32_t>& wanted, int32_t reached) {
    return wanted ? std::max(0, *wanted - reached) : 0;
  };
  return {shortBy(goal.perMinute, perMinute), shortBy(goal.percent, percent)};
}

std::string GoalVerdict(const GoalShortfall& shortfall) {
  if (shortfall.Met()) return "Sikeres";
  std::string verdict;
  if (shortfall.percent > 0) {
    verdict = "A pontosság " + std::to_string(shortfall.percent) + " százalékponttal kevés";
  }
  if (shortfall.perMinute > 0) {
    if (!verdict.empty()) verdict += '\n';
    verdict += "A sebesség " + std::to_string(shortfall.perMinute) + " leütés/perc-cel kevés";
  }
  return verdict;
}

std::set<std::string> PassedLessons(const fs::path& scoreFile, std::string_view player,
                                    const std::vector<GoalLesson>& lessons) {
  std::set<std::string> passed;
  std::error_code ec;
  if (lessons.empty() || !fs::exists(scoreFile, ec)) return passed;
  std::optional<ScoreFields> at;
  std::vector<std::string> titles;  // each lesson's title as the score keeps it
  const auto use = [&](const std::vector<FieldSpec>& fields,
                       const std::vector<NullableValue>& values) {
    if (!at) {
      at.emplace(fields);
      for (const GoalLesson& lesson : lessons)
        titles.push_back(StoredAs(at->titleField, lesson.title));
    }
    if (NullToStr(values[at->player], "") != player) return;
    const std::string title = NullToStr(values[at->title], "");
    const int32_t perMinute =
        PerMinute(NullToInt(values[at->correct], 0) + NullToInt(values[at->wrong], 0),
                  NullToInt(values[at->seconds], 0));
    const int32_t percent = NullToInt(values[at->percent], 0);
    for (size_t i = 0; i < lessons.size(); ++i) {
      if (cp1250::EqualIgnoringCase(title, titles[i]) &&
          CheckGoal(lessons[i].goal, perMinute, percent).Met()) {
        passed.insert(lessons[i].fileName);
      }
    }
  };
  ScoreFields{ForEachFileRow(scoreFile, ScoreSchema(), use)};
  return passed;
}

}  // namespace pekto
