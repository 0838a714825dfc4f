// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the results window makes of the score table: the grid's columns and their widths, the
// list of lessons, the filter that shows one lesson and the sort of a clicked column title.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/CsvTable.h"

namespace pekto {

// One column of the results grid: the score field it shows and its share of the grid's width
// in hundredths.
struct ScoreColumn {
  std::string_view field;
  int sharePercent = 0;
};

inline constexpr std::array<ScoreColumn, 7> kScoreColumns = {{
    {score_field::kPercent, 15},
    {score_field::kPlayer, 25},
    {score_field::kTotal, 10},
    {score_field::kCorrect, 10},
    {score_field::kWrong, 10},
    {score_field::kSeconds, 10},
    {score_field::kDate, 20},
}};

// The pixels of a grid's width that the columns leave to the row indicator and the vertical
// scroll bar.
inline constexpr int kGridAllowance = 40;

// The width of the column at each position: (grid width - allowance) x share, rounded to the
// nearest pixel with halves to the even one, computed exactly; never below 0.
std::array<int, kScoreColumns.size()> ColumnWidths(int gridWidth);

// The lesson titles of the rows the table shows, in the table's current order, each once: of
// titles that differ only in letter case (Windows-1250 letters) the first one met stands for
// all. A null title counts as the empty text.
std::vector<std::string> LessonTitles(const CsvTable& table);

// The position of the title equal to `title` without regard to letter case.
std::optional<size_t> FindTitle(const std::vector<std::string>& titles, std::string_view title);

// `title` as the table's title field stores it: cut to the field's width, as a score row keeps a
// long lesson title.
std::string StoredTitle(const CsvTable& table, std::string_view title);

// The filter expression that shows the rows of one lesson: tesztneve='title', each single
// quotation mark of the title doubled.
std::string LessonFilter(std::string_view title);

// How a click on a column's title sorts the table: the percentage best first, every other field
// ascending without regard to letter case.
SortOption TitleSortOptions(std::string_view field);

}  // namespace pekto
