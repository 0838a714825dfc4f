#include "results/CsvTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace pekto {

using table_detail::Cell;
using table_detail::RowStore;

namespace {

constexpr std::string_view kVersionKey = "@@FILE VERSION@@";
constexpr std::string_view kTableDefStart = "@@TABLEDEF START@@";
constexpr std::string_view kTableDefEnd = "@@TABLEDEF END@@";
constexpr std::string_view kIndexDefStart = "@@INDEXDEF START@@";
constexpr std::string_view kIndexDefEnd = "@@INDEXDEF END@@";
constexpr std::string_view kFileVersion = "251";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kTextSize = 50;
constexpr int kNumberWidth = 10;

// ---------------------------------------------------------------------------------------------
// Letters

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lower case of a Windows-1250 letter.
unsigned char FoldCp1250(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8D:
    case 0x8E:
    case 0x8F:
      return c + 0x10;
    case 0xA3:
      return 0xB3;
    case 0xA5:
      return 0xB9;
    case 0xAA:
      return 0xBA;
    case 0xAF:
      return 0xBF;
    case 0xBC:
      return 0xBE;
    default:
      return c;
  }
}

bool EqualAsciiFold(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

bool EqualNameFold(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCp1250(static_cast<unsigned char>(x)) ==
                  FoldCp1250(static_cast<unsigned char>(y));
         });
}

int CompareBytes(std::string_view a, std::string_view b, bool caseInsensitive) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (caseInsensitive) {
      x = FoldCp1250(x);
      y = FoldCp1250(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string U(std::string_view cp1250Text) {
  return cp1250::ToUtf8(cp1250Text);
}

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
    if (EqualAsciiFold(w, word)) return v;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Fixed text forms

void AppendInt(std::string& out, int64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), result.ptr);
}

