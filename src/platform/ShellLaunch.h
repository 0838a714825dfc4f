// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hands a document, a program or an address to the operating system's shell.

#include <QString>
#include <filesystem>
#include <functional>

namespace pekto {

// Opens `target` (a file path or a URL) with the shell, working folder `workDir`, and returns at
// once: false when nothing on the machine takes it (no desktop opener, no program for the kind
// of target); a target that the opener then fails to show is left to the opener to report.
bool ShellOpen(const QString& target, const std::filesystem::path& workDir);

// What the user is told when ShellOpen gave false (Hungarian).
QString NoOpenerMessage(const QString& target);

// Receives what ShellOpen would hand to the shell instead of the shell, when set.
using ShellHook = std::function<void(const QString& target, const std::filesystem::path& workDir)>;

// Installs `hook` for the launches that follow (an empty hook removes it); returns the one it
// replaces. Tests record the launches this way without starting anything.
ShellHook SetShellHook(ShellHook hook);

}  // namespace pekto
