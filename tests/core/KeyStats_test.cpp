// SPDX-License-Identifier: GPL-3.0-or-later
// The per-key figures: the keyboard file and its lookup, the record of an exercise's keys, the
// speed and the rates, the weak-key drill, the key table Keys.csv and the progress per day.

#include "practice/KeyStats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "TempDir.h"
#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "practice/Keyboard.h"
#include "practice/WeakKeyDrill.h"
#include "results/CsvTable.h"
#include "results/KeySums.h"
#include "results/KeyTable.h"
#include "results/Progress.h"

namespace pekto {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// Windows-1250 bytes of a UTF-8 text, and its first byte.
std::string B(std::string_view utf8) {
  return cp1250::FromUtf8(utf8);
}
unsigned char C(std::string_view utf8) {
  return static_cast<unsigned char>(B(utf8).at(0));
}

const Keyboard& Hungarian() {
  static const Keyboard keyboard = Keyboard::Load(PEKTO_KEYBOARD_FILE);
  return keyboard;
}

// ---- keyboard ----------------------------------------------------------------------------------

TEST(Keyboard, RowsAsOnAHungarianKeyboardWithoutGapsOrOverlaps) {
  std::vector<std::string> rows(5);
  std::vector<double> ends(5, 0.0);
  for (const KeyCap& key : Hungarian().Keys()) {
    ASSERT_LT(static_cast<size_t>(key.row), rows.size());
    EXPECT_DOUBLE_EQ(key.x, ends[key.row]) << "row " << key.row << " " << key.label;
    ends[key.row] = key.x + key.width;
    if (key.base) rows[key.row] += static_cast<char>(key.base->ch);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{B("0123456789öüó"), B("qwertzuiopőú"),
                                            B("asdfghjkléáű"), B("íyxcvbnm,.-"), " "}));
  EXPECT_EQ(ends, std::vector<double>(5, 15.0));
}

struct StrokeCase {
  const char* ch;
  Finger finger;
  const char* base;  // the key's own character
  bool shift, altGr;
};

class KeyboardFind : public testing::TestWithParam<StrokeCase> {};

TEST_P(KeyboardFind, KeyFingerAndModifier) {
  const StrokeCase& c = GetParam();
  const std::optional<KeyStroke> stroke = Hungarian().Find(C(c.ch));
  ASSERT_TRUE(stroke);
  EXPECT_EQ(stroke->key->finger, c.finger);
  EXPECT_EQ(stroke->key->base->ch, C(c.base));
  EXPECT_EQ(stroke->shift, c.shift);
  EXPECT_EQ(stroke->altGr, c.altGr);
}

INSTANTIATE_TEST_SUITE_P(Hungarian, KeyboardFind,
                         testing::Values(StrokeCase{"ő", Finger::RightLittle, "ő", false, false},
                                         StrokeCase{"Ű", Finger::RightLittle, "ű", true, false},
                                         StrokeCase{"0", Finger::LeftLittle, "0", false, false},
                                         StrokeCase{"í", Finger::LeftLittle, "í", false,
                                                    false},  // before AltGr+J
                                         StrokeCase{"f", Finger::LeftIndex, "f", false, false},
                                         StrokeCase{"6", Finger::RightIndex, "6", false, false},
                                         StrokeCase{"@", Finger::LeftIndex, "v", false, true},
                                         StrokeCase{"€", Finger::RightIndex, "u", false, true},
                                         StrokeCase{" ", Finger::Thumbs, " ", false, false}));

TEST(Keyboard, DeadKeysAndMissingCharactersAreNotFound) {
  EXPECT_FALSE(Hungarian().Find('~'));
  EXPECT_FALSE(Hungarian().Find(C("ˇ")));
  EXPECT_FALSE(Hungarian().Find(C("â")));
}

class KeyboardParse : public testing::TestWithParam<const char*> {};

