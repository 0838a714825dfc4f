#include "app/Placement.h"

#include <QWidget>

#include "platform/Startup.h"

namespace pekto {

IniFile SettingsIni() {
  return IniFile(Startup().SettingsFile);
}

void RestoreFormBounds(QWidget& window, std::string_view section, int defaultWidth,
                       int defaultHeight) {
  const FormBounds b =
      LoadFormBounds(SettingsIni(), section, defaultWidth, defaultHeight, Startup().WorkArea);
  window.move(b.Left, b.Top);
  window.resize(b.Width, b.Height);
}

void RestoreFormPos(QWidget& window, std::string_view section) {
  int32_t left = 0, top = 0;
  LoadFormPos(SettingsIni(), section, left, top);
  window.move(left, top);
}

void StoreFormBounds(const QWidget& window, std::string_view section) {
  IniFile ini = SettingsIni();
  SaveFormBounds(ini, section, FormBounds{window.x(), window.y(), window.width(), window.height()});
}

void StoreFormPos(const QWidget& window, std::string_view section) {
  IniFile ini = SettingsIni();
  SaveFormPos(ini, section, window.x(), window.y());
}

}  // namespace pekto
