// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JPEG pictures decoded through libjpeg, so that showing one needs no image plug-in.

#include <QByteArray>
#include <QImage>

namespace pekto {

// Decodes the JPEG file held in `bytes` (baseline or progressive; grey, RGB or YCbCr) into an
// RGB image; throws pekto::Error with libjpeg's reason when the data is not a JPEG it can read.
QImage DecodeJpeg(const QByteArray& bytes);

}  // namespace pekto
