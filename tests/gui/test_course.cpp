// SPDX-License-Identifier: GPL-3.0-or-later
// The Hungarian course that comes with Pekto (assets/lessons): every lesson reads as a lesson,
// holds only characters a Hungarian keyboard types, and shows in the lower pane of a main
// window at its design size and default look without a wrapped line.

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>
#include <algorithm>
#include <fstream>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonFile.h"
#include "practice/TextPane.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

// tools/make-course.py wraps the lesson text at this column.
constexpr int kWrapColumn = 52;
constexpr int kMinLessons = 60;
constexpr int kMinPassages = 20;
// The title of a passage of real text begins so ("Szöveg:").
constexpr std::string_view kPassageMark = "Sz\xF6veg:";

using test::ReadBytes;

// What a Hungarian keyboard types, as Windows-1250 bytes: letters, digits and the blank, the
// accented letters of Hungarian, the euro sign (AltGr+U), and the ASCII punctuation but for the
// tilde, caret and backquote, which are dead keys there.
bool Typeable(unsigned char ch) {
  static const std::string accented =
      "\x80"                                   // €
      "\xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB"   // á é í ó ö ő ú ü ű
      "\xC1\xC9\xCD\xD3\xD6\xD5\xDA\xDC\xDB";  // Á É Í Ó Ö Ő Ú Ü Ű
  if (ch >= 0x80) return accented.find(static_cast<char>(ch)) != std::string::npos;
  return ch >= 0x20 && ch < 0x7F && ch != '~' && ch != '^' && ch != '`';
}

QString Show(const fs::path& lesson, int line = -1) {
  return FromPath(lesson.filename()) + (line >= 0 ? QStringLiteral(", line %1").arg(line) : "");
}

// The lower pane's document blocks that are laid out on more than one row.
QStringList WrappedLines(TextPane& pane) {
  QStringList wrapped;
  QTextDocument& document = *pane.document();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    // Asking for the block's rectangle lays it out at the pane's current width.
    document.documentLayout()->blockBoundingRect(block);
    if (block.layout()->lineCount() != 1) wrapped << block.text();
  }
  return wrapped;
}

}  // namespace

class CourseTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_;
  std::vector<fs::path> lessons_;  // the shipped lessons, sorted by name

  // A main window as a learner first meets it: design size, default pane look.
  std::unique_ptr<Tfrm_Main> OpenMainWindow() {
    run_.Reset();
    auto window = std::make_unique<Tfrm_Main>();
    window->show();
    test::WaitStarted(*window);
    window->SetEvaluationHandler([](const std::string&, int32_t, int32_t, int32_t, int32_t) {});
    return window;
  }

 private slots:
  void initTestCase() {
    for (const auto& entry : fs::directory_iterator(fs::path(PEKTO_LESSON_DIR))) {
      if (entry.path().extension() == ".lck") lessons_.push_back(entry.path());
    }
    std::sort(lessons_.begin(), lessons_.end());
  }

  void theCourseHasItsLessonsInOrder() {
    QVERIFY2(static_cast<int>(lessons_.size()) >= kMinLessons,
             qPrintable(QStringLiteral("%1 lessons").arg(lessons_.size())));
    QCOMPARE(FromPath(lessons_.front().filename()), QStringLiteral("001_fdjk.lck"));
    int passages = 0;
    for (const fs::path& lesson : lessons_) {
      if (ReadLessonFile(lesson).title.starts_with(kPassageMark)) ++passages;
    }
    QVERIFY2(passages >= kMinPassages, qPrintable(QStringLiteral("%1 passages").arg(passages)));
  }

  void everyLessonReadsBackAsWritten() {
    // Read and written again, a lesson gives back its bytes: Windows-1250 lines, each ended by
    // CR LF, and nothing the reader would drop.
    QTemporaryDir out;
    for (const fs::path& lesson : lessons_) {
      const Lesson read = ReadLessonFile(lesson);
      QVERIFY2(!read.lines.empty(), qPrintable(Show(lesson)));
      const fs::path copy = fs::path(out.path().toStdString()) / "copy.lck";
      WriteLessonFile(copy, read);
      QVERIFY2(ReadBytes(copy) == ReadBytes(lesson), qPrintable(Show(lesson)));
    }
  }

  void everyLessonHoldsOnlyTypeableCharacters() {
    for (const fs::path& lesson : lessons_) {
      const Lesson read = ReadLessonFile(lesson);
      std::vector<std::string> all{read.title};
      all.insert(all.end(), read.lines.begin(), read.lines.end());
      for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        const std::string& line = all[static_cast<size_t>(i)];
        for (const char ch : line) {
          QVERIFY2(Typeable(static_cast<unsigned char>(ch)),
                   qPrintable(Show(lesson, i + 1) +
                              QStringLiteral(": byte %1").arg(static_cast<unsigned char>(ch))));
        }
        // A blank at either end of a line, or an empty line, would have to be typed unseen.
        QVERIFY2(!line.empty() && line.front() != ' ' && line.back() != ' ',
                 qPrintable(Show(lesson, i + 1)));
      }
    }
  }

  void everyLineFitsTheLowerPaneUnwrapped() {
    auto window = OpenMainWindow();
    QCOMPARE(window->size(), QSize(774, 598));
    auto* pane = test::Find<TextPane>(window, "SynEdit2");
    for (const fs::path& lesson : lessons_) {
      window->LoadLesson(FromPath(lesson));
      QApplication::processEvents();
      const Lesson read = ReadLessonFile(lesson);
      QCOMPARE(pane->document()->blockCount(), static_cast<int>(read.lines.size()));
      const QStringList wrapped = WrappedLines(*pane);
      QVERIFY2(wrapped.isEmpty(), qPrintable(Show(lesson) + ": " + wrapped.join(" | ")));
    }
  }

  void theWrapColumnFitsWithScrollBarAndWideGutter() {
    // The worst case for the script's wrap column: a lesson long enough for the vertical
    // scroll bar and a three-digit line-number gutter. Its lines of 40 to 70 letters Ő show
    // how many columns the lower pane holds without wrapping.
    auto window = OpenMainWindow();
    auto* pane = test::Find<TextPane>(window, "SynEdit2");
    constexpr int kShortest = 40, kLongest = 70;
    std::string content = "Sz\xE9les\r\n";
    for (int i = 0; i < 150; ++i) {
      content +=
          std::string(static_cast<size_t>(kShortest + i % (kLongest - kShortest + 1)), '\xD5') +
          "\r\n";
    }
    const fs::path path = run_.Home() / "szeles.lck";
    std::ofstream(path, std::ios::binary) << content;
    window->LoadLesson(FromPath(path));
    QApplication::processEvents();
    QVERIFY(pane->verticalScrollBar()->isVisible());
    QVERIFY(pane->GutterWidth() > QFontMetrics(pane->font()).horizontalAdvance("99"));

    int columns = kLongest;
    QTextDocument& document = *pane->document();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
      document.documentLayout()->blockBoundingRect(block);
      if (block.layout()->lineCount() > 1) columns = std::min(columns, block.length() - 2);
    }
    qInfo("lower pane: font %s %dpx%s, viewport %d px, gutter %d px: %d columns fit",
          qPrintable(QFontInfo(pane->font()).family()), QFontInfo(pane->font()).pixelSize(),
          pane->font().bold() ? " bold" : "", pane->viewport()->width(), pane->GutterWidth(),
          columns);
    QVERIFY2(columns >= kWrapColumn, qPrintable(QString::number(columns)));
  }
};

PEKTO_TEST_MAIN(CourseTest)

#include "test_course.moc"
