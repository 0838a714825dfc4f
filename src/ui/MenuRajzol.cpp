#include "ui/MenuRajzol.h"

namespace pekto {

void ApplyMenuStyle(QWidget& /*window*/) {}

}  // namespace pekto
