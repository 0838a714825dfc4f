// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main function of a benchmark of windows: offscreen, the program's application object and
// font substitutions, then the benchmarks.
#include <benchmark/benchmark.h>

#include <QByteArray>

#include "app/Application.h"
#include "platform/Fonts.h"
#include "platform/Startup.h"

namespace pekto::bench {

struct GuiBenchOptions {
  bool captureWorkArea = false;  // the windows are placed in the screen's work area
};

inline int RunGuiBenchmarks(int argc, char** argv, GuiBenchOptions options = {}) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const Application app(argc, argv);
  InstallFontSubstitutions();
  if (options.captureWorkArea) CaptureWorkArea();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace pekto::bench
