// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Placement.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <optional>

#include "platform/Startup.h"

namespace pekto {
namespace {

constexpr int kPollMs = 10;
// A busy machine may keep the window manager from framing a window for seconds: the wait has no
// end while the window is shown, but after a while it looks less often.
constexpr qint64 kPatientAfterMs = 2000;
constexpr int kPatientPollMs = 100;
// How long the window manager may take to carry out a placement before it is asked again, and
// how often it is asked at most.
constexpr qint64 kConfirmWaitMs = 300;
constexpr int kMaxRetries = 3;

// The frame of the window framed last: the best guess for a window not framed yet.
FrameMargins& LastFrame() {
  static FrameMargins frame;
  return frame;
}

// Whether the window manager has mapped the window. It maps a window only once it has framed it,
// so from then on the frame Qt reports is the one the window keeps, or there is none.
bool Mapped(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle != nullptr && window.isVisible() && handle->isExposed();
}

// Mapped with no frame: there is no window manager, or it does not frame this window.
bool MappedWithoutFrame(const QWidget& window) {
  return Mapped(window) && window.windowHandle()->frameMargins().isNull();
}

// The window's frame once the window manager has framed and mapped it and the widget's geometry
// knows it. While the window manager frames a window, Qt reads the frame from the window tree,
// where the window may still sit at the frame's corner (openbox reparents it there first and
// moves it inside only later): margins such as 0, 0, 2, 25 are not the frame, nor are negative
// ones or none.
std::optional<FrameMargins> KnownFrame(const QWidget& window) {
  if (!Mapped(window)) return std::nullopt;
  const QMargins m = window.windowHandle()->frameMargins();
  if (m.isNull() || m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0) {
    return std::nullopt;
  }
  if (window.geometry().topLeft() - window.frameGeometry().topLeft() != QPoint(m.left(), m.top())) {
    return std::nullopt;
  }
  return FrameMargins{m.left(), m.top(), m.right(), m.bottom()};
}

// Where the window is: the frame's corner and the client area's size.
FormBounds CurrentBounds(const QWidget& window) {
  return FormBounds{window.x(), window.y(), window.width(), window.height()};
}

// Carries one placement request of a window through to the window manager's frame: places the
// window at once with the best frame known, and again with its own frame once it is framed,
// until the window is where it was asked to be. Lives as a child of the window and deletes
// itself when done.
class FramePlacer : public QObject {
 public:
  FramePlacer(QWidget& window, const FormBounds& request, const WorkRect& workArea, bool resizable)
      : QObject(&window),
        window_(window),
        request_(request),
        workArea_(workArea),
        resizable_(resizable) {
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    window_.installEventFilter(this);
    PlaceBeforeFraming();
    if (window_.isVisible()) Watch();
  }

  bool Pending() const { return stage_ != Stage::Done; }

