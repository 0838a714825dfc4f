#pragma once
// The audio side of the error sound, in a module of its own that is loaded only when the first
// sound plays: the audio libraries then cost nothing at start-up.

#include <QString>
#include <functional>
#include <memory>

namespace pekto {

class SoundEffect {
 public:
  virtual ~SoundEffect() = default;
  // Starts playing the wave file from its beginning, cutting off a sound still playing.
  virtual void Restart() = 0;
  // Called when the audio system reports later that the file cannot be played.
  virtual void SetFailureHandler(std::function<void()> handler) = 0;
};

// The module's entry point, resolved by name.
using CreateSoundEffectFunction = SoundEffect* (*)(const QString& wavePath);
inline constexpr const char* kCreateSoundEffectSymbol = "PektoCreateSoundEffect";

}  // namespace pekto
