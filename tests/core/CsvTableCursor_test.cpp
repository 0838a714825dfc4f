// SPDX-License-Identifier: GPL-3.0-or-later
// The table in memory: placing new rows, the cursor, FindRow, filters, sorting and copying.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

// A Hungarian-like order for the tests: letters by their unaccented lower case, "cs" after "c"
// and "gy" after "g"; accents, then letter case (unless ignored), decide between equal keys.
class TestCollator : public Collator {
 public:
  int Compare(std::string_view a, std::string_view b, bool caseInsensitive) const override {
    const auto ka = Key(a), kb = Key(b);
    if (ka != kb) return ka < kb ? -1 : 1;
    const std::string fa = caseInsensitive ? Lower(a) : std::string(a);
    const std::string fb = caseInsensitive ? Lower(b) : std::string(b);
    return fa.compare(fb) < 0 ? -1 : (fa == fb ? 0 : 1);
  }

 private:
  static char Base(unsigned char c) {
    switch (c) {
      case 0xE1:
      case 0xC1:
        return 'a';  // á
      case 0xE9:
      case 0xC9:
        return 'e';  // é
      case 0xF3:
      case 0xD3:
      case 0xF6:
      case 0xD6:
        return 'o';
      default:
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
  }
  static std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return out;
  }
  static std::vector<int> Key(std::string_view s) {
    std::vector<int> key;
    for (size_t i = 0; i < s.size(); ++i) {
      const char c = Base(static_cast<unsigned char>(s[i]));
      const char next = i + 1 < s.size() ? Base(static_cast<unsigned char>(s[i + 1])) : '\0';
      const bool digraph = (c == 'c' && next == 's') || (c == 'g' && next == 'y');
      key.push_back(static_cast<unsigned char>(c) * 2 + (digraph ? 1 : 0));
      if (digraph) ++i;
    }
    return key;
  }
};

struct Score {
  std::optional<std::string> title;
  std::string player;
  std::optional<int> percent;
};

class CsvTableMemory : public ::testing::Test {
 protected:
  CsvTableMemory() : table_("Tbl", ScoreSchema(), &collator_) { table_.Open(); }

  void Add(const Score& score) {
    table_.AppendRow();
    table_.SetValue("tesztneve", score.title ? NullableValue(*score.title) : std::nullopt);
    table_.SetText("jatekos", score.player);
    if (score.percent) table_.SetInteger("szazalek", *score.percent);
    table_.PostRow();
  }

  // The visible rows from the first, as "field value|...".
  std::string Walk(CsvTable& table, std::string_view field) {
    std::string out;
    for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
      out += NullToStr(table.Value(field), "-") + "|";
    }
    return out;
  }
  std::string Walk(std::string_view field) { return Walk(table_, field); }

  TestCollator collator_;
  CsvTable table_;
};

TEST_F(CsvTableMemory, InsertRowStandsBeforeTheCurrentRow) {
  table_.InsertRow();
  table_.SetText("jatekos", "only");
  table_.PostRow();
  EXPECT_EQ(Walk("jatekos"), "only|");

  table_.MoveFirst();
  table_.InsertRow();
  table_.SetText("jatekos", "first");
  table_.PostRow();
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "first");  // the posted row is current

  table_.MoveFirst();
  table_.MoveNext();
  table_.MoveNext();  // past the last row: stays there, end mark set
  EXPECT_TRUE(table_.AtEnd());
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "only");
  table_.InsertRow();
  table_.SetText("jatekos", "second to last");
  table_.PostRow();
  table_.AppendRow();
  table_.SetText("jatekos", "appended");
  table_.PostRow();
  EXPECT_EQ(Walk("jatekos"), "first|second to last|only|appended|");
  EXPECT_EQ(Walk("id"), "1|2|0|3|");
}

