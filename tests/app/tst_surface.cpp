// The control surface following the show document: geometry scaling, which
// widget each control type gets, creation versus update, and the
// connections to the console slots.
#include "app/surface.h"
#include "controls/controlwidget.h"
#include "controls/dmxdial.h"
#include "controls/dmxdialpush.h"
#include "controls/dmxpushbutton.h"
#include "controls/dmxslider.h"
#include "controls/dmxspin.h"
#include "model/showcommands.h"
#include "model/typetables.h"

#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestSurface : public QObject
{
    Q_OBJECT

private:
    SilentConsole *m_console = nullptr; // what the widgets send is their own test
    ShowDocument *m_document = nullptr;
    Surface *m_surface = nullptr;

    SettingStruct record(quint8 type, quint32 x = 20, quint32 y = 20, quint32 w = 50,
                         quint32 h = 50)
    {
        SettingStruct r;
        r.control_type = type;
        r.position_x = x;
        r.position_y = y;
        r.size_x = w;
        r.size_y = h;
        r.dmx_out.protocol_type = PT_ARTNET;
        return r;
    }
    QWidget *create(const SettingStruct &r)
    {
        m_document->push(new AddControls(*m_document, {r}, -1, QString()));
        return m_surface->widget(m_document->controls().last().id);
    }
    void change(const SettingStruct &r)
    {
        m_document->push(new ChangeControls(*m_document, {r}, QString()));
    }
    // The controls' ids from the bottom of the stack to its top.
    QList<quint32> stacking() const
    {
        QList<quint32> ids;
        for (QObject *child : m_console->children())
            if (const quint32 id = m_surface->idOf(qobject_cast<QWidget *>(child)))
                ids.append(id);
        return ids;
    }
    // Changes the document's background through a command.
    template <typename F> void background(F change)
    {
        BackgroundStruct bg = m_document->background();
        change(bg);
        m_document->push(new ChangeBackground(*m_document, bg, QString()));
    }

private slots:
    void init()
    {
        m_console = new SilentConsole;
        m_document = new ShowDocument;
        m_surface = new Surface(m_console, *m_document);
    }
    void cleanup()
    {
        delete m_surface;
        delete m_document;
        delete m_console;
    }

    void stretchScalesPositionAndSize()
    {
        background([](BackgroundStruct &bg) { bg.stretch_factor = 150; });
        QWidget *w = create(record(CT_FADER_VERTICAL, 20, 20, 50, 50));
        QVERIFY(w);
        QCOMPARE(w->geometry(), QRect(30, 30, 75, 75));
        QCOMPARE(w->minimumSize(), w->maximumSize()); // fixed size

        // Stretched again, the widgets follow; however far, no side grows
        // past a loaded control's.
        QWidget *wide = create(record(CT_LABEL, 0, 0, 1638, 2000));
        background([](BackgroundStruct &bg) { bg.stretch_factor = 1000; });
        QCOMPARE(w->geometry(), QRect(200, 200, 500, 500));
        QCOMPARE(wide->size(), QSize(16380, 16384));

        // A push button's picture is as large as its stored width, an icon's
        // picture is scaled to the shown size.
        background([](BackgroundStruct &bg) { bg.stretch_factor = 200; });
        SettingStruct r = record(CT_BUTTON_PUSH, 0, 0, 40, 20);
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        r.bitmap = Picture::fromImage(red);
        auto *button = qobject_cast<DmxPushButton *>(create(r));
        QCOMPARE(button->iconSize(), QSize(40, 40));
        QVERIFY(!button->icon().isNull());
        r.control_type = CT_ICON;
        r.size_x = r.size_y = 25;
        QCOMPARE(qobject_cast<QLabel *>(create(r))->pixmap().size(), QSize(50, 50));
    }

    void backgroundPictureIsStretchedOverTheWindow()
    {
        background([](BackgroundStruct &bg) {
            bg.size_x = 100;
            bg.size_y = 80;
            bg.color_red = 0;
            bg.color_green = 0;
            bg.color_blue = 255;
        });
        QCOMPARE(m_console->size(), QSize(100, 80));
        QImage plain(m_console->size(), QImage::Format_RGB32);
        {
            QPainter painter(&plain);
            painter.fillRect(plain.rect(), Qt::white);
            m_surface->paintBackground(painter, plain.rect()); // no picture: nothing drawn
        }
        QCOMPARE(plain.pixelColor(50, 40), QColor(Qt::white));
        QCOMPARE(m_console->palette().color(QPalette::Window), QColor(0, 0, 255));

        background([](BackgroundStruct &bg) {
            QImage halves(10, 10, QImage::Format_RGB32);
            halves.fill(Qt::red);
            QPainter(&halves).fillRect(5, 0, 5, 10, Qt::blue);
            bg.bitmap = Picture::fromImage(halves);
        });
        // The whole window, then only a part of it (a control repainting
        // over the picture), on a screen of one and of two pixels a point.
        for (qreal ratio : {1.0, 2.0}) {
            for (const QRect &part : {QRect(0, 0, 100, 80), QRect(60, 30, 20, 20)}) {
                QImage painted(m_console->size() * ratio, QImage::Format_RGB32);
                painted.setDevicePixelRatio(ratio);
                painted.fill(Qt::white);
                {
                    QPainter painter(&painted);
                    m_surface->paintBackground(painter, part);
                }
                const auto at = [&](int x, int y) {
                    return painted.pixelColor(x * ratio, y * ratio);
                };
                QCOMPARE(at(70, 40), QColor(Qt::blue));
                QCOMPARE(at(20, 10), part.width() == 100 ? QColor(Qt::red) : QColor(Qt::white));
            }
        }
    }

    // Which widget a type gets and how it is set up; every one is the
    // console's child, shows its description and is found by its id.
    void widgetPerType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<bool>("dmxIn"); // arrived input values move or recolour it
        const auto row = [](int type, const char *className, const char *setUp, bool dmxIn) {
            QTest::newRow(qPrintable(controlTypeKey(quint8(type))))
                << type << QString(className) << QString(setUp) << dmxIn;
        };
        row(CT_BUTTON_PUSH, "DmxPushButton", "", true);
        row(CT_BUTTON_SWITCH, "DmxPushButton", "checkable", true);
        row(CT_DIRECT_VALUE, "DmxSpin", "", true);
        row(CT_FADER_VERTICAL, "DmxSlider", "vertical", true);
        row(CT_FADER_HORIZONTAL, "DmxSlider", "horizontal", true);
        row(CT_PITCH_BEND_VERTICAL, "DmxSlider", "vertical centre", false);
        row(CT_PITCH_BEND_HORIZONTAL_MIDDLE, "DmxSlider", "horizontal centre", false);
        row(CT_KNOB, "DmxDial", "", false);
        row(CT_ENCODER, "DmxDial", "wrapping", false);
        row(CT_ENCODER_PUSH, "DmxDialPush", "wrapping", false);
        row(CT_ENCODER_SWITCH, "DmxDialPush", "wrapping switch", false);
        row(CT_LABEL, "QLabel", "", false);
        row(CT_LED, "DmxPushButton", "disabled", true);
        row(CT_TIME, "QLCDNumber", "", false);
        row(CT_GROUP, "QGroupBox", "", false);
    }
    void widgetPerType()
    {
        QFETCH(int, type);
        QFETCH(QString, className);
        QFETCH(QString, setUp);
        QFETCH(bool, dmxIn);
        SettingStruct r = record(quint8(type));
        r.description = QStringLiteral("tip");
        QWidget *w = create(r);
        QVERIFY(w);
        const quint32 id = m_document->controls().first().id;
        QCOMPARE(m_surface->control(id)->takesInput(), dmxIn);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
        QCOMPARE(w->parentWidget(), m_console);
        QCOMPARE(w->toolTip(), QStringLiteral("tip"));
        QVERIFY(w->isVisibleTo(m_console));
        QCOMPARE(m_surface->idOf(w), id);
        QCOMPARE(m_surface->widgetCount(), 1);
        QStringList got;
        if (auto *b = qobject_cast<DmxPushButton *>(w)) {
            if (b->isCheckable())
                got << "checkable";
            if (!b->isEnabled())
                got << "disabled";
        } else if (auto *s = qobject_cast<DmxSlider *>(w)) {
            got << (s->orientation() == Qt::Horizontal ? "horizontal" : "vertical");
            if (s->centerStart())
                got << "centre";
        } else if (auto *d = qobject_cast<DmxDial *>(w)) {
            if (d->wrapping())
                got << "wrapping";
            if (auto *p = qobject_cast<DmxDialPush *>(w); p && p->switchMode())
                got << "switch";
        }
        QCOMPARE(got.join(' '), setUp);
    }

    void namesShowAsWritten_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("button") << int(CT_BUTTON_PUSH);
        QTest::newRow("group") << int(CT_GROUP);
        QTest::newRow("label") << int(CT_LABEL);
        QTest::newRow("icon without picture") << int(CT_ICON);
    }
    void namesShowAsWritten()
    {
        QFETCH(int, type);
        QWidget *w = create(record(quint8(type), 0, 0, 200, 80));
        SettingStruct r = m_document->controls().first();
        if (auto *label = qobject_cast<QLabel *>(w))
            QCOMPARE(label->alignment(), Qt::AlignCenter);
        // Created, then renamed; line breaks stay.
        for (const char *name : {"R&B & Soul", "Rock&Roll", "Label\nRed"}) {
            r.name = QString::fromUtf8(name);
            change(r);
            // A group box title reads "&&" as '&' and drops a lone '&'.
            QString shown;
            if (auto *button = qobject_cast<DmxPushButton *>(w))
                shown = button->shownLines().join(QLatin1Char('\n'));
            else if (auto *group = qobject_cast<QGroupBox *>(w))
                shown =
                    group->title().replace(QLatin1String("&&"), QChar(1)).remove(QLatin1Char('&'));
            else
                shown = qobject_cast<QLabel *>(w)->text();
            QCOMPARE(shown.replace(QChar(1), QLatin1Char('&')), r.name);
        }
    }

    void clockFaceTakesItsColour_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("digits");
        QTest::newRow("light") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("dark") << QColor(0, 0, 90) << QColor(Qt::white);
    }
    void clockFaceTakesItsColour()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, digits);
        background([](BackgroundStruct &bg) { bg.color_red = bg.color_green = 40; }); // dark
        SettingStruct r = record(CT_TIME, 0, 0, 160, 40);
        r.color_red = quint8(colour.red());
        r.color_green = quint8(colour.green());
        r.color_blue = quint8(colour.blue());
        auto *clock = qobject_cast<QLCDNumber *>(create(r));
        m_surface->showTime(QStringLiteral("12:34:56"));
        const QImage face = m_console->grab(clock->geometry()).toImage();
        QCOMPARE(face.pixelColor(0, 0), colour);
        int digitPixels = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                digitPixels += face.pixelColor(x, y) == digits;
        QVERIFY(digitPixels > 200);
    }

    void rangeAtCreationAndAfterUpdate()
    {
        SettingStruct r = record(CT_FADER_VERTICAL);
        r.dmx_out.dmx_value_1 = 200;
        r.dmx_out.dmx_value_2 = 10;
        r.dmx_in.dmx_in_value_1 = 0; // not counted at creation
        r.dmx_in.dmx_in_value_2 = 250;
        auto *slider = qobject_cast<DmxSlider *>(create(r));
        QCOMPARE(slider->minimum(), 10);
        QCOMPARE(slider->maximum(), 200);

        // A changed record updates the same widget.
        r = m_document->controls().first();
        r.dmx_in.dmx_in_value_1 = 20;
        change(r);
        QCOMPARE(m_surface->widgetCount(), 1);
        QCOMPARE(m_surface->widget(r.id), slider);
        QCOMPARE(slider->minimum(), 10);
        QCOMPARE(slider->maximum(), 250);

        // A knob turns between its values, an encoder always over all bytes.
        r = record(CT_KNOB);
        r.dmx_out.dmx_value_1 = 60;
        r.dmx_out.dmx_value_2 = 30;
        auto *dial = qobject_cast<DmxDial *>(create(r));
        QCOMPARE(qMakePair(dial->minimum(), dial->maximum()), qMakePair(30, 60));
        r.control_type = CT_ENCODER;
        dial = qobject_cast<DmxDial *>(create(r));
        QCOMPARE(qMakePair(dial->minimum(), dial->maximum()), qMakePair(0, 255));
    }

    void updateMovesAndRenames()
    {
        auto *button = qobject_cast<DmxPushButton *>(create(record(CT_BUTTON_PUSH, 0, 0, 50, 50)));
        SettingStruct r = m_document->controls().first();
        r.name = QStringLiteral("Renamed");
        r.position_x = 100;
        r.description = QStringLiteral("new tip");
        r.color_green = 0;
        change(r);
        QCOMPARE(button->text(), QStringLiteral("Renamed"));
        QCOMPARE(button->pos(), QPoint(100, 0));
        QCOMPARE(button->toolTip(), QStringLiteral("new tip"));
        QCOMPARE(button->baseColor(), QColor(255, 0, 255));

        // A changed type gets a widget of its kind; undo brings the old kind back.
        r.control_type = CT_KNOB;
        change(r);
        QVERIFY(qobject_cast<DmxDial *>(m_surface->widget(r.id)));
        m_document->undoStack().undo();
        QVERIFY(qobject_cast<DmxPushButton *>(m_surface->widget(r.id)));
        QCOMPARE(m_console->findChildren<DmxDial *>().size(), 0);
    }

    void removeAndReplaceFollowTheDocument()
    {
        QVERIFY(!create(record(25))); // an unknown type gets no widget
        QVERIFY(m_console->findChildren<QWidget *>().isEmpty());
        create(record(CT_LABEL));
        QPointer<QWidget> button = create(record(CT_BUTTON_PUSH, 60));
        m_document->push(new RemoveControls(*m_document, {m_document->controls().last().id}, {}));
        QVERIFY(button.isNull());
        m_document->undoStack().undo();
        QCOMPARE(m_surface->widgetCount(), 2); // the unknown one has none
        ShowContent other;
        other.controls = {record(CT_KNOB), record(CT_KNOB), record(CT_KNOB)};
        m_document->push(new ReplaceShow(*m_document, other, {}));
        QCOMPARE(m_surface->widgetCount(), 3);
        QCOMPARE(m_console->findChildren<DmxDial *>().size(), 3);
        QCOMPARE(m_console->findChildren<QLabel *>().size(), 0);
    }

    void replacingManyOnAShownConsoleLeavesItUpdatingAndLaidOut()
    {
        auto *layout = new QVBoxLayout(m_console);
        m_console->show();
        ShowContent many;
        for (int i = 0; i < 40; ++i)
            many.controls.append(record(CT_BUTTON_PUSH, quint32(i) * 10));
        m_document->push(new ReplaceShow(*m_document, many, {}));
        QCOMPARE(m_surface->widgetCount(), 40);
        many.controls.removeLast();
        m_document->push(new ReplaceShow(*m_document, many, {}));
        QCOMPARE(m_surface->widgetCount(), 39);
        QCOMPARE(m_console->findChildren<DmxPushButton *>().size(), 39);
        QVERIFY(m_console->updatesEnabled());
        QVERIFY(layout->isEnabled());
        for (DmxPushButton *b : m_console->findChildren<DmxPushButton *>()) {
            QVERIFY(b->isVisible());
            QVERIFY(b->updatesEnabled());
        }
    }

    void blinkIgnoresStrangersAndPlainWidgets()
    {
        QLabel stranger;
        m_surface->blink(&stranger, nullptr); // nothing on the surface
        QWidget *label = create(record(CT_LABEL));
        auto *button = qobject_cast<DmxPushButton *>(create(record(CT_BUTTON_PUSH, 60)));
        m_surface->blink(&stranger, nullptr);
        m_surface->blink(label, button); // the label cannot blink, the button can
        m_console->show();
        // The second control starts shown-then-hidden: first tick hides it.
        QTRY_VERIFY_WITH_TIMEOUT(!button->isVisible(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), 1000);
    }

    // Controls deleted at scattered places come back in one step, each where
    // it lay (frames lowest, the later below), the one under the pointer hovered.
    void undoneDeleteRestoresStacking_data()
    {
        QTest::addColumn<int>("first"); // the indexes deleted
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::newRow("every second") << 0 << 2 << 20;
        QTest::newRow("first and last") << 0 << 39 << 2;
    }
    void undoneDeleteRestoresStacking()
    {
        QFETCH(int, first);
        QFETCH(int, step);
        QFETCH(int, count);
        ShowContent content;
        for (int i = 0; i < 40; ++i)
            content.controls.append(
                record(i % 6 ? CT_BUTTON_PUSH : CT_GROUP, (i % 8) * 60, (i / 8) * 60));
        m_document->push(new ReplaceShow(*m_document, content, {}));
        m_console->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_console));
        const QPoint at(130, 70); // on the control at index 10
        QCursor::setPos(m_console->mapToGlobal(at));
        QTest::mouseMove(m_console, at);
        const QList<quint32> ids = m_document->ids();
        QList<quint32> expected, removed;
        for (int i = 36; i >= 0; i -= 6)
            expected.append(ids.at(i));
        for (int i = 0; i < 40; ++i)
            if (i % 6)
                expected.append(ids.at(i));
        QCOMPARE(stacking(), expected);
        for (int i = 0; i < count; ++i)
            removed.append(ids.at(first + i * step));
        QList<quint32> kept = expected;
        kept.removeIf([&](quint32 id) { return removed.contains(id); });
        m_document->push(new RemoveControls(*m_document, removed, {}));
        QCOMPARE(stacking(), kept);
        m_document->undoStack().undo();
        QCOMPARE(stacking(), expected);
        QVERIFY(m_surface->widget(ids.at(10))->underMouse());
        m_document->undoStack().redo();
        QCOMPARE(stacking(), kept);
    }

    void hitTestPicksTopmostIncludingEdges()
    {
        QWidget *lower = create(record(CT_LABEL, 0, 0, 50, 50));
        QWidget *upper = create(record(CT_LABEL, 25, 25, 50, 50));
        QCOMPARE(m_surface->widget(m_surface->hitTest(QPoint(30, 30))), upper);
        QCOMPARE(m_surface->widget(m_surface->hitTest(QPoint(10, 10))), lower);
        QCOMPARE(m_surface->widget(m_surface->hitTest(QPoint(75, 75))), upper); // bottom-right edge
        QVERIFY(!m_surface->hitTest(QPoint(76, 76)));
        QCOMPARE(m_surface->widget(m_surface->hitTest(QPoint(-5, -5))), lower); // clamped to 0
    }
};

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
