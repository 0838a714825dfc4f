// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A data folder of one class for the window benchmarks: a year of score rows, the key rows that
// go with them (about 35 characters per exercise) and the players as the evaluation lists them.

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "ScoreGen.h"
#include "platform/Cp1250.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"
#include "results/ScoreRecording.h"

namespace pekto::bench {

inline constexpr size_t kKeysPerExercise = 35;

// Keys.csv for the score rows of `scoreFile`: per row kKeysPerExercise characters sharing its
// judged and wrong keys.
inline void WriteKeyRows(const std::filesystem::path& scoreFile,
                         const std::filesystem::path& keysFile) {
  CsvTable scores("Tbl", ScoreSchema(), nullptr);
  scores.Open();
  scores.LoadFile(scoreFile);
  CsvTable keys("Tbl", KeySchema(), nullptr);
  keys.Open();
  const std::string letters = cp1250::FromUtf8("aábcdeéfghiíjklmnoóöőpqrstuúüűvwxyz ,.");
  std::mt19937 random(20241231);
  const auto field = [&](size_t row, const char* name) {
    return scores.ValueAt(row, static_cast<size_t>(scores.FieldIndex(name)));
  };
  for (size_t row = 0; row < scores.VisibleRowCount(); ++row) {
    const int32_t judged = NullToInt(field(row, "osszes"), 0);
    const int32_t wrong = NullToInt(field(row, "hibas"), 0);
    const size_t first = random() % letters.size();
    for (size_t k = 0; k < kKeysPerExercise; ++k) {
      const auto ch = static_cast<unsigned char>(letters[(first + k) % letters.size()]);
      const int32_t keyWrong =
          static_cast<int32_t>(random() % static_cast<uint32_t>(wrong / 8 + 1));
      keys.AppendRow();
      keys.SetInteger("eredmeny", NullToInt(field(row, "id"), 0));
      keys.SetText("jatekos", NullToStr(field(row, "jatekos"), ""));
      keys.SetDate("datum", std::get<Date>(*field(row, "datum")));
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
