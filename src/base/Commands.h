#pragma once
// The commands of a window: actions whose shortcut works wherever the focus is in the window.

#include <QKeySequence>
#include <QString>
#include <functional>

class QAction;
class QWidget;

namespace pekto {

// A command of `window` with its caption as hint, the command icon `icon` (none when empty) and
// `shortcut`, added to the window so that the shortcut works from any of its controls; `handler`
// runs guarded, so that an error is reported rather than thrown into Qt.
QAction* AddWindowCommand(QWidget& window, const QString& caption, const QString& icon,
                          const QKeySequence& shortcut, std::function<void()> handler);

}  // namespace pekto
