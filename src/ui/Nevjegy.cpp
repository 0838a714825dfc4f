#include "ui/Nevjegy.h"

namespace pekto {

void ShowAbout(QWidget* /*owner*/) {}

}  // namespace pekto
