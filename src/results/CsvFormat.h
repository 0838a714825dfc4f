// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table file format: bytes to fields and rows and back. Internal to the table: users include
// results/CsvTable.h.
//
// As written: a version line, the definition section (one quoted field line per field), empty
// index markers, a header line of display names and one data line per row; every value quoted,
// null values empty, each line ended by the record terminator "," and CR LF.
//
// Decisions for input the program never writes:
// - In a text value "%" followed by anything but "%", "0", "c" or "n" keeps both characters
//   unchanged; a lone "%" at the end of a value stays "%".
// - Type words other than AutoInc, String, Integer, Float, Date and kind words other than Data,
//   Calculated, Lookup, InternalCalc, Aggregate are refused with the unknown field type error
//   (both compared without regard to ASCII case). Lines of the index part are skipped.
// - A size or display width that is no decimal number counts as 0; a text field of size 0 or
//   less keeps texts of any length.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "results/CsvCells.h"
#include "results/CsvValue.h"

namespace pekto::table_detail {

// What a file holds, before a table takes it.
struct TableFile {
  bool definitions = false;  // the file has a definition section, whose fields replace the table's
  std::vector<FieldSpec> fields;
  CellStore rows;
  int32_t idCounter = -1;  // the largest id of the rows
};

// The largest table file that is read: some ten million results, far more than anyone records;
// a bigger file is damaged (or sparse) and would only take the machine's memory.
inline constexpr std::uintmax_t kMaxTableFileBytes = std::uintmax_t{1} << 30;

// The file at `path`; nothing for a file of 0 bytes. `fields` are the table's fields, which a file
// without a definition section is read with. Throws pekto::Error when the file cannot be read,
// is larger than kMaxTableFileBytes or does not fit into memory, pekto::DamagedFileError when it
// does not parse.
//
// With `visit`, the rows are handed to it one at a time instead of being kept: it gets the file
// (its fields) and the row's cells, whose texts `file.rows` holds until the next row; the
// returned file then holds no rows.
using RowVisitor = std::function<void(const TableFile& file, const Cell* row)>;
std::optional<TableFile> ReadTableFile(const std::filesystem::path& path,
                                       const std::vector<FieldSpec>& fields,
                                       const RowVisitor* visit = nullptr);
TableFile ParseTableFile(std::string_view data, const std::vector<FieldSpec>& fields,
                         const RowVisitor* visit = nullptr);

// Writes the whole file at once, the rows in `order`: on failure the previous file stays as it
// was and pekto::Error is thrown.
void WriteTableFile(const std::filesystem::path& path, const std::vector<FieldSpec>& fields,
                    const CellStore& rows, std::span<const uint32_t> order);
std::string TableFileText(const std::vector<FieldSpec>& fields, const CellStore& rows,
                          std::span<const uint32_t> order);

// One unwrapped field line: name=type,size,"label","mask",width[,REQ][,RO][,INV],kind,"default".
FieldSpec ParseFieldLine(std::string_view line);
std::string FieldLine(const FieldSpec& fieldDef);

}  // namespace pekto::table_detail
