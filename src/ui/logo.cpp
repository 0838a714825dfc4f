#include "ui/logo.h"

namespace pekto {

void ShowSplash() {}

}  // namespace pekto
