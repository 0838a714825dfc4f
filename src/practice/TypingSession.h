// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running exercise of the main window: takes the characters the window judged as typed,
// plays the error sound on a wrong key, and signals each judged key (the counters and the caret
// changed), each second of the clock and the lesson's end. The end always comes by a queued
// call, after the event that carried the last character has been handled, so that its dialogs
// never open inside a key or an input method event (whose input context would hand a composed
// letter once more to the next focused widget, the player name box).

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "practice/Exercise.h"

namespace pekto {

class WavePlayer;

class TypingSession : public QObject {
  Q_OBJECT

 public:
  // `typing` echoes the keys, `lesson` shows the text; both outlive the session.
  TypingSession(PaneModel& typing, PaneModel& lesson, QObject* parent = nullptr);
  ~TypingSession() override;

  const ExerciseState& State() const { return exercise_.State(); }
  // The judged keys of the exercise, per expected character.
  const KeyRecord& Keys() const { return exercise_.Keys(); }

  // Starts an exercise on the lesson, zeroing the counters (no signal).
  void Start(Lesson lesson);
  // One typed character (a Windows-1250 byte); ignored without a running exercise and once
  // its end is on the way.
  void Type(unsigned char ch);
  // One second of the clock: the seconds since the first judged key, by the clock.
  void Tick();
  // The time the exercise is measured on (steady_clock's unless a test sets another).
  void SetClock(Exercise::Clock clock) { exercise_.SetClock(std::move(clock)); }
  // Ends the exercise without its evaluation (the caller has taken the counters).
  void Stop() { exercise_.Deactivate(); }

  void CaretToEnd() { exercise_.CaretToEnd(); }
  // What the learner is to type next ('\r': Enter); nothing while no exercise runs.
  std::optional<unsigned char> NextCharacter() const {
    return State().ExerciseActive ? exercise_.Next() : std::nullopt;
  }
  // Shows the expected character again, while an exercise runs.
  void HighlightTarget();

  // The error sound of wrong keys: off, or on with a wave file. A file that cannot be played
  // switches the sound off and is reported once through soundFailed.
  void SetErrorSound(bool on, const QString& file);

 signals:
  void keyJudged();
  // The first judged key of the exercise: its time runs from now.
  void clockStarted();
  // A key judged wrong, with the character it typed; keyJudged follows.
  void wrongKey(unsigned char typed);
  void timeChanged();
  void ended();
  void soundFailed(const QString& reason);

 private:
  void PlayErrorSound();
  void SoundFailed(const QString& reason);

  Exercise exercise_;
  std::unique_ptr<WavePlayer> player_;
  bool sound_ = false;
};

}  // namespace pekto
