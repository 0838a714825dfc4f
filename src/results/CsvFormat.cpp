// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CsvFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <new>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "platform/Ascii.h"
#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace pekto::table_detail {
namespace {

constexpr std::string_view kVersionKey = "@@FILE VERSION@@";
constexpr std::string_view kTableDefStart = "@@TABLEDEF START@@";
constexpr std::string_view kTableDefEnd = "@@TABLEDEF END@@";
constexpr std::string_view kIndexDefStart = "@@INDEXDEF START@@";
constexpr std::string_view kIndexDefEnd = "@@INDEXDEF END@@";
constexpr std::string_view kFileVersion = "251";
constexpr std::string_view kLineEnd = "\r\n";

// ---------------------------------------------------------------------------------------------
// Type and kind words

constexpr std::array<std::pair<std::string_view, FieldType>, 5> kTypeWords = {{
    {"AutoInc", FieldType::AutoInc},
    {"String", FieldType::String},
    {"Integer", FieldType::Integer},
    {"Float", FieldType::Float},
    {"Date", FieldType::Date},
}};

constexpr std::array<std::pair<std::string_view, FieldKind>, 5> kKindWords = {{
    {"Data", FieldKind::Data},
    {"Calculated", FieldKind::Calculated},
    {"Lookup", FieldKind::Lookup},
    {"InternalCalc", FieldKind::InternalCalc},
    {"Aggregate", FieldKind::Aggregate},
}};

template <typename T, size_t N>
std::string_view WordOf(const std::array<std::pair<std::string_view, T>, N>& words, T value) {
  for (const auto& [word, v] : words) {
    if (v == value) return word;
  }
  return {};
}

template <typename T, size_t N>
std::optional<T> FromWord(const std::array<std::pair<std::string_view, T>, N>& words,
                          std::string_view word) {
  for (const auto& [w, v] : words) {
    if (EqualIgnoringAsciiCase(w, word)) return v;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Quoting and escaping

void AppendInt(std::string& out, int64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), result.ptr);
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// Quotes a text value after escaping "%", NUL, CR and LF.
void AppendEscapedQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '%':
        out += "%%";
        break;
      case '\0':
        out += "%0";
        break;
      case '\r':
        out += "%c";
        break;
      case '\n':
        out += "%n";
        break;
      case '"':
        out += "\"\"";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

// ---------------------------------------------------------------------------------------------
// Splitting

// ---------------------------------------------------------------------------------------------
// Reading

std::string U(std::string_view cp1250Text) {
  return cp1250::ToUtf8(cp1250Text);
}

int LenientInt(std::string_view text) {
  return ParseInt32(text).value_or(0);
}

int ColumnField(const std::vector<FieldSpec>& fields, std::string_view name) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (EqualIgnoringAsciiCase(fields[i].DisplayName(), name)) return static_cast<int>(i);
  }
  return -1;
}

// Reads the version line and the definition section; returns the header line, if any.
std::optional<std::string_view> ReadDefinitions(LineReader& lines, TableFile& file) {
  bool inDefinitions = false;
  bool inIndex = false;
  std::vector<FieldSpec> defined;
  std::optional<std::string_view> header;
  while (const auto line = lines.Next()) {
    FieldReader reader(*line);
    FieldText first;
    reader.Next(first);
    const std::string_view key = first.text;
    if (key == kVersionKey) continue;
    if (key == kTableDefStart) {
      inDefinitions = true;
      inIndex = false;
      file.definitions = true;
      defined.clear();
    } else if (key == kIndexDefStart) {
      inIndex = true;
    } else if (key == kIndexDefEnd) {
      inIndex = false;
    } else if (key == kTableDefEnd) {
      if (inDefinitions) file.fields = std::move(defined);
      defined.clear();
      inDefinitions = inIndex = false;
    } else if (inDefinitions) {
      if (!inIndex) defined.push_back(ParseFieldLine(key));
    } else {
      header = line;
      break;
    }
  }
  if (inDefinitions) file.fields = std::move(defined);  // the file ended inside the section
  return header;
}

