// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of a window, built from one table: actions whose shortcuts work wherever the
// focus is in the window.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>

class QAction;
class QWidget;

namespace pekto {

// One row of a window's command table.
struct Command {
  QAction** action;  // the window's member that keeps the action
  const char* name;  // the action's object name
  QString caption;
  const char* icon;  // the command icon's file name in the icon set; none when null or empty
  QList<QKeySequence> keys;
  std::function<void()> handler;  // runs guarded: an error is reported rather than thrown into Qt
};

// What the hint of a command says: its caption, or its caption with its first shortcut.
enum class CommandHint { Caption, CaptionAndKey };

// Adds a command of `window` for each row: an action with the row's caption (its hint and status
// text without the mnemonic's "&"), icon and shortcuts, added to the window so that the shortcuts
// work from any of its controls.
void AddCommands(QWidget& window, std::initializer_list<Command> table,
                 CommandHint hint = CommandHint::Caption);

}  // namespace pekto
