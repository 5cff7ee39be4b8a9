// Our nodes against real peers: OLA's olad (Art-Net and E1.31 in both
// directions, Art-Net subscription through our ArtPollReply), tshark's
// dissectors and an E1.31 source written in Python (how sources merge: tst_acnmerge,
// tst_acnnet). Runs as root inside the private namespace of the test command: it builds a
// two-namespace LAN joined by a veth pair (198.51.100.1 for us, 198.51.100.2 for olad), moves
// its own thread into the first namespace, and removes both namespaces at the end. A peer that
// cannot start fails the test with the reason.
#include "net/acnnet.h"
#include "net/acnsourceid.h"
#include "net/artnet.h"
#include "tests/net/fakenet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <list>
#include <memory>

namespace
{

const char OUR_IP[] = "198.51.100.1";
const char OLA_IP[] = "198.51.100.2";
// OLA's Art-Net plugin: net 0, Sub-Net 0 (it reads our SwOut whole), Port-Address u.
const int OLA_ARTNET_IN_UNIVERSE = 3;   // we send Port-Address 0x03
const int OLA_ARTNET_OUT_UNIVERSE = 15; // OLA sends Port-Address 0x0F
const int OLA_E131_IN_UNIVERSE = 7;     // we send wire universe 7
const int OLA_E131_OUT_UNIVERSE = 9;    // OLA sends wire universe 9

// An E1.31 source independent of our encoder. Arguments: wire universe,
// priority, CID byte, "every", SECONDS, LEVELS: a packet every 100 ms with
// counting sequence numbers. LEVELS: comma-separated, 512 slots zero-padded.
const char PYTHON_SOURCE[] = R"(
import socket, struct, sys, time
universe, priority, cid = int(sys.argv[1]), int(sys.argv[2]), bytes([int(sys.argv[3])]) * 16
def levels(text):
    v = [int(x) for x in text.split(',')]
    return bytes(v + [0] * (512 - len(v)))
def packet(seq, data):
    n = len(data)
    return (struct.pack('!HH12s', 0x10, 0, b'ASC-E1.17\0\0\0')
            + struct.pack('!HI', 0x7000 | (n + 110), 4) + cid
            + struct.pack('!HI64sBHBBH', 0x7000 | (n + 88), 2, b'python'.ljust(64, b'\0'),
                          priority, 0, seq & 0xFF, 0, universe)
            + struct.pack('!HBBHHHB', 0x7000 | (n + 11), 2, 0xA1, 0, 1, n + 1, 0) + data)
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
group = ('239.255.%d.%d' % (universe >> 8, universe & 0xFF), 5568)
end, data, seq = time.time() + float(sys.argv[5]), levels(sys.argv[6]), 1
while time.time() < end:
    s.sendto(packet(seq, data), group)
    seq += 1
    time.sleep(0.1)
)";

struct Result {
    int exitCode = -1;
    QByteArray out;
    QString error;
};

// Runs a command to its end while our event loop keeps serving the nodes.
Result run(const QStringList &cmd, int timeoutMs = 10000)
{
    Result r;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(cmd.first(), cmd.mid(1));
    if (!p.waitForStarted(5000)) {
        r.error = cmd.first() + ": " + p.errorString();
        return r;
    }
    if (!QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        r.error = cmd.join(' ') + ": timed out";
        return r;
    }
    r.out = p.readAll();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

QByteArray pattern(int n, int mul, int add)
{
    QByteArray d(n, 0);
    for (int i = 0; i < n; ++i)
        d[i] = char((i * mul + add) & 0xFF);
    return d;
}

QString csv(const QByteArray &d)
{
    QStringList parts;
    for (char c : d)
        parts << QString::number(quint8(c));
    return parts.join(',');
}

// The first frame of an ola_recorder file ("U v1,v2,..."), after its header.
QString firstFrame(const QString &recording, int universe)
{
    for (const QString &line : recording.split('\n'))
        if (line.startsWith(QString::number(universe) + ' '))
            return line;
    return QString();
}

} // namespace

class TestNetPeers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void artnetToOla();
    void olaSubscribesAndSendsArtnet();
    void acnStreamTrustedByOla();
    void acnCrashRestartTakenByOla();
    void olaSendsAcn();
    void tsharkDecodesOurPackets();
    void cleanupTestCase();

