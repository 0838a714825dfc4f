// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/KeyStats.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

#include "platform/Cp1250.h"

namespace pekto {

void KeyRecord::Add(unsigned char expected, unsigned char typed, int64_t msSincePrevious) {
  KeyTally tally{expected, 1, 0, {}, 0};
  if (typed == expected) {
    tally.intervalMs = std::max<int64_t>(msSincePrevious, 0);
  } else {
    tally.wrong = 1;
    tally.substitutes.push_back({typed, 1});
  }
  Add(tally);
}

void KeyRecord::AddUntimed(unsigned char expected, unsigned char typed) {
  Add(expected, typed, 0);
  if (typed == expected) ++keys_[expected].untimed;
}

int64_t KeyRecord::MeanInterval() const {
  int64_t sum = 0;
  int64_t timed = 0;
  for (const Counts& counts : keys_) {
    sum += counts.intervalMs;
    timed += counts.judged - counts.wrong - counts.untimed;
  }
  return timed > 0 ? (sum + timed / 2) / timed : 0;
}

void KeyRecord::Add(const KeyTally& tally) {
  Counts& counts = keys_[tally.ch];
  if (!counts.seen) {
    counts.seen = true;
    ++seen_;
  }
  counts.judged += tally.judged;
  counts.wrong += tally.wrong;
  counts.intervalMs += tally.intervalMs;
  for (const Substitute& s : tally.substitutes) {
    const auto at =
        std::lower_bound(counts.typed.begin(), counts.typed.end(), s.ch,
                         [](const Substitute& known, unsigned char ch) { return known.ch < ch; });
    if (at != counts.typed.end() && at->ch == s.ch) {
      at->count += s.count;
    } else {
      counts.typed.insert(at, s);
    }
  }
  judged_ += tally.judged;
  wrong_ += tally.wrong;
}

std::vector<KeyTally> KeyRecord::Tallies() const {
  std::vector<KeyTally> tallies;
  tallies.reserve(seen_);
  const int64_t mean = MeanInterval();
  for (size_t ch = 0; ch < keys_.size(); ++ch) {
    const Counts& counts = keys_[ch];
    if (!counts.seen) continue;
    tallies.push_back(KeyTally{static_cast<unsigned char>(ch), counts.judged, counts.wrong,
                               MostFrequent(counts.typed),
                               counts.intervalMs + counts.untimed * mean});
  }
  return tallies;
}

std::vector<Substitute> MostFrequent(std::span<const Substitute> substitutes) {
  std::vector<Substitute> most(std::min(substitutes.size(), kSubstituteCount));
  std::partial_sort_copy(substitutes.begin(), substitutes.end(), most.begin(), most.end(),
                         [](const Substitute& a, const Substitute& b) {
                           return a.count != b.count ? a.count > b.count : a.ch < b.ch;
                         });
  return most;
}

std::string FormatSubstitutes(const std::vector<Substitute>& substitutes) {
  std::string text;
  for (const Substitute& s : substitutes) {
    if (!text.empty()) text += ' ';
    text += static_cast<char>(s.ch);
    text += ':' + std::to_string(s.count);
  }
  return text;
}

std::vector<Substitute> ParseSubstitutes(std::string_view text) {
  // The character is always one byte, so a blank or a colon can be a substitute too.
  std::vector<Substitute> substitutes;
  size_t pos = 0;
  while (pos + 2 < text.size() && text[pos + 1] == ':') {
    Substitute s{static_cast<unsigned char>(text[pos]), 0};
    const char* first = text.data() + pos + 2;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, s.count);
    if (ec != std::errc{} || end == first || s.count < 0) break;
    substitutes.push_back(s);
    pos = static_cast<size_t>(end - text.data());
    if (pos < text.size() && text[pos] != ' ') break;
    ++pos;
  }
  return substitutes;
}

int32_t PerMinute(int32_t keys, int32_t seconds) {
  if (seconds <= 0 || keys <= 0) return 0;
  // floor(60 k / s + 1/2) in integers.
  const int64_t perMinute = (120 * int64_t{keys} + seconds) / (2 * int64_t{seconds});
  return static_cast<int32_t>(std::min<int64_t>(perMinute, std::numeric_limits<int32_t>::max()));
}

double ErrorRate(const KeyTally& tally) {
  return tally.judged > 0 ? static_cast<double>(tally.wrong) / tally.judged : 0.0;
}

bool FewData(const KeyTally& tally) {
  return tally.judged < kRatedFrom;
}

std::vector<KeyTally> WorstKeys(const std::vector<KeyTally>& tallies, size_t count,
                                int32_t minJudged) {
  std::vector<KeyTally> worst;
  for (const KeyTally& t : tallies) {
    if (t.judged >= minJudged && t.wrong > 0) worst.push_back(t);
  }
  // Rates compared exactly: a.wrong / a.judged > b.wrong / b.judged.
  std::sort(worst.begin(), worst.end(), [](const KeyTally& a, const KeyTally& b) {
    const int64_t left = int64_t{a.wrong} * b.judged;
    const int64_t right = int64_t{b.wrong} * a.judged;
    if (left != right) return left > right;
    if (a.judged != b.judged) return a.judged > b.judged;
    return a.ch < b.ch;
  });
  if (worst.size() > count) worst.resize(count);
  return worst;
}

std::array<FingerTally, kFingerCount> FingerTallies(const std::vector<KeyTally>& tallies,
                                                    const Keyboard& keyboard) {
  std::array<FingerTally, kFingerCount> fingers{};
  for (const KeyTally& t : tallies) {
    const std::optional<KeyStroke> stroke = keyboard.Find(t.ch);
    if (!stroke) continue;
    FingerTally& finger = fingers[static_cast<size_t>(stroke->key->finger)];
    finger.judged += t.judged;
    finger.wrong += t.wrong;
  }
  return fingers;
}

std::string KeyName(unsigned char ch) {
  return ch == ' ' ? cp1250::FromUtf8("szóköz") : std::string(1, static_cast<char>(ch));
}

}  // namespace pekto
