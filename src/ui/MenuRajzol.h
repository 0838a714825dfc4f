#pragma once
// The program's own menu style: every menu bar, drop-down and context menu painted flat.

class QWidget;

namespace pekto {

// Switches every menu of `window` to the program's painting; applying it again changes nothing.
void ApplyMenuStyle(QWidget& window);

}  // namespace pekto
