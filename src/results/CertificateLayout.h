// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The certificate's page as data: bands and items with their texts, fonts, colours and boxes in
// millimetres on an A4 page, apart from any painting, so that the layout can be checked without
// a printer. TQrOklevel is the report: its own score table, filled from the results window, and
// the pages made from the rows it keeps.
//
// Choices of this program:
// - A text centred on its band that is wider than the band is set in a smaller font, half a
//   point at a time, until it fits on its one line; the smaller line stays centred on the line
//   the design size would take.
// - Detail bands that do not fit above the page footer go on to a new page (ids are unique, so
//   this happens only with a hand-edited score file); the title band stands on the first page
//   only, the page footer on every page.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Product.h"
#include "results/CsvTable.h"

namespace pekto {

struct MmRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double Right() const { return left + width; }
  double Bottom() const { return top + height; }
};

struct MmSize {
  double width = 0;
  double height = 0;
};

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The page: A4 portrait with 10 mm margins on every side.
inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;
inline constexpr double kPageMarginMm = 10.0;
inline constexpr double kBandWidthMm = kPageWidthMm - 2 * kPageMarginMm;

// The corner ornament as drawn for the top-left corner.
inline constexpr PixelSize kOrnamentPixels{151, 150};

// The ornament's picture: its pixels and the resolution they are converted to millimetres at,
// the screen's pixels per inch (96 on a screen at its plain size).
struct OrnamentPicture {
  PixelSize pixels = kOrnamentPixels;
  double pixelsPerInch = 96.0;
};

// The system's window-text colour (a colour value as the settings file stores colours).
inline constexpr int32_t kClWindowText = static_cast<int32_t>(0xFF000008);

// What the page footer names.
inline constexpr std::string_view kCertificateProduct = "Tastrel";

struct CertificateFont {
  std::string family;
  double points = 0;
  bool bold = true;
  bool italic = false;
};

enum class CertificateItemKind { Text, Ornament };
enum class CertificateBandKind { Title, Detail, PageFooter };

struct CertificateItem {
  std::string name;  // names the item for tests and readers: "Heading", "tesztneve", ...
  CertificateItemKind kind = CertificateItemKind::Text;
  std::string text;  // Windows-1250
  CertificateFont font;
  int32_t color = kClWindowText;  // RGB with red in the low byte, or a system colour
  bool opaque = true;             // a white background fills the box
  bool centredOnBand = false;     // the box grows with the text, centred on the band's width
  MmRect box;                     // on the page, from the paper's top-left corner
  int quarterTurns = 0;           // ornaments: the picture turned clockwise this many times
  MmRect picture;                 // ornaments: where the turned picture lies, clipped to `box`
};

struct CertificateBand {
  CertificateBandKind kind = CertificateBandKind::Title;
  MmRect rect;  // on the page
  std::vector<CertificateItem> items;
};

struct CertificatePage {
  std::vector<CertificateBand> bands;
};

// One result as the certificate prints it: the values as the table renders them.
struct CertificateResult {
  std::string tesztneve;
  std::string jatekos;
  std::string ido;
  std::string osszes;
  std::string helyes;
  std::string hibas;
  std::string szazalek;
};

// Measures one line of Windows-1250 text in a font: its advance width and line height in mm.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual MmSize Measure(std::string_view text, const CertificateFont& font) const = 0;
};

// The largest size, the design size or less in half points, at which `text` is no wider than
// `width`; the smallest size tried is 1 point.
double FittingPointSize(std::string_view text, const CertificateFont& font, double width,
                        const TextMeasure& measure);

// The pages of the certificate: the title band and the page footer, one detail band per result.
// `printDate` is the date of printing as it is to be printed (Windows-1250).
std::vector<CertificatePage> LayOutCertificate(const std::vector<CertificateResult>& results,
                                               std::string_view printDate,
                                               const TextMeasure& measure,
                                               OrnamentPicture ornament = {});

// The visible rows of a score table from the first, as the certificate prints them.
std::vector<CertificateResult> CertificateResults(CsvTable& table);

// The report: its own score table, filled with the one row of `id` among the rows another
// table shows.
class TQrOklevel {
 public:
  TQrOklevel();

  // Sets the filter "id=<id>", opens the table and copies the rows `shown` shows; `shown` keeps
  // its filter and current row.
  void Prepare(const CsvTable& shown, int32_t id);
  const CsvTable& Table() const { return Tbl; }
  std::vector<CertificatePage> Pages(std::string_view printDate, const TextMeasure& measure,
                                     OrnamentPicture ornament = {});

 private:
  CsvTable Tbl;
};

}  // namespace pekto
