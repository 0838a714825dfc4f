// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <system_error>

#include "platform/Ascii.h"
#include "platform/Error.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <unistd.h>
#include <csignal>
#endif

namespace fs = std::filesystem;

namespace pekto {
namespace {

#ifndef _WIN32
bool IsHiddenName(const std::string& name) {
  return !name.empty() && name.front() == '.';
}
#endif

// ---- temporary files of a replacement ----------------------------------------------------------
//
// The new content of `name` is written to ".<name>.<pid>.<random>.tmp" beside it. A writer that
// was killed leaves its file behind; the next replacement of the same file removes it once its
// writer is gone (no process of that number runs) or it is older than any write takes. Files
// of programs that still run are left alone, so two programs may save at once.

using Native = fs::path::string_type;

// The longest file name: bytes on POSIX file systems, UTF-16 units on Windows.
constexpr size_t kNameMax = 255;
// What the temporary name adds around the file's name: "." before it, ".<pid>.<random>.tmp"
// after it, the pid up to 10 digits and the random part 6.
constexpr size_t kTemporaryExtra = 1 + 1 + 10 + 1 + 6 + 4;
constexpr auto kStaleAge = std::chrono::hours(1);

Native Widen(std::string_view ascii) {
  return Native(ascii.begin(), ascii.end());
}

// The file's name as the start of its temporary names, cut so that they fit into a file name
// (never inside a character).
Native TemporaryPrefix(const fs::path& target) {
  Native name = target.filename().native();
  if (name.size() > kNameMax - kTemporaryExtra) {
    size_t cut = kNameMax - kTemporaryExtra;
#ifdef _WIN32
    if (IS_LOW_SURROGATE(name[cut])) --cut;
#else
    for (int i = 0; i < 3 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80; ++i) --cut;
#endif
    name.resize(cut);
  }
  return Widen(".") + name + Widen(".");
}

unsigned long CurrentProcess() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
}

bool ProcessRuns(unsigned long pid) {
#ifdef _WIN32
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool runs = GetExitCodeProcess(process, &code) != FALSE && code == STILL_ACTIVE;
  CloseHandle(process);
  return runs;
#else
  if (pid == 0 || pid > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())) {
    return false;
  }
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

fs::path TemporaryPath(const fs::path& folder, const fs::path& target) {
  std::random_device rd;
  const std::string tail =
      std::to_string(CurrentProcess()) + "." + std::to_string(rd() % 1000000) + ".tmp";
  return folder / (TemporaryPrefix(target) + Widen(tail));
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writer of a temporary name "<pid>.<random>" (after the prefix, before ".tmp"); 0 for
// the names of earlier versions ("<random>") and anything else.
unsigned long WriterOf(std::string_view middle) {
  const size_t dot = middle.find('.');
  if (dot == std::string_view::npos || !AllDigits(middle.substr(dot + 1))) return 0;
  unsigned long pid = 0;
  const auto [end, error] = std::from_chars(middle.data(), middle.data() + dot, pid);
  return error == std::errc() && end == middle.data() + dot ? pid : 0;
}

bool IsStale(const fs::directory_entry& entry, unsigned long writer) {
  if (writer != 0 && writer != CurrentProcess() && !ProcessRuns(writer)) return true;
  std::error_code ec;
  const auto written = entry.last_write_time(ec);
  return !ec && fs::file_time_type::clock::now() - written > kStaleAge;
}

void RemoveStaleTemporaries(const fs::path& folder, const fs::path& target) {
  const Native prefix = TemporaryPrefix(target);
  const Native suffix = Widen(".tmp");
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const Native name = it->path().filename().native();
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix)) {
      continue;
    }
    const std::string middle =
        PathText(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
    if (!AllDigits(middle) && WriterOf(middle) == 0) continue;  // not a name of ours
    std::error_code ignored;
    if (it->is_regular_file(ignored) && IsStale(*it, WriterOf(middle))) {
      fs::remove(it->path(), ignored);
    }
  }
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

// ---- reading -----------------------------------------------------------------------------------

enum class FileKind { kRegular, kFolder, kPipe, kDevice, kSocket, kOther };

std::string KindName(FileKind kind) {
  switch (kind) {
    case FileKind::kPipe:
      return "csővezeték (FIFO)";
    case FileKind::kDevice:
      return "eszköz";
    case FileKind::kSocket:
      return "socket";
    default:
      return "különleges fájl";
  }
}

#ifdef _WIN32
int OpenForReading(const fs::path& path) {
  return _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
void CloseFile(int fd) {
  _close(fd);
}
long long ReadSome(int fd, char* to, size_t count) {
  return _read(fd, to, static_cast<unsigned>(count));
}
bool SeekTo(int fd, std::uintmax_t offset) {
  return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) >= 0;
}
int OpenForAppending(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_APPEND | _O_BINARY);
}
long long WriteSome(int fd, const char* from, size_t count) {
  return _write(fd, from, static_cast<unsigned>(count));
}
long long EndOf(int fd) {
  return _lseeki64(fd, 0, SEEK_END);
}
bool FlushToDisk(int fd) {
  return _commit(fd) == 0;
}
int DescriptorOf(std::FILE* file) {
  return _fileno(file);
}
FileKind KindOf(int fd, std::uintmax_t& size) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_PIPE:
      return FileKind::kPipe;
    case FILE_TYPE_CHAR:
      return FileKind::kDevice;
    default:
      return FileKind::kOther;
  }
  struct _stat64 info {};
  if (_fstat64(fd, &info) != 0) return FileKind::kOther;
  if ((info.st_mode & _S_IFDIR) != 0) return FileKind::kFolder;
  size = static_cast<std::uintmax_t>(info.st_size);
  return FileKind::kRegular;
}
#else
// Opened without waiting: a FIFO would otherwise block until a writer comes. The flag is taken
// off again once the file is known to be a regular one.
int OpenForReading(const fs::path& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
void CloseFile(int fd) {
  ::close(fd);
}
long long ReadSome(int fd, char* to, size_t count) {
  return ::read(fd, to, count);
}
bool SeekTo(int fd, std::uintmax_t offset) {
  return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}
// Never made: a file that has gone meanwhile is not to be started by an appended part.
int OpenForAppending(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
}
long long WriteSome(int fd, const char* from, size_t count) {
  return ::write(fd, from, count);
}
long long EndOf(int fd) {
  return ::lseek(fd, 0, SEEK_END);
}
bool FlushToDisk(int fd) {
  return ::fsync(fd) == 0;
}
int DescriptorOf(std::FILE* file) {
  return ::fileno(file);
}
FileKind KindOf(int fd, std::uintmax_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FileKind::kOther;
  if (S_ISDIR(info.st_mode)) return FileKind::kFolder;
  if (S_ISFIFO(info.st_mode)) return FileKind::kPipe;
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return FileKind::kDevice;
  if (S_ISSOCK(info.st_mode)) return FileKind::kSocket;
  if (!S_ISREG(info.st_mode)) return FileKind::kOther;
  size = static_cast<std::uintmax_t>(info.st_size);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return FileKind::kRegular;
}
#endif

[[noreturn]] void ThrowCannotOpen(const fs::path& path, int err) {
  throw Error("Cannot open file \"" + PathText(path) + "\". " + SystemMessage(err));
}

}  // namespace

