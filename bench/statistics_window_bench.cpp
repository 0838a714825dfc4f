// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window (offscreen) over a year of one class: 100,000 score rows and the key rows
// that go with them (about 35 characters per exercise, some 3.5 million rows). Measured per
// iteration: from the window's construction to its first paint with the chart (the time, and the
// processor time of the window's thread in "shown_cpu_ms"), and from the construction until the
// key tallies, read in the background, are shown ("keys_s").
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "PeakMemory.h"
#include "ScoreGen.h"
#include "app/Application.h"
#include "base/Settings.h"
#include "platform/Cp1250.h"
#include "platform/Fonts.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"
#include "results/ScoreRecording.h"
#include "results/Statisztika.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kScoreRows = 100'000;
constexpr size_t kKeysPerExercise = 35;
constexpr pekto::Date kToday{2024, 12, 31};

// Keys.csv for the score rows of `scoreFile`: per row kKeysPerExercise characters sharing its
// judged and wrong keys.
void WriteKeyRows(const fs::path& scoreFile, const fs::path& keysFile) {
  pekto::CsvTable scores("Tbl", pekto::ScoreSchema(), nullptr);
  scores.Open();
  scores.LoadFile(scoreFile);
  pekto::CsvTable keys("Tbl", pekto::KeySchema(), nullptr);
  keys.Open();
  const std::string letters = pekto::cp1250::FromUtf8("aábcdeéfghiíjklmnoóöőpqrstuúüűvwxyz ,.");
  std::mt19937 random(20241231);
  const auto field = [&](size_t row, const char* name) {
    return scores.ValueAt(row, static_cast<size_t>(scores.FieldIndex(name)));
  };
  for (size_t row = 0; row < scores.VisibleRowCount(); ++row) {
    const int32_t judged = pekto::NullToInt(field(row, "osszes"), 0);
    const int32_t wrong = pekto::NullToInt(field(row, "hibas"), 0);
    const size_t first = random() % letters.size();
    for (size_t k = 0; k < kKeysPerExercise; ++k) {
      const auto ch = static_cast<unsigned char>(letters[(first + k) % letters.size()]);
      const int32_t keyWrong =
          static_cast<int32_t>(random() % static_cast<uint32_t>(wrong / 8 + 1));
      keys.AppendRow();
      keys.SetInteger("eredmeny", pekto::NullToInt(field(row, "id"), 0));
      keys.SetText("jatekos", pekto::NullToStr(field(row, "jatekos"), ""));
      keys.SetDate("datum", std::get<pekto::Date>(*field(row, "datum")));
      keys.SetText("betu", std::string(1, static_cast<char>(ch)));
      keys.SetInteger("leutes", judged / static_cast<int32_t>(kKeysPerExercise) + keyWrong);
      keys.SetInteger("hibas", keyWrong);
      keys.SetText("helyette", keyWrong > 0 ? std::string(1, letters[random() % letters.size()]) +
                                                  ":" + std::to_string(keyWrong)
                                            : std::string());
      keys.SetInteger("ido", static_cast<int32_t>(random() % 20000));
      keys.PostRow();
    }
  }
  keys.SaveFile(keysFile);
}

// A data folder with the score and key tables; generated once, outside the measurement.
const fs::path& DataFolder() {
  static const fs::path folder = [] {
    const fs::path& scoreFile = pekto::bench::ScoreFiles::Instance().File(kScoreRows);
    const fs::path dir = scoreFile.parent_path() / "statistics";
    fs::create_directories(dir);
    fs::copy_file(scoreFile, dir / "Score.csv", fs::copy_options::overwrite_existing);
    WriteKeyRows(scoreFile, dir / std::string(pekto::kKeyFileName));
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
  malloc_trim(0);  // the generated tables are not the window's
  pekto::bench::ResetPeakMemory();
  pekto::Beall.ScreenFontSize = pekto::kDefaultScreenFontSize;
  double keysSeconds = 0;
  double shownCpuSeconds = 0;
  for (auto _ : state) {
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
  state.counters["keys_s"] = benchmark::Counter(keysSeconds, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_StatisticsWindow)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  pekto::Application app(argc, argv);
  pekto::InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
