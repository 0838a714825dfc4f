// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WavePlayer.h"

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/QtText.h"
#include "platform/SoundOutput.h"
#include "platform/WaveFormat.h"

namespace pekto {

QString WaveProblem(const QByteArray& bytes) {
  return QString::fromStdString(
      WaveFileProblem(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}

WavePlayer::WavePlayer() : WavePlayer(SystemSoundOutput()) {}
WavePlayer::WavePlayer(std::unique_ptr<SoundOutput> output) : output_(std::move(output)) {}
WavePlayer::~WavePlayer() = default;

void WavePlayer::SetFileName(const QString& path) {
  if (path == fileName_) return;
  fileName_ = path;
  path_ = ToPath(path);
  checked_ = false;
}

void WavePlayer::SetFailureHandler(std::function<void(const QString&)> handler) {
  onFailure_ = std::move(handler);
}

void WavePlayer::Check() {
  // Only the header is read: the sound itself goes to the sound service, and a huge file, a
  // FIFO or a device in the file's place is neither read whole nor waited on.
  const FileStart start = ReadFileStart(path_, kWaveHeadBytes);
  const std::string problem = WaveFileProblem(start.bytes, start.size);
  if (!problem.empty()) {
    throw Error("A(z) \"" + PathText(path_) + "\" nem érvényes wave hangfájl (" + problem + ")");
  }
  checked_ = true;
}

void WavePlayer::Play() {
  if (!checked_) Check();
  output_->Stop();
  // The file is a valid wave, so a refusal can only come from the machine (no audio device, a
  // busy card): the sound stays silent, as with a muted speaker, and typing goes on.
  static_cast<void>(output_->Start(path_));
}

}  // namespace pekto