TEST_P(KeyboardParse, BadLineNamesItsNumber) {
  const std::string text = std::string("# keys\n0 0 1 L5 a A --\n") + GetParam() + "\n";
  try {
    Keyboard::Parse(text);
    FAIL() << "parsed: " << GetParam();
  } catch (const DamagedFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("3. sor: ", 0), 0U) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, KeyboardParse,
                         testing::Values("0 1 1 L5 b B", "0 x 1 L5 b B --", "0 1 1 L6 b B --",
                                         "0 1 1 L5 bb B --", "0 1 0 L5 b B --", "0 1 1 L5 b B őő"));

// ---- record, speed, rates ---------------------------------------------------------------------

TEST(KeyRecord, AKnownSequenceGivesItsRows) {
  KeyRecord record;
  const std::vector<std::tuple<const char*, const char*, int>> keys = {
      {"ő", "ö", 100}, {"ő", "ő", 200}, {"a", "a", 120}, {"ő", "ö", 150}, {"ő", "x", 90},
      {"ő", "ő", 300}, {"a", "á", 80},  {"ő", "ú", 5},   {"ő", "o", 7}};
  for (const auto& [expected, typed, ms] : keys) record.Add(C(expected), C(typed), ms);
  const std::vector<KeyTally> rows = record.Tallies();
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].ch, 'a');
  EXPECT_EQ(rows[0].judged, 2);
  EXPECT_EQ(rows[0].wrong, 1);
  EXPECT_EQ(rows[0].intervalMs, 120);
  EXPECT_EQ(FormatSubstitutes(rows[0].substitutes), B("á:1"));
  EXPECT_EQ(rows[1].ch, C("ő"));
  EXPECT_EQ(rows[1].judged, 7);
  EXPECT_EQ(rows[1].wrong, 5);
  EXPECT_EQ(rows[1].intervalMs, 500);
  // Equal counts by character: o before x before ú; ú is the fourth and left out.
  EXPECT_EQ(FormatSubstitutes(rows[1].substitutes), B("ö:2 o:1 x:1"));
  EXPECT_EQ(record.Judged(), 9);
  EXPECT_EQ(record.Correct(), 3);
}

TEST(KeyRecord, SubstitutesReadBackBlanksAndColonsIncluded) {
  const std::vector<Substitute> subs = {{' ', 12}, {':', 3}, {C("ű"), 1}};
  EXPECT_EQ(ParseSubstitutes(FormatSubstitutes(subs)), subs);
  EXPECT_EQ(ParseSubstitutes("a:2 b:x c:1"), (std::vector<Substitute>{{'a', 2}}));
  EXPECT_TRUE(ParseSubstitutes("").empty());
}

class PerMinuteTest : public testing::TestWithParam<std::tuple<int32_t, int32_t, int32_t>> {};

TEST_P(PerMinuteTest, WholeNumbersHalvesUp) {
  const auto [keys, seconds, expected] = GetParam();
  EXPECT_EQ(PerMinute(keys, seconds), expected);
}

INSTANTIATE_TEST_SUITE_P(Figures, PerMinuteTest,
                         testing::Values(std::tuple{100, 60, 100}, std::tuple{7, 9, 47},
                                         std::tuple{1, 120, 1}, std::tuple{1, 121, 0},
                                         std::tuple{5, 0, 0}, std::tuple{0, 30, 0}));

KeyTally Tally(const char* ch, int32_t judged, int32_t wrong, const char* substitute = "x") {
  return KeyTally{C(ch), judged, wrong, {{C(substitute), wrong}}, 0};
}

TEST(KeyRates, ThresholdsAndOrder) {
  EXPECT_TRUE(FewData(Tally("a", 4, 0)));
  EXPECT_FALSE(FewData(Tally("a", 5, 0)));
  EXPECT_DOUBLE_EQ(ErrorRate(Tally("a", 8, 2)), 0.25);
  EXPECT_DOUBLE_EQ(ErrorRate(Tally("a", 0, 0)), 0.0);
  const std::vector<KeyTally> tallies = {Tally("e", 400, 40), Tally("ő", 20, 10), Tally("ű", 10, 5),
                                         Tally("q", 9, 9),    Tally("a", 30, 0),  Tally("í", 30, 6),
                                         Tally("z", 10, 1)};
  std::string order;
  for (const KeyTally& t : WorstKeys(tallies, 4, 10)) order += static_cast<char>(t.ch);
  // q has too few judgements, a no mistake; ő and ű share the rate, ő has more judgements.
  EXPECT_EQ(order, B("őűíe"));
}

