// SPDX-License-Identifier: GPL-3.0-or-later
// Recording one result: Score.csv is read, extended by one row before the first and written
// anew, so the cost grows with the history; and the percentage's exact extended arithmetic.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "ScoreGen.h"
#include "results/ScoreRecording.h"

namespace pekto {
namespace {

using bench::ScoreFiles;

void BM_RecordScore(benchmark::State& state) {
  const auto& source = ScoreFiles::Instance().File(static_cast<size_t>(state.range(0)));
  std::filesystem::path file = source;
  file += ".record";
  std::filesystem::copy_file(source, file, std::filesystem::copy_options::overwrite_existing);
  const ScoreEntry entry{"Lecke 7", "Kiss Anna", 120, 114, 9, ExtendedPercent(114, 9),
                         95,        {2024, 3, 5}};
  for (auto _ : state) benchmark::DoNotOptimize(RecordScore(file, entry));
  std::filesystem::remove(file);
  state.SetComplexityN(state.range(0));
}

void BM_ExtendedPercent(benchmark::State& state) {
  int32_t correct = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtendedPercent(correct, 1000 - correct % 1000));
    correct = (correct + 7) % 1000;
  }
}

BENCHMARK(BM_RecordScore)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ExtendedPercent);

}  // namespace
}  // namespace pekto
