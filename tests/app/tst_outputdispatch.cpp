#include "app/outputconsent.h"
#include "app/outputdispatch.h"
#include "app/outputobjects.h"
#include "net/artnet.h"
#include "tests/net/fakenet.h"
#include "tests/records.h"

#include <QtTest>

namespace
{

struct Sent {
    QString what;
    int universe = -1;
    QByteArray data;
};

class RecordingPorts : public OutputPorts
{
public:
    QList<Sent> sent;
    QString failWith; // every send fails with this reason when set

    SendOutcome sendArtNet(quint16 u, const QByteArray &d) override
    {
        return record({"artnet", u, d});
    }
    SendOutcome sendAcn(quint16 u, const QByteArray &d) override { return record({"acn", u, d}); }
    SendOutcome sendMidi(int device, quint8 status, quint8 channel, quint8 d1, quint8 d2) override
    {
        return record(QString::asprintf("midi %d %x %d %d %d", device, status, channel, d1, d2));
    }
    SendOutcome requestUrl(const QString &server, const QString &link) override
    {
        return record("http " + server + " " + link);
    }
    SendOutcome runCommand(const QString &path, const QString &command) override
    {
        return record("cmd " + path + " " + command);
    }
    SendOutcome sendOsc(const QString &host, quint16 port, const QByteArray &address, bool isFloat,
                        double number) override
    {
        const QString value =
            isFloat ? QString::number(number, 'f', 3) : "i" + QString::number(number);
        return record(QStringLiteral("osc %1:%2 %3 %4")
                          .arg(host, QString::number(port), QString::fromUtf8(address), value));
    }

private:
    SendOutcome record(const QString &what) { return record(Sent{what, -1, {}}); }
    SendOutcome record(const Sent &s)
    {
        sent.append(s);
        return failWith.isEmpty() ? SendOutcome() : SendOutcome::failed(failWith);
    }
};

// An output written "a 0 5" (Art-Net universe, channel), "s" (sACN), "m 0 60"
// (MIDI note on; "M": no MIDI type), "h dim?v=%1" (HTTP), "c go %1"
// (command), "o /go 10.0.0.5:9000 i" (OSC: address, target, int argument;
// ":7000" a port of its own only), "n" (none) or "? 9" (a protocol number
// unknown).
SettingDmxStruct out(const QString &spec)
{
    const QStringList f = spec.split(' ');
    const QString rest = spec.section(' ', 1);
    const QString kind = f.at(0);
    // The letters in the order of the protocol numbers.
    const quint8 protocol = kind == "?" ? quint8(rest.toUInt())
                                        : quint8(QStringLiteral("nasmhco").indexOf(kind.toLower()));
    SettingDmxStruct d = output(protocol, f.value(1).toUShort(), f.value(2).toUShort());
    d.dmx_midi_type = kind == "m" ? MT_NOTE_ON : MT_NONE;
    d.dmx_http_filename = kind == "h" ? rest : QString();
    d.dmx_command_filename = kind == "c" ? rest : QString();
    if (kind == "o") {
        d = SettingDmxStruct();
        d.protocol_type = PT_OSC;
        d.osc_address = f.value(1);
        d.osc_host = f.value(2).section(':', 0, 0);
        d.osc_port = f.value(2).section(':', 1).toUShort();
        d.osc_argument = f.value(3) == "i" ? OSC_INT : OSC_FLOAT;
    }
    return d;
}

// A fake LAN with interfaces eth0 (192.168.1.10/24) and eth1 (10.0.0.3/8).
struct Lan {
    FakeNet net;
    Lan()
    {
        net.useLan();
        net.interfaces[1].name = "eth0";
        net.interfaces[2].name = "eth1";
    }
    // What left to `port` (any when 0), datagrams longer than `longer` only.
    QList<FakeSocket::Sent> sent(quint16 port = 0, int longer = 0) const
    {
        QList<FakeSocket::Sent> list;
        for (const auto &s : net.sockets)
            for (const FakeSocket::Sent &d : s ? s->sent : QList<FakeSocket::Sent>())
                if ((!port || d.port == port) && d.data.size() > longer)
                    list.append(d);
        return list;
    }
};

} // namespace

class TestOutputDispatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:

    // Steps "a|s universe channel value [store]" or "clear"; the last datagram
    // the ports were asked for, as "artnet|acn universe channel=value ...".
    void universeBuffers_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QString>("last");
        QTest::newRow("a fader sends its whole universe")
            << QStringList{"a 0 5 128"} << 1 << "artnet 0 5=128 4=0";
        QTest::newRow("low 8 bits") << QStringList{"s 2 0 511"} << 1 << "acn 2 0=255";
        QTest::newRow("a level that falls leaves falling")
            << QStringList{"a 0 5 200", "a 0 5 50"} << 2 << "artnet 0 5=50";
        QTest::newRow("two controls, one universe")
            << QStringList{"a 1 0 10", "a 1 1 20", "a 1 0 30"} << 3 << "artnet 1 0=30 1=20";
        QTest::newRow("protocols apart")
            << QStringList{"a 1 0 10", "s 1 2 5"} << 2 << "acn 1 0=0 2=5";
        QTest::newRow("stored values leave with the first change")
            << QStringList{"a 0 3 77 store", "s 0 3 1 store", "a 0 4 1"} << 1
            << "artnet 0 3=77 4=1";
        QTest::newRow("clear forgets")
            << QStringList{"a 0 3 77 store", "clear", "a 0 4 2"} << 1 << "artnet 0 3=0 4=2";
        QTest::newRow("universe 256 is not 0")
            << QStringList{"a 256 1 1", "a 0 0 3"} << 2 << "artnet 0 0=3 1=0";
        QTest::newRow("highest Art-Net universe")
            << QStringList{"a 32767 511 2"} << 1 << "artnet 32767 511=2";
        QTest::newRow("sACN 65534") << QStringList{"s 65534 511 2"} << 1 << "acn 65534 511=2";
    }

    void universeBuffers()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, sends);
        QFETCH(QString, last);
        RecordingPorts ports;
        OutputDispatch dispatch(ports);
        for (const QString &step : steps) {
            const QStringList f = step.split(' ');
            if (f[0] == "clear") {
                dispatch.clear();
                continue;
            }
            QVERIFY(dispatch
                        .send(output(f[0] == "a" ? PT_ARTNET : PT_ACN, quint16(f[1].toInt()),
                                     quint16(f[2].toInt())),
                              f[3].toInt(), f.size() > 4, nullptr)
                        .ok);
        }
        QCOMPARE(ports.sent.size(), sends);
        const QStringList expected = last.split(' ');
        const Sent &s = ports.sent.last();
        QCOMPARE(s.what, expected[0]);
        QCOMPARE(s.universe, expected[1].toInt());
        QCOMPARE(s.data.size(), 512);
        for (const QString &slot : expected.mid(2))
            QCOMPARE(int(quint8(s.data[slot.section('=', 0, 0).toInt()])),
                     slot.section('=', 1).toInt());
    }

    void midiHttpAndCommand()
    {
        RecordingPorts ports;
        OutputDispatch dispatch(ports);
        PreferencesStruct prefs;
        prefs.midi_device_out = 2;
        prefs.http_server = "http://127.0.0.1:8080/";
        prefs.command_flag = true;
        prefs.command_path = "/opt/bin";
        SettingDmxStruct midi = output(PT_MIDI, 3, 7);
        midi.dmx_midi_type = MT_CONTROL_CHANGE;
        SettingDmxStruct http = output(PT_HTTP, 0, 0);
        http.dmx_http_filename = "set?a=%1&b=%1&c=%2";
        SettingDmxStruct cmd = output(PT_COMMAND, 0, 0);
        cmd.dmx_command_filename = "run.sh %1";
        dispatch.send(midi, 300, false, &prefs);
        dispatch.send(http, 42, false, &prefs);
        dispatch.send(cmd, 7, false, &prefs);
        QCOMPARE(ports.sent.size(), 3);
        QCOMPARE(ports.sent[0].what, QStringLiteral("midi 1 b0 3 7 44")); // device - 1, low 8 bits
        QCOMPARE(ports.sent[1].what,
                 QStringLiteral("http http://127.0.0.1:8080/ set?a=42&b=42&c=%2"));
        QCOMPARE(ports.sent[2].what, QStringLiteral("cmd /opt/bin run.sh 7"));

        // A show whose calls to other computers were not allowed calls this one only.
        prefs.http_other_hosts = false;
        QVERIFY(dispatch.send(http, 1, false, &prefs).ok);
        prefs.http_server = "http://10.0.0.9/";
        QTest::ignoreMessage(QtWarningMsg,
                             "HTTP set?a=1&b=1&c=%2: not sent (calls to other computers are not "
                             "allowed for this show)");
        QVERIFY(!dispatch.send(http, 1, false, &prefs).ok);
        QCOMPARE(ports.sent.size(), 4);
        prefs.http_other_hosts = true;
        QVERIFY(dispatch.send(http, 1, false, &prefs).ok);
        QCOMPARE(ports.sent.size(), 5);

        // OSC: an int as DMX would send it, or a float over the output's range;
        // to its own host, else the default one.
        SettingDmxStruct osc = out("o /f host.example:1 i");
        osc.dmx_value_1 = 55;
        QVERIFY(dispatch.send(osc, 155, false, &prefs).ok);
        osc.osc_argument = OSC_FLOAT;
        osc.osc_host.clear();
        QVERIFY(dispatch.send(osc, 155, false, &prefs).ok);
        QCOMPARE(ports.sent[5].what, QStringLiteral("osc host.example:1 /f i155"));
        QCOMPARE(ports.sent[6].what, QStringLiteral("osc 127.0.0.1:1 /f 0.500"));
    }

    // Whether OSC to a host needs the show's consent, with the chosen interface
    // on 192.168.1.10/24 or on loopback only.
    void oscHostsNeedingConsent_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("onLan");
        QTest::addColumn<bool>("needed");
        QTest::newRow("loopback") << "127.0.0.2" << true << false;
        QTest::newRow("localhost") << "localhost." << false << false;
        QTest::newRow("IPv6 loopback") << "::1" << true << false;
        QTest::newRow("on the interface's network") << "192.168.1.77" << true << false;
        QTest::newRow("next network") << "192.168.2.77" << true << true;
        QTest::newRow("on loopback only") << "192.168.1.77" << false << true;
        QTest::newRow("a name, even on the network") << "desk.local" << true << true;
    }

    void oscHostsNeedingConsent()
    {
        QFETCH(QString, host);
        QFETCH(bool, onLan);
        QFETCH(bool, needed);
        QNetworkAddressEntry lan;
        lan.setIp(QHostAddress(QStringLiteral("192.168.1.10")));
        lan.setPrefixLength(24);
        QCOMPARE(oscHostNeedsConsent(host, onLan ? QList<QNetworkAddressEntry>{lan}
                                                 : QList<QNetworkAddressEntry>()),
                 needed);
    }

    void statusLines_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("v");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>(
            "server"); // "-": no preferences record at all; "cmd": commands on
        QTest::addColumn<QString>("line");
        const auto row = [](const char *name, const char *output, int v, bool hex,
                            const char *server, const char *line) {
            QTest::newRow(name) << QString(output) << v << hex << QString(server) << QString(line);
        };
        row("art-net hex", "a 0 5", 128, true, "",
            "Protocol: Art-Net - DMX Universe: 1 (0x01) | DMX Channel: 6 (0x06) | DMX Value: 128 "
            "(0x80)");
        row("sacn", "s 299 511", 0, false, "",
            "Protocol: streaming ACN - DMX Universe: 300 | DMX Channel: 512 | DMX Value: 0");
        row("midi hex", "m 0 60", 64, true, "",
            "Protocol: MIDI - MIDI Type: Note, On (0x90) | MIDI Channel: 1 (0x01) | MIDI Note: 60 "
            "(0x3c) | MIDI Value: 64 (0x40)");
        row("none", "n", 1, false, "",
            "Protocol: None - No protocol has been selected for sending data!");
        row("unknown", "? 9", 1, false, "", "Protocol: None - Unknown Type of Protocol");
        row("http", "h /dim?v=%1", 200, true, "default",
            "Protocol: HTTP - http://localhost/dim?v=200");
        row("command flag off", "c go %1", 3, false, "",
            "Protocol: Command - No Command flag in preferences configured!");
        // Without a preferences record only the prefix is shown.
        row("http, no preferences", "h /dim?v=%1", 1, false, "-", "Protocol: HTTP - ");
        row("http joined", "h dim?v=%1", 7, false, "http://10.0.0.9",
            "Protocol: HTTP - http://10.0.0.9/dim?v=7");
        row("http, no server", "h dim?v=%1", 7, false, "",
            "Protocol: HTTP - No HTTP server name in preferences configured!");
        row("command, no hex", "c go %1 %1", 12, true, "cmd",
            "Protocol: Command - Command: go 12 12");
        row("osc float", "o /stage/fader/1 10.0.0.5:9000", 128, false, "",
            "Protocol: OSC - /stage/fader/1 0.50 to 10.0.0.5:9000");
        row("osc int, default target", "o /go :0 i", 7, true, "",
            "Protocol: OSC - /go 7 to 127.0.0.1:9000");
        row("osc, no preferences", "o /go", 7, false, "-", "Protocol: OSC - /go 0.03 (no target)");
    }

    void statusLines()
    {
        QFETCH(QString, output);
        QFETCH(int, v);
        QFETCH(bool, hex);
        QFETCH(QString, server);
        QFETCH(QString, line);
        PreferencesStruct prefs;
        prefs.hex_value_show = hex;
        prefs.command_flag = server == "cmd";
        if (server != "default" && server != "cmd")
            prefs.http_server = server;
        QCOMPARE(outputStatusLine(out(output), v, server == "-" ? nullptr : &prefs), line);
    }

    void failuresReported_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("midiDevice");
        QTest::addColumn<QString>("portError"); // what the output says; empty: not even asked
        QTest::addColumn<QString>("line");
        const auto row = [](const char *name, const char *output, const char *portError,
                            const char *line, bool midiDevice = true) {
            QTest::newRow(name) << QString(output) << midiDevice << QString(portError)
                                << QString(line);
        };
        row("Art-Net", "a 0 4", "no network interface",
            "Art-Net universe 1 channel 5: not sent (no network interface)");
        row("sACN", "s 299 511", "sending to 239.255.1.44 failed",
            "streaming ACN universe 300 channel 512: not sent (sending to 239.255.1.44 failed)");
        row("channel past the universe", "a 0 512", "",
            "Art-Net universe 1 channel 513: not sent (channel 513 lies past the universe)");
        row("Art-Net universe 32769", "a 32768 0", "",
            "Art-Net universe 32769 channel 1: not sent (Art-Net has no universe above 32768)");
        row("MIDI", "m 0 60", "MIDI output device not ready",
            "MIDI Note, On channel 1 note 60: not sent (MIDI output device not ready)");
        row("MIDI without a device", "m 0 60", "",
            "MIDI Note, On channel 1 note 60: not sent (no MIDI output device selected in the "
            "preferences)",
            false);
        row("HTTP", "h dim?v=%1", "not a valid URL: x",
            "HTTP dim?v=7: not sent (not a valid URL: x)");
        row("command", "c go %1", "cannot start go: execv: No such file",
            "Command go 7: not sent (cannot start go: execv: No such file)");
        row("OSC", "o /go h:9000 i", "host not found: h",
            "OSC /go 7: not sent (host not found: h)");
        row("OSC without address", "o", "", "OSC: not sent (no OSC address)");
        row("OSC without target", "o /go", "",
            "OSC /go 0.03: not sent (no OSC target, and no default target in the preferences)");
    }

    void failuresReported()
    {
        QFETCH(QString, output);
        QFETCH(bool, midiDevice);
        QFETCH(QString, portError);
        QFETCH(QString, line);
        const SettingDmxStruct d = out(output);
        const bool refused = portError.isEmpty();
        RecordingPorts ports;
        ports.failWith = portError;
        OutputDispatch dispatch(ports);
        PreferencesStruct prefs;
        prefs.midi_device_out = midiDevice ? 1 : 0;
        prefs.http_server = "x";
        prefs.command_flag = true;
        if (QTest::currentDataTag() == QByteArray("OSC without target"))
            prefs.osc_default_host.clear();
        const QString error = refused ? line.section(" (", 1).chopped(1) : portError;
        if (refused)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
        const SendOutcome outcome = dispatch.send(d, 7, false, &prefs);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, error);
        QCOMPARE(ports.sent.size(), refused ? 0 : 1);
        QCOMPARE(failedSendStatusLine(d, 7, outcome.error), line);
        if (!refused)
            return;
        // A run of equal refusals is warned about once.
        QTest::failOnWarning(QRegularExpression("not sent"));
        QCOMPARE(dispatch.send(d, 8, false, &prefs).error, error);
    }

    void nothingToSendIsOk_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("storeOnly");
        const auto row = [](const char *name, const char *output, bool storeOnly = false) {
            QTest::newRow(name) << QString(output) << storeOnly;
        };
        row("no protocol", "n");
        row("unknown protocol", "? 9");
        row("Art-Net store only", "a 0 4", true);
        row("MIDI store only", "m 0 60", true);
        row("MIDI type none", "M 0 60");
        row("HTTP without server", "h dim?v=%1");
        row("command flag off", "c go %1");
        row("HTTP without link", "h");
        row("command without text", "c");
        row("OSC store only", "o /go", true);
    }

    void nothingToSendIsOk()
    {
        QFETCH(QString, output);
        QFETCH(bool, storeOnly);
        const SettingDmxStruct d = out(output);
        RecordingPorts ports;
        ports.failWith = "would fail";
        OutputDispatch dispatch(ports);
        PreferencesStruct prefs;
        prefs.midi_device_out = 1;
        prefs.http_server = d.dmx_http_filename.isEmpty() ? "http://10.0.0.9" : "";
        prefs.command_flag = d.dmx_command_filename.isEmpty();
        const SendOutcome outcome = dispatch.send(d, 7, storeOnly, &prefs);
        QVERIFY(outcome.ok);
        QVERIFY(outcome.error.isEmpty());
        QVERIFY(ports.sent.isEmpty());
    }

    // The real output objects over a fake network: ten writes to one universe
    // in one pass leave as one Art-Net and one sACN packet with the final values;
    // choosing another interface moves the nodes there with their DMX-IN.
    void framesPerPassAndNetworkChoice()
    {
        Lan lan;
        const auto sentTo = [&lan](quint16 port) { return lan.sent(port, 500); };
        OutputObjects objects(lan.net.env());
        OutputDispatch dispatch(objects);
        for (int c = 0; c < 10; ++c) {
            QVERIFY(dispatch.send(output(PT_ARTNET, 1, quint16(c)), c + 1, false, nullptr).ok);
            QVERIFY(dispatch.send(output(PT_ACN, 1, quint16(c)), c + 1, false, nullptr).ok);
        }
        QCOMPARE(objects.pendingFrames(), 2);
        QVERIFY(sentTo(6454).isEmpty());
        QCoreApplication::processEvents(); // the end of the pass
        const auto artnet = sentTo(6454), acn = sentTo(5568);
        QCOMPARE(artnet.size(), 1);
        QCOMPARE(acn.size(), 2); // a first frame: numbered 129, then 1 (tst_acnnet)
        QCOMPARE(artnet[0].data.mid(18, 11), QByteArray::fromHex("0102030405060708090a00"));
        QCOMPARE(acn[0].data.mid(126, 11), QByteArray::fromHex("0102030405060708090a00"));
        QCOMPARE(artnet[0].destination, QHostAddress("192.168.1.255"));

        QByteArray in(512, 0);
        objects.setReceiveBuffer(PT_ARTNET, reinterpret_cast<quint8 *>(in.data()), 512, {3});
        objects.setNetworkOptions("eth1", false);
        objects.flush(); // what was sent before goes to the new network
        QCOMPARE(sentTo(6454).last().destination, QHostAddress("10.255.255.255"));
        QCOMPARE(sentTo(6454).last().data.mid(18, 2), QByteArray::fromHex("0102"));
        QCOMPARE(objects.artnetNode()->interfaces().size(), 1);
        QByteArray dmx("Art-Net\0\0\x50\0\x0e\0\0\x03\0\0\x02\x2a\x2b", 20);
        lan.net.boundTo(6454)->inject(dmx, QHostAddress("10.0.0.7"));
        quint8 v = 0;
        QVERIFY(objects.receivedValue(PT_ARTNET, 3, 1, &v));
        QCOMPARE(v, quint8(0x2b));

        // A network that is not there: loopback, and the user is told.
        QStringList notices;
        objects.setNoticeHandler([&notices](const QString &text) { notices << text; });
        objects.setNetworkOptions("wlan0", false);
        objects.flush();
        QCOMPARE(sentTo(6454).last().destination, QHostAddress("127.255.255.255"));
        QCOMPARE(notices,
                 QStringList{"Network wlan0 not found: Art-Net and streaming ACN stay on this "
                             "computer"});

        // A sACN universe that cannot leave says so; the others of its frame leave.
        for (const auto &s : lan.net.sockets)
            if (s)
                s->failTo = QHostAddress("127.255.0.3");
        notices.clear();
        for (quint16 u : {1, 2, 3})
            QVERIFY(dispatch.send(output(PT_ACN, u, 0), 9, false, nullptr).ok);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("sending to 127.255.0.3 failed"));
        objects.flush();
        QCOMPARE(notices, QStringList{"streaming ACN: not sent (sending to 127.255.0.3 failed)"});
        QCOMPARE(sentTo(5568).last().destination, QHostAddress("127.255.0.4"));
    }

    // The real output objects over a fake LAN: OSC input listens on the chosen
    // interface's address and loopback and moves along with the choice; a host
    // the permission refuses is not sent to, and the reason says so.
    void oscOnTheChosenNetwork()
    {
        Lan lan;
        const auto listening = [&lan] {
            QStringList addresses;
            for (const auto &s : lan.net.sockets)
                if (s && s->boundPort == 8000)
                    addresses << s->boundAddress.toString();
            return addresses;
        };
        OutputObjects objects(lan.net.env());
        objects.setNetworkOptions("eth1", false);
        QVERIFY(objects.listenOsc(8000).isEmpty());
        QCOMPARE(listening(), (QStringList{"127.0.0.1", "10.0.0.3"}));
        objects.setNetworkOptions("eth0", false);
        QCOMPARE(listening(), (QStringList{"127.0.0.1", "192.168.1.10"}));
        QCOMPARE(objects.interfaceNetworks().size(), 1);

        objects.setOscResolveAllowed([](const QString &host) { return host != "10.1.0.9"; });
        QCOMPARE(objects.sendOsc("10.1.0.9", 9000, "/go", true, 1).error,
                 "10.1.0.9 is another computer, which this show may not call");
        QVERIFY(objects.sendOsc("192.168.1.20", 9000, "/go", false, 7).ok);
        QCoreApplication::processEvents(); // the end of the pass
        const QList<FakeSocket::Sent> sent = lan.sent();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].destination, QHostAddress("192.168.1.20"));
        QCOMPARE(sent[0].port, quint16(9000));
        QCOMPARE(objects.listenOsc(0), QString());
        QCOMPARE(listening(), QStringList());
    }

    void refusedUniversesTold()
    {
        QList<SettingStruct> c(2); // Art-Net universes 40001, 32768 (the last), 32769
        c[0].dmx_out = output(PT_ARTNET, 40000, 0);
        c[1].dmx_out = output(PT_ARTNET, 32767, 0);
        c[1].dmx_out_advanced = output(PT_ARTNET, 32768, 0);
        QCOMPARE(refusedUniversesLine(c),
                 "Art-Net universe 32769, 40001: not sent (Art-Net has no universe above 32768)");
    }
};

QTEST_GUILESS_MAIN(TestOutputDispatch)
#include "tst_outputdispatch.moc"
