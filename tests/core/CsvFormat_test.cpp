// SPDX-License-Identifier: GPL-3.0-or-later
// The table file format and the cell store without a table: field lines, parsing bytes into
// cells, writing cells in a given order, and rows moved between stores.

#include "results/CsvFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "results/CsvCells.h"

namespace pekto::table_detail {
namespace {

const std::string kPlayerFile =
    "\"@@FILE VERSION@@\",\"251\"\r\n"
    "\"@@TABLEDEF START@@\"\r\n"
    "\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\r\n"
    "\"@@INDEXDEF START@@\"\r\n\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n"
    "\"jatekos\",\r\n";

std::vector<std::string> Texts(const TableFile& file, size_t field) {
  std::vector<std::string> texts;
  for (size_t row = 0; row < file.rows.Rows(); ++row) {
    texts.push_back(NullToStr(file.rows.Value(file.rows.Row(row)[field], file.fields[field]), "-"));
  }
  return texts;
}

TEST(CsvFormat, FieldLinesRoundTripEveryAttribute) {
  EXPECT_EQ(FieldLine(MakeField("jatekos", FieldType::String)),
            "jatekos=String,50,\"jatekos\",\"\",50,Data,\"\"");

  FieldSpec field = MakeField("ido", FieldType::Integer);
  field.displayLabel = "Id\xF5 \"mp\"";
  field.editMask = "999;0";
  field.required = field.readOnly = field.hidden = true;
  field.kind = FieldKind::Lookup;
  field.defaultExpression = "0";
  const std::string line = FieldLine(field);
  EXPECT_EQ(line, "ido=Integer,0,\"Id\xF5 \"\"mp\"\"\",\"999;0\",10,REQ,RO,INV,Lookup,\"0\"");

  const FieldSpec back = ParseFieldLine(line);
  EXPECT_EQ(back.name, field.name);
  EXPECT_EQ(back.type, field.type);
  EXPECT_EQ(back.size, field.size);
  EXPECT_EQ(back.displayLabel, field.displayLabel);
  EXPECT_EQ(back.editMask, field.editMask);
  EXPECT_EQ(back.displayWidth, field.displayWidth);
  EXPECT_TRUE(back.required && back.readOnly && back.hidden);
  EXPECT_EQ(back.kind, FieldKind::Lookup);
  EXPECT_EQ(back.defaultExpression, "0");
}

TEST(CsvFormat, ShortAndUnknownFieldLines) {
  const FieldSpec shortLine = ParseFieldLine("nev=string,abc");
  EXPECT_EQ(shortLine.type, FieldType::String);
  EXPECT_EQ(shortLine.size, 0) << "a size that is no number counts as 0";
  EXPECT_EQ(shortLine.kind, FieldKind::Data);
  try {
    ParseFieldLine("x=Blob,0");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Unknown field type (Blob) in CSV file. (x=Blob,0)");
  }
}

TEST(CsvFormat, ParsesRowsIntoCellsWithoutATable) {
  const std::vector<FieldSpec> schema = {MakeField("jatekos", FieldType::String)};
  const TableFile file =
      ParseTableFile(kPlayerFile + "\"Nagy B\xE9la\",\n\n\"100%%\",\r,\r\n", schema);
  EXPECT_TRUE(file.definitions);
  ASSERT_EQ(file.fields.size(), 1U);
  EXPECT_EQ(Texts(file, 0), (std::vector<std::string>{"Nagy B\xE9la", "100%", "-"}));
  EXPECT_EQ(file.idCounter, -1);

  const TableFile plain =
      ParseTableFile("\"id\",\n\"4\",\"x\"\n\"2\",\n", {MakeField("id", FieldType::AutoInc)});
  EXPECT_FALSE(plain.definitions);
  EXPECT_EQ(Texts(plain, 0), (std::vector<std::string>{"4", "2"}));
  EXPECT_EQ(plain.idCounter, 4);
}

TEST(CsvFormat, WritesTheRowsInTheOrderGiven) {
  const std::vector<FieldSpec> fields = {MakeField("jatekos", FieldType::String)};
  CellStore store(fields.size());
  for (const char* name : {"Kiss Anna", "Nagy B\xE9la"}) {
    const std::array<Cell, 1> row = {store.TextCell(fields[0], name)};
    store.AddRow(row);
  }
  const std::array<uint32_t, 2> newestFirst = {1, 0};
  EXPECT_EQ(TableFileText(fields, store, newestFirst),
            kPlayerFile + "\"Nagy B\xE9la\",\r\n\"Kiss Anna\",\r\n");
}

TEST(CsvCells, AppendedRowsKeepTheirTexts) {
  const std::vector<FieldSpec> fields = {MakeField("n", FieldType::Integer),
                                         MakeField("t", FieldType::String)};
  CellStore first(fields.size());
  const std::array<Cell, 2> a = {CellOf(1), first.TextCell(fields[1], "alma")};
  first.AddRow(a);
  CellStore second(fields.size());
  const std::array<Cell, 2> b = {CellOf(2), second.TextCell(fields[1], "k\xF6rte")};
  const std::array<Cell, 2> c = {Cell{}, Cell{}};
  second.AddRow(b);
  second.AddRow(c);

  first.Append(std::move(second), fields);
  ASSERT_EQ(first.Rows(), 3U);
  EXPECT_EQ(first.Text(first.Row(0)[1]), "alma");
  EXPECT_EQ(first.Text(first.Row(1)[1]), "k\xF6rte");
  EXPECT_EQ(IntOf(first.Row(1)[0]), 2);
  EXPECT_TRUE(first.Row(2)[0].IsNull() && first.Row(2)[1].IsNull());
}

TEST(CsvCells, ValuesStoredAndCopiedBetweenTypes) {
  const FieldSpec text = MakeField("t", FieldType::String);
  const FieldSpec real = MakeField("f", FieldType::Float);
  const FieldSpec date = MakeField("d", FieldType::Date);
  CellStore store(1);
  EXPECT_EQ(store.Value(store.MakeCell(text, std::string(60, 'x')), text),
            NullableValue(std::string(50, 'x')));
  EXPECT_EQ(store.Value(store.MakeCell(real, int32_t{93}), real), NullableValue(93.0));
  EXPECT_EQ(store.Value(store.MakeCell(date, Date{2024, 3, 6}), date),
            NullableValue(Date{2024, 3, 6}));
  EXPECT_LT(CellOf(Date{2024, 3, 6}).bits, CellOf(Date{2024, 3, 7}).bits);
  EXPECT_LT(CellOf(Date{2023, 12, 31}).bits, CellOf(Date{2024, 1, 1}).bits);
  EXPECT_THROW(store.MakeCell(real, std::string("abc")), Error);

  CellStore copy(1);
  const Cell percent = store.MakeCell(real, 97.5);
  EXPECT_EQ(copy.Value(copy.CopiedCell(store, percent, real, text), text),
            NullableValue(std::string("97.5")));
  EXPECT_TRUE(copy.CopiedCell(store, Cell{}, real, text).IsNull());
}

}  // namespace
}  // namespace pekto::table_detail