void AppendTwoDigits(std::string& out, int value) {
  const auto v = static_cast<unsigned>(value < 0 ? -value : value);
  out += static_cast<char>('0' + v / 10 % 10);
  out += static_cast<char>('0' + v % 10);
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

// Appends the unescaped `text` to `out`, at most `limit` bytes.
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

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An optional sign and decimal digits.
std::optional<int64_t> ParseInt64(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (!AllDigits(text)) return std::nullopt;
  uint64_t magnitude = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (result.ec != std::errc() || magnitude > (uint64_t{1} << 63)) return std::nullopt;
  if (!negative && magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    return std::nullopt;
  }
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

std::optional<int32_t> ParseInt32(std::string_view text) {
  const auto value = ParseInt64(text);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

std::optional<double> ParseFloat(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<Date> ParseDate(std::string_view text) {
  std::array<int, 3> parts{};
  constexpr std::array<size_t, 3> kMaxDigits = {2, 2, 4};
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t slash = i < 2 ? text.find('/') : text.size();
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view digits = text.substr(0, slash);
    if (!AllDigits(digits) || digits.size() > kMaxDigits[i]) return std::nullopt;
    std::from_chars(digits.data(), digits.data() + digits.size(), parts[i]);
    text.remove_prefix(std::min(text.size(), slash + 1));
  }
  const Date date{parts[2], parts[1], parts[0]};
  if (!IsValidDate(date)) return std::nullopt;
  return date;
}

std::string FormatValue(const FieldValue& value) {
  return NullToStr(value, {});
}

// ---------------------------------------------------------------------------------------------
// Cells

uint64_t PackDate(const Date& d) {
  return static_cast<uint64_t>(d.year) * 512 + static_cast<uint64_t>(d.month) * 32 +
         static_cast<uint64_t>(d.day);
}

Date UnpackDate(uint64_t bits) {
  return {static_cast<int>(bits / 512), static_cast<int>(bits / 32 % 16),
          static_cast<int>(bits % 32)};
}

int32_t IntOf(const Cell& cell) {
  return static_cast<int32_t>(static_cast<uint32_t>(cell.bits));
}
double DoubleOf(const Cell& cell) {
  return std::bit_cast<double>(cell.bits);
}

Cell IntCell(int32_t value) {
  return {static_cast<uint32_t>(value)};
}
Cell DoubleCell(double value) {
  return {std::bit_cast<uint64_t>(value)};
}
Cell DateCell(const Date& date) {
  return {PackDate(date)};
}

// Texts of one table are addressed by 32 bits.
constexpr size_t kTextSpace = std::numeric_limits<uint32_t>::max();

size_t TextLimit(const FieldSpec& fieldDef) {
  return fieldDef.size > 0 ? std::min(static_cast<size_t>(fieldDef.size), kTextSpace) : kTextSpace;
}

// The cell of the text that was just appended to the store at `offset`.
Cell TextSpan(RowStore& store, size_t offset) {
  if (store.texts.size() > kTextSpace) {
    store.texts.resize(offset);
    throw Error("Table too large");
  }
  return {offset | (static_cast<uint64_t>(store.texts.size() - offset) << 32)};
}

Cell TextCell(RowStore& store, std::string_view text, const FieldSpec& fieldDef) {
  const size_t offset = store.texts.size();
  store.texts.append(text.data(), std::min(text.size(), TextLimit(fieldDef)));
  return TextSpan(store, offset);
}

Cell EscapedTextCell(RowStore& store, std::string_view text, const FieldSpec& fieldDef) {
  const size_t offset = store.texts.size();
  AppendUnescaped(store.texts, text, TextLimit(fieldDef));
  return TextSpan(store, offset);
}

[[noreturn]] void ThrowConversion(const FieldSpec& fieldDef, std::string_view text) {
  switch (fieldDef.type) {
    case FieldType::Float:
      throw Error("'" + U(text) + "' is not a valid floating point value for field '" +
                  U(fieldDef.DisplayName()) + "'");
    case FieldType::Date:
      throw Error("'" + U(text) + "' is not a valid date");
    default:
      throw Error("'" + U(text) + "' is not a valid integer value for field '" +
                  U(fieldDef.DisplayName()) + "'");
  }
}

// A file text of a non-text field in its fixed form; throws the conversion error.
Cell ParsedCell(const FieldSpec& fieldDef, std::string_view text) {
  switch (fieldDef.type) {
    case FieldType::Float:
      if (const auto v = ParseFloat(text)) return DoubleCell(*v);
      break;
    case FieldType::Date:
      if (const auto d = ParseDate(text)) return DateCell(*d);
      break;
    default:
      if (const auto i = ParseInt32(text)) return IntCell(*i);
  }
  ThrowConversion(fieldDef, text);
}

std::optional<int32_t> RoundToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);
  if (rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

// The value as the field stores it (texts cut to the size), or nothing when it does not convert.
std::optional<FieldValue> Convert(const FieldSpec& fieldDef, const FieldValue& value) {
  if (fieldDef.type == FieldType::String) {
    if (const auto* date = std::get_if<Date>(&value); date && !IsValidDate(*date)) {
      return std::nullopt;
    }
    std::string text = FormatValue(value);
    if (text.size() > TextLimit(fieldDef)) text.resize(TextLimit(fieldDef));
    return text;
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    switch (fieldDef.type) {
      case FieldType::Float:
        if (const auto v = ParseFloat(*text)) return *v;
        return std::nullopt;
      case FieldType::Date:
        if (const auto d = ParseDate(*text)) return *d;
        return std::nullopt;
      default:
        if (const auto i = ParseInt32(*text)) return *i;
        return std::nullopt;
    }
  }
  const auto* integer = std::get_if<int32_t>(&value);
  const auto* real = std::get_if<double>(&value);
  const auto* date = std::get_if<Date>(&value);
  switch (fieldDef.type) {
    case FieldType::Float:
      if (integer) return static_cast<double>(*integer);
      if (real && std::isfinite(*real)) return *real;
      return std::nullopt;
    case FieldType::Date:
      if (date && IsValidDate(*date)) return *date;
      return std::nullopt;
    default:
      if (integer) return *integer;
      if (real) {
        if (const auto i = RoundToInt32(*real)) return *i;
      }
      return std::nullopt;
  }
}

Cell MakeCell(RowStore& store, const FieldSpec& fieldDef, const FieldValue& value) {
  const auto converted = Convert(fieldDef, value);
  if (!converted) ThrowConversion(fieldDef, FormatValue(value));
  return std::visit(
      [&](const auto& v) -> Cell {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, int32_t>) return IntCell(v);
        if constexpr (std::is_same_v<T, double>) return DoubleCell(v);
        if constexpr (std::is_same_v<T, Date>) return DateCell(v);
        if constexpr (std::is_same_v<T, std::string>) return TextCell(store, v, fieldDef);
      },
      *converted);
}

NullableValue ValueOf(const RowStore& store, const Cell& cell, const FieldSpec& fieldDef) {
  if (cell.IsNull()) return std::nullopt;
  switch (fieldDef.type) {
    case FieldType::String:
      return std::string(store.Text(cell));
    case FieldType::Float:
      return DoubleOf(cell);
    case FieldType::Date:
      return UnpackDate(cell.bits);
    default:
      return IntOf(cell);
  }
}

// The cells of a new row: null, or the default expression where it converts.
std::vector<Cell> DefaultCells(const std::vector<FieldSpec>& fields, RowStore& store) {
  std::vector<Cell> cells(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].defaultExpression.empty()) continue;
    if (const auto v = Convert(fields[i], fields[i].defaultExpression)) {
      cells[i] = MakeCell(store, fields[i], *v);
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

// ---------------------------------------------------------------------------------------------
// Reading

// Lines end at any run of CR, LF and NUL; empty lines are skipped.
class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data) {}

  std::optional<std::string_view> Next() {
    while (pos_ < data_.size() && IsBreak(data_[pos_])) ++pos_;
    if (pos_ == data_.size()) return std::nullopt;
    const size_t start = pos_;
    while (pos_ < data_.size() && !IsBreak(data_[pos_])) ++pos_;
    return data_.substr(start, pos_ - start);
  }

 private:
  static bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }
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

 private:
  // Runs to the next single quotation mark (or the end of the line) and skips the character
  // after it, the separator.
  std::string_view Quoted() {
    const size_t start = ++pos_;
    size_t close = line_.find('"', pos_);
    if (close == std::string_view::npos) {
      pos_ = line_.size();
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
  std::string scratch_;
};

int LenientInt(std::string_view text) {
  return ParseInt32(text).value_or(0);
}

// One unwrapped field line: name=type,size,"label","mask",width[,REQ][,RO][,INV],kind,"default".
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

// What a file holds, before the table takes it.
struct ParsedFile {
  bool definitions = false;
  std::vector<FieldSpec> fields;
  RowStore rows;
  int32_t idCounter = -1;
};

int FindField(const std::vector<FieldSpec>& fields, std::string_view name) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (EqualNameFold(fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

[[noreturn]] void ThrowFieldNotFound(const std::string& table, std::string_view name) {
  throw Error(table + ": Field '" + U(name) + "' not found");
}

int ColumnField(const std::vector<FieldSpec>& fields, std::string_view name) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (EqualAsciiFold(fields[i].DisplayName(), name)) return static_cast<int>(i);
  }
  return -1;
}

// Reads the version line and the definition section; returns the header line, if any.
std::optional<std::string_view> ReadDefinitions(LineReader& lines, ParsedFile& file) {
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

void ReadRows(LineReader& lines, const std::vector<int>& columns, size_t dataSize,
              size_t expectedRows, ParsedFile& file) {
  const auto& fields = file.fields;
  RowStore& store = file.rows;
  store.fieldCount = fields.size();
  const std::vector<Cell> defaults = DefaultCells(fields, store);
  // Room for the rows ahead, but never more cells than the file has bytes, whatever it claims.
  const size_t perRow = std::max<size_t>(1, fields.size());
  store.cells.reserve(std::min(expectedRows, dataSize / perRow) * fields.size());
  store.texts.reserve(store.texts.size() + dataSize / 4);
  while (const auto line = lines.Next()) {
    store.cells.resize(store.cells.size() + fields.size());
    Cell* row = store.Row(store.rows++);
    std::copy(defaults.begin(), defaults.end(), row);
    FieldReader reader(*line);
    FieldText field;
    for (const int column : columns) {
      if (!reader.Next(field)) break;
      if (column < 0) continue;
      const FieldSpec& fieldDef = fields[static_cast<size_t>(column)];
      Cell& cell = row[column];
      if (field.null || (field.text.empty() && fieldDef.type != FieldType::String)) {
        cell = Cell{};
      } else if (fieldDef.type == FieldType::String) {
        cell = EscapedTextCell(store, field.text, fieldDef);
      } else {
        cell = ParsedCell(fieldDef, field.text);
      }
    }
    file.idCounter = RaisedCounter(file.idCounter, fields, row);
  }
}

ParsedFile ParseTableFile(std::string_view data, const std::vector<FieldSpec>& currentFields) {
  ParsedFile file;
  file.fields = currentFields;
  LineReader lines(data);
  const auto header = ReadDefinitions(lines, file);
  std::vector<int> columns;
  if (header) {
    FieldReader reader(*header);
    for (FieldText name; reader.Next(name);) columns.push_back(ColumnField(file.fields, name.text));
  } else {
    columns.resize(file.fields.size());
    std::iota(columns.begin(), columns.end(), 0);
  }
  if (columns.empty()) throw Error("Couldnt determine field count for load.");
  ReadRows(lines, columns, data.size(),
           static_cast<size_t>(std::count(data.begin(), data.end(), '\n')), file);
  return file;
}

// ---------------------------------------------------------------------------------------------
// Writing

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

void AppendCell(std::string& out, const RowStore& store, const Cell& cell,
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
      AppendQuoted(out, FormatDate(UnpackDate(cell.bits)));
      return;
    default:
      out += '"';
      AppendInt(out, IntOf(cell));
      out += '"';
  }
}

// ---------------------------------------------------------------------------------------------
// Filter expressions

[[noreturn]] void ThrowBadFilter(const std::string& table, std::string_view expression) {
  throw Error(table + ": Invalid filter expression: " + U(expression) +
              " (expected name='text' or name=number)");
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

}  // namespace

// ---------------------------------------------------------------------------------------------
// Free functions

bool IsValidDate(const Date& date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
    return false;
  }
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const int days = kDays[static_cast<size_t>(date.month - 1)] + (date.month == 2 && leap ? 1 : 0);
  return date.day <= days;
}

FieldSpec MakeField(std::string name, FieldType type) {
  FieldSpec fieldDef;
  fieldDef.name = std::move(name);
  fieldDef.type = type;
  fieldDef.size = type == FieldType::String ? kTextSize : 0;
  fieldDef.displayWidth = type == FieldType::String ? kTextSize : kNumberWidth;
  return fieldDef;
}

std::vector<FieldSpec> ScoreSchema() {
  return {MakeField("id", FieldType::AutoInc),     MakeField("tesztneve", FieldType::String),
          MakeField("jatekos", FieldType::String), MakeField("osszes", FieldType::Integer),
          MakeField("helyes", FieldType::Integer), MakeField("hibas", FieldType::Integer),
          MakeField("szazalek", FieldType::Float), MakeField("ido", FieldType::Integer),
          MakeField("datum", FieldType::Date)};
}

std::vector<FieldSpec> PlayerSchema() {
  return {MakeField("jatekos", FieldType::String)};
}

std::string FormatFloat(double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, 15);
  return std::string(buffer.data(), result.ptr);
}

