#include "app/Icons.h"

namespace pekto {

QIcon CommandIcon(QStringView name) {
  return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

QIcon AppIcon() {
  return CommandIcon(u"pekto");
}

}  // namespace pekto
