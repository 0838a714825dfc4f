// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/Exercise.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace pekto {

namespace {

std::chrono::milliseconds SteadyNow() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

Exercise::Exercise(PaneModel& typing, PaneModel& lesson)
    : typing_(typing), lesson_(lesson), clock_(SteadyNow) {}

void Exercise::SetClock(Clock clock) {
  clock_ = std::move(clock);
}

void Exercise::Load(Lesson lesson) {
  state_.LessonTitle = TrimTitle(lesson.title);
  lesson_.Clear();
  lesson_.AppendLines(lesson.lines);
  lines_ = std::move(lesson.lines);
  int64_t letters = 0;
  for (const auto& line : lines_) letters += static_cast<int64_t>(line.size());
  state_.TargetPos = 0;
  spot_ = {};
  typing_.Clear();
  typing_.SetCaret(1, 1);
  lesson_.SetCaret(1, 1);
  HighlightTarget();
  state_.WrongCount = 0;
  state_.CorrectCount = 0;
  state_.TotalLetters = static_cast<int32_t>(letters);
  state_.ElapsedSeconds = 0;
  state_.ExerciseActive = true;
  keys_ = KeyRecord{};
  clockStarted_ = false;
}

void Exercise::Tick() {
  if (!clockStarted_) return;
  const auto elapsed = (clock_() - firstJudged_).count() / 1000;
  state_.ElapsedSeconds =
      static_cast<int32_t>(std::clamp<int64_t>(elapsed, 0, std::numeric_limits<int32_t>::max()));
}

int32_t Exercise::LineLength(size_t line) const {
  return static_cast<int32_t>(lines_[line].size());
}

void Exercise::LocateTarget() {
  LocateOffset(
      state_.TargetPos, static_cast<int>(lines_.size()),
      [this](int line) { return LineLength(static_cast<size_t>(line)); }, spot_);
}

std::optional<unsigned char> Exercise::Expected() const {
  if (lines_.empty()) return std::nullopt;
  const int64_t column = state_.TargetPos - spot_.start;
  if (column < 0 || column >= LineLength(Line())) return std::nullopt;
  return static_cast<unsigned char>(lines_[Line()][static_cast<size_t>(column)]);
}

void Exercise::HighlightTarget() {
  if (lines_.empty()) {
    lesson_.SetCaret(1, 1);
    return;
  }
  LocateTarget();
  const int64_t column = state_.TargetPos - spot_.start;
  const int lineNumber = spot_.line + 1;
  if (column < LineLength(Line())) {
    lesson_.SelectCharacter(lineNumber, static_cast<int>(column) + 1);
  } else {
    lesson_.SetCaret(lineNumber, LineLength(Line()) + 2);
  }
}

void Exercise::CaretToEnd() {
  const int count = typing_.LineCount();
  if (count == 0) {
    typing_.SetCaret(1, 1);
  } else {
    typing_.SetCaret(count, typing_.LineLength(count - 1) + 1);
  }
}

void Exercise::Advance(int32_t steps) {
  state_.TargetPos += steps;
  HighlightTarget();
}

void Exercise::EchoCharacter(char ch) {
  const int count = typing_.LineCount();
  if (count == 0) {
    typing_.AppendLine(std::string_view(&ch, 1));
  } else {
    typing_.AppendToLine(count - 1, std::string_view(&ch, 1));
  }
  CaretToEnd();
}

KeyOutcome Exercise::Key(unsigned char ch) {
  if (ch == 13) {
    typing_.AppendLine("");
    CaretToEnd();
    Advance(2);
    return KeyOutcome::Enter;
  }
  if (ch < 32) return KeyOutcome::Control;

  // The key is judged against the character at the expected position, never against what a
  // mouse drag may have selected in the lesson pane meanwhile.
  KeyOutcome outcome = KeyOutcome::Unjudged;
  if (const std::optional<unsigned char> expected = Expected()) {
    const std::chrono::milliseconds now = clock_();
    if (clockStarted_) {
      keys_.Add(*expected, ch, (now - lastJudged_).count());
    } else {
      // Nothing was typed before the first key: its time is not the time it took.
      clockStarted_ = true;
      firstJudged_ = now;
      keys_.AddUntimed(*expected, ch);
    }
    lastJudged_ = now;
    if (*expected == ch) {
      ++state_.CorrectCount;
      outcome = KeyOutcome::Correct;
    } else {
      ++state_.WrongCount;
      outcome = KeyOutcome::Wrong;
    }
  }
  EchoCharacter(static_cast<char>(ch));
  Advance(1);
  return outcome;
}

std::optional<unsigned char> Exercise::Next() const {
  if (lines_.empty() || EndReached()) return std::nullopt;
  return Expected().value_or('\r');
}

bool Exercise::EndReached() const {
  // TargetPos has passed the last character of the text: it stands on a break after the last
  // line. A lesson without text never ends this way.
  if (lines_.empty() || Line() + 1 != lines_.size()) return false;
  return state_.TargetPos - spot_.start >= LineLength(Line());
}

}  // namespace pekto