std::string FormatDate(const Date& date) {
  std::string text;
  AppendTwoDigits(text, date.day);
  text += '/';
  AppendTwoDigits(text, date.month);
  text += '/';
  AppendTwoDigits(text, date.year / 100);
  AppendTwoDigits(text, date.year % 100);
  return text;
}

std::string NullToStr(const NullableValue& value, std::string_view defaultText) {
  if (!value) return std::string(defaultText);
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, int32_t>) return std::to_string(v);
        if constexpr (std::is_same_v<T, double>) return FormatFloat(v);
        if constexpr (std::is_same_v<T, Date>) return FormatDate(v);
        if constexpr (std::is_same_v<T, std::string>) return v;
      },
      *value);
}

int32_t NullToInt(const NullableValue& value, int32_t defaultValue) {
  if (!value) return defaultValue;
  std::optional<int32_t> result;
  if (const auto* i = std::get_if<int32_t>(&*value)) result = *i;
  if (const auto* d = std::get_if<double>(&*value)) result = RoundToInt32(*d);
  if (const auto* s = std::get_if<std::string>(&*value)) result = ParseInt32(*s);
  if (!result) throw Error("'" + U(FormatValue(*value)) + "' is not a valid integer value");
  return *result;
}

// ---------------------------------------------------------------------------------------------
// CsvTable: fields, opening and closing

