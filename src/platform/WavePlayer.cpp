#include "platform/WavePlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>
#include <QtEndian>

#include "platform/Error.h"
#include "platform/SoundEffect.h"

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

// Loads the sound module that lies beside the program, once.
CreateSoundEffectFunction SoundModule() {
  static const CreateSoundEffectFunction create = [] {
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/pekto_sound"));
    return reinterpret_cast<CreateSoundEffectFunction>(module.resolve(kCreateSoundEffectSymbol));
  }();
  if (create == nullptr) throw Error("A hanglejátszó modul (pekto_sound) nem tölthető be");
  return create;
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

WavePlayer::WavePlayer() = default;
WavePlayer::~WavePlayer() = default;

void WavePlayer::SetFileName(const QString& path) {
  if (path == fileName_) return;
  fileName_ = path;
  checked_ = false;
  effect_.reset();
}

void WavePlayer::SetFailureHandler(std::function<void(const QString&)> handler) {
  onFailure_ = std::move(handler);
}

void WavePlayer::Open() {
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
  effect_.reset(SoundModule()(fileName_));
  effect_->SetFailureHandler([this] {
    if (onFailure_)
      onFailure_(QStringLiteral("A(z) \"%1\" hangfájl nem játszható le").arg(fileName_));
  });
}

void WavePlayer::Play() {
  if (!checked_ || !effect_) Open();
  effect_->Restart();
}

}  // namespace pekto
