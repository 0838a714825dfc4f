// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player dialog: asks for the player's name and keeps the list of known players.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/Form.h"
#include "platform/QtCollator.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace pekto {

struct SetAside;

// The trimmed name (Windows-1250) when the dialog was closed with OK, else the empty text.
std::string AskPlayerName(QWidget* owner);

// Adds `name` to `playerFile` unless it is listed, while holding the file's lock: the file is
// read again under the lock, so that a name another program stored meanwhile is kept. Returns
// whether the file was written. A damaged file is set aside as StorePlayerName does. Throws
// pekto::Error.
bool StorePlayerLocked(const std::filesystem::path& playerFile, std::string_view name,
                       const Collator& collator, SetAside* setAside = nullptr);

// The player dialog "Játékos": an editable name box with the known players in file order.
class Tfrm_Jatekos : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Jatekos(QWidget* owner);

  // The name box's text as typed (Windows-1250).
  std::string NameText() const;

  // Closing with OK stores a new name first.
  void accept() override;

 private:
  void FormCreate();
  void FormShow() override;
  void Button1Click();
  void ShowRefused(const QString& characters);

  QtCollator collator_;
  // False after the player file could not be read: storing a name then would replace the
  // file by a shorter list. A damaged file is set aside when a name is stored.
  bool mayStore_ = false;
  QLabel* caption_ = nullptr;  // sized to its text, as the font changes
  QComboBox* ComboBox1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* LabelHint = nullptr;   // why a typed character was refused
  QTimer* hintTimer_ = nullptr;  // hides the hint
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
};

}  // namespace pekto
