#pragma once
// Hands a document, a program or an address to the operating system's shell.

#include <QString>
#include <filesystem>

namespace pekto {

// Opens `target` (a file path or a URL) with the shell, working folder `workDir`, and returns at
// once; a target that cannot be opened is left to the shell to report.
void ShellOpen(const QString& target, const std::filesystem::path& workDir);

}  // namespace pekto
