// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes an existing file `size` bytes long without taking that room on the disk (a sparse file),
// for tests of files far larger than any real one. On Windows std::filesystem::resize_file of
// MinGW first checks that the disk has the whole size free, and NTFS would reserve it: there the
// file is marked sparse and then extended. Throws std::system_error when it cannot be done.

#include <cstdint>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pekto::test {

inline void MakeHugeFile(const std::filesystem::path& file, std::uintmax_t size) {
#ifdef _WIN32
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "open");
  }
  DWORD returned = 0;  // a file system without sparse files extends the file all the same
  DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool extended = SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
  const auto error = static_cast<int>(GetLastError());
  CloseHandle(handle);
  if (!extended) throw std::system_error(error, std::system_category(), "extend");
#else
  std::filesystem::resize_file(file, size);
#endif
}

}  // namespace pekto::test
