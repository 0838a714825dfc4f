// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Fontos információk": the fixed readme document.

#include "base/Form.h"

class QPlainTextEdit;
class QStatusBar;

namespace pekto {

// Shows the readme window modally.
void ShowReadme(QWidget* owner);

// The document the readme window shows.
QString ReadmeText();

class Tfrm_Readme : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Readme(QWidget* owner);

 private:
  void FormShow() override;

  QPlainTextEdit* Memo1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
};

}  // namespace pekto
