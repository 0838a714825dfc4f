// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fields and values of the table files: field definitions, typed values that may be null, and
// the fixed text forms values take in a file whatever the locale: integers in decimal, floats in
// the general form with up to 15 significant digits ("93", "97.5"), dates as dd/mm/yyyy.
//
// Decisions for input the program never writes:
// - Integers are an optional sign and decimal digits within 32 bits; floats are finite numbers
//   in the "." form (an exponent allowed); dates are day/month/year with 1-2 digit day and month
//   and a 1-4 digit year taken as written, which must name a real calendar day.
// - Texts in messages are converted from Windows-1250 to UTF-8.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Error.h"

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
FieldSpec MakeField(std::string_view name, FieldType type);

// The most bytes a text field keeps: its size, or any number when the size is 0 or less.
size_t TextLimit(const FieldSpec& fieldDef);

// Text forms of the file format.
std::string FormatFloat(double value);
std::string FormatDate(const Date& date);

// The fixed forms read back; nothing when the text is not in the form.
std::optional<int64_t> ParseInteger(std::string_view text);
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<double> ParseFloat(std::string_view text);
std::optional<Date> ParseDate(std::string_view text);
// A text in the fixed form of `type` (any text for a text field) as a value of that type.
std::optional<FieldValue> ParseValue(FieldType type, std::string_view text);

// Calls `use` with the text read in the fixed form of a number or date type: int32_t, double or
// Date. False when the text is not in that form, or `type` is the text type. Spares the reading
// of large files a FieldValue per value.
template <typename Use>
bool ParseFixed(FieldType type, std::string_view text, Use&& use) {
  switch (type) {
    case FieldType::String:
      return false;
    case FieldType::Float:
      if (const auto v = ParseFloat(text)) {
        use(*v);
        return true;
      }
      return false;
    case FieldType::Date:
      if (const auto d = ParseDate(text)) {
        use(*d);
        return true;
      }
      return false;
    default:
      if (const auto i = ParseInt32(text)) {
        use(*i);
        return true;
      }
      return false;
  }
}

// The value as a field of `fieldDef` stores it (texts cut to the field's size, integers given to
// a float field as whole numbers, floats to an integer field rounded), or nothing when it does
// not convert.
std::optional<FieldValue> ConvertValue(const FieldSpec& fieldDef, const FieldValue& value);

// The error of a text that does not convert to the field's type.
Error ConversionError(const FieldSpec& fieldDef, std::string_view text);

// `defaultText` when null, else the value as text (numbers and dates in the file's forms).
std::string NullToStr(const NullableValue& value, std::string_view defaultText);
// `defaultValue` when null, else the value as integer: floats rounded to the nearest (halves to
// even), texts read as decimal integers. Throws pekto::Error when the value does not convert.
int32_t NullToInt(const NullableValue& value, int32_t defaultValue);

}  // namespace pekto
