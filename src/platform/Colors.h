// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as the settings file stores them: signed 32-bit, red in the low byte; negative values
// name system colours (0xFF000000 | index), shown in the matching palette colour.

#include <QColor>
#include <cstdint>
#include <initializer_list>

#include "platform/ColorValues.h"

namespace pekto {

QColor ColorFromValue(int32_t value);
// An RGB value for a colour picked by the user.
int32_t ValueFromColor(const QColor& color);
// The value to store for a colour shown as `color`: the first of `known` that shows so (a
// system colour read from the settings file or given as a default stays a system colour, and
// follows the desktop's colours), else its RGB value.
int32_t ValueFromColor(const QColor& color, std::initializer_list<int32_t> known);

}  // namespace pekto
