// SPDX-License-Identifier: GPL-3.0-or-later
// The results window from the command to the window shown (offscreen), over score files of
// 1,000, 100,000 and 1,000,000 rows: reading the file, the lesson list, the sort by percentage,
// the filter, building the window and its first paint. The heap the open window holds is
// reported per row, to show that it grows linearly with the file.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "PeakMemory.h"
#include "ScoreGen.h"
#include "WindowBench.h"
#include "app/Application.h"
#include "base/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Startup.h"
#include "results/Top10.h"

namespace fs = std::filesystem;

namespace {

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// A data folder whose Score.csv has `rows` rows.
class DataFolder {
 public:
  explicit DataFolder(size_t rows) {
    qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit());
    pekto::Startup() = pekto::ComputeFolders(fs::path(dir_.path().toStdString()));
    fs::create_directories(pekto::Startup().DataDir);
    fs::copy_file(pekto::bench::ScoreFiles::Instance().File(rows),
                  pekto::Startup().DataDir / "Score.csv", fs::copy_options::overwrite_existing);
  }

 private:
  QTemporaryDir dir_;
};

// Opens the results window on `title` once per iteration and closes it as soon as it has been
// shown and painted.
void MeasureShowResults(benchmark::State& state, const std::string& title) {
  const auto rows = static_cast<size_t>(state.range(0));
  pekto::bench::ScoreFiles::Instance().File(rows);  // generated outside the measured peak
  pekto::bench::ResetPeakMemory();
  const DataFolder folder(rows);
  pekto::Beall.ScreenFontSize = pekto::kDefaultScreenFontSize;
  size_t heldBytes = 0;
  for (auto _ : state) {
    const size_t heapBefore = HeapInUse();
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0;
    pekto::SetDialogHook([&](QDialog& dialog) {
      dialog.repaint();  // the window's first paint, the visible rows included
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const size_t heapShown = HeapInUse();
      heldBytes = std::max(heldBytes, heapShown > heapBefore ? heapShown - heapBefore : 0);
      dialog.reject();
    });
    pekto::ShowResults(title, -1, nullptr);
    pekto::SetDialogHook({});
    if (seconds <= 0) {
      state.SkipWithError("the results window did not show");
      break;
    }
    state.SetIterationTime(seconds);
  }
  state.counters["peak_MiB"] = pekto::bench::PeakMemoryMiB();
  state.counters["heap_MiB"] = static_cast<double>(heldBytes) / (1024.0 * 1024.0);
  state.counters["heap_B_per_row"] = static_cast<double>(heldBytes) / static_cast<double>(rows);
  state.SetComplexityN(state.range(0));
}

// The first lesson of the list: a fortieth of the rows in the grid.
void BM_ShowResults(benchmark::State& state) {
  MeasureShowResults(state, "");
}

// Every row in the grid: "Lecke*" shows every lesson whose title begins with "Lecke".
void BM_ShowResultsAllRowsShown(benchmark::State& state) {
  MeasureShowResults(state, "Lecke*");
}

BENCHMARK(BM_ShowResults)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResults)
    ->Arg(1'000'000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResultsAllRowsShown)
    ->Arg(100'000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResultsAllRowsShown)
    ->Arg(1'000'000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return pekto::bench::RunOffscreen(argc, argv, [] { pekto::CaptureWorkArea(); });
}
