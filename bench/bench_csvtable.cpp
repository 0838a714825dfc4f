// SPDX-License-Identifier: GPL-3.0-or-later
// Score.csv is read whole each time the results window opens: loading, sorting by percentage and
// filtering to one lesson must stay linear (n log n for the sort).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "ScoreGen.h"
#include "results/CsvTable.h"
#include "results/ScoreView.h"

namespace pekto::bench {
namespace {

CsvTable LoadedScores(size_t rows) {
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  table.LoadFile(ScoreFiles::Instance().File(rows));
  return table;
}

void BM_LoadFile(benchmark::State& state) {
  const auto rows = static_cast<size_t>(state.range(0));
  const auto& file = ScoreFiles::Instance().File(rows);
  for (auto _ : state) {
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    table.LoadFile(file);
    benchmark::DoNotOptimize(table.RowCount());
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}

void BM_SortByPercentage(benchmark::State& state) {
  CsvTable table = LoadedScores(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    table.SortBy(score_field::kPercent, SortOption::Descending);
    benchmark::DoNotOptimize(table.Value(score_field::kId));
  }
  state.SetComplexityN(state.range(0));
}

void BM_SortByPlayerName(benchmark::State& state) {
  CsvTable table = LoadedScores(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    table.SortBy(score_field::kPlayer, SortOption::CaseInsensitive);
    benchmark::DoNotOptimize(table.Value(score_field::kId));
  }
  state.SetComplexityN(state.range(0));
}

void BM_FilterByLesson(benchmark::State& state) {
  CsvTable table = LoadedScores(static_cast<size_t>(state.range(0)));
  table.EnableFilter(true);
  const std::string seven = LessonFilter("Lecke 7"), eight = LessonFilter("Lecke 8");
  bool odd = false;
  for (auto _ : state) {
    table.SetFilterText((odd = !odd) ? seven : eight);
    benchmark::DoNotOptimize(table.VisibleRowCount());
  }
  state.SetComplexityN(state.range(0));
}

// What the results window does: load, sort by percentage, show one lesson.
void BM_ResultsWindowTable(benchmark::State& state) {
  const auto& file = ScoreFiles::Instance().File(static_cast<size_t>(state.range(0)));
  const std::string seven = LessonFilter("Lecke 7");
  for (auto _ : state) {
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    table.LoadFile(file);
    table.MoveFirst();
    table.SortBy(score_field::kPercent, SortOption::Descending);
    table.SetFilterText(seven);
    table.EnableFilter(true);
    benchmark::DoNotOptimize(table.VisibleRowCount());
  }
  state.SetComplexityN(state.range(0));
}

constexpr int64_t kSmall = 1'000;
constexpr int64_t kMedium = 100'000;
constexpr int64_t kLarge = 1'000'000;

BENCHMARK(BM_LoadFile)
    ->Arg(kSmall)
    ->Arg(kMedium)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SortByPercentage)
    ->Arg(kSmall)
    ->Arg(kMedium)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_SortByPlayerName)
    ->Arg(kSmall)
    ->Arg(kMedium)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_FilterByLesson)
    ->Arg(kSmall)
    ->Arg(kMedium)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ResultsWindowTable)
    ->Arg(kSmall)
    ->Arg(kMedium)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace pekto::bench
