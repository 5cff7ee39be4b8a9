// Value and zoom arithmetic of the controls, without widgets.
#include "controls/dmxvalue.h"
#include "controls/stretch.h"
#include "tests/records.h"

#include <QtTest>

class TestControlMath : public QObject
{
    Q_OBJECT

private slots:
    void positionValue_data()
    {
        QTest::addColumn<int>("v1");
        QTest::addColumn<int>("v2");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("sent");
        QTest::newRow("plain") << 0 << 255 << 55 << 55;
        QTest::newRow("inverted 255..0") << 255 << 0 << 55 << 200;
        // value 1 - position, not value 1 + value 2 - position
        QTest::newRow("inverted 200..100") << 200 << 100 << 150 << 50;
        QTest::newRow("inverted at value 1") << 200 << 100 << 200 << 0;
        QTest::newRow("equal values are not inverted") << 80 << 80 << 80 << 80;
        // A range widened past value 1 by the input values never goes negative.
        QTest::newRow("inverted past value 1") << 200 << 10 << 250 << 0;
    }

    void positionValue()
    {
        QFETCH(int, v1);
        QFETCH(int, v2);
        QFETCH(int, position);
        QFETCH(int, sent);
        QCOMPARE(dmxvalue::positionValue(artnetOut(quint8(v1), quint8(v2)), position), sent);
    }

    void centerPosition_data()
    {
        QTest::addColumn<int>("v1");
        QTest::addColumn<int>("v2");
        QTest::addColumn<int>("center");
        QTest::newRow("0..255") << 0 << 255 << 127;
        QTest::newRow("255..0") << 255 << 0 << 127;
        // half the span, not the midpoint
        QTest::newRow("100..200") << 100 << 200 << 50;
        QTest::newRow("equal") << 80 << 80 << 80;
    }

    void centerPosition()
    {
        QFETCH(int, v1);
        QFETCH(int, v2);
        QFETCH(int, center);
        QCOMPARE(dmxvalue::centerPosition(artnetOut(quint8(v1), quint8(v2))), center);
    }

    void inputPosition()
    {
        SettingDmxInStruct in;
        in.dmx_in_value_1 = 0;
        in.dmx_in_value_2 = 255;
        QCOMPARE(dmxvalue::inputPosition(in, 40), 40);
        in.dmx_in_value_1 = 255;
        in.dmx_in_value_2 = 0;
        QCOMPARE(dmxvalue::inputPosition(in, 40), 215);
    }

    void encoderValue()
    {
        const SettingDmxStruct d = artnetOut(1, 2, 3);
        QCOMPARE(dmxvalue::encoderValue(d, -1, 10), quint8(3)); // first change
        QCOMPARE(dmxvalue::encoderValue(d, 10, 11), quint8(2)); // up
        QCOMPARE(dmxvalue::encoderValue(d, 11, 10), quint8(1)); // down
        QCOMPARE(dmxvalue::encoderValue(d, 10, 10), quint8(3)); // still
        QCOMPARE(dmxvalue::encoderValue(d, 255, 0), quint8(1)); // across the wrap point
        QCOMPARE(dmxvalue::encoderValue(d, 0, 255), quint8(2));
    }

    void shownGeometry()
    {
        QCOMPARE(stretch::shownRect(20, 20, 50, 50, 150), QRect(30, 30, 75, 75));
        QCOMPARE(stretch::shownRect(20, 20, 50, 50, 100), QRect(20, 20, 50, 50));
        // truncated: 33 * 150 / 100 = 49.5
        QCOMPARE(stretch::toShown(33, 150), 49);
        QCOMPARE(stretch::toShown(7, 10), 0);
    }

    void storedFromWindow()
    {
        // A window resized to 600 x 600 at 150 % stores 400 x 400.
        QCOMPARE(stretch::toStoredLength(600, 150), 400u);
        // Pasting at the window point (100, 60) at 200 % stores (50, 30).
        QCOMPARE(stretch::toStored(100, 200), qint64(50));
        QCOMPARE(stretch::toStored(60, 200), qint64(30));
        // Signed, truncated toward zero.
        QCOMPARE(stretch::toStored(-15, 200), qint64(-7));
        QCOMPARE(stretch::toStoredLength(-15, 200), 0u);
    }

    void hostileStretchAndSizes()
    {
        // A file may carry a stretch factor of 0: it reads as 100, both ways.
        QCOMPARE(stretch::toShown(50, 0), 50);
        QCOMPARE(stretch::toStored(50, 0), qint64(50));
        // Sizes that would overflow 32 bits stay within what a widget can take.
        QCOMPARE(stretch::toShown(0xFFFFFFFFu, 10000), int(stretch::MAX_SHOWN));
        QCOMPARE(stretch::toShown(4000000000u, 150), int(stretch::MAX_SHOWN));
        QCOMPARE(stretch::toStoredLength(std::numeric_limits<int>::max(), 1),
                 0xFFFFFFFFu); // clamped, not wrapped
    }
};

QTEST_APPLESS_MAIN(TestControlMath)
#include "tst_controlmath.moc"
