#include "outputdispatch.h"

#include <QtTest>

namespace {

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
        return record({QStringLiteral("midi %1 %2 %3 %4 %5")
                           .arg(device)
                           .arg(status, 2, 16)
                           .arg(channel)
                           .arg(d1)
                           .arg(d2),
                       -1,
                       {}});
    }
    SendOutcome requestUrl(const QString &server, const QString &link) override
    {
        return record({"http " + server + " " + link, -1, {}});
    }
    SendOutcome runCommand(const QString &path, const QString &command) override
    {
        return record({"cmd " + path + " " + command, -1, {}});
    }

private:
    SendOutcome record(const Sent &s)
    {
        sent.append(s);
        return failWith.isEmpty() ? SendOutcome() : SendOutcome::failed(failWith);
    }
};

SettingDmxStruct out(quint8 protocol, quint16 universe, quint16 channel)
{
    SettingDmxStruct d;
    d.protocol_type = protocol;
    d.dmx_universe = universe;
    d.dmx_channel = channel;
    return d;
}

} // namespace

// QCOMPARE on the two status line texts needs joinUrl; the io library has it.
class TestOutputDispatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void faderSendsWholeUniverse();
    void twoControlsShareOneUniverse();
    void storeOnlyLeavesWithFirstChange();
    void universesAboveTheOldTable();
    void midiNeedsDeviceAndType();
    void httpAndCommandSubstitution();
    void statusLines_data();
    void statusLines();
    void statusLinesNeedingPreferences();
    void failuresReported_data();
    void failuresReported();
    void nothingToSendIsOk_data();
    void nothingToSendIsOk();
};

void TestOutputDispatch::faderSendsWholeUniverse()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    dispatch.send(out(PT_ARTNET, 0, 5), 128, false, nullptr);
    QCOMPARE(ports.sent.size(), 1);
    QCOMPARE(ports.sent[0].what, QStringLiteral("artnet"));
    QCOMPARE(ports.sent[0].universe, 0);
    QCOMPARE(ports.sent[0].data.size(), 512);
    QCOMPARE(quint8(ports.sent[0].data[5]), quint8(128));
    // Only the low 8 bits of a value are stored.
    dispatch.send(out(PT_ACN, 2, 0), 0x1ff, false, nullptr);
    QCOMPARE(ports.sent[1].what, QStringLiteral("acn"));
    QCOMPARE(quint8(ports.sent[1].data[0]), quint8(0xff));
}

void TestOutputDispatch::twoControlsShareOneUniverse()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    dispatch.send(out(PT_ARTNET, 1, 0), 10, false, nullptr);
    dispatch.send(out(PT_ARTNET, 1, 1), 20, false, nullptr);
    dispatch.send(out(PT_ARTNET, 1, 0), 30, false, nullptr);
    QCOMPARE(ports.sent.size(), 3);
    QCOMPARE(quint8(ports.sent[1].data[0]), quint8(10));
    QCOMPARE(quint8(ports.sent[1].data[1]), quint8(20));
    QCOMPARE(quint8(ports.sent[2].data[0]), quint8(30));
    QCOMPARE(quint8(ports.sent[2].data[1]), quint8(20));
    // The two protocols keep separate universes.
    dispatch.send(out(PT_ACN, 1, 2), 5, false, nullptr);
    QCOMPARE(quint8(ports.sent[3].data[0]), quint8(0));
}

