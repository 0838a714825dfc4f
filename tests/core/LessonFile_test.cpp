// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LessonFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "FileSizeLimit.h"
#include "HugeFile.h"
#include "TempDir.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/IniFile.h"

namespace pekto {
namespace {

using Lines = std::vector<std::string>;

TEST(LessonFileTest, LineEndsOfEveryKind) {
  EXPECT_EQ(SplitLessonLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLessonLines("C\xEDm\nsor1\rsor2"), (Lines{"C\xEDm", "sor1", "sor2"}));
  EXPECT_EQ(SplitLessonLines("C\xEDm\n\rsor"), (Lines{"C\xEDm", "", "sor"}));
  EXPECT_EQ(SplitLessonLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLessonLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitLessonLines(""), Lines{});
  EXPECT_EQ(SplitLessonLines("only"), (Lines{"only"}));
  EXPECT_EQ(SplitLessonLines("x\r"), (Lines{"x"}));
}

TEST(LessonFileTest, NulEndsTheContent) {
  using namespace std::string_view_literals;
  EXPECT_EQ(SplitLessonLines("C\xEDm\r\nab\0more\r\ntext"sv), (Lines{"C\xEDm", "ab"}));
  EXPECT_EQ(SplitLessonLines("\0title"sv), Lines{});
}

TEST(LessonFileTest, ReadsTitleAndTextAndWritesTheSameBytes) {
  test::TempDir dir;
  const std::string bytes = "Gyakorlat\r\nasdf jkl\xE9\r\n";
  const auto file = dir.Write("g.lck", bytes);
  const Lesson lesson = ReadLessonFile(file);
  EXPECT_EQ(lesson.title, "Gyakorlat");
  EXPECT_EQ(lesson.lines, (Lines{"asdf jkl\xE9"}));

  const auto copy = dir / "copy.lck";
  WriteLessonFile(copy, lesson);
  EXPECT_EQ(test::TempDir::Read(copy), bytes);
}

TEST(LessonFileTest, TitleOnlyIsALessonWithoutText) {
  test::TempDir dir;
  const Lesson lesson = ReadLessonFile(dir.Write("t.lck", "C\xEDm"));
  EXPECT_EQ(lesson.title, "C\xEDm");
  EXPECT_TRUE(lesson.lines.empty());
}

TEST(LessonFileTest, WritingEndsEveryLineWithCrLf) {
  test::TempDir dir;
  const auto file = dir / "w.lck";
  WriteLessonFile(file, Lesson{"T", {"", "a\tb ", ""}});
  EXPECT_EQ(test::TempDir::Read(file), "T\r\n\r\na\tb \r\n\r\n");
}

TEST(LessonFileTest, FailuresCarryTheirMessages) {
  test::TempDir dir;
  const auto missing = dir / "nincs.lck";
  try {
    ReadLessonFile(missing);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + PathText(missing) + "\". No such file or directory");
  }
  EXPECT_THROW(ReadLessonFile(dir.Path()), Error);  // a folder is no lesson

  try {
    ReadLessonFile(dir.Write("empty.lck", ""));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (0)");
  }
  using namespace std::string_view_literals;
  EXPECT_THROW(ReadLessonFile(dir.Write("nul.lck", "\0Title\r\n"sv)), Error);

  const auto uncreatable = dir / "no-folder" / "x.lck";
  try {
    WriteLessonFile(uncreatable, Lesson{"T", {}});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("Cannot create file \"" + PathText(uncreatable) + "\". ", 0),
        0u);
  }
}

TEST(LessonFileTest, AFailedWriteKeepsTheOldFileWhole) {
  if (!test::FileSizeLimit::kAvailable) GTEST_SKIP() << test::kNoFileSizeLimit;
  test::TempDir dir;
  const std::string old = "R\xE9gi\r\nasdf\r\n";
  const auto file = dir.Write("r.lck", old);
  const Lesson big{"\xDAj", Lines(200, std::string(100, 'x'))};
  {
    // The disk fills up half way through the new content.
    const test::FileSizeLimit limit(4096);
    EXPECT_THROW(WriteLessonFile(file, big), Error);
  }
  EXPECT_EQ(test::TempDir::Read(file), old);
  // Nothing is left behind beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  WriteLessonFile(file, big);
  EXPECT_EQ(ReadLessonFile(file).lines, big.lines);
}

// A sparse file claims 20 GB without taking the disk: it is refused by its size, before any
// memory is taken, with a message that names it.
TEST(LessonFileTest, AHugeFileIsRefusedByItsSizeAndNamed) {
  test::TempDir dir;
  const auto huge = dir / "nagy.lck";
  std::ofstream(huge, std::ios::binary) << "C\xEDm\r\n";
  test::MakeHugeFile(huge, std::uintmax_t{20} << 30);
  try {
    ReadLessonFile(huge);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "A lecke t\xC3\xBAl nagy: \"" + PathText(huge) +
                                         "\" (20480 MB). Egy lecke legfeljebb 64 MB lehet.");
  }

  // A file of exactly the limit still reads.
  std::filesystem::resize_file(huge, kMaxLessonFileBytes);
  const Lesson lesson = ReadLessonFile(huge);
  EXPECT_EQ(lesson.title, "C\xEDm");
  EXPECT_TRUE(lesson.lines.empty());  // the rest is NUL bytes, which end the text
  std::filesystem::resize_file(huge, kMaxLessonFileBytes + 1);
  EXPECT_THROW(ReadLessonFile(huge), Error);
}

