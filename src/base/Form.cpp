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

Form::Form(QWidget& window, const FormSpec& spec) : window_(window), spec_(spec) {}

bool Form::Show(const std::function<void()>& formShow) {
  if (shown_) return false;
  shown_ = true;
  return Guarded([&] {
    if (spec_.followsFullScreen && Beall.FullScreen) {
      // The whole window, its frame included, fills the work area as it is now.
      FillWorkArea(window_, CurrentWorkArea());
    } else if (spec_.resizable) {
      const QSize size = spec_.designSize.isEmpty() ? window_.size() : spec_.designSize;
      RestoreFormBounds(window_, spec_.section, size.width(), size.height());
    } else {
      RestoreFormPos(window_, spec_.section);
    }
    if (spec_.menus) ApplyMenuStyle(window_);
    // Controls with a font of their own keep it.
    window_.setFont(ScreenFont(window_.font()));
    if (formShow) formShow();
  });
}

void Form::Close() const {
  if (spec_.resizable) {
    StoreFormBounds(window_, spec_.section);
  } else {
    StoreFormPos(window_, spec_.section);
  }
}

FormDialog::FormDialog(QWidget* owner, const FormSpec& spec) : QDialog(owner), form_(*this, spec) {}

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
