// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Key tables for the benchmarks: the rows the evaluation would have added for each row of a
// score table (bench/ScoreGen.h), about 35 characters per exercise.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "platform/Cp1250.h"
#include "results/CsvTable.h"
#include "results/KeyTable.h"

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

}  // namespace pekto::bench
