// SPDX-License-Identifier: GPL-3.0-or-later
// The certificate: its page with the real fonts, the preview window with its keys and commands,
// printing and saving it as a PDF file.

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "TestSupport.h"
#include "base/Settings.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/CertificateLayout.h"
#include "results/CertificatePainter.h"
#include "results/CsvTable.h"
#include "results/Oklevel.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

std::string Cp(std::string_view utf8) {
  return cp1250::FromUtf8(utf8);
}

using test::PdfPageCount;
using test::ReadBytes;

// Page objects of a PDF file ("/Type /Page", not the "/Type /Pages" of the page tree).
void AddRow(CsvTable& table, std::string_view title, std::string_view player, int32_t seconds,
            int32_t total, int32_t correct, int32_t wrong, double percent,
            std::optional<int32_t> id = std::nullopt) {
  table.AppendRow();
  if (id) table.SetInteger("id", *id);
  table.SetText("tesztneve", title);
  table.SetText("jatekos", player);
  table.SetInteger("osszes", total);
  table.SetInteger("helyes", correct);
  table.SetInteger("hibas", wrong);
  table.SetValue("szazalek", FieldValue(percent));
  table.SetInteger("ido", seconds);
  table.SetDate("datum", Date{2024, 3, 5});
  table.PostRow();
}

// The results window's table on the lesson Második lecke, sorted by percentage, best first,
// with Szabó Éva's row (id 2) current. Kiss Anna's result has id 1.
CsvTable ShownTable() {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  AddRow(table, "Alapsor", Cp("Nagy Béla"), 71, 120, 120, 0, 100);
  AddRow(table, Cp("Második lecke"), "Kiss Anna", 83, 120, 118, 2, 98);
  AddRow(table, Cp("Második lecke"), Cp("Szabó Éva"), 99, 120, 100, 21, 83);
  table.SetFilterText(Cp("tesztneve='Második lecke'"));
  table.EnableFilter(true);
  table.SortBy("szazalek", SortOption::Descending);
  table.FindRow("id", FieldValue(int32_t{2}));
  return table;
}

// Three rows that carry the same id, as only a hand-edited file can: three pages.
CsvTable ThreeRowsOfOneId() {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  for (int i = 0; i < 3; ++i) {
    AddRow(table, "Alapsor", "Kiss Anna", 80 + i, 120, 118, 2, 98, 0);
  }
  return table;
}

std::vector<std::string> TextsInOrder(const CertificatePage& page) {
  std::vector<std::string> texts;
  for (const CertificateBand& band : page.bands) {
    for (const CertificateItem& item : band.items) {
      if (item.kind == CertificateItemKind::Text) texts.push_back(cp1250::ToUtf8(item.text));
    }
  }
  return texts;
}

const CertificateItem* FindItem(const CertificatePage& page, std::string_view name) {
  for (const CertificateBand& band : page.bands) {
    for (const CertificateItem& item : band.items) {
      if (item.name == name) return &item;
    }
  }
  return nullptr;
}

// Pixels of a colour near `rgb` in the square of `half` mm around the point (x, y) in mm of a
// page painted at `pxPerMm`.
int PixelsNear(const QImage& image, double pxPerMm, double x, double y, double half, QRgb rgb) {
  int count = 0;
  for (int py = int((y - half) * pxPerMm); py <= int((y + half) * pxPerMm); ++py) {
    for (int px = int((x - half) * pxPerMm); px <= int((x + half) * pxPerMm); ++px) {
      const QRgb p = image.pixel(px, py);
      if (qAbs(qRed(p) - qRed(rgb)) + qAbs(qGreen(p) - qGreen(rgb)) + qAbs(qBlue(p) - qBlue(rgb)) <
          60) {
        ++count;
      }
    }
  }
  return count;
}

// An A4 page of a PDF file in memory, which measures texts as printing does.
struct A4Pdf {
  A4Pdf() {
    sink.open(QIODevice::WriteOnly);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  }
  QBuffer sink;
  QPdfWriter writer{&sink};
  QtTextMeasure measure{writer};
};

// The certificate of `table`'s row `id` in its preview window, shown; printing goes to the file
// `pdf` when one is given.
struct OpenPreview {
  OpenPreview(CsvTable table, int32_t id, const fs::path& pdf = {}) : shown(std::move(table)) {
    report.Prepare(shown, id);
    if (!pdf.empty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(FromPath(pdf));
    }
    window = std::make_unique<Tfrm_Preview>(report, printer, nullptr);
    window->show();
  }
  CsvTable shown;
  TQrOklevel report;
  QPrinter printer{QPrinter::HighResolution};
  std::unique_ptr<Tfrm_Preview> window;
};

}  // namespace

class CertificateTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = kDefaultScreenFontSize}};
  QTemporaryDir out_;

  fs::path OutPath(const char* name) const { return fs::path(out_.path().toStdString()) / name; }

  static QPrintPreviewWidget* Preview(QDialog& dialog) {
    return dialog.findChild<QPrintPreviewWidget*>(QStringLiteral("QRPreview"));
  }
  static QAction* Action(QDialog& dialog, const char* name) {
    return dialog.findChild<QAction*>(QString::fromLatin1(name));
  }

 private slots:
  void initTestCase() { QVERIFY(out_.isValid()); }

  void ornamentPictureHasItsNaturalSize() {
    QSvgRenderer picture(QStringLiteral(":/images/sarokdisz.svg"));
    QVERIFY(picture.isValid());
    QCOMPARE(picture.defaultSize(), QSize(kOrnamentPixels.width, kOrnamentPixels.height));
  }

  void fontsOfThePageResolveToInstalledFaces() {
    const QFont comic = CertificateQFont({"Comic Sans MS", 28, true, false});
    QCOMPARE(QFontInfo(comic).family(), QStringLiteral("Comic Neue"));
    QVERIFY(QFontInfo(comic).bold());
    const QFont courier = CertificateQFont({"Courier New", 9, false, false});
    QCOMPARE(QFontInfo(courier).family(), QStringLiteral("Liberation Mono"));
  }

  void exampleResultWithTheRealFonts() {
    const CsvTable shown = ShownTable();
    TQrOklevel report;
    report.Prepare(shown, 1);
    const A4Pdf pdf;
    const auto pages = report.Pages(PrintDateText(), pdf.measure);
    QCOMPARE(pages.size(), size_t{1});
    const std::string today =
        FromQ(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(TextsInOrder(pages[0]),
             (std::vector<std::string>{
                 "OKLEVÉL", "A", "Második lecke", "feladatban nyújtott kiemelkedő teljesítményével",
                 "Kiss Anna", "a legjobb eredményt érte el.", "idő (sec)", "összes", "helyes",
                 "hibás", "százalék", "83", "120", "118", "2", "98", cp1250::ToUtf8(today),
                 "Tastrel", "https://www.example.org/pekto"}));
    // Every centred text keeps its design size, fits on the band and stands in its middle.
    for (const CertificateBand& band : pages[0].bands) {
      for (const CertificateItem& item : band.items) {
        if (!item.centredOnBand) continue;
        QVERIFY2(item.box.width > 0 && item.box.width <= 190, item.name.c_str());
        QVERIFY2(qAbs(item.box.left + item.box.width / 2 - 105) < 1e-6, item.name.c_str());
        QVERIFY2(item.box.height > 0 && item.box.height < 40, item.name.c_str());
      }
    }
    QCOMPARE(FindItem(pages[0], "tesztneve")->font.points, 28.0);
    QCOMPARE(FindItem(pages[0], "Heading")->font.points, 72.0);
    // The heading's line (72 points is 25.4 mm of em) is a little more than an inch high.
    QVERIFY(FindItem(pages[0], "Heading")->box.height > 25.4);
  }

  // The page painted on an image at 8 pixels per mm: the ornaments' red medallions stand in the
  // page's corners (the picture has its medallion around pixel 26, 26 of 151 x 150), so each
  // picture is turned the right way; the heading is red and the player navy.
  void paintedPageShowsTurnedOrnamentsAndColours() {
    const CsvTable shown = ShownTable();
    TQrOklevel report;
    report.Prepare(shown, 1);
    constexpr double kPxPerMm = 8;
    QImage image(int(210 * kPxPerMm), int(297 * kPxPerMm), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(kPxPerMm * 1000));
    image.setDotsPerMeterY(int(kPxPerMm * 1000));
    image.fill(Qt::lightGray);
    const auto pages = report.Pages("2024.03.07.", QtTextMeasure(image));
    {
      QPainter painter(&image);
      PaintCertificatePage(painter, image, pages[0]);
    }
    const QRgb medallion = qRgb(0xa3, 0x20, 0x2a);
    const double near = 26 * 25.4 / 96, far = 125 * 25.4 / 96;  // 6.9 and 33.1 mm
    struct Corner {
      const char* name;
      double left, top;       // the ornament's box
      double x, y;            // where its medallion must be
      double wrongX, wrongY;  // where an unturned picture would put it
    };
    const Corner corners[] = {
        {"top-left", 10, 10, near, near, far, far},
        {"top-right", 159.9, 10, far - 0.3, near, near, near},
        {"bottom-left", 10, 246.4, near, far, near, near},
        {"bottom-right", 159.9, 246.4, far, far - 0.3, near, near},
    };
    for (const Corner& c : corners) {
      QVERIFY2(PixelsNear(image, kPxPerMm, c.left + c.x, c.top + c.y, 2, medallion) > 40, c.name);
      QVERIFY2(PixelsNear(image, kPxPerMm, c.left + c.wrongX, c.top + c.wrongY, 2, medallion) == 0,
               c.name);
    }
    const CertificateItem* heading = FindItem(pages[0], "Heading");
    QVERIFY(PixelsNear(image, kPxPerMm, heading->box.left + heading->box.width / 2,
                       heading->box.top + heading->box.height / 2, 8, qRgb(255, 0, 0)) > 100);
    const CertificateItem* player = FindItem(pages[0], "jatekos");
    QVERIFY(PixelsNear(image, kPxPerMm, player->box.left + player->box.width / 2,
                       player->box.top + player->box.height / 2, 4, qRgb(0, 0, 128)) > 50);
    // The bands are white: the grey ground shows only outside them.
    QCOMPARE(image.pixel(int(105 * kPxPerMm), int(5 * kPxPerMm)), QColor(Qt::lightGray).rgb());
    QCOMPARE(image.pixel(int(105 * kPxPerMm), int(64 * kPxPerMm)), qRgb(255, 255, 255));
  }

  void noRowGivesThePageWithoutDetailBand() {
    const CsvTable shown = ShownTable();
    TQrOklevel report;
    report.Prepare(shown, 0);  // the Alapsor row, which the results window does not show
    const A4Pdf pdf;
    const auto pages = report.Pages(PrintDateText(), pdf.measure);
    QCOMPARE(pages.size(), size_t{1});
    QCOMPARE(pages[0].bands.size(), size_t{2});
    QCOMPARE(pages[0].bands[0].kind, CertificateBandKind::Title);
    QCOMPARE(pages[0].bands[1].kind, CertificateBandKind::PageFooter);
    QCOMPARE(TextsInOrder(pages[0]).size(), size_t{4});
  }

  void tooWideTitleAndNameShrinkToTheirLine() {
    CsvTable shown("Tbl", ScoreSchema(), nullptr);
    shown.Open();
    const std::string title(50, 'W');  // the longest title a score row holds
    const std::string name = Cp("Árvíztűrő Tükörfúrógép Szőlőskislányné Kelemen Ödönke");
    AddRow(shown, title, name, 83, 120, 118, 2, 98);
    TQrOklevel report;
    report.Prepare(shown, 0);
    const A4Pdf pdf;
    const QtTextMeasure& measure = pdf.measure;
    const auto pages = report.Pages(PrintDateText(), measure);
    for (const char* field : {"tesztneve", "jatekos"}) {
      const CertificateItem* item = FindItem(pages[0], field);
      QVERIFY(item);
      QVERIFY2(measure.Measure(item->text, {"Comic Sans MS", 28, true, false}).width > 190, field);
      QVERIFY2(item->font.points < 28, field);
      QVERIFY2(item->font.points >= 8, field);  // still legible
      QVERIFY2(measure.Measure(item->text, item->font).width <= 190, field);
      CertificateFont larger = item->font;
      larger.points += 0.5;
      QVERIFY2(measure.Measure(item->text, larger).width > 190, field);  // the largest that fits
      QVERIFY2(item->box.left >= 10 && item->box.Right() <= 200, field);
    }
  }

  void previewShowsOnePageAndSavesItAsPdf() {
    const CsvTable shown = ShownTable();
    const fs::path pdf = OutPath("oklevel.pdf");
    test::DialogAnswers answers;
    QString caption, pageText;
    int pages = -1;
    QString placed;  // the window's and the work area's centres, when they differ
    int progress = -1;
    answers
        .Then([&](QDialog& dialog) {
          caption = dialog.windowTitle();
          QPrintPreviewWidget* preview = Preview(dialog);
          if (!preview) return dialog.reject();
          pages = preview->pageCount();
          pageText = dialog.findChild<QLabel*>(QStringLiteral("LabelOldal"))->text();
          progress = dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value();
          const QRect area = dialog.screen()->availableGeometry();
          // The frame's centre (on Windows the frame is known before the first show).
          const QPoint centre = dialog.frameGeometry().center();
          if ((centre - area.center()).manhattanLength() > 2) {
            placed = QStringLiteral("centre %1,%2, work area's %3,%4")
                         .arg(centre.x())
                         .arg(centre.y())
                         .arg(area.center().x())
                         .arg(area.center().y());
          }
          Action(dialog, "aMent")->trigger();
          Action(dialog, "aBezar")->trigger();
        })
        .Then(test::DialogAnswers::SaveAs(pdf));
    PrintCertificate(shown, 1, nullptr);
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(answers.Records()[0].object, QStringLiteral("frm_Preview"));
    QCOMPARE(caption, QStringLiteral("Nyomtatási kép"));
    QCOMPARE(answers.Records()[1].object, QStringLiteral("SaveDialog1"));
    QCOMPARE(pages, 1);
    QCOMPARE(pageText, QStringLiteral("1. oldal (összesen 1)"));
    QCOMPARE(progress, 1);
    QVERIFY2(placed.isEmpty(), qPrintable(placed));
    QVERIFY(fs::exists(pdf));
    QCOMPARE(PdfPageCount(pdf), 1);
    // Printing a certificate changes nothing in the results window's table.
    QCOMPARE(shown.FilterText(), Cp("tesztneve='Második lecke'"));
    QVERIFY(shown.FilterEnabled());
    QCOMPARE(NullToInt(shown.Value("id"), -1), 2);
    QCOMPARE(shown.VisibleRowCount(), size_t{2});
  }

  void certificateWithoutRowIsStillOnePage() {
    CsvTable shown("Tbl", ScoreSchema(), nullptr);  // an empty results grid
    const fs::path pdf = OutPath("ures.pdf");
    test::DialogAnswers answers;
    answers
        .Then([&](QDialog& dialog) {
          Action(dialog, "aMent")->trigger();
          QTest::keyClick(&dialog, Qt::Key_Escape);
        })
        .Then(test::DialogAnswers::SaveAs(pdf));
    PrintCertificate(shown, 0, nullptr);
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(PdfPageCount(pdf), 1);
  }

  void savingSuggestsThePlayersName() {
    const CsvTable shown = ShownTable();
    test::DialogAnswers answers;
    QString suggested;
    answers
        .Then([&](QDialog& dialog) {
          Action(dialog, "aMent")->trigger();
          dialog.reject();
        })
        .Then([&](QDialog& dialog) {
          auto* file = qobject_cast<QFileDialog*>(&dialog);
          if (file && !file->selectedFiles().isEmpty()) suggested = file->selectedFiles().front();
          dialog.reject();
        });
#ifdef _WIN32
    // The user's Documents, which Windows always has.
    const QString folder = DocumentsFolder();
    QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    PrintCertificate(shown, 1, nullptr);
#else
    const QTemporaryDir home;  // without a documents folder: the home folder
    const QString folder = home.path();
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    PrintCertificate(shown, 1, nullptr);
    qputenv("HOME", oldHome);
#endif
    QCOMPARE(suggested, folder + QStringLiteral("/Oklevél - Kiss Anna.pdf"));
  }

  void keysTurnThePagesAndEscCloses() {
    OpenPreview open(ThreeRowsOfOneId(), 0);
    Tfrm_Preview& window = *open.window;
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QPrintPreviewWidget* preview = Preview(window);
    QVERIFY(preview);
    QCOMPARE(preview->pageCount(), 3);
    QCOMPARE(preview->currentPage(), 1);
    auto* label = window.findChild<QLabel*>(QStringLiteral("LabelOldal"));
    const auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QTest::keyClick(preview, static_cast<Qt::Key>(key), modifiers);
      return preview->currentPage();
    };
    QCOMPARE(press(Qt::Key_PageDown), 2);
    QCOMPARE(label->text(), QStringLiteral("2. oldal (összesen 3)"));
    QCOMPARE(press(Qt::Key_PageDown), 3);
    QCOMPARE(press(Qt::Key_PageDown), 3);
    QCOMPARE(press(Qt::Key_PageUp), 2);
    QCOMPARE(press(Qt::Key_Home), 1);
    QCOMPARE(press(Qt::Key_PageUp), 1);
    QCOMPARE(press(Qt::Key_End), 3);
    QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), 1);
    QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier), 3);
    QCOMPARE(label->text(), QStringLiteral("3. oldal (összesen 3)"));
    QVERIFY(window.isVisible());
    QTest::keyClick(preview, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
  }

  void closeButtonHasItsMnemonic() {
    OpenPreview open(ShownTable(), 1);
    Tfrm_Preview& window = *open.window;
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(Action(window, "aBezar")->text(), QStringLiteral("&Bezár"));
    QTest::keyClick(Preview(window), Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(!window.isVisible());  // a button's mnemonic clicks it animated
  }

  void zoomCommands() {
    OpenPreview open(ShownTable(), 1);
    Tfrm_Preview& window = *open.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPrintPreviewWidget* preview = Preview(window);
    QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitInView);  // the whole page at first
    Action(window, "aSzazSzazalek")->trigger();
    QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::CustomZoom);
    QCOMPARE(preview->zoomFactor(), 1.0);
    Action(window, "aOldalszelesseg")->trigger();
    QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
    Action(window, "aEgeszOldal")->trigger();
    QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitInView);
  }

  void printingCarriesTheJobTitle() {
    const fs::path pdf = OutPath("nyomtatas.pdf");
    OpenPreview open(ShownTable(), 1, pdf);
    Tfrm_Preview& window = *open.window;
    test::DialogAnswers answers;  // no dialog is expected: the printer is chosen
    Action(window, "aNyomtat")->trigger();
    QCOMPARE(answers.Count(), 0);
    QCOMPARE(open.printer.docName(), QStringLiteral("Oklevél nyomtatás"));
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY(window.isVisible());
  }

  void printerSetUpOnlyChoosesAndCancelKeepsTheSettings() {
#ifdef _WIN32
    QSKIP("Qt's print dialog on Windows is the system's own, which takes no PDF file as printer");
#endif
    const fs::path pdf = OutPath("beallitas.pdf");
    OpenPreview open(ShownTable(), 1, pdf);
    Tfrm_Preview& window = *open.window;
    test::DialogAnswers answers;
    QString okText;
    answers
        .Then([&](QDialog& dialog) {
          auto* buttons = dialog.findChild<QDialogButtonBox*>();
          if (buttons && buttons->button(QDialogButtonBox::Ok)) {
            okText = buttons->button(QDialogButtonBox::Ok)->text();
          }
          dialog.reject();
        })
        .Then(test::DialogAnswers::Accept());
    Action(window, "aBeallit")->trigger();
    QCOMPARE(answers.Last().object, QStringLiteral("PrintDialog1"));
    QCOMPARE(answers.Last().caption, QStringLiteral("Nyomtató beállítása"));
    QCOMPARE(okText, QStringLiteral("OK"));
    QCOMPARE(open.printer.outputFileName(), FromPath(pdf));  // cancelled: as it was
    Action(window, "aBeallit")->trigger();
    QCOMPARE(answers.Count(), 2);
    QVERIFY(!fs::exists(pdf));  // set-up prints nothing
    QVERIFY(window.isVisible());
  }

  void cancelInTheProgressWindowStopsThePrintJob() {
    const fs::path pdf = OutPath("megszakitva.pdf");
    OpenPreview open(ThreeRowsOfOneId(), 0, pdf);
    Tfrm_Preview& window = *open.window;
    bool cancelled = false;
    // The progress window handles events while it counts the pages: press its Cancel then.
    QTimer::singleShot(0, &window, [&] {
      if (auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("PrintProgress"))) {
        progress->cancel();
        cancelled = true;
      }
    });
    Action(window, "aNyomtat")->trigger();
    QVERIFY(cancelled);
    QVERIFY(!fs::exists(pdf) || PdfPageCount(pdf) < 3);
    QVERIFY(window.isVisible());
  }

  void printingWithoutPrinterAsksForOneAndCancelKeepsTheSettings() {
    const CsvTable shown = ShownTable();
    TQrOklevel report;
    report.Prepare(shown, 1);
    QPrinter printer(QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::PdfFormat || !printer.outputFileName().isEmpty()) {
      QSKIP("a printer is installed on this machine");
    }
    const int copies = printer.copyCount();
    Tfrm_Preview window(report, printer, nullptr);
    window.show();
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Reject());
    Action(window, "aNyomtat")->trigger();
    QCOMPARE(answers.Count(), 1);
#ifdef _WIN32
    // The system's print dialog has no printer to open for: the user is told so.
    QCOMPARE(answers.Last().caption, QStringLiteral("Figyelem"));
    QVERIFY2(answers.Last().text.startsWith(QStringLiteral("Nincs telepített nyomtató.")),
             qPrintable(answers.Last().text));
#else
    QCOMPARE(answers.Last().object, QStringLiteral("PrintDialog1"));
    QCOMPARE(answers.Last().caption, QStringLiteral("Nyomtatás"));
#endif
    QVERIFY(printer.outputFileName().isEmpty());
    QCOMPARE(printer.copyCount(), copies);
    QVERIFY(window.isVisible());
  }
};

PEKTO_TEST_MAIN(CertificateTest)

#include "test_oklevel.moc"
