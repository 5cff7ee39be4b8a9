// The DMX-IN colour rule, checked without any widget.
#include "model/dmxincolor.h"
#include "tests/records.h"

#include <QtTest>

namespace
{

// A base colour, and the record's default colours 1 to 3.
const QColor kBase(12, 34, 56);
const QColor kColor1(255, 0, 127);
const QColor kColor2(127, 255, 0);
const QColor kColor3(0, 127, 255);

} // namespace

class TestDmxInColor : public QObject
{
    Q_OBJECT

private slots:
    void rule_data()
    {
        QTest::addColumn<SettingDmxInStruct>("settings");
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("expected");

        const SettingDmxInStruct up = artnetIn(0, 127, 255, true);
        const SettingDmxInStruct upNoFade = artnetIn(0, 127, 255, false);
        // Triggers win whether fading is on or not.
        QTest::newRow("fade, trigger 1") << up << 0 << kColor1;
        QTest::newRow("fade, trigger 2") << up << 127 << kColor2;
        QTest::newRow("fade, trigger 3") << up << 255 << kColor3;
        QTest::newRow("no fade, trigger 1") << upNoFade << 0 << kColor1;
        // f = 64/127: r = 0.496 * 255 + 0.504 * 127 = 190.49 -> 190 (truncated)
        QTest::newRow("fade, 64 mixes 1 and 2") << up << 64 << QColor(190, 128, 63);
        QTest::newRow("fade, 1 just above trigger 1") << up << 1 << QColor(253, 2, 126);
        // f = 73/128 between colours 2 and 3
        QTest::newRow("fade, 200 mixes 2 and 3") << up << 200 << QColor(54, 182, 145);
        QTest::newRow("fade, 254 just below trigger 3") << up << 254 << QColor(0, 128, 253);
        QTest::newRow("no fade, 64 is base") << upNoFade << 64 << kBase;

        const SettingDmxInStruct from100 = artnetIn(100, 200, 250, true);
        QTest::newRow("fade, below trigger 1 is base") << from100 << 99 << kBase;
        QTest::newRow("fade, halfway 100..200") << from100 << 150 << QColor(191, 127, 63);
        QTest::newRow("fade, above trigger 3 is base") << from100 << 251 << kBase;

        // Descending triggers: no mixing condition holds between them.
        const SettingDmxInStruct down = artnetIn(200, 100, 50, true);
        QTest::newRow("descending, trigger 2") << down << 100 << kColor2;
        QTest::newRow("descending, 75 is base") << down << 75 << kBase;
        QTest::newRow("descending, 150 is base") << down << 150 << kBase;

        // Equal triggers: the first matching one wins, and no division by zero.
        const SettingDmxInStruct same = artnetIn(100, 100, 100, true);
        QTest::newRow("equal triggers, match is colour 1") << same << 100 << kColor1;
        QTest::newRow("equal triggers, above is base") << same << 101 << kBase;
        const SettingDmxInStruct firstTwo = artnetIn(50, 50, 150, true);
        QTest::newRow("1 = 2, between 2 and 3 mixes 2 and 3")
            << firstTwo << 100 << QColor(63, 191, 127);
    }

    void rule()
    {
        QFETCH(SettingDmxInStruct, settings);
        QFETCH(int, value);
        QFETCH(QColor, expected);
        const QColor got = dmxInColor(value, settings, kBase);
        QCOMPARE(got.rgb(), expected.rgb());
        QCOMPARE(got.alpha(), 255);
    }

    void wideValuesCompareAsBytes()
    {
        const SettingDmxInStruct up = artnetIn(0, 127, 255, true);
        // 256 arrives as the byte 0, -1 as 255.
        QCOMPARE(dmxInColor(256, up, kBase), kColor1);
        QCOMPARE(dmxInColor(-1, up, kBase), kColor3);
        QCOMPARE(dmxInColor(256 + 64, up, kBase), dmxInColor(64, up, kBase));
    }

    void customColours()
    {
        SettingDmxInStruct s = artnetIn(100, 200, 250, true);
        s.dmx_in_color_red_1 = 10;
        s.dmx_in_color_green_1 = 20;
        s.dmx_in_color_blue_1 = 30;
        s.dmx_in_color_red_2 = 210;
        s.dmx_in_color_green_2 = 120;
        s.dmx_in_color_blue_2 = 30;
        QCOMPARE(dmxInColor(100, s, kBase), QColor(10, 20, 30));
        QCOMPARE(dmxInColor(150, s, kBase), QColor(110, 70, 30));
        QCOMPARE(dmxInColor(200, s, kBase), QColor(210, 120, 30));
    }
};

QTEST_APPLESS_MAIN(TestDmxInColor)
#include "tst_dmxincolor.moc"
