// The QR code picture: its size, its white quiet zone and the three finder
// patterns at the corners; text that cannot be encoded gives no picture.
#include "dialogs/qrcode.h"

#include <QtTest>

namespace
{

bool dark(const QImage &image, int moduleSize, int column, int row)
{
    const int half = moduleSize / 2;
    return image.pixel(column * moduleSize + half, row * moduleSize + half) == qRgb(0, 0, 0);
}

} // namespace

class TestQrCode : public QObject
{
    Q_OBJECT
private slots:
    void structure_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("moduleSize");
        QTest::addColumn<int>("modules"); // 0: no picture, -1: any version
        QTest::newRow("one character: version 1") << "A" << 1 << 21;
        QTest::newRow("an address") << "http://192.168.1.10:9080/" << 3 << -1;
        QTest::newRow("an IPv6 address") << "http://[fd00::1234:5678:9abc]:65535/" << 5 << -1;
        QTest::newRow("longest: version 40") << QString(2331, 'a') << 1 << 177;
        QTest::newRow("one byte too long") << QString(2332, 'a') << 1 << 0;
        QTest::newRow("empty") << "" << 4 << 0;
        QTest::newRow("module size 0") << "A" << 0 << 0;
    }

    void structure()
    {
        QFETCH(QString, text);
        QFETCH(int, moduleSize);
        QFETCH(int, modules);
        const QImage image = qrCodeImage(text, moduleSize);
        QCOMPARE(image.isNull(), modules == 0);
        if (modules == 0)
            return;
        QCOMPARE(image.width(), image.height());
        QCOMPARE(image.width() % moduleSize, 0);
        const int side = image.width() / moduleSize; // in modules, quiet zone included
        const int width = side - 2 * QR_QUIET_ZONE;
        if (modules > 0)
            QCOMPARE(width, modules);
        QVERIFY(width >= 21 && width <= 177 && (width - 21) % 4 == 0);

        // Only black and white; white all around the code.
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255));
                const int column = x / moduleSize, row = y / moduleSize;
                if (qMin(column, row) < QR_QUIET_ZONE || qMax(column, row) >= side - QR_QUIET_ZONE)
                    QCOMPARE(pixel, qRgb(255, 255, 255));
            }
        }
        // Finder patterns: a dark 7x7 ring, a light ring, a dark 3x3 core.
        const int far = side - QR_QUIET_ZONE - 7;
        for (const QPoint corner : {QPoint(QR_QUIET_ZONE, QR_QUIET_ZONE),
                                    QPoint(far, QR_QUIET_ZONE), QPoint(QR_QUIET_ZONE, far)}) {
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 7; ++column) {
                    const bool ring = qMax(qAbs(column - 3), qAbs(row - 3)) == 2;
                    QCOMPARE(dark(image, moduleSize, corner.x() + column, corner.y() + row), !ring);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestQrCode)
#include "tst_qrcode.moc"
