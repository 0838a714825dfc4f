#include "results/JatekosMegad.h"

namespace pekto {

std::string AskPlayerName(QWidget*) {
  return {};
}

}  // namespace pekto
