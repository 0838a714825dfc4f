// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FileSizeLimit.h"
#include "HugeFile.h"
#include "TempDir.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using test::FileSizeLimit;

class IniFileTest : public ::testing::Test {
 protected:
  IniFile WithContent(const std::string& bytes) {
    WriteBytes(path_, bytes);
    return IniFile(path_);
  }

  test::TempDir dir_;
  const fs::path& folder_ = dir_.Path();
  const fs::path path_ = dir_ / "Pekto.ini";
};

// ---------------------------------------------------------------------------------------------
// Reading

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  const IniFile missing(path_);
  EXPECT_EQ(missing.ReadString("Defaults", "FontName", "Courier New"), "Courier New");
  EXPECT_EQ(missing.ReadInteger("Defaults", "FontSize", 14), 14);
  EXPECT_TRUE(missing.ReadBool("Defaults", "FontBold", true));
  EXPECT_FALSE(fs::exists(path_)) << "reading must not create the file";

  const IniFile ini = WithContent(
      "Orphan=before any section\r\n"
      "[A]\r\n"
      "Key=1\r\n"
      ";Commented=2\r\n"
      "NoEquals\r\n"
      "Empty=\r\n"
      "[B]\r\n"
      "Other=3\r\n");
  EXPECT_EQ(ini.ReadString("C", "Key", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "Missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "Orphan", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", ";Commented", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "Commented", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "NoEquals", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "Other", "def"), "def") << "keys of [B] are not in [A]";
  EXPECT_EQ(ini.ReadString("B", "Key", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "Empty", "def"), "") << "a present empty value is not missing";
  EXPECT_EQ(ini.ReadInteger("A", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadString("B", "Other", ""), "3");
}

// A file far bigger than any settings file reads as absent and is never rewritten: a sparse
// file of 20 GB neither takes the memory nor the time it claims.
TEST_F(IniFileTest, AHugeFileReadsAsAbsentAndIsLeftAlone) {
  IniFile ini = WithContent("[Screen]\r\nFontSize=10\r\n");
  test::MakeHugeFile(path_, std::uintmax_t{20} << 30);
  EXPECT_EQ(ini.ReadInteger("Screen", "FontSize", 9), 9);
  try {
    ini.WriteInteger("Screen", "FontSize", 11);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + PathText(path_));
  }
  EXPECT_EQ(fs::file_size(path_), std::uintmax_t{20} << 30);

  fs::resize_file(path_, 1024 * 1024);  // the largest that still counts
  EXPECT_EQ(ini.ReadInteger("Screen", "FontSize", 9), 10);
  fs::resize_file(path_, 1024 * 1024 + 1);
  EXPECT_EQ(ini.ReadInteger("Screen", "FontSize", 9), 9);
}

TEST_F(IniFileTest, SectionAndKeyNamesIgnoreCase) {
  const IniFile ini = WithContent("[DeFaults]\r\nfontNAME=Arial\r\n[SCREEN]\r\nFontSize=20\r\n");
  EXPECT_EQ(ini.ReadString("defaults", "FontName", ""), "Arial");
  EXPECT_EQ(ini.ReadString("DEFAULTS", "fontname", ""), "Arial");
  EXPECT_EQ(ini.ReadInteger("Screen", "fontsize", 9), 20);
  EXPECT_EQ(ini.ReadInteger("Defaults", "FontSize", 14), 14)
      << "same key name in another section must not match";
}

TEST_F(IniFileTest, ValuesLoseSurroundingBlanksAndOnePairOfQuotes) {
  const IniFile ini = WithContent(
      "[ S ]\n"
      "  Spaced  =  a b  \n"
      "Tabbed=\t'x y'\t\n"
      "Double=\"\"q\"\"\n"
      "Mixed='a\"\n"
      "Lone=\"\n"
      "EmptyQuotes=''\n"
      "Inner= ' pad ' \n"
      "Equals=a=b\n"
      "Trailing=value\r\n"
      "Last=no line end");
  EXPECT_EQ(ini.ReadString("S", "Spaced", ""), "a b");
  EXPECT_EQ(ini.ReadString("S", "Tabbed", ""), "x y");
  EXPECT_EQ(ini.ReadString("S", "Double", ""), "\"q\"") << "only one pair is dropped";
  EXPECT_EQ(ini.ReadString("S", "Mixed", ""), "'a\"") << "unmatched quotes stay";
  EXPECT_EQ(ini.ReadString("S", "Lone", ""), "\"");
  EXPECT_EQ(ini.ReadString("S", "EmptyQuotes", "def"), "");
  EXPECT_EQ(ini.ReadString("S", "Inner", ""), " pad ") << "blanks inside the quotes stay";
  EXPECT_EQ(ini.ReadString("S", "Equals", ""), "a=b");
  EXPECT_EQ(ini.ReadString("S", "Trailing", ""), "value") << "CR is part of the line end";
  EXPECT_EQ(ini.ReadString("S", "Last", ""), "no line end");
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyOfANameWin) {
  const IniFile ini = WithContent("[A]\r\nK=1\r\nk=2\r\n[a]\r\nK=3\r\nL=4\r\n");
  EXPECT_EQ(ini.ReadString("A", "K", ""), "1");
  EXPECT_EQ(ini.ReadString("A", "L", "def"), "def");
}