void TestOutputDispatch::storeOnlyLeavesWithFirstChange()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    PreferencesStruct prefs;
    prefs.midi_device_out = 1;
    prefs.command_flag = true;
    SettingDmxStruct midi = out(PT_MIDI, 0, 1);
    midi.dmx_midi_type = MT_CONTROL_CHANGE;
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "x %1";
    dispatch.send(out(PT_ARTNET, 0, 3), 77, true, &prefs);
    dispatch.send(midi, 5, true, &prefs);
    dispatch.send(cmd, 5, true, &prefs);
    QVERIFY(ports.sent.isEmpty());
    dispatch.send(out(PT_ARTNET, 0, 4), 1, false, &prefs);
    QCOMPARE(ports.sent.size(), 1);
    QCOMPARE(quint8(ports.sent[0].data[3]), quint8(77));
    QCOMPARE(quint8(ports.sent[0].data[4]), quint8(1));
    dispatch.clear();
    dispatch.send(out(PT_ARTNET, 0, 4), 2, false, &prefs);
    QCOMPARE(quint8(ports.sent[1].data[3]), quint8(0));
}

void TestOutputDispatch::universesAboveTheOldTable()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    dispatch.send(out(PT_ARTNET, 256, 0), 1, false, nullptr);
    dispatch.send(out(PT_ARTNET, 65534, 511), 2, false, nullptr);
    dispatch.send(out(PT_ARTNET, 0, 0), 3, false, nullptr);
    QCOMPARE(ports.sent.size(), 3);
    QCOMPARE(ports.sent[0].universe, 256);
    QCOMPARE(ports.sent[1].universe, 65534);
    QCOMPARE(quint8(ports.sent[1].data[511]), quint8(2));
    QCOMPARE(quint8(ports.sent[2].data[0]), quint8(3)); // universe 256 did not alias 0
    QCOMPARE(dispatch.artnetUniverses().count(), 3);
    // A channel past the universe is refused, not written past the buffer.
    dispatch.send(out(PT_ARTNET, 0, 512), 9, false, nullptr);
    QCOMPARE(ports.sent.size(), 3);
}

void TestOutputDispatch::midiNeedsDeviceAndType()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    PreferencesStruct prefs;
    SettingDmxStruct d = out(PT_MIDI, 3, 7);
    d.dmx_midi_type = MT_CONTROL_CHANGE;
    dispatch.send(d, 100, false, &prefs); // no device selected
    dispatch.send(d, 100, false, nullptr);
    QVERIFY(ports.sent.isEmpty());
    prefs.midi_device_out = 2;
    d.dmx_midi_type = MT_NONE;
    dispatch.send(d, 100, false, &prefs);
    QVERIFY(ports.sent.isEmpty());
    d.dmx_midi_type = MT_CONTROL_CHANGE;
    dispatch.send(d, 300, false, &prefs);
    QCOMPARE(ports.sent.size(), 1);
    QCOMPARE(ports.sent[0].what, QStringLiteral("midi 1 b0 3 7 44"));
}

void TestOutputDispatch::httpAndCommandSubstitution()
{
    RecordingPorts ports;
    OutputDispatch dispatch(ports);
    PreferencesStruct prefs;
    prefs.http_server = "http://127.0.0.1:8080/";
    SettingDmxStruct http = out(PT_HTTP, 0, 0);
    http.dmx_http_filename = "set?a=%1&b=%1&c=%2";
    dispatch.send(http, 42, false, &prefs);
    http.dmx_http_filename.clear();
    dispatch.send(http, 42, false, &prefs); // empty link: nothing
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "run.sh %1";
    dispatch.send(cmd, 7, false, &prefs); // command flag off: nothing
    prefs.command_flag = true;
    prefs.command_path = "/opt/bin";
    dispatch.send(cmd, 7, false, &prefs);
    prefs.http_server.clear();
    http.dmx_http_filename = "x";
    dispatch.send(http, 1, false, &prefs); // no server: nothing
    QCOMPARE(ports.sent.size(), 2);
    QCOMPARE(ports.sent[0].what, QStringLiteral("http http://127.0.0.1:8080/ set?a=42&b=42&c=%2"));
    QCOMPARE(ports.sent[1].what, QStringLiteral("cmd /opt/bin run.sh 7"));
}

