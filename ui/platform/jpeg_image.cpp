#include "ui/platform/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

#include <QSaveFile>

namespace tarvolin::ui {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back to
// the caller's setjmp point with the message kept.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void exitWithError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (a truncated file, say) are not printed on the terminal.
void ignoreMessage(j_common_ptr) {}

void installErrorManager(ErrorManager& manager) {
  jpeg_std_error(&manager.base);
  manager.base.error_exit = exitWithError;
  manager.base.output_message = ignoreMessage;
  manager.message[0] = '\0';
}

}  // namespace

bool encodeJpeg(const QImage& image, int quality, QByteArray& jpeg, QString* error) {
  if (image.isNull()) {
    if (error) *error = QStringLiteral("empty picture");
    return false;
  }
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct info;
  ErrorManager manager;
  installErrorManager(manager);
  info.err = &manager.base;
  // Kept on the heap: locals changed after setjmp are indeterminate after the jump back.
  struct Output {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~Output() { std::free(buffer); }
  };
  const auto out = std::make_unique<Output>();
  if (setjmp(manager.jump)) {
    jpeg_destroy_compress(&info);
    if (error) *error = QString::fromLocal8Bit(manager.message);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &out->buffer, &out->size);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg = QByteArray(reinterpret_cast<const char*>(out->buffer), static_cast<qsizetype>(out->size));
  jpeg_destroy_compress(&info);
  return true;
}

bool writeJpegFile(const QImage& image, const QString& path, int quality, QString* error) {
  QByteArray jpeg;
  if (!encodeJpeg(image, quality, jpeg, error)) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() || !file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

QImage decodeJpeg(const QByteArray& jpeg) {
  if (jpeg.isEmpty()) return {};
  jpeg_decompress_struct info;
  ErrorManager manager;
  installErrorManager(manager);
  info.err = &manager.base;
  // On the heap for the same reason as the encoder's output buffer.
  const auto picture = std::make_unique<QImage>();
  if (setjmp(manager.jump)) {
    jpeg_destroy_decompress(&info);
    return {};
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()),
               static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  *picture = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
  if (picture->isNull()) {  // too large to hold
    jpeg_destroy_decompress(&info);
    return {};
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return *picture;
}

}  // namespace tarvolin::ui
