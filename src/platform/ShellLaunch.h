#pragma once
// Hands a document, a program or an address to the operating system's shell.

#include <QString>
#include <filesystem>
#include <functional>

namespace pekto {

// Opens `target` (a file path or a URL) with the shell, working folder `workDir`, and returns at
// once; a target that cannot be opened is left to the shell to report.
void ShellOpen(const QString& target, const std::filesystem::path& workDir);

// Receives what ShellOpen would hand to the shell instead of the shell, when set.
using ShellHook = std::function<void(const QString& target, const std::filesystem::path& workDir)>;

// Installs `hook` for the launches that follow (an empty hook removes it); returns the one it
// replaces. Tests record the launches this way without starting anything.
ShellHook SetShellHook(ShellHook hook);

}  // namespace pekto
