// SPDX-License-Identifier: GPL-3.0-or-later
// The certificate's page as data: bands, items, positions, fonts and colours, the report's own
// table, and fitting a text that is too wide for its band.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Cp1250.h"
#include "results/CertificateLayout.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

// Every character 0.2 mm wide per point of font size; lines 0.4 mm high per point.
class FakeMeasure : public TextMeasure {
 public:
  MmSize Measure(std::string_view text, const CertificateFont& font) const override {
    ++calls;
    return MmSize{static_cast<double>(text.size()) * font.points * 0.2, font.points * 0.4};
  }
  mutable int calls = 0;
};

std::string Cp(std::string_view utf8) {
  return cp1250::FromUtf8(utf8);
}

// Kiss Anna's result in the lesson Második lecke.
CertificateResult Example() {
  return CertificateResult{Cp("Második lecke"), "Kiss Anna", "83", "120", "118", "2", "98"};
}

const CertificateItem& Item(const CertificateBand& band, std::string_view name) {
  for (const CertificateItem& item : band.items) {
    if (item.name == name) return item;
  }
  static const CertificateItem missing;
  ADD_FAILURE() << "no item " << name;
  return missing;
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

void ExpectRect(const MmRect& r, double left, double top, double width, double height) {
  EXPECT_NEAR(r.left, left, 1e-9);
  EXPECT_NEAR(r.top, top, 1e-9);
  EXPECT_NEAR(r.width, width, 1e-9);
  EXPECT_NEAR(r.height, height, 1e-9);
}

TEST(CertificateLayout, ExampleResultReadsFromTheTopInOrder) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example()}, "2024.03.07.", measure);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(TextsInOrder(pages[0]),
            (std::vector<std::string>{
                "OKLEVÉL", "A", "Második lecke", "feladatban nyújtott kiemelkedő teljesítményével",
                "Kiss Anna", "a legjobb eredményt érte el.", "idő (sec)", "összes", "helyes",
                "hibás", "százalék", "83", "120", "118", "2", "98", "2024.03.07.", "Tastrel",
                "https://www.example.org/pekto"}));
}

TEST(CertificateLayout, BandsStandOnAnA4PageWithTenMillimetreMargins) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example()}, "x", measure);
  ASSERT_EQ(pages[0].bands.size(), 3u);
  EXPECT_EQ(pages[0].bands[0].kind, CertificateBandKind::Title);
  ExpectRect(pages[0].bands[0].rect, 10, 10, 190, 57.8);
  EXPECT_EQ(pages[0].bands[1].kind, CertificateBandKind::Detail);
  ExpectRect(pages[0].bands[1].rect, 10, 67.8, 190, 172.4);
  EXPECT_EQ(pages[0].bands[2].kind, CertificateBandKind::PageFooter);
  ExpectRect(pages[0].bands[2].rect, 10, 241.1, 190, 45.9);
  EXPECT_NEAR(pages[0].bands[2].rect.Bottom(), kPageHeightMm - kPageMarginMm, 1e-9);
}

TEST(CertificateLayout, FixedBoxesStandAtTheirPlacesWithTheirFonts) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example()}, "x", measure);
  const CertificateBand& detail = pages[0].bands[1];
  const double lefts[] = {26.5, 54.7, 82.9, 111.1, 141.1};
  const char* captions[] = {"CaptionIdo", "CaptionOsszes", "CaptionHelyes", "CaptionHibas",
                            "CaptionSzazalek"};
  const char* values[] = {"ido", "osszes", "helyes", "hibas", "szazalek"};
  for (int i = 0; i < 5; ++i) {
    const CertificateItem& caption = Item(detail, captions[i]);
    ExpectRect(caption.box, 10 + lefts[i], 67.8 + 139.4, 22.9, 7.5);
    EXPECT_FALSE(caption.centredOnBand);
    EXPECT_EQ(caption.font.family, "Comic Sans MS");
    EXPECT_EQ(caption.font.points, 14);
    EXPECT_TRUE(caption.font.bold);
    EXPECT_TRUE(caption.font.italic);
    EXPECT_EQ(caption.color, kClWindowText);
    EXPECT_TRUE(caption.opaque);
    const CertificateItem& value = Item(detail, values[i]);
    ExpectRect(value.box, 10 + lefts[i], 67.8 + 146.4, 22.9, 9.3);
    EXPECT_EQ(value.font.points, 16);
    EXPECT_TRUE(value.font.bold);
    EXPECT_FALSE(value.font.italic);
    EXPECT_EQ(value.color, 0x000080);  // maroon
  }
}

