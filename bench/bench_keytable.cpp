// SPDX-License-Identifier: GPL-3.0-or-later
// The key table of a class's year (100,000 exercises, some 3.5 million rows): one exercise's
// rows appended at the end of an evaluation, and every player's tallies for the statistics'
// periods read without the cache (the first reading), with it, and with it after one more
// exercise (its rows read and the cache written anew).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "KeyGen.h"
#include "PeakMemory.h"
#include "ScoreGen.h"
#include "results/KeySums.h"
#include "results/KeyTable.h"

namespace pekto {
namespace {

namespace fs = std::filesystem;

constexpr size_t kExercises = 100'000;

// A copy of the class's key table for one benchmark, which changes it.
fs::path KeyTableCopy(const char* name) {
  static const fs::path table = [] {
    const fs::path& scores = bench::ScoreFiles::Instance().File(kExercises);
    const fs::path keys = scores.parent_path() / "Keys.csv";
    bench::WriteKeyRows(scores, keys);
    return keys;
  }();
  const fs::path copy = table.parent_path() / name / table.filename();
  fs::create_directories(copy.parent_path());
  fs::copy_file(table, copy, fs::copy_options::overwrite_existing);
  fs::remove(KeyCacheFile(copy));
  return copy;
}

// One exercise's keys: 35 characters, a few of them mistyped.
std::vector<KeyTally> Exercise() {
  std::vector<KeyTally> keys;
  for (unsigned char ch = 'a'; ch < 'a' + bench::kKeysPerExercise; ++ch) {
    KeyTally tally{ch, 9, ch % 5 == 0 ? 2 : 0, {}, 2400};
    if (tally.wrong > 0) tally.substitutes.push_back({static_cast<unsigned char>(ch + 1), 2});
    keys.push_back(tally);
  }
  return keys;
}

void BM_AppendKeyRows(benchmark::State& state) {
  const fs::path file = KeyTableCopy("append");
  const std::vector<KeyTally> keys = Exercise();
  int32_t id = 1'000'000;
  for (auto _ : state) {
    if (AppendKeyRows(file, {id++, "J\xE1t\xE9kos 1", {2024, 12, 31}}, keys)) {
      state.SkipWithError("the rows were not written");
    }
  }
  state.counters["table_MiB"] = static_cast<double>(fs::file_size(file)) / (1 << 20);
}

// 0: no cache, 1: the cache as the last reading left it, 2: one exercise added since.
void BM_ReadPlayerKeyTallies(benchmark::State& state) {
  const fs::path file = KeyTableCopy("read");
  const std::vector<std::optional<Date>> periods = {std::nullopt, Date{2024, 12, 2},
                                                    Date{2024, 12, 25}};
  const std::vector<KeyTally> keys = Exercise();
  ReadPlayerKeyTallies(file, periods);
  bench::ResetPeakMemory();
  int32_t id = 1'000'000;
  for (auto _ : state) {
    state.PauseTiming();
    if (state.range(0) == 0) fs::remove(KeyCacheFile(file));
    if (state.range(0) == 2) AppendKeyRows(file, {id++, "J\xE1t\xE9kos 1", {2024, 12, 31}}, keys);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReadPlayerKeyTallies(file, periods));
  }
  state.counters["peak_MiB"] = bench::PeakMemoryMiB();
  state.counters["cache_MiB"] = static_cast<double>(fs::file_size(KeyCacheFile(file))) / (1 << 20);
}

BENCHMARK(BM_AppendKeyRows)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlayerKeyTallies)
    ->ArgName("cache")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pekto
