#pragma once
// The player dialog: asks for the player's name and keeps the list of known players.

#include <string>

class QWidget;

namespace pekto {

// The trimmed name (Windows-1250) when the dialog was closed with OK, else the empty text.
std::string AskPlayerName(QWidget* owner);

}  // namespace pekto
