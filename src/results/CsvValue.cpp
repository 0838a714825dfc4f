// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CsvValue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "platform/Cp1250.h"

namespace pekto {
namespace {

constexpr int kTextSize = 50;
constexpr int kNumberWidth = 10;

void AppendTwoDigits(std::string& out, int value) {
  const auto v = static_cast<unsigned>(value < 0 ? -value : value);
  out += static_cast<char>('0' + v / 10 % 10);
  out += static_cast<char>('0' + v % 10);
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
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

std::string FormatValue(const FieldValue& value) {
  return NullToStr(value, {});
}

std::optional<FieldValue> ConvertedNumber(FieldType type, const FieldValue& value) {
  const auto* integer = std::get_if<int32_t>(&value);
  const auto* real = std::get_if<double>(&value);
  const auto* date = std::get_if<Date>(&value);
  switch (type) {
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

}  // namespace

bool IsValidDate(const Date& date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
    return false;
  }
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const int days = kDays[static_cast<size_t>(date.month - 1)] + (date.month == 2 && leap ? 1 : 0);
  return date.day <= days;
}

FieldSpec MakeField(std::string_view name, FieldType type) {
  FieldSpec fieldDef;
  fieldDef.name = std::string(name);
  fieldDef.type = type;
  fieldDef.size = type == FieldType::String ? kTextSize : 0;
  fieldDef.displayWidth = type == FieldType::String ? kTextSize : kNumberWidth;
  return fieldDef;
}

size_t TextLimit(const FieldSpec& fieldDef) {
  return fieldDef.size > 0 ? static_cast<size_t>(fieldDef.size)
                           : std::numeric_limits<size_t>::max();
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

std::optional<int64_t> ParseInteger(std::string_view text) {
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
  // Up to nine digits always fit: the common case without the general reading.
  if (!text.empty() && text.size() <= 9) {
    int32_t digits = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      digits = digits * 10 + (text[i] - '0');
    }
    if (i == text.size()) return digits;
  }
  const auto value = ParseInteger(text);
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

std::optional<FieldValue> ParseValue(FieldType type, std::string_view text) {
  if (type == FieldType::String) return std::string(text);
  std::optional<FieldValue> value;
  ParseFixed(type, text, [&value](const auto& v) { value = v; });
  return value;
}

std::optional<FieldValue> ConvertValue(const FieldSpec& fieldDef, const FieldValue& value) {
  if (fieldDef.type == FieldType::String) {
    if (const auto* date = std::get_if<Date>(&value); date && !IsValidDate(*date)) {
      return std::nullopt;
    }
    std::string text = FormatValue(value);
    if (text.size() > TextLimit(fieldDef)) text.resize(TextLimit(fieldDef));
    return text;
  }
  if (const auto* text = std::get_if<std::string>(&value)) return ParseValue(fieldDef.type, *text);
  return ConvertedNumber(fieldDef.type, value);
}

Error ConversionError(const FieldSpec& fieldDef, std::string_view text) {
  const std::string quoted = "'" + cp1250::ToUtf8(text) + "'";
  const std::string field = cp1250::ToUtf8(fieldDef.DisplayName());
  switch (fieldDef.type) {
    case FieldType::Float:
      return Error(quoted + " is not a valid floating point value for field '" + field + "'");
    case FieldType::Date:
      return Error(quoted + " is not a valid date");
    default:
      return Error(quoted + " is not a valid integer value for field '" + field + "'");
  }
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
  if (!result) {
    throw Error("'" + cp1250::ToUtf8(FormatValue(*value)) + "' is not a valid integer value");
  }
  return *result;
}

}  // namespace pekto
