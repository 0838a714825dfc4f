// Inputs that the fuzz targets of tests/fuzz once found to break a reader or writer, each kept
// with what the program must do with it. Their bytes are also seed inputs in tests/fuzz/corpus.

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "platform/IniFile.h"

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

}  // namespace
}  // namespace pekto