void TestOutputDispatch::statusLines_data()
{
    QTest::addColumn<SettingDmxStruct>("d");
    QTest::addColumn<int>("v");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("line");

    QTest::newRow("art-net") << out(PT_ARTNET, 0, 5) << 128 << false
                             << "Protocol: Art-Net - DMX Universe: 1 | DMX Channel: 6 | "
                                "DMX Value: 128";
    QTest::newRow("art-net hex")
        << out(PT_ARTNET, 0, 5) << 128 << true
        << "Protocol: Art-Net - DMX Universe: 1 (0x01) | DMX Channel: 6 (0x06) | DMX Value: "
           "128 (0x80)";
    QTest::newRow("sacn") << out(PT_ACN, 299, 511) << 0 << false
                          << "Protocol: streaming ACN - DMX Universe: 300 | DMX Channel: 512 | "
                             "DMX Value: 0";
    SettingDmxStruct midi = out(PT_MIDI, 0, 60);
    midi.dmx_midi_type = MT_NOTE_ON;
    QTest::newRow("midi") << midi << 64 << false
                          << "Protocol: MIDI - MIDI Type: Note, On | MIDI Channel: 1 | MIDI Note: "
                             "60 | MIDI Value: 64";
    QTest::newRow("midi hex")
        << midi << 64 << true
        << "Protocol: MIDI - MIDI Type: Note, On (0x90) | MIDI Channel: 1 (0x01) | MIDI Note: 60 "
           "(0x3c) | MIDI Value: 64 (0x40)";
    QTest::newRow("none") << out(PT_NONE, 0, 0) << 1 << false
                          << "Protocol: None - No protocol has been selected for sending data!";
    QTest::newRow("unknown") << out(9, 0, 0) << 1 << false
                             << "Protocol: None - Unknown Type of Protocol";
    SettingDmxStruct http = out(PT_HTTP, 0, 0);
    http.dmx_http_filename = "/dim?v=%1";
    QTest::newRow("http") << http << 200 << true
                          << "Protocol: HTTP - http://localhost/dim?v=200";
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "go %1";
    QTest::newRow("command flag off") << cmd << 3 << false
                                      << "Protocol: Command - No Command flag in preferences "
                                         "configured!";
}

void TestOutputDispatch::statusLines()
{
    QFETCH(SettingDmxStruct, d);
    QFETCH(int, v);
    QFETCH(bool, hex);
    QFETCH(QString, line);
    PreferencesStruct prefs;
    prefs.hex_value_show = hex;
    QCOMPARE(outputStatusLine(d, v, &prefs), line);
}

void TestOutputDispatch::statusLinesNeedingPreferences()
{
    SettingDmxStruct http = out(PT_HTTP, 0, 0);
    http.dmx_http_filename = "dim?v=%1";
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "go %1 %1";
    // Without a preferences record only the prefix is shown.
    QCOMPARE(outputStatusLine(http, 1, nullptr), QStringLiteral("Protocol: HTTP - "));
    QCOMPARE(outputStatusLine(cmd, 1, nullptr), QStringLiteral("Protocol: Command - "));
    PreferencesStruct prefs;
    prefs.http_server = "http://10.0.0.9";
    QCOMPARE(outputStatusLine(http, 7, &prefs),
             QStringLiteral("Protocol: HTTP - http://10.0.0.9/dim?v=7"));
    prefs.http_server.clear();
    QCOMPARE(outputStatusLine(http, 7, &prefs),
             QStringLiteral("Protocol: HTTP - No HTTP server name in preferences configured!"));
    prefs.command_flag = true;
    prefs.hex_value_show = true; // no hex companions for commands
    QCOMPARE(outputStatusLine(cmd, 12, &prefs), QStringLiteral("Protocol: Command - Command: go 12 12"));
}

