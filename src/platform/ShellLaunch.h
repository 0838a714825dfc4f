// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hands a document, a program or an address to the operating system's shell.

#include <QString>
#include <filesystem>
#include <functional>

#ifdef _WIN32
struct _SHELLEXECUTEINFOW;  // shellapi.h
#endif

namespace pekto {

// Opens `target` (a file path or a URL) with the shell, working folder `workDir`, and returns at
// once: false when nothing on the machine takes it (no desktop opener, no program for the kind
// of target); a target that the opener then fails to show is left to the opener to report.
bool ShellOpen(const QString& target, const std::filesystem::path& workDir);

// What the user is told when ShellOpen gave false (Hungarian).
QString NoOpenerMessage(const QString& target);

// Receives what ShellOpen would hand to the shell instead of the shell, when set, and answers for
// it: false as when nothing on the machine takes the target.
using ShellHook = std::function<bool(const QString& target, const std::filesystem::path& workDir)>;

// Installs `hook` for the launches that follow (an empty hook removes it); returns the one it
// replaces. Tests record the launches this way without starting anything.
ShellHook SetShellHook(ShellHook hook);

#ifdef _WIN32
// Answers in the place of ShellExecuteExW, when set, as the system's call does: true when the
// shell took the request, false with the reason in GetLastError. Installed and removed as the
// hook above; tests see this way what the Windows shell is asked, and how its answers are taken.
using ShellExecuteCall = std::function<bool(_SHELLEXECUTEINFOW& info)>;
ShellExecuteCall SetShellExecuteCall(ShellExecuteCall call);
#endif

}  // namespace pekto
