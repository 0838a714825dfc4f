// The sound module: the error sound played through Qt Multimedia.

#include <QSoundEffect>
#include <QUrl>

#include "platform/SoundEffect.h"

namespace pekto {
namespace {

class QtSoundEffect final : public SoundEffect {
 public:
  explicit QtSoundEffect(const QString& path) {
    QObject::connect(&effect_, &QSoundEffect::statusChanged, &effect_, [this] {
      if (effect_.status() == QSoundEffect::Error && onFailure_) onFailure_();
    });
    effect_.setSource(QUrl::fromLocalFile(path));
  }
  void Restart() override {
    effect_.stop();
    effect_.play();
  }
  void SetFailureHandler(std::function<void()> handler) override {
    onFailure_ = std::move(handler);
  }

 private:
  QSoundEffect effect_;
  std::function<void()> onFailure_;
};

}  // namespace
}  // namespace pekto

extern "C" Q_DECL_EXPORT pekto::SoundEffect* PektoCreateSoundEffect(const QString& wavePath) {
  return new pekto::QtSoundEffect(wavePath);  // the caller owns it
}