TEST_F(IniFileTest, WindowsCentralEuropeanBytesPassThrough) {
  const std::string name = "\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p";  // cp1250
  const IniFile ini = WithContent("[Defaults]\r\nLastPlayer=" + name + "\r\n");
  EXPECT_EQ(ini.ReadString("Defaults", "LastPlayer", ""), name);
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  const std::string exact(2047, 'e');
  const std::string longer = std::string(2047, 'a') + "TAIL";
  const IniFile ini = WithContent("[S]\r\nExact=" + exact + "\r\nLong=" + longer + "\r\nQuoted=\"" +
                                  exact + "\"\r\nAfter=ok\r\n");
  EXPECT_EQ(ini.ReadString("S", "Exact", ""), exact);
  EXPECT_EQ(ini.ReadString("S", "Long", ""), std::string(2047, 'a'));
  EXPECT_EQ(ini.ReadString("S", "Quoted", ""), exact) << "quotes dropped before the cut";
  EXPECT_EQ(ini.ReadString("S", "After", ""), "ok");
}

TEST_F(IniFileTest, IntegersAreSignedDecimalOrHexadecimal) {
  const IniFile ini = WithContent(
      "[S]\r\n"
      "Negative=-16777211\r\n"
      "Dollar=$FF000005\r\n"
      "Ox=0x0000FF\r\n"
      "OX=0X0000ff\r\n"
      "Plus=+12\r\n"
      "Blanks=  42  \r\n"
      "Quoted=\"17\"\r\n"
      "Text=abc\r\n"
      "Suffix=12abc\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "Negative", 0), -16777211);
  EXPECT_EQ(ini.ReadInteger("S", "Dollar", 0), -16777211);
  EXPECT_EQ(ini.ReadInteger("S", "Ox", 0), 255);
  EXPECT_EQ(ini.ReadInteger("S", "OX", 0), 255);
  EXPECT_EQ(ini.ReadInteger("S", "Plus", 0), 12);
  EXPECT_EQ(ini.ReadInteger("S", "Blanks", 0), 42);
  EXPECT_EQ(ini.ReadInteger("S", "Quoted", 0), 17);
  EXPECT_EQ(ini.ReadInteger("S", "Text", -5), -5);
  EXPECT_EQ(ini.ReadInteger("S", "Suffix", -5), -5);
}

TEST(IniIntegerText, EdgesOfTheAcceptedForms) {
  EXPECT_EQ(ParseIniInteger("0"), 0);
  EXPECT_EQ(ParseIniInteger("007"), 7);
  EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseIniInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("$7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(ParseIniInteger("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseIniInteger("$000000000FF"), 255) << "leading zeros do not count";
  EXPECT_EQ(ParseIniInteger("$100000000"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-$10"), -16);
  EXPECT_EQ(ParseIniInteger(""), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("$"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("0x"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("$G"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("FF"), std::nullopt) << "hex digits need a prefix";
  EXPECT_EQ(ParseIniInteger("1 2"), std::nullopt);
  EXPECT_EQ(ParseIniInteger(" 1"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("--1"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("1.5"), std::nullopt);
}

TEST_F(IniFileTest, BooleansAreReadAsIntegers) {
  const IniFile ini =
      WithContent("[S]\r\nTwo=2\r\nZero=0\r\nMinus=-1\r\nHex=$0\r\nX=x\r\nEmpty=\r\n");
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Minus", false));
  EXPECT_FALSE(ini.ReadBool("S", "Hex", true));
  EXPECT_TRUE(ini.ReadBool("S", "X", true));
  EXPECT_FALSE(ini.ReadBool("S", "X", false));
  EXPECT_TRUE(ini.ReadBool("S", "Empty", true));
}

TEST_F(IniFileTest, NothingIsCachedBetweenCalls) {
  IniFile writer(path_);
  const IniFile reader(path_);
  writer.WriteString("S", "K", "first");
  EXPECT_EQ(reader.ReadString("S", "K", ""), "first");
  WriteBytes(path_, "[S]\r\nK=changed outside\r\n");
  EXPECT_EQ(reader.ReadString("S", "K", ""), "changed outside");
  writer.WriteString("S", "J", "x");
  EXPECT_EQ(ReadBytes(path_), "[S]\r\nK=changed outside\r\nJ=x\r\n")
      << "a write starts from the file as it is now";
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST_F(IniFileTest, WritingANewFileUsesCrLfAndPlainValues) {
  IniFile ini(path_);
  ini.WriteString("Screen", "FontSize", "9");
  ini.WriteInteger("Defaults", "BkColor", static_cast<int32_t>(0xFF000005));
  ini.WriteBool("Defaults", "FontBold", true);
  ini.WriteBool("Defaults", "Sound", false);
  ini.WriteString("Defaults", "LastFile", "");
  ini.WriteString("Defaults", "Spaced", "  \"as is\"  ");
  EXPECT_EQ(ReadBytes(path_),
            "[Screen]\r\n"
            "FontSize=9\r\n"
            "\r\n"
            "[Defaults]\r\n"
            "BkColor=-16777211\r\n"
            "FontBold=1\r\n"
            "Sound=0\r\n"
            "LastFile=\r\n"
            "Spaced=  \"as is\"  \r\n");
  EXPECT_EQ(ini.ReadString("Defaults", "Spaced", ""), "as is");
  EXPECT_EQ(ini.ReadInteger("Defaults", "BkColor", 0), -16777211);
}

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherByte) {
  const std::string head =
      "; settings\n"
      "Orphan = x\r\n"
      "[frm_Main]\r\n"
      "Left=1\r\n"
      "  \r\n"
      "[Defaults]\n"
      "FontName = Arial\r\n"
      "  fontsize\t= 12 \r\n";
  const std::string tail =
      "weird line\n"
      "Sound=1\r\n"
      "\r\n"
      "[frm_Top10]\r\n"
      "FontSize=3\r\n"
      "\xE1rv\xEDz=\xF5\r\n"
      "; end";
  IniFile ini = WithContent(head + "FontSize=99\r\n" + tail);
  // The first "fontsize" line of [Defaults] is the key; the second one is never looked at.
  ini.WriteInteger("DEFAULTS", "FontSize", 16);
  EXPECT_EQ(ReadBytes(path_),
            "; settings\n"
            "Orphan = x\r\n"
            "[frm_Main]\r\n"
            "Left=1\r\n"
            "  \r\n"
            "[Defaults]\n"
            "FontName = Arial\r\n"
            "fontsize=16\r\n"
            "FontSize=99\r\n" +
                tail);
  EXPECT_EQ(ini.ReadInteger("Defaults", "FontSize", 0), 16);
  EXPECT_EQ(ini.ReadInteger("frm_Top10", "FontSize", 0), 3);
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastKeyOfItsSection) {
  IniFile ini = WithContent(
      "[A]\r\n"
      "One=1\r\n"
      "Two=2\r\n"
      "\r\n"
      "; about B\r\n"
      "[B]\r\n"
      "X=1\r\n");
  ini.WriteString("a", "Three", "3");
  ini.WriteString("B", "Y", "2");
  EXPECT_EQ(ReadBytes(path_),
            "[A]\r\n"
            "One=1\r\n"
            "Two=2\r\n"
            "Three=3\r\n"
            "\r\n"
            "; about B\r\n"
            "[B]\r\n"
            "X=1\r\n"
            "Y=2\r\n");
}

TEST_F(IniFileTest, NewKeyInASectionWithoutKeysFollowsItsHeader) {
  IniFile ini = WithContent("[Empty]\n\n[Next]\nK=1\n[Last]");
  ini.WriteString("Empty", "A", "1");
  ini.WriteString("Last", "B", "2");
  EXPECT_EQ(ReadBytes(path_), "[Empty]\nA=1\r\n\n[Next]\nK=1\n[Last]\r\nB=2\r\n");
}

TEST_F(IniFileTest, NewSectionIsAppendedAfterOneBlankLine) {
  IniFile unterminated = WithContent("[A]\r\nK=1");
  unterminated.WriteString("B", "L", "2");
  EXPECT_EQ(ReadBytes(path_), "[A]\r\nK=1\r\n\r\n[B]\r\nL=2\r\n");

  IniFile blankEnd = WithContent("[A]\r\nK=1\r\n\r\n");
  blankEnd.WriteString("B", "L", "2");
  EXPECT_EQ(ReadBytes(path_), "[A]\r\nK=1\r\n\r\n[B]\r\nL=2\r\n");

  IniFile empty = WithContent("");
  empty.WriteString("B", "L", "2");
  EXPECT_EQ(ReadBytes(path_), "[B]\r\nL=2\r\n");
}

TEST_F(IniFileTest, ValuesAreWrittenUpToTheirFirstLineBreak) {
  IniFile ini(path_);
  ini.WriteString("S", "A", "first\r\n[Evil]\r\nB=2");
  ini.WriteString("S", "C", "line\nnext");
  ini.WriteString("S", "D", "\rall gone");
  EXPECT_EQ(ReadBytes(path_), "[S]\r\nA=first\r\nC=line\r\nD=\r\n");
  EXPECT_EQ(ini.ReadString("Evil", "B", "none"), "none");
}

TEST_F(IniFileTest, WritingThroughASymbolicLinkKeepsTheLink) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#endif
  const fs::path real = folder_ / "real.ini";
  WriteBytes(real, "[S]\r\nK=1\r\n");
  fs::create_symlink(real, path_);
  IniFile ini(path_);
  ini.WriteInteger("S", "K", 2);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(ReadBytes(real), "[S]\r\nK=2\r\n");
}

TEST_F(IniFileTest, FailedWriteReportsThePathAndKeepsTheOldFile) {
  // The settings file's folder is a regular file.
  const fs::path notAFolder = folder_ / "data";
  WriteBytes(notAFolder, "plain file");
  const fs::path inside = notAFolder / "Pekto.ini";
  IniFile blocked(inside);
  try {
    blocked.WriteString("Defaults", "FontName", "Arial");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + PathText(inside));
  }
  EXPECT_EQ(ReadBytes(notAFolder), "plain file");
  EXPECT_EQ(blocked.ReadString("Defaults", "FontName", "def"), "def");

  // The settings path is a folder.
  fs::create_directory(path_);
  IniFile folder(path_);
  EXPECT_THROW(folder.WriteBool("S", "K", true), Error);
  EXPECT_TRUE(fs::is_directory(path_));
  fs::remove(path_);

  // The new content cannot be stored (file-size limit): the old file stays whole.
  if (!FileSizeLimit::kAvailable) GTEST_SKIP() << test::kNoFileSizeLimit;
  const std::string old = "[Defaults]\r\nFontName=Arial\r\n" + std::string(200, ';') + "\r\n";
  IniFile limited = WithContent(old);
  bool thrown = false;
  std::string message;
  {
    const FileSizeLimit limit(old.size());
    try {
      limited.WriteString("Defaults", "FontName", "Times New Roman");
    } catch (const Error& e) {
      thrown = true;
      message = e.what();
    }
  }
  EXPECT_TRUE(thrown);
  EXPECT_EQ(message, "Unable to write to " + PathText(path_));
  EXPECT_EQ(ReadBytes(path_), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2)
      << "no temporary file is left behind";
}

// Makes a folder refuse new files for as long as it lives: by its permissions, or for root,
// who ignores them, by the file system's immutable flag where the file system has one.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(fs::path folder) : folder_(std::move(folder)) {
#ifdef _WIN32
    // A folder's read-only attribute does not keep new files out on Windows.
    return;
#else
    if (::geteuid() != 0) {
      fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
      done_ = true;
    } else {
      done_ = SetImmutable(true);
    }
#endif
  }
  ~ReadOnlyFolder() {
    if (!done_) return;
#ifndef _WIN32
    if (::geteuid() != 0) {
      fs::permissions(folder_, fs::perms::owner_all);
    } else {
      SetImmutable(false);
    }
#endif
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool Done() const {
    return done_;
  }

 private:
  bool SetImmutable([[maybe_unused]] bool on) const {
#ifdef _WIN32
    return false;
#else
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
#endif
  }

  fs::path folder_;
  bool done_ = false;
};

TEST_F(IniFileTest, AReadOnlyFileIsLeftAsItIsAndARewriteKeepsThePermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits; the read-only attribute is checked in Windows_test";
#endif
  const std::string old = "[S]\r\nK=1\r\n";
  IniFile ini = WithContent(old);
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path_, shared);
  ini.WriteInteger("S", "K", 2);
  EXPECT_EQ(fs::status(path_).permissions(), shared);

  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
  fs::permissions(path_, readOnly);
  const std::string before = ReadBytes(path_);
  try {
    ini.WriteInteger("S", "K", 3);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + PathText(path_));
  }
  EXPECT_EQ(ReadBytes(path_), before);
  EXPECT_EQ(fs::status(path_).permissions(), readOnly);
  fs::permissions(path_, fs::perms::owner_all);
}

TEST_F(IniFileTest, AFolderThatTakesNoNewFileIsNamedAsTheCause) {
  IniFile ini = WithContent("[S]\r\nK=1\r\n");
  std::string message;
  {
    const ReadOnlyFolder readOnly(folder_);
    if (!readOnly.Done()) GTEST_SKIP() << "this file system cannot make a folder read-only";
    try {
      ini.WriteInteger("S", "K", 2);
    } catch (const Error& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message, "Unable to write to " + PathText(folder_));
  EXPECT_EQ(ReadBytes(path_), "[S]\r\nK=1\r\n");
}

}  // namespace
}  // namespace pekto
