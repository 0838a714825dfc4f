// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Score tables for the benchmarks: rows like those the evaluation records, written once per size
// into a temporary folder that is removed when the program ends.

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "results/CsvTable.h"

namespace pekto::bench {

inline constexpr int kLessons = 40;
inline constexpr int kPlayers = 300;

// Appends `rows` score rows: 40 lesson titles, `players` players ("Játékos 1", ...), percentages
// 0..100, dates of 2024.
inline void FillScores(CsvTable& table, size_t rows, uint32_t seed = 20240306,
                       int players = kPlayers) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> lesson(1, kLessons), player(1, players), letters(80, 400);
  std::uniform_int_distribution<int> day(1, 28), month(1, 12);
  for (size_t i = 0; i < rows; ++i) {
    const int total = letters(random);
    const int correct = std::uniform_int_distribution<int>(total / 2, total)(random);
    const int wrong = std::uniform_int_distribution<int>(0, total / 4)(random);
    table.AppendRow();
    table.SetText(score_field::kTitle, "Lecke " + std::to_string(lesson(random)));
    table.SetText(score_field::kPlayer, "J\xE1t\xE9kos " + std::to_string(player(random)));
    table.SetInteger(score_field::kTotal, total);
    table.SetInteger(score_field::kCorrect, correct);
    table.SetInteger(score_field::kWrong, wrong);
    table.SetInteger(score_field::kPercent, correct * 100 / (correct + wrong));
    table.SetInteger(score_field::kSeconds, total / 3 + wrong);
    table.SetDate(score_field::kDate, {2024, month(random), day(random)});
    table.PostRow();
  }
}

class ScoreFiles {
 public:
  ScoreFiles() {
    std::random_device rd;
    folder_ = std::filesystem::temp_directory_path() / ("pekto-bench-" + std::to_string(rd()));
    std::filesystem::create_directories(folder_);
  }
  ~ScoreFiles() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ScoreFiles(const ScoreFiles&) = delete;
  ScoreFiles& operator=(const ScoreFiles&) = delete;

  // The path of a score file with `rows` rows of `players` players, written on first use.
  const std::filesystem::path& File(size_t rows, int players = kPlayers) {
    const auto key = std::make_pair(rows, players);
    auto it = files_.find(key);
    if (it != files_.end()) return it->second;
    const auto path =
        folder_ / ("Score" + std::to_string(rows) + "-" + std::to_string(players) + ".csv");
    CsvTable table("Tbl", ScoreSchema(), nullptr);
    table.Open();
    FillScores(table, rows, 20240306, players);
    table.SaveFile(path);
    return files_.emplace(key, path).first->second;
  }

  const std::filesystem::path& Folder() const { return folder_; }

  static ScoreFiles& Instance() {
    static ScoreFiles files;
    return files;
  }

 private:
  std::filesystem::path folder_;
  std::map<std::pair<size_t, int>, std::filesystem::path> files_;
};

}  // namespace pekto::bench
