// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows side of the platform layer: attributes in listings, replacing files in one step,
// the shared data folder, the lower-cased program folder and paths with Central European
// letters. Built only for Windows (./test-windows runs it under Wine).

#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Startup.h"
#include "practice/LessonFile.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

using test::TempDir;

// "Árvíztűrő tükörfúrógép": every Hungarian accented letter, some outside Latin-1.
const std::wstring kAccentedUpper =
    L"\u00C1RV\u00CDZT\u0170R\u0150 T\u00DCK\u00D6RF\u00DAR\u00D3G\u00C9P";
const std::wstring kAccentedLower =
    L"\u00E1rv\u00EDzt\u0171r\u0151 t\u00FCk\u00F6rf\u00FAr\u00F3g\u00E9p";

void SetAttributes(const fs::path& path, DWORD attributes) {
  ASSERT_NE(SetFileAttributesW(path.c_str(), attributes), FALSE) << PathText(path);
}

DWORD AttributesOf(const fs::path& path) {
  return GetFileAttributesW(path.c_str());
}

std::vector<std::string> Listed(const fs::path& mask) {
  std::vector<std::string> names;
  ListFiles(mask, names);
  std::sort(names.begin(), names.end());
  return names;
}

size_t EntryCount(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(WindowsListFiles, HiddenAndSystemFilesAndFoldersAreLeftOut) {
  TempDir dir;
  dir.Write("plain.lck", "A\r\n");
  SetAttributes(dir.Write("hidden.lck", "B\r\n"), FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(dir.Write("system.lck", "C\r\n"), FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(dir.Write("readonly.lck", "D\r\n"), FILE_ATTRIBUTE_READONLY);
  SetAttributes(dir.Write("archived.lck", "E\r\n"), FILE_ATTRIBUTE_ARCHIVE);
  dir.Write("Z.LCK", "F\r\n");
  fs::create_directory(dir / "folder.lck");

  EXPECT_EQ(Listed(dir / "*.lck"),
            (std::vector<std::string>{"Z.LCK", "archived.lck", "plain.lck", "readonly.lck"}));
  SetAttributes(dir / "readonly.lck", FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsListFiles, ListAppendsAndAMissingFolderGivesNothing) {
  TempDir dir;
  dir.Write("a.lck", "A\r\n");
  std::vector<std::string> names{"kept"};
  ListFiles(dir / "*.lck", names);
  ListFiles(dir / "missing" / "*.lck", names);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "a.lck"}));
}

TEST(WindowsListFiles, AccentedNamesComeAsUtf8AndOpen) {
  TempDir dir;
  const fs::path folder = dir.Path() / (kAccentedUpper + L" Leck\u00E9k");
  fs::create_directory(folder);
  const fs::path lesson = folder / (kAccentedLower + L".lck");
  WriteLessonFile(lesson, Lesson{"C\xEDm", {"\xF5\xFB"}});  // "Cím", "őű" in Windows-1250

  const std::vector<std::string> names = Listed(folder / "*.LCK");
  ASSERT_EQ(names.size(), 1U);
  EXPECT_EQ(names[0], PathText(fs::path(kAccentedLower + L".lck")));
  const Lesson read = ReadLessonFile(PathFromText(PathText(folder)) / PathFromText(names[0]));
  EXPECT_EQ(read.title, "C\xEDm");
  EXPECT_EQ(read.lines, (std::vector<std::string>{"\xF5\xFB"}));
}

TEST(WindowsReplaceFile, NewContentReplacesTheOldInOneStepAndNoTemporaryStays) {
  TempDir dir;
  const fs::path file = dir.Path() / (kAccentedLower + L".csv");
  std::string reason;
  ASSERT_TRUE(ReplaceFileContent(file, "first", reason)) << reason;
  ASSERT_TRUE(ReplaceFileContent(file, "second, longer", reason)) << reason;
  EXPECT_EQ(TempDir::Read(file), "second, longer");
  ASSERT_TRUE(ReplaceFileContent(file, "", reason)) << reason;
  EXPECT_EQ(TempDir::Read(file), "");
  EXPECT_EQ(EntryCount(dir.Path()), 1U);
}

TEST(WindowsReplaceFile, AHiddenFileStaysHidden) {
  TempDir dir;
  const fs::path file = dir.Write("Score.csv", "old");
  SetAttributes(file, FILE_ATTRIBUTE_HIDDEN);
  std::string reason;
  ASSERT_TRUE(ReplaceFileContent(file, "new", reason)) << reason;
  EXPECT_EQ(TempDir::Read(file), "new");
  EXPECT_NE(AttributesOf(file) & FILE_ATTRIBUTE_HIDDEN, 0U);
  EXPECT_EQ(EntryCount(dir.Path()), 1U);
}

TEST(WindowsReplaceFile, AReadOnlyFileIsNotReplaced) {
  TempDir dir;
  const fs::path file = dir.Write("Players.csv", "old");
  SetAttributes(file, FILE_ATTRIBUTE_READONLY);
  std::string reason;
  fs::path culprit;
  EXPECT_FALSE(ReplaceFileContent(file, "new", reason, &culprit));
  EXPECT_EQ(reason, SystemMessage(EACCES));
  EXPECT_EQ(culprit, file);
  EXPECT_EQ(TempDir::Read(file), "old");
  EXPECT_NE(AttributesOf(file) & FILE_ATTRIBUTE_READONLY, 0U);
  EXPECT_EQ(EntryCount(dir.Path()), 1U);
  SetAttributes(file, FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsReplaceFile, AFileHeldOpenByAnotherProgramKeepsItsContent) {
  TempDir dir;
  const fs::path file = dir.Write("Score.csv", "old");
  // Another program holds the file open and lets nobody delete or rename it.
  const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string reason;
  const bool replaced = ReplaceFileContent(file, "new", reason);
  CloseHandle(held);
  EXPECT_FALSE(replaced);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(TempDir::Read(file), "old");
  EXPECT_EQ(EntryCount(dir.Path()), 1U) << "the temporary file is removed";
}

TEST(WindowsReplaceFile, IniFileUnderAnAccentedFolder) {
  TempDir dir;
  const fs::path folder = dir.Path() / kAccentedUpper;
  fs::create_directory(folder);
  IniFile ini(folder / L"Pekto.ini");
  ini.WriteString("Defaults", "LastFile", "C:\\Leck\xE9k\\\xE1rv\xEDz.lck");
  ini.WriteInteger("Screen", "FontSize", 12);
  IniFile again(folder / L"Pekto.ini");
  EXPECT_EQ(again.ReadString("Defaults", "LastFile", ""), "C:\\Leck\xE9k\\\xE1rv\xEDz.lck");
  EXPECT_EQ(again.ReadInteger("Screen", "FontSize", 0), 12);
  EXPECT_EQ(EntryCount(folder), 1U);
}

TEST(WindowsReadFile, AMissingFileNamesItsPathInTheMessage) {
  TempDir dir;
  const fs::path file = dir.Path() / (kAccentedLower + L".lck");
  try {
    ReadWholeFile(file);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + PathText(file) + "\". ", 0), 0U)
        << e.what();
  }
}

