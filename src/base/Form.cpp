// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Form.h"

#include "base/MenuRajzol.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "platform/Guard.h"
#include "platform/Startup.h"

namespace pekto {

int ScreenPointSize() {
  return Beall.ScreenFontSize > 0 ? Beall.ScreenFontSize : kDefaultScreenFontSize;
}

QFont ScreenFont(QFont font) {
  font.setPointSize(ScreenPointSize());
  return font;
}

Form::Form(QWidget& window, const FormTraits& traits) : window_(window), traits_(traits) {}

bool Form::Show(const std::function<void()>& formShow) {
  if (shown_) return false;
  shown_ = true;
  return Guarded([&] {
    if (traits_.followsFullScreen && Beall.FullScreen) {
      // The whole window, its frame included, fills the work area as it is now.
      FillWorkArea(window_, CurrentWorkArea());
    } else if (traits_.resizable) {
      const QSize size = traits_.designSize.isEmpty() ? window_.size() : traits_.designSize;
      RestoreFormBounds(window_, traits_.section, size.width(), size.height());
    } else {
      RestoreFormPos(window_, traits_.section);
    }
    if (traits_.menus) ApplyMenuStyle(window_);
    // Controls with a font of their own keep it.
    window_.setFont(ScreenFont(window_.font()));
    if (formShow) formShow();
  });
}

void Form::Close() const {
  if (traits_.resizable) {
    StoreFormBounds(window_, traits_.section);
  } else {
    StoreFormPos(window_, traits_.section);
  }
}

FormDialog::FormDialog(QWidget* owner, const FormTraits& traits)
    : QDialog(owner), form_(*this, traits) {}

void FormDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  form_.Show([this] { FormShow(); });
}

void FormDialog::done(int result) {
  if (isVisible()) {
    bool mayClose = false;
    Guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) return;
    Guarded([this] { form_.Close(); });
  }
  QDialog::done(result);
}

}  // namespace pekto
