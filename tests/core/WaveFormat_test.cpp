// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WaveFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pekto {
namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A PCM wave of `dataBytes` bytes of silence whose data chunk claims `claimed` bytes; `chunks`
// stand between the format and the data.
std::string Wave(uint32_t dataBytes, uint32_t claimed, uint16_t format = 1,
                 std::string_view chunks = {}) {
  std::string fmt;
  PutLe(fmt, format, 2);
  PutLe(fmt, 1, 2);      // channels
  PutLe(fmt, 8000, 4);   // sample rate
  PutLe(fmt, 16000, 4);  // bytes per second
  PutLe(fmt, 2, 2);      // block align
  PutLe(fmt, 16, 2);     // bits per sample
  std::string body = "WAVEfmt ";
  PutLe(body, static_cast<uint32_t>(fmt.size()), 4);
  body += fmt;
  body += chunks;
  body += "data";
  PutLe(body, claimed, 4);
  body.append(dataBytes, '\0');
  std::string wave = "RIFF";
  PutLe(wave, static_cast<uint32_t>(body.size()), 4);
  return wave + body;
}

TEST(WaveFormatTest, APcmWaveIsPlayable) {
  EXPECT_EQ(WaveFileProblem(Wave(100, 100)), "");
  EXPECT_EQ(WaveFileProblem(Wave(4, 4, 3)), "");  // IEEE float samples
}

// A chunk of odd size before the data is followed by a padding byte.
TEST(WaveFormatTest, AnOddChunkBeforeTheDataIsPadded) {
  EXPECT_EQ(WaveFileProblem(Wave(10, 10, 1, std::string_view("LIST\x03\0\0\0abc\0", 12))), "");
}

TEST(WaveFormatTest, DamagedFilesSayWhatIsWrong) {
  EXPECT_EQ(WaveFileProblem(""), "nem RIFF WAVE fájl");
  EXPECT_EQ(WaveFileProblem("not a wave file at all"), "nem RIFF WAVE fájl");
  EXPECT_EQ(WaveFileProblem(std::string("RIFF\0\0\0\0WAVE", 12)), "hiányzó hangadatok");
  EXPECT_EQ(WaveFileProblem(Wave(100, 4000)), "csonka fájl");  // cut after its header
  EXPECT_EQ(WaveFileProblem(Wave(10, 10, 85)), "nem PCM hang");
  std::string noFormat = Wave(10, 10);
  noFormat.replace(12, 4, "junk");
  EXPECT_EQ(WaveFileProblem(noFormat), "hiányzó formátumleírás");
}

// A big file is judged by its header and its size.
TEST(WaveFormatTest, TheHeaderAndTheSizeSuffice) {
  EXPECT_EQ(WaveFileProblem(Wave(100, 100).substr(0, 44), 144), "");
  EXPECT_EQ(WaveFileProblem(Wave(100, 4000).substr(0, 44), 144), "csonka fájl");
  EXPECT_EQ(WaveFileProblem(Wave(100, 100).substr(0, 30), 144), "hibás formátumleírás");
}

TEST(WaveFormatTest, AChunkSizeBeyondTheFileIsACutFile) {
  EXPECT_EQ(WaveFileProblem(std::string("RIFF\0\0\0\0WAVEfmt \xFF\xFF\xFF\xFF", 20)),
            "csonka fájl");
}

}  // namespace
}  // namespace pekto
