#include "dialogs/qrcode.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

QImage qrCodeImage(const QString &text, int moduleSize)
{
    if (text.isEmpty() || moduleSize < 1)
        return QImage();
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return QImage();
    const int modules = code->width;
    const int side = (modules + 2 * QR_QUIET_ZONE) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb dark = qRgb(0, 0, 0);
    for (int row = 0; row < modules; ++row) {
        const int top = (row + QR_QUIET_ZONE) * moduleSize;
        for (int column = 0; column < modules; ++column) {
            // Bit 0 of each byte: the module is dark.
            if (!(code->data[row * modules + column] & 1))
                continue;
            const int left = (column + QR_QUIET_ZONE) * moduleSize;
            for (int y = top; y < top + moduleSize; ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                std::fill(line + left, line + left + moduleSize, dark);
            }
        }
    }
    return image;
}
