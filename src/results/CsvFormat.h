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

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// What the start of a table file tells: the fields of its rows, the field of each column of its
// data lines (-1 for a column of no field) and where the data lines begin.
struct TableHead {
  std::vector<FieldSpec> fields;
  std::vector<int> columns;
  size_t rowsStart = 0;
};

// The head of the table file whose first bytes are `start`, read as ParseTableFile reads it;
// nothing when `start` ends before the header line has ended. Throws pekto::Error when the
// file is no table file.
std::optional<TableHead> ParseTableHead(std::string_view start,
                                        const std::vector<FieldSpec>& fields);

// Adds the rows in `order` after the data lines of the table file at `path`, which holds rows of
// `fields` in their order (as WriteTableFile writes them): the file only grows, and is flushed to
// disk. A last line without its line end (a write cut short) gets one first, so that the new rows
// stand on lines of their own. Returns false, writing nothing, when the file is missing or empty,
// has other fields or another column order, or its head is longer than any this program writes;
// such a file is to be loaded and written whole. Throws pekto::DamagedFileError for a file that
// is no table file and pekto::Error when the file cannot be read or written.
bool AppendTableFile(const std::filesystem::path& path, const std::vector<FieldSpec>& fields,
                     const CellStore& rows, std::span<const uint32_t> order);

// One unwrapped field line: name=type,size,"label","mask",width[,REQ][,RO][,INV],kind,"default".
FieldSpec ParseFieldLine(std::string_view line);
std::string FieldLine(const FieldSpec& fieldDef);

// ---- the pieces of reading, for readers of large files that take a few fields of each line ----

// Lines end at any run of CR, LF and NUL; empty lines are skipped.
class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data) {}

  std::optional<std::string_view> Next() {
    while (pos_ < data_.size() && IsBreak(data_[pos_])) ++pos_;
    if (pos_ == data_.size()) return std::nullopt;
    const size_t start = pos_;
    // A line ends at LF as written, unless a CR or NUL comes first: three searches of the
    // library, which look at many bytes at once.
    const char* begin = data_.data() + start;
    size_t length = data_.size() - start;
    for (const char mark : {'\n', '\r', '\0'}) {
      if (const void* at = std::memchr(begin, mark, length)) {
        length = static_cast<size_t>(static_cast<const char*>(at) - begin);
      }
    }
    pos_ = start + length;
    return data_.substr(start, length);
  }
  // Where reading stands: at the line end of the line last given (the end of the data when it
  // has none).
  size_t Position() const { return pos_; }

  static bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

struct FieldText {
  std::string_view text;  // valid until the next field is read
  bool null = false;
};

// Splits one line into fields: quoted (doubled marks inside), null (begins with a comma) or
// plain (up to the next comma).
class FieldReader {
 public:
  explicit FieldReader(std::string_view line) : line_(line) {}

  bool Next(FieldText& field) {
    if (pos_ >= line_.size()) return false;
    if (line_[pos_] == ',') {
      ++pos_;
      field = {{}, true};
    } else if (line_[pos_] == '"') {
      field = {Quoted(), false};
    } else {
      const size_t end = std::min(line_.find(',', pos_), line_.size());
      field = {line_.substr(pos_, end - pos_), false};
      pos_ = end + 1;
    }
    return true;
  }
  // The last field read was quoted and the line ended before its closing mark: a line cut short.
  bool QuoteLeftOpen() const { return quoteOpen_; }

 private:
  // Runs to the next single quotation mark (or the end of the line) and skips the character
  // after it, the separator.
  std::string_view Quoted() {
    const size_t start = ++pos_;
    size_t close = line_.find('"', pos_);
    if (close == std::string_view::npos) {
      pos_ = line_.size();
      quoteOpen_ = true;
      return line_.substr(start);
    }
    if (close + 1 == line_.size() || line_[close + 1] != '"') {
      pos_ = close + 2;
      return line_.substr(start, close - start);
    }
    scratch_.clear();
    while (true) {
      if (close == std::string_view::npos) {
        scratch_.append(line_.substr(pos_));
        pos_ = line_.size();
        quoteOpen_ = true;
        return scratch_;
      }
      scratch_.append(line_.substr(pos_, close - pos_));
      pos_ = close + 2;
      if (close + 1 == line_.size() || line_[close + 1] != '"') return scratch_;
      scratch_ += '"';
      close = pos_ < line_.size() ? line_.find('"', pos_) : std::string_view::npos;
    }
  }

  std::string_view line_;
  size_t pos_ = 0;
  bool quoteOpen_ = false;
  std::string scratch_;
};

// Appends the unescaped `text` (a text value as the file holds it) to `out`, at most `limit`
// bytes.
void AppendUnescaped(std::string& out, std::string_view text, size_t limit);

}  // namespace pekto::table_detail
