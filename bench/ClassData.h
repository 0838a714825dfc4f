// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A data folder of one class for the window benchmarks: a year of score rows, the key rows that
// go with them (KeyGen.h) and the players as the evaluation lists them.

#include <filesystem>
#include <map>
#include <string>

#include "KeyGen.h"
#include "ScoreGen.h"
#include "results/KeyTable.h"
#include "results/ScoreRecording.h"

namespace pekto::bench {

// A data folder with `rows` score rows of `players` players, their key rows and Players.csv;
// generated once per size, outside the measurement.
inline const std::filesystem::path& ClassFolder(size_t rows, int players) {
  static std::map<std::pair<size_t, int>, std::filesystem::path> folders;
  const auto key = std::make_pair(rows, players);
  if (const auto it = folders.find(key); it != folders.end()) return it->second;
  const std::filesystem::path& scoreFile = ScoreFiles::Instance().File(rows, players);
  const std::filesystem::path dir =
      ScoreFiles::Instance().Folder() /
      ("class-" + std::to_string(rows) + "-" + std::to_string(players));
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(scoreFile, dir / "Score.csv",
                             std::filesystem::copy_options::overwrite_existing);
  WriteKeyRows(scoreFile, dir / std::string(kKeyFileName));
  for (int player = 1; player <= players; ++player) {
    StorePlayerName(dir / "Players.csv", "J\xE1t\xE9kos " + std::to_string(player), nullptr);
  }
  return folders.emplace(key, dir).first->second;
}

}  // namespace pekto::bench
