#pragma once
// JPEG pictures of windows through libjpeg: "Save as Image..." encodes a child window's picture
// at quality 80; decoding serves the tests and the built-in picture viewer.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tarvolin::ui {

inline constexpr int kWindowImageQuality = 80;

// Baseline JPEG of the image (alpha dropped, 8-bit RGB); false with a reason when libjpeg fails.
bool encodeJpeg(const QImage& image, int quality, QByteArray& jpeg, QString* error = nullptr);

// Encodes and writes the file as a whole: a failed write leaves an existing file untouched.
bool writeJpegFile(const QImage& image, const QString& path, int quality, QString* error = nullptr);

// A null image when the bytes are not a JPEG libjpeg can read.
QImage decodeJpeg(const QByteArray& jpeg);

}  // namespace tarvolin::ui
