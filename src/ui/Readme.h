#pragma once
// "Fontos információk": the fixed readme document.

#include <QDialog>

class QPlainTextEdit;
class QStatusBar;

namespace pekto {

// Shows the readme window modally.
void ShowReadme(QWidget* owner);

// The document the readme window shows.
QString ReadmeText();

class Tfrm_Readme : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Readme(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void FormShow();
  void FormClose();

  bool shown_ = false;
  QPlainTextEdit* Memo1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
};

}  // namespace pekto