TEST(KeyRates, FingerTalliesSumTheirKeys) {
  const auto fingers = FingerTallies(
      {Tally("ő", 20, 10), Tally("é", 10, 1), Tally("f", 5, 2), Tally("â", 9, 9)}, Hungarian());
  EXPECT_EQ(fingers[static_cast<size_t>(Finger::RightLittle)].judged, 30);
  EXPECT_EQ(fingers[static_cast<size_t>(Finger::RightLittle)].wrong, 11);
  EXPECT_EQ(fingers[static_cast<size_t>(Finger::LeftIndex)].wrong, 2);
  EXPECT_EQ(fingers[static_cast<size_t>(Finger::Thumbs)].judged, 0);
}

// ---- drill -------------------------------------------------------------------------------------

TEST(WeakKeyDrill, TitleKeysWordsAndDrillsOnly) {
  const std::vector<std::string> words = ParseWordList(
      "# words\r\nősz\r\nőz\r\nöt\r\ntőzeg\r\nőriz\r\ntűz\r\nfűz\r\nhűs\r\nszél\r\n"
      "íj\r\nír\r\nzizeg\r\nyard\r\nés\r\nkörte\r\n  \r\nalma\r\nlyuk\r\nnyúl");
  EXPECT_EQ(words.size(), 18U);
  const std::vector<KeyTally> tallies = {Tally("ő", 20, 12, "ö"), Tally("ű", 20, 11, "ü"),
                                         Tally("í", 20, 10, "i"), Tally("z", 20, 9, "y"),
                                         Tally("y", 20, 8, "z"),  Tally("e", 200, 20, "é"),
                                         Tally("k", 9, 9, "l")};
  const std::optional<Lesson> drill = WeakKeyDrill(tallies, words);
  ASSERT_TRUE(drill);
  EXPECT_EQ(drill->title, B("Gyakorló: ő ű í z y"));
  const std::string keys = B("őűízy"), drilled = keys + B("öüi");
  const std::set<std::string> known(words.begin(), words.end());
  for (const std::string& line : drill->lines) {
    EXPECT_LE(line.size(), kDrillLineWidth);
    std::istringstream items(line);
    for (std::string item; items >> item;) {
      const bool isDrill = item.find_first_not_of(drilled) == std::string::npos;
      const bool isWord = known.contains(item) && item.find_first_of(keys) != std::string::npos;
      EXPECT_TRUE(isDrill || isWord) << cp1250::ToUtf8(item);
    }
  }
  EXPECT_NE(drill->lines.front().find(B("ő ö őö öő")), std::string::npos);
}

TEST(WeakKeyDrill, LongTitleIsCutAndNoKeyGivesNone) {
  std::vector<KeyTally> spaces = {Tally(" ", 10, 5), Tally("w", 10, 1)};
  EXPECT_LE(WeakKeyDrill(spaces, {"szó"})->title.size(), kDrillTitleLimit);
  const std::optional<Lesson> commas = WeakKeyDrill({Tally(",", 10, 5)}, {"alma"});
  EXPECT_EQ(commas->lines.back(), "alma,");
  EXPECT_FALSE(WeakKeyDrill({Tally("a", 9, 9), Tally("b", 50, 0)}, {"ab"}));
}

// ---- Keys.csv ----------------------------------------------------------------------------------

