#pragma once
// "Fontos információk": the fixed readme document.

class QWidget;

namespace pekto {

// Shows the readme window modally.
void ShowReadme(QWidget* owner);

}  // namespace pekto
