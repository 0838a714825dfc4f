// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs that the fuzz targets of tests/fuzz once found to break a reader or writer, each kept
// with what the program must do with it. Their bytes are also seed inputs in tests/fuzz/corpus.

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "results/CsvTable.h"

namespace pekto {
namespace {

using test::TempDir;

// A settings file whose last line ends with a CR but no LF: a key added after that line (to its
// section, or in a new section) must start a line of its own, not extend the value before it.
TEST(FuzzFindingsTest, KeyWrittenAfterALastLineEndedByCrAlone) {
  TempDir dir;
  IniFile sameSection(dir.Write("same.ini", "[Defaults]\r\nFontName=x\r"));
  sameSection.WriteString("Defaults", "LastPlayer", "Anna");
  EXPECT_EQ(sameSection.ReadString("Defaults", "FontName", "?"), "x");
  EXPECT_EQ(sameSection.ReadString("Defaults", "LastPlayer", "?"), "Anna");
  EXPECT_EQ(TempDir::Read(sameSection.Path()), "[Defaults]\r\nFontName=x\r\nLastPlayer=Anna\r\n");

  IniFile newSection(dir.Write("new.ini", "[frm_Main]\r\nWidth=5\r"));
  newSection.WriteString("Defaults", "LastPlayer", "Anna");
  EXPECT_EQ(newSection.ReadInteger("frm_Main", "Width", 0), 5);
  EXPECT_EQ(newSection.ReadString("Defaults", "LastPlayer", "?"), "Anna");
  EXPECT_EQ(TempDir::Read(newSection.Path()),
            "[frm_Main]\r\nWidth=5\r\n\r\n[Defaults]\r\nLastPlayer=Anna\r\n");
}

// A table whose definitions show a field under a section marker's name ("@@TABLEDEF START@@")
// loaded, but the file it saved did not load again: the header line naming that field opened a
// section. Such definitions are refused when the file is read, and the file is left as it is.
TEST(FuzzFindingsTest, FieldShownUnderASectionMarkerIsRefused) {
  TempDir dir;
  const std::string content =
      "\"@@FILE VERSION@@\",\"251\"\r\n"
      "\"@@TABLEDEF START@@\"\r\n"
      "\"id=AutoInc,0,\"\"@@TABLEDEF START@@\"\",\"\"\"\",0,Data,\"\"\"\"\"\r\n"
      "\"tesztneve=String,50,\"\"tesztneve\"\",\"\"\"\",0,Data,\"\"\"\"\"\r\n"
      "\"@@TABLEDEF END@@\"\r\n"
      "\"x\",\"tesztneve\",\r\n"
      "\"1\",\"Lecke\",\r\n";
  const auto file = dir.Write("Score.csv", content);
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  try {
    table.LoadFile(file);
    FAIL() << "loaded";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Couldnt determine field count for load.");
  }
  EXPECT_EQ(TempDir::Read(file), content);

  // The same table under ordinary names loads, saves and loads again.
  std::string plain = content;
  for (size_t at; (at = plain.find("\"\"@@TABLEDEF START@@\"\"")) != std::string::npos;) {
    plain.replace(at, 22, "\"\"Az\"\"");
  }
  CsvTable again("Tbl", ScoreSchema(), nullptr);
  again.Open();
  again.LoadFile(dir.Write("plain.csv", plain));
  ASSERT_EQ(again.RowCount(), 1);
  again.SaveFile(dir.Path() / "saved.csv");
  CsvTable saved("Tbl", ScoreSchema(), nullptr);
  saved.Open();
  saved.LoadFile(dir.Path() / "saved.csv");
  EXPECT_EQ(saved.RowCount(), 1);
}

}  // namespace
}  // namespace pekto