  // Gives up the request, for a new one or a hidden window.
  void Finish() {
    if (stage_ == Stage::Done) return;
    stage_ = Stage::Done;
    timer_.stop();
    window_.removeEventFilter(this);
    deleteLater();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && stage_ != Stage::Done) {
      if (event->type() == QEvent::Show && !event->spontaneous() && !timer_.isActive()) {
        // Placed before the window existed on the screen: place it again now that it has a
        // native window, which takes the frame's corner.
        PlaceBeforeFraming();
        Watch();
      } else if (event->type() == QEvent::Hide && !event->spontaneous()) {
        Finish();
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  enum class Stage { WaitingForFrame, Confirming, Done };

  void Watch() {
    waited_.start();
    timer_.start(kPollMs);
  }

  // The request fitted into the work area with `frame`; a window that cannot take the size
  // (a fixed-size dialog, or one below its minimum size) keeps its own and only moves.
  FormBounds Target(const FrameMargins& frame) const {
    QSize size = window_.size();
    if (resizable_) {
      size = QSize(request_.Width, request_.Height)
                 .expandedTo(window_.minimumSize())
                 .boundedTo(window_.maximumSize());
    }
    FormBounds target =
        FitToWorkArea({request_.Left, request_.Top, size.width(), size.height()}, frame, workArea_);
    const QSize fitted(target.Width, target.Height);
    const QSize taken = resizable_ ? fitted.expandedTo(window_.minimumSize()) : window_.size();
    if (taken != fitted) {
      // The window keeps a larger size than fits: its corner goes where that size fits best.
      const FormBounds own =
          FitToWorkArea({target.Left, target.Top, taken.width(), taken.height()}, frame, workArea_);
      target = {own.Left, own.Top, taken.width(), taken.height()};
    }
    return target;
  }

  // Before the window manager has framed the window, Qt takes a position as the client area's;
  // asking for the frame's corner as well lets the window manager put the frame there.
  void PlaceBeforeFraming() {
    const std::optional<FrameMargins> frame = KnownFrame(window_);
    if (frame) {
      PlaceFramed(*frame);
      return;
    }
    target_ = Target(LastFrame());
    if (resizable_) window_.resize(target_.Width, target_.Height);
    const QPoint corner(target_.Left, target_.Top);
    window_.move(corner);
    if (QWindow* handle = window_.windowHandle()) handle->setFramePosition(corner);
  }

  // With the frame known, the client area's geometry follows from the frame's corner; it is set
  // in one step, so that the window manager gets one request.
  void PlaceFramed(const FrameMargins& frame) {
    frame_ = frame;
    target_ = Target(frame);
    placed_.start();
    if (CurrentBounds(window_) == target_) return;
    window_.setGeometry(target_.Left + frame.Left, target_.Top + frame.Top, target_.Width,
                        target_.Height);
  }

  void Poll() {
    const std::optional<FrameMargins> frame = KnownFrame(window_);
    if (stage_ == Stage::WaitingForFrame) {
      if (frame) {
        LastFrame() = *frame;
        PlaceFramed(*frame);
        stage_ = Stage::Confirming;
        timer_.setInterval(kPollMs);
      } else if (MappedWithoutFrame(window_)) {
        Finish();  // placed already: without a frame the client area's corner is the window's
      } else if (waited_.hasExpired(kPatientAfterMs) && timer_.interval() != kPatientPollMs) {
        timer_.setInterval(kPatientPollMs);
      }
      return;
    }
    if (frame && *frame != frame_) {
      PlaceFramed(*frame);  // the window manager has framed it anew
    } else if (frame && CurrentBounds(window_) == target_) {
      Finish();
    } else if (placed_.hasExpired(kConfirmWaitMs)) {
      // The window manager has not carried it out, or something moved the window meanwhile.
      if (frame && ++retries_ <= kMaxRetries) {
        PlaceFramed(*frame);
      } else {
        Finish();
      }
    }
  }

  QWidget& window_;
  const FormBounds request_;
  const WorkRect workArea_;
  const bool resizable_;
  FormBounds target_;
  FrameMargins frame_;
  Stage stage_ = Stage::WaitingForFrame;
  int retries_ = 0;
  QTimer timer_;
  QElapsedTimer waited_;
  QElapsedTimer placed_;
};

FramePlacer* PlacerOf(const QWidget& window) {
  for (QObject* child : window.children()) {
    auto* placer = dynamic_cast<FramePlacer*>(child);
    if (placer != nullptr && placer->Pending()) return placer;
  }
  return nullptr;
}

void Place(QWidget& window, const FormBounds& request, const WorkRect& workArea, bool resizable) {
  if (FramePlacer* previous = PlacerOf(window)) previous->Finish();
  new FramePlacer(window, request, workArea, resizable);  // owned by the window
}

}  // namespace

IniFile SettingsIni() {
  return IniFile(Startup().SettingsFile);
}

void RestoreFormBounds(QWidget& window, std::string_view section, int defaultWidth,
                       int defaultHeight) {
  const WorkRect& workArea = Startup().WorkArea;
  Place(window, LoadFormBounds(SettingsIni(), section, defaultWidth, defaultHeight, workArea),
        workArea, true);
}

void RestoreFormPos(QWidget& window, std::string_view section) {
  int32_t left = 0, top = 0;
  LoadFormPos(SettingsIni(), section, left, top);
  Place(window, FormBounds{left, top, window.width(), window.height()}, Startup().WorkArea, false);
}

void FillWorkArea(QWidget& window, const WorkRect& workArea) {
  const FormBounds whole{workArea.Left, workArea.Top, workArea.Right - workArea.Left,
                         workArea.Bottom - workArea.Top};
  Place(window, whole, workArea, true);
}

void StoreFormBounds(const QWidget& window, std::string_view section) {
  IniFile ini = SettingsIni();
  SaveFormBounds(ini, section, CurrentBounds(window));
}

void StoreFormPos(const QWidget& window, std::string_view section) {
  IniFile ini = SettingsIni();
  SaveFormPos(ini, section, window.x(), window.y());
}

bool PlacementPending(const QWidget& window) {
  return PlacerOf(window) != nullptr;
}

}  // namespace pekto
