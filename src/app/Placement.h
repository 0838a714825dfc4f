#pragma once
// Window placement for the program's windows, in the settings file of this run.

#include <string_view>

#include "app/Seged.h"
#include "platform/IniFile.h"

class QWidget;

namespace pekto {

// The settings file of this run.
IniFile SettingsIni();

// Places a resizable window at its saved bounds (defaults: 10, 10 and the given size),
// clamped to the work area captured at start.
void RestoreFormBounds(QWidget& window, std::string_view section, int defaultWidth,
                       int defaultHeight);
// Places a fixed-size window at its saved position.
void RestoreFormPos(QWidget& window, std::string_view section);

void StoreFormBounds(const QWidget& window, std::string_view section);
void StoreFormPos(const QWidget& window, std::string_view section);

}  // namespace pekto
