// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operating system's service for short event sounds: libcanberra on Linux, the Windows
// multimedia API on Windows. It plays a wave file without waiting for it; the wave player above
// decides what a refusal means.

#include <filesystem>
#include <memory>

namespace pekto {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Cuts off the sound this output is still playing, if any.
  virtual void Stop() = 0;
  // Starts playing the wave file and returns at once. False when the sound service refused it;
  // without an audio device that happens for every file, valid or not.
  virtual bool Start(const std::filesystem::path& wave) = 0;
};

// The system's output. It connects to the audio service only when the first sound starts.
std::unique_ptr<SoundOutput> SystemSoundOutput();

}  // namespace pekto