CsvTable::CsvTable(std::string componentName, std::vector<FieldSpec> schema,
                   const Collator* collator)
    : componentName_(std::move(componentName)), fields_(std::move(schema)), collator_(collator) {
  store_.fieldCount = fields_.size();
}

int CsvTable::FieldIndex(std::string_view name) const {
  return FindField(fields_, name);
}

size_t CsvTable::RequireField(std::string_view name) const {
  const int index = FieldIndex(name);
  if (index < 0) ThrowFieldNotFound(componentName_, name);
  return static_cast<size_t>(index);
}

void CsvTable::RequireOpen() const {
  if (!open_) throw Error(componentName_ + ": Cannot perform this operation on a closed dataset");
}

void CsvTable::DropRows() {
  store_ = RowStore{};
  store_.fieldCount = fields_.size();
  rowOrder_.clear();
  sorted_.clear();
  filtered_.clear();
  idCounter_ = -1;
  cursor_.reset();
  atEnd_ = true;
  editing_.reset();
}

void CsvTable::Open() {
  if (open_) return;
  open_ = true;
  DropRows();
  Refresh(std::nullopt);
}

void CsvTable::Close() {
  DropRows();
  open_ = false;
  sort_.reset();
  filterApplies_ = false;
}

// ---------------------------------------------------------------------------------------------
// Files

