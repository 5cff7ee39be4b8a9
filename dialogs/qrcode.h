// A QR code as a picture, for the address of the web remote: encoded by
// libqrencode as 8-bit text (UTF-8) with error correction level M, in the
// smallest version that holds it.
//
// Promises:
// - Dark modules black, light modules and the quiet zone white; the quiet
//   zone is QR_QUIET_ZONE modules wide on every side.
// - A square image of (modules + 2 * QR_QUIET_ZONE) * moduleSize pixels,
//   where modules is the code's width (21 for version 1, 4 more per
//   version), each module moduleSize x moduleSize pixels.
// - A null image for empty text, a moduleSize below 1, or text that does
//   not fit into a QR code at level M (more than 2331 bytes).
// - Pure: the same text and size give the same picture.
#pragma once

#include <QImage>
#include <QString>

constexpr int QR_QUIET_ZONE = 4;

QImage qrCodeImage(const QString &text, int moduleSize);