// The cell of one field text of a data line.
Cell ReadCell(CellStore& store, const FieldSpec& fieldDef, const FieldText& field) {
  if (fieldDef.type == FieldType::String) {
    if (field.null) return Cell{};
    return store.WrittenText(fieldDef, [&field](std::string& buffer, size_t limit) {
      AppendUnescaped(buffer, field.text, limit);
    });
  }
  if (field.null || field.text.empty()) return Cell{};
  Cell cell;
  if (!ParseFixed(fieldDef.type, field.text, [&cell](const auto& v) { cell = CellOf(v); })) {
    throw ConversionError(fieldDef, field.text);
  }
  return cell;
}

void ReadRows(LineReader& lines, const std::vector<int>& columns, size_t dataSize,
              size_t expectedRows, TableFile& file, const RowVisitor* visit) {
  const auto& fields = file.fields;
  CellStore& store = file.rows;
  const std::vector<Cell> defaults = store.DefaultCells(fields);
  const size_t defaultTexts = store.TextBytes();
  // Room for the rows ahead, but never more cells than the file has bytes, whatever it claims.
  const size_t perRow = std::max<size_t>(1, fields.size());
  if (visit == nullptr) store.Reserve(std::min(expectedRows, dataSize / perRow), dataSize / 4);
  while (const auto line = lines.Next()) {
    Cell* row = store.Row(store.AddRow(defaults));
    FieldReader reader(*line);
    FieldText field;
    for (const int column : columns) {
      if (!reader.Next(field)) break;
      if (column < 0) continue;
      row[column] = ReadCell(store, fields[static_cast<size_t>(column)], field);
    }
    file.idCounter = RaisedCounter(file.idCounter, fields, row);
    if (visit != nullptr) {
      (*visit)(file, row);
      store.DropRows(defaultTexts);
    }
  }
}

// The fields of the columns of the data lines: those the header line names, else every field
// in order. Reads the version line, the definition section and the header line.
std::vector<int> ReadColumns(LineReader& lines, TableFile& file) {
  const auto header = ReadDefinitions(lines, file);
  // A field shown under a section marker's name cannot be written back: that name in the header
  // line would open a section when the file is read again, and the saved table would not load.
  const auto marker = [](const FieldSpec& field) {
    for (const std::string_view key :
         {kVersionKey, kTableDefStart, kTableDefEnd, kIndexDefStart, kIndexDefEnd}) {
      if (field.DisplayName() == key) return true;
    }
    return false;
  };
  if (std::any_of(file.fields.begin(), file.fields.end(), marker)) {
    throw Error("Couldnt determine field count for load.");
  }
  std::vector<int> columns;
  if (header) {
    FieldReader reader(*header);
    for (FieldText name; reader.Next(name);) columns.push_back(ColumnField(file.fields, name.text));
  } else {
    columns.resize(file.fields.size());
    std::iota(columns.begin(), columns.end(), 0);
  }
  // A header that names no field of the table is no header of this table (a damaged or foreign
  // file): loading it would give rows of nothing, and the next save would put them in its place.
  const bool noneKnown = std::all_of(columns.begin(), columns.end(), [](int c) { return c < 0; });
  if (columns.empty() || (noneKnown && !file.fields.empty())) {
    throw Error("Couldnt determine field count for load.");
  }
  return columns;
}

TableFile ParseTableFileOrThrow(const std::filesystem::path& path, std::string_view data,
                                const std::vector<FieldSpec>& fields, const RowVisitor* visit) {
  try {
    return ParseTableFile(data, fields, visit);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  } catch (const Error& e) {
    throw DamagedFileError(e.what());  // read whole, but no table of this format
  }
  throw Error("Not enough memory to load \"" + PathText(path) + "\"");
}

// ---------------------------------------------------------------------------------------------
// Writing

