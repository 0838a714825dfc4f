// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LessonLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

#include "TempDir.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(LessonLibraryTest, ANewLessonFolderGetsTheLessonsThatComeWithTheProgram) {
  test::TempDir dir;
  const fs::path program = dir / "program";
  const fs::path data = dir / "data" / "Pekto";
  fs::create_directories(program / "Leckek" / "sub.lck");
  dir.Write("program/Leckek/001_fdjk.lck", "Alap\r\nfff jjj\r\n");
  dir.Write("program/Leckek/\xC3\xA1rv\xC3\xADz.lck", "\xC1rv\xEDz\r\n");  // árvíz.lck
  dir.Write("program/Leckek/olvass.txt", "no lesson");
  const fs::path hidden = dir.Write("program/Leckek/.rejtett.lck", "hidden");
#ifdef _WIN32
  // Windows hides by attribute, not by a leading dot.
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif

  PrepareLessonFolder(data, program);
  EXPECT_EQ(LessonFolder(data), data / "Leckek");
  EXPECT_EQ(Sorted(ListLessons(data)),
            (std::vector<std::string>{"001_fdjk.lck", "\xC3\xA1rv\xC3\xADz.lck"}));
  EXPECT_EQ(test::TempDir::Read(LessonPath(data, "001_fdjk.lck")), "Alap\r\nfff jjj\r\n");
  EXPECT_TRUE(fs::exists(LessonPath(data, "\xC3\xA1rv\xC3\xADz.lck")));
}

TEST(LessonLibraryTest, AnExistingLessonFolderIsNeverTouched) {
  test::TempDir dir;
  const fs::path program = dir / "program";
  fs::create_directories(program / "Leckek");
  dir.Write("program/Leckek/001_fdjk.lck", "Alap\r\n");
  fs::create_directories(dir / "data" / "Leckek");
  dir.Write("data/Leckek/sajat.lck", "Saj\xE1t\r\n");

  PrepareLessonFolder(dir / "data", program);
  EXPECT_EQ(ListLessons(dir / "data"), std::vector<std::string>{"sajat.lck"});
}

TEST(LessonLibraryTest, WithoutBundledLessonsTheNewFolderStaysEmpty) {
  test::TempDir dir;
  PrepareLessonFolder(dir / "data", dir / "program");
  EXPECT_TRUE(fs::is_directory(dir / "data" / "Leckek"));
  EXPECT_TRUE(ListLessons(dir / "data").empty());
  EXPECT_TRUE(ListLessons(dir / "missing").empty());
}

TEST(LessonLibraryTest, PortableModeWithTheSameFolderCopiesNothingOntoItself) {
  test::TempDir dir;
  fs::create_directories(dir / "program");
  // The program folder is the data folder: its lesson folder is made, and is the bundled one.
  PrepareLessonFolder(dir / "program", dir / "program");
  EXPECT_TRUE(fs::is_directory(dir / "program" / "Leckek"));
  EXPECT_TRUE(ListLessons(dir / "program").empty());
}

}  // namespace
}  // namespace pekto
