#include "platform/ShellLaunch.h"

namespace pekto {

void ShellOpen(const QString& /*target*/, const std::filesystem::path& /*workDir*/) {}

}  // namespace pekto
