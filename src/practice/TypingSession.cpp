// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/TypingSession.h"

#include <exception>

#include "platform/QtText.h"
#include "platform/WavePlayer.h"

namespace pekto {

TypingSession::TypingSession(PaneModel& typing, PaneModel& lesson, QObject* parent)
    : QObject(parent), exercise_(typing, lesson), player_(std::make_unique<WavePlayer>()) {
  player_->SetFailureHandler([this](const QString& reason) { SoundFailed(reason); });
}

TypingSession::~TypingSession() = default;

void TypingSession::Start(Lesson lesson) {
  exercise_.Load(std::move(lesson));
}

void TypingSession::Type(unsigned char ch) {
  if (!State().ExerciseActive || exercise_.EndReached()) return;
  const bool waiting = !exercise_.ClockStarted();
  if (exercise_.Key(ch) == KeyOutcome::Wrong) {
    if (sound_) PlayErrorSound();
    emit wrongKey(ch);
  }
  if (waiting && exercise_.ClockStarted()) emit clockStarted();
  emit keyJudged();
  if (!exercise_.EndReached()) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        // Befejeztem or a new lesson may have come first.
        if (State().ExerciseActive && exercise_.EndReached()) emit ended();
      },
      Qt::QueuedConnection);
}

void TypingSession::Tick() {
  exercise_.Tick();
  emit timeChanged();
}

void TypingSession::HighlightTarget() {
  if (State().ExerciseActive) exercise_.HighlightTarget();
}

void TypingSession::SetErrorSound(bool on, const QString& file) {
  sound_ = on;
  if (on) player_->SetFileName(file);
}

void TypingSession::PlayErrorSound() {
  try {
    player_->Play();
  } catch (const std::exception& e) {
    SoundFailed(ReadableText(e.what()));
  }
}

void TypingSession::SoundFailed(const QString& reason) {
  if (!sound_) return;  // reported once; no further sound is tried
  sound_ = false;
  emit soundFailed(reason);
}

}  // namespace pekto
