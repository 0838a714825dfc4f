// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: from process start to the main window shown (offscreen) with the lesson chooser
// filled, over lesson folders of 10 and 2,000 lessons, and the resident and peak memory at that
// moment. Runs the real program with the start-up probe preloaded, which reports them.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::filesystem::path BuildBin() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

struct Run {
  double seconds = 0;
  long rssKiB = 0;
  long peakKiB = 0;
};

// Starts the program once and reads its report line.
Run StartOnce(const std::filesystem::path& program) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const std::string path = program.string();
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  Run run;
  if (spawned == 0) {
    FILE* out = fdopen(pipeFds[0], "r");
    long long shownNs = 0;
    if (out != nullptr && std::fscanf(out, "shown %lld rss_kib %ld hwm_kib %ld", &shownNs,
                                      &run.rssKiB, &run.peakKiB) == 3) {
      const auto startNs =
          std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
      run.seconds = static_cast<double>(shownNs - startNs) / 1e9;
    }
    if (out != nullptr) std::fclose(out);
    int status = 0;
    waitpid(pid, &status, 0);
  } else {
    close(pipeFds[0]);
  }
  return run;
}

// A data folder whose lesson folder holds `count` short lessons.
void FillLessonFolder(const std::filesystem::path& data, int64_t count) {
  std::filesystem::remove_all(data);
  const auto lessons = data / "Pekto" / "Leckek";
  std::filesystem::create_directories(lessons);
  for (int64_t i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04lld_lecke.lck", static_cast<long long>(i));
    std::ofstream(lessons / name, std::ios::binary) << "Lecke " << i << "\r\nasdf jkl\xE9\r\n";
  }
}

void BM_StartupToShownWindow(benchmark::State& state) {
  const auto data = std::filesystem::temp_directory_path() / "pekto-startup-bench";
  FillLessonFolder(data, state.range(0));
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("PEKTO_REPORT_SHOWN", "1", 1);
  setenv("LD_PRELOAD", (BuildBin() / "pekto_shown_probe.so").c_str(), 1);
  const auto program = BuildBin() / "pekto";
  StartOnce(program);  // first run creates the data folder and warms the file cache
  long rss = 0, peak = 0;
  for (auto _ : state) {
    const Run run = StartOnce(program);
    if (run.seconds <= 0) {
      state.SkipWithError("the program did not report its window");
      break;
    }
    state.SetIterationTime(run.seconds);
    rss = std::max(rss, run.rssKiB);
    peak = std::max(peak, run.peakKiB);
  }
  state.counters["rss_MiB"] = static_cast<double>(rss) / 1024.0;
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
  std::filesystem::remove_all(data);
}
BENCHMARK(BM_StartupToShownWindow)
    ->ArgName("lessons")
    ->Arg(10)
    ->Arg(2000)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
