// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/Exercise.h"

#include <gtest/gtest.h>

#include <chrono>
#include <tuple>
#include <utility>

#include "practice/Counters.h"
#include "practice/MemoryPane.h"

namespace pekto {
namespace {

using Lines = std::vector<std::string>;

// Drives an exercise the way the main window does: a key, then the end test.
class ExerciseTest : public ::testing::Test {
 protected:
  void Start(Lines text, std::string title = "Lecke") {
    exercise.Load(Lesson{title, std::move(text)});
  }

  // Types the keys; returns true when the end test fired after the last of them.
  bool Type(std::string_view keys) {
    bool ended = false;
    for (const char ch : keys) {
      EXPECT_FALSE(ended) << "key after the end";
      exercise.Key(static_cast<unsigned char>(ch));
      ended = exercise.EndReached();
    }
    return ended;
  }

  Lines UpperLines() const {
    Lines lines;
    for (int i = 0; i < upper.LineCount(); ++i) lines.push_back(upper.Line(i));
    return lines;
  }

  const ExerciseState& State() const { return exercise.State(); }

  MemoryPane upper;
  MemoryPane lower;
  Exercise exercise{upper, lower};
};

TEST_F(ExerciseTest, LoadHighlightsTheFirstCharacterAndZeroesTheCounters) {
  Start({"ab", "c"}, "  C\xEDm\t ");
  EXPECT_EQ(State().LessonTitle, "C\xEDm");
  EXPECT_EQ(State().TotalLetters, 3);
  EXPECT_EQ(State().TargetPos, 0);
  EXPECT_TRUE(State().ExerciseActive);
  EXPECT_EQ(lower.SelectedText(), "a");
  EXPECT_EQ(lower.CaretLine(), 1);
  EXPECT_EQ(lower.CaretColumn(), 2);
  EXPECT_EQ(upper.LineCount(), 0);
}

TEST_F(ExerciseTest, TypingTheWholeLessonRightEndsIt) {
  Start({"ab", "c"});
  EXPECT_FALSE(Type("ab"));
  // After b nothing is highlighted: the caret stands beyond the end of line 1.
  EXPECT_EQ(lower.SelectedText(), "");
  EXPECT_EQ(lower.CaretLine(), 1);
  EXPECT_EQ(lower.CaretColumn(), 4);
  EXPECT_FALSE(Type("\r"));
  EXPECT_EQ(lower.SelectedText(), "c");
  EXPECT_TRUE(Type("c"));
  EXPECT_EQ(State().CorrectCount, 3);
  EXPECT_EQ(State().WrongCount, 0);
  EXPECT_EQ(UpperLines(), (Lines{"ab", "c"}));
  EXPECT_EQ(upper.CaretLine(), 2);
  EXPECT_EQ(upper.CaretColumn(), 2);
}

TEST_F(ExerciseTest, KeysOnBreakPositionsAreNotJudged) {
  Start({"ab", "c"});
  EXPECT_EQ(exercise.Key('a'), KeyOutcome::Correct);
  exercise.Key('b');
  EXPECT_EQ(exercise.Key('x'), KeyOutcome::Unjudged);
  EXPECT_EQ(exercise.Key('y'), KeyOutcome::Unjudged);
  EXPECT_FALSE(exercise.EndReached());
  EXPECT_EQ(exercise.Key('c'), KeyOutcome::Correct);
  EXPECT_TRUE(exercise.EndReached());
  EXPECT_EQ(State().CorrectCount, 3);
  EXPECT_EQ(State().WrongCount, 0);
  EXPECT_EQ(UpperLines(), (Lines{"abxyc"}));
}

TEST_F(ExerciseTest, EnterSkipsTheRestOfTheLine) {
  Start({"ab", "c"});
  Type("a\r");
  EXPECT_EQ(State().TargetPos, 3);
  EXPECT_EQ(lower.SelectedText(), "");
  EXPECT_EQ(UpperLines(), (Lines{"a", ""}));
  EXPECT_EQ(upper.CaretLine(), 2);
  EXPECT_EQ(upper.CaretColumn(), 1);
}

TEST_F(ExerciseTest, SecondEnterAtTheLastLineEndsWithoutTypingIt) {
  Start({"ab", "c"});
  EXPECT_FALSE(Type("ab\r"));
  EXPECT_EQ(State().TargetPos, 4);
  EXPECT_TRUE(Type("\r"));
  EXPECT_EQ(State().TargetPos, 6);
  EXPECT_EQ(State().CorrectCount, 2);
}

TEST_F(ExerciseTest, WrongKeysMoveOnAndCaseAndAccentsCount) {
  Start({"ab"});
  EXPECT_TRUE(Type("xb"));
  EXPECT_EQ(State().WrongCount, 1);
  EXPECT_EQ(State().CorrectCount, 1);

  Start({"a\xF5"});  // a, ő
  EXPECT_EQ(exercise.Key('A'), KeyOutcome::Wrong);
  EXPECT_EQ(exercise.Key(0xF6), KeyOutcome::Wrong);  // ö is not ő
  Start({"\xF5"});
  EXPECT_EQ(exercise.Key(0xF5), KeyOutcome::Correct);
}

TEST_F(ExerciseTest, TextEndingInAnEmptyLineEndsAfterTheEnterIntoIt) {
  Start({"a", ""});
  EXPECT_FALSE(Type("a"));
  EXPECT_TRUE(Type("\r"));
  EXPECT_EQ(State().TargetPos, 3);
}

TEST_F(ExerciseTest, TitleOnlyLessonNeverEndsByItself) {
  Start({});
  EXPECT_EQ(State().TotalLetters, 0);
  EXPECT_EQ(lower.CaretLine(), 1);
  EXPECT_EQ(lower.CaretColumn(), 1);
  EXPECT_EQ(exercise.Key('a'), KeyOutcome::Unjudged);
  EXPECT_FALSE(exercise.EndReached());
  exercise.Key('\r');
  EXPECT_FALSE(exercise.EndReached());
  EXPECT_EQ(State().CorrectCount + State().WrongCount, 0);
  EXPECT_EQ(PercentText(State().TotalLetters, 0, 0), "0%");
}

TEST_F(ExerciseTest, ControlKeysChangeNothingButCharacter127IsJudged) {
  Start({"ab"});
  for (const unsigned char ch : {8, 9, 27, 1, 0}) EXPECT_EQ(exercise.Key(ch), KeyOutcome::Control);
  EXPECT_EQ(upper.LineCount(), 0);
  EXPECT_EQ(State().TargetPos, 0);
  EXPECT_EQ(lower.SelectedText(), "a");
  EXPECT_EQ(exercise.Key(127), KeyOutcome::Wrong);
  EXPECT_EQ(UpperLines(), (Lines{"\x7f"}));
}

TEST_F(ExerciseTest, EndTestFollowsTheExpectedPositionNotTheLessonCaret) {
  Start({"ab", "cd"});
  lower.SetCaret(2, 4);  // as a mouse click beyond the end of the last line
  EXPECT_FALSE(exercise.EndReached());
  EXPECT_EQ(exercise.Key(8), KeyOutcome::Control);
  EXPECT_FALSE(exercise.EndReached());
  EXPECT_FALSE(Type("ab\rc"));
  EXPECT_TRUE(Type("d"));
}

TEST_F(ExerciseTest, KeysAreJudgedAgainstTheExpectedCharacterWhateverIsSelected) {
  Start({"abc"});
  lower.SelectCharacter(1, 3);  // a drag selected "c" while "a" is expected
  EXPECT_EQ(exercise.Key('a'), KeyOutcome::Correct);
  EXPECT_EQ(lower.SelectedText(), "b");
  lower.SetCaret(1, 1);  // a click took the highlight away
  EXPECT_EQ(exercise.Key('x'), KeyOutcome::Wrong);
  EXPECT_EQ(lower.SelectedText(), "c");
  EXPECT_EQ(State().CorrectCount, 1);
  EXPECT_EQ(State().WrongCount, 1);
}

TEST_F(ExerciseTest, ANewLoadStartsOver) {
  Start({"abc", "def"});
  Type("ab\rd");
  Start({"xy"});
  EXPECT_EQ(State().TargetPos, 0);
  EXPECT_EQ(State().CorrectCount, 0);
  EXPECT_EQ(State().TotalLetters, 2);
  EXPECT_EQ(upper.LineCount(), 0);
  EXPECT_EQ(lower.SelectedText(), "x");
  EXPECT_TRUE(Type("xy"));
}

TEST_F(ExerciseTest, LongLessonKeepsTheHighlightInStep) {
  Lines text;
  for (int i = 0; i < 200; ++i) text.push_back(std::string(i % 7, 'a' + i % 26));
  Start(text);
  std::string keys;
  for (const auto& line : text) keys += line + "\r";
  keys.pop_back();
  // The last line is not empty, so the last letter ends it.
  EXPECT_TRUE(Type(keys));
  EXPECT_EQ(State().WrongCount, 0);
  EXPECT_EQ(State().CorrectCount, State().TotalLetters);
}

// Judged keys are recorded with the time since the previous judged key; keys typed on a line
// break, where nothing is expected, are not. The first judged key has no time of its own (the
// learner was reading before it): it is given the mean of the timed correct hits.
TEST_F(ExerciseTest, JudgedKeysAreRecordedWithTheirIntervals) {
  int64_t now = 1000;
  exercise.SetClock([&now] { return std::chrono::milliseconds(now); });
  Start({"ab", "ab"});
  for (const auto& [ms, key] : std::vector<std::pair<int64_t, char>>{
           {26000, 'a'}, {26200, 'x'}, {27000, 'y'}, {27000, 'z'}, {27100, 'a'}, {27350, 'b'}}) {
    now = ms;
    exercise.Key(static_cast<unsigned char>(key));
  }
  const std::vector<KeyTally> rows = exercise.Keys().Tallies();
  ASSERT_EQ(rows.size(), 2U);
  // a: 900 ms since x, and the mean of the two timed correct hits (900 and 250, 575) for the
  // first key, not the 25 s of reading.
  EXPECT_EQ(std::tie(rows[0].ch, rows[0].judged, rows[0].intervalMs),
            std::make_tuple('a', 2, int64_t{900 + 575}));
  // b's wrong hit (x, 200 ms) is counted but its time is not summed.
  EXPECT_EQ(std::tie(rows[1].judged, rows[1].wrong, rows[1].intervalMs),
            std::make_tuple(2, 1, int64_t{250}));
  EXPECT_EQ(rows[1].substitutes, (std::vector<Substitute>{{'x', 1}}));
  Start({"a"});
  EXPECT_TRUE(exercise.Keys().Empty());
}

// The time of the exercise runs from its first judged key: reading the lesson first, or keys that
// are not judged, count in no figure.
TEST_F(ExerciseTest, TheClockRunsFromTheFirstJudgedKey) {
  int64_t now = 0;
  exercise.SetClock([&now] { return std::chrono::milliseconds(now); });
  Start({"", "cd"});
  const auto tickAt = [&](int64_t ms) {
    now = ms;
    exercise.Tick();
    return State().ElapsedSeconds;
  };
  EXPECT_EQ(tickAt(25000), 0);  // 25 s of reading
  EXPECT_FALSE(exercise.ClockStarted());
  now = 25400;
  exercise.Key('\r');  // Enter is never judged: the clock still waits
  EXPECT_FALSE(exercise.ClockStarted());
  now = 25500;
  exercise.Key('c');  // the first judged key, wrong or right
  EXPECT_TRUE(exercise.ClockStarted());
  EXPECT_EQ(tickAt(26499), 0);
  EXPECT_EQ(tickAt(26500), 1);
  EXPECT_EQ(tickAt(85499), 59);
  EXPECT_EQ(tickAt(85500), 60);
  // A new lesson waits for its own first key.
  Start({"ab"});
  EXPECT_EQ(tickAt(99000), 0);
  EXPECT_FALSE(exercise.ClockStarted());
}

TEST(CountersTest, PercentAndTimeTexts) {
  EXPECT_EQ(PercentText(10, 5, 3), "63%");
  EXPECT_EQ(PercentText(10, 1, 2), "33%");
  EXPECT_EQ(PercentText(10, 0, 0), "0%");
  EXPECT_EQ(PercentText(0, 5, 0), "0%");
  EXPECT_EQ(PercentText(10, 1, 39), "3%");  // 2.5 rounds away from zero
  EXPECT_EQ(PercentText(10, 7, 0), "100%");
  EXPECT_EQ(TimeText(0), "0:0");
  EXPECT_EQ(TimeText(65), "1:5");
  EXPECT_EQ(TimeText(600), "10:0");
  EXPECT_EQ(CaretText(3, 12), "3 / 12");
}

}  // namespace
}  // namespace pekto
