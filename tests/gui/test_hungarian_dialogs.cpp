// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's standard dialogs and message-box buttons speak Hungarian, whatever the system language:
// the program loads Qt's own Hungarian translations and keeps to Qt's dialogs.

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

#include "TestSupport.h"
#include "platform/Dialogs.h"
#include "platform/MessageBoxes.h"

using namespace pekto;

namespace {

// What a dialog showed as it opened: its caption and the texts of its buttons and labels.
struct Seen {
  QString caption;
  QString cancel;  // the text of its Cancel button, empty when it has none
  QStringList texts;
};

QString CancelText(const QDialog& dialog) {
  if (const auto* box = qobject_cast<const QMessageBox*>(&dialog)) {
    if (const QAbstractButton* button = box->button(QMessageBox::Cancel)) return button->text();
  }
  for (const auto* buttons : dialog.findChildren<QDialogButtonBox*>()) {
    if (const QAbstractButton* button = buttons->button(QDialogButtonBox::Cancel)) {
      return button->text();
    }
  }
  return {};
}

// Opens `dialog` through the program's dialog hook and writes down what it shows.
Seen Open(QDialog& dialog) {
  Seen seen;
  test::DialogAnswers answers;
  answers.Then([&seen](QDialog& shown) {
    seen.caption = shown.windowTitle();
    seen.cancel = CancelText(shown);
    for (const auto* button : shown.findChildren<QAbstractButton*>()) seen.texts << button->text();
    for (const auto* label : shown.findChildren<QLabel*>()) seen.texts << label->text();
    shown.reject();
  });
  ExecDialog(dialog);
  return seen;
}

}  // namespace

class HungarianDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxButtonsAreHungarian() {
    QStringList buttons;
    test::DialogAnswers answers;
    answers.Then([&buttons](QDialog& dialog) {
      auto& box = static_cast<QMessageBox&>(dialog);
      for (const auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        buttons << box.button(which)->text();
      }
      box.reject();
    });
    AskYesNoCancel(QStringLiteral("Menti a leckét?"), QStringLiteral("Pekto"), nullptr);
    QCOMPARE(buttons, QStringList({QStringLiteral("&Igen"), QStringLiteral("&Nem"),
                                   QStringLiteral("Mégse")}));
  }

  void desktopDialogsAreNotUsed() {
    // The desktop's own dialogs would speak the system language instead.
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
  }

  void fileDialogIsHungarian() {
    QFileDialog dialog(nullptr, QStringLiteral("Lecke megnyitása"), QDir::tempPath(),
                       QStringLiteral("Tastrel lecke állományok (*.lck)"));
    const Seen seen = Open(dialog);
    QCOMPARE(seen.cancel, QStringLiteral("Mégse"));
    QVERIFY2(seen.texts.contains(QStringLiteral("Fájl &neve:")), qPrintable(seen.texts.join('|')));
    QVERIFY2(seen.texts.contains(QStringLiteral("Fájlok típusa:")),
             qPrintable(seen.texts.join('|')));
  }

  void colorDialogIsHungarian() {
    QColorDialog dialog(Qt::white);
    const Seen seen = Open(dialog);
    QCOMPARE(seen.caption, QStringLiteral("Szín kiválasztása"));
    QCOMPARE(seen.cancel, QStringLiteral("Mégse"));
    QVERIFY2(seen.texts.contains(QStringLiteral("&Alap színek")), qPrintable(seen.texts.join('|')));
  }

  void fontDialogIsHungarian() {
    QFontDialog dialog;
    const Seen seen = Open(dialog);
    QCOMPARE(seen.caption, QStringLiteral("Betűkészlet kiválasztása"));
    QCOMPARE(seen.cancel, QStringLiteral("Mégse"));
    QVERIFY2(seen.texts.contains(QStringLiteral("&Méret")), qPrintable(seen.texts.join('|')));
  }

  void printDialogIsHungarian() {
#ifdef _WIN32
    QSKIP("Qt's print dialog on Windows is the system's own, in the system's language");
#endif
    QPrinter printer;
    QPrintDialog dialog(&printer);
    const Seen seen = Open(dialog);
    QCOMPARE(seen.caption, QStringLiteral("Nyomtatás"));
    QCOMPARE(seen.cancel, QStringLiteral("Mégse"));
    QVERIFY2(seen.texts.contains(QStringLiteral("&Beállítások >>")),
             qPrintable(seen.texts.join('|')));
  }

  void printPreviewIsHungarian() {
    QPrinter printer;
    QPrintPreviewDialog dialog(&printer);
    const Seen seen = Open(dialog);
    QCOMPARE(seen.caption, QStringLiteral("Nyomtatási kép"));
  }
};

PEKTO_TEST_MAIN(HungarianDialogsTest)

#include "test_hungarian_dialogs.moc"
