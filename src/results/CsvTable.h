#pragma once
// The in-memory table behind the score and player files: typed fields, rows, a cursor, an
// optional filter and sort order, read from and written to the self-describing CSV table format.
//
// File format, as written: a version line, the definition section (one quoted field line per
// field), empty index markers, a header line of display names and one data line per row; every
// value quoted, null values empty, each line ended by the record terminator "," and CR LF.
// Numbers and dates are written in fixed forms whatever the locale: integers in decimal, floats
// in the general form with up to 15 significant digits ("93", "97.5"), dates as dd/mm/yyyy.
//
// Decisions for input the program never writes:
// - In a text value "%" followed by anything but "%", "0", "c" or "n" keeps both characters
//   unchanged; a lone "%" at the end of a value stays "%".
// - Type words other than AutoInc, String, Integer, Float, Date and kind words other than Data,
//   Calculated, Lookup, InternalCalc, Aggregate are refused with the unknown field type error
//   (both compared without regard to ASCII case). Lines of the index part are skipped.
// - A size or display width that is no decimal number counts as 0; a text field of size 0 or
//   less keeps texts of any length.
// - Integers are an optional sign and decimal digits within 32 bits; floats are finite numbers
//   in the "." form (an exponent allowed); dates are day/month/year with 1-2 digit day and month
//   and a 1-4 digit year taken as written, which must name a real calendar day.
// - A failed LoadFile changes nothing: the file is parsed completely before the table takes it.
// - SortBy keeps rows with equal values in their RowOrder order (a stable sort).
// - InsertRow with rows present but no current row (everything filtered out) appends the row.
// - A posted row that the filter hides leaves the first visible row current.
// - InsertRow or AppendRow while a row is being edited posts that row first.
// - Filters on other types: name=number compares integers and floats numerically, a text
//   field with the number as written, never a date; name='text' compares the value's text form.
// - LoadFile into a closed table opens it.
// - Texts in messages are converted from Windows-1250 to UTF-8.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Collator.h"

namespace pekto {

enum class FieldType { AutoInc, String, Integer, Float, Date };
enum class FieldKind { Data, Calculated, Lookup, InternalCalc, Aggregate };

// A calendar date without time.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  friend auto operator<=>(const Date&, const Date&) = default;
};

bool IsValidDate(const Date& date);

// A field value: AutoInc and Integer hold int32_t, String holds Windows-1250 bytes, Float holds
// double, Date holds Date. Null is the empty optional; an empty text is a value.
using FieldValue = std::variant<int32_t, std::string, double, Date>;
using NullableValue = std::optional<FieldValue>;

struct FieldSpec {
  std::string name;
  FieldType type = FieldType::String;
  int size = 0;              // bytes of a text field, 0 for the other types
  std::string displayLabel;  // column title; empty means the name
  std::string editMask;      // carried, not used
  int displayWidth = 0;      // carried, not used
  bool required = false;     // carried, not used
  bool readOnly = false;     // the setters refuse the field
  bool hidden = false;       // not shown in grids
  FieldKind kind = FieldKind::Data;
  std::string defaultExpression;  // put into every new row; empty means none

  const std::string& DisplayName() const { return displayLabel.empty() ? name : displayLabel; }
};

// A field as this program defines it: size 50 for texts, width 10 or the size.
FieldSpec MakeField(std::string name, FieldType type);
// id, tesztneve, jatekos, osszes, helyes, hibas, szazalek, ido, datum.
std::vector<FieldSpec> ScoreSchema();
// jatekos.
std::vector<FieldSpec> PlayerSchema();

// Text forms of the file format.
std::string FormatFloat(double value);
std::string FormatDate(const Date& date);

// `defaultText` when null, else the value as text (numbers and dates in the file's forms).
std::string NullToStr(const NullableValue& value, std::string_view defaultText);
// `defaultValue` when null, else the value as integer: floats rounded to the nearest (halves to
// even), texts read as decimal integers. Throws pekto::Error when the value does not convert.
int32_t NullToInt(const NullableValue& value, int32_t defaultValue);

enum class SortOption : unsigned { None = 0, Descending = 1, CaseInsensitive = 2 };
constexpr SortOption operator|(SortOption a, SortOption b) {
  return static_cast<SortOption>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool HasOption(SortOption set, SortOption option) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(option)) != 0;
}

namespace table_detail {

// One stored field in eight bytes: the integer, the bits of the double, the packed date, or the
// text's offset in RowStore::texts (low half) and length (high half). All bits set means null: a
// NaN, which no stored double is.
struct Cell {
  static constexpr uint64_t kNull = ~uint64_t{0};
  uint64_t bits = kNull;
  bool IsNull() const { return bits == kNull; }
};

// Rows in contiguous storage: `fieldCount` cells per row, texts in one buffer.
struct RowStore {
  std::vector<Cell> cells;
  std::string texts;
  size_t fieldCount = 0;
  size_t rows = 0;

