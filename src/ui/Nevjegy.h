#pragma once
// "Névjegy": the about box.

class QWidget;

namespace pekto {

// Shows the about box modally.
void ShowAbout(QWidget* owner);

}  // namespace pekto
