#include "base/Commands.h"

#include <QAction>
#include <QWidget>

#include "base/Icons.h"
#include "platform/Guard.h"

namespace pekto {

QAction* AddWindowCommand(QWidget& window, const QString& caption, const QString& icon,
                          const QKeySequence& shortcut, std::function<void()> handler) {
  auto* action = new QAction(caption, &window);
  if (!icon.isEmpty()) action->setIcon(CommandIcon(icon));
  action->setToolTip(caption);
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, &window,
                   [handler = std::move(handler)] { Guarded(handler); });
  window.addAction(action);
  return action;
}

}  // namespace pekto
