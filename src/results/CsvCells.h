// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of a table in memory. Internal to the table: users include results/CsvTable.h.
//
// Every field of a row is one eight-byte cell, the rows stand one after the other in one array
// and the texts in one buffer: with no object per row or per value a table of a million rows
// loads, sorts and filters in a fraction of a second.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "results/CsvValue.h"

namespace pekto::table_detail {

// One stored field: the integer, the bits of the double, the packed date, or the text's offset in
// the store's text buffer (low half) and length (high half). All bits set means null: a NaN,
// which no stored double is.
struct Cell {
  static constexpr uint64_t kNull = ~uint64_t{0};
  uint64_t bits = kNull;
  bool IsNull() const { return bits == kNull; }
};

inline int32_t IntOf(const Cell& cell) {
  return static_cast<int32_t>(static_cast<uint32_t>(cell.bits));
}
inline double DoubleOf(const Cell& cell) {
  return std::bit_cast<double>(cell.bits);
}
// Packed dates order as the dates do, so the bits serve as a sort key.
Date DateOf(const Cell& cell);

// The cells of numbers and dates.
inline Cell CellOf(int32_t value) {
  return {static_cast<uint32_t>(value)};
}
inline Cell CellOf(double value) {
  return {std::bit_cast<uint64_t>(value)};
}
inline Cell CellOf(const Date& date) {
  return {static_cast<uint64_t>(date.year) * 512 + static_cast<uint64_t>(date.month) * 32 +
          static_cast<uint64_t>(date.day)};
}

// Texts of one table are addressed by 32 bits.
inline constexpr size_t kTextSpace = std::numeric_limits<uint32_t>::max();

class CellStore {
 public:
  explicit CellStore(size_t fieldCount = 0) : fieldCount_(fieldCount) {}

  size_t Rows() const { return rows_; }
  size_t TextBytes() const { return texts_.size(); }
  Cell* Row(size_t row) { return cells_.data() + row * fieldCount_; }
  const Cell* Row(size_t row) const { return cells_.data() + row * fieldCount_; }
  std::string_view Text(const Cell& cell) const {
    return {texts_.data() + (cell.bits & 0xFFFFFFFFU), static_cast<size_t>(cell.bits >> 32)};
  }

  // Room for `rows` more rows and `textBytes` more bytes of text.
  void Reserve(size_t rows, size_t textBytes);
  // Adds a row of `cells` (one per field) after the last row; returns its number.
  uint32_t AddRow(std::span<const Cell> cells) {
    cells_.insert(cells_.end(), cells.begin(), cells.end());
    return static_cast<uint32_t>(rows_++);
  }
  // Removes every row and the texts after the first `keepTextBytes` bytes (those of the cells
  // made before the rows, such as defaults).
  void DropRows(size_t keepTextBytes) {
    cells_.clear();
    rows_ = 0;
    texts_.resize(std::min(keepTextBytes, texts_.size()));
  }
  // Adds the rows of `other`, which has the same fields, after the last row.
  void Append(CellStore&& other, const std::vector<FieldSpec>& fields);

  // The cell of a value already converted for the field (ConvertValue).
  Cell StoredCell(const FieldSpec& fieldDef, const FieldValue& converted);
  // The value converted for the field; throws the conversion error when it does not convert.
  Cell MakeCell(const FieldSpec& fieldDef, const FieldValue& value);
  // A text cut to the field's size.
  Cell TextCell(const FieldSpec& fieldDef, std::string_view text);
  // A text that `write(buffer, limit)` appends to the text buffer, at most `limit` bytes.
  template <typename Write>
  Cell WrittenText(const FieldSpec& fieldDef, Write&& write) {
    const size_t offset = texts_.size();
    write(texts_, std::min(TextLimit(fieldDef), kTextSpace));
    return TextSpan(offset);
  }
  // A cell of `source` in field `from` as this store holds it in field `to`.
  Cell CopiedCell(const CellStore& source, const Cell& cell, const FieldSpec& from,
                  const FieldSpec& to);

  NullableValue Value(const Cell& cell, const FieldSpec& fieldDef) const;
  // The cells of a new row: null, or the default expression where it converts.
  std::vector<Cell> DefaultCells(const std::vector<FieldSpec>& fields);

 private:
  Cell TextSpan(size_t offset);

  std::vector<Cell> cells_;
  std::string texts_;
  size_t fieldCount_ = 0;
  size_t rows_ = 0;
};

// The larger of `counter` and the auto-increment values of the row.
int32_t RaisedCounter(int32_t counter, const std::vector<FieldSpec>& fields, const Cell* row);

}  // namespace pekto::table_detail
