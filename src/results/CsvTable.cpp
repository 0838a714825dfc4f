// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CsvTable.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <span>
#include <unordered_map>
#include <utility>

#include "platform/Ascii.h"
#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "results/CsvCells.h"
#include "results/CsvFormat.h"

namespace pekto {

using table_detail::Cell;
using table_detail::CellOf;
using table_detail::CellStore;
using table_detail::DoubleOf;
using table_detail::IntOf;
using table_detail::RaisedCounter;

namespace {

std::string U(std::string_view cp1250Text) {
  return cp1250::ToUtf8(cp1250Text);
}

[[noreturn]] void ThrowFieldNotFound(const std::string& table, std::string_view name) {
  throw Error(table + ": Field '" + U(name) + "' not found");
}

[[noreturn]] void ThrowBadFilter(const std::string& table, std::string_view expression) {
  throw Error(table + ": Invalid filter expression: " + U(expression) +
              " (expected name='text' or name=number)");
}

// Byte order, for a table without a collator.
int CompareBytes(std::string_view a, std::string_view b, bool caseInsensitive) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (caseInsensitive) {
      x = cp1250::ToLower(x);
      y = cp1250::ToLower(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The text between single quotation marks, each inner mark doubled.
std::optional<std::string> Unquote(std::string_view value) {
  if (value.size() < 2 || value.front() != '\'') return std::nullopt;
  std::string text;
  for (size_t i = 1; i < value.size(); ++i) {
    if (value[i] != '\'') {
      text += value[i];
    } else if (i + 1 < value.size() && value[i + 1] == '\'') {
      text += '\'';
      ++i;
    } else {
      if (i + 1 != value.size()) return std::nullopt;
      return text;
    }
  }
  return std::nullopt;
}

struct Filter {
  std::string field;
  std::string text;  // the text, or the integer as written
  int64_t number = 0;
  bool numeric = false;
  bool prefix = false;
};

// The filter of an expression that is not empty; throws the bad-filter error.
Filter ParseFilter(const std::string& table, std::string_view expression) {
  const std::string_view text = TrimBlanks(expression);
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) ThrowBadFilter(table, expression);
  Filter filter;
  filter.field = std::string(TrimBlanks(text.substr(0, eq)));
  const std::string_view value = TrimBlanks(text.substr(eq + 1));
  if (filter.field.empty() || value.empty()) ThrowBadFilter(table, expression);
  if (value.front() == '\'') {
    auto unquoted = Unquote(value);
    if (!unquoted) ThrowBadFilter(table, expression);
    filter.text = std::move(*unquoted);
    if (filter.text.size() >= 2 && filter.text.back() == '*') {
      filter.text.pop_back();
      filter.prefix = true;
    }
  } else {
    const auto number = ParseInteger(value);
    if (!number) ThrowBadFilter(table, expression);
    filter.numeric = true;
    filter.number = *number;
    filter.text = std::string(value);
  }
  return filter;
}

struct SortSpec {
  size_t field = 0;
  SortOption options = SortOption::None;
};

struct Edit {
  std::vector<Cell> cells;
  std::optional<uint32_t> before;  // the row it will stand before; none means at the end
};

}  // namespace

std::vector<FieldSpec> ScoreSchema() {
  using namespace score_field;
  return {MakeField(kId, FieldType::AutoInc),      MakeField(kTitle, FieldType::String),
          MakeField(kPlayer, FieldType::String),   MakeField(kTotal, FieldType::Integer),
          MakeField(kCorrect, FieldType::Integer), MakeField(kWrong, FieldType::Integer),
          MakeField(kPercent, FieldType::Float),   MakeField(kSeconds, FieldType::Integer),
          MakeField(kDate, FieldType::Date)};
}

int FindField(const std::vector<FieldSpec>& fields, std::string_view name) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (cp1250::EqualIgnoringCase(fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string DamagedLeftWholeMessage(std::string_view name, std::string_view reason,
                                    std::string_view notAdded) {
  return "A(z) " + std::string(name) + " sérült, nem olvasható be:\n" + std::string(reason) +
         "\nA fájl változatlanul megmaradt, " + std::string(notAdded) + ".";
}

size_t RequiredField(const std::vector<FieldSpec>& fields, std::string_view name) {
  const int index = FindField(fields, name);
  if (index < 0) throw DamagedFileError("Tbl: Field '" + std::string(name) + "' not found");
  return static_cast<size_t>(index);
}

std::vector<FieldSpec> PlayerSchema() {
  return {MakeField(score_field::kPlayer, FieldType::String)};
}

std::vector<FieldSpec> ForEachFileRow(const std::filesystem::path& path,
                                      const std::vector<FieldSpec>& schema,
                                      const TableRowUse& use) {
  std::vector<NullableValue> values;
  const table_detail::RowVisitor visit = [&](const table_detail::TableFile& file,
                                             const table_detail::Cell* row) {
    values.resize(file.fields.size());
    for (size_t i = 0; i < values.size(); ++i) values[i] = file.rows.Value(row[i], file.fields[i]);
    use(file.fields, values);
  };
  const std::optional<table_detail::TableFile> file =
      table_detail::ReadTableFile(path, schema, &visit);
  return file ? file->fields : schema;
}

// ---------------------------------------------------------------------------------------------
// The table's state and the work behind its operations

struct CsvTable::Impl {
  Impl(std::string componentName, std::vector<FieldSpec> schema, const Collator* collator)
      : componentName_(std::move(componentName)),
        fields_(std::move(schema)),
        collator_(collator),
        store_(fields_.size()) {}

  size_t RequireField(std::string_view name) const;
  void RequireOpen() const;
  void DropRows();
  void Open();
  void Close();
  void Load(const std::filesystem::path& path);
  void AppendRows(CellStore&& rows);
  void StartRow(bool insert);
  size_t EditField(std::string_view field);
  void SetValue(std::string_view field, const NullableValue& value);
  void PostRow();
  std::span<const uint32_t> Visible() const;
  std::span<const uint32_t> Ordered() const { return sort_ ? sorted_ : rowOrder_; }
  std::optional<uint32_t> CurrentRow() const;
  void Refresh(std::optional<uint32_t> keep);
  void MoveFirst();
  void MoveNext();
  void MoveTo(size_t visiblePosition);
  NullableValue Value(std::string_view field) const;
  NullableValue ValueAt(size_t visiblePosition, size_t fieldIndex) const;
  int CompareText(std::string_view a, std::string_view b, bool caseInsensitive) const;
  bool FindRow(std::string_view field, const NullableValue& value);
  void SetFilterText(std::string_view expression);
  void EnableFilter(bool on);
  bool FilterWanted() const { return open_ && filterEnabled_ && filter_.has_value(); }
  void ApplyFilter();
  bool Matches(const Cell& cell, const FieldSpec& fieldDef) const;
  void SortBy(std::string_view field, SortOption options);
  std::vector<double> TextRanks(size_t field, bool caseInsensitive) const;
  void ApplySort();
  void CopyRowsFrom(const Impl& source);

  std::string componentName_;
  std::vector<FieldSpec> fields_;
  const Collator* collator_;
  bool open_ = false;
  CellStore store_;
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

// ---------------------------------------------------------------------------------------------
// Fields, opening and closing

size_t CsvTable::Impl::RequireField(std::string_view name) const {
  const int index = FindField(fields_, name);
  if (index < 0) ThrowFieldNotFound(componentName_, name);
  return static_cast<size_t>(index);
}

void CsvTable::Impl::RequireOpen() const {
  if (!open_) throw Error(componentName_ + ": Cannot perform this operation on a closed dataset");
}

void CsvTable::Impl::DropRows() {
  store_ = CellStore(fields_.size());
  rowOrder_.clear();
  sorted_.clear();
  filtered_.clear();
  idCounter_ = -1;
  cursor_.reset();
  atEnd_ = true;
  editing_.reset();
}

void CsvTable::Impl::Open() {
  if (open_) return;
  open_ = true;
  DropRows();
  Refresh(std::nullopt);
}

void CsvTable::Impl::Close() {
  DropRows();
  open_ = false;
  sort_.reset();
  filterApplies_ = false;
}

// ---------------------------------------------------------------------------------------------
// Files

void CsvTable::Impl::Load(const std::filesystem::path& path) {
  auto file = table_detail::ReadTableFile(path, fields_);
  if (!file) return;
  if (filter_ && filterEnabled_ && FindField(file->fields, filter_->field) < 0) {
    ThrowFieldNotFound(componentName_, filter_->field);  // before the table changes
  }
  if (file->definitions) {
    fields_ = std::move(file->fields);
    sort_.reset();
    DropRows();
    store_ = std::move(file->rows);
    rowOrder_.resize(store_.Rows());
    std::iota(rowOrder_.begin(), rowOrder_.end(), 0U);
  } else {
    if (!open_) DropRows();
    AppendRows(std::move(file->rows));
  }
  editing_.reset();
  open_ = true;
  idCounter_ = file->idCounter;
  if (sort_) ApplySort();
  Refresh(std::nullopt);
}

// Adds rows read with this table's fields after the last row.
void CsvTable::Impl::AppendRows(CellStore&& rows) {
  const size_t first = store_.Rows();
  store_.Append(std::move(rows), fields_);
  for (size_t row = first; row < store_.Rows(); ++row) {
    rowOrder_.push_back(static_cast<uint32_t>(row));
  }
}

// ---------------------------------------------------------------------------------------------
// Editing

void CsvTable::Impl::StartRow(bool insert) {
  RequireOpen();
  if (editing_) PostRow();
  Edit edit;
  edit.cells = store_.DefaultCells(fields_);
  const auto next = static_cast<int32_t>(static_cast<int64_t>(idCounter_) + 1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].type == FieldType::AutoInc) edit.cells[i] = CellOf(next);
  }
  if (insert && !sort_) edit.before = CurrentRow();
  editing_ = std::move(edit);
}

size_t CsvTable::Impl::EditField(std::string_view field) {
  if (!editing_) throw Error(componentName_ + ": Dataset not in edit or insert mode");
  const size_t index = RequireField(field);
  if (fields_[index].readOnly) {
    throw Error(componentName_ + ": Field '" + U(fields_[index].name) + "' cannot be modified");
  }
  return index;
}

void CsvTable::Impl::SetValue(std::string_view field, const NullableValue& value) {
  const size_t index = EditField(field);
  editing_->cells[index] = value ? store_.MakeCell(fields_[index], *value) : Cell{};
}

void CsvTable::Impl::PostRow() {
  if (!editing_) throw Error(componentName_ + ": Dataset not in edit or insert mode");
  Edit edit = std::move(*editing_);
  editing_.reset();
  const uint32_t row = store_.AddRow(edit.cells);
  auto at = rowOrder_.end();
  if (edit.before) at = std::find(rowOrder_.begin(), rowOrder_.end(), *edit.before);
  const auto position = static_cast<size_t>(at - rowOrder_.begin());
  rowOrder_.insert(at, row);
  idCounter_ = RaisedCounter(idCounter_, fields_, store_.Row(row));
  if (sort_ || FilterWanted()) {
    if (sort_) ApplySort();
    Refresh(row);
    return;
  }
  cursor_ = position;  // the RowOrder is what the cursor sees: no need to look for the row
  atEnd_ = false;
}

// ---------------------------------------------------------------------------------------------
// Cursor and values

std::span<const uint32_t> CsvTable::Impl::Visible() const {
  if (filterApplies_) return filtered_;
  return Ordered();
}

std::optional<uint32_t> CsvTable::Impl::CurrentRow() const {
  if (!cursor_) return std::nullopt;
  return Visible()[*cursor_];
}

// Filters anew; `keep` stays current when visible, else the first visible row becomes current.
void CsvTable::Impl::Refresh(std::optional<uint32_t> keep) {
  cursor_.reset();
  atEnd_ = true;
  ApplyFilter();
  const auto visible = Visible();
  if (visible.empty()) return;
  cursor_ = 0;
  atEnd_ = false;
  if (keep) {
    const auto it = std::find(visible.begin(), visible.end(), *keep);
    if (it != visible.end()) cursor_ = static_cast<size_t>(it - visible.begin());
  }
}

void CsvTable::Impl::MoveFirst() {
  cursor_.reset();
  atEnd_ = Visible().empty();
  if (!atEnd_) cursor_ = 0;
}

void CsvTable::Impl::MoveNext() {
  if (!cursor_ || *cursor_ + 1 >= Visible().size()) {
    atEnd_ = true;
    return;
  }
  ++*cursor_;
  atEnd_ = false;
}

void CsvTable::Impl::MoveTo(size_t visiblePosition) {
  if (visiblePosition >= Visible().size()) {
    atEnd_ = true;
    return;
  }
  cursor_ = visiblePosition;
  atEnd_ = false;
}

NullableValue CsvTable::Impl::Value(std::string_view field) const {
  const size_t index = RequireField(field);
  if (editing_) return store_.Value(editing_->cells[index], fields_[index]);
  const auto row = CurrentRow();
  if (!row) return std::nullopt;
  return store_.Value(store_.Row(*row)[index], fields_[index]);
}

NullableValue CsvTable::Impl::ValueAt(size_t visiblePosition, size_t fieldIndex) const {
  const auto visible = Visible();
  if (visiblePosition >= visible.size() || fieldIndex >= fields_.size()) return std::nullopt;
  return store_.Value(store_.Row(visible[visiblePosition])[fieldIndex], fields_[fieldIndex]);
}

int CsvTable::Impl::CompareText(std::string_view a, std::string_view b,
                                bool caseInsensitive) const {
  return collator_ ? collator_->Compare(a, b, caseInsensitive)
                   : CompareBytes(a, b, caseInsensitive);
}

bool CsvTable::Impl::FindRow(std::string_view field, const NullableValue& value) {
  const size_t index = RequireField(field);
  const FieldSpec& fieldDef = fields_[index];
  std::optional<FieldValue> wanted;
  if (value) {
    wanted = ConvertValue(fieldDef, *value);
    if (!wanted) return false;
  }
  const auto visible = Visible();
  for (size_t pos = 0; pos < visible.size(); ++pos) {
    const Cell& cell = store_.Row(visible[pos])[index];
    bool equal = cell.IsNull() == !wanted;
    if (equal && wanted) {
      if (fieldDef.type == FieldType::String) {
        equal = CompareText(store_.Text(cell), std::get<std::string>(*wanted), false) == 0;
      } else {
        equal = store_.Value(cell, fieldDef) == NullableValue(*wanted);
      }
    }
    if (equal) {
      cursor_ = pos;
      atEnd_ = false;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Filter

void CsvTable::Impl::SetFilterText(std::string_view expression) {
  std::optional<Filter> filter;
  if (!TrimBlanks(expression).empty()) filter = ParseFilter(componentName_, expression);
  filterText_ = std::string(expression);
  filter_ = std::move(filter);
  if (open_ && filterEnabled_) Refresh(std::nullopt);
}

void CsvTable::Impl::EnableFilter(bool on) {
  filterEnabled_ = on;
  if (open_) Refresh(std::nullopt);
}

void CsvTable::Impl::ApplyFilter() {
  filtered_.clear();
  filterApplies_ = FilterWanted();
  if (!filterApplies_) return;
  const size_t index = RequireField(filter_->field);
  const FieldSpec& fieldDef = fields_[index];
  for (const uint32_t row : Ordered()) {
    if (Matches(store_.Row(row)[index], fieldDef)) filtered_.push_back(row);
  }
}

bool CsvTable::Impl::Matches(const Cell& cell, const FieldSpec& fieldDef) const {
  if (cell.IsNull()) return false;
  const Filter& filter = *filter_;
  if (filter.numeric && fieldDef.type != FieldType::String) {
    switch (fieldDef.type) {
      case FieldType::Float:
        return DoubleOf(cell) == static_cast<double>(filter.number);
      case FieldType::Date:
        return false;
      default:
        return IntOf(cell) == filter.number;
    }
  }
  std::string rendered;
  std::string_view text;
  if (fieldDef.type == FieldType::String) {
    text = store_.Text(cell);
  } else {
    rendered = NullToStr(store_.Value(cell, fieldDef), {});
    text = rendered;
  }
  return filter.prefix ? text.starts_with(filter.text) : text == filter.text;
}

// ---------------------------------------------------------------------------------------------
// Sorting

void CsvTable::Impl::SortBy(std::string_view field, SortOption options) {
  const auto keep = CurrentRow();
  if (field.empty()) {
    sort_.reset();
    sorted_.clear();
  } else {
    sort_ = SortSpec{RequireField(field), options};
    ApplySort();
  }
  Refresh(keep);
}

// Ranks of the distinct texts of a field in collation order (equal texts share a rank), per
// stored row; null is below every rank. Collating the distinct texts only keeps the number of
// collator calls small: names and lesson titles repeat a lot.
std::vector<double> CsvTable::Impl::TextRanks(size_t field, bool caseInsensitive) const {
  std::unordered_map<std::string_view, uint32_t> ids;
  std::vector<std::string_view> distinct;
  std::vector<uint32_t> rowIds(store_.Rows(), std::numeric_limits<uint32_t>::max());
  for (size_t row = 0; row < store_.Rows(); ++row) {
    const Cell& cell = store_.Row(row)[field];
    if (cell.IsNull()) continue;
    const auto [it, added] =
        ids.try_emplace(store_.Text(cell), static_cast<uint32_t>(distinct.size()));
    if (added) distinct.push_back(it->first);
    rowIds[row] = it->second;
  }
  std::vector<uint32_t> order(distinct.size());
  std::iota(order.begin(), order.end(), 0U);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return CompareText(distinct[a], distinct[b], caseInsensitive) < 0;
  });
  std::vector<double> rankOfId(distinct.size());
  double rank = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && CompareText(distinct[order[i - 1]], distinct[order[i]], caseInsensitive) != 0) {
      ++rank;
    }
    rankOfId[order[i]] = rank;
  }
  std::vector<double> keys(store_.Rows(), -std::numeric_limits<double>::infinity());
  for (size_t row = 0; row < store_.Rows(); ++row) {
    if (rowIds[row] != std::numeric_limits<uint32_t>::max()) keys[row] = rankOfId[rowIds[row]];
  }
  return keys;
}

// Sorts the RowOrder by one numeric key per row; ties keep their RowOrder order.
void CsvTable::Impl::ApplySort() {
  const size_t field = sort_->field;
  const FieldSpec& fieldDef = fields_[field];
  const bool descending = HasOption(sort_->options, SortOption::Descending);
  std::vector<double> textKeys;
  if (fieldDef.type == FieldType::String) {
    textKeys = TextRanks(field, HasOption(sort_->options, SortOption::CaseInsensitive));
  }
  std::vector<std::pair<double, uint32_t>> keys(rowOrder_.size());
  for (size_t pos = 0; pos < rowOrder_.size(); ++pos) {
    const uint32_t row = rowOrder_[pos];
    const Cell& cell = store_.Row(row)[field];
    double key = -std::numeric_limits<double>::infinity();
    if (fieldDef.type == FieldType::String) {
      key = textKeys[row];
    } else if (!cell.IsNull()) {
      key = fieldDef.type == FieldType::Float  ? DoubleOf(cell)
            : fieldDef.type == FieldType::Date ? static_cast<double>(cell.bits)
                                               : static_cast<double>(IntOf(cell));
    }
    keys[pos] = {descending ? -key : key, static_cast<uint32_t>(pos)};
  }
  std::sort(keys.begin(), keys.end());
  sorted_.resize(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) sorted_[i] = rowOrder_[keys[i].second];
}

// ---------------------------------------------------------------------------------------------
// Copying

void CsvTable::Impl::CopyRowsFrom(const Impl& source) {
  if (&source == this) return;
  open_ = true;
  DropRows();
  std::vector<int> map(fields_.size(), -1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].kind == FieldKind::Data) map[i] = FindField(source.fields_, fields_[i].name);
  }
  const std::vector<Cell> defaults = store_.DefaultCells(fields_);
  std::vector<Cell> cells;
  for (const uint32_t sourceRow : source.Visible()) {
    cells = defaults;
    const Cell* from = source.store_.Row(sourceRow);
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (fields_[i].type == FieldType::AutoInc) {
        cells[i] = CellOf(static_cast<int32_t>(static_cast<int64_t>(idCounter_) + 1));
      }
      if (map[i] < 0) continue;
      const auto s = static_cast<size_t>(map[i]);
      cells[i] = store_.CopiedCell(source.store_, from[s], source.fields_[s], fields_[i]);
    }
    rowOrder_.push_back(store_.AddRow(cells));
    idCounter_ = RaisedCounter(idCounter_, fields_, store_.Row(rowOrder_.back()));
  }
  if (sort_) ApplySort();
  Refresh(std::nullopt);
}

