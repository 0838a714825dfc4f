// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the learner's keys tell: per expected character how often it was judged, how often
// mistyped, what was typed in its place, and how long the correct hits took; the speed figures;
// the worst keys by error rate; the error rate per finger. Characters are Windows-1250 bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "practice/Keyboard.h"

namespace pekto {

// A character typed in place of the expected one, and how often.
struct Substitute {
  unsigned char ch = 0;
  int32_t count = 0;
  friend bool operator==(const Substitute&, const Substitute&) = default;
};

// The most substitutes a tally keeps.
inline constexpr size_t kSubstituteCount = 3;

// The figures of one expected character.
struct KeyTally {
  unsigned char ch = 0;
  int32_t judged = 0;
  int32_t wrong = 0;
  std::vector<Substitute> substitutes;  // the most frequent first; ties by character
  int64_t intervalMs = 0;               // the sum of the intervals of its correct hits
};

// Sums judged keys, or tallies read back, per expected character.
class KeyRecord {
 public:
  // One judged key: `msSincePrevious` is the time since the previous judged key (the caller
  // decides what the first key of an exercise counts from); it is summed for correct hits only.
  void Add(unsigned char expected, unsigned char typed, int64_t msSincePrevious);
  // A judged key whose time is not known (the first of an exercise: nothing came before it). A
  // correct one is given the mean time of the timed correct hits when the tallies are taken.
  void AddUntimed(unsigned char expected, unsigned char typed);
  // The figures of a tally (of one exercise, say) added to its character's.
  void Add(const KeyTally& tally);

  // One tally per character, in byte order, each with up to kSubstituteCount substitutes.
  std::vector<KeyTally> Tallies() const;
  int32_t Judged() const { return judged_; }
  int32_t Correct() const { return judged_ - wrong_; }
  bool Empty() const { return seen_ == 0; }

 private:
  // Indexed by the byte: a flat table, as a statistics window sums millions of rows.
  struct Counts {
    bool seen = false;
    int32_t judged = 0;
    int32_t wrong = 0;
    int64_t intervalMs = 0;
    int32_t untimed = 0;            // correct hits without a time (AddUntimed)
    std::vector<Substitute> typed;  // the substitutes in byte order
  };
  // The mean interval of the timed correct hits; 0 without any.
  int64_t MeanInterval() const;
  std::array<Counts, 256> keys_{};
  size_t seen_ = 0;
  int32_t judged_ = 0;
  int32_t wrong_ = 0;
};

// The kSubstituteCount most frequent of `substitutes` (distinct characters), the most frequent
// first and equal counts in byte order.
std::vector<Substitute> MostFrequent(std::span<const Substitute> substitutes);

// "á:3 o:1": each substitute, a colon and its count, separated by single blanks.
std::string FormatSubstitutes(const std::vector<Substitute>& substitutes);
// The substitutes of such a text; reading stops at the first part not in the form.
std::vector<Substitute> ParseSubstitutes(std::string_view text);

// Keys per minute, keys × 60 / seconds as a whole number (halves up, as the percentage of the
// counters); 0 when no time passed.
int32_t PerMinute(int32_t keys, int32_t seconds);

// wrong / judged; 0 for a key never judged.
double ErrorRate(const KeyTally& tally);
// Below this many judgements a key's rate says too little to be shown ("kevés adat").
inline constexpr int32_t kRatedFrom = 5;
bool FewData(const KeyTally& tally);

// At most `count` tallies with at least `minJudged` judgements and a mistake, by error rate
// (the worst first; equal rates: more judgements first, then by character).
std::vector<KeyTally> WorstKeys(const std::vector<KeyTally>& tallies, size_t count,
                                int32_t minJudged);

// The judged and wrong keys of every finger (indexed by Finger); characters no key types are left
// out.
struct FingerTally {
  int32_t judged = 0;
  int32_t wrong = 0;
};
std::array<FingerTally, kFingerCount> FingerTallies(const std::vector<KeyTally>& tallies,
                                                    const Keyboard& keyboard);

// How a key is named to the learner, Windows-1250: the character itself, "szóköz" for the space.
std::string KeyName(unsigned char ch);

}  // namespace pekto
