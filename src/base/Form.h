// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The contract every window of the program keeps. On its first showing a window takes its saved
// placement from its own section of the settings file (the position, and the size when the user
// may resize it), the interface font size and, when it has menus, the program's menu style; when
// it closes it saves its placement there again.
//
// Dialogs derive from FormDialog, which keeps the contract by itself; the main window holds a
// Form and calls it from its show and close handlers.

#include <QDialog>
#include <QFont>
#include <QSize>
#include <functional>
#include <string_view>

namespace pekto {

// What a window tells the contract about itself.
struct FormTraits {
  // The settings section of its placement: the window's component name ("frm_Top10").
  std::string_view section{};
  // The user may resize it: its size is saved and restored with its position.
  bool resizable = false;
  // The size a resizable window takes when none is saved; empty: the size it has when shown.
  QSize designSize{};
  // Its menu bar and context menus are painted in the program's menu style.
  bool menus = false;
  // It fills the work area instead of taking its saved placement while FullScreen is on.
  bool followsFullScreen = false;
};

// The interface font size in points: ScreenFontSize of the settings, its default while the
// settings have not been read.
int ScreenPointSize();
// `font` at the interface size.
QFont ScreenFont(QFont font);

class Form {
 public:
  // `window` must outlive the Form.
  Form(QWidget& window, const FormTraits& traits);

  // For the window's show handler. On the first showing only, places the window, gives it the
  // interface font and the menu style and then runs `formShow`, the window's own part, all
  // guarded. True when it did so and nothing failed.
  bool Show(const std::function<void()>& formShow);
  // Saves the placement; for the window's close handler, while the window is still shown. Throws
  // pekto::Error when the settings file cannot be written.
  void Close() const;

 private:
  QWidget& window_;
  FormTraits traits_;
  bool shown_ = false;
};

// A dialog window that keeps the contract. Every way of closing it (its buttons, Esc, the close
// box) passes through done(), which asks FormCloseQuery and saves the placement while the dialog
// is shown; the dialog closes even when the placement cannot be saved, after the error report.
class FormDialog : public QDialog {
  Q_OBJECT

 public:
  FormDialog(QWidget* owner, const FormTraits& traits);

 protected:
  // The dialog's own part of its first showing, after its placement, font and menu style.
  virtual void FormShow() {}
  // Whether the dialog may close now; false keeps it open.
  virtual bool FormCloseQuery() { return true; }

  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  Form form_;
};

}  // namespace pekto
