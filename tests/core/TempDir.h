// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh folder for one test, removed afterwards. Names are UTF-8, on Windows too.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace pekto::test {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("pekto-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / Utf8(name); }

  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    const auto file = path_ / Utf8(name);
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  static std::filesystem::path Utf8(std::string_view name) {
    return std::u8string(name.begin(), name.end());
  }

  std::filesystem::path path_;
};

}  // namespace pekto::test
