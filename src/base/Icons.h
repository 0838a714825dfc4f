// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own icons, compiled in as resources and drawn from SVG at the size asked for.

#include <QIcon>
#include <QStringView>

namespace pekto {

// The icon of a command by its file name in the icon set ("megnyit", "befejez", ...).
QIcon CommandIcon(QStringView name);
QIcon AppIcon();
// Two chevrons pointing right (horizontal) or down, for the "more" buttons of bars.
QIcon ChevronIcon(bool horizontal);
// A picture drawn from an SVG resource at the given size.
QPixmap SvgPicture(const QString& path, const QSize& size);

}  // namespace pekto
