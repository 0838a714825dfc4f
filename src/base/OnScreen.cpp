// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/OnScreen.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace pekto {
namespace {

// Watches the window's native window for its exposure. Lives as a child of the window and
// deletes itself when done.
class ExposureWait final : public QObject {
 public:
  ExposureWait(QWidget& window, std::chrono::milliseconds deadline, std::function<void()> then)
      : QObject(&window), window_(window), then_(std::move(then)) {
    if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
    QTimer::singleShot(deadline, this, [this] {
      deadlinePassed_ = true;
      Finish();
    });
  }

  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    // The window paints itself while it handles the exposure: the work comes after that.
    if (event->type() == QEvent::Expose) {
      QMetaObject::invokeMethod(
          this, [this] { Finish(); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  void Finish() {
    const QWindow* handle = window_.windowHandle();
    const bool exposed = handle != nullptr && handle->isExposed();
    if (!then_ || !window_.isVisible() || !(exposed || deadlinePassed_)) return;
    const std::function<void()> then = std::exchange(then_, nullptr);
    deleteLater();
    then();  // may run events itself (a message box): this object touches nothing after it
  }

  QWidget& window_;
  std::function<void()> then_;
  bool deadlinePassed_ = false;
};

}  // namespace

void WhenOnScreen(QWidget& window, std::chrono::milliseconds deadline, std::function<void()> then) {
  new ExposureWait(window, deadline, std::move(then));  // owned by the window
}

}  // namespace pekto
