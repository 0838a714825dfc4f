#include "platform/FileLock.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/QtText.h"

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

}  // namespace

FileLock::FileLock(const fs::path& file, int timeoutMs) : lock_(FromPath(LockPathOf(file))) {
  if (!lock_.tryLock(timeoutMs)) {
    throw Error("Cannot lock file \"" + PathText(LockPathOf(file)) + "\". " +
                Reason(lock_.error(), LockPathOf(file)));
  }
}

fs::path FileLock::LockPathOf(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

}  // namespace pekto
