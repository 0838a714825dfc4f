#pragma once
// The header check of a wave file, without Qt: the error sound is checked before it is handed to
// the system's sound service, which cannot be trusted to report a damaged file.

#include <string>
#include <string_view>

namespace pekto {

// Checks that `bytes` hold a playable PCM wave file: a RIFF WAVE container whose "fmt " chunk
// (PCM, IEEE float or extensible; 1 to 8 channels, 1 to 32 bits, a non-zero sample rate) comes
// before its "data" chunk, every chunk up to "data" wholly inside the file. Returns an empty
// text when the file is playable, else what is wrong (UTF-8, Hungarian).
std::string WaveFileProblem(std::string_view bytes);

}  // namespace pekto
