// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exclusive use of a shared file among programs: a lock file beside it ("Score.csv.lock" for
// "Score.csv") held from reading the file to writing it back, so that two programs changing it
// at the same moment do not lose each other's change. A lock left by a program that died is
// taken over, whatever it holds (also when the program died before writing its process id
// into it).

#include <QLockFile>
#include <filesystem>

namespace pekto {

class FileLock {
 public:
  // Waits up to `timeoutMs` for the lock of `file`; throws pekto::Error
  // "Cannot lock file "<lock file>". <reason>" when it cannot be had, and at once, naming what
  // stands there, when the lock file's name is taken by something that is no file (a folder).
  explicit FileLock(const std::filesystem::path& file, int timeoutMs = 10000);

  // The lock file of `file`.
  static std::filesystem::path LockPathOf(const std::filesystem::path& file);

 private:
  QLockFile lock_;
};

}  // namespace pekto
