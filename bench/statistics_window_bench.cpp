// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window (offscreen) over a year of one class: 100,000 score rows and the key rows
// that go with them (about 35 characters per exercise, some 3.5 million rows). Measured per
// iteration: from the window's construction to its first paint with the chart (the time, and the
// processor time of the window's thread in "shown_cpu_ms"), and from the construction until the
// key tallies, read in the background, colour the keys ("keys_s"). "cache:0" reads Keys.csv as on
// the first opening, without its cache Keys.cache; "cache:1" with the cache an earlier opening
// left.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ClassData.h"
#include "WindowBench.h"
#include "results/KeySums.h"
#include "results/KeyTable.h"
#include "results/Statisztika.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kScoreRows = 100'000;
constexpr pekto::Date kToday{2024, 12, 31};

void BM_StatisticsWindow(benchmark::State& state) {
  const fs::path& data = pekto::bench::ClassFolder(kScoreRows, pekto::bench::kPlayers);
  const fs::path keys = data / std::string(pekto::kKeyFileName);
  const bool warm = state.range(0) != 0;
  if (warm) pekto::ReadKeyTallies(keys, "", std::nullopt);  // leaves the cache behind
  pekto::bench::MeasureWindow<pekto::Tfrm_Statisztika>(
      state,
      [&data, &keys, warm] {
        if (!warm) fs::remove(pekto::KeyCacheFile(keys));
        return std::make_unique<pekto::Tfrm_Statisztika>(data, PEKTO_BUNDLE_DIR, "J\xE1t\xE9kos 1",
                                                         kToday, nullptr);
      },
      &pekto::Tfrm_Statisztika::KeyTalliesShown);
}

BENCHMARK(BM_StatisticsWindow)
    ->ArgName("cache")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return pekto::bench::RunOffscreen(argc, argv);
}