void AppendDefinitions(std::string& out, const std::vector<FieldSpec>& fields) {
  AppendQuoted(out, kVersionKey);
  out += ',';
  AppendQuoted(out, kFileVersion);
  out += kLineEnd;
  AppendQuoted(out, kTableDefStart);
  out += kLineEnd;
  for (const auto& fieldDef : fields) {
    AppendQuoted(out, FieldLine(fieldDef));
    out += kLineEnd;
  }
  for (const auto key : {kIndexDefStart, kIndexDefEnd, kTableDefEnd}) {
    AppendQuoted(out, key);
    out += kLineEnd;
  }
  for (const auto& fieldDef : fields) {
    AppendQuoted(out, fieldDef.DisplayName());
    out += ',';
  }
  if (fields.empty()) out += ',';
  out += kLineEnd;
}

void AppendCell(std::string& out, const CellStore& store, const Cell& cell,
                const FieldSpec& fieldDef) {
  if (cell.IsNull()) return;
  switch (fieldDef.type) {
    case FieldType::String:
      AppendEscapedQuoted(out, store.Text(cell));
      return;
    case FieldType::Float:
      AppendQuoted(out, FormatFloat(DoubleOf(cell)));
      return;
    case FieldType::Date:
      AppendQuoted(out, FormatDate(DateOf(cell)));
      return;
    default:
      out += '"';
      AppendInt(out, IntOf(cell));
      out += '"';
  }
}

// The data lines of the rows in `order`.
void AppendRowLines(std::string& out, const std::vector<FieldSpec>& fields, const CellStore& rows,
                    std::span<const uint32_t> order) {
  for (const uint32_t row : order) {
    const Cell* cells = rows.Row(row);
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out += ',';
      AppendCell(out, rows, cells[i], fields[i]);
    }
    out += ',';
    out += kLineEnd;
  }
}

// The longest head that appending reads: far more than the definitions of any table of this
// program take.
constexpr std::uintmax_t kHeadBytes = 64 * 1024;

