// SPDX-License-Identifier: GPL-3.0-or-later
// The class overview (offscreen) over a school year of a class of 30: 100,000 score rows, all in
// the range shown, and their 3.5 million key rows. Measured per iteration: from the window's
// construction to its first paint with the table (the time, and the processor time of the
// window's thread in "shown_cpu_ms"), and from the construction until the weak keys, read in the
// background, are in the table ("keys_s"), with the key cache an earlier opening left.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ClassData.h"
#include "WindowBench.h"
#include "results/KeyTable.h"
#include "results/Osszesito.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kScoreRows = 100'000;
constexpr int kClass = 30;

void BM_OverviewWindow(benchmark::State& state) {
  const fs::path& data = pekto::bench::ClassFolder(kScoreRows, kClass);
  // Keys.cache as an earlier opening left it.
  pekto::ReadKeyTallies(data / std::string(pekto::kKeyFileName), "", std::nullopt);
  pekto::bench::MeasureWindow<pekto::Tfrm_Osszesito>(
      state,
      [&data] {
        // The generated dates are those of 2024: the range takes every row.
        return std::make_unique<pekto::Tfrm_Osszesito>(data, pekto::Date{2024, 1, 1},
                                                       pekto::Date{2024, 12, 31}, nullptr);
      },
      &pekto::Tfrm_Osszesito::KeysShown);
}

BENCHMARK(BM_OverviewWindow)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return pekto::bench::RunOffscreen(argc, argv);
}