TEST_F(CsvTableMemory, FindRowIsCaseSensitiveAndCutsToTheFieldSize) {
  Add({"Alapsor", "Anna", 90});
  Add({"Alapsor", std::string(50, 'n'), 80});
  Add({"Alapsor", "Csaba", 70});
  table_.MoveFirst();
  table_.MoveNext();
  EXPECT_FALSE(table_.FindRow("jatekos", "anna"));
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), std::string(50, 'n'));  // did not move
  EXPECT_TRUE(table_.FindRow("JATEKOS", "Anna"));
  EXPECT_EQ(NullToInt(table_.Value("id"), -1), 0);
  EXPECT_TRUE(table_.FindRow("jatekos", std::string(60, 'n')));
  EXPECT_EQ(NullToInt(table_.Value("id"), -1), 1);
  EXPECT_TRUE(table_.FindRow("szazalek", 70));
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "Csaba");
  EXPECT_FALSE(table_.FindRow("tesztneve", std::nullopt));
}

TEST_F(CsvTableMemory, FiltersMatchBytesPrefixesAndNumbers) {
  Add({"Alapsor", "a", 1});
  Add({"Alap", "b", 2});
  Add({"alapsor", "c", 3});
  Add({std::nullopt, "d", 4});
  Add({"O'Neil", "e", 5});
  Add({"A*", "f", 6});
  Add({"Alapsor", "g", std::nullopt});

  table_.SetFilterText("tesztneve='Alap*'");
  EXPECT_EQ(Walk("jatekos"), "a|b|c|d|e|f|g|");  // stored only, while switched off
  table_.EnableFilter(true);
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "a");
  EXPECT_EQ(Walk("jatekos"), "a|b|g|");
  table_.SetFilterText("tesztneve='Alapsor'");
  EXPECT_EQ(Walk("jatekos"), "a|g|");
  table_.SetFilterText("TesztNeve='O''Neil'");
  EXPECT_EQ(Walk("jatekos"), "e|");
  table_.SetFilterText("tesztneve='A*'");  // starts with "A"
  EXPECT_EQ(Walk("jatekos"), "a|b|f|g|");
  table_.SetFilterText("tesztneve='*'");  // one character: no prefix rule
  EXPECT_EQ(Walk("jatekos"), "");
  EXPECT_TRUE(table_.AtEnd());
  table_.SetFilterText("szazalek=3");
  EXPECT_EQ(Walk("jatekos"), "c|");
  table_.SetFilterText("id=4");
  EXPECT_EQ(Walk("jatekos"), "e|");
  EXPECT_FALSE(table_.FindRow("jatekos", "a"));  // hidden rows are not found
  table_.SetFilterText("");
  EXPECT_EQ(table_.VisibleRowCount(), 7U);

  for (const char* bad :
       {"tesztneve", "tesztneve=Alap", "tesztneve='Alap", "tesztneve='a'b'", "='x'", "id=1.5"}) {
    EXPECT_THROW(table_.SetFilterText(bad), Error) << bad;
  }
  EXPECT_EQ(table_.FilterText(), "");
}

TEST_F(CsvTableMemory, SortDescendingPutsNullsLastAndKeepsTies) {
  Add({"x", "p93", 93});
  Add({"x", "null", std::nullopt});
  Add({"x", "p100", 100});
  Add({"x", "q93", 93});
  table_.MoveFirst();
  table_.MoveNext();
  table_.MoveNext();  // p100 is current
  table_.SortBy("szazalek", SortOption::Descending);
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "p100");
  EXPECT_EQ(Walk("jatekos"), "p100|p93|q93|null|");
  table_.SortBy("szazalek");
  EXPECT_EQ(Walk("jatekos"), "null|p93|q93|p100|");
  table_.SortBy("");
  EXPECT_EQ(Walk("jatekos"), "p93|null|p100|q93|");
}