void TestOutputDispatch::failuresReported_data()
{
    QTest::addColumn<SettingDmxStruct>("d");
    QTest::addColumn<bool>("midiDevice");
    QTest::addColumn<QString>("portError"); // what the output says
    QTest::addColumn<bool>("refused");      // the output is not even asked
    QTest::addColumn<QString>("line");

    QTest::newRow("Art-Net") << out(PT_ARTNET, 0, 4) << true << "no network interface" << false
                             << "Art-Net universe 1 channel 5: not sent (no network interface)";
    QTest::newRow("sACN") << out(PT_ACN, 299, 511) << true << "sending to 239.255.1.44 failed"
                          << false
                          << "streaming ACN universe 300 channel 512: not sent (sending to "
                             "239.255.1.44 failed)";
    QTest::newRow("channel past the universe")
        << out(PT_ARTNET, 0, 512) << true << "" << true
        << "Art-Net universe 1 channel 513: not sent (channel 513 lies past the universe)";
    SettingDmxStruct midi = out(PT_MIDI, 0, 60);
    midi.dmx_midi_type = MT_NOTE_ON;
    QTest::newRow("MIDI") << midi << true << "MIDI output device not ready" << false
                          << "MIDI Note, On channel 1 note 60: not sent (MIDI output device not "
                             "ready)";
    QTest::newRow("MIDI without a device")
        << midi << false << "" << true
        << "MIDI Note, On channel 1 note 60: not sent (no MIDI output device selected in the "
           "preferences)";
    SettingDmxStruct http = out(PT_HTTP, 0, 0);
    http.dmx_http_filename = "dim?v=%1";
    QTest::newRow("HTTP") << http << true << "not a valid URL: x" << false
                          << "HTTP dim?v=7: not sent (not a valid URL: x)";
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "go %1";
    QTest::newRow("command") << cmd << true << "cannot start go: execv: No such file" << false
                             << "Command go 7: not sent (cannot start go: execv: No such file)";
}

void TestOutputDispatch::failuresReported()
{
    QFETCH(SettingDmxStruct, d);
    QFETCH(bool, midiDevice);
    QFETCH(QString, portError);
    QFETCH(bool, refused);
    QFETCH(QString, line);
    RecordingPorts ports;
    ports.failWith = portError;
    OutputDispatch dispatch(ports);
    PreferencesStruct prefs;
    prefs.midi_device_out = midiDevice ? 1 : 0;
    prefs.http_server = "x";
    prefs.command_flag = true;
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

void TestOutputDispatch::nothingToSendIsOk_data()
{
    QTest::addColumn<SettingDmxStruct>("d");
    QTest::addColumn<bool>("storeOnly");
    SettingDmxStruct midi = out(PT_MIDI, 0, 60);
    midi.dmx_midi_type = MT_NOTE_ON;
    SettingDmxStruct http = out(PT_HTTP, 0, 0);
    http.dmx_http_filename = "dim?v=%1";
    SettingDmxStruct cmd = out(PT_COMMAND, 0, 0);
    cmd.dmx_command_filename = "go %1";
    SettingDmxStruct noType = midi;
    noType.dmx_midi_type = MT_NONE;
    QTest::newRow("no protocol") << out(PT_NONE, 0, 0) << false;
    QTest::newRow("unknown protocol") << out(9, 0, 0) << false;
    QTest::newRow("Art-Net store only") << out(PT_ARTNET, 0, 4) << true;
    QTest::newRow("sACN store only") << out(PT_ACN, 0, 4) << true;
    QTest::newRow("MIDI store only") << midi << true;
    QTest::newRow("MIDI type none") << noType << false;
    QTest::newRow("HTTP without server") << http << false;
    QTest::newRow("command flag off") << cmd << false;
    http.dmx_http_filename.clear();
    cmd.dmx_command_filename.clear();
    QTest::newRow("HTTP without link") << http << false;
    QTest::newRow("command without text") << cmd << false;
}

void TestOutputDispatch::nothingToSendIsOk()
{
    QFETCH(SettingDmxStruct, d);
    QFETCH(bool, storeOnly);
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

QTEST_GUILESS_MAIN(TestOutputDispatch)
#include "tst_outputdispatch.moc"
