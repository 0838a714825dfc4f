// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileLock.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/QtText.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace pekto {
namespace {

// QLockFile says only that it could not make its file, not why. The system's reason comes from
// making a small file of its own beside it ("Permission denied", "No space left on device",
// "Not a directory"), which is removed again at once.
std::string WriteFailureReason(const fs::path& folder) {
  const fs::path probe =
      folder / (".pekto-probe-" + std::to_string(QCoreApplication::applicationPid()));
  errno = 0;
  std::FILE* file = std::fopen(PathText(probe).c_str(), "wbx");
  if (file == nullptr) return SystemMessage(errno != 0 ? errno : EACCES);
  const char bytes[64] = {};
  bool ok = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes && std::fflush(file) == 0;
  int err = errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    err = errno;
  }
  std::error_code ignored;
  fs::remove(probe, ignored);
  return ok ? std::string("Unknown error") : SystemMessage(err != 0 ? err : EIO);
}

std::string Reason(QLockFile::LockError error, const fs::path& lockPath) {
  if (error == QLockFile::LockFailedError) return "Another program is using the file";
  return WriteFailureReason(lockPath.parent_path());
}

Error LockError(const fs::path& lockPath, const std::string& reason) {
  return Error("Cannot lock file \"" + PathText(lockPath) + "\". " + reason);
}

// What stands where the lock file belongs, when it is not a file; nothing for a file or nothing.
const char* OddEntryName(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory:
      return "egy mappa";
    case fs::file_type::symlink:
      return "egy szimbolikus hivatkozás";
    case fs::file_type::fifo:
      return "egy csővezeték (FIFO)";
    case fs::file_type::socket:
      return "egy socket";
    case fs::file_type::block:
    case fs::file_type::character:
      return "egy eszközfájl";
    case fs::file_type::regular:
    case fs::file_type::not_found:
    case fs::file_type::none:
      return nullptr;
    default:
      return "egy különleges fájl";
  }
}

// A lock path that is no file can never be locked, and waiting would not change that: it is
// named at once, with what stands there.
void RefuseOddLockPath(const fs::path& lockPath) {
  std::error_code ec;
  const char* odd = OddEntryName(fs::symlink_status(lockPath, ec).type());
  if (odd == nullptr) return;
  throw Error("A(z) \"" + PathText(lockPath) + "\" zárolófájl nem hozható létre: ezen a néven " +
              odd + " áll, nem fájl. Helyezze át vagy törölje, majd próbálja újra.");
}

// A lock made on another machine sharing the folder is that machine's to judge: its holder's
// hold may not reach this one. The lock file names the host on its third line.
bool NamesAnotherHost(const QByteArray& head) {
  const QList<QByteArray> lines = head.split('\n');
  return lines.size() > 2 && !lines[2].isEmpty() &&
         QString::fromUtf8(lines[2]) != QSysInfo::machineHostName();
}

#ifndef _WIN32
// A file younger than this may belong to a program that has made it but not yet locked it.
constexpr auto kFreshLock = std::chrono::seconds(2);

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool IsFresh(const struct stat& info) {
  const auto modified = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(info.st_mtim.tv_sec) +
          std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
  const auto age = std::chrono::system_clock::now() - modified;
  return age < kFreshLock;  // a time in the future counts as fresh
}

// Removes a lock file that no living program holds. The holder of a QLockFile keeps its file
// open under an exclusive flock() from the moment it made it until it removes it, and the system
// drops that flock when the holder dies. QLockFile itself takes over only a file that names a
// process that is gone, or one older than 30 s: a file left empty or half-written by a program
// killed before it wrote its process id, or one naming an id that another Pekto has been given
// since, would otherwise fail every recording for half a minute.
bool RemoveAbandonedLock(const fs::path& lockPath) {
  // QLockFile removes a stale lock while holding this one: one remover at a time.
  QLockFile removing(FromPath(lockPath) + QStringLiteral(".rmlock"));
  if (!removing.tryLock(0)) return false;
  const std::string name = PathText(lockPath);
  const Descriptor file(::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return false;
  struct stat opened = {};
  if (::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) || IsFresh(opened)) {
    return false;
  }
  char head[512] = {};
  const ssize_t size = ::pread(file.get(), head, sizeof head, 0);
  if (size > 0 && NamesAnotherHost(QByteArray(head, static_cast<qsizetype>(size)))) return false;
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return false;  // its holder lives
  // Under the flock nobody else removes the file, so the name still means the file opened
  // unless it had been replaced before.
  struct stat named = {};
  if (::lstat(name.c_str(), &named) != 0 || named.st_ino != opened.st_ino ||
      named.st_dev != opened.st_dev) {
    return false;
  }
  return ::unlink(name.c_str()) == 0;
}
#else
// Removes a lock file that no living program holds. The holder of a QLockFile keeps its file open
// from the moment it made it until it removes it, sharing reading only: while it lives the file
// cannot be deleted, and once it has died nothing keeps it. As on other systems, a file left
// empty by a program killed before it wrote its process id, or one naming an id that another
// program has been given since, is taken over at once rather than after half a minute. The
// holder makes the file with its handle open, so no age needs to be waited for.
bool RemoveAbandonedLock(const fs::path& lockPath) {
  QLockFile removing(FromPath(lockPath) + QStringLiteral(".rmlock"));
  if (!removing.tryLock(0)) return false;
  QFile file(FromPath(lockPath));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = file.read(512);
  file.close();
  if (NamesAnotherHost(head)) return false;
  return ::DeleteFileW(lockPath.c_str()) != 0;  // fails while its holder lives
}
#endif

}  // namespace

FileLock::FileLock(const fs::path& file, int timeoutMs) : lock_(FromPath(LockPathOf(file))) {
  const fs::path lockPath = LockPathOf(file);
  RefuseOddLockPath(lockPath);
  const QDeadlineTimer deadline(std::max(timeoutMs, 0));
  int pauseMs = 10;
  while (!lock_.tryLock(0)) {
    if (lock_.error() != QLockFile::LockFailedError) {
      throw LockError(lockPath, Reason(lock_.error(), lockPath));
    }
    if (RemoveAbandonedLock(lockPath)) continue;
    const auto remaining = deadline.remainingTime();
    if (remaining <= 0) {
      RefuseOddLockPath(lockPath);  // made while we waited
      throw LockError(lockPath, Reason(QLockFile::LockFailedError, lockPath));
    }
    QThread::msleep(static_cast<unsigned long>(std::min<qint64>(pauseMs, remaining)));
    pauseMs = std::min(pauseMs * 2, 200);
  }
}

fs::path FileLock::LockPathOf(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

}  // namespace pekto
