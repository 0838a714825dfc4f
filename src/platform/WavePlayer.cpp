#include "platform/WavePlayer.h"

#include <QFile>
#include <QtEndian>

#include "platform/Error.h"
#include "platform/QtText.h"
#include "platform/SoundOutput.h"

namespace pekto {
namespace {

quint32 U32(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 U16(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<quint16>(b.constData() + at);
}

QString CheckFormat(const QByteArray& bytes, qsizetype at, quint32 size) {
  if (size < 16) return QStringLiteral("hibás formátumleírás");
  const quint16 format = U16(bytes, at);
  const quint16 channels = U16(bytes, at + 2);
  const quint16 bits = U16(bytes, at + 14);
  if (format != 1 && format != 3 && format != 0xFFFE) return QStringLiteral("nem PCM hang");
  if (channels == 0 || channels > 8 || bits == 0 || bits > 32 || U32(bytes, at + 4) == 0) {
    return QStringLiteral("hibás formátumleírás");
  }
  return {};
}

}  // namespace

QString WaveProblem(const QByteArray& bytes) {
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
    return QStringLiteral("nem RIFF WAVE fájl");
  }
  bool format = false;
  qsizetype at = 12;
  while (at + 8 <= bytes.size()) {
    const QByteArray id = bytes.mid(at, 4);
    const quint32 size = U32(bytes, at + 4);
    at += 8;
    if (static_cast<qint64>(size) > bytes.size() - at) return QStringLiteral("csonka fájl");
    if (id == "fmt ") {
      const QString problem = CheckFormat(bytes, at, size);
      if (!problem.isEmpty()) return problem;
      format = true;
    } else if (id == "data") {
      return format ? QString() : QStringLiteral("hiányzó formátumleírás");
    }
    at += size + (size & 1);
  }
  return QStringLiteral("hiányzó hangadatok");
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
  QFile file(fileName_);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Error(("A(z) \"" + fileName_ + "\" hangfájl nem nyitható meg: " + file.errorString())
                    .toStdString());
  }
  const QString problem = WaveProblem(file.readAll());
  if (!problem.isEmpty()) {
    throw Error(
        ("A(z) \"" + fileName_ + "\" nem érvényes wave hangfájl (" + problem + ")").toStdString());
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
