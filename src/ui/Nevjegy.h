// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Névjegy": the about box.

#include "base/Form.h"

class QFrame;
class QLabel;
class QPushButton;

namespace pekto {

// Shows the about box modally.
void ShowAbout(QWidget* owner);

class Tfrm_Nevjegy : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Nevjegy(QWidget* owner);

 private:
  void FormCreate();
  void FormShow() override;

  QLabel* Image1 = nullptr;        // the banner
  QFrame* Panel1 = nullptr;        // holds the labels below
  QLabel* Label1 = nullptr;        // product name and version
  QLabel* Label2 = nullptr;        // maker line
  QLabel* Label3 = nullptr;        // "Gépírás oktató program"
  QLabel* Label4 = nullptr;        // description
  QLabel* Label5 = nullptr;        // "Elérhetőség"
  QLabel* Label6 = nullptr;        // contact block
  QPushButton* Button1 = nullptr;  // "OK"
};

}  // namespace pekto
