// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header check of a wave file, without Qt: the error sound is checked before it is handed to
// the system's sound service, which cannot be trusted to report a damaged file.

#include <cstdint>
#include <string>
#include <string_view>

namespace pekto {

// Checks that `bytes` hold a playable PCM wave file: a RIFF WAVE container whose "fmt " chunk
// (PCM, IEEE float or extensible; 1 to 8 channels, 1 to 32 bits, a non-zero sample rate) comes
// before its "data" chunk, every chunk up to "data" wholly inside the file. Returns an empty
// text when the file is playable, else what is wrong (UTF-8, Hungarian).
std::string WaveFileProblem(std::string_view bytes);

// The same check on the start of a file of `fileSize` bytes (at least the bytes up to the
// "data" chunk's header), so that a big file is judged without reading its sound.
std::string WaveFileProblem(std::string_view head, std::uint64_t fileSize);

// How much of a wave file WaveFileProblem needs: the chunks before the sound are far smaller.
inline constexpr std::uint64_t kWaveHeadBytes = 1024 * 1024;

}  // namespace pekto