TEST(WindowsFolders, DataFolderIsTheCommonApplicationDataFolderPlusPekto) {
  PWSTR known = nullptr;
  ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &known), S_OK);
  const fs::path programData(known);
  CoTaskMemFree(known);

  const auto shared = SharedDataFolder();
  ASSERT_TRUE(shared.has_value());
  EXPECT_EQ(*shared, programData);
  const StartupValues values = ComputeFolders(L"c:\\tools\\tutor");
  EXPECT_EQ(values.ProgramDir, fs::path(L"c:\\tools\\tutor"));
  EXPECT_EQ(values.DataDir, programData / L"Pekto");
  EXPECT_EQ(values.SettingsFile, programData / L"Pekto" / L"Pekto.ini");
  EXPECT_EQ(values.DataDir.native(), programData.native() + L"\\Pekto");
}

TEST(WindowsFolders, ProgramFolderIsLowerCasedAccentedLettersIncluded) {
  EXPECT_EQ(LowerCasedPath(L"C:\\Tools\\" + kAccentedUpper + L"\\Run"),
            fs::path(L"c:\\tools\\" + kAccentedLower + L"\\run"));
  EXPECT_EQ(LowerCasedPath(L""), fs::path());
}

TEST(WindowsFolders, ExecutableFolderIsThisProgramsFolderLowerCased) {
  std::wstring module(32768, L'\0');
  module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  const fs::path actual = fs::path(module).parent_path();

  const fs::path folder = ExecutableFolder();
  EXPECT_EQ(folder, LowerCasedPath(actual));
  EXPECT_EQ(folder, LowerCasedPath(folder));
  EXPECT_NE(folder.native().back(), L'\\');
  EXPECT_TRUE(fs::equivalent(folder, actual));
}

TEST(WindowsFolders, PortableModeUsesTheProgramFolder) {
  TempDir dir;
  const fs::path program = dir.Path() / kAccentedLower;
  fs::create_directory(program);
  StartupValues values = ComputeFolders(program);
  std::string reason;
  ASSERT_TRUE(ReplaceFileContent(program / L"pekto.ini", "", reason)) << reason;
  PrepareDataFolder(values);
  EXPECT_EQ(values.DataDir, program);
  EXPECT_EQ(values.SettingsFile, program / L"pekto.ini");
}

}  // namespace
}  // namespace pekto

#endif  // _WIN32
