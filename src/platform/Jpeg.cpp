// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <string>

#include <jpeglib.h>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include "platform/Error.h"

namespace pekto {
namespace {

// The entry points of libjpeg the decoder calls.
struct JpegCalls {
  decltype(&jpeg_std_error) std_error = nullptr;
  decltype(&jpeg_CreateDecompress) create_decompress = nullptr;
  decltype(&jpeg_destroy_decompress) destroy_decompress = nullptr;
  decltype(&jpeg_mem_src) mem_src = nullptr;
  decltype(&jpeg_read_header) read_header = nullptr;
  decltype(&jpeg_start_decompress) start_decompress = nullptr;
  decltype(&jpeg_read_scanlines) read_scanlines = nullptr;
  decltype(&jpeg_finish_decompress) finish_decompress = nullptr;
};

#ifdef _WIN32
// Linked with the program.
class JpegLibrary {
 public:
  const JpegCalls& Calls() const { return calls_; }

 private:
  JpegCalls calls_{jpeg_std_error,      jpeg_CreateDecompress, jpeg_destroy_decompress,
                   jpeg_mem_src,        jpeg_read_header,      jpeg_start_decompress,
                   jpeg_read_scanlines, jpeg_finish_decompress};
};
#else
#define PEKTO_STRINGIFY(x) #x
#define PEKTO_SONAME(version) "libjpeg.so." PEKTO_STRINGIFY(version)

// Opened for one picture and closed after it: the banner is decoded once a start (and again for
// the about box), and the library's half a megabyte would otherwise stay in memory all the run.
class JpegLibrary {
 public:
  JpegLibrary() : handle_(dlopen(PEKTO_SONAME(JPEG_LIB_VERSION), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr)
      throw Error(std::string("The JPEG library cannot be loaded: ") + dlerror());
    Find(calls_.std_error, "jpeg_std_error");
    Find(calls_.create_decompress, "jpeg_CreateDecompress");
    Find(calls_.destroy_decompress, "jpeg_destroy_decompress");
    Find(calls_.mem_src, "jpeg_mem_src");
    Find(calls_.read_header, "jpeg_read_header");
    Find(calls_.start_decompress, "jpeg_start_decompress");
    Find(calls_.read_scanlines, "jpeg_read_scanlines");
    Find(calls_.finish_decompress, "jpeg_finish_decompress");
  }
  ~JpegLibrary() { dlclose(handle_); }
  JpegLibrary(const JpegLibrary&) = delete;
  JpegLibrary& operator=(const JpegLibrary&) = delete;

  const JpegCalls& Calls() const { return calls_; }

 private:
  template <typename Function>
  void Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(handle_, name));
    if (function == nullptr) {
      dlclose(handle_);
      throw Error(std::string("The JPEG library lacks ") + name);
    }
  }

  void* handle_;
  JpegCalls calls_;
};
#endif

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
bool Decode(const JpegCalls& jpeg, const QByteArray& bytes, ErrorManager& manager, QImage& image) {
  jpeg_decompress_struct info{};
  info.err = jpeg.std_error(&manager.base);
  manager.base.error_exit = ExitWithError;
  manager.base.output_message = IgnoreMessage;
  if (setjmp(manager.back) != 0) {
    jpeg.destroy_decompress(&info);
    return false;
  }
  jpeg.create_decompress(&info, JPEG_LIB_VERSION, sizeof info);
  jpeg.mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
               static_cast<unsigned long>(bytes.size()));
  jpeg.read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;  // grey and YCbCr pictures alike come out as RGB triples
  jpeg.start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  if (image.isNull()) {  // too large to hold
    jpeg.destroy_decompress(&info);
    std::snprintf(manager.message, sizeof manager.message, "Picture too large");
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg.read_scanlines(&info, &row, 1);
  }
  jpeg.finish_decompress(&info);
  jpeg.destroy_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
  ErrorManager manager{};
  QImage image;
  if (bytes.isEmpty()) throw Error("Not a JPEG picture: no data");
  const JpegLibrary library;
  if (!Decode(library.Calls(), bytes, manager, image)) {
    throw Error(std::string("Not a readable JPEG picture: ") + manager.message);
  }
  // The form every paint device draws fastest.
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace pekto
