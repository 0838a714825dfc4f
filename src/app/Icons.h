#pragma once
// The program's own icons, compiled in as resources and drawn from SVG at the size asked for.

#include <QIcon>
#include <QStringView>

namespace pekto {

// The icon of a command by its file name in the icon set ("megnyit", "befejez", ...).
QIcon CommandIcon(QStringView name);
QIcon AppIcon();

}  // namespace pekto
