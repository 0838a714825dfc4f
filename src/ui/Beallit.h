#pragma once
// The settings dialog "Beállítások": the look of the practice panes, full-screen start and the
// error sound.

class QWidget;

namespace pekto {

class TextPane;

// Shows the dialog filled from `upper` and the settings record; on OK applies the chosen look to
// both panes and the choices to the settings record. True when the dialog closed with OK.
bool ShowSettingsDialog(TextPane& upper, TextPane& lower, QWidget* owner);

}  // namespace pekto
