// The console against an independent OSC implementation (the npm package
// "osc", run by tests/app/oscpeer.js): the peer receives what a fader move
// sends, and the peer's "/go" moves a button whose Art-Net value then
// leaves. Runs inside the test command's private network namespace
// (loopback only); skips when node or the package is not installed
// (scripts/dev.sh test installs it into the build folder).
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include "controls/dmxslider.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace
{

constexpr quint16 kArtNetPort = 6454;
constexpr quint16 kConsolePort = 39021; // the console's OSC input
constexpr quint16 kPeerPort = 39022;    // where the fader sends

// Starts the peer script with `arguments`; null (with why) when it cannot run.
std::unique_ptr<QProcess> startPeer(const QStringList &arguments)
{
    auto peer = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NODE_PATH"), QStringLiteral(OSCPEER_MODULES));
    peer->setProcessEnvironment(env);
    peer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer->start(QStringLiteral("node"), QStringList{QStringLiteral(OSCPEER_SCRIPT)} + arguments);
    return peer->waitForStarted(5000) ? std::move(peer) : nullptr;
}

} // namespace

class TestConsoleOsc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty() ||
            !QFileInfo::exists(QStringLiteral(OSCPEER_MODULES "/osc/package.json")))
            QSKIP("no OSC peer: node with the npm package osc (scripts/dev.sh test installs it)");
    }

    void faderToPeerAndPeerToArtNet()
    {
        QUdpSocket artnet;
        QVERIFY2(artnet.bind(QHostAddress::AnyIPv4, kArtNetPort,
                             QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint),
                 qPrintable(artnet.errorString()));
        auto listener = startPeer({QStringLiteral("listen"), QString::number(kPeerPort)});
        QVERIFY(listener);
        QVERIFY(listener->waitForReadyRead(10000));
        QCOMPARE(listener->readLine().trimmed(), QByteArray("ready"));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString show =
            QStringLiteral(
                "<!DOCTYPE Pultora>\n<PultoraConfig>\n"
                " <control version=\"1\" control_type=\"fader_vertical\" protocol_type=\"OSC\" "
                "osc_address=\"/stage/fader/1\" osc_host=\"127.0.0.1\" osc_port=\"%1\"/>\n"
                " <control version=\"1\" control_type=\"fader_vertical\" "
                "protocol_type=\"Art-Net\" dmx_universe=\"0\" dmx_channel=\"9\" "
                "protocol_type_in=\"OSC\" dmx_in_osc_address=\"/go\"/>\n"
                "</PultoraConfig>\n")
                .arg(kPeerPort);
        ConsoleServices services;
        services.oscInPort = kConsolePort;
        {
            auto console = startConsoleOn(dir.filePath(QStringLiteral("osc.ptra")), show.toUtf8(),
                                          std::make_shared<ScriptedPrompter>(), services);
            QVERIFY(console);
            auto faderAt = [&](int i) {
                return qobject_cast<DmxSlider *>(
                    console->surface().widget(console->document().controls().at(i).id));
            };

            // Out: the peer decodes address and float.
            faderAt(0)->setValue(51);
            QTRY_VERIFY2_WITH_TIMEOUT(listener->canReadLine(),
                                      qPrintable(console->statusBar()->currentMessage()), 5000);
            const QList<QByteArray> got = listener->readLine().trimmed().split(' ');
            QCOMPARE(got.size(), 3);
            QCOMPARE(got[0], QByteArray("/stage/fader/1"));
            QCOMPARE(got[1], QByteArray("f"));
            QCOMPARE(qRound(got[2].toDouble() * 1000), 200);

            // In: the peer's /go moves the listening fader, whose Art-Net
            // value leaves; a lower value brings it down again.
            for (const auto &[value, level] : {std::pair{"1.0", 255}, std::pair{"0.2", 51}}) {
                while (artnet.hasPendingDatagrams())
                    artnet.readDatagram(nullptr, 0);
                auto sender = startPeer({QStringLiteral("send"), QString::number(kConsolePort),
                                         QStringLiteral("/go"), QStringLiteral("f"),
                                         QString::fromLatin1(value)});
                QVERIFY(sender);
                QTRY_COMPARE_WITH_TIMEOUT(sender->state(), QProcess::NotRunning, 10000);
                QCOMPARE(sender->exitCode(), 0);
                QTRY_COMPARE_WITH_TIMEOUT(faderAt(1)->value(), level, 3000);
                int channel10 = -1;
                QElapsedTimer t;
                t.start();
                while (channel10 != level && t.elapsed() < 3000) {
                    QTest::qWait(10);
                    while (artnet.hasPendingDatagrams()) {
                        QByteArray d(int(artnet.pendingDatagramSize()), '\0');
                        artnet.readDatagram(d.data(), d.size());
                        if (d.size() >= 28 && d.startsWith(QByteArray("Art-Net\0", 8)) &&
                            quint8(d[9]) == 0x50 && d[14] == 0 && d[15] == 0)
                            channel10 = quint8(d[18 + 9]);
                    }
                }
                QCOMPARE(channel10, level);
            }
            console->setModified(false, false);
        }
        listener->kill();
        listener->waitForFinished(3000);
        QDir::setCurrent(oldCwd);
    }
};

QTEST_MAIN(TestConsoleOsc)
#include "tst_consoleosc.moc"
