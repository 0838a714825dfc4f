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
// How long it may take to carry out the fitted placement.
constexpr qint64 kConfirmWaitMs = 1000;

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
// window at once with the best frame known, and again with its own frame once it is framed.
// Lives as a child of the window and deletes itself when done.
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
    Place(Target(KnownFrame(window_).value_or(LastFrame())));
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
      if (event->type() == QEvent::Show) {
        // Placed before the window existed on the screen: place it again now that it has a
        // native window, which takes the frame's corner.
        Place(Target(KnownFrame(window_).value_or(LastFrame())));
        Watch();
      } else if (event->type() == QEvent::Hide) {
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
    if (!resizable_) {
      target.Width = size.width();
      target.Height = size.height();
    }
    return target;
  }

  void Place(FormBounds target) {
    if (resizable_) window_.resize(target.Width, target.Height);
    if (window_.size() != QSize(target.Width, target.Height)) {
      // The window kept a larger size than fits: its corner goes where that size fits best.
      const FrameMargins frame = KnownFrame(window_).value_or(LastFrame());
      const FormBounds own = FitToWorkArea(
          {target.Left, target.Top, window_.width(), window_.height()}, frame, workArea_);
      target = {own.Left, own.Top, window_.width(), window_.height()};
    }
    target_ = target;
    const QPoint corner(target.Left, target.Top);
    window_.move(corner);
    // Before the window manager has framed the window, Qt takes a position as the client
    // area's; asking for the frame's corner lets the window manager put the frame there.
    QWindow* handle = window_.windowHandle();
    if (handle != nullptr && !KnownFrame(window_)) handle->setFramePosition(corner);
  }

  void Poll() {
    if (stage_ == Stage::WaitingForFrame) {
      if (const auto frame = KnownFrame(window_)) {
        LastFrame() = *frame;
        const FormBounds target = Target(*frame);
        if (CurrentBounds(window_) != target) Place(target);
        target_ = target;
        stage_ = Stage::Confirming;
        waited_.start();
      } else if (waited_.hasExpired(kFrameWaitMs)) {
        Finish();
        return;
      }
    }
    if (stage_ == Stage::Confirming &&
        (CurrentBounds(window_) == target_ || waited_.hasExpired(kConfirmWaitMs))) {
      Finish();
    }
  }

  QWidget& window_;
  const FormBounds request_;
  const WorkRect workArea_;
  const bool resizable_;
  FormBounds target_;
  Stage stage_ = Stage::WaitingForFrame;
  QTimer timer_;
  QElapsedTimer waited_;
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
