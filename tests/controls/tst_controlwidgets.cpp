// The control widgets: what they emit when operated, how they follow input
// values, and how they blink.
#include "controls/controlwidget.h"
#include "controls/dmxdial.h"
#include "controls/dmxdialpush.h"
#include "controls/dmxpushbutton.h"
#include "controls/dmxslider.h"
#include "controls/dmxspin.h"
#include "controls/palette.h"
#include "model/dmxincolor.h"
#include "tests/records.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace
{

// The values of a spy on a (SettingDmxStruct, int) signal.
QList<int> values(const QSignalSpy &spy)
{
    QList<int> result;
    for (const QList<QVariant> &args : spy)
        result << args.at(1).toInt();
    return result;
}

SettingDmxStruct record(const QSignalSpy &spy, int index)
{
    return spy.at(index).at(0).value<SettingDmxStruct>();
}

// A clock the test moves by hand.
struct ManualClock {
    qint64 now = 10000;
    ControlClock fn()
    {
        return [this] { return now; };
    }
};

// A point 40 px from the centre of a 100x100 dial, at a clock hour.
QPoint atHour(double hour)
{
    const double angle = M_PI / 2 - hour * M_PI / 6;
    return QPoint(50 + qRound(40 * std::cos(angle)), 50 - qRound(40 * std::sin(angle)));
}

// Drags along the circle from hour `from` to `to` in steps of 7.5 degrees.
void dragAround(QWidget *w, double from, double to)
{
    const int steps = qAbs(qRound((to - from) * 4));
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(w, atHour(from + (to - from) * i / steps));
}

QTimer *blinkTimer(QWidget *w)
{
    return w->findChild<QTimer *>(QStringLiteral("blinkTimer"));
}

void tick(QWidget *w)
{
    QVERIFY(QMetaObject::invokeMethod(w, "slotBlinking"));
}

// The console's output slots, recording every value sent.
class RecordingConsole : public QWidget
{
    Q_OBJECT
public:
    QList<int> sent;
public slots:
    void slotControlPushClicked(SettingDmxStruct, int v) { sent << v; }
    void slotControlSliderChanged(SettingDmxStruct, int v) { sent << v; }
    void slotControlPotiChanged(SettingDmxStruct, int v) { sent << v; }
};

} // namespace

class TestControlWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Two clicks: a push button sends its second value on press and its first on
    // release; a switch sends on the press that turns it on and on the release
    // that turns it off.
    void pushAndSwitch_data()
    {
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<QList<int>>("sent");    // after press, release, press, release
        QTest::addColumn<QList<int>>("current"); // after each release
        QTest::newRow("push") << false << QList<int>{200, 10, 200, 10} << QList<int>{10, 10};
        QTest::newRow("switch") << true << QList<int>{200, 200, 200, 10} << QList<int>{200, 10};
    }

    void pushAndSwitch()
    {
        QFETCH(bool, checkable);
        QFETCH(QList<int>, sent);
        QFETCH(QList<int>, current);
        DmxPushButton b(QStringLiteral("Go"));
        b.setCheckable(checkable);
        b.resize(60, 30);
        b.show();
        b.setDmx(artnetOut(10, 200));
        QSignalSpy spy(&b, SIGNAL(clicked(SettingDmxStruct, int)));
        QCOMPARE(b.currentValue(), quint8(10));
        for (int click = 0; click < 2; ++click) {
            QTest::mousePress(&b, Qt::LeftButton);
            QCOMPARE(values(spy).last(), sent[2 * click]);
            QTest::mouseRelease(&b, Qt::LeftButton);
            QCOMPARE(values(spy).last(), sent[2 * click + 1]);
            QCOMPARE(b.currentValue(), quint8(current[click]));
            QCOMPARE(b.isChecked(), checkable && click == 0);
        }
        QCOMPARE(spy.count(), checkable ? 2 : 4);
        QCOMPARE(record(spy, 0), artnetOut(10, 200));

        // Removing the output silences the button.
        b.setDmx(static_cast<const SettingDmxStruct *>(nullptr));
        QTest::mouseClick(&b, Qt::LeftButton);
        QCOMPARE(spy.count(), checkable ? 2 : 4);
    }

    // Moves from outside the window (the web remote) go where the user's own
    // go, and the view tells the state they leave, also on the way back.
    // Steps: "d"/"u" finger down/up, "sN" position N, "b" a spring-back tick.
    void remoteMoves_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<int>("position"); // -1: none
        QTest::addColumn<int>("down");     // -1: none, 0 up/off, 1 held/on
        QTest::newRow("push") << int(CT_BUTTON_PUSH) << "push" << QStringList{"d", "d", "u", "u"}
                              << QList<int>{200, 10} << -1 << 0;
        QTest::newRow("push held")
            << int(CT_BUTTON_PUSH) << "push" << QStringList{"d"} << QList<int>{200} << -1 << 1;
        QTest::newRow("switch on") << int(CT_BUTTON_SWITCH) << "switch" << QStringList{"d", "u"}
                                   << QList<int>{200} << -1 << 1;
        QTest::newRow("switch off again")
            << int(CT_BUTTON_SWITCH) << "switch" << QStringList{"d", "u", "d", "u"}
            << QList<int>{200, 10} << -1 << 0;
        QTest::newRow("fader up and down")
            << int(CT_FADER_VERTICAL) << "fader" << QStringList{"s150", "s20"}
            << QList<int>{150, 20} << 20 << -1;
        QTest::newRow("fader clamps") << int(CT_FADER_VERTICAL) << "fader" << QStringList{"s999"}
                                      << QList<int>{200} << 200 << -1;
        QTest::newRow("pitch held stays")
            << int(CT_PITCH_BEND_VERTICAL) << "pitch" << QStringList{"d", "s180", "b"}
            << QList<int>{180} << 180 << -1;
        QTest::newRow("spin") << int(CT_DIRECT_VALUE) << "spin" << QStringList{"s42"}
                              << QList<int>{42} << 42 << -1;
        QTest::newRow("knob") << int(CT_KNOB) << "knob" << QStringList{"s100"} << QList<int>{100}
                              << 100 << -1;
        QTest::newRow("encoder switch on and off")
            << int(CT_ENCODER_SWITCH) << "encoder_switch" << QStringList{"d", "u", "d", "u"}
            << QList<int>{200, 10} << 0 << 0;
        QTest::newRow("led takes nothing")
            << int(CT_LED) << "led" << QStringList{"d", "u", "s5"} << QList<int>{} << -1 << -1;
        QTest::newRow("label") << int(CT_LABEL) << "label" << QStringList{"d"} << QList<int>{} << -1
                               << -1;
    }

    void remoteMoves()
    {
        QFETCH(int, type);
        QFETCH(QString, kind);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, sent);
        QFETCH(int, position);
        QFETCH(int, down);
        RecordingConsole console;
        SettingStruct r;
        r.control_type = quint8(type);
        r.dmx_out = artnetOut(10, 200);
        r.dmx_out_advanced = artnetOut(10, 200, 127, 1);
        std::unique_ptr<ControlWidget> c =
            createControlWidget(r, &console, &console, QSize(r.size_x, r.size_y));
        QVERIFY(c);
        int told = 0;
        c->watch([&told] { ++told; });
        console.sent.clear();
        for (const QString &step : steps) {
            if (step == QLatin1String("b"))
                c->springBack();
            else if (step.startsWith(QLatin1Char('s')))
                c->setPosition(step.mid(1).toInt());
            else
                c->press(step == QLatin1String("d"));
        }
        QCOMPARE(console.sent, sent);
        const RemoteView view = c->remoteView();
        QCOMPARE(QString::fromLatin1(view.kind), kind);
        QCOMPARE(view.position.value_or(-1), position);
        QCOMPARE(view.down ? int(*view.down) : -1, down);
        // Whatever moved, the watcher heard of it.
        QCOMPARE(told > 0, !sent.isEmpty());
    }

    // The clock's time and a new colour reach the watcher too.
    void remoteWatchesTimeAndColour()
    {
        SilentConsole console;
        SettingStruct r;
        r.control_type = CT_TIME;
        std::unique_ptr<ControlWidget> clock = createControlWidget(r, &console, &console, QSize());
        int told = 0;
        clock->watch([&told] { ++told; });
        clock->takeTime(QStringLiteral("12:00:01"));
        QCOMPARE(told, 1);
        clock->takeTime(QStringLiteral("12:00:01"));
        QCOMPARE(told, 1);
        QCOMPARE(clock->remoteView().text.value_or(QString()), QStringLiteral("12:00:01"));
        applyColorPalette(clock->widget(), QColor(1, 2, 3));
        QVERIFY(told > 1);
        QCOMPARE(clock->remoteView().color, QColor(1, 2, 3));
        // Watching nothing any more: nobody is called.
        clock->watch({});
        told = 0;
        clock->takeTime(QStringLiteral("12:00:02"));
        QCOMPARE(told, 0);
    }

    void buttonInputColour()
    {
        DmxPushButton b(QStringLiteral("LED"));
        b.setEnabled(false);
        const QColor base(10, 20, 30);
        b.setBaseColor(base);

        // Without an input every value shows the base colour.
        b.setDmxInColor(0);
        QCOMPARE(b.palette().color(QPalette::Button), base);

        const SettingDmxInStruct s = artnetIn(0, 127, 255, true);
        b.setDmxIn(s);
        b.setDmxInColor(64);
        QCOMPARE(b.palette().color(QPalette::Button), dmxInColor(64, s, base));

        SettingDmxInStruct noFade = s;
        noFade.dmx_in_color_fade = 0;
        b.setDmxIn(noFade);
        b.setDmxInColor(64);
        QCOMPARE(b.palette().color(QPalette::Button), base);

        // The push encoder shows its input the same way, on white.
        DmxDialPush d;
        d.setDmxInColor(5);
        QCOMPARE(d.palette().color(QPalette::Button), QColor(Qt::white));
        d.setDmxIn(artnetIn(0, 127, 255, false));
        d.setDmxInColor(255);
        QCOMPARE(d.palette().color(QPalette::Button), QColor(0, 127, 255));

        // A palette from one colour: fields take the window's colour.
        const QPalette p = paletteFromColor(base);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(p.color(group, QPalette::Base), p.color(QPalette::Window));
    }

    void buttonCaptionAndPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("picture"); // empty: none
        QTest::newRow("ampersand") << "A & B" << QSize(80, 40) << QSize();
        QTest::newRow("too wide") << "AN LED 0 caption" << QSize(60, 40) << QSize();
        QTest::newRow("lines too wide") << "Push button\nBlue & green" << QSize(60, 60) << QSize();
        QTest::newRow("too many lines") << "1\n2\n3\n4\n5\n6" << QSize(60, 40) << QSize();
        QTest::newRow("big picture") << "Go" << QSize(60, 60) << QSize(64, 64);
        QTest::newRow("wide picture") << "Go\nA & B" << QSize(60, 80) << QSize(128, 32);
        QTest::newRow("small picture") << "Go" << QSize(80, 80) << QSize(16, 16);
    }

    void buttonCaptionAndPicture()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QSize, picture);
        DmxPushButton b(name);
        b.resize(size);
        QPixmap pixmap(picture.isEmpty() ? QSize(1, 1) : picture);
        b.setIcon(picture.isEmpty() ? QIcon() : QIcon(pixmap));
        b.setIconSize(size);
        QCOMPARE(b.text(), name);
        const QStringList lines = name.split(QLatin1Char('\n')), shown = b.shownLines();
        const QRect caption = b.captionRect(), icon = b.iconRect();
        const QFontMetrics metrics = b.fontMetrics();
        QVERIFY(b.rect().contains(caption) && !shown.isEmpty() && shown.size() <= lines.size());
        for (int i = 0; i < shown.size(); ++i) {
            // Whole where it fits, else cut before an ellipsis, as is the last
            // line shown when lines were left out.
            const bool whole = metrics.horizontalAdvance(lines.at(i)) <= caption.width() &&
                               (i + 1 < shown.size() || shown.size() == lines.size());
            QVERIFY(metrics.horizontalAdvance(shown.at(i)) <= caption.width());
            QVERIFY(whole ? shown.at(i) == lines.at(i)
                          : shown.at(i).endsWith(QChar(0x2026)) &&
                                lines.at(i).startsWith(shown.at(i).chopped(1)));
        }
        QCOMPARE(icon.isEmpty(), picture.isEmpty());
        if (icon.isEmpty())
            return;
        QVERIFY(b.rect().contains(icon) && !icon.intersects(caption));
        QVERIFY(qAbs(icon.width() * picture.height() - icon.height() * picture.width()) <=
                qMax(picture.width(), picture.height())); // aspect ratio kept
        // As large as allowed: its own size, the full width, or down from the
        // top margin (as wide as the left one) to the name.
        QVERIFY(icon.size() == picture || icon.width() >= caption.width() - 1 ||
                icon.top() <= caption.left() + 1);
    }

    void ampersandIsNoShortcut()
    {
        DmxPushButton b(QStringLiteral("Rock&Roll"));
        b.setDmx(artnetOut(10, 200));
        b.show();
        QVERIFY(QTest::qWaitForWindowActive(&b));
        QSignalSpy spy(&b, SIGNAL(clicked(SettingDmxStruct, int)));
        QTest::keyClick(&b, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(spy.count(), 0);
    }

    void faderSendsPosition()
    {
        DmxSlider s(Qt::Vertical);
        s.setRange(100, 200);
        s.setDmx(artnetOut(200, 100));
        QSignalSpy spy(&s, SIGNAL(valueChangedSlider(SettingDmxStruct, int)));
        s.setValue(150);
        QCOMPARE(values(spy), QList<int>{50});
        QCOMPARE(record(spy, 0), artnetOut(200, 100));
        QCOMPARE(int(s.currentValue()), 50);
        // A centre start moves it as a user would, and switched off goes back.
        s.setRange(0, 255);
        s.setDmx(artnetOut(255, 0));
        s.setCenterStart(true);
        QVERIFY(s.centerStart());
        QCOMPARE(s.value(), 127);
        QCOMPARE(values(spy).last(), 128);
        s.setCenterStart(false);
        QCOMPARE(s.value(), 0);
    }

    void centreFaderSendsAdvancedValueAtCentre()
    {
        DmxSlider s(Qt::Horizontal);
        s.setRange(0, 255);
        s.setDmx(artnetOut(0, 255, 127, 5));
        const SettingDmxStruct advanced = artnetOut(77, 0, 0, 9);
        s.setDmxAdvanced(advanced);
        QCOMPARE(s.centerValue(), 127);
        QSignalSpy spy(&s, SIGNAL(valueChangedSlider(SettingDmxStruct, int)));

        s.setValue(126);
        QCOMPARE(values(spy), QList<int>{126});
        s.setValue(127); // the main value, then the centre output
        QCOMPARE(values(spy), (QList<int>{126, 127, 77}));
        QCOMPARE(record(spy, 1).dmx_channel, quint16(5));
        QCOMPARE(record(spy, 2), advanced);
        s.setValue(128);
        QCOMPARE(values(spy), (QList<int>{126, 127, 77, 128}));

        // Without the advanced output the centre is passed silently.
        s.setDmxAdvanced(static_cast<const SettingDmxStruct *>(nullptr));
        spy.clear();
        s.setValue(127);
        QCOMPARE(values(spy), QList<int>{127});
    }

    // The hold-off starts with a move of the user's only, never with one the
    // input made. A value held off (the very first input too) applies once
    // the second is over.
    void faderHoldOff_data()
    {
        QTest::addColumn<bool>("inputBefore"); // inputs arrived before the test's
        QTest::addColumn<bool>("userFirst");   // else the input moves it first
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<int>("shown"); // at once after the second input
        QTest::newRow("user move, input at 0.5 s") << true << true << 500 << 10;
        QTest::newRow("user move, first input at 0.5 s") << false << true << 500 << 10;
        QTest::newRow("user move, input at 1.1 s") << true << true << 1100 << 100;
        QTest::newRow("input, input at 0.1 s") << true << false << 100 << 100;
    }

    void faderHoldOff()
    {
        QFETCH(bool, inputBefore);
        QFETCH(bool, userFirst);
        QFETCH(int, afterMs);
        QFETCH(int, shown);
        ManualClock clock;
        DmxSlider s(Qt::Vertical);
        s.setClock(clock.fn());
        s.setRange(0, 255);
        s.setDmx(artnetOut(0, 255));
        if (inputBefore) {
            s.setDmxInValue(50); // no input: nothing
            QCOMPARE(s.value(), 0);
            s.setDmxIn(artnetIn(255, 0)); // inverted
            s.setDmxInValue(50);
            QCOMPARE(s.value(), 205);
        }
        s.setDmxIn(artnetIn(0, 255));
        QSignalSpy spy(&s, SIGNAL(valueChangedSlider(SettingDmxStruct, int)));

        if (userFirst)
            s.setValue(10);
        else
            s.setDmxInValue(10);
        clock.now += afterMs;
        s.setDmxInValue(100);
        QCOMPARE(s.value(), shown);
        clock.now += 1000;
        QTRY_COMPARE(s.value(), 100);
        QCOMPARE(values(spy), (QList<int>{10, 100})); // input moves emit like user moves
    }

    void springBackSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("positions");
        // Centre 127 (values 0 and 255).
        QTest::newRow("100 above") << 227 << QList<int>{226, 225, 224, 223, 222};
        QTest::newRow("100 below") << 27 << QList<int>{28, 29, 30, 31, 32};
        QTest::newRow("30 above") << 157 << QList<int>{156, 155, 154};
        QTest::newRow("15 above") << 142 << QList<int>{141, 140};
        QTest::newRow("1 above") << 128 << QList<int>{127};
        QTest::newRow("at centre") << 127 << QList<int>{};
    }

    void springBackSteps()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, positions);
        DmxSlider s(Qt::Vertical);
        s.setRange(0, 255);
        s.setValue(start);
        s.setDmx(artnetOut(0, 255));
        QSignalSpy spy(&s, SIGNAL(valueChangedSlider(SettingDmxStruct, int)));
        s.springBack();
        QCOMPARE(values(spy), positions); // one emission per step
    }

    void springBackWaitsForRelease()
    {
        DmxSlider s(Qt::Vertical);
        s.setRange(0, 255);
        s.setDmx(artnetOut(0, 255));
        s.setValue(200);
        s.setSliderDown(true);
        s.springBack();
        QCOMPARE(s.value(), 200);
        s.setSliderDown(false);
        s.springBack();
        QCOMPARE(s.value(), 200 - 4);
        // Repeated calls reach the centre and stay there.
        for (int i = 0; i < 100; ++i)
            s.springBack();
        QCOMPARE(s.value(), 127);
    }

    void dialSends()
    {
        DmxDial knob;
        knob.setWrapping(false);
        knob.setRange(0, 255);
        knob.setDmx(artnetOut(255, 0));
        QSignalSpy knobSpy(&knob, SIGNAL(valueChangedDial(SettingDmxStruct, int)));
        knob.setValue(55);
        knob.setValue(56);
        QCOMPARE(values(knobSpy), (QList<int>{200, 199}));
        QCOMPARE(knob.currentValue(), quint8(199));

        // An encoder sends its step (dmxvalue::encoderValue); its current
        // value is its resting one.
        DmxDial encoder;
        encoder.setWrapping(true);
        encoder.setRange(0, 255);
        QCOMPARE(encoder.currentValue(), quint8(0)); // no output
        encoder.setDmx(artnetOut(1, 2, 3));
        QSignalSpy spy(&encoder, SIGNAL(valueChangedDial(SettingDmxStruct, int)));
        encoder.setValue(10); // very first change
        encoder.setValue(11); // up
        QCOMPARE(values(spy), (QList<int>{3, 2}));
        QCOMPARE(encoder.currentValue(), quint8(3));
    }

    void dialFollowsTheDrag_data()
    {
        QTest::addColumn<bool>("encoder");
        QTest::addColumn<int>("start");
        QTest::addColumn<double>("grab");     // clock hour
        QTest::addColumn<double>("hours");    // turned clockwise, then back
        QTest::addColumn<int>("turned");      // position after the turn
        QTest::addColumn<int>("back");        // position after turning back
        QTest::addColumn<QList<int>>("sent"); // last value sent after each
        // A knob spans 255 over 300 degrees: a quarter turn is 76.5.
        QTest::newRow("knob grabbed at 6 o'clock")
            << false << 100 << 6.0 << 3.0 << 177 << 100 << QList<int>{177, 100};
        QTest::newRow("knob stops at its end")
            << false << 200 << 12.0 << 6.0 << 255 << 102 << QList<int>{255, 102};
        // An encoder goes round in 256 steps and sends its step direction.
        QTest::newRow("encoder") << true << 100 << 9.0 << 3.0 << 164 << 100 << QList<int>{2, 1};
        QTest::newRow("encoder with push")
            << true << 10 << 1.0 << 6.0 << 138 << 10 << QList<int>{2, 1};
    }

    void dialFollowsTheDrag()
    {
        QFETCH(bool, encoder);
        QFETCH(int, start);
        QFETCH(double, grab);
        QFETCH(double, hours);
        QFETCH(int, turned);
        QFETCH(int, back);
        QFETCH(QList<int>, sent);
        std::unique_ptr<DmxDial> dial(
            QByteArray(QTest::currentDataTag()).endsWith("push") ? new DmxDialPush : new DmxDial);
        dial->setWrapping(encoder);
        dial->setRange(0, 255);
        dial->resize(100, 100);
        dial->show();
        QVERIFY(QTest::qWaitForWindowExposed(dial.get()));
        dial->setValue(start);
        dial->setDmx(encoder ? artnetOut(1, 2, 3) : artnetOut(0, 255));
        QSignalSpy spy(dial.get(), SIGNAL(valueChangedDial(SettingDmxStruct, int)));

        // A press, and one that is let go at once, change nothing.
        QTest::mouseClick(dial.get(), Qt::LeftButton, {}, atHour(grab));
        QTest::mousePress(dial.get(), Qt::LeftButton, {}, atHour(grab));
        QCOMPARE(dial->value(), start);
        QCOMPARE(spy.count(), 0);

        dragAround(dial.get(), grab, grab + hours);
        QCOMPARE(dial->value(), turned);
        QCOMPARE(values(spy).last(), sent.at(0));
        dragAround(dial.get(), grab + hours, grab);
        QCOMPARE(dial->value(), back);
        QCOMPARE(values(spy).last(), sent.at(1));
        const int count = spy.count();
        QTest::mouseRelease(dial.get(), Qt::LeftButton, {}, atHour(grab));
        QCOMPARE(spy.count(), count);
        QCOMPARE(dial->value(), back);
    }

    void dialPushDoubleClick_data()
    {
        QTest::addColumn<bool>("withOutput");
        QTest::addColumn<bool>("switchMode");
        QTest::addColumn<QList<int>>("first"); // sent by the first double click
        QTest::addColumn<QList<int>>("second");
        QTest::newRow("push: both values at once")
            << true << false << QList<int>{220, 20} << QList<int>{220, 20};
        QTest::newRow("switch: on, then off") << true << true << QList<int>{220} << QList<int>{20};
        QTest::newRow("no push output: silent") << false << false << QList<int>{} << QList<int>{};
    }

    void dialPushDoubleClick()
    {
        QFETCH(bool, withOutput);
        QFETCH(bool, switchMode);
        QFETCH(QList<int>, first);
        QFETCH(QList<int>, second);
        DmxDialPush d;
        d.setWrapping(true);
        d.setRange(0, 255);
        d.resize(60, 60);
        d.show();
        d.setSwitchMode(switchMode);
        d.setDmx(artnetOut(1, 2, 3));
        if (withOutput)
            d.setDmxPush(artnetOut(20, 220, 0, 7));
        QSignalSpy spy(&d, SIGNAL(clicked(SettingDmxStruct, int)));
        QTest::mouseDClick(&d, Qt::LeftButton);
        QCOMPARE(values(spy), first);
        if (!first.isEmpty())
            QCOMPARE(record(spy, 0).dmx_channel, quint16(7));
        QCOMPARE(d.isPushed(), switchMode);
        QCOMPARE(d.pushValue(), quint8(withOutput ? first.last() : 0));
        spy.clear();
        QTest::mouseDClick(&d, Qt::LeftButton);
        QCOMPARE(values(spy), second);
        QVERIFY(!d.isPushed());
        QCOMPARE(d.pushValue(), quint8(withOutput ? 20 : 0));
    }

    void spinSendsAndHoldsOff()
    {
        ManualClock clock;
        DmxSpin s;
        s.setClock(clock.fn());
        s.setRange(100, 200);
        s.setDmx(artnetOut(200, 100));
        s.setDmxIn(artnetIn(0, 255));
        QSignalSpy spy(&s, SIGNAL(valueChangedSpin(SettingDmxStruct, int)));
        s.setValue(150);
        QCOMPARE(values(spy), QList<int>{50});
        QCOMPARE(s.currentValue(), quint8(50));

        clock.now += 500;
        s.setDmxInValue(180);
        QCOMPARE(s.value(), 150);
        clock.now += 1000;
        s.setDmxInValue(180);
        QCOMPARE(s.value(), 180);
        QCOMPARE(values(spy), (QList<int>{50, 20}));
    }

    // The console invokes Blink by name on whatever widget a record holds; the
    // blink then runs on the widget's own timer and ends shown.
    void blinkByNameRunsOnItsTimer()
    {
        QWidget window;
        const QList<QWidget *> widgets{new DmxPushButton(QStringLiteral("b"), &window),
                                       new DmxSlider(Qt::Vertical, &window), new DmxDial(&window),
                                       new DmxDialPush(&window), new DmxSpin(&window)};
        window.show();
        QList<int> hides(widgets.size());
        for (int i = 0; i < widgets.size(); ++i) {
            QWidget *w = widgets.at(i);
            // 60 / 5 = 12, as 3000 / 250: 13 toggles, then shown.
            QVERIFY2(QMetaObject::invokeMethod(w, "Blink", Q_ARG(quint16, 60), Q_ARG(quint16, 5),
                                               Q_ARG(bool, false)),
                     w->metaObject()->className());
            QTimer *timer = blinkTimer(w);
            QVERIFY(timer && timer->isActive());
            connect(timer, &QTimer::timeout, w,
                    [&hides, i, w] { hides[i] += w->isHidden() ? 1 : 0; });
        }
        for (QWidget *w : widgets) {
            QTRY_VERIFY_WITH_TIMEOUT(!blinkTimer(w)->isActive(), 5000);
            QVERIFY(!w->isHidden());
        }
        QCOMPARE(hides, QList<int>(widgets.size(), 7)); // hidden after ticks 0, 2, ..., 12
    }

    void blinkRestartsAndZeroInterval()
    {
        DmxPushButton b(QStringLiteral("b"));
        b.show();
        b.Blink(3000, 250, false);
        for (int i = 0; i < 5; ++i)
            tick(&b);
        QVERIFY(b.isHidden());
        // A new Blink starts over from tick 0 with the new values.
        b.Blink(1000, 500, true); // 2 + 1 toggling ticks
        QCOMPARE(blinkTimer(&b)->interval(), 500);
        tick(&b);
        QVERIFY(!b.isHidden()); // offset true: tick 0 shows
        tick(&b);
        QVERIFY(b.isHidden());
        tick(&b);
        QVERIFY(!b.isHidden());
        QVERIFY(blinkTimer(&b)->isActive());
        tick(&b);
        QVERIFY(!blinkTimer(&b)->isActive());

        // An interval of 0 blinks nothing, stops a running blink and shows it.
        b.Blink(3000, 250, false);
        tick(&b);
        QVERIFY(b.isHidden());
        b.Blink(3000, 0, false);
        QVERIFY(!b.isHidden());
        QVERIFY(!blinkTimer(&b)->isActive());
        tick(&b); // a stray tick does not divide by zero
        QVERIFY(!b.isHidden());
    }

    // Dials, faders and buttons paint through a shared picture cache: each
    // looks as Qt's own dial, slider or button with its settings, also after
    // a neighbour of another colour or value was painted, and again after its
    // value went back.
    void sharedLooksMatchQtsOwn()
    {
        const auto painted = [](QWidget *w) {
            QPixmap picture(w->size());
            picture.fill(Qt::transparent);
            w->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
            return picture.toImage();
        };
        const auto alike = [](QAbstractSlider *w, QAbstractSlider *plain) {
            plain->resize(w->size());
            plain->setRange(w->minimum(), w->maximum());
            plain->setPalette(w->palette());
            plain->setValue(w->value());
        };
        DmxDial red, white;
        QDial plainDial;
        plainDial.setNotchesVisible(red.notchesVisible());
        plainDial.setWrapping(red.wrapping());
        plainDial.setNotchTarget(red.notchTarget());
        for (DmxDial *w : {&red, &white}) {
            w->resize(60, 80);
            w->setRange(0, 255);
        }
        applyColorPalette(&red, Qt::red);
        red.setValue(200);
        const QImage redFirst = painted(&red);
        for (int v : {200, 10}) {
            red.setValue(v);
            white.setValue(v);
            alike(&red, &plainDial);
            QCOMPARE(painted(&red), painted(&plainDial));
            alike(&white, &plainDial);
            QCOMPARE(painted(&white), painted(&plainDial));
        }
        red.setValue(200);
        QCOMPARE(painted(&red), redFirst);
        // A button's frame (its caption is drawn over it): pressed and
        // released, red and white, each as Qt's own button.
        DmxPushButton redButton, whiteButton;
        QPushButton plainButton;
        applyColorPalette(&redButton, Qt::red);
        for (bool down : {true, false, true}) {
            for (DmxPushButton *b : {&redButton, &whiteButton}) {
                b->resize(50, 40);
                b->setDown(down);
                plainButton.resize(b->size());
                plainButton.setPalette(b->palette());
                plainButton.setDown(down);
                QCOMPARE(painted(b), painted(&plainButton));
            }
        }
        DmxSlider fader(Qt::Vertical);
        QSlider plainSlider(Qt::Vertical);
        plainSlider.setTickPosition(fader.tickPosition());
        plainSlider.setTickInterval(fader.tickInterval());
        fader.resize(40, 120);
        for (int v : {0, 128, 0}) {
            fader.setValue(v);
            alike(&fader, &plainSlider);
            QCOMPARE(painted(&fader), painted(&plainSlider));
        }
    }
};

QTEST_MAIN(TestControlWidgets)
#include "tst_controlwidgets.moc"
