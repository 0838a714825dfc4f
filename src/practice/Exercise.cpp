#include "practice/Exercise.h"

namespace pekto {

Exercise::Exercise(PaneModel& typing, PaneModel& lesson) : typing_(typing), lesson_(lesson) {}

void Exercise::Load(const Lesson& lesson) {
  state_.LessonTitle = TrimTitle(lesson.title);
  lesson_.Clear();
  lesson_.AppendLines(lesson.lines);
  lengths_.clear();
  lengths_.reserve(lesson.lines.size());
  int64_t letters = 0;
  for (const auto& line : lesson.lines) {
    lengths_.push_back(static_cast<int32_t>(line.size()));
    letters += static_cast<int64_t>(line.size());
  }
  state_.TargetPos = 0;
  line_ = 0;
  lineStart_ = 0;
  typing_.Clear();
  typing_.SetCaret(1, 1);
  lesson_.SetCaret(1, 1);
  HighlightTarget();
  state_.WrongCount = 0;
  state_.CorrectCount = 0;
  state_.TotalLetters = static_cast<int32_t>(letters);
  state_.ElapsedSeconds = 0;
  state_.ExerciseActive = true;
}

void Exercise::HighlightTarget() {
  if (lengths_.empty()) {
    lesson_.SetCaret(1, 1);
    return;
  }
  // Locate the line: the first k with S(k) + len(k) + 2 > TargetPos.
  while (line_ + 1 < lengths_.size() && state_.TargetPos >= lineStart_ + lengths_[line_] + 2) {
    lineStart_ += lengths_[line_] + 2;
    ++line_;
  }
  const int64_t column = state_.TargetPos - lineStart_;
  const int lineNumber = static_cast<int>(line_) + 1;
  if (column < lengths_[line_]) {
    lesson_.SelectCharacter(lineNumber, static_cast<int>(column) + 1);
  } else {
    lesson_.SetCaret(lineNumber, lengths_[line_] + 2);
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

  KeyOutcome outcome = KeyOutcome::Unjudged;
  const std::string highlighted = lesson_.SelectedText();
  if (!highlighted.empty()) {
    if (static_cast<unsigned char>(highlighted.front()) == ch) {
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

bool Exercise::EndReached() const {
  const int count = lesson_.LineCount();
  if (count == 0 || lesson_.CaretLine() != count) return false;
  return lesson_.LineLength(count - 1) <= lesson_.CaretColumn() - 2;
}

}  // namespace pekto
