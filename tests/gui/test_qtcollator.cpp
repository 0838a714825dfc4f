// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt collation behind the tables' FindRow and SortBy.

#include <QtTest>

#include "platform/QtCollator.h"

class TestQtCollator : public QObject {
  Q_OBJECT

 private slots:
  void hungarianDigraphsSortAfterTheirFirstLetter() {
    const pekto::QtCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QVERIFY(collator.Compare("Cukor", "Csaba", false) < 0);
    QVERIFY(collator.Compare("Csaba", "Cukor", false) > 0);
    QVERIFY(collator.Compare("gyalog", "gz", true) > 0);
  }

  void caseMattersOnlyWhenAsked() {
    const pekto::QtCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QCOMPARE(collator.Compare("anna", "Anna", true), 0);
    QVERIFY(collator.Compare("anna", "Anna", false) != 0);
    QCOMPARE(collator.Compare("Anna", "Anna", false), 0);
  }

  void windows1250BytesAreLetters() {
    // "Béla" and "Éva" in Windows-1250: é = 0xE9, É = 0xC9.
    const pekto::QtCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QVERIFY(collator.Compare("B\xE9la", "Bf", false) < 0);
    QVERIFY(collator.Compare("\xC9va", "Ferenc", false) < 0);
    QVERIFY(collator.Compare("anna", "B\xE9la", true) < 0);
  }
};

QTEST_GUILESS_MAIN(TestQtCollator)
#include "test_qtcollator.moc"
