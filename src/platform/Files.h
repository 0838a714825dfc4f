// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File-system services: directory listing with wildcard masks, whole-file reading and
// all-or-nothing writing.

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Error.h"

namespace pekto {

// Appends to `list` the names (with extension, without folder, UTF-8) of the files that match
// `mask` (a folder plus a wildcard name with * and ?). The wildcard ignores letter case;
// folders and hidden entries are skipped (on Windows those with the hidden or system
// attribute, elsewhere names beginning with a dot). A missing folder appends nothing.
void ListFiles(const std::filesystem::path& mask, std::vector<std::string>& list);

// True when `name` matches the wildcard `pattern` (* any run, ? any one character),
// ASCII letters compared without regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The bytes at the start of a file, and the size of the whole file.
struct FileStart {
  std::string bytes;
  std::uintmax_t size = 0;
};

// A regular file opened for reading, closed with the object. Whether the file is a regular one
// is checked on the opened file, never by its name first, and the opening does not wait, so that
// a FIFO, a device or a link to one is refused at once instead of being waited on or read
// without end. Throws pekto::Error:
// - "Cannot open file "<path>". <reason>" when it cannot be opened, a folder included;
// - "A(z) "<path>" nem közönséges fájl, hanem <kind>, ezért nem olvasható be." for anything else
//   that is not a regular file.
class InputFile {
 public:
  explicit InputFile(const std::filesystem::path& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // The size when it was opened.
  std::uintmax_t Size() const { return size_; }
  // Reading goes on at `offset` bytes from the start.
  void Seek(std::uintmax_t offset);
  // At most `limit` bytes from where the reading stands; fewer only at the end of the file.
  std::string Read(std::uintmax_t limit);

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::uintmax_t size_ = 0;
  std::uintmax_t position_ = 0;
};

// Reads at most `limit` bytes from the start of a regular file; throws as InputFile.
FileStart ReadFileStart(const std::filesystem::path& path, std::uintmax_t limit);

// Thrown by ReadWholeFile for a file larger than its limit.
class FileTooBig : public Error {
 public:
  FileTooBig(const std::string& message, std::uintmax_t size) : Error(message), size_(size) {}
  std::uintmax_t Size() const { return size_; }

 private:
  std::uintmax_t size_;
};

// Reads a whole regular file as ReadFileStart does. A file larger than `limit` bytes is refused
// before a byte is read: FileTooBig "A(z) "<path>" túl nagy (<n> MB), legfeljebb <m> MB
// olvasható be."
std::string ReadWholeFile(const std::filesystem::path& path,
                          std::uintmax_t limit = std::numeric_limits<std::uintmax_t>::max());

// A size in whole megabytes (rounded up) with its unit: "64 MB".
std::string Megabytes(std::uintmax_t bytes);

// The system's text for an errno value.
std::string SystemMessage(int errorNumber);

// Writes `content` to a temporary file in the folder of `path`, flushes it to disk and renames
// it over `path`, so that `path` always holds either the old or the new whole content.
// The new file keeps the old one's permissions (on Windows its attributes). A file without write
// permission is not replaced. Returns false and sets `reason` (the system's message) when anything
// fails, and `culprit`, when given, to what could not be written: the file, or its folder when no
// new file can be made there; `path` is then unchanged and the temporary file removed.
// Derived data that can be made again takes `FileFlush::Later`: the system writes it when it will,
// and a crash may leave the file empty or cut, never mixed with other content.
enum class FileFlush { ToDisk, Later };
bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content,
                        std::string& reason, std::filesystem::path* culprit = nullptr,
                        FileFlush flush = FileFlush::ToDisk);

// Adds `content` at the end of the existing regular file `path` and flushes it to disk, as
// ReplaceFileContent does. A file without write permission is not written. Returns false and
// sets `reason` (the system's message) when anything fails; what was written of `content` is
// then cut off again where that can be done.
bool AppendFileContent(const std::filesystem::path& path, std::string_view content,
                       std::string& reason);

// ReplaceFileContent that throws pekto::Error "Cannot create file "<path>". <reason>" when it
// fails; `path` is then unchanged.
void WriteFileContent(const std::filesystem::path& path, std::string_view content);

// Renames a damaged `file` to "<name>.hibas-YYYYMMDD-HHMMSS" beside it (the local time; "-2",
// "-3", ... added while that name is taken) and returns the new path, so that the file is kept
// whole while a new one takes its place. Throws pekto::Error when it cannot be renamed.
std::filesystem::path SetAsideDamaged(const std::filesystem::path& file);

// The path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);
// A path from UTF-8 text, such as a name that ListFiles gave.
std::filesystem::path PathFromText(std::string_view utf8);

}  // namespace pekto
