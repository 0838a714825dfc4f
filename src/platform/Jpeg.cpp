// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <string>

#include <jpeglib.h>

#include "platform/Error.h"

namespace pekto {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the decoder, which then releases the decompressor. No C++ object with a destructor lives
// between the setjmp and the jump.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ExitWithError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->back, 1);
}

// Warnings (a damaged but readable stream) are not printed; the picture is shown as decoded.
void IgnoreMessage(j_common_ptr /*info*/) {}

// Fills `image`; false with `manager.message` set when libjpeg gave up.
bool Decode(const QByteArray& bytes, ErrorManager& manager, QImage& image) {
  jpeg_decompress_struct info{};
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = ExitWithError;
  manager.base.output_message = IgnoreMessage;
  if (setjmp(manager.back) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;  // grey and YCbCr pictures alike come out as RGB triples
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  if (image.isNull()) {  // too large to hold
    jpeg_destroy_decompress(&info);
    std::snprintf(manager.message, sizeof manager.message, "Picture too large");
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
  ErrorManager manager{};
  QImage image;
  if (bytes.isEmpty()) throw Error("Not a JPEG picture: no data");
  if (!Decode(bytes, manager, image)) {
    throw Error(std::string("Not a readable JPEG picture: ") + manager.message);
  }
  // The form every paint device draws fastest.
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace pekto
