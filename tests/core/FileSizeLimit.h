// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lowers the file-size limit of the process for its lifetime, so that writing a bigger file
// fails even for root (who ignores permissions, not this limit); SIGXFSZ is ignored meanwhile
// so that the write just reports EFBIG. Windows has no such limit: there the class does
// nothing, and tests that need it skip (kAvailable).

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <cstdint>

namespace pekto::test {

#ifndef _WIN32
class FileSizeLimit {
 public:
  static constexpr bool kAvailable = true;

  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};
#else
class FileSizeLimit {
 public:
  static constexpr bool kAvailable = false;
  explicit FileSizeLimit(uint64_t) {}
};
#endif

// The reason given by tests that skip without the limit.
inline constexpr const char* kNoFileSizeLimit = "this system has no per-process file-size limit";

}  // namespace pekto::test
