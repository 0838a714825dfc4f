#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/Ascii.h"
#include "platform/Error.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace pekto {
namespace {

#ifndef _WIN32
bool IsHiddenName(const std::string& name) {
  return !name.empty() && name.front() == '.';
}
#endif

std::string TemporaryName(const fs::path& target) {
  std::random_device rd;
  return "." + PathText(target.filename()) + "." + std::to_string(rd() % 1000000) + ".tmp";
}

// A file the user has made read-only (no write permission for anyone, or none for us) is not
// written, even by an administrator who could.
bool IsWritableFile(const fs::path& path) {
  std::error_code ec;
  const fs::perms perms = fs::status(path, ec).permissions();
  if (ec) return true;  // the write itself reports what is wrong
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((perms & kWrite) == fs::perms::none) return false;
#ifndef _WIN32
  if (::access(PathText(path).c_str(), W_OK) != 0) return false;
#endif
  return true;
}

// The new file takes the old one's permissions (and, where we may, its owner), so that a
// rewrite does not open up or take over the user's file.
void CopyFileAttributes(const fs::path& from, const fs::path& to, std::FILE* file) {
  std::error_code ec;
  const fs::file_status status = fs::status(from, ec);
  if (ec || !fs::exists(status)) return;
  fs::permissions(to, status.permissions(), ec);
#ifndef _WIN32
  struct stat info {};
  if (::stat(PathText(from).c_str(), &info) == 0) {
    [[maybe_unused]] const int ignored = ::fchown(::fileno(file), info.st_uid, info.st_gid);
  }
#else
  (void)file;
  // What Windows keeps beside the permissions: hidden, system, archive and the like.
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(to.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  }
#endif
}

#ifdef _WIN32
// The errno value that tells the user what a Windows error means.
int ErrnoOf(DWORD windowsError) {
  switch (windowsError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

// Names that a directory listing leaves out: folders and what Windows marks hidden or system.
bool IsListedFile(const WIN32_FIND_DATAW& entry) {
  constexpr DWORD kSkipped =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (entry.dwFileAttributes & kSkipped) == 0;
}

// Lists through the system, which gives each entry's attributes with its name.
void ListMatchingFiles(const fs::path& folder, const std::string& pattern,
                       std::vector<std::string>& list) {
  WIN32_FIND_DATAW entry{};
  const fs::path all = folder / L"*";
  const HANDLE find = FindFirstFileExW(all.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsListedFile(entry)) continue;
    const std::string name = PathText(fs::path(entry.cFileName));
    if (WildcardMatch(pattern, name)) list.push_back(name);
  } while (FindNextFileW(find, &entry) != FALSE);
  FindClose(find);
}
#endif

// The local time as YYYYMMDD-HHMMSS.
std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

}  // namespace

std::string PathText(const fs::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathFromText(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string SystemMessage(int errorNumber) {
  return std::generic_category().message(errorNumber);
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with single back-tracking point for the last star: linear in practice.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void ListFiles(const fs::path& mask, std::vector<std::string>& list) {
  const fs::path folder = mask.parent_path().empty() ? fs::path(".") : mask.parent_path();
  const std::string pattern = PathText(mask.filename());
#ifdef _WIN32
  ListMatchingFiles(folder, pattern, list);
#else
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return;
    const std::string name = PathText(it->path().filename());
    if (IsHiddenName(name) || !WildcardMatch(pattern, name)) continue;
    std::error_code statusError;
    if (it->is_directory(statusError) || statusError) continue;
    list.push_back(name);
  }
#endif
}

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ec;
  if (!in || fs::is_directory(path, ec)) {
    const int err = errno != 0 ? errno : ENOENT;
    throw Error("Cannot open file \"" + PathText(path) + "\". " +
                SystemMessage(fs::is_directory(path, ec) ? EISDIR : err));
  }
  std::string content;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size > 0) {
    content.resize(static_cast<size_t>(size));
    in.seekg(0, std::ios::beg);
    in.read(content.data(), size);
    content.resize(static_cast<size_t>(in.gcount()));
  }
  return content;
}

fs::path SetAsideDamaged(const fs::path& file) {
  const std::string base = PathText(file.filename()) + ".hibas-" + LocalTimeStamp();
  fs::path target = file.parent_path() / PathFromText(base);
  std::error_code ec;
  for (int n = 2; fs::exists(fs::symlink_status(target, ec)); ++n) {
    target = file.parent_path() / PathFromText(base + "-" + std::to_string(n));
  }
  fs::rename(file, target, ec);
  if (ec) {
    throw Error("A sérült \"" + PathText(file) + "\" nem nevezhető át: " + ec.message());
  }
  return target;
}

bool ReplaceFileContent(const fs::path& path, std::string_view content, std::string& reason,
                        fs::path* culprit) {
  const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  const auto fail = [&](int err, const fs::path& cause) {
    reason = SystemMessage(err != 0 ? err : EIO);
    if (culprit != nullptr) *culprit = cause;
    return false;
  };
  std::error_code ec;
  const bool exists = fs::exists(path, ec);
  if (exists && !IsWritableFile(path)) return fail(EACCES, path);
  const fs::path temporary = folder / TemporaryName(path);
  errno = 0;
#ifdef _WIN32
  std::FILE* file = _wfopen(temporary.c_str(), L"wb");
#else
  std::FILE* file = std::fopen(PathText(temporary).c_str(), "wb");
#endif
  // The new content is made beside the file: when the file is there, a folder that takes no
  // new file is the cause.
  if (file == nullptr) return fail(errno != 0 ? errno : EACCES, exists ? folder : path);
  bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  ok = std::fflush(file) == 0 && ok;
#ifdef _WIN32
  ok = ok && _commit(_fileno(file)) == 0;
#else
  ok = ok && ::fsync(::fileno(file)) == 0;
#endif
  int err = errno;
  if (ok) CopyFileAttributes(path, temporary, file);
  ok = std::fclose(file) == 0 && ok;
  if (ok) {
#ifdef _WIN32
    // Replaces the old file in one step; the data is on the disk when the call returns.
    if (MoveFileExW(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
      return true;
    }
    err = ErrnoOf(GetLastError());
#else
    fs::rename(temporary, path, ec);
    if (!ec) return true;
    err = ec.value();
#endif
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
  return fail(err, path);
}

}  // namespace pekto
