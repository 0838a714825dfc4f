#include "platform/Startup.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace pekto {
namespace {

std::optional<fs::path> SharedDataFolder() {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) !=
      S_OK) {
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

}  // namespace

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
  wchar_t buffer[32768] = {};
  GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  CharLowerW(buffer);
  return fs::path(buffer).parent_path();
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

WorkRect CurrentWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return WorkRect{0, 0, 1024, 768};
  const QRect area = screen->availableGeometry();
  return WorkRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

void CaptureWorkArea() {
  Startup().WorkArea = CurrentWorkArea();
}

}  // namespace pekto