TEST(KeyTable, RowsReadBackPerPlayerAndPeriod) {
  TempDir dir;
  const fs::path file = dir / "Keys.csv";
  KeyRecord first;
  first.Add(C("ő"), C("ö"), 100);
  first.Add(C("ő"), C("ő"), 250);
  first.Add(' ', ' ', 90);
  EXPECT_FALSE(AppendKeyRows(file, {3, B("Szűts Lőrinc"), {2026, 12, 1}}, first.Tallies()));
  KeyRecord second;
  second.Add(C("ő"), C("ö"), 50);
  second.Add(C("ő"), ':', 70);
  EXPECT_FALSE(AppendKeyRows(file, {4, B("Szűts Lőrinc"), {2026, 12, 8}}, second.Tallies()));
  EXPECT_FALSE(AppendKeyRows(file, {5, "Anna", {2026, 12, 8}}, second.Tallies()));
  EXPECT_EQ(TempDir::Read(file).rfind("\"@@FILE VERSION@@\",\"251\"\r\n", 0), 0U);

  const std::vector<KeyTally> all = ReadKeyTallies(file, B("Szűts Lőrinc"), std::nullopt);
  ASSERT_EQ(all.size(), 2U);
  EXPECT_EQ(all[0].ch, ' ');
  EXPECT_EQ(all[0].intervalMs, 90);
  EXPECT_EQ(all[1].judged, 4);
  EXPECT_EQ(all[1].wrong, 3);
  EXPECT_EQ(all[1].intervalMs, 250);
  EXPECT_EQ(FormatSubstitutes(all[1].substitutes), B("ö:2 ::1"));
  const std::vector<KeyTally> week = ReadKeyTallies(file, "Anna", Date{2026, 12, 2});
  ASSERT_EQ(week.size(), 1U);
  EXPECT_EQ(week[0].judged, 2);
  EXPECT_TRUE(ReadKeyTallies(dir / "none.csv", "Anna", std::nullopt).empty());

  // Every player and period at once: the same sums.
  const std::vector<std::optional<Date>> periods = {std::nullopt, Date{2026, 12, 2}};
  const PlayerKeyTallies byPlayer = ReadPlayerKeyTallies(file, periods);
  ASSERT_EQ(byPlayer.size(), 2U);
  for (const auto& [player, lists] : byPlayer) {
    for (size_t p = 0; p < periods.size(); ++p) {
      const std::vector<KeyTally> one = ReadKeyTallies(file, player, periods[p]);
      ASSERT_EQ(lists[p].size(), one.size());
      for (size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(lists[p][i].judged, one[i].judged);
        EXPECT_EQ(lists[p][i].substitutes, one[i].substitutes);
      }
    }
  }
}

TEST(KeyTable, DamagedFileIsLeftWholeWithAMessage) {
  TempDir dir;
  const std::string junk = "\"@@FILE VERSION@@\",\"251\"\r\nnot a table\r\n";
  const fs::path file = dir.Write("Keys.csv", junk);
  KeyRecord record;
  record.Add('a', 'b', 10);
  const std::optional<std::string> message =
      AppendKeyRows(file, {1, "A", {2026, 1, 1}}, record.Tallies());
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("\"Keys.csv\""), std::string::npos) << *message;
  EXPECT_EQ(TempDir::Read(file), junk);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  EXPECT_THROW(ReadKeyTallies(file, "A", std::nullopt), Error);
}

// Appending: the bytes before stay, only the new rows follow; a line that a crash cut short is
// no row, and the next rows start on a line of their own.
TEST(KeyTable, AppendOnlyAddsRowsAndNeverGluesToATornLine) {
  TempDir dir;
  const fs::path file = dir / "Keys.csv";
  ASSERT_FALSE(AppendKeyRows(file, {1, "Anna", {2026, 12, 8}}, {Tally("a", 4, 1)}));
  const std::string first = TempDir::Read(file);
  const KeyTally b{'b', 2, 0, {}, 70};
  ASSERT_FALSE(AppendKeyRows(file, {2, "Anna", {2026, 12, 8}}, {b}));
  const std::string row = "\"2\",\"Anna\",\"08/12/2026\",\"b\",\"2\",\"0\",\"\",\"70\",\r\n";
  EXPECT_EQ(TempDir::Read(file), first + row);

  const std::string torn = "\"3\",\"Anna\",\"08/12/2026\",\"b\",\"5";
  std::ofstream(file, std::ios::binary | std::ios::app) << torn;
  EXPECT_EQ(ReadKeyTallies(file, "Anna", std::nullopt).at(1).judged, 2);
  ASSERT_FALSE(AppendKeyRows(file, {4, "Anna", {2026, 12, 8}}, {b}));
  EXPECT_EQ(TempDir::Read(file), first + row + torn + "\r\n\"4" + row.substr(2));
  const std::vector<KeyTally> tallies = ReadKeyTallies(file, "Anna", std::nullopt);
  EXPECT_EQ(tallies.at(1).judged, 4);
  EXPECT_EQ(tallies.at(0).wrong, 1);
}

