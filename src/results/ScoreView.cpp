// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ScoreView.h"

#include <algorithm>
#include <functional>
#include <unordered_set>
#include <variant>

#include "platform/Ascii.h"
#include "platform/Cp1250.h"

namespace pekto {
namespace {

// `numerator` / 100 rounded to the nearest integer, halves to the even one.
int RoundHundredths(long long numerator) {
  long long quotient = numerator / 100;
  long long remainder = numerator % 100;
  if (remainder < 0) {
    remainder += 100;
    --quotient;
  }
  if (remainder > 50 || (remainder == 50 && quotient % 2 != 0)) ++quotient;
  return static_cast<int>(quotient);
}

// Looks texts up by string_view without making strings of them.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(cp1250::ToLower(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace

std::array<int, kScoreColumns.size()> ColumnWidths(int gridWidth) {
  std::array<int, kScoreColumns.size()> widths{};
  const long long room = static_cast<long long>(gridWidth) - kGridAllowance;
  for (size_t i = 0; i < kScoreColumns.size(); ++i) {
    widths[i] = std::max(0, RoundHundredths(room * kScoreColumns[i].sharePercent));
  }
  return widths;
}

std::vector<std::string> LessonTitles(const CsvTable& table) {
  std::vector<std::string> titles;
  const int field = table.FieldIndex(score_field::kTitle);
  if (field < 0) return titles;
  // Scores repeat a few lessons many times: a title met before, exactly as written, is passed
  // over with one look-up; only a new spelling is folded to lower case.
  std::unordered_set<std::string, TextHash, std::equal_to<>> written, folded;
  const size_t rows = table.VisibleRowCount();
  for (size_t row = 0; row < rows; ++row) {
    const NullableValue value = table.ValueAt(row, static_cast<size_t>(field));
    const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
    const std::string title = text ? std::string() : NullToStr(value, {});
    const std::string_view shown = text ? std::string_view(*text) : std::string_view(title);
    if (written.contains(shown)) continue;
    written.emplace(shown);
    if (folded.insert(FoldCase(shown)).second) titles.emplace_back(shown);
  }
  return titles;
}

std::optional<size_t> FindTitle(const std::vector<std::string>& titles, std::string_view title) {
  for (size_t i = 0; i < titles.size(); ++i) {
    if (cp1250::EqualIgnoringCase(titles[i], title)) return i;
  }
  return std::nullopt;
}

std::string StoredTitle(const CsvTable& table, std::string_view title) {
  const int field = table.FieldIndex(score_field::kTitle);
  if (field < 0) return std::string(title);
  const auto stored =
      ConvertValue(table.Fields()[static_cast<size_t>(field)], FieldValue(std::string(title)));
  return stored ? NullToStr(stored, {}) : std::string(title);
}

std::string LessonFilter(std::string_view title) {
  std::string filter = std::string(score_field::kTitle) + "='";
  for (const char c : title) {
    filter += c;
    if (c == '\'') filter += '\'';
  }
  filter += '\'';
  return filter;
}

SortOption TitleSortOptions(std::string_view field) {
  return EqualIgnoringAsciiCase(field, score_field::kPercent) ? SortOption::Descending
                                                              : SortOption::CaseInsensitive;
}

}  // namespace pekto
