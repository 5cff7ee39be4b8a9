// The console with its real output objects on loopback: what a control
// sends leaves as ArtDmx, values stored at start-up leave with the first
// change, and incoming Art-Net and streaming ACN move a fader whose move
// leaves again on its own output. Runs inside the test command's private
// network namespace (loopback only).
#include "app/pultora.h"
#include "tests/app/consolestart.h"
#include "tests/app/datagrams.h"
#include "tests/app/scriptedprompter.h"

#include "controls/dmxpushbutton.h"
#include "controls/dmxslider.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

namespace
{

constexpr quint16 kArtNetPort = 6454;
constexpr quint16 kAcnPort = 5568;

QString control(const QString &attributes)
{
    return QStringLiteral(" <control version=\"1\" %1/>\n").arg(attributes);
}

} // namespace

class TestConsoleIo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::shared_ptr<ScriptedPrompter> m_prompter = std::make_shared<ScriptedPrompter>();
    QUdpSocket m_listener;

    std::unique_ptr<Pultora> start(const QString &controls, const QString &preferences = {})
    {
        return startConsoleOn(
            m_dir.filePath(QStringLiteral("show.ptra")),
            QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig>\n%1%2</PultoraConfig>\n")
                .arg(preferences, controls)
                .toUtf8(),
            m_prompter);
    }

    // The next ArtDmx for `universe` that the console broadcasts.
    QByteArray nextArtDmx(quint16 universe, int timeoutMs = 3000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            while (m_listener.hasPendingDatagrams()) {
                QByteArray d(int(m_listener.pendingDatagramSize()), '\0');
                m_listener.readDatagram(d.data(), d.size());
                if (d.size() >= 18 && d.startsWith(QByteArray("Art-Net\0", 8)) &&
                    quint8(d[9]) == 0x50 && quint8(d[14]) == (universe & 0xff) &&
                    quint8(d[15]) == (universe >> 8))
                    return d.mid(18);
            }
            QTest::qWait(10);
        }
        return {};
    }

    void drain()
    {
        while (m_listener.hasPendingDatagrams())
            m_listener.readDatagram(nullptr, 0);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY2(m_listener.bind(QHostAddress::AnyIPv4, kArtNetPort,
                                 QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint),
                 qPrintable(m_listener.errorString()));
    }

    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    // Two buttons on one universe: each change carries both values, and the
    // values stored at start-up leave with the first change.
    void storedValuesLeaveWithFirstChange()
    {
        auto console = start(control("control_type=\"button_push\" protocol_type=\"Art-Net\" "
                                     "dmx_value_1=\"33\" dmx_value_2=\"200\" dmx_channel=\"3\" "
                                     "dmx_universe=\"2\"") +
                             control("control_type=\"button_switch\" protocol_type=\"Art-Net\" "
                                     "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_channel=\"4\" "
                                     "dmx_universe=\"2\""));
        QVERIFY(console);
        QCOMPARE(console->document().controls().size(), 2);
        QTest::qWait(100);
        QVERIFY2(nextArtDmx(2, 300).isEmpty(), "nothing may leave before the first change");

        auto *sw = qobject_cast<DmxPushButton *>(
            console->surface().widget(console->document().controls().at(1).id));
        QVERIFY(sw);
        QTest::mouseClick(sw, Qt::LeftButton);
        const QByteArray dmx = nextArtDmx(2);
        QCOMPARE(dmx.size(), 512);
        QCOMPARE(quint8(dmx[3]), quint8(33));  // stored at start-up
        QCOMPARE(quint8(dmx[4]), quint8(255)); // switched on
        QCOMPARE(console->statusBar()->currentMessage(),
                 QStringLiteral("Protocol: Art-Net - DMX Universe: 3 | DMX Channel: 5 | DMX "
                                "Value: 255"));
        QTest::mouseClick(sw, Qt::LeftButton);
        const QByteArray off = nextArtDmx(2);
        QCOMPARE(quint8(off[3]), quint8(33));
        QCOMPARE(quint8(off[4]), quint8(0));
    }

    // Frames, not fragments: the start-up send of five controls on one
    // universe leaves as one packet with every value.
    void initialValuesLeaveAtStartWhenAsked()
    {
        drain();
        QString controls;
        for (int c = 0; c < 5; ++c)
            controls +=
                control(QStringLiteral("control_type=\"button_push\" protocol_type=\"Art-Net\" "
                                       "dmx_value_1=\"%1\" dmx_value_2=\"200\" "
                                       "dmx_channel=\"%2\" dmx_universe=\"9\"")
                            .arg(11 * (c + 1))
                            .arg(c));
        auto console = start(controls, QStringLiteral(" <preferences version=\"1\" "
                                                      "startup_dmxsend_later=\"0\"/>\n"));
        QVERIFY(console);
        const QByteArray dmx = nextArtDmx(9);
        QCOMPARE(dmx.left(6), QByteArray::fromHex("0b16212c3700"));
        QVERIFY2(nextArtDmx(9, 300).isEmpty(), "one packet, not one per control");
    }

    // Incoming DMX moves the fader on the next tick; the move leaves on the
    // fader's own output like a user move.
    void inputMovesFaderAndLeavesAgain_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("Art-Net") << "Art-Net";
        QTest::newRow("streaming ACN") << "streaming ACN";
    }

    void inputMovesFaderAndLeavesAgain()
    {
        QFETCH(QString, protocol);
        drain();
        auto console = start(control(
            QStringLiteral("control_type=\"fader_vertical\" protocol_type=\"Art-Net\" "
                           "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_channel=\"1\" "
                           "dmx_universe=\"0\" protocol_type_in=\"%1\" dmx_in_universe=\"3\" "
                           "dmx_in_channel=\"0\"")
                .arg(protocol)));
        QVERIFY(console);
        auto *fader = qobject_cast<DmxSlider *>(
            console->surface().widget(console->document().controls().at(0).id));
        QVERIFY(fader);
        QCOMPARE(fader->value(), 0);

        QUdpSocket sender;
        const QByteArray levels = QByteArray(1, char(99)) + QByteArray(23, '\0');
        for (int i = 0; i < 20 && fader->value() != 99; ++i) {
            if (protocol == QLatin1String("Art-Net"))
                sender.writeDatagram(artDmxDatagram(3, levels),
                                     QHostAddress(QStringLiteral("127.255.255.255")), kArtNetPort);
            else
                sender.writeDatagram(e131Datagram(4, levels, quint8(i + 1)),
                                     QHostAddress(QStringLiteral("239.255.0.4")), kAcnPort);
            QTest::qWait(150);
        }
        QCOMPARE(fader->value(), 99);
        const QByteArray out = nextArtDmx(0);
        QCOMPARE(out.size(), 512);
        QCOMPARE(quint8(out[1]), quint8(99));
    }

    // The hand on the fader wins for a second: input arriving sooner is
    // ignored, input after that is applied.
    void userMoveHoldsInputOff()
    {
        drain();
        auto console = start(
            control("control_type=\"fader_horizontal\" protocol_type=\"Art-Net\" dmx_value_1=\"0\" "
                    "dmx_value_2=\"255\" dmx_channel=\"0\" dmx_universe=\"1\" "
                    "protocol_type_in=\"Art-Net\" dmx_in_universe=\"5\" dmx_in_channel=\"7\""));
        QVERIFY(console);
        auto *fader = qobject_cast<DmxSlider *>(
            console->surface().widget(console->document().controls().at(0).id));
        QVERIFY(fader);
        QUdpSocket sender;
        QByteArray levels(8, '\0');
        levels[7] = char(180);
        const QHostAddress broadcast(QStringLiteral("127.255.255.255"));

        fader->triggerAction(QAbstractSlider::SliderSingleStepAdd); // a user move
        QElapsedTimer sinceMove;
        sinceMove.start();
        const int moved = fader->value();
        QVERIFY(moved > 0);
        while (sinceMove.elapsed() < 700) {
            sender.writeDatagram(artDmxDatagram(5, levels), broadcast, kArtNetPort);
            QTest::qWait(50);
        }
        QCOMPARE(fader->value(), moved);
        QTRY_COMPARE_WITH_TIMEOUT(
            (sender.writeDatagram(artDmxDatagram(5, levels), broadcast, kArtNetPort),
             fader->value()),
            180, 3000);
        QVERIFY(sinceMove.elapsed() >= 1000);
    }

    // The background follows a network universe between the controls' ones
    // (it gets a slot of its own), not one beyond them.
    void backgroundFollowsUniverseWithinControls_data()
    {
        QTest::addColumn<int>("universe");
        QTest::addColumn<bool>("followed");
        QTest::newRow("between") << 5 << true;
        QTest::newRow("beyond") << 9 << false;
    }

    void backgroundFollowsUniverseWithinControls()
    {
        QFETCH(int, universe);
        QFETCH(bool, followed);
        drain();
        QString controls;
        for (int u : {3, 7})
            controls += control(QStringLiteral("control_type=\"fader_vertical\" "
                                               "protocol_type_in=\"Art-Net\" "
                                               "dmx_in_universe=\"%1\" dmx_in_channel=\"0\"")
                                    .arg(u));
        controls += QStringLiteral(" <background version=\"1\" protocol_type_in=\"Art-Net\" "
                                   "dmx_in_universe=\"%1\" dmx_in_channel=\"0\"/>\n")
                        .arg(universe);
        auto console = start(controls);
        QVERIFY(console);
        const QColor before = console->palette().color(QPalette::Window);
        QUdpSocket sender;
        const QByteArray levels(2, char(255));
        const QHostAddress broadcast(QStringLiteral("127.255.255.255"));
        bool changed = false;
        for (int i = 0; i < 8 && !changed; ++i) {
            sender.writeDatagram(artDmxDatagram(quint16(universe), levels), broadcast, kArtNetPort);
            QTest::qWait(150);
            changed = console->palette().color(QPalette::Window) != before;
        }
        QCOMPARE(changed, followed);
    }

    // A value that arrived once stays when the show changes around it: an
    // append adds universes, an edit moves one; nothing is sent again.
    void receivedValueSurvivesAppendAndEdit()
    {
        drain();
        const QString listener =
            QStringLiteral("control_type=\"fader_vertical\" protocol_type_in=\"Art-Net\" "
                           "dmx_in_universe=\"%1\" dmx_in_channel=\"0\"");
        auto console = start(control(listener.arg(3)));
        QVERIFY(console);
        auto faderAt = [&](int i) {
            return qobject_cast<DmxSlider *>(
                console->surface().widget(console->document().controls().at(i).id));
        };
        QUdpSocket sender;
        const QByteArray levels(2, char(99));
        for (int i = 0; i < 20 && faderAt(0)->value() != 99; ++i) {
            sender.writeDatagram(artDmxDatagram(3, levels),
                                 QHostAddress(QStringLiteral("127.255.255.255")), kArtNetPort);
            QTest::qWait(150);
        }
        QCOMPARE(faderAt(0)->value(), 99);
        const int setUps = console->io().inputSetUps();

        const QString more = m_dir.filePath(QStringLiteral("more.ptra"));
        QFile file(more);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("<PultoraConfig>\n%1%2</PultoraConfig>\n")
                       .arg(control(listener.arg(3)), control(listener.arg(6)))
                       .toUtf8());
        file.close();
        m_prompter->fileNames = {more};
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigAppend"));
        QCOMPARE(console->document().controls().size(), 3);
        QCOMPARE(console->io().inputSetUps() - setUps, 1); // once for the whole append
        QTRY_COMPARE_WITH_TIMEOUT(faderAt(1)->value(), 99, 2000);

        // The third control moves to another universe.
        *console->editRecord() = console->document().controls().at(2);
        console->editRecord()->dmx_in.dmx_in_universe = 9;
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotSettingsChanged", Q_ARG(bool, true)));
        QCOMPARE(console->document().controls().at(2).dmx_in.dmx_in_universe, 9);
        m_prompter->fileNames = {more};
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigAppend"));
        QTRY_COMPARE_WITH_TIMEOUT(faderAt(3)->value(), 99, 2000);
        console->setModified(false, false);
    }

    // The show before never leaves again once another took its place, and
    // its universes stop (streaming ACN says so three times). A load that
    // fails or is cancelled leaves the show and what it sends as they were.
    void replacedShowStopsSending_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("New") << "New" << true;
        QTest::newRow("Open") << "Open" << true;
        QTest::newRow("Reload") << "Reload" << true;
        QTest::newRow("failed Open") << "failed" << false;
        QTest::newRow("cancelled Open") << "cancelled" << false;
    }

    void replacedShowStopsSending()
    {
        QFETCH(QString, command);
        QFETCH(bool, replaced);
        const QString button = QStringLiteral(
            "control_type=\"%1\" protocol_type=\"%2\" dmx_value_1=\"%3\" dmx_value_2=\"255\" "
            "dmx_channel=\"%4\" dmx_universe=\"%5\"");
        const QString showA =
            control(button.arg("button_switch", "Art-Net").arg(17).arg(3).arg(0)) +
            control(button.arg("button_push", "Art-Net").arg(42).arg(0).arg(7)) +
            control(button.arg("button_push", "streaming ACN").arg(99).arg(0).arg(5));
        QString showB = control(button.arg("button_switch", "Art-Net").arg(0).arg(1).arg(0));
        if (command == QLatin1String("cancelled")) // long enough to be cancelled
            showB += control("control_type=\"led\"").repeated(300);
        const QString path = m_dir.filePath(QStringLiteral("b.ptra"));
        auto write = [](const QString &file, const QByteArray &text) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   f.write(text) == text.size();
        };
        QVERIFY(write(path, ("<PultoraConfig>\n" + showB + "</PultoraConfig>\n").toUtf8()));
        bool cancel = false; // the next load, once the show runs
        ConsoleServices services;
        services.loadProgress = [&](qint64, qint64) { return !std::exchange(cancel, false); };
        drain();
        auto console = startConsoleOn(
            m_dir.filePath(QStringLiteral("show.ptra")),
            ("<PultoraConfig>\n <preferences version=\"1\" startup_dmxsend_later=\"0\"/>\n" +
             showA + "</PultoraConfig>\n")
                .toUtf8(),
            m_prompter, services);
        QVERIFY(console);
        QCOMPARE(nextArtDmx(7).left(1), QByteArray(1, char(42)));
        QUdpSocket acn; // the console sends universe 6 to 127.255.0.6 on loopback
        QVERIFY(acn.bind(QHostAddress(QStringLiteral("127.255.0.6")), kAcnPort,
                         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));

        m_prompter->answers.clear();
        m_prompter->fileNames = {path};
        cancel = command == QLatin1String("cancelled");
        if (command == QLatin1String("New")) {
            QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigNew"));
            QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigAppend"));
        } else if (command == QLatin1String("Reload")) {
            QVERIFY(write(console->currentFile(),
                          ("<PultoraConfig>\n" + showB + "</PultoraConfig>\n").toUtf8()));
            QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigReload"));
        } else {
            if (command == QLatin1String("failed"))
                QVERIFY(write(path, "<PultoraConfig><control"));
            QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConfigOpen"));
        }
        QCOMPARE(console->document().controls().size(), replaced ? 1 : 3);

        int terminated = 0;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 700) {
            while (acn.hasPendingDatagrams()) {
                QByteArray d(int(acn.pendingDatagramSize()), '\0');
                acn.readDatagram(d.data(), d.size());
                if (d.size() > acnpacket::OPTIONS_OFFSET &&
                    (quint8(d[acnpacket::OPTIONS_OFFSET]) & 0x40))
                    ++terminated;
            }
            QTest::qWait(20);
        }
        QCOMPARE(terminated, replaced ? 3 : 0);
        drain();
        QCOMPARE(nextArtDmx(7, 1200).isEmpty(), replaced); // kept alive while it is the show's

        auto *sw = qobject_cast<DmxPushButton *>(
            console->surface().widget(console->document().controls().at(0).id));
        QVERIFY(sw);
        drain();
        QTest::mouseClick(sw, Qt::LeftButton);
        const QByteArray dmx = nextArtDmx(0);
        QCOMPARE(dmx.size(), 512);
        QByteArray expected(512, '\0');
        expected[replaced ? 1 : 3] = char(255);
        QCOMPARE(dmx, expected);
        console->setModified(false, false);
    }

    // Another console's streaming ACN on a universe this one sends: the
    // status line says so.
    void secondAcnSourceReported()
    {
        auto console =
            start(control("control_type=\"button_switch\" protocol_type=\"streaming ACN\" "
                          "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_channel=\"0\" "
                          "dmx_universe=\"5\""));
        QVERIFY(console);
        auto *sw = qobject_cast<DmxPushButton *>(
            console->surface().widget(console->document().controls().at(0).id));
        QVERIFY(sw);
        QTest::mouseClick(sw, Qt::LeftButton);
        QVERIFY(!console->statusBar()->currentMessage().contains("also sent by"));
        // The other console keeps sending, as consoles do: the click's frame
        // leaves on the next pass of the event loop.
        QUdpSocket other;
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("universe 6 is also sent by \"peer\" at 127"));
        quint8 sequence = 0;
        QTimer keepSending;
        connect(&keepSending, &QTimer::timeout, &other, [&] {
            ++sequence;
            other.writeDatagram(e131Datagram(6, QByteArray(24, char(sequence)), sequence),
                                QHostAddress(QStringLiteral("127.255.0.6")), kAcnPort);
        });
        keepSending.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(
            console->statusBar()->currentMessage().contains("universe 6 is also sent by"), 2000);
        console->setModified(false, false);
    }
};

QTEST_MAIN(TestConsoleIo)
#include "tst_consoleio.moc"