// The tallies as text: every player, period and character.
std::string Text(const PlayerKeyTallies& all) {
  std::ostringstream text;
  for (const auto& [player, periods] : all) {
    text << player << ':';
    for (const std::vector<KeyTally>& period : periods) {
      for (const KeyTally& t : period) {
        text << ' ' << t.ch << t.judged << '/' << t.wrong << '/' << t.intervalMs << '['
             << FormatSubstitutes(t.substitutes) << ']';
      }
      text << " |";
    }
    text << '\n';
  }
  return text.str();
}

// A key table of exercises by two players over two months.
void Exercise(const fs::path& keys, int id) {
  const std::string player = id % 3 == 0 ? B("Szűts Lőrinc") : "Anna";
  const std::vector<KeyTally> tallies = {Tally("a", 10 + id % 7, id % 3, "s"),
                                         Tally("ő", 5 + id % 4, id % 5, "ö"),
                                         Tally("%", 3, id % 2, "5")};
  ASSERT_FALSE(AppendKeyRows(keys, {id, player, {2026, 11 + id / 30 % 2, 1 + id % 28}}, tallies));
}

std::string ReadAll(const fs::path& keys) {
  return Text(ReadPlayerKeyTallies(keys, {std::nullopt, Date{2026, 11, 20}, Date{2026, 12, 3}}));
}

void Replace(const fs::path& file, size_t at, std::string_view with) {
  std::string bytes = TempDir::Read(file);
  bytes.replace(at, with.size(), with);
  std::ofstream(file, std::ios::binary) << bytes;
}

// What changes after the sums were kept: the cache must answer as a fresh reading of the table.
using CacheChange = void (*)(const fs::path& keys, const fs::path& cache);
class KeyCacheTest : public testing::TestWithParam<std::pair<const char*, CacheChange>> {};

