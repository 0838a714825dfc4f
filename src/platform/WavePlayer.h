#pragma once
// The error sound: plays a wave file asynchronously, starting it anew on every call. The audio
// device is opened only when the first sound is played.

#include <QString>
#include <functional>
#include <memory>

namespace pekto {

class SoundEffect;

// Checks that `bytes` hold a playable PCM wave file; returns an empty text when it does, else
// what is wrong.
QString WaveProblem(const QByteArray& bytes);

class WavePlayer {
 public:
  WavePlayer();
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  void SetFileName(const QString& path);
  const QString& FileName() const { return fileName_; }

  // Starts the sound, cutting off the one still playing. Throws pekto::Error when the file
  // cannot be opened or is not a valid wave file.
  void Play();

  // Called when playback fails after Play has returned (the audio system reports it later).
  void SetFailureHandler(std::function<void(const QString&)> handler);

 private:
  void Open();

  QString fileName_;
  bool checked_ = false;
  std::unique_ptr<SoundEffect> effect_;
  std::function<void(const QString&)> onFailure_;
};

}  // namespace pekto
