// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window benchmarks share: the offscreen application around the benchmarks, the
// processor time of the window's thread, and the measurement of a window that fills in part of
// itself in the background.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QByteArray>
#include <QEventLoop>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>

#include "PeakMemory.h"
#include "app/Application.h"
#include "base/Settings.h"
#include "platform/Fonts.h"

namespace pekto::bench {

// The program's application object offscreen, with its font substitutions; `setUp` runs before
// the benchmarks.
inline int RunOffscreen(int argc, char** argv, const std::function<void()>& setUp = {}) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  Application app(argc, argv);
  InstallFontSubstitutions();
  if (setUp) setUp();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The processor time of the calling thread: the window's own work, whatever else the machine
// runs.
inline double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Per iteration: from `open()` making the window to its first paint (the iteration's time, and
// the processor time of this thread in "shown_cpu_ms"), and until the window emits `filledIn`
// for what it reads in the background ("keys_s"); the peak memory of the process.
template <typename Window, typename Signal>
void MeasureWindow(benchmark::State& state, const std::function<std::unique_ptr<Window>()>& open,
                   Signal filledIn) {
  malloc_trim(0);  // the generated tables are not the window's
  ResetPeakMemory();
  Beall.ScreenFontSize = kDefaultScreenFontSize;
  double keysSeconds = 0;
  double shownCpuSeconds = 0;
  for (auto _ : state) {
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto since = [&start] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const std::unique_ptr<Window> window = open();
    QEventLoop loop;
    QObject::connect(window.get(), filledIn, &loop, [&] {
      keysSeconds += since();
      loop.quit();
    });
    window->show();
    window->repaint();  // the first paint
    state.SetIterationTime(since());
    shownCpuSeconds += ThreadCpuSeconds() - cpuStart;
    loop.exec();
  }
  state.counters["peak_MiB"] = PeakMemoryMiB();
  state.counters["shown_cpu_ms"] =
      benchmark::Counter(shownCpuSeconds * 1000, benchmark::Counter::kAvgIterations);
  state.counters["keys_s"] = benchmark::Counter(keysSeconds, benchmark::Counter::kAvgIterations);
}

}  // namespace pekto::bench
