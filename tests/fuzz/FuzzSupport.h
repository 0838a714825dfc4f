// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the fuzz targets: the readers under test take paths, so each input is put
// into a file of this process first, in the temporary folder (./fuzz points TMPDIR at a
// memory-backed folder where the machine has one).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace pekto::fuzz {

// A broken promise of the code under test: reported as a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// A file named after the target and the process, removed when the process ends normally.
class ScratchFile {
 public:
  explicit ScratchFile(std::string_view name)
      : path_(std::filesystem::temp_directory_path() /
              ("pekto-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name))) {}
  ~ScratchFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Replaces the file's content by `bytes`.
  const std::filesystem::path& Write(std::string_view bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("cannot write the scratch file");
    return path_;
  }

 private:
  std::filesystem::path path_;
};

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace pekto::fuzz