// ---- the input file ----------------------------------------------------------------------------

InputFile::InputFile(const fs::path& path) : path_(path) {
  errno = 0;
  fd_ = OpenForReading(path);
  if (fd_ < 0) {
    const int err = errno != 0 ? errno : ENOENT;
    std::error_code ec;
    ThrowCannotOpen(path, fs::is_directory(path, ec) ? EISDIR : err);
  }
  const FileKind kind = KindOf(fd_, size_);
  if (kind == FileKind::kRegular) return;
  CloseFile(fd_);
  if (kind == FileKind::kFolder) ThrowCannotOpen(path, EISDIR);
  throw Error("A(z) \"" + PathText(path) + "\" nem közönséges fájl, hanem " + KindName(kind) +
              ", ezért nem olvasható be.");
}

InputFile::~InputFile() {
  CloseFile(fd_);
}

void InputFile::Seek(std::uintmax_t offset) {
  if (!SeekTo(fd_, offset)) ThrowCannotOpen(path_, errno != 0 ? errno : EINVAL);
  position_ = offset;
}

std::string InputFile::Read(std::uintmax_t limit) {
  // Room for what the file holds from here, then more as a growing file gives more.
  const std::uintmax_t expected = size_ > position_ ? size_ - position_ : 0;
  std::string bytes(static_cast<size_t>(std::min(expected, limit)), '\0');
  size_t filled = 0;
  while (filled < limit) {
    // Past the expected end a file most often has nothing more: a small room asks for that.
    if (filled == bytes.size()) {
      bytes.resize(filled + std::clamp(filled, std::size_t{4096}, std::size_t{1} << 16));
    }
    const auto wanted =
        static_cast<size_t>(std::min<std::uintmax_t>(bytes.size() - filled, limit - filled));
    const long long got = ReadSome(fd_, bytes.data() + filled, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowCannotOpen(path_, errno);
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  bytes.resize(filled);
  position_ += filled;
  return bytes;
}

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

std::string Megabytes(std::uintmax_t bytes) {
  constexpr std::uintmax_t kMega = 1024 * 1024;
  return std::to_string(bytes / kMega + (bytes % kMega != 0 ? 1 : 0)) + " MB";
}

FileStart ReadFileStart(const fs::path& path, std::uintmax_t limit) {
  InputFile file(path);
  return {file.Read(limit), file.Size()};
}

std::string ReadWholeFile(const fs::path& path, std::uintmax_t limit) {
  InputFile file(path);
  if (file.Size() > limit) {
    throw FileTooBig("A(z) \"" + PathText(path) + "\" túl nagy (" + Megabytes(file.Size()) +
                         "), legfeljebb " + Megabytes(limit) + " olvasható be.",
                     file.Size());
  }
  return file.Read(limit);
}

bool AppendFileContent(const fs::path& path, std::string_view content, std::string& reason) {
  const auto fail = [&reason](int err) {
    reason = SystemMessage(err != 0 ? err : EIO);
    return false;
  };
  if (!IsWritableFile(path)) return fail(EACCES);
  errno = 0;
  const int fd = OpenForAppending(path);
  if (fd < 0) return fail(errno);
  const long long end = EndOf(fd);
  size_t written = 0;
  int err = 0;
  while (written < content.size()) {
    const long long got = WriteSome(fd, content.data() + written, content.size() - written);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      err = got < 0 ? errno : ENOSPC;
      break;
    }
    written += static_cast<size_t>(got);
  }
  if (err == 0 && !FlushToDisk(fd)) err = errno != 0 ? errno : EIO;
  CloseFile(fd);
  if (err == 0) return true;
  if (end >= 0 && written > 0) {
    // A part of the content would stand at the end as a torn line.
    std::error_code ignored;
    fs::resize_file(path, static_cast<std::uintmax_t>(end), ignored);
  }
  return fail(err);
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
                        fs::path* culprit, FileFlush flush) {
  const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  const auto fail = [&](int err, const fs::path& cause) {
    reason = SystemMessage(err != 0 ? err : EIO);
    if (culprit != nullptr) *culprit = cause;
    return false;
  };
  std::error_code ec;
  const bool exists = fs::exists(path, ec);
  if (exists && !IsWritableFile(path)) return fail(EACCES, path);
  RemoveStaleTemporaries(folder, path);
  const fs::path temporary = TemporaryPath(folder, path);
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
  if (flush == FileFlush::ToDisk) ok = ok && FlushToDisk(DescriptorOf(file));
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

void WriteFileContent(const fs::path& path, std::string_view content) {
  std::string reason;
  if (!ReplaceFileContent(path, content, reason)) {
    throw Error("Cannot create file \"" + PathText(path) + "\". " + reason);
  }
}

}  // namespace pekto
