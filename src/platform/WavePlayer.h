// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The error sound: checks a wave file and plays it asynchronously through the system's sound
// service, starting it anew on every call. The audio service is reached only when the first
// sound is played.

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

namespace pekto {

class SoundOutput;

// Checks that `bytes` hold a playable PCM wave file; returns an empty text when it does, else
// what is wrong (WaveFileProblem of platform/WaveFormat.h).
QString WaveProblem(const QByteArray& bytes);

class WavePlayer {
 public:
  WavePlayer();  // plays through the operating system's sound service
  explicit WavePlayer(std::unique_ptr<SoundOutput> output);
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  void SetFileName(const QString& path);
  const QString& FileName() const { return fileName_; }

  // Starts the sound, cutting off the one still playing. Throws pekto::Error when the file
  // cannot be opened or is not a valid wave file. A valid file that the sound service refuses
  // (no audio device) stays silent: that is the machine's state, not a damaged file.
  void Play();

  // Called when playback fails after Play has returned. The sound services used now give
  // their answer within Play, so nothing is reported here at present; the owner's failure path
  // stays ready for a service that answers later.
  void SetFailureHandler(std::function<void(const QString&)> handler);

 private:
  void Check();

  QString fileName_;
  std::filesystem::path path_;
  bool checked_ = false;
  std::unique_ptr<SoundOutput> output_;
  std::function<void(const QString&)> onFailure_;
};

}  // namespace pekto