TEST(CertificateLayout, CentredTextsGrowWithTheirTextOnTheBandsMiddle) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example()}, "2024.03.07.", measure);
  struct Expected {
    size_t band;
    const char* name;
    double top;
    const char* family;
    double points;
    bool bold;
    int32_t color;
    bool opaque;
  };
  const Expected expected[] = {
      {0, "Heading", 9.3, "Comic Sans MS", 72, true, 0x0000FF, false},
      {1, "TextA", 12.4, "Comic Sans MS", 20, true, kClWindowText, true},
      {1, "tesztneve", 30.0, "Comic Sans MS", 28, true, 0x000080, true},
      {1, "TextFeladat", 54.7, "Comic Sans MS", 20, true, kClWindowText, true},
      {1, "jatekos", 82.9, "Comic Sans MS", 28, true, 0x800000, true},
      {1, "TextEredmeny", 118.2, "Comic Sans MS", 20, true, kClWindowText, true},
      {2, "PrintDate", 8.8, "Comic Sans MS", 11, true, kClWindowText, true},
      {2, "Product", 31.8, "Courier New", 9, true, kClWindowText, true},
      {2, "WebAddress", 38.8, "Courier New", 9, false, kClWindowText, true},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const CertificateBand& band = pages[0].bands[e.band];
    const CertificateItem& item = Item(band, e.name);
    EXPECT_TRUE(item.centredOnBand);
    EXPECT_EQ(item.font.family, e.family);
    EXPECT_EQ(item.font.points, e.points);
    EXPECT_EQ(item.font.bold, e.bold);
    EXPECT_FALSE(item.font.italic);
    EXPECT_EQ(item.color, e.color);
    EXPECT_EQ(item.opaque, e.opaque);
    const double width = static_cast<double>(item.text.size()) * e.points * 0.2;
    ExpectRect(item.box, 10 + (190 - width) / 2, band.rect.top + e.top, width, e.points * 0.4);
  }
}

TEST(CertificateLayout, OrnamentsTurnToTheirCornersAtNinetySixPixelsPerInch) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example()}, "x", measure);
  const double wide = 151 * 25.4 / 96, high = 150 * 25.4 / 96;  // 39.95 and 39.69 mm
  struct Expected {
    size_t band;
    const char* name;
    double left, top;
    int turns;
    double width, height;
  };
  const Expected expected[] = {
      {0, "OrnamentTopLeft", 10, 10, 0, wide, high},
      {0, "OrnamentTopRight", 159.9, 10, 1, high, wide},
      {2, "OrnamentBottomLeft", 10, 246.4, 3, high, wide},
      {2, "OrnamentBottomRight", 159.9, 246.4, 2, wide, high},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const CertificateItem& item = Item(pages[0].bands[e.band], e.name);
    EXPECT_EQ(item.kind, CertificateItemKind::Ornament);
    EXPECT_EQ(item.quarterTurns, e.turns);
    ExpectRect(item.box, e.left, e.top, 40.1, 40.1);
    ExpectRect(item.picture, e.left, e.top, e.width, e.height);
  }
  EXPECT_NEAR(wide, 39.9, 0.06);
}

TEST(CertificateLayout, OrnamentsConvertAtTheScreensPixelsPerInch) {
  const auto pages = LayOutCertificate({Example()}, "x", FakeMeasure(), {kOrnamentPixels, 120});
  ExpectRect(Item(pages[0].bands[0], "OrnamentTopRight").picture, 159.9, 10, 150 * 25.4 / 120,
             151 * 25.4 / 120);
}

TEST(CertificateLayout, NoResultGivesTitleAndFooterWithoutDetailBand) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({}, "2024.03.07.", measure);
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].bands.size(), 2u);
  EXPECT_EQ(pages[0].bands[0].kind, CertificateBandKind::Title);
  EXPECT_EQ(pages[0].bands[1].kind, CertificateBandKind::PageFooter);
  ExpectRect(pages[0].bands[1].rect, 10, 241.1, 190, 45.9);
  EXPECT_EQ(TextsInOrder(pages[0]), (std::vector<std::string>{"OKLEVÉL", "2024.03.07.", "Tastrel",
                                                              "https://www.example.org/pekto"}));
  EXPECT_EQ(pages[0].bands[0].items.size(), 3u);  // two ornaments and the heading
  EXPECT_EQ(pages[0].bands[1].items.size(), 5u);  // two ornaments and three texts
}