private:
    QStringList inB(const QStringList &cmd) const
    {
        return QStringList{"ip", "netns", "exec", m_nsB} + cmd;
    }
    bool setUpLan(QString *why);
    bool startOlad(QString *why);
    bool startTshark(QString *why);
    // Records what olad hands out on `universe` while `keepSending` runs every 100 ms.
    QString recordOla(int universe, const std::function<void()> &keepSending, int seconds = 4);
    QStringList tsharkRead(const QString &filter, const QStringList &fields = {});
    // A streaming ACN node with the CID kept in settings file `settings`,
    // as a console would start.
    std::unique_ptr<acnnet> startAcnConsole(const QString &settings);
    // Starts the Python source (in namespace B: it reaches us over the veth).
    QProcess *pythonSource(const QStringList &args);

    QString m_nsA, m_nsB;
    int m_originalNs = -1;
    QTemporaryDir m_dir;
    QString m_conf;
    std::unique_ptr<QProcess> m_olad;
    std::unique_ptr<QProcess> m_tshark;
    QString m_pcap;
    std::unique_ptr<artnet> m_artnet;
    std::unique_ptr<acnnet> m_acnnet;
    QByteArray m_artIn = QByteArray(8 * 512, 0); // Art-Net universes 14..21
    QByteArray m_acnIn = QByteArray(512, 0);     // wire universe 9, from olad
    std::unique_ptr<AcnSourceId> m_acnSource;
    QUuid m_firstCid, m_secondCid;
    std::list<QProcess> m_python;
};

