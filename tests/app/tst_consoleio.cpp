// The console with its real output objects on loopback: what a control
// sends leaves as ArtDmx, values stored at start-up leave with the first
// change, and incoming Art-Net and streaming ACN move a fader whose move
// leaves again on its own output. Runs inside the test command's private
// network namespace (loopback only).
#include "app/pultora.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"
#include "tests/net/fakenet.h"

#include "controls/dmxpushbutton.h"
#include "controls/dmxslider.h"
#include "net/oscpacket.h"

#include <QDir>
#include <QProcess>
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

QByteArray show(const QString &content)
{
    return ("<PultoraConfig>\n" + content + "</PultoraConfig>\n").toUtf8();
}

// An OSC message whose argument carries no data: ",T" or ",F".
QByteArray oscFlag(QByteArray address, char flag)
{
    address.append(QByteArray(4 - address.size() % 4, '\0'));
    return address + ',' + flag + QByteArray(2, '\0');
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

    std::unique_ptr<Pultora> start(const QString &controls, const QString &preferences = {},
                                   const ConsoleServices &services = {})
    {
        return startConsoleOn(m_dir.filePath(QStringLiteral("show.ptra")),
                              show(preferences + controls), m_prompter, services);
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

    // Whether an ArtDmx for `universe` with `levels` from `channel` on
    // arrives within 3 s; the frames before it may keep older levels alive.
    bool artDmxArrives(quint16 universe, int channel, const QByteArray &levels)
    {
        return QTest::qWaitFor(
            [&] { return nextArtDmx(universe, 100).mid(channel, levels.size()) == levels; }, 3000);
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

    // Three buttons and a switch on one universe: the values stored at
    // start-up leave with the first change, or at the start when the show
    // asks, in one frame with every value; switched off, the level falls.
    void startUpValues_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("with the first change") << false;
        QTest::newRow("at the start") << true;
    }
    void startUpValues()
    {
        QFETCH(bool, atStart);
        drain();
        const QString button = "control_type=\"%1\" protocol_type=\"Art-Net\" dmx_value_1=\"%2\" "
                               "dmx_value_2=\"255\" dmx_channel=\"%3\" dmx_universe=\"2\"";
        QString controls;
        for (int c = 0; c < 3; ++c)
            controls += control(button.arg("button_push").arg(11 * (c + 1)).arg(c));
        controls += control(button.arg("button_switch").arg(0).arg(3));
        auto console = start(controls, atStart ? " <preferences version=\"1\" "
                                                 "startup_dmxsend_later=\"0\"/>\n"
                                               : "");
        QVERIFY(console);
        const QByteArray stored = QByteArray::fromHex("0b1621");
        if (atStart)
            QCOMPARE(nextArtDmx(2).left(4), stored + '\0');
        QVERIFY2(nextArtDmx(2, 300).isEmpty(), "one frame, and nothing before the first change");
        auto *sw = widgetAt<DmxPushButton>(*console, 3);
        QTest::mouseClick(sw, Qt::LeftButton);
        const QByteArray on = nextArtDmx(2);
        QCOMPARE(on.size(), 512);
        QCOMPARE(on.left(4), stored + char(255));
        QCOMPARE(console->statusBar()->currentMessage(),
                 QStringLiteral("Protocol: Art-Net - DMX Universe: 3 | DMX Channel: 4 | DMX "
                                "Value: 255"));
        QTest::mouseClick(sw, Qt::LeftButton);
        QCOMPARE(nextArtDmx(2).left(4), stored + '\0');
    }

    // On the fake network: one frame moves every control that listens to it
    // (and recolours the background) in the pass of the event loop that
    // reads it, and their outputs leave in that pass; a level going down too.
    // What arrived stays when an append sets the inputs up again, once.
    void frameMovesListenersInOnePass_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("Art-Net") << "Art-Net";
        QTest::newRow("streaming ACN") << "streaming ACN";
    }

    void frameMovesListenersInOnePass()
    {
        QFETCH(QString, protocol);
        FakeNet net;
        net.useLoopbackOnly();
        ConsoleServices services;
        services.net = net.env();
        const QString fader =
            "control_type=\"fader_vertical\" protocol_type=\"Art-Net\" "
            "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_channel=\"%1\" "
            "protocol_type_in=\"%2\" dmx_in_universe=\"%3\" dmx_in_channel=\"%1\"";
        QString controls;
        for (int c = 0; c < 3; ++c)
            controls += control(fader.arg(c).arg(protocol).arg(3));
        controls += control(fader.arg(3).arg(protocol).arg(2)); // another universe: stays
        controls += QString(" <background version=\"1\" protocol_type_in=\"%1\" "
                            "dmx_in_universe=\"3\" dmx_in_channel=\"3\"/>\n")
                        .arg(protocol);
        auto console = start(controls, {}, services);
        QVERIFY(console);
        const bool artnet = protocol == QLatin1String("Art-Net");
        FakeSocket *in = net.boundTo(artnet ? kArtNetPort : kAcnPort);
        QVERIFY(in);
        const QColor before = console->palette().color(QPalette::Window);
        quint8 sequence = 0;
        for (const char level : {char(99), char(20)}) {
            const QByteArray levels = QByteArray(3, level) + char(255);
            if (FakeSocket *out = net.boundTo(kArtNetPort))
                out->sent.clear();
            in->inject(artnet ? artDmx(3, levels) : e131(4, levels, ++sequence),
                       QHostAddress(QStringLiteral("127.0.0.9")));
            QCoreApplication::processEvents(); // one pass
            for (int c = 0; c < 4; ++c)
                QCOMPARE(widgetAt<DmxSlider>(*console, c)->value(), c < 3 ? int(level) : 0);
            QVERIFY(console->palette().color(QPalette::Window) != before);
            FakeSocket *out = net.boundTo(kArtNetPort);
            QVERIFY(out && !out->sent.isEmpty());
            QCOMPARE(out->sent.last().data.mid(14, 2), QByteArray(2, '\0')); // universe 0
            QCOMPARE(out->sent.last().data.mid(18, 4), QByteArray(3, level) + '\0');
        }
        const int setUps = console->io().inputSetUps();
        const QString more = m_dir.filePath(QStringLiteral("more.ptra"));
        QVERIFY(writeBytes(more, show(control(fader.arg(0).arg(protocol).arg(3)) +
                                      control(fader.arg(1).arg(protocol).arg(6)))));
        m_prompter->fileNames = {more};
        QVERIFY(call(*console, "slotConfigAppend"));
        QCOMPARE(console->io().inputSetUps() - setUps, 1);
        QTRY_COMPARE_WITH_TIMEOUT(widgetAt<DmxSlider>(*console, 4)->value(), 20, 2000);
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
        QVERIFY(writeBytes(path, show(showB)));
        bool cancel = false; // the next load, once the show runs
        ConsoleServices services;
        services.loadProgress = [&](qint64, qint64) { return !std::exchange(cancel, false); };
        drain();
        auto console =
            start(showA, " <preferences version=\"1\" startup_dmxsend_later=\"0\"/>\n", services);
        QVERIFY(console);
        QCOMPARE(nextArtDmx(7).left(1), QByteArray(1, char(42)));
        QUdpSocket acn; // the console sends universe 6 to 127.255.0.6 on loopback
        QVERIFY(acn.bind(QHostAddress(QStringLiteral("127.255.0.6")), kAcnPort,
                         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));

        m_prompter->answers.clear();
        m_prompter->fileNames = {path};
        cancel = command == QLatin1String("cancelled");
        if (command == QLatin1String("New")) {
            QVERIFY(call(*console, "slotConfigNew"));
            QVERIFY(call(*console, "slotConfigAppend"));
        } else if (command == QLatin1String("Reload")) {
            QVERIFY(writeBytes(console->currentFile(), show(showB)));
            QVERIFY(call(*console, "slotConfigReload"));
        } else {
            if (command == QLatin1String("failed"))
                QVERIFY(writeBytes(path, "<PultoraConfig><control"));
            QVERIFY(call(*console, "slotConfigOpen"));
        }
        QCOMPARE(console->document().controls().size(), replaced ? 1 : 3);

        QTest::qWait(700);
        int terminated = 0;
        while (acn.hasPendingDatagrams()) {
            QByteArray d(int(acn.pendingDatagramSize()), '\0');
            acn.readDatagram(d.data(), d.size());
            if (d.size() > acnpacket::OPTIONS_OFFSET &&
                (quint8(d[acnpacket::OPTIONS_OFFSET]) & 0x40))
                ++terminated;
        }
        QCOMPARE(terminated, replaced ? 3 : 0);
        drain();
        QCOMPARE(nextArtDmx(7, 1200).isEmpty(), replaced); // kept alive while it is the show's

        auto *sw = widgetAt<DmxPushButton>(*console, 0);
        QVERIFY(sw);
        drain();
        QTest::mouseClick(sw, Qt::LeftButton);
        const QByteArray dmx = nextArtDmx(0);
        QCOMPARE(dmx.size(), 512);
        QByteArray expected(512, '\0');
        expected[replaced ? 1 : 3] = char(255);
        QCOMPARE(dmx, expected);
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
        auto *sw = widgetAt<DmxPushButton>(*console, 0);
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
            other.writeDatagram(e131(6, QByteArray(24, char(sequence)), sequence),
                                QHostAddress(QStringLiteral("127.255.0.6")), kAcnPort);
        });
        keepSending.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(
            console->statusBar()->currentMessage().contains("universe 6 is also sent by"), 2000);
    }

    // OSC into the console on loopback: a message moves the fader listening
    // to its address and the fader's Art-Net value leaves; a pattern in a
    // bundle moves every fader it names, levels go down again, a malformed
    // pattern moves nothing, and a user's move holds the input off.
    void oscMovesListeners()
    {
        constexpr quint16 kOscPort = 39017;
        const QString fader = "control_type=\"fader_vertical\" protocol_type=\"Art-Net\" "
                              "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_channel=\"%1\" "
                              "dmx_universe=\"4\" protocol_type_in=\"OSC\" "
                              "dmx_in_osc_address=\"/fader/%2\"";
        ConsoleServices services;
        services.oscInPort = kOscPort;
        auto console = start(control(fader.arg(0).arg(1)) + control(fader.arg(1).arg(2)) +
                                 control(fader.arg(2).arg(3)),
                             {}, services);
        QVERIFY(console);
        const auto faders = [&] {
            QByteArray levels;
            for (int c = 0; c < 3; ++c)
                levels += char(widgetAt<DmxSlider>(*console, c)->value());
            return levels;
        };
        const struct {
            QByteArray datagram;
            QByteArray levels;
        } steps[] = {
            {oscpacket::message("/fader/1", 0.5f), QByteArray::fromHex("800000")},
            {oscpacket::bundles({oscpacket::message("/fader/[1-2]", 1.0f)}).first(),
             QByteArray::fromHex("ffff00")},
            {oscpacket::message("/fader/1", qint32(10)), QByteArray::fromHex("0aff00")},
            {oscFlag("/fader/3", 'T'), QByteArray::fromHex("0affff")},
            {oscFlag("/fader/{2,3}", 'F'), QByteArray::fromHex("0a0000")},
            {oscpacket::message("/fader/[", 1.0f), QByteArray::fromHex("0a0000")},
        };
        QUdpSocket sender;
        for (const auto &step : steps) {
            drain();
            const QByteArray before = faders();
            sender.writeDatagram(step.datagram, QHostAddress::LocalHost, kOscPort);
            QTRY_COMPARE_WITH_TIMEOUT(faders(), step.levels, 2000);
            if (before != step.levels)
                QVERIFY(artDmxArrives(4, 0, step.levels));
        }
        QTest::qWait(100);
        QCOMPARE(faders(), QByteArray::fromHex("0a0000"));

        auto *first = widgetAt<DmxSlider>(*console, 0);
        first->setValue(200);
        sender.writeDatagram(oscpacket::message("/fader/1", 0.0f), QHostAddress::LocalHost,
                             kOscPort);
        QTest::qWait(300);
        QCOMPARE(first->value(), 200);
        QTRY_COMPARE_WITH_TIMEOUT(first->value(), 0, 2000);
    }

    // Against an independent OSC implementation (oscpeer.js on the npm
    // package osc, which scripts/dev.sh test installs into the build folder;
    // skipped without it): the peer receives the address and float a fader
    // move sends, and its /go moves a fader whose Art-Net value leaves.
    void oscPeer()
    {
        const QString modules = QStringLiteral(PULTORA_BINARY_DIR "/peers/npm/node_modules");
        if (QStandardPaths::findExecutable("node").isEmpty() || !QFile::exists(modules + "/osc"))
            QSKIP("no OSC peer: node with the npm package osc (scripts/dev.sh test installs it)");
        const auto peer = [&](const QStringList &arguments) {
            auto *process = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("NODE_PATH", modules);
            process->setProcessEnvironment(env);
            process->start("node",
                           QStringList{PULTORA_SOURCE_DIR "/tests/app/oscpeer.js"} + arguments);
            return process;
        };
        QScopedPointer<QProcess> listener(peer({"listen", "39022"}));
        QTRY_VERIFY_WITH_TIMEOUT(listener->canReadLine(), 10000); // ready
        listener->readLine();
        ConsoleServices services;
        services.oscInPort = 39021;
        const QString fader = "control_type=\"fader_vertical\" %1";
        auto console =
            start(control(fader.arg("protocol_type=\"OSC\" osc_address=\"/stage/fader/1\" "
                                    "osc_port=\"39022\"")) +
                      control(fader.arg("protocol_type=\"Art-Net\" dmx_channel=\"9\" "
                                        "protocol_type_in=\"OSC\" dmx_in_osc_address=\"/go\"")),
                  {}, services);
        QVERIFY(console);
        widgetAt<DmxSlider>(*console, 0)->setValue(51);
        QTRY_VERIFY_WITH_TIMEOUT(listener->canReadLine(), 5000);
        QCOMPARE(listener->readLine().trimmed(),
                 QByteArray("/stage/fader/1 f 0.20000000298023224"));
        // Up, and down again.
        for (const auto &[value, level] : {std::pair{"1.0", 255}, std::pair{"0.2", 51}}) {
            QScopedPointer<QProcess> sender(peer({"send", "39021", "/go", "f", value}));
            QTRY_COMPARE_WITH_TIMEOUT(widgetAt<DmxSlider>(*console, 1)->value(), level, 5000);
            QVERIFY(artDmxArrives(0, 9, QByteArray(1, char(level))));
            QVERIFY(sender->waitForFinished(5000));
        }
        listener->kill();
        listener->waitForFinished(3000);
    }
};

QTEST_MAIN(TestConsoleIo)
#include "tst_consoleio.moc"
