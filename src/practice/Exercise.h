// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The typing exercise: judges each key against the highlighted character of the lesson pane,
// echoes it in the typing pane and keeps the counters. Windows and timers stay outside; the
// engine works on the two panes through PaneModel.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "practice/KeyStats.h"
#include "practice/LessonFile.h"
#include "practice/LessonOffsets.h"
#include "practice/PaneModel.h"

namespace pekto {

struct ExerciseState {
  int32_t TargetPos = 0;  // offset of the expected character; a line break counts as two
  int32_t CorrectCount = 0;
  int32_t WrongCount = 0;
  int32_t TotalLetters = 0;  // letters of the lesson text, line breaks not counted
  bool ExerciseActive = false;
  std::string LessonTitle;     // the title, trimmed
  int32_t ElapsedSeconds = 0;  // whole seconds since the first judged key
};

enum class KeyOutcome {
  Enter,     // a line break: never judged
  Correct,   // matched the highlighted character
  Wrong,     // did not match it
  Unjudged,  // a character typed where nothing was highlighted
  Control,   // 0 to 31 except 13: nothing changes
};

class Exercise {
 public:
  // The time the intervals between judged keys are measured on: steady_clock's unless a test
  // sets another.
  using Clock = std::function<std::chrono::milliseconds()>;

  // `typing` is the upper pane that echoes the keys, `lesson` the lower pane with the text.
  Exercise(PaneModel& typing, PaneModel& lesson);

  const ExerciseState& State() const { return state_; }
  // The keys judged since Load, per expected character: what was typed and the intervals.
  const KeyRecord& Keys() const { return keys_; }
  void SetClock(Clock clock);

  // Starts an exercise on the lesson: fills the lesson pane, empties the typing pane,
  // highlights the first character and zeroes the counters and the key record. Activates the
  // exercise.
  void Load(Lesson lesson);

  // One character key (a Windows-1250 byte), for an active exercise with the typing pane
  // focused. Updates panes and counters; the caller refreshes the labels and runs the end test.
  KeyOutcome Key(unsigned char ch);

  // True when TargetPos has passed the last character of the lesson text.
  bool EndReached() const;
  // What is to be typed next: the character at TargetPos, '\r' on a line break; nothing once the
  // end is reached or when the lesson has no text.
  std::optional<unsigned char> Next() const;

  // Whether a key has been judged: the exercise's time runs from the first one, so that the
  // time spent reading the lesson before typing counts in no figure.
  bool ClockStarted() const { return clockStarted_; }
  // The whole seconds since the first judged key, by the clock; 0 before it.
  void Tick();
  void Deactivate() { state_.ExerciseActive = false; }

  // Puts the typing pane's caret after its last character.
  void CaretToEnd();

  // Selects the character at TargetPos in the lesson pane, or puts the caret after its line
  // when TargetPos lies on a line break.
  void HighlightTarget();

 private:
  void Advance(int32_t steps);
  void LocateTarget();
  int32_t LineLength(size_t line) const;
  // The lesson's character at TargetPos; nothing when TargetPos lies on a line break.
  std::optional<unsigned char> Expected() const;
  void EchoCharacter(char ch);

  PaneModel& typing_;
  PaneModel& lesson_;
  ExerciseState state_;
  KeyRecord keys_;
  Clock clock_;
  std::chrono::milliseconds lastJudged_{0};  // when the last key was judged
  std::chrono::milliseconds firstJudged_{0};
  bool clockStarted_ = false;
  std::vector<std::string> lines_;  // the lesson text, as the lesson pane shows it
  // The line holding TargetPos and its start offset, kept as TargetPos moves on so that each key
  // costs the same however long the lesson is.
  LineSpot spot_;
  size_t Line() const { return static_cast<size_t>(spot_.line); }
};

}  // namespace pekto