void TestNetPeers::initTestCase()
{
    if (geteuid() != 0)
        QFAIL("the peer tests need root (they build namespaces and run olad as its own user)");
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        if (!(i.flags() & QNetworkInterface::IsLoopBack))
            QFAIL(qPrintable("run inside scripts/netns.sh: interface " + i.name() + " is visible"));
    for (const char *tool : {"ip", "olad", "ola_patch", "ola_dev_info", "ola_recorder",
                             "ola_set_dmx", "tshark", "setpriv", "timeout"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QFAIL(qPrintable(QString("peer tool missing: %1").arg(tool)));
    QVERIFY(m_dir.isValid());
    QString why;
    if (!setUpLan(&why))
        QFAIL(qPrintable("cannot build the veth LAN: " + why));

    // From here on this thread (and every process it starts) lives in namespace A.
    const int fd = ::open(qPrintable("/run/netns/" + m_nsA), O_RDONLY | O_CLOEXEC);
    m_originalNs = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    if (fd < 0 || m_originalNs < 0 || ::setns(fd, CLONE_NEWNET) != 0)
        QFAIL("cannot enter namespace A");
    ::close(fd);

    if (!startTshark(&why))
        QFAIL(qPrintable("tshark cannot start: " + why));
    if (!startOlad(&why))
        QFAIL(qPrintable("olad cannot start: " + why));

    m_artnet.reset(new artnet(false));
    QCOMPARE(m_artnet->interfaces().size(), 1);
    QCOMPARE(m_artnet->interfaces().first().addressEntry.ip(), QHostAddress(OUR_IP));
    m_artnet->setFirmwareVersion(0, 8);
    m_artnet->setOemCode(0x00, 0xFF);
    m_artnet->setNodeNames("Pultora", "Pultora V0.8 by www.pultora.org");
    m_artnet->setNodeReport("Pultora ");
    QVERIFY(m_artnet->setPollReplyEnabled(true));
    m_artnet->setReceiveBuffer(reinterpret_cast<quint8 *>(m_artIn.data()), m_artIn.size(), 512);
    QVERIFY(m_artnet->setReceiveUniverse(14));

    m_acnnet = startAcnConsole(m_dir.filePath("console.ini"));
    QVERIFY(m_acnnet->membershipsOk());
    QFile python(m_dir.filePath("e131source.py"));
    QVERIFY(python.open(QIODevice::WriteOnly));
    python.write(PYTHON_SOURCE);
}

bool TestNetPeers::setUpLan(QString *why)
{
    const QString tag =
        QString("%1-%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch() % 100000);
    m_nsA = "ptra-net-a-" + tag;
    m_nsB = "ptra-net-b-" + tag;
    const QList<QStringList> steps = {
        {"ip", "netns", "add", m_nsA},
        {"ip", "netns", "add", m_nsB},
        {"ip", "-n", m_nsA, "link", "add", "va", "type", "veth", "peer", "name", "vb", "netns",
         m_nsB},
        {"ip", "-n", m_nsA, "addr", "add", QString(OUR_IP) + "/24", "brd", "+", "dev", "va"},
        {"ip", "-n", m_nsB, "addr", "add", QString(OLA_IP) + "/24", "brd", "+", "dev", "vb"},
        {"ip", "-n", m_nsA, "link", "set", "lo", "up"},
        {"ip", "-n", m_nsB, "link", "set", "lo", "up"},
        {"ip", "-n", m_nsA, "link", "set", "va", "up"},
        {"ip", "-n", m_nsB, "link", "set", "vb", "up"},
        {"ip", "-n", m_nsA, "route", "add", "224.0.0.0/4", "dev", "va"},
        {"ip", "-n", m_nsB, "route", "add", "224.0.0.0/4", "dev", "vb"},
    };
    for (const QStringList &step : steps) {
        const Result r = run(step);
        if (r.exitCode != 0) {
            *why = step.join(' ') + ": " + r.error + QString::fromLocal8Bit(r.out);
            return false;
        }
    }
    return true;
}

bool TestNetPeers::startTshark(QString *why)
{
    m_pcap = m_dir.filePath("capture.pcapng");
    QDir().mkpath(m_dir.filePath("tmp"));
    m_tshark.reset(new QProcess);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", m_dir.filePath("tmp"));
    m_tshark->setProcessEnvironment(env);
    m_tshark->setProcessChannelMode(QProcess::MergedChannels);
    m_tshark->start("tshark", {"-i", "va", "-n", "-f", "udp port 6454 or udp port 5568", "-w",
                               m_pcap, "-a", "duration:240"});
    QByteArray log;
    const bool up = QTest::qWaitFor(
        [&] {
            log += m_tshark->readAll();
            return log.contains("Capturing on") || m_tshark->state() == QProcess::NotRunning;
        },
        15000);
    if (!up || m_tshark->state() == QProcess::NotRunning) {
        *why = QString::fromLocal8Bit(log) + m_tshark->errorString();
        return false;
    }
    return true;
}

bool TestNetPeers::startOlad(QString *why)
{
    m_conf = m_dir.filePath("ola");
    QDir().mkpath(m_conf);
    // Only olad's own folder changes hands: tshark's capture writer, which
    // drops root's capabilities, keeps writing to the root-owned folder.
    if (run({"chown", "-R", "olad:olad", m_conf}).exitCode != 0 ||
        run({"chmod", "755", m_dir.path()}).exitCode != 0) {
        *why = "cannot hand the configuration folder to user olad";
        return false;
    }
    const QStringList olad =
        inB({"setpriv", "--reuid=olad", "--regid=olad", "--init-groups", "olad", "-c", m_conf,
             "--no-http", "--no-register-with-dns-sd", "-l", "3"});
    auto start = [&](const QString &phase) {
        m_olad.reset(new QProcess);
        m_olad->setProcessChannelMode(QProcess::MergedChannels);
        m_olad->start(olad.first(), olad.mid(1));
        const bool up = QTest::qWaitFor(
            [&] {
                return m_olad->state() == QProcess::NotRunning ||
                       run(inB({"ola_dev_info"}), 3000).exitCode == 0;
            },
            20000);
        if (!up || m_olad->state() == QProcess::NotRunning) {
            *why = phase + ": " + QString::fromLocal8Bit(m_olad->readAll().right(2000));
            return false;
        }
        return true;
    };
    // First start writes the default plugin files; then only Art-Net and E1.31 stay on.
    if (!start("first start"))
        return false;
    m_olad->terminate();
    m_olad->waitForFinished(10000);
    const QStringList files = QDir(m_conf).entryList({"ola-*.conf"});
    if (!files.contains("ola-artnet.conf") || !files.contains("ola-e131.conf")) {
        *why = "olad wrote no plugin configuration: " + files.join(' ');
        return false;
    }
    for (const QString &name : files) {
        if (name == "ola-server.conf" || name == "ola-universe.conf" || name == "ola-port.conf")
            continue;
        QFile f(QDir(m_conf).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QString text = QString::fromUtf8(f.readAll());
        f.close();
        const bool keep = name == "ola-artnet.conf" || name == "ola-e131.conf";
        text.replace(QRegularExpression("^enabled = .*$", QRegularExpression::MultilineOption),
                     keep ? "enabled = true" : "enabled = false");
        auto set = [&text](const QString &key, const QString &value) {
            const QRegularExpression re("^" + key + " = .*$", QRegularExpression::MultilineOption);
            if (text.contains(re))
                text.replace(re, key + " = " + value);
            else
                text += key + " = " + value + "\n";
        };
        if (name == "ola-artnet.conf") {
            set("ip", OLA_IP);
            set("net", "0");
            set("subnet", "0");
            set("use_loopback", "false");
            set("always_broadcast", "false");
        } else if (name == "ola-e131.conf") {
            set("ip", OLA_IP);
            set("cid", "7b4ac0f2-43f5-4a6c-9bd3-0e1c21a0a001");
            set("prepend_hostname", "false");
            set("draft_discovery", "false");
        }
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            continue;
        f.write(text.toUtf8());
    }
    if (!start("second start"))
        return false;
    const Result devices = run(inB({"ola_dev_info"}));
    if (!devices.out.contains("ArtNet") || !devices.out.contains("E1.31")) {
        *why =
            "olad runs without its Art-Net or E1.31 device: " + QString::fromLocal8Bit(devices.out);
        return false;
    }
    return true;
}

QString TestNetPeers::recordOla(int universe, const std::function<void()> &keepSending, int seconds)
{
    const QString file = m_dir.filePath(QString("record-%1.txt").arg(universe));
    QFile::remove(file);
    QProcess rec;
    rec.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList cmd = inB({"timeout", "-s", "INT", QString::number(seconds), "ola_recorder",
                                 "-r", file, "-u", QString::number(universe)});
    rec.start(cmd.first(), cmd.mid(1));
    if (!rec.waitForStarted(5000))
        return QString();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, keepSending);
    tick.start(100);
    (void)QTest::qWaitFor([&rec] { return rec.state() == QProcess::NotRunning; },
                          5000 + seconds * 1000);
    tick.stop();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString("(no recording) ") + QString::fromLocal8Bit(rec.readAll());
    return QString::fromLatin1(f.readAll());
}

void TestNetPeers::artnetToOla()
{
    const Result patch = run(inB(
        {"ola_patch", "-d", "1", "-p", "0", "-i", "-u", QString::number(OLA_ARTNET_IN_UNIVERSE)}));
    QVERIFY2(patch.exitCode == 0, patch.out.constData());
    const QByteArray data = pattern(512, 3, 1);
    const QString recording = recordOla(
        OLA_ARTNET_IN_UNIVERSE, [&] { sendUniverse(*m_artnet, OLA_ARTNET_IN_UNIVERSE, data); });
    const QString expected = QString("%1 %2").arg(OLA_ARTNET_IN_UNIVERSE).arg(csv(data));
    QVERIFY2(recording.contains(expected), qPrintable(recording.left(300)));
    // olad answered our polls with an output port there: it gets the universe
    // by unicast from now on (what went on the wire: see the tshark test).
    QCOMPARE(m_artnet->subscribers(OLA_ARTNET_IN_UNIVERSE),
             QList<QHostAddress>{QHostAddress(OLA_IP)});
}

void TestNetPeers::olaSubscribesAndSendsArtnet()
{
    // Patching an output port makes olad poll; it sends only to nodes whose
    // ArtPollReply lists its Port-Address 0x0F (our first reply page).
    const Result patch = run(
        inB({"ola_patch", "-d", "1", "-p", "0", "-u", QString::number(OLA_ARTNET_OUT_UNIVERSE)}));
    QVERIFY2(patch.exitCode == 0, patch.out.constData());
    const int slot = OLA_ARTNET_OUT_UNIVERSE - 14;
    quint8 v = 0;
    const bool arrived = QTest::qWaitFor(
        [&] {
            run(inB({"ola_set_dmx", "-u", QString::number(OLA_ARTNET_OUT_UNIVERSE), "-d",
                     "11,22,33,44"}),
                5000);
            return m_artnet->getReceivedValue(OLA_ARTNET_OUT_UNIVERSE, 3, v) && v == 44;
        },
        25000);
    QVERIFY2(arrived, "olad sent no ArtDmx to our node (not subscribed from our ArtPollReply?)");
    QCOMPARE(m_artIn.mid(slot * 512, 4), QByteArray("\x0b\x16\x21\x2c", 4));
    QVERIFY(!m_artnet->getReceivedValue(OLA_ARTNET_OUT_UNIVERSE + 1, 0, v));

    // We send that universe too: two senders on one universe, reported once.
    QStringList notices;
    m_artnet->setNoticeHandler([&notices](const QString &text) { notices << text; });
    const QByteArray ours(512, 1);
    sendUniverse(*m_artnet, OLA_ARTNET_OUT_UNIVERSE, ours);
    QTest::ignoreMessage(QtWarningMsg, "Art-Net universe 16 is also sent by 198.51.100.2: two "
                                       "senders on one universe");
    for (int i = 0; i < 3; ++i)
        run(inB({"ola_set_dmx", "-u", QString::number(OLA_ARTNET_OUT_UNIVERSE), "-d", "1,2"}),
            5000);
    QVERIFY(QTest::qWaitFor([&notices] { return !notices.isEmpty(); }, 3000));
    QTest::qWait(300);
    QCOMPARE(notices.size(), 1);
    m_artnet->setNoticeHandler({});
}

std::unique_ptr<acnnet> TestNetPeers::startAcnConsole(const QString &settingsFile)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    m_acnSource.reset();
    m_acnSource = AcnSourceId::claim(settings, m_dir.path());
    auto node = std::make_unique<acnnet>();
    node->setSourceName("Pultora");
    node->setCid(m_acnSource->cid());
    node->setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(m_acnIn.data()), m_acnIn.size(),
                                   {OLA_E131_OUT_UNIVERSE - 1});
    return node;
}

QProcess *TestNetPeers::pythonSource(const QStringList &args)
{
    m_python.emplace_back();
    QProcess &p = m_python.back();
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList cmd = inB(QStringList{"python3", m_dir.filePath("e131source.py")} + args);
    p.start(cmd.first(), cmd.mid(1));
    return &p;
}

// One 16 s run: olad keeps our universe for 10 s of keep-alives only (a
// Python source at lower priority stands by to show when it would let go),
// lets go at once when we quit, and takes a restarted console at once.
void TestNetPeers::acnStreamTrustedByOla()
{
    const Result patch = run(inB(
        {"ola_patch", "-d", "2", "-p", "0", "-i", "-u", QString::number(OLA_E131_IN_UNIVERSE)}));
    QVERIFY2(patch.exitCode == 0, patch.out.constData());
    const QByteArray ours = pattern(512, 5, 2);
    const QString oursLine = QString("%1 %2").arg(OLA_E131_IN_UNIVERSE).arg(csv(ours));
    QCOMPARE(sendUniverse(*m_acnnet, OLA_E131_IN_UNIVERSE - 1, ours), 1);
    m_firstCid = m_acnnet->cid();
    QProcess *standby = pythonSource(
        {QString::number(OLA_E131_IN_UNIVERSE), "50", "80", "every", "25", "50,50,50"});
    const QString standbyLine = QString("%1 50,50,50,").arg(OLA_E131_IN_UNIVERSE);
    m_olad->readAll();

    // 10 s without a change: olad must take every keep-alive.
    const std::function<void()> idle = [] {};
    const QString steady = recordOla(OLA_E131_IN_UNIVERSE, idle, 11);
    QVERIFY2(steady.contains(oursLine), qPrintable(steady.left(300)));
    QVERIFY2(!steady.contains(standbyLine), "olad dropped our universe while it was kept alive");
    const QByteArray log = m_olad->readAll();
    QVERIFY2(!log.contains("Old packet"), log.constData());

    // Quitting: Stream_Terminated hands the universe to the standby at once
    // (without it olad would wait 2.5 s from our last packet).
    m_acnnet.reset();
    QString after = recordOla(OLA_E131_IN_UNIVERSE, idle, 2);
    QVERIFY2(firstFrame(after, OLA_E131_IN_UNIVERSE).startsWith(standbyLine),
             qPrintable(after.left(300)));

    // The restarted console is the same source and is taken at once.
    m_acnnet = startAcnConsole(m_dir.filePath("console.ini"));
    QCOMPARE(m_acnnet->cid(), m_firstCid);
    const QByteArray next = pattern(512, 7, 1);
    sendUniverse(*m_acnnet, OLA_E131_IN_UNIVERSE - 1, next);
    after = recordOla(OLA_E131_IN_UNIVERSE, idle, 2);
    QVERIFY2(firstFrame(after, OLA_E131_IN_UNIVERSE) ==
                 QString("%1 %2").arg(OLA_E131_IN_UNIVERSE).arg(csv(next)),
             qPrintable(after.left(300)));
    standby->kill();
}

// A console killed after 20 frames (a restart numbered from 1 would be late
// for 2 s) and started 0.3 s later with the same CID: olad takes it within 1 s.
void TestNetPeers::acnCrashRestartTakenByOla()
{
    const int u = 8; // wire universe and OLA's, on its E1.31 input port 1
    QCOMPARE(run(inB({"ola_patch", "-d", "2", "-p", "1", "-i", "-u", "8"})).exitCode, 0);
    const QString settings = m_dir.filePath("crash.ini");
    const pid_t crashing = fork();
    if (crashing == 0) {
        m_acnSource.release(); // our parent's lock: not ours to remove
        const auto node = startAcnConsole(settings);
        for (int k = 1; k <= 20; ++k, usleep(5000))
            sendUniverse(*node, u - 1, QByteArray(512, char(k)));
        for (;;)
            pause();
    }
    QTest::qWait(1000);
    QCOMPARE(::kill(crashing, SIGKILL) | int(::waitpid(crashing, nullptr, 0) != crashing), 0);
    QTest::qWait(300);
    const auto restarted = startAcnConsole(settings);
    QVERIFY(!QSettings(settings, QSettings::IniFormat).contains("streamingAcn/cid2")); // same CID
    const auto again = [&] { sendUniverse(*restarted, u - 1, QByteArray(512, char(200))); };
    again();
    QVERIFY(recordOla(u, again, 1).contains("8 " + csv(QByteArray(512, char(200))))); // in 1 s
}

void TestNetPeers::olaSendsAcn()
{
    const Result patch =
        run(inB({"ola_patch", "-d", "2", "-p", "0", "-u", QString::number(OLA_E131_OUT_UNIVERSE)}));
    QVERIFY2(patch.exitCode == 0, patch.out.constData());
    QVERIFY(m_acnnet);
    quint8 v = 0;
    const bool arrived = QTest::qWaitFor(
        [&] {
            run(inB({"ola_set_dmx", "-u", QString::number(OLA_E131_OUT_UNIVERSE), "-d", "5,6,7"}),
                5000);
            return m_acnnet->getReceivedValue(OLA_E131_OUT_UNIVERSE - 1, 2, v) && v == 7;
        },
        15000);
    QVERIFY2(arrived, "olad's E1.31 did not reach our DMX-IN array");
    QCOMPARE(m_acnIn.left(4), QByteArray("\x05\x06\x07\x00", 4)); // three slots, no more
}

QStringList TestNetPeers::tsharkRead(const QString &filter, const QStringList &fields)
{
    QStringList cmd{
        "tshark", "-r",  m_pcap, "-n", "--enable-heuristic", "acn", "-o", "acn.dmx_enable:TRUE",
        "-Y",     filter};
    if (!fields.isEmpty()) {
        cmd << "-T"
            << "fields";
        for (const QString &f : fields)
            cmd << "-e" << f;
    }
    const Result r = run(cmd, 30000);
    QStringList lines = QString::fromLocal8Bit(r.out).split('\n', Qt::SkipEmptyParts);
    // tshark's own warnings (running as root) share the merged output.
    lines.removeIf([](const QString &l) { return l.startsWith("Running as user"); });
    return lines;
}

void TestNetPeers::tsharkDecodesOurPackets()
{
    QByteArray data(512, 0);
    data[0] = 0x0b;
    data[1] = 0x16;
    data[2] = 0x21;
    QCOMPARE(sendUniverse(*m_artnet, 0x0123, data), 1);
    QVERIFY(m_acnnet);
    QCOMPARE(sendUniverse(*m_acnnet, 999, data), 1);
    QCOMPARE(sendUniverse(*m_acnnet, 999, data.left(24)), 1);
    {
        QSettings settings(m_dir.filePath("other.ini"), QSettings::IniFormat);
        const auto id = AcnSourceId::claim(settings, m_dir.path());
        acnnet second;
        second.setCid(id->cid());
        QCOMPARE(sendUniverse(second, 1000, data.left(24)), 1);
    }
    QTest::qWait(1300); // two keep-alive rounds
    QVERIFY2(m_tshark->state() == QProcess::Running,
             qPrintable("tshark stopped early: " + QString::fromLocal8Bit(m_tshark->readAll())));
    const qint64 pid = m_tshark->processId();
    QVERIFY(pid > 0);
    ::kill(pid_t(pid), SIGINT); // tshark finishes its file on SIGINT
    QVERIFY(QTest::qWaitFor([this] { return m_tshark->state() == QProcess::NotRunning; }, 15000));

    const QString us = QString("ip.src==%1 && ").arg(OUR_IP);
    QVERIFY(!tsharkRead(us + "artnet.header.opcode==0x5000 && artnet.output.universe==291 && "
                             "artnet.output.length==512 && udp.payload[18:3]==0b:16:21 && "
                             "artnet.header.protver==14")
                 .isEmpty());

    // Unicast: once olad subscribed to 0x03 (OLA universe 3), every ArtDmx of
    // it goes to olad alone; 0x0123 has no subscriber and is broadcast. The
    // Sequence counts per universe.
    const QStringList dmx =
        tsharkRead(us + "artnet.header.opcode==0x5000", {"ip.dst", "udp.payload"});
    QStringList toOla, to291;
    QList<int> seq291;
    for (const QString &line : dmx) {
        const QByteArray payload =
            QByteArray::fromHex(line.section('\t', 1).remove(':').toLatin1());
        const int universe = quint8(payload[14]) | quint8(payload[15]) << 8;
        if (universe == OLA_ARTNET_IN_UNIVERSE)
            toOla << line.section('\t', 0, 0);
        if (universe == 0x0123) {
            to291 << line.section('\t', 0, 0);
            seq291 << quint8(payload[12]);
        }
    }
    const int firstUnicast = int(toOla.indexOf(OLA_IP));
    QVERIFY2(firstUnicast >= 0, qPrintable(toOla.join(' ')));
    QCOMPARE(toOla.mid(firstUnicast), QStringList(toOla.size() - firstUnicast, OLA_IP));
    QCOMPARE(toOla.mid(0, firstUnicast),
             QStringList(firstUnicast, "198.51.100.255")); // before olad's first reply
    QVERIFY2(to291.size() >= 2 && to291.count("198.51.100.255") == to291.size(),
             qPrintable(to291.join(' ')));
    QCOMPARE(seq291.mid(0, 2), (QList<int>{1, 2})); // the send and its first repeat
    QVERIFY(!tsharkRead(us + "artnet.header.opcode==0x2000").isEmpty()); // our polls

    // Our replies to olad's polls: page 1 holds Port-Address 0x0F.
    const QString mac = m_artnet->interfaces().first().hardwareAddress.toLower();
    const QStringList replies = tsharkRead(
        us + "artnet.header.opcode==0x2100",
        {"artnet.poll_reply.ip_address", "artnet.poll_reply.short_name",
         "artnet.poll_reply.num_ports", "artnet.poll_reply.netswitch",
         "artnet.poll_reply.subswitch", "artnet.poll_reply.swout_1_universe",
         "artnet.poll_reply.mac", "artnet.poll_reply.bind_index", "artnet.poll_reply.oem"});
    QVERIFY2(!replies.isEmpty(), "no ArtPollReply captured");
    QVERIFY2(replies.contains(
                 QString("198.51.100.1\tPultora\t2\t0x00\t0x00\t14\t%1\t0x01\t0x00ff").arg(mac)),
             qPrintable(replies.join('\n')));
    QVERIFY2(replies.contains(
                 QString("198.51.100.1\tPultora\t4\t0x00\t0x01\t16\t%1\t0x02\t0x00ff").arg(mac)),
             qPrintable(replies.join('\n')));
    QVERIFY2(replies.contains(
                 QString("198.51.100.1\tPultora\t2\t0x00\t0x01\t20\t%1\t0x03\t0x00ff").arg(mac)),
             qPrintable(replies.join('\n')));

    const QStringList e131 = tsharkRead(us + "acn.dmx.universe==1000 && acn.dmx.seq_number!=129",
                                        {"acn.dmx.count", "acn.dmx.source_name", "acn.dmx.priority",
                                         "acn.dmx.seq_number", "acn.pdu.length"});
    QVERIFY2(e131.size() >= 3, qPrintable(e131.join('\n')));
    QVERIFY2(e131.first().startsWith("513\tPultora\t100\t1\t"), qPrintable(e131.first()));
    QVERIFY2(e131.at(1).startsWith("25\tPultora\t100\t2\t"), qPrintable(e131.at(1)));
    QVERIFY2(e131.at(2).startsWith("25\tPultora\t100\t3\t"), qPrintable(e131.at(2))); // repeat

    // Universe 7 over the OLA run: one CID before and after the restart, the
    // number counting on by one with every packet of a run (past the copy of
    // its first frame numbered 129), three Stream_Terminated packets between the runs.
    const QStringList seven = tsharkRead(
        us + QString("acn.dmx.universe==%1 && acn.dmx.seq_number!=129").arg(OLA_E131_IN_UNIVERSE),
        {"acn.cid", "acn.dmx.seq_number", "acn.dmx.options"});
    QVERIFY2(seven.size() > 20, qPrintable(seven.join('\n')));
    int terminated = 0, runs = 1;
    for (int i = 0; i < seven.size(); ++i) {
        const QStringList f = seven[i].split('\t');
        QCOMPARE(QUuid(f[0]), m_firstCid);
        const bool ends = f[2].toInt(nullptr, 0) & 0x40;
        terminated += ends ? 1 : 0;
        if (i == 0)
            continue;
        const QStringList prev = seven[i - 1].split('\t');
        const bool newRun = (prev[2].toInt(nullptr, 0) & 0x40) && !ends;
        runs += newRun ? 1 : 0;
        QCOMPARE(f[1].toInt(), newRun ? 1 : (prev[1].toInt() + 1) & 0xFF);
    }
    QCOMPARE(terminated, 3);
    QCOMPARE(runs, 2);
    // Another installation is another source.
    const QStringList other = tsharkRead(us + "acn.dmx.universe==1001", {"acn.cid"});
    QVERIFY2(!other.isEmpty(), "no packet of the second installation");
    QVERIFY(QUuid(other.first()) != m_firstCid && !QUuid(other.first()).isNull());

    const QStringList bad = tsharkRead(us + "(_ws.malformed || _ws.expert.severity >= 8388608)");
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join('\n')));
}

void TestNetPeers::cleanupTestCase()
{
    m_artnet.reset();
    m_acnnet.reset();
    for (QProcess &p : m_python) {
        p.kill();
        p.waitForFinished(2000);
    }
    if (m_olad && m_olad->state() != QProcess::NotRunning) {
        m_olad->terminate();
        if (!m_olad->waitForFinished(5000))
            m_olad->kill();
    }
    if (m_tshark && m_tshark->state() != QProcess::NotRunning) {
        m_tshark->kill();
        m_tshark->waitForFinished(5000);
    }
    if (m_originalNs >= 0) {
        ::setns(m_originalNs, CLONE_NEWNET);
        ::close(m_originalNs);
    }
    for (const QString &ns : {m_nsB, m_nsA})
        if (!ns.isEmpty())
            run({"ip", "netns", "del", ns});
}

QTEST_GUILESS_MAIN(TestNetPeers)
#include "tst_netpeers.moc"
