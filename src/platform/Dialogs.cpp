// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <utility>

#include "platform/QtText.h"

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

QString DocumentsFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  }
  return folder;
}

std::optional<std::filesystem::path> AskSaveFile(QWidget& owner, const QString& caption,
                                                 const QString& suggested, const QString& filter,
                                                 const QString& suffix) {
  QFileDialog dialog(&owner, caption, suggested, filter);
  dialog.setObjectName(QStringLiteral("SaveDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(suffix);
  if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return ToPath(dialog.selectedFiles().front());
}

}  // namespace pekto
