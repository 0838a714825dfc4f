// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CsvCells.h"

#include <type_traits>
#include <utility>

#include "platform/Error.h"

namespace pekto::table_detail {

Date DateOf(const Cell& cell) {
  return {static_cast<int>(cell.bits / 512), static_cast<int>(cell.bits / 32 % 16),
          static_cast<int>(cell.bits % 32)};
}

void CellStore::Reserve(size_t rows, size_t textBytes) {
  cells_.reserve(cells_.size() + rows * fieldCount_);
  texts_.reserve(texts_.size() + textBytes);
}

void CellStore::Append(CellStore&& other, const std::vector<FieldSpec>& fields) {
  const size_t textOffset = texts_.size();
  if (textOffset + other.texts_.size() > kTextSpace) throw Error("Table too large");
  texts_ += other.texts_;
  for (size_t i = 0; i < other.cells_.size(); ++i) {
    Cell& cell = other.cells_[i];
    if (!cell.IsNull() && fields[i % fields.size()].type == FieldType::String) {
      cell.bits += textOffset;
    }
  }
  cells_.insert(cells_.end(), other.cells_.begin(), other.cells_.end());
  rows_ += other.rows_;
  other = CellStore(fieldCount_);
}

// The cell of the text that was just appended to the buffer at `offset`.
Cell CellStore::TextSpan(size_t offset) {
  if (texts_.size() > kTextSpace) {
    texts_.resize(offset);
    throw Error("Table too large");
  }
  return {offset | (static_cast<uint64_t>(texts_.size() - offset) << 32)};
}

Cell CellStore::TextCell(const FieldSpec& fieldDef, std::string_view text) {
  return WrittenText(fieldDef, [text](std::string& buffer, size_t limit) {
    buffer.append(text.data(), std::min(text.size(), limit));
  });
}

Cell CellStore::StoredCell(const FieldSpec& fieldDef, const FieldValue& converted) {
  return std::visit(
      [&](const auto& v) -> Cell {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return TextCell(fieldDef, v);
        } else {
          return CellOf(v);
        }
      },
      converted);
}

Cell CellStore::MakeCell(const FieldSpec& fieldDef, const FieldValue& value) {
  const auto converted = ConvertValue(fieldDef, value);
  if (!converted) throw ConversionError(fieldDef, NullToStr(value, {}));
  return StoredCell(fieldDef, *converted);
}

Cell CellStore::CopiedCell(const CellStore& source, const Cell& cell, const FieldSpec& from,
                           const FieldSpec& to) {
  if (cell.IsNull()) return Cell{};
  if (from.type != to.type) return MakeCell(to, *source.Value(cell, from));
  if (to.type == FieldType::String) return TextCell(to, source.Text(cell));
  return cell;
}

NullableValue CellStore::Value(const Cell& cell, const FieldSpec& fieldDef) const {
  if (cell.IsNull()) return std::nullopt;
  switch (fieldDef.type) {
    case FieldType::String:
      return std::string(Text(cell));
    case FieldType::Float:
      return DoubleOf(cell);
    case FieldType::Date:
      return DateOf(cell);
    default:
      return IntOf(cell);
  }
}

std::vector<Cell> CellStore::DefaultCells(const std::vector<FieldSpec>& fields) {
  std::vector<Cell> cells(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].defaultExpression.empty()) continue;
    if (const auto v = ConvertValue(fields[i], fields[i].defaultExpression)) {
      cells[i] = StoredCell(fields[i], *v);
    }
  }
  return cells;
}

int32_t RaisedCounter(int32_t counter, const std::vector<FieldSpec>& fields, const Cell* row) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].type == FieldType::AutoInc && !row[i].IsNull()) {
      counter = std::max(counter, IntOf(row[i]));
    }
  }
  return counter;
}

}  // namespace pekto::table_detail
