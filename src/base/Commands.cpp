// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Commands.h"

#include <QAction>
#include <QWidget>

#include "base/Icons.h"
#include "platform/Guard.h"

namespace pekto {

void AddCommands(QWidget& window, std::initializer_list<Command> table, CommandHint hint) {
  for (const Command& row : table) {
    auto* action = new QAction(row.caption, &window);
    action->setObjectName(QLatin1String(row.name));
    if (row.icon != nullptr && *row.icon != '\0') {
      action->setIcon(CommandIcon(QString::fromLatin1(row.icon)));
    }
    QString tip = QString(row.caption).remove(u'&');
    action->setStatusTip(tip);
    if (hint == CommandHint::CaptionAndKey && !row.keys.isEmpty()) {
      tip += QStringLiteral(" (%1)").arg(row.keys.front().toString());
    }
    action->setToolTip(tip);
    action->setShortcuts(row.keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &window,
                     [handler = row.handler] { Guarded(handler); });
    window.addAction(action);
    *row.action = action;
  }
}

}  // namespace pekto
