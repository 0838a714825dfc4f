#include "results/Top10.h"

namespace pekto {

void ShowResults(const std::string&, int32_t, QWidget*) {}

}  // namespace pekto