namespace {

ParsedFile ParseTableFileOrThrow(const std::filesystem::path& path, std::string_view data,
                                 const std::vector<FieldSpec>& fields) {
  try {
    return ParseTableFile(data, fields);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  throw Error("Not enough memory to load \"" + PathText(path) + "\"");
}

}  // namespace

void CsvTable::LoadFile(const std::filesystem::path& path) {
  const std::string data = ReadWholeFile(path);
  if (data.empty()) return;
  ParsedFile file = ParseTableFileOrThrow(path, data, fields_);
  if (filter_ && filterEnabled_ && FindField(file.fields, filter_->field) < 0) {
    ThrowFieldNotFound(componentName_, filter_->field);  // before the table changes
  }
  if (file.definitions) {
    fields_ = std::move(file.fields);
    sort_.reset();
    DropRows();
    store_ = std::move(file.rows);
    rowOrder_.resize(store_.rows);
    std::iota(rowOrder_.begin(), rowOrder_.end(), 0U);
  } else {
    if (!open_) DropRows();
    AppendRows(std::move(file.rows));
  }
  editing_.reset();
  open_ = true;
  idCounter_ = file.idCounter;
  if (sort_) ApplySort();
  Refresh(std::nullopt);
}

// Adds rows read with this table's fields after the last row.
void CsvTable::AppendRows(RowStore&& rows) {
  const size_t textOffset = store_.texts.size();
  if (textOffset + rows.texts.size() > kTextSpace) throw Error("Table too large");
  store_.texts += rows.texts;
  for (size_t i = 0; i < rows.cells.size(); ++i) {
    Cell& cell = rows.cells[i];
    if (!cell.IsNull() && fields_[i % fields_.size()].type == FieldType::String) {
      cell.bits += textOffset;
    }
  }
  store_.cells.insert(store_.cells.end(), rows.cells.begin(), rows.cells.end());
  for (size_t i = 0; i < rows.rows; ++i) {
    rowOrder_.push_back(static_cast<uint32_t>(store_.rows + i));
  }
  store_.rows += rows.rows;
}

void CsvTable::SaveFile(const std::filesystem::path& path) const {
  std::string out;
  out.reserve(store_.texts.size() + store_.rows * (fields_.size() * 6 + 2) + 1024);
  AppendDefinitions(out, fields_);
  for (const uint32_t row : sort_ ? sorted_ : rowOrder_) {
    const Cell* cells = store_.Row(row);
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (i > 0) out += ',';
      AppendCell(out, store_, cells[i], fields_[i]);
    }
    out += ',';
    out += kLineEnd;
  }
  std::string reason;
  if (!ReplaceFileContent(path, out, reason)) {
    throw Error("Cannot create file \"" + PathText(path) + "\". " + reason);
  }
}

// ---------------------------------------------------------------------------------------------
// Editing

void CsvTable::StartRow(bool insert) {
  RequireOpen();
  if (editing_) PostRow();
  Edit edit;
  edit.cells = DefaultCells(fields_, store_);
  const auto next = static_cast<int32_t>(static_cast<int64_t>(idCounter_) + 1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].type == FieldType::AutoInc) edit.cells[i] = IntCell(next);
  }
  if (insert && !sort_) edit.before = CurrentRow();
  editing_ = std::move(edit);
}