TEST(CertificateLayout, DetailBandsThatDoNotFitGoOnToNewPages) {
  const FakeMeasure measure;
  const auto pages = LayOutCertificate({Example(), Example(), Example()}, "x", measure);
  ASSERT_EQ(pages.size(), 3u);
  ASSERT_EQ(pages[0].bands.size(), 3u);
  for (size_t i = 1; i < 3; ++i) {
    ASSERT_EQ(pages[i].bands.size(), 2u);
    EXPECT_EQ(pages[i].bands[0].kind, CertificateBandKind::Detail);
    ExpectRect(pages[i].bands[0].rect, 10, 10, 190, 172.4);
    EXPECT_EQ(pages[i].bands[1].kind, CertificateBandKind::PageFooter);
  }
}

TEST(CertificateLayout, TooWideTitleShrinksUntilItFitsOnItsLine) {
  const FakeMeasure measure;
  CertificateResult result = Example();
  result.tesztneve = std::string(50, 'W');  // 280 mm at 28 points
  const auto pages = LayOutCertificate({result}, "x", measure);
  const CertificateItem& title = Item(pages[0].bands[1], "tesztneve");
  EXPECT_EQ(title.font.points, 19);  // 190 mm
  EXPECT_NEAR(title.box.width, 190, 1e-9);
  EXPECT_NEAR(title.box.left, 10, 1e-9);
  // The smaller line stays in the middle of the line the design size takes.
  EXPECT_NEAR(title.box.top + title.box.height / 2, 67.8 + 30.0 + 28 * 0.4 / 2, 1e-9);
  // The player name, which fits, keeps its size.
  EXPECT_EQ(Item(pages[0].bands[1], "jatekos").font.points, 28);
}

TEST(CertificateLayout, TooWidePlayerNameShrinksInHalfPoints) {
  const FakeMeasure measure;
  CertificateResult result = Example();
  result.jatekos = std::string(41, 'M');  // fits at 23 points (188.6 mm), not at 23.5
  const auto pages = LayOutCertificate({result}, "x", measure);
  const CertificateItem& player = Item(pages[0].bands[1], "jatekos");
  EXPECT_EQ(player.font.points, 23);
  EXPECT_LE(player.box.width, 190);
}

// Widths that do not grow in proportion to the size: the size steps down until it fits.
class StubbornMeasure : public TextMeasure {
 public:
  MmSize Measure(std::string_view text, const CertificateFont& font) const override {
    const double extra = font.points > 10 ? 100 : 0;
    return MmSize{static_cast<double>(text.size()) * font.points * 0.2 + extra, font.points};
  }
};

TEST(CertificateLayout, FittingSizeStepsDownUntilTheTextFits) {
  const StubbornMeasure measure;
  const CertificateFont font{"Comic Sans MS", 28, true, false};
  const double size = FittingPointSize(std::string(40, 'x'), font, 190, measure);
  EXPECT_EQ(size, 11);  // 188 mm; 11.5 points would take 192
  EXPECT_EQ(FittingPointSize("short", font, 190, measure), 28);
  // A text exactly as wide as its band fits, and one wider by the tolerance for rounding.
  const FakeMeasure exact;
  const CertificateFont font25{"Comic Sans MS", 25, true, false};
  EXPECT_EQ(FittingPointSize(std::string(38, 'x'), font25, 190, exact), 25);  // 190 mm
  EXPECT_EQ(FittingPointSize(std::string(38, 'x'), font25, 190 - 1e-9, exact), 25);
  // Nothing fits: the smallest size.
  EXPECT_EQ(FittingPointSize(std::string(5000, 'x'), font, 190, measure), 1);
}

