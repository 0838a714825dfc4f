// SPDX-License-Identifier: GPL-3.0-or-later
// The results window's lesson list is built from every row of Score.csv each time the window
// opens: it must stay linear and cheap next to reading the file.

#include <benchmark/benchmark.h>

#include "ScoreGen.h"
#include "results/CsvTable.h"
#include "results/ScoreView.h"

namespace pekto::bench {
namespace {

void BM_LessonTitles(benchmark::State& state) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.LoadFile(ScoreFiles::Instance().File(static_cast<size_t>(state.range(0))));
  for (auto _ : state) {
    const auto titles = LessonTitles(table);
    benchmark::DoNotOptimize(titles.size());
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_LessonTitles)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace pekto::bench