TEST_F(CsvTableMemory, SortByLocaleCollation) {
  for (const char* name : {"B\xE9la", "anna", "Csaba", "Cukor", "Anna", "gyula", "Gabi"}) {
    Add({"x", name, 1});
  }
  table_.SortBy("jatekos", SortOption::CaseInsensitive);
  EXPECT_EQ(Walk("jatekos"), "anna|Anna|B\xE9la|Cukor|Csaba|Gabi|gyula|");
  table_.SortBy("jatekos", SortOption::CaseInsensitive | SortOption::Descending);
  EXPECT_EQ(Walk("jatekos"), "gyula|Gabi|Csaba|Cukor|B\xE9la|anna|Anna|");

  CsvTable bytes("Tbl", ScoreSchema(), nullptr);  // without a collator: byte order
  bytes.CopyRowsFrom(table_);
  bytes.SortBy("jatekos");
  EXPECT_EQ(Walk(bytes, "jatekos"), "Anna|B\xE9la|Csaba|Cukor|Gabi|anna|gyula|");
}

TEST_F(CsvTableMemory, CopyRowsFromShowsOnlyWhatTheSourceShows) {
  Add({"Alapsor", "a", 90});
  Add({"Masik", "b", 80});
  Add({"Alapsor", "c", 100});
  table_.SortBy("szazalek", SortOption::Descending);
  table_.SetFilterText("tesztneve='Alapsor'");
  table_.EnableFilter(true);
  table_.MoveNext();  // "a" is current

  CsvTable report("Tbl", ScoreSchema(), &collator_);
  report.SetFilterText("id=2");
  report.EnableFilter(true);
  report.Open();
  report.CopyRowsFrom(table_);
  EXPECT_EQ(report.RowCount(), 2U);
  EXPECT_EQ(Walk(report, "jatekos"), "c|");  // its own filter applies to the copies
  report.EnableFilter(false);
  EXPECT_EQ(Walk(report, "id"), "2|0|");
  EXPECT_EQ(report.IdCounter(), 2);
  EXPECT_EQ(NullToStr(table_.Value("jatekos"), ""), "a");

  // Fields are paired by name; a field the source lacks stays null.
  std::vector<FieldSpec> fields = {MakeField("JATEKOS", FieldType::String),
                                   MakeField("extra", FieldType::Integer)};
  CsvTable names("Tbl", fields, nullptr);
  names.CopyRowsFrom(table_);
  EXPECT_EQ(Walk(names, "jatekos"), "c|a|");
  EXPECT_EQ(Walk(names, "extra"), "-|-|");
}

TEST_F(CsvTableMemory, OpenCloseAndTheRowBeingEdited) {
  Add({"x", "a", 1});
  table_.SortBy("szazalek");
  table_.SetFilterText("jatekos='a'");
  table_.EnableFilter(true);
  table_.Close();
  EXPECT_EQ(table_.RowCount(), 0U);
  EXPECT_EQ(table_.Value("jatekos"), std::nullopt);
  EXPECT_THROW(table_.InsertRow(), Error);
  table_.Open();
  EXPECT_TRUE(table_.AtEnd());
  EXPECT_EQ(table_.IdCounter(), -1);
  EXPECT_EQ(table_.FilterText(), "jatekos='a'");  // the filter stays

  EXPECT_THROW(table_.SetText("jatekos", "a"), Error);  // no row being edited
  table_.AppendRow();
  EXPECT_EQ(table_.Value("id"), NullableValue(0));
  EXPECT_THROW(table_.SetDate("datum", {2024, 2, 30}), Error);
  EXPECT_THROW(table_.SetText("osszes", "12x"), Error);
  table_.SetText("osszes", "12");
  table_.SetValue("szazalek", 97.5);
  table_.SetText("jatekos", "b");
  table_.PostRow();
  EXPECT_EQ(table_.VisibleRowCount(), 0U);  // posted, but the filter hides it
  table_.EnableFilter(false);
  EXPECT_EQ(table_.Value("osszes"), NullableValue(12));
  EXPECT_EQ(NullToInt(table_.Value("szazalek"), 0), 98);
}

}  // namespace
}  // namespace pekto
