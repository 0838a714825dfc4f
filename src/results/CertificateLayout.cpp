// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CertificateLayout.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "platform/Cp1250.h"

namespace pekto {
namespace {

using namespace score_field;

constexpr double kTitleHeight = 57.8;
constexpr double kDetailHeight = 172.4;
constexpr double kFooterHeight = 45.9;
constexpr double kFooterTop = kPageHeightMm - kPageMarginMm - kFooterHeight;
constexpr double kOrnamentBox = 40.1;
constexpr double kSmallestPoints = 1.0;
constexpr double kTolerance = 1e-9;

constexpr int32_t kRed = 0x0000FF;     // RGB 255, 0, 0
constexpr int32_t kMaroon = 0x000080;  // RGB 128, 0, 0
constexpr int32_t kNavy = 0x800000;    // RGB 0, 0, 128

constexpr const char* kComic = "Comic Sans MS";
constexpr const char* kCourier = "Courier New";

// Where an item's text comes from.
enum class Source { Fixed, Field, PrintDate, Ornament };
enum class Style { Bold, BoldItalic, Regular };

struct ItemDef {
  std::string_view name;
  Source source;
  std::string_view text;       // fixed text (UTF-8) or field name
  std::optional<double> left;  // none: centred on the band, the box grows with the text
  double top;
  double width;   // fixed boxes only
  double height;  // fixed boxes only
  const char* family;
  double points;
  Style style;
  int32_t color;
  bool opaque;
  int quarterTurns;  // ornaments
};

// Positions in millimetres from the band's left and top edges.
const ItemDef kTitleItems[] = {
    {"OrnamentTopLeft", Source::Ornament, "", 0.0, 0.0, kOrnamentBox, kOrnamentBox, "", 0,
     Style::Regular, 0, true, 0},
    {"OrnamentTopRight", Source::Ornament, "", 149.9, 0.0, kOrnamentBox, kOrnamentBox, "", 0,
     Style::Regular, 0, true, 1},
    {"Heading", Source::Fixed, "OKLEVÉL", std::nullopt, 9.3, 0, 0, kComic, 72, Style::Bold, kRed,
     false, 0},
};

const ItemDef kDetailItems[] = {
    {"TextA", Source::Fixed, "A", std::nullopt, 12.4, 0, 0, kComic, 20, Style::Bold, kClWindowText,
     true, 0},
    {kTitle, Source::Field, kTitle, std::nullopt, 30.0, 0, 0, kComic, 28, Style::Bold, kMaroon,
     true, 0},
    {"TextFeladat", Source::Fixed, "feladatban nyújtott kiemelkedő teljesítményével", std::nullopt,
     54.7, 0, 0, kComic, 20, Style::Bold, kClWindowText, true, 0},
    {kPlayer, Source::Field, kPlayer, std::nullopt, 82.9, 0, 0, kComic, 28, Style::Bold, kNavy,
     true, 0},
    {"TextEredmeny", Source::Fixed, "a legjobb eredményt érte el.", std::nullopt, 118.2, 0, 0,
     kComic, 20, Style::Bold, kClWindowText, true, 0},
    {"CaptionIdo", Source::Fixed, "idő (sec)", 26.5, 139.4, 22.9, 7.5, kComic, 14,
     Style::BoldItalic, kClWindowText, true, 0},
    {"CaptionOsszes", Source::Fixed, "összes", 54.7, 139.4, 22.9, 7.5, kComic, 14,
     Style::BoldItalic, kClWindowText, true, 0},
    {"CaptionHelyes", Source::Fixed, "helyes", 82.9, 139.4, 22.9, 7.5, kComic, 14,
     Style::BoldItalic, kClWindowText, true, 0},
    {"CaptionHibas", Source::Fixed, "hibás", 111.1, 139.4, 22.9, 7.5, kComic, 14, Style::BoldItalic,
     kClWindowText, true, 0},
    {"CaptionSzazalek", Source::Fixed, "százalék", 141.1, 139.4, 22.9, 7.5, kComic, 14,
     Style::BoldItalic, kClWindowText, true, 0},
    {kSeconds, Source::Field, kSeconds, 26.5, 146.4, 22.9, 9.3, kComic, 16, Style::Bold, kMaroon,
     true, 0},
    {kTotal, Source::Field, kTotal, 54.7, 146.4, 22.9, 9.3, kComic, 16, Style::Bold, kMaroon, true,
     0},
    {kCorrect, Source::Field, kCorrect, 82.9, 146.4, 22.9, 9.3, kComic, 16, Style::Bold, kMaroon,
     true, 0},
    {kWrong, Source::Field, kWrong, 111.1, 146.4, 22.9, 9.3, kComic, 16, Style::Bold, kMaroon, true,
     0},
    {kPercent, Source::Field, kPercent, 141.1, 146.4, 22.9, 9.3, kComic, 16, Style::Bold, kMaroon,
     true, 0},
};

const ItemDef kFooterItems[] = {
    {"OrnamentBottomLeft", Source::Ornament, "", 0.0, 5.3, kOrnamentBox, kOrnamentBox, "", 0,
     Style::Regular, 0, true, 3},
    {"OrnamentBottomRight", Source::Ornament, "", 149.9, 5.3, kOrnamentBox, kOrnamentBox, "", 0,
     Style::Regular, 0, true, 2},
    {"PrintDate", Source::PrintDate, "", std::nullopt, 8.8, 0, 0, kComic, 11, Style::Bold,
     kClWindowText, true, 0},
    {"Product", Source::Fixed, kCertificateProduct, std::nullopt, 31.8, 0, 0, kCourier, 9,
     Style::Bold, kClWindowText, true, 0},
    {"WebAddress", Source::Fixed, kMakerWebAddress, std::nullopt, 38.8, 0, 0, kCourier, 9,
     Style::Regular, kClWindowText, true, 0},
};

std::string FieldText(const CertificateResult& result, std::string_view field) {
  if (field == kTitle) return result.tesztneve;
  if (field == kPlayer) return result.jatekos;
  if (field == kSeconds) return result.ido;
  if (field == kTotal) return result.osszes;
  if (field == kCorrect) return result.helyes;
  if (field == kWrong) return result.hibas;
  return result.szazalek;
}

// Lays the turned ornament picture at the top-left corner of its box.
void PlaceOrnament(CertificateItem& item, OrnamentPicture ornament) {
  const bool sideways = item.quarterTurns % 2 != 0;
  const auto mm = [&ornament](int pixels) { return pixels * 25.4 / ornament.pixelsPerInch; };
  const double width = mm(sideways ? ornament.pixels.height : ornament.pixels.width);
  const double height = mm(sideways ? ornament.pixels.width : ornament.pixels.height);
  item.picture = MmRect{item.box.left, item.box.top, width, height};
}

// Sizes a centred text to its line and centres it on the band, shrunk when it is too wide.
void PlaceCentred(CertificateItem& item, const MmRect& band, const TextMeasure& measure) {
  const MmSize design = measure.Measure(item.text, item.font);
  item.font.points = FittingPointSize(item.text, item.font, band.width, measure);
  const MmSize size = measure.Measure(item.text, item.font);
  item.box.left = band.left + (band.width - size.width) / 2;
  item.box.top += (design.height - size.height) / 2;
  item.box.width = size.width;
  item.box.height = size.height;
}

CertificateItem MakeItem(const ItemDef& def, const MmRect& band, const CertificateResult* result,
                         std::string_view printDate, const TextMeasure& measure,
                         OrnamentPicture ornament) {
  CertificateItem item;
  item.name = std::string(def.name);
  item.font = CertificateFont{def.family, def.points, def.style != Style::Regular,
                              def.style == Style::BoldItalic};
  item.color = def.color;
  item.opaque = def.opaque;
  item.centredOnBand = !def.left.has_value();
  item.box = MmRect{band.left + def.left.value_or(0), band.top + def.top, def.width, def.height};
  switch (def.source) {
    case Source::Ornament:
      item.kind = CertificateItemKind::Ornament;
      item.quarterTurns = def.quarterTurns;
      PlaceOrnament(item, ornament);
      return item;
    case Source::Field:
      item.text = result ? FieldText(*result, def.text) : std::string();
      break;
    case Source::PrintDate:
      item.text = std::string(printDate);
      break;
    case Source::Fixed:
      item.text = cp1250::FromUtf8(def.text);
      break;
  }
  if (item.centredOnBand) PlaceCentred(item, band, measure);
  return item;
}

CertificateBand MakeBand(CertificateBandKind kind, const MmRect& rect,
                         std::span<const ItemDef> defs, const CertificateResult* result,
                         std::string_view printDate, const TextMeasure& measure,
                         OrnamentPicture ornament) {
  CertificateBand band{kind, rect, {}};
  for (const ItemDef& def : defs) {
    band.items.push_back(MakeItem(def, rect, result, printDate, measure, ornament));
  }
  return band;
}

MmRect BandRect(double top, double height) {
  return MmRect{kPageMarginMm, top, kBandWidthMm, height};
}

}  // namespace

double FittingPointSize(std::string_view text, const CertificateFont& font, double width,
                        const TextMeasure& measure) {
  CertificateFont trial = font;
  const double designWidth = measure.Measure(text, font).width;
  if (designWidth <= width + kTolerance) return font.points;
  // Start near the size that would fit if widths grew in proportion, then step down.
  trial.points = std::floor(2 * font.points * width / designWidth) / 2;
  trial.points = std::clamp(trial.points, kSmallestPoints, font.points - 0.5);
  while (trial.points > kSmallestPoints &&
         measure.Measure(text, trial).width > width + kTolerance) {
    trial.points -= 0.5;
  }
  return std::max(trial.points, kSmallestPoints);
}

std::vector<CertificatePage> LayOutCertificate(const std::vector<CertificateResult>& results,
                                               std::string_view printDate,
                                               const TextMeasure& measure,
                                               OrnamentPicture ornament) {
  const auto footer = [&] {
    return MakeBand(CertificateBandKind::PageFooter, BandRect(kFooterTop, kFooterHeight),
                    kFooterItems, nullptr, printDate, measure, ornament);
  };
  std::vector<CertificatePage> pages(1);
  pages.back().bands.push_back(MakeBand(CertificateBandKind::Title,
                                        BandRect(kPageMarginMm, kTitleHeight), kTitleItems, nullptr,
                                        printDate, measure, ornament));
  double top = kPageMarginMm + kTitleHeight;
  for (const CertificateResult& result : results) {
    if (top + kDetailHeight > kFooterTop + kTolerance) {
      pages.back().bands.push_back(footer());
      pages.emplace_back();
      top = kPageMarginMm;
    }
    pages.back().bands.push_back(MakeBand(CertificateBandKind::Detail, BandRect(top, kDetailHeight),
                                          kDetailItems, &result, printDate, measure, ornament));
    top += kDetailHeight;
  }
  pages.back().bands.push_back(footer());
  return pages;
}

std::vector<CertificateResult> CertificateResults(CsvTable& table) {
  std::vector<CertificateResult> results;
  const auto text = [&table](std::string_view field) { return NullToStr(table.Value(field), ""); };
  for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
    results.push_back(CertificateResult{text(kTitle), text(kPlayer), text(kSeconds), text(kTotal),
                                        text(kCorrect), text(kWrong), text(kPercent)});
  }
  return results;
}

TQrOklevel::TQrOklevel() : Tbl("Tbl", ScoreSchema(), nullptr) {}

void TQrOklevel::Prepare(const CsvTable& shown, int32_t id) {
  Tbl.SetFilterText(std::string(kId) + "=" + std::to_string(id));
  Tbl.EnableFilter(true);
  Tbl.Open();
  Tbl.CopyRowsFrom(shown);
}

std::vector<CertificatePage> TQrOklevel::Pages(std::string_view printDate,
                                               const TextMeasure& measure,
                                               OrnamentPicture ornament) {
  return LayOutCertificate(CertificateResults(Tbl), printDate, measure, ornament);
}

}  // namespace pekto
