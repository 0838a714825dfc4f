// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings dialog "Beállítások": the look of the practice panes, full-screen start and the
// error sound.

#include "base/Form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace pekto {

class TextPane;

// Shows the dialog filled from `upper` and the settings record; on OK applies the chosen look to
// both panes and the choices to the settings record. True when the dialog closed with OK.
bool ShowSettingsDialog(TextPane& upper, TextPane& lower, QWidget* owner);

// The dialog itself. Its sample pane holds the look being edited; nothing outside the dialog
// changes before Apply.
class Tfrm_Beallit : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Beallit(QWidget* owner);

  // Fills the controls from the settings record and the sample pane from the look of `upper`.
  void Fill(const TextPane& upper);
  // Stores the sound and full-screen choices in the settings record and gives both panes the
  // sample's look.
  void Apply(TextPane& upper, TextPane& lower) const;

 private:
  void CreateControls();
  void SetTabOrder();
  void FormShow() override;
  void BitBtn1Click();  // font
  void BitBtn2Click();  // selection background
  void BitBtn3Click();  // active-line colour
  void BitBtn4Click();  // background
  void BitBtn5Click();  // sound file
  void Button3Click();  // the default look

  QCheckBox* CheckBox1 = nullptr;  // "Megnyitáskor teljes képernyő"
  QPushButton* BitBtn1 = nullptr;  // "Betűtípus"
  QPushButton* BitBtn2 = nullptr;  // "Kijelölés színe"
  QPushButton* BitBtn3 = nullptr;  // "Aktív sor színe"
  QPushButton* BitBtn4 = nullptr;  // "Háttérszín"
  QCheckBox* CheckBox2 = nullptr;  // "Hibás leütésnél hang"
  QLabel* Label1 = nullptr;        // "Hang file"
  QLineEdit* Edit1 = nullptr;      // the sound file, filled only by BitBtn5
  QPushButton* BitBtn5 = nullptr;  // the folder button
  TextPane* SynEdit1 = nullptr;    // the sample
  QPushButton* Button1 = nullptr;  // "OK"
  QPushButton* Button2 = nullptr;  // "Mégsem"
  QPushButton* Button3 = nullptr;  // "Alapérték"
};

}  // namespace pekto
