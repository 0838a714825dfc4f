#include "ui/Readme.h"

namespace pekto {

void ShowReadme(QWidget* /*owner*/) {}

}  // namespace pekto