// ---------------------------------------------------------------------------------------------
// CsvTable: the operations

CsvTable::CsvTable(std::string componentName, std::vector<FieldSpec> schema,
                   const Collator* collator)
    : impl_(std::make_unique<Impl>(std::move(componentName), std::move(schema), collator)) {}

CsvTable::CsvTable(const CsvTable& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
CsvTable::CsvTable(CsvTable&& other) noexcept = default;
CsvTable& CsvTable::operator=(const CsvTable& other) {
  if (this != &other) impl_ = std::make_unique<Impl>(*other.impl_);
  return *this;
}
CsvTable& CsvTable::operator=(CsvTable&& other) noexcept = default;
CsvTable::~CsvTable() = default;

void CsvTable::Open() {
  impl_->Open();
}
void CsvTable::Close() {
  impl_->Close();
}
void CsvTable::LoadFile(const std::filesystem::path& path) {
  impl_->Load(path);
}
void CsvTable::SaveFile(const std::filesystem::path& path) const {
  table_detail::WriteTableFile(path, impl_->fields_, impl_->store_, impl_->Ordered());
}
bool CsvTable::AppendToFile(const std::filesystem::path& path) const {
  return table_detail::AppendTableFile(path, impl_->fields_, impl_->store_, impl_->Ordered());
}

void CsvTable::InsertRow() {
  impl_->StartRow(true);
}
void CsvTable::AppendRow() {
  impl_->StartRow(false);
}
void CsvTable::SetValue(std::string_view field, const NullableValue& value) {
  impl_->SetValue(field, value);
}
void CsvTable::SetText(std::string_view field, std::string_view text) {
  impl_->SetValue(field, FieldValue(std::string(text)));
}
void CsvTable::SetInteger(std::string_view field, int32_t value) {
  impl_->SetValue(field, FieldValue(value));
}
void CsvTable::SetDate(std::string_view field, const Date& date) {
  impl_->SetValue(field, FieldValue(date));
}
void CsvTable::PostRow() {
  impl_->PostRow();
}

NullableValue CsvTable::Value(std::string_view field) const {
  return impl_->Value(field);
}
bool CsvTable::FindRow(std::string_view field, const NullableValue& value) {
  return impl_->FindRow(field, value);
}
void CsvTable::MoveFirst() {
  impl_->MoveFirst();
}
void CsvTable::MoveNext() {
  impl_->MoveNext();
}
bool CsvTable::AtEnd() const {
  return impl_->atEnd_;
}

void CsvTable::SetFilterText(std::string_view expression) {
  impl_->SetFilterText(expression);
}
void CsvTable::EnableFilter(bool on) {
  impl_->EnableFilter(on);
}
void CsvTable::SortBy(std::string_view field, SortOption options) {
  impl_->SortBy(field, options);
}
void CsvTable::CopyRowsFrom(const CsvTable& source) {
  impl_->CopyRowsFrom(*source.impl_);
}

const std::vector<FieldSpec>& CsvTable::Fields() const {
  return impl_->fields_;
}
const std::string& CsvTable::FilterText() const {
  return impl_->filterText_;
}
bool CsvTable::FilterEnabled() const {
  return impl_->filterEnabled_;
}
int32_t CsvTable::IdCounter() const {
  return impl_->idCounter_;
}
size_t CsvTable::RowCount() const {
  return impl_->rowOrder_.size();
}
size_t CsvTable::VisibleRowCount() const {
  return impl_->Visible().size();
}
int CsvTable::FieldIndex(std::string_view name) const {
  return FindField(impl_->fields_, name);
}
std::optional<size_t> CsvTable::CurrentPosition() const {
  return impl_->cursor_;
}
void CsvTable::MoveTo(size_t visiblePosition) {
  impl_->MoveTo(visiblePosition);
}
NullableValue CsvTable::ValueAt(size_t visiblePosition, size_t fieldIndex) const {
  return impl_->ValueAt(visiblePosition, fieldIndex);
}

}  // namespace pekto
