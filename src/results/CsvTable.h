// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The in-memory table behind the score and player files: typed fields, rows, a cursor, an
// optional filter and sort order, read from and written to the self-describing CSV table format
// (results/CsvFormat.h; fields and values in results/CsvValue.h).
//
// Decisions for input the program never writes:
// - A failed LoadFile changes nothing: the file is parsed completely before the table takes it.
// - SortBy keeps rows with equal values in their RowOrder order (a stable sort).
// - InsertRow with rows present but no current row (everything filtered out) appends the row.
// - A posted row that the filter hides leaves the first visible row current.
// - InsertRow or AppendRow while a row is being edited posts that row first.
// - Filters on other types: name=number compares integers and floats numerically, a text
//   field with the number as written, never a date; name='text' compares the value's text form.
// - LoadFile into a closed table opens it.
// - Texts in messages are converted from Windows-1250 to UTF-8.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Collator.h"
#include "results/CsvValue.h"

namespace pekto {

// The field names of the score file, as the file spells them; the player file has kPlayer alone.
namespace score_field {
inline constexpr std::string_view kId = "id";
inline constexpr std::string_view kTitle = "tesztneve";
inline constexpr std::string_view kPlayer = "jatekos";
inline constexpr std::string_view kTotal = "osszes";
inline constexpr std::string_view kCorrect = "helyes";
inline constexpr std::string_view kWrong = "hibas";
inline constexpr std::string_view kPercent = "szazalek";
inline constexpr std::string_view kSeconds = "ido";
inline constexpr std::string_view kDate = "datum";
}  // namespace score_field

// id, tesztneve, jatekos, osszes, helyes, hibas, szazalek, ido, datum.
std::vector<FieldSpec> ScoreSchema();
// jatekos.
std::vector<FieldSpec> PlayerSchema();

// The index of the field named `name` (letter case aside) among `fields`; -1 for none.
int FindField(const std::vector<FieldSpec>& fields, std::string_view name);
// The index of a field a file must have; throws pekto::DamagedFileError as a table that loads
// the file names a missing one.
size_t RequiredField(const std::vector<FieldSpec>& fields, std::string_view name);

// The message for a side table (Keys.csv, Celok.csv) that was found damaged and left as it is:
// `name` is the file as the message names it, `reason` why it is damaged, `notAdded` what it did
// not get ("a lecke célja nem került bele"). UTF-8.
std::string DamagedLeftWholeMessage(std::string_view name, std::string_view reason,
                                    std::string_view notAdded);

// The rows of the table file at `path` one at a time, read as LoadFile reads them into a table of
// `schema` but never kept, for files too large to hold: `use(fields, values)` gets the fields of
// the rows (the file's own where it defines them, else `schema`) and a row's values in their
// order. Returns those fields. Throws as LoadFile.
using TableRowUse = std::function<void(const std::vector<FieldSpec>& fields,
                                       const std::vector<NullableValue>& values)>;
std::vector<FieldSpec> ForEachFileRow(const std::filesystem::path& path,
                                      const std::vector<FieldSpec>& schema, const TableRowUse& use);

enum class SortOption : unsigned { None = 0, Descending = 1, CaseInsensitive = 2 };
constexpr SortOption operator|(SortOption a, SortOption b) {
  return static_cast<SortOption>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool HasOption(SortOption set, SortOption option) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(option)) != 0;
}

class CsvTable {
 public:
  // `collator` compares texts for FindRow and SortBy; null compares bytes. It must outlive the
  // table. Every failure is thrown as pekto::Error with a UTF-8 message.
  CsvTable(std::string componentName, std::vector<FieldSpec> schema, const Collator* collator);
  // Copies hold their own rows; a table moved from may only be assigned to or destroyed.
  CsvTable(const CsvTable& other);
  CsvTable(CsvTable&& other) noexcept;
  CsvTable& operator=(const CsvTable& other);
  CsvTable& operator=(CsvTable&& other) noexcept;
  ~CsvTable();

  void Open();
  void Close();
  // Throws pekto::DamagedFileError for a file that was read but is no table file.
  void LoadFile(const std::filesystem::path& path);
  // Writes the whole file at once: on failure the previous file stays as it was.
  void SaveFile(const std::filesystem::path& path) const;
  // Adds the rows after those of the table file at `path`, which only grows (flushed to disk as
  // SaveFile flushes); a last line cut short gets its line end first. False, writing nothing,
  // when the file is missing or empty or holds other fields or columns than the table: it is then
  // to be loaded and saved whole. Throws pekto::DamagedFileError for a file that is no table file
  // (left as it is).
  bool AppendToFile(const std::filesystem::path& path) const;

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
  bool AtEnd() const;

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
  const std::vector<FieldSpec>& Fields() const;
  const std::string& FilterText() const;
  bool FilterEnabled() const;
  int32_t IdCounter() const;
  size_t RowCount() const;
  size_t VisibleRowCount() const;
  // -1 when the table has no such field.
  int FieldIndex(std::string_view name) const;
  // Position of the current row among the visible rows.
  std::optional<size_t> CurrentPosition() const;
  void MoveTo(size_t visiblePosition);
  NullableValue ValueAt(size_t visiblePosition, size_t fieldIndex) const;

 private:
  struct Impl;  // rows, cursor, row being edited, filter and sort order
  std::unique_ptr<Impl> impl_;
};

}  // namespace pekto