TEST(LessonFileTest, TitleTrimmingRemovesControlsAndBlanks) {
  EXPECT_EQ(TrimTitle("  C\xEDm\t "), "C\xEDm");
  EXPECT_EQ(TrimTitle("\x01\x1f"), "");
  EXPECT_EQ(TrimTitle("a b"), "a b");
}

TEST(ListFilesTest, MatchesWithoutCaseAndSkipsHiddenEntriesAndFolders) {
  test::TempDir dir;
  dir.Write("001_fdjk.lck", "x");
  dir.Write("Z.LCK", "x");
  dir.Write(".hidden.lck", "x");
  dir.Write("notes.txt", "x");
  dir.Write("a.lckx", "x");
  std::filesystem::create_directory(dir / "folder.lck");

  std::vector<std::string> list{"kept"};
  ListFiles(dir / "*.lck", list);
  std::sort(list.begin() + 1, list.end());
  EXPECT_EQ(list, (Lines{"kept", "001_fdjk.lck", "Z.LCK"}));

  std::vector<std::string> none;
  ListFiles(dir / "missing" / "*.lck", none);
  EXPECT_TRUE(none.empty());
}

TEST(ListFilesTest, Wildcards) {
  EXPECT_TRUE(WildcardMatch("*.lck", "a.LcK"));
  EXPECT_TRUE(WildcardMatch("a?c*", "abcdef"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_FALSE(WildcardMatch("*.lck", "lck"));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
}

#ifndef _WIN32
// What stands where a file should be: every reader refuses it at once, naming it.
struct SpecialFile {
  const char* name;  // the case's name in the test list
  void (*make)(const std::filesystem::path&);
  const char* message;  // %s: the path
};
class SpecialFileTest : public testing::TestWithParam<SpecialFile> {};

TEST_P(SpecialFileTest, EveryReaderRefusesItAtOnce) {
  test::TempDir dir;
  const auto path = dir / "x.lck";
  GetParam().make(path);
  std::string expected = GetParam().message;
  expected.replace(expected.find("%s"), 2, PathText(path));
  try {
    ReadLessonFile(path);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), expected);
  }
  EXPECT_EQ(IniFile(path).ReadString("Defaults", "FontName", "def"), "def");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SpecialFileTest,
    testing::Values(
        SpecialFile{"Fifo", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
                    "A(z) \"%s\" nem k\xC3\xB6z\xC3\xB6ns\xC3\xA9ges f\xC3\xA1jl, hanem "
                    "cs\xC5\x91vezet\xC3\xA9k (FIFO), ez\xC3\xA9rt nem olvashat\xC3\xB3 be."},
        SpecialFile{"Device",
                    [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); },
                    "A(z) \"%s\" nem k\xC3\xB6z\xC3\xB6ns\xC3\xA9ges f\xC3\xA1jl, hanem "
                    "eszk\xC3\xB6z, ez\xC3\xA9rt nem olvashat\xC3\xB3 be."},
        SpecialFile{"Folder", [](const auto& p) { std::filesystem::create_directory(p); },
                    "Cannot open file \"%s\". Is a directory"}),
    [](const testing::TestParamInfo<SpecialFile>& info) { return std::string(info.param.name); });
#endif

// A name of 255 bytes saves (its temporary name is cut to fit), and a save removes the
// temporary files of writers that are gone, keeping those of writers that still run.
TEST(ReplaceFileTest, LongNamesSaveAndStaleTemporariesGo) {
  test::TempDir dir;
  std::string reason;
#ifndef _WIN32  // Windows paths of that length need the long-path setting
  EXPECT_TRUE(ReplaceFileContent(dir / (std::string(251, 'a') + ".lck"), "x", reason)) << reason;
#endif
  const auto dead = dir.Write(".t.lck.999999999.123456.tmp", "");  // no such process
  const auto running = dir.Write(".t.lck." + std::to_string(::getpid()) + ".1.tmp", "");
  const auto young = dir.Write(".t.lck.123456.tmp", "");  // an earlier version's name
  const auto old = dir.Write(".t.lck.654321.tmp", "");
  std::filesystem::last_write_time(
      old, std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  const auto foreign = dir.Write(".t.lck.backup.tmp", "");
  ASSERT_TRUE(ReplaceFileContent(dir / "t.lck", "new", reason)) << reason;
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_FALSE(std::filesystem::exists(old));
  for (const auto& kept : {running, young, foreign}) EXPECT_TRUE(std::filesystem::exists(kept));
}

}  // namespace
}  // namespace pekto
