// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Process-wide start-up values: computed once when the program starts, read-only afterwards
// (the portable mode may redirect the data folder and settings file once).

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/WorkArea.h"

namespace pekto {

struct StartupValues {
  std::filesystem::path ProgramDir;    // folder of the executable
  std::filesystem::path DataDir;       // where settings, lessons and tables live
  std::filesystem::path SettingsFile;  // DataDir / "Pekto.ini"
  WorkRect WorkArea;                   // desktop work area as it was at start
  int32_t HighlightColor = 0xB9FFFF;
};

// The values of this run.
StartupValues& Startup();

// The folders for an executable in `programDir`: on Windows the common application-data
// folder + "\Pekto", elsewhere $XDG_DATA_HOME (default ~/.local/share) + "/Pekto"; the program
// folder when neither can be had.
StartupValues ComputeFolders(const std::filesystem::path& programDir);

// The folder of the running executable (lower-cased on Windows, where names ignore case).
std::filesystem::path ExecutableFolder();

// The folder under which the data folder "Pekto" lies: on Windows the shell's common
// application-data folder (data shared by all users), elsewhere $XDG_DATA_HOME or
// ~/.local/share; nothing when it cannot be had.
std::optional<std::filesystem::path> SharedDataFolder();

#ifdef _WIN32
// `path` lower-cased with the system's letter rules, accented letters included.
std::filesystem::path LowerCasedPath(const std::filesystem::path& path);
#endif

// The folder of the files that come with the program: the lessons "Leckek", the error sound
// "default.wav" and the help pages "Help". In the build tree, on Windows and in a portable copy
// they lie beside the program, which then holds "Leckek"; an installation under a prefix keeps
// them in the shared data folder (<prefix>/bin/pekto, <prefix>/share/pekto). The program
// folder when neither holds them.
std::filesystem::path BundleFolder(const std::filesystem::path& programDir);

// The bundle folder of this run's program folder.
std::filesystem::path BundleDir();

// Computes the folders of this run before the application object exists.
void InitStartupFolders();

// Portable mode: with a file "pekto.ini" beside the program, the program folder becomes the
// data folder and that file the settings file. Then creates the data folder with every missing
// parent; a failure is not reported (later file operations fail where they happen).
void PrepareDataFolder(StartupValues& values);

// Captures the desktop work area of the primary screen; needs the application object.
void CaptureWorkArea();

// The work area of the primary screen now.
WorkRect CurrentWorkArea();

// Hands the memory that the start used and freed back to the system, where the C library would
// keep it for later allocations (glibc does; elsewhere nothing). Call once the start is over.
void ReleaseStartupMemory();

}  // namespace pekto