  Cell* Row(size_t row) { return cells.data() + row * fieldCount; }
  const Cell* Row(size_t row) const { return cells.data() + row * fieldCount; }
  std::string_view Text(const Cell& cell) const {
    return {texts.data() + (cell.bits & 0xFFFFFFFFU), static_cast<size_t>(cell.bits >> 32)};
  }
};

}  // namespace table_detail

class CsvTable {
 public:
  // `collator` compares texts for FindRow and SortBy; null compares bytes. It must outlive the
  // table. Every failure is thrown as pekto::Error with a UTF-8 message.
  CsvTable(std::string componentName, std::vector<FieldSpec> schema, const Collator* collator);

  void Open();
  void Close();
  void LoadFile(const std::filesystem::path& path);
  // Writes the whole file at once: on failure the previous file stays as it was.
  void SaveFile(const std::filesystem::path& path) const;

  void InsertRow();
  void AppendRow();
  void SetText(std::string_view field, std::string_view text);
  void SetInteger(std::string_view field, int32_t value);
  void SetDate(std::string_view field, const Date& date);
  void SetValue(std::string_view field, const NullableValue& value);
  void PostRow();

  // The field of the row being edited, else of the current row; null without either.
  NullableValue Value(std::string_view field) const;
  // The value is first converted as a setter would store it (texts cut to the size); texts
  // compare by the collator with letter case significant; a null value finds a null field.
  bool FindRow(std::string_view field, const NullableValue& value);
  void MoveFirst();
  void MoveNext();
  bool AtEnd() const { return atEnd_; }

  // Forms: name='text' ('' for a quote, a trailing * of a text of 2+ characters asks for a
  // prefix) and name=integer. An empty expression lets every row through.
  void SetFilterText(std::string_view expression);
  void EnableFilter(bool on);
  // An empty field name removes the sort order.
  void SortBy(std::string_view field, SortOption options = SortOption::None);
  // Replaces the rows by copies of the rows the source shows, fields paired by name; opens this
  // table. The source does not change (a closed source shows no rows).
  void CopyRowsFrom(const CsvTable& source);

  // Inspection, for grids and tests.
  const std::string& ComponentName() const { return componentName_; }
  const std::vector<FieldSpec>& Fields() const { return fields_; }
  bool IsOpen() const { return open_; }
  bool IsEditing() const { return editing_.has_value(); }
  const std::string& FilterText() const { return filterText_; }
  bool FilterEnabled() const { return filterEnabled_; }
  int32_t IdCounter() const { return idCounter_; }
  size_t RowCount() const { return rowOrder_.size(); }
  size_t VisibleRowCount() const { return Visible().size(); }
  // -1 when the table has no such field.
  int FieldIndex(std::string_view name) const;
  // Position of the current row among the visible rows.
  std::optional<size_t> CurrentPosition() const;
  void MoveTo(size_t visiblePosition);
  NullableValue ValueAt(size_t visiblePosition, size_t fieldIndex) const;

 private:
  using Cell = table_detail::Cell;
  using RowStore = table_detail::RowStore;
  struct Filter {
    std::string field;
    std::string text;  // the text, or the integer as written
    int64_t number = 0;
    bool numeric = false;
    bool prefix = false;
  };
  struct SortSpec {
    size_t field = 0;
    SortOption options = SortOption::None;
  };
  struct Edit {
    std::vector<Cell> cells;
    std::optional<uint32_t> before;  // the row it will stand before; none means at the end
  };

  size_t RequireField(std::string_view name) const;
  void RequireOpen() const;
  size_t EditField(std::string_view field);
  void StartRow(bool insert);
  void DropRows();
  void AppendRows(RowStore&& rows);
  std::span<const uint32_t> Visible() const;
  std::optional<uint32_t> CurrentRow() const;
  void Refresh(std::optional<uint32_t> keep);
  void ApplySort();
  void ApplyFilter();
  bool FilterWanted() const { return open_ && filterEnabled_ && filter_.has_value(); }
  bool Matches(const Cell& cell, const FieldSpec& fieldDef) const;
  std::vector<double> TextRanks(size_t field, bool caseInsensitive) const;
  int CompareText(std::string_view a, std::string_view b, bool caseInsensitive) const;
  Cell CopiedCell(const CsvTable& source, const Cell& cell, const FieldSpec& from,
                  const FieldSpec& to);

  std::string componentName_;
  std::vector<FieldSpec> fields_;
  const Collator* collator_;
  bool open_ = false;
  RowStore store_;
  std::vector<uint32_t> rowOrder_;  // storage indices in the RowOrder
  std::vector<uint32_t> sorted_;    // storage indices in the sort order, when one is set
  std::vector<uint32_t> filtered_;  // the visible rows, when a filter applies
  bool filterApplies_ = false;
  int32_t idCounter_ = -1;
  std::optional<size_t> cursor_;  // position in Visible()
  bool atEnd_ = true;
  std::optional<Edit> editing_;
  std::string filterText_;
  std::optional<Filter> filter_;
  bool filterEnabled_ = false;
  std::optional<SortSpec> sort_;
};

}  // namespace pekto
