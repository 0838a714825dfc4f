// SPDX-License-Identifier: GPL-3.0-or-later
// The results window's view of the score table: column widths, the lesson list, the lesson
// filter and the sort of a clicked column title.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "results/CsvTable.h"
#include "results/ScoreView.h"

namespace pekto {
namespace {

using Widths = std::array<int, 7>;

CsvTable ScoresTitled(const std::vector<std::optional<std::string>>& titles) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  for (const auto& title : titles) {
    table.AppendRow();
    if (title) table.SetText("tesztneve", *title);
    table.PostRow();
  }
  return table;
}

TEST(ColumnWidths, SharesOfTheGridLessTheAllowance) {
  EXPECT_EQ(ColumnWidths(540), (Widths{75, 125, 50, 50, 50, 50, 100}));
}

TEST(ColumnWidths, HalvesGoToTheEvenNeighbour) {
  // 650 x 0.15 = 97.5 and 650 x 0.25 = 162.5.
  EXPECT_EQ(ColumnWidths(690), (Widths{98, 162, 65, 65, 65, 65, 130}));
  // 10 x 0.15 = 1.5 and 10 x 0.25 = 2.5, 10 x 0.1 = 1.
  EXPECT_EQ(ColumnWidths(50), (Widths{2, 2, 1, 1, 1, 1, 2}));
  // 30 x 0.15 = 4.5, 30 x 0.25 = 7.5, 30 x 0.1 = 3, 30 x 0.2 = 6.
  EXPECT_EQ(ColumnWidths(70), (Widths{4, 8, 3, 3, 3, 3, 6}));
}

TEST(ColumnWidths, TheSharesAddUpToTheRoom) {
  for (int width = 40; width < 2000; width += 20) {
    int sum = 0;
    for (const int w : ColumnWidths(width)) sum += w;
    EXPECT_EQ(sum, width - 40) << width;  // multiples of 20 leave no rounding
  }
}

TEST(ColumnWidths, AGridNarrowerThanTheAllowanceGivesEmptyColumns) {
  EXPECT_EQ(ColumnWidths(40), Widths{});
  EXPECT_EQ(ColumnWidths(10), Widths{});
  EXPECT_EQ(ColumnWidths(0), Widths{});
}

TEST(LessonTitles, EachTitleOnceInTheOrderOfTheFile) {
  const CsvTable table = ScoresTitled({"Alapsor", "Gyakorlat", "Alapsor", "Mondatok", "Gyakorlat"});
  EXPECT_EQ(LessonTitles(table), (std::vector<std::string>{"Alapsor", "Gyakorlat", "Mondatok"}));
}

TEST(LessonTitles, TitlesDifferingInCaseAreListedAsTheFirstMet) {
  const CsvTable table = ScoresTitled({"Abc", "ABC", "abc", "\xC1rv\xEDzt\xFBr\xF5",
                                       "\xE1RV\xCDZT\xDBR\xD5"});  // Árvíztűrő, áRVÍZTŰRŐ
  EXPECT_EQ(LessonTitles(table), (std::vector<std::string>{"Abc", "\xC1rv\xEDzt\xFBr\xF5"}));
}

TEST(LessonTitles, ANullTitleCountsAsTheEmptyText) {
  const CsvTable table = ScoresTitled({std::nullopt, "Alapsor", ""});
  EXPECT_EQ(LessonTitles(table), (std::vector<std::string>{"", "Alapsor"}));
}

TEST(LessonTitles, NoRowsNoTitles) {
  EXPECT_TRUE(LessonTitles(ScoresTitled({})).empty());
  CsvTable closed("Tbl", ScoreSchema(), nullptr);
  EXPECT_TRUE(LessonTitles(closed).empty());
}

TEST(FindTitle, WithoutRegardToCase) {
  const std::vector<std::string> titles{"Abc", "Gyakorlat*", "\xC1rv\xEDz"};
  EXPECT_EQ(FindTitle(titles, "ABC"), 0U);
  EXPECT_EQ(FindTitle(titles, "gyakorlat*"), 1U);
  EXPECT_EQ(FindTitle(titles, "\xE1RV\xCDZ"), 2U);
  EXPECT_EQ(FindTitle(titles, "Gyakorlat"), std::nullopt);
  EXPECT_EQ(FindTitle(titles, ""), std::nullopt);
  EXPECT_EQ(FindTitle({}, "Abc"), std::nullopt);
}

TEST(LessonFilter, QuotesTheTitleWithItsQuotationMarksDoubled) {
  EXPECT_EQ(LessonFilter("Alapsor"), "tesztneve='Alapsor'");
  EXPECT_EQ(LessonFilter("O'Neil"), "tesztneve='O''Neil'");
  EXPECT_EQ(LessonFilter("''"), "tesztneve=''''''");
  EXPECT_EQ(LessonFilter(""), "tesztneve=''");
}

TEST(LessonFilter, ShowsExactlyTheLessonOrThePrefixOfAStarredTitle) {
  CsvTable table = ScoresTitled({"O'Neil", "o'neil", "Gyakorlat*", "Gyakorlat 2", "Gyak", "G*"});
  table.SetFilterText(LessonFilter("O'Neil"));
  table.EnableFilter(true);
  EXPECT_EQ(table.VisibleRowCount(), 1U);
  EXPECT_EQ(NullToStr(table.Value("tesztneve"), {}), "O'Neil");
  table.SetFilterText(LessonFilter("Gyakorlat*"));
  EXPECT_EQ(table.VisibleRowCount(), 2U);
  table.SetFilterText(LessonFilter("G*"));
  EXPECT_EQ(table.VisibleRowCount(), 4U);
}

TEST(TitleSortOptions, PercentageBestFirstOthersAscendingIgnoringCase) {
  EXPECT_EQ(TitleSortOptions("szazalek"), SortOption::Descending);
  EXPECT_EQ(TitleSortOptions("SZAZALEK"), SortOption::Descending);
  for (const auto& column : kScoreColumns) {
    if (column.field == "szazalek") continue;
    EXPECT_EQ(TitleSortOptions(column.field), SortOption::CaseInsensitive) << column.field;
  }
}

TEST(ScoreColumns, FieldsAndSharesInOrder) {
  const std::array<std::string_view, 7> fields{"szazalek", "jatekos", "osszes", "helyes",
                                               "hibas",    "ido",     "datum"};
  int total = 0;
  for (size_t i = 0; i < kScoreColumns.size(); ++i) {
    EXPECT_EQ(kScoreColumns[i].field, fields[i]);
    total += kScoreColumns[i].sharePercent;
  }
  EXPECT_EQ(total, 100);
}

}  // namespace
}  // namespace pekto