// A results window's table: two lessons, filtered to one, with Kiss Anna's row current.
CsvTable ShownTable() {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  const auto add = [&table](std::string_view title, std::string_view player, int32_t total,
                            int32_t correct, int32_t wrong, double percent, int32_t seconds) {
    table.AppendRow();
    table.SetText("tesztneve", title);
    table.SetText("jatekos", player);
    table.SetInteger("osszes", total);
    table.SetInteger("helyes", correct);
    table.SetInteger("hibas", wrong);
    table.SetValue("szazalek", FieldValue(percent));
    table.SetInteger("ido", seconds);
    table.SetDate("datum", Date{2024, 3, 5});
    table.PostRow();
  };
  add("Alapsor", "Nagy Béla", 120, 120, 0, 100, 71);                  // id 0
  add(Cp("Második lecke"), "Kiss Anna", 120, 118, 2, 98, 83);         // id 1
  add(Cp("Második lecke"), Cp("Szabó Éva"), 120, 100, 21, 82.5, 99);  // id 2
  table.SetFilterText(Cp("tesztneve='Második lecke'"));
  table.EnableFilter(true);
  table.FindRow("jatekos", FieldValue(std::string("Kiss Anna")));
  return table;
}

TEST(CertificateReport, TakesTheRowOfTheIdFromTheRowsShown) {
  const CsvTable shown = ShownTable();
  TQrOklevel report;
  report.Prepare(shown, 1);
  EXPECT_EQ(report.Table().FilterText(), "id=1");
  EXPECT_TRUE(report.Table().FilterEnabled());
  EXPECT_EQ(report.Table().VisibleRowCount(), 1u);
  const FakeMeasure measure;
  const auto pages = report.Pages("2024.03.07.", measure);
  ASSERT_EQ(pages[0].bands.size(), 3u);
  const CertificateBand& detail = pages[0].bands[1];
  EXPECT_EQ(cp1250::ToUtf8(Item(detail, "tesztneve").text), "Második lecke");
  EXPECT_EQ(Item(detail, "jatekos").text, "Kiss Anna");
  EXPECT_EQ(Item(detail, "ido").text, "83");
  EXPECT_EQ(Item(detail, "osszes").text, "120");
  EXPECT_EQ(Item(detail, "helyes").text, "118");
  EXPECT_EQ(Item(detail, "hibas").text, "2");
  EXPECT_EQ(Item(detail, "szazalek").text, "98");
  // The results window's table keeps its filter and current row.
  EXPECT_EQ(shown.FilterText(), Cp("tesztneve='Második lecke'"));
  EXPECT_TRUE(shown.FilterEnabled());
  EXPECT_EQ(shown.Value("jatekos"), NullableValue(FieldValue(std::string("Kiss Anna"))));
}

TEST(CertificateReport, PercentageThatIsNoWholeNumberKeepsItsDecimals) {
  const CsvTable shown = ShownTable();
  TQrOklevel report;
  report.Prepare(shown, 2);
  const FakeMeasure measure;
  const auto pages = report.Pages("x", measure);
  EXPECT_EQ(Item(pages[0].bands[1], "szazalek").text, "82.5");
}

TEST(CertificateReport, IdOfARowNotShownGivesNoDetailBand) {
  const CsvTable shown = ShownTable();
  for (const int32_t id : {0, 7, -3}) {  // another lesson's row, no such row, a negative id
    SCOPED_TRACE(id);
    TQrOklevel report;
    report.Prepare(shown, id);
    EXPECT_EQ(report.Table().FilterText(), "id=" + std::to_string(id));
    const FakeMeasure measure;
    const auto pages = report.Pages("x", measure);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].bands.size(), 2u);
    EXPECT_EQ(pages[0].bands[1].kind, CertificateBandKind::PageFooter);
  }
}

TEST(CertificateReport, EmptyResultsTableGivesTheBarePage) {
  CsvTable shown("Tbl", ScoreSchema(), nullptr);  // closed: shows no rows
  TQrOklevel report;
  report.Prepare(shown, 0);
  const FakeMeasure measure;
  EXPECT_EQ(report.Pages("x", measure)[0].bands.size(), 2u);
}

TEST(CertificateReport, NullFieldsPrintAsNothing) {
  CsvTable shown("Tbl", ScoreSchema(), nullptr);
  shown.Open();
  shown.AppendRow();
  shown.PostRow();
  TQrOklevel report;
  report.Prepare(shown, 0);
  const FakeMeasure measure;
  const auto pages = report.Pages("x", measure);
  ASSERT_EQ(pages[0].bands.size(), 3u);
  EXPECT_EQ(Item(pages[0].bands[1], "jatekos").text, "");
  EXPECT_EQ(Item(pages[0].bands[1], "szazalek").text, "");
}

}  // namespace
}  // namespace pekto
