// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window (offscreen) over a year of one class: 100,000 score rows and the key rows
// that go with them (about 35 characters per exercise, some 3.5 million rows). Measured per
// iteration: from the window's construction to its first paint with the chart (the time, and the
// processor time of the window's thread in "shown_cpu_ms"), and from the construction until the
// key tallies, read in the background, colour the keys ("keys_ms"). "cache:0" reads Keys.csv
// as on the first opening, without its cache Keys.cache; "cache:1" with the cache as the earlier
// opening left it.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QEventLoop>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "GuiBenchMain.h"
#include "KeyGen.h"
#include "PeakMemory.h"
#include "ScoreGen.h"
#include "base/Settings.h"
#include "results/CsvTable.h"
#include "results/KeySums.h"
#include "results/KeyTable.h"
#include "results/ScoreRecording.h"
#include "results/Statisztika.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kScoreRows = 100'000;
constexpr pekto::Date kToday{2024, 12, 31};

// A data folder with the score and key tables; generated once, outside the measurement.
const fs::path& DataFolder() {
  static const fs::path folder = [] {
    const fs::path& scoreFile = pekto::bench::ScoreFiles::Instance().File(kScoreRows);
    const fs::path dir = scoreFile.parent_path() / "statistics";
    fs::create_directories(dir);
    fs::copy_file(scoreFile, dir / "Score.csv", fs::copy_options::overwrite_existing);
    pekto::bench::WriteKeyRows(scoreFile, dir / std::string(pekto::kKeyFileName));
    // The players as the evaluation lists them.
    for (int player = 1; player <= pekto::bench::kPlayers; ++player) {
      pekto::StorePlayerName(dir / "Players.csv", "J\xE1t\xE9kos " + std::to_string(player),
                             nullptr);
    }
    return dir;
  }();
  return folder;
}

// The processor time of the calling thread: the window's own work, whatever else the machine
// runs.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_StatisticsWindow(benchmark::State& state) {
  const fs::path& data = DataFolder();
  const bool warm = state.range(0) != 0;
  const fs::path cache = pekto::KeyCacheFile(data / std::string(pekto::kKeyFileName));
  if (warm) pekto::ReadKeyTallies(data / std::string(pekto::kKeyFileName), "", std::nullopt);
  malloc_trim(0);  // the generated tables are not the window's
  pekto::bench::ResetPeakMemory();
  pekto::Beall.ScreenFontSize = pekto::kDefaultScreenFontSize;
  double keysSeconds = 0;
  double shownCpuSeconds = 0;
  for (auto _ : state) {
    if (!warm) fs::remove(cache);
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto since = [&start] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    pekto::Tfrm_Statisztika window(data, PEKTO_BUNDLE_DIR, "J\xE1t\xE9kos 1", kToday, nullptr);
    QEventLoop loop;
    QObject::connect(&window, &pekto::Tfrm_Statisztika::KeyTalliesShown, &loop, [&] {
      keysSeconds += since();
      loop.quit();
    });
    window.show();
    window.repaint();  // the first paint, the chart included
    state.SetIterationTime(since());
    shownCpuSeconds += ThreadCpuSeconds() - cpuStart;
    loop.exec();
  }
  state.counters["peak_MiB"] = pekto::bench::PeakMemoryMiB();
  state.counters["shown_cpu_ms"] =
      benchmark::Counter(shownCpuSeconds * 1000, benchmark::Counter::kAvgIterations);
  state.counters["keys_ms"] =
      benchmark::Counter(keysSeconds * 1000, benchmark::Counter::kAvgIterations);
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
  return pekto::bench::RunGuiBenchmarks(argc, argv);
}