// The file holds rows of `fields` in their order, as written by WriteTableFile.
bool SameLayout(const TableHead& head, const std::vector<FieldSpec>& fields) {
  if (head.fields.size() != fields.size() || head.columns.size() != fields.size()) return false;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (head.columns[i] != static_cast<int>(i) ||
        FieldLine(head.fields[i]) != FieldLine(fields[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

void AppendUnescaped(std::string& out, std::string_view text, size_t limit) {
  if (text.find('%') == std::string_view::npos) {
    out.append(text.data(), std::min(text.size(), limit));
    return;
  }
  const size_t end = out.size() + limit;
  for (size_t i = 0; i < text.size() && out.size() < end; ++i) {
    if (text[i] != '%' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    switch (next) {
      case '%':
        out += '%';
        break;
      case '0':
        out += '\0';
        break;
      case 'c':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      default:  // an unknown escape keeps both characters
        out += '%';
        if (out.size() < end) out += next;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Field lines

FieldSpec ParseFieldLine(std::string_view line) {
  const size_t eq = line.find('=');
  FieldSpec fieldDef;
  fieldDef.name = std::string(line.substr(0, eq));
  const std::string_view rest =
      eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
  std::vector<std::string> items;
  FieldReader reader(rest);
  for (FieldText item; reader.Next(item);) items.emplace_back(item.text);
  if (items.size() > 6) {
    fieldDef.defaultExpression = std::move(items.back());
    items.pop_back();
  }
  const std::string typeWord = items.empty() ? std::string() : items[0];
  const auto type = FromWord(kTypeWords, typeWord);
  if (!type) throw Error("Unknown field type (" + U(typeWord) + ") in CSV file. (" + U(line) + ")");
  const std::string kindWord = items.size() < 6 ? std::string("Data") : items.back();
  const auto kind = FromWord(kKindWords, kindWord);
  if (!kind) throw Error("Unknown field type (" + U(kindWord) + ") in CSV file. (" + U(line) + ")");
  fieldDef.type = *type;
  fieldDef.kind = *kind;
  if (items.size() > 1) fieldDef.size = LenientInt(items[1]);
  if (items.size() > 2) fieldDef.displayLabel = items[2];
  if (items.size() > 3) fieldDef.editMask = items[3];
  if (items.size() > 4) fieldDef.displayWidth = LenientInt(items[4]);
  fieldDef.required = line.find(",REQ") != std::string_view::npos;
  fieldDef.readOnly = line.find(",RO") != std::string_view::npos;
  fieldDef.hidden = line.find(",INV") != std::string_view::npos;
  return fieldDef;
}

std::string FieldLine(const FieldSpec& fieldDef) {
  std::string line = fieldDef.name + "=" + std::string(WordOf(kTypeWords, fieldDef.type)) + ",";
  AppendInt(line, fieldDef.size);
  line += ',';
  AppendQuoted(line, fieldDef.DisplayName());
  line += ',';
  AppendQuoted(line, fieldDef.editMask);
  line += ',';
  AppendInt(line, fieldDef.displayWidth);
  if (fieldDef.required) line += ",REQ";
  if (fieldDef.readOnly) line += ",RO";
  if (fieldDef.hidden) line += ",INV";
  line += ',';
  line += WordOf(kKindWords, fieldDef.kind);
  line += ',';
  AppendQuoted(line, fieldDef.defaultExpression);
  return line;
}

// ---------------------------------------------------------------------------------------------
// Files

TableFile ParseTableFile(std::string_view data, const std::vector<FieldSpec>& fields,
                         const RowVisitor* visit) {
  TableFile file;
  file.fields = fields;
  LineReader lines(data);
  const std::vector<int> columns = ReadColumns(lines, file);
  file.rows = CellStore(file.fields.size());
  ReadRows(lines, columns, data.size(),
           static_cast<size_t>(std::count(data.begin(), data.end(), '\n')), file, visit);
  return file;
}

std::optional<TableHead> ParseTableHead(std::string_view start,
                                        const std::vector<FieldSpec>& fields) {
  TableFile file;
  file.fields = fields;
  LineReader lines(start);
  std::vector<int> columns = ReadColumns(lines, file);
  // Without a line end after it the header line may go on past `start`; the line end
  // after the definitions of a file without a header line is no start of rows either.
  if (lines.Position() >= start.size()) return std::nullopt;
  return TableHead{std::move(file.fields), std::move(columns), lines.Position()};
}

std::optional<TableFile> ReadTableFile(const std::filesystem::path& path,
                                       const std::vector<FieldSpec>& fields,
                                       const RowVisitor* visit) {
  const std::string data = ReadWholeFile(path, kMaxTableFileBytes);
  if (data.empty()) return std::nullopt;
  return ParseTableFileOrThrow(path, data, fields, visit);
}

std::string TableFileText(const std::vector<FieldSpec>& fields, const CellStore& rows,
                          std::span<const uint32_t> order) {
  std::string out;
  out.reserve(rows.TextBytes() + rows.Rows() * (fields.size() * 6 + 2) + 1024);
  AppendDefinitions(out, fields);
  AppendRowLines(out, fields, rows, order);
  return out;
}

void WriteTableFile(const std::filesystem::path& path, const std::vector<FieldSpec>& fields,
                    const CellStore& rows, std::span<const uint32_t> order) {
  WriteFileContent(path, TableFileText(fields, rows, order));
}

bool AppendTableFile(const std::filesystem::path& path, const std::vector<FieldSpec>& fields,
                     const CellStore& rows, std::span<const uint32_t> order) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::string content;
  {
    InputFile file(path);
    if (file.Size() == 0) return false;
    const std::string start = file.Read(kHeadBytes);
    std::optional<TableHead> head;
    try {
      head = ParseTableHead(start, fields);
    } catch (const Error& e) {
      throw DamagedFileError(e.what());
    }
    if (!head || !SameLayout(*head, fields)) return false;
    if (order.empty()) return true;
    file.Seek(file.Size() - 1);
    const std::string last = file.Read(1);
    if (last.empty() || !LineReader::IsBreak(last[0])) content = kLineEnd;
  }
  AppendRowLines(content, fields, rows, order);
  std::string reason;
  if (!AppendFileContent(path, content, reason)) {
    throw Error("Cannot create file \"" + PathText(path) + "\". " + reason);
  }
  return true;
}

}  // namespace pekto::table_detail
