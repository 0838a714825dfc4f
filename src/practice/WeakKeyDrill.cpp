// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/WeakKeyDrill.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "platform/Cp1250.h"
#include "platform/Files.h"

namespace pekto {
namespace {

// How many words each key gets.
constexpr size_t kWordsPerKey = 12;

// Signs that follow a word in a text, drilled after words.
constexpr std::string_view kWordEndings = ",.;:?!";

bool IsUpper(unsigned char ch) {
  return cp1250::ToLower(ch) != ch;
}

// Items laid out as lines of at most kDrillLineWidth characters (a longer item stands alone).
void AppendLines(const std::vector<std::string>& items, std::vector<std::string>& lines) {
  std::string line;
  for (const std::string& item : items) {
    if (!line.empty() && line.size() + 1 + item.size() > kDrillLineWidth) {
      lines.push_back(std::move(line));
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += item;
  }
  if (!line.empty()) lines.push_back(std::move(line));
}

// Groups of the key and its substitute, one line's worth: "ő ö őö öő őőö ööő ...".
std::vector<std::string> PairGroups(char key, std::optional<char> other) {
  std::vector<std::string> pattern;
  if (other) {
    const char k = key;
    const char o = *other;
    pattern = {{k}, {o}, {k, o}, {o, k}, {k, k, o}, {o, o, k}, {k, o, k}, {o, k, o}};
  } else {
    pattern = {{key}, {key, key}, {key, key, key}};
  }
  std::vector<std::string> groups;
  size_t width = 0;
  for (size_t i = 0; width + pattern[i % pattern.size()].size() <= kDrillLineWidth; ++i) {
    const std::string& group = pattern[i % pattern.size()];
    width += group.size() + 1;
    groups.push_back(group);
  }
  return groups;
}

// The word as the key needs it: a capital key takes words that begin with its small letter,
// written with the capital; the space takes any word (it stands between them), a sign that ends
// words follows them.
std::optional<std::string> WordFor(unsigned char key, const std::string& word) {
  if (key == ' ') return word;
  if (kWordEndings.find(static_cast<char>(key)) != std::string_view::npos) {
    return word + static_cast<char>(key);
  }
  if (!IsUpper(key)) {
    if (word.find(static_cast<char>(key)) == std::string::npos) return std::nullopt;
    return word;
  }
  if (word.empty() || static_cast<unsigned char>(word[0]) != cp1250::ToLower(key)) {
    return std::nullopt;
  }
  std::string capital = word;
  capital[0] = static_cast<char>(key);
  return capital;
}

// Up to kWordsPerKey words with the key, those that hold its substitute too first, then those
// nearest to five letters; otherwise in list order.
std::vector<std::string> WordsWith(unsigned char key, std::optional<char> other,
                                   const std::vector<std::string>& words) {
  std::vector<std::string> found;
  for (const std::string& word : words) {
    if (std::optional<std::string> w = WordFor(key, word)) found.push_back(std::move(*w));
  }
  const auto rank = [other](const std::string& w) {
    const bool both = other && w.find(*other) != std::string::npos;
    return std::pair{!both, w.size() > 5 ? w.size() - 5 : 5 - w.size()};
  };
  std::stable_sort(found.begin(), found.end(), [&rank](const std::string& a, const std::string& b) {
    return rank(a) < rank(b);
  });
  if (found.size() > kWordsPerKey) found.resize(kWordsPerKey);
  return found;
}

// The substitute drilled against the key: the most frequent one that is no blank.
std::optional<char> Contrast(const KeyTally& tally) {
  for (const Substitute& s : tally.substitutes) {
    if (s.ch != ' ' && s.ch != tally.ch) return static_cast<char>(s.ch);
  }
  return std::nullopt;
}

// The characters that Windows refuses in file names (Linux only the slash).
bool IsForbiddenInNames(char c) {
  return std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

std::string Title(const std::vector<KeyTally>& keys) {
  std::string title = cp1250::FromUtf8("Gyakorló:");
  for (const KeyTally& key : keys) title += ' ' + KeyName(key.ch);
  if (title.size() > kDrillTitleLimit) title.resize(kDrillTitleLimit);
  return title;
}

}  // namespace

std::vector<std::string> ParseWordList(std::string_view text) {
  std::vector<std::string> words;
  for (const std::string& line : SplitLessonLines(text)) {
    const std::string word = TrimTitle(line);
    if (!word.empty() && word[0] != '#') words.push_back(cp1250::FromUtf8(word));
  }
  return words;
}

std::vector<std::string> ReadWordList(const std::filesystem::path& file) {
  return ParseWordList(ReadWholeFile(file, kMaxLessonFileBytes));
}

std::filesystem::path WordListFile(const std::filesystem::path& bundleDir) {
  return bundleDir / "words.txt";
}

std::optional<Lesson> WeakKeyDrill(const std::vector<KeyTally>& tallies,
                                   const std::vector<std::string>& words) {
  const std::vector<KeyTally> keys = WorstKeys(tallies, kDrillKeyCount, kDrillMinJudged);
  if (keys.empty()) return std::nullopt;
  Lesson lesson{Title(keys), {}};
  std::vector<std::string> mixed;
  for (const KeyTally& key : keys) {
    const std::optional<char> other = Contrast(key);
    if (key.ch != ' ') AppendLines(PairGroups(static_cast<char>(key.ch), other), lesson.lines);
    const std::vector<std::string> found = WordsWith(key.ch, other, words);
    AppendLines(found, lesson.lines);
    mixed.insert(mixed.end(), found.begin(), found.begin() + std::min<size_t>(found.size(), 3));
  }
  // Last the keys' words side by side.
  AppendLines(mixed, lesson.lines);
  return lesson;
}

std::filesystem::path DrillLessonFile(const std::filesystem::path& lessonFolder,
                                      std::string_view player, std::chrono::year_month_day day) {
  std::string name = "gyakorlo_";
  for (const char c : player.substr(0, kDrillNameLimit)) {
    const char32_t u = cp1250::ToUnicode(static_cast<unsigned char>(c));
    const bool kept = u > U' ' && (u < 0x7F || u > 0xA0) && !IsForbiddenInNames(c);
    name += kept ? c : '_';
  }
  if (!player.empty()) name += '_';
  std::array<char, 16> date{};
  std::snprintf(date.data(), date.size(), "%04d-%02u-%02u", int{day.year()}, unsigned{day.month()},
                unsigned{day.day()});
  return lessonFolder / PathFromText(cp1250::ToUtf8(name + date.data() + ".lck"));
}

std::filesystem::path SaveDrillLesson(const std::filesystem::path& lessonFolder,
                                      const Lesson& drill, std::string_view player,
                                      std::chrono::year_month_day day) {
  const std::filesystem::path file = DrillLessonFile(lessonFolder, player, day);
  std::error_code ec;  // a folder that cannot be made fails the writing, which says so
  std::filesystem::create_directories(lessonFolder, ec);
  WriteLessonFile(file, drill);
  return file;
}

}  // namespace pekto