void CsvTable::InsertRow() {
  StartRow(true);
}
void CsvTable::AppendRow() {
  StartRow(false);
}

size_t CsvTable::EditField(std::string_view field) {
  if (!editing_) throw Error(componentName_ + ": Dataset not in edit or insert mode");
  const size_t index = RequireField(field);
  if (fields_[index].readOnly) {
    throw Error(componentName_ + ": Field '" + U(fields_[index].name) + "' cannot be modified");
  }
  return index;
}

void CsvTable::SetValue(std::string_view field, const NullableValue& value) {
  const size_t index = EditField(field);
  editing_->cells[index] = value ? MakeCell(store_, fields_[index], *value) : Cell{};
}

void CsvTable::SetText(std::string_view field, std::string_view text) {
  SetValue(field, FieldValue(std::string(text)));
}

void CsvTable::SetInteger(std::string_view field, int32_t value) {
  SetValue(field, FieldValue(value));
}

void CsvTable::SetDate(std::string_view field, const Date& date) {
  SetValue(field, FieldValue(date));
}

void CsvTable::PostRow() {
  if (!editing_) throw Error(componentName_ + ": Dataset not in edit or insert mode");
  Edit edit = std::move(*editing_);
  editing_.reset();
  const auto row = static_cast<uint32_t>(store_.rows);
  store_.cells.insert(store_.cells.end(), edit.cells.begin(), edit.cells.end());
  ++store_.rows;
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

std::span<const uint32_t> CsvTable::Visible() const {
  if (filterApplies_) return filtered_;
  return sort_ ? sorted_ : rowOrder_;
}

std::optional<uint32_t> CsvTable::CurrentRow() const {
  if (!cursor_) return std::nullopt;
  return Visible()[*cursor_];
}

std::optional<size_t> CsvTable::CurrentPosition() const {
  return cursor_;
}

// Filters anew; `keep` stays current when visible, else the first visible row becomes current.
void CsvTable::Refresh(std::optional<uint32_t> keep) {
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

void CsvTable::MoveFirst() {
  cursor_.reset();
  atEnd_ = Visible().empty();
  if (!atEnd_) cursor_ = 0;
}

void CsvTable::MoveNext() {
  if (!cursor_ || *cursor_ + 1 >= Visible().size()) {
    atEnd_ = true;
    return;
  }
  ++*cursor_;
  atEnd_ = false;
}

void CsvTable::MoveTo(size_t visiblePosition) {
  if (visiblePosition >= Visible().size()) {
    atEnd_ = true;
    return;
  }
  cursor_ = visiblePosition;
  atEnd_ = false;
}

NullableValue CsvTable::Value(std::string_view field) const {
  const size_t index = RequireField(field);
  if (editing_) return ValueOf(store_, editing_->cells[index], fields_[index]);
  const auto row = CurrentRow();
  if (!row) return std::nullopt;
  return ValueOf(store_, store_.Row(*row)[index], fields_[index]);
}

NullableValue CsvTable::ValueAt(size_t visiblePosition, size_t fieldIndex) const {
  const auto visible = Visible();
  if (visiblePosition >= visible.size() || fieldIndex >= fields_.size()) return std::nullopt;
  return ValueOf(store_, store_.Row(visible[visiblePosition])[fieldIndex], fields_[fieldIndex]);
}

int CsvTable::CompareText(std::string_view a, std::string_view b, bool caseInsensitive) const {
  return collator_ ? collator_->Compare(a, b, caseInsensitive)
                   : CompareBytes(a, b, caseInsensitive);
}

bool CsvTable::FindRow(std::string_view field, const NullableValue& value) {
  const size_t index = RequireField(field);
  const FieldSpec& fieldDef = fields_[index];
  std::optional<FieldValue> wanted;
  if (value) {
    wanted = Convert(fieldDef, *value);
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
        equal = ValueOf(store_, cell, fieldDef) == NullableValue(*wanted);
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

void CsvTable::SetFilterText(std::string_view expression) {
  std::optional<Filter> filter;
  if (!Trim(expression).empty()) {
    const std::string_view text = Trim(expression);
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) ThrowBadFilter(componentName_, expression);
    filter.emplace();
    filter->field = std::string(Trim(text.substr(0, eq)));
    const std::string_view value = Trim(text.substr(eq + 1));
    if (filter->field.empty() || value.empty()) ThrowBadFilter(componentName_, expression);
    if (value.front() == '\'') {
      auto unquoted = Unquote(value);
      if (!unquoted) ThrowBadFilter(componentName_, expression);
      filter->text = std::move(*unquoted);
      if (filter->text.size() >= 2 && filter->text.back() == '*') {
        filter->text.pop_back();
        filter->prefix = true;
      }
    } else {
      const auto number = ParseInt64(value);
      if (!number) ThrowBadFilter(componentName_, expression);
      filter->numeric = true;
      filter->number = *number;
      filter->text = std::string(value);
    }
  }
  filterText_ = std::string(expression);
  filter_ = std::move(filter);
  if (open_ && filterEnabled_) Refresh(std::nullopt);
}

void CsvTable::EnableFilter(bool on) {
  filterEnabled_ = on;
  if (open_) Refresh(std::nullopt);
}

void CsvTable::ApplyFilter() {
  filtered_.clear();
  filterApplies_ = FilterWanted();
  if (!filterApplies_) return;
  const size_t index = RequireField(filter_->field);
  const FieldSpec& fieldDef = fields_[index];
  for (const uint32_t row : sort_ ? sorted_ : rowOrder_) {
    if (Matches(store_.Row(row)[index], fieldDef)) filtered_.push_back(row);
  }
}

bool CsvTable::Matches(const Cell& cell, const FieldSpec& fieldDef) const {
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
    rendered = NullToStr(ValueOf(store_, cell, fieldDef), {});
    text = rendered;
  }
  return filter.prefix ? text.starts_with(filter.text) : text == filter.text;
}

// ---------------------------------------------------------------------------------------------
// Sorting

void CsvTable::SortBy(std::string_view field, SortOption options) {
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
std::vector<double> CsvTable::TextRanks(size_t field, bool caseInsensitive) const {
  std::unordered_map<std::string_view, uint32_t> ids;
  std::vector<std::string_view> distinct;
  std::vector<uint32_t> rowIds(store_.rows, std::numeric_limits<uint32_t>::max());
  for (size_t row = 0; row < store_.rows; ++row) {
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
  std::vector<double> keys(store_.rows, -std::numeric_limits<double>::infinity());
  for (size_t row = 0; row < store_.rows; ++row) {
    if (rowIds[row] != std::numeric_limits<uint32_t>::max()) keys[row] = rankOfId[rowIds[row]];
  }
  return keys;
}

// Sorts the RowOrder by one numeric key per row; ties keep their RowOrder order.
void CsvTable::ApplySort() {
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

// The value of a source cell as this table's field stores it.
CsvTable::Cell CsvTable::CopiedCell(const CsvTable& source, const Cell& cell, const FieldSpec& from,
                                    const FieldSpec& to) {
  if (cell.IsNull()) return Cell{};
  if (from.type != to.type) return MakeCell(store_, to, *ValueOf(source.store_, cell, from));
  if (to.type == FieldType::String) return TextCell(store_, source.store_.Text(cell), to);
  return cell;
}

void CsvTable::CopyRowsFrom(const CsvTable& source) {
  if (&source == this) return;
  open_ = true;
  DropRows();
  std::vector<int> map(fields_.size(), -1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].kind == FieldKind::Data) map[i] = source.FieldIndex(fields_[i].name);
  }
  const std::vector<Cell> defaults = DefaultCells(fields_, store_);
  std::vector<Cell> cells;
  for (const uint32_t sourceRow : source.Visible()) {
    cells = defaults;
    const Cell* from = source.store_.Row(sourceRow);
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (fields_[i].type == FieldType::AutoInc) {
        cells[i] = IntCell(static_cast<int32_t>(static_cast<int64_t>(idCounter_) + 1));
      }
      if (map[i] < 0) continue;
      const auto s = static_cast<size_t>(map[i]);
      cells[i] = CopiedCell(source, from[s], source.fields_[s], fields_[i]);
    }
    store_.cells.insert(store_.cells.end(), cells.begin(), cells.end());
    rowOrder_.push_back(static_cast<uint32_t>(store_.rows++));
    idCounter_ = RaisedCounter(idCounter_, fields_, store_.Row(rowOrder_.back()));
  }
  if (sort_) ApplySort();
  Refresh(std::nullopt);
}

}  // namespace pekto
