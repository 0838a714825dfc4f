#pragma once
// Colours as the settings file stores them: signed 32-bit, red in the low byte; negative values
// name system colours (0xFF000000 | index), shown in the matching palette colour.

#include <QColor>
#include <cstdint>

#include "platform/ColorValues.h"

namespace pekto {

QColor ColorFromValue(int32_t value);
// An RGB value for a colour picked by the user.
int32_t ValueFromColor(const QColor& color);

}  // namespace pekto
