// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons' goals: the verdict on a result, the goal file Celok.csv, and the lessons a player
// has passed by the score rows.

#include "results/LessonGoals.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/Error.h"
#include "results/ScoreRecording.h"

namespace pekto {
namespace {

using test::TempDir;

struct VerdictCase {
  const char* name;
  LessonGoal goal;
  int32_t perMinute, percent;
  const char* verdict;
};
const LessonGoal kDefaults{180, 98};

class GoalVerdictTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(GoalVerdictTest, SaysSuccessOrWhatIsMissing) {
  const VerdictCase& c = GetParam();
  EXPECT_EQ(GoalVerdict(CheckGoal(c.goal, c.perMinute, c.percent)), c.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Goals, GoalVerdictTest,
    ::testing::Values(
        VerdictCase{"metExactly", kDefaults, 180, 98, "Sikeres"},
        VerdictCase{"accuracyOnePointShort", kDefaults, 250, 97,
                    "A pontosság 1 százalékponttal kevés"},
        VerdictCase{"speedOneKeyShort", kDefaults, 179, 100, "A sebesség 1 leütés/perc-cel kevés"},
        VerdictCase{"bothShort", kDefaults, 168, 90,
                    "A pontosság 8 százalékponttal kevés\nA sebesség 12 leütés/perc-cel kevés"},
        VerdictCase{"accuracyOnly", {std::nullopt, 98}, 0, 98, "Sikeres"},
        VerdictCase{"noGoal", {}, 0, 0, "Sikeres"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GoalFile, RoundTripByFileNameAndADamagedFileLeftWhole) {
  const TempDir dir;
  const auto file = dir / "Celok.csv";
  EXPECT_EQ(WriteGoal(file, "a.lck", {}), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(file));  // no goal makes no file
  EXPECT_EQ(WriteGoal(file, "001_fdjk.lck", kDefaults), std::nullopt);
  EXPECT_EQ(WriteGoal(file, "ő betű.lck", {std::nullopt, 95}), std::nullopt);
  EXPECT_EQ(WriteGoal(file, "001_FDJK.lck", {200, 98}), std::nullopt);  // the same lesson
  GoalRows rows = ReadGoals(file);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(GoalOf(rows, "001_fdjk.lck"), (LessonGoal{200, 98}));
  EXPECT_EQ(GoalOf(rows, "Ő BETŰ.lck"), (LessonGoal{std::nullopt, 95}));
  EXPECT_EQ(GoalOf(rows, "other.lck"), std::nullopt);
  EXPECT_NE(TempDir::Read(file).find("\"\xF5 bet\xFB.lck\",,\"95\""), std::string::npos);
  EXPECT_EQ(WriteGoal(file, "001_fdjk.lck", {}), std::nullopt);  // removed
  EXPECT_EQ(ReadGoals(file).size(), 1U);
  EXPECT_TRUE(WriteGoal(file, "\xE2\x82\xAC\xE2\x98\x83.lck", kDefaults));  // no code page name

  const std::string damaged = "\"@@FILE VERSION@@\",\"251\"\r\nnot a table";
  dir.Write("Celok.csv", damaged);
  EXPECT_THROW(ReadGoals(file), Error);
  const auto message = WriteGoal(file, "a.lck", kDefaults);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("Celok.csv\" sérült"), std::string::npos) << *message;
  EXPECT_EQ(TempDir::Read(file), damaged);
}

TEST(GoalFile, PassedLessonsByTheScoreRowsOfThePlayer) {
  const TempDir dir;
  const auto score = dir / "Score.csv";
  const std::string longTitle(60, 'x');  // the score keeps 50 bytes of it
  const auto record = [&](const std::string& title, const char* player, int32_t correct,
                          int32_t wrong) {  // a minute each
    const int32_t percent = ExtendedPercent(correct, wrong);
    RecordScore(score, {title, player, 0, correct, wrong, percent, 60, {2026, 12, 1}});
  };
  record("Alapsor", "Anna", 178, 2);   // 180 per minute, 99 %: passes 180/98
  record("alapsor", "Béla", 300, 0);   // another player
  record(longTitle, "Anna", 97, 3);    // 97 %: one point short
  record("Harmadik", "Anna", 179, 0);  // one key short
  const std::vector<GoalLesson> lessons = {{"a.lck", "ALAPSOR", kDefaults},
                                           {"b.lck", longTitle, kDefaults},
                                           {"c.lck", longTitle, {std::nullopt, 97}},
                                           {"d.lck", "Harmadik", kDefaults}};
  EXPECT_EQ(PassedLessons(score, "Anna", lessons), (std::set<std::string>{"a.lck", "c.lck"}));
  EXPECT_TRUE(PassedLessons(dir / "none.csv", "Anna", lessons).empty());
}

}  // namespace
}  // namespace pekto
