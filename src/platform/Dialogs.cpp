// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Dialogs.h"

#include <QPointer>
#include <QTimer>
#include <utility>

namespace pekto {
namespace {

DialogHook& Hook() {
  static DialogHook hook;
  return hook;
}

}  // namespace

DialogHook SetDialogHook(DialogHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

int ExecDialog(QDialog& dialog) {
  if (Hook()) {
    // The hook runs from inside the dialog's own event loop, when the dialog is up.
    const QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(0, &dialog, [guard] {
      // A copy: the hook may replace itself while it runs.
      const DialogHook hook = Hook();
      if (guard && hook) hook(*guard);
    });
  }
  return dialog.exec();
}

}  // namespace pekto
