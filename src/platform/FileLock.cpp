#include "platform/FileLock.h"

#include <string>

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/QtText.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

std::string Reason(QLockFile::LockError error) {
  switch (error) {
    case QLockFile::LockFailedError:
      return "Another program is using the file";
    case QLockFile::PermissionError:
      return "Permission denied";
    default:
      return "Unknown error";
  }
}

}  // namespace

FileLock::FileLock(const fs::path& file, int timeoutMs) : lock_(FromPath(LockPathOf(file))) {
  if (!lock_.tryLock(timeoutMs)) {
    throw Error("Cannot lock file \"" + PathText(LockPathOf(file)) + "\". " +
                Reason(lock_.error()));
  }
}

fs::path FileLock::LockPathOf(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

}  // namespace pekto
