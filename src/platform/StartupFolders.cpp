// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up folders: the Qt-free half of the start-up values (Startup.cpp adds the work
// area, which needs the application object).

#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/Startup.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>
#endif

namespace fs = std::filesystem;

namespace pekto {

#ifdef _WIN32
fs::path LowerCasedPath(const fs::path& path) {
  std::wstring text = path.native();
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return fs::path(std::move(text));
}
#endif

std::optional<fs::path> SharedDataFolder() {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) !=
          S_OK ||
      buffer[0] == L'\0') {
    return std::nullopt;
  }
  return fs::path(buffer);
#else
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && *xdg != '\0' && fs::path(xdg).is_absolute()) return fs::path(xdg);
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return fs::path(home) / ".local" / "share";
  return std::nullopt;
#endif
}

// Where an installation puts the bundled files, relative to the program's folder; the build
// passes the layout it installs.
#ifndef PEKTO_BUNDLE_FROM_PROGRAM
#define PEKTO_BUNDLE_FROM_PROGRAM "../share/pekto"
#endif

StartupValues& Startup() {
  static StartupValues values;
  return values;
}

StartupValues ComputeFolders(const fs::path& programDir) {
  StartupValues values;
  values.ProgramDir = programDir;
  const auto shared = SharedDataFolder();
  values.DataDir = shared ? *shared / "Pekto" : programDir;
  values.SettingsFile = values.DataDir / "Pekto.ini";
  return values;
}

fs::path ExecutableFolder() {
#ifdef _WIN32
  // Long paths ("\\?\" names) can exceed MAX_PATH: grow the buffer until the name fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return LowerCasedPath(fs::path(buffer).parent_path());
#else
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
#endif
}

fs::path BundleFolder(const fs::path& programDir) {
  std::error_code ec;
  if (fs::is_directory(programDir / "Leckek", ec)) return programDir;
  const fs::path installed = (programDir / PEKTO_BUNDLE_FROM_PROGRAM).lexically_normal();
  if (fs::is_directory(installed, ec)) return installed;
  return programDir;
}

fs::path BundleDir() {
  return BundleFolder(Startup().ProgramDir);
}

void InitStartupFolders() {
  const WorkRect workArea = Startup().WorkArea;
  Startup() = ComputeFolders(ExecutableFolder());
  Startup().WorkArea = workArea;
}

void PrepareDataFolder(StartupValues& values) {
  std::error_code ec;
  const fs::path portable = values.ProgramDir / "pekto.ini";
  if (fs::exists(portable, ec)) {
    values.SettingsFile = portable;
    values.DataDir = values.ProgramDir;
  }
  fs::create_directories(values.DataDir, ec);
}

}  // namespace pekto