TEST_P(KeyCacheTest, AnswersAsAFreshReading) {
  TempDir dir;
  const fs::path keys = dir / "Keys.csv";
  const fs::path cache = KeyCacheFile(keys);
  for (int id = 0; id < 60; ++id) Exercise(keys, id);
  const std::string before = ReadAll(keys);
  ASSERT_TRUE(fs::exists(cache));
  GetParam().second(keys, cache);
  const std::string cached = ReadAll(keys);
  fs::remove(cache);
  EXPECT_EQ(cached, ReadAll(keys));
  EXPECT_EQ(cached, ReadAll(keys));  // from the cache written anew
  if (std::string_view(GetParam().first).starts_with("cache")) {
    EXPECT_EQ(cached, before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    KeyTable, KeyCacheTest,
    testing::Values(std::pair{"rowsAppended",
                              +[](const fs::path& keys, const fs::path&) {
                                for (int id = 60; id < 63; ++id) Exercise(keys, id);
                              }},
                    std::pair{"tornLineAndRowsAppended",
                              +[](const fs::path& keys, const fs::path&) {
                                std::ofstream(keys, std::ios::binary | std::ios::app)
                                    << "\"7\",\"Anna\"";
                                Exercise(keys, 59);
                              }},
                    std::pair{"firstRowRewritten",
                              +[](const fs::path& keys, const fs::path&) {
                                Replace(keys, TempDir::Read(keys).find("\"Anna\""), "\"Anni\"");
                              }},
                    std::pair{"lastRowRewritten",
                              +[](const fs::path& keys, const fs::path&) {
                                Replace(keys, TempDir::Read(keys).rfind("\"Anna\""), "\"Anni\"");
                              }},
                    std::pair{"tableShortened",
                              +[](const fs::path& keys, const fs::path&) {
                                fs::remove(keys);
                                Exercise(keys, 1);
                              }},
                    std::pair{"cacheDamaged",
                              +[](const fs::path&, const fs::path& cache) {
                                Replace(cache, fs::file_size(cache) / 2, "\x7F\x7F");
                              }},
                    std::pair{"cacheCutShort",
                              +[](const fs::path&, const fs::path& cache) {
                                fs::resize_file(cache, fs::file_size(cache) - 9);
                              }}),
    [](const auto& info) { return std::string(info.param.first); });

// A table of another column order is read as a table and written whole; its own layout, read
// field by field, gives the same tallies, quotes, commas and escapes included.
TEST(KeyTable, OwnAndOtherLayoutsReadAlike) {
  TempDir dir;
  const fs::path own = dir / "Keys.csv", other = dir / "Other.csv";
  const std::vector<KeyTally> tallies = {Tally("%", 4, 2, "\""), Tally("\"", 3, 1, ","),
                                         Tally(",", 2, 1, "%")};
  for (const char* player : {"Kiss \"Bogi\", 50%", "Anna"}) {
    ASSERT_FALSE(AppendKeyRows(own, {1, player, {2026, 12, 8}}, tallies));
  }
  CsvTable table("Tbl", KeySchema(), nullptr);
  table.LoadFile(own);
  std::vector<FieldSpec> fields = KeySchema();
  std::reverse(fields.begin(), fields.end());
  CsvTable reversed("Tbl", fields, nullptr);
  reversed.CopyRowsFrom(table);
  reversed.SaveFile(other);
  for (const fs::path& file : {own, other}) {
    ASSERT_FALSE(AppendKeyRows(file, {2, "Anna", {2026, 12, 9}}, tallies));
  }
  EXPECT_NE(TempDir::Read(other).find("\"ido\",\"helyette\",\"hibas\""), std::string::npos);
  EXPECT_EQ(ReadAll(own), ReadAll(other));
  EXPECT_NE(ReadAll(own).find("Kiss \"Bogi\", 50%: \"3/1/0[,:1] %4/2/0[\":2]"), std::string::npos)
      << ReadAll(own);
  EXPECT_FALSE(fs::exists(KeyCacheFile(other)));
}

TEST(WeakKeyDrill, OneFilePerPlayerAndDay) {
  const auto day = std::chrono::year_month_day(std::chrono::year(2026), std::chrono::month(12),
                                               std::chrono::day(9));
  using Name = std::pair<std::string, std::string>;
  for (const auto& [player, name] :
       {Name{B("Szűts Lőrinc"), "gyakorlo_Szűts_Lőrinc_2026-12-09.lck"},
        Name{"a/b:c*?\t\"<>|\\", "gyakorlo_a_b_c_________2026-12-09.lck"},
        Name{std::string(60, 'x'), "gyakorlo_" + std::string(50, 'x') + "_2026-12-09.lck"},
        Name{"", "gyakorlo_2026-12-09.lck"}}) {
    EXPECT_EQ(DrillLessonFile("L", player, day), fs::path("L") / PathFromText(name));
  }
}

TEST(DailyProgress, SumsAPlayersDaysFromADateOn) {
  CsvTable scores("Tbl", ScoreSchema(), nullptr);
  scores.Open();
  for (const auto& [player, correct, wrong, seconds, day] : {std::tuple{"A", 90, 10, 60, 3},
                                                             {"B", 50, 50, 10, 3},
                                                             {"A", 45, 5, 50, 3},
                                                             {"A", 7, 2, 0, 2},
                                                             {"A", 10, 0, 30, 1}}) {
    scores.AppendRow();
    scores.SetText("jatekos", player);
    scores.SetInteger("helyes", correct);
    scores.SetInteger("hibas", wrong);
    scores.SetInteger("ido", seconds);
    scores.SetDate("datum", {2026, 12, day});
    scores.PostRow();
  }
  const std::vector<DayProgress> days = DailyProgress(scores, "A", Date{2026, 12, 2});
  ASSERT_EQ(days.size(), 2U);
  EXPECT_EQ(days[0].keysPerMinute, 0);  // no time
  EXPECT_EQ(days[0].percent, 78);
  EXPECT_EQ(days[1].date, (Date{2026, 12, 3}));
  EXPECT_EQ(days[1].keysPerMinute, 82);  // 150 keys in 110 seconds
  EXPECT_EQ(days[1].percent, 90);
}

}  // namespace
}  // namespace pekto
