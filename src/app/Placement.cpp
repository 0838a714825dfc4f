#include "app/Placement.h"

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
// How long a window manager may take to frame a shown window; without one there is no frame.
constexpr qint64 kFrameWaitMs = 2000;
// How long the window manager may take to carry out a placement before it is asked again, and
// how often it is asked at most.
constexpr qint64 kConfirmWaitMs = 300;
constexpr int kMaxRetries = 3;

// The frame of the window framed last: the best guess for a window not framed yet.
FrameMargins& LastFrame() {
  static FrameMargins frame;
  return frame;
}

// The window's frame once the window manager has framed it and the widget's geometry knows it.
// While the window manager reparents a window, Qt may report margins that are not a frame at
// all (negative ones), or none yet.
std::optional<FrameMargins> KnownFrame(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  if (handle == nullptr || !window.isVisible()) return std::nullopt;
  const QMargins m = handle->frameMargins();
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
    timer_.setInterval(kPollMs);
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
    timer_.start();
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
      } else if (waited_.hasExpired(kFrameWaitMs)) {
        Finish();  // no window manager frames it
      }
      return;
    }
    if (frame && CurrentBounds(window_) == target_) {
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
