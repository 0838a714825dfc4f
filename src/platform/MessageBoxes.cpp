// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "platform/Dialogs.h"

namespace pekto {
namespace {

// Shows a box and gives the activation back to the window that had it before. Every box shows
// its text as it is: a file's name or text is never taken for markup (a lesson named
// "<a href=...>" would otherwise show a live link).
int ShowBox(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  const QPointer<QWidget> active = QApplication::activeWindow();
  const int result = ExecDialog(box);
  if (active) active->activateWindow();
  return result;
}

}  // namespace

void ShowError(const QString& message, QWidget* owner) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Hiba"), message, QMessageBox::Ok, owner);
  ShowBox(box);
}

void ShowWarning(const QString& message, QWidget* owner) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Figyelem"), message, QMessageBox::Ok,
                  owner);
  ShowBox(box);
}

int AskYesNoCancel(const QString& message, const QString& caption, QWidget* owner) {
  QMessageBox box(QMessageBox::Question, caption, message,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (ShowBox(box)) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
  return message;
}

void ReportError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Pekto"), ErrorReportText(message),
                  QMessageBox::Ok, QApplication::activeWindow());
  ShowBox(box);
}

}  // namespace pekto
