// The "preferences" and "consistence_check" elements.
#include "model/documentelements.h"

#include <QtTest>

namespace
{

QDomElement element(const QString &xml)
{
    QDomDocument document;
    document.setContent(xml);
    return document.documentElement();
}

MidiDeviceNames devices()
{
    MidiDeviceNames names;
    names.outputs = QStringList{"Midi Through:0", "USB Keys ä", "USB Keys ä"};
    names.inputs = QStringList{"None", "Fader Box"};
    return names;
}

QDomElement writtenPreferences(const PreferencesStruct &record)
{
    QDomDocument document;
    QDomElement root = document.createElement("root");
    document.appendChild(root);
    writePreferencesElement(document, root, &record, devices());
    QDomDocument parsed;
    parsed.setContent(document.toString(1));
    return parsed.documentElement().firstChildElement();
}

PreferencesStruct readPreferences(const QString &attributes, bool *asked = nullptr,
                                  bool answer = false)
{
    PreferencesStruct record;
    if (asked)
        *asked = false;
    readPreferencesElement(
        element(QStringLiteral("<preferences version=\"1\" %1/>").arg(attributes)), &record,
        devices(), [&] {
            if (asked)
                *asked = true;
            return answer;
        });
    return record;
}

ConsistenceCheckStruct readChecks(const QString &attributes)
{
    ConsistenceCheckStruct record;
    record.check_1 = record.check_2 = false;
    readConsistenceCheckElement(
        element(QStringLiteral("<consistence_check version=\"1\" %1/>").arg(attributes)), &record);
    return record;
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip();
    void defaultsWriteOnlyVersion();
    void emptyTextsSurvive();
    void midiDevicesByName();
    void numbers_data();
    void numbers();
    void commandFlagNeedsConfirmation();
    void versionAndTag();
    void checksRoundTrip();
    void checksEachByOwnAttribute_data();
    void checksEachByOwnAttribute();
};

void TestPreferences::roundTrip()
{
    PreferencesStruct record;
    record.startup_timeout = 65535;
    record.startup_dmxsend_later = false;
    record.midi_device_out = 2;
    record.midi_device_in = 2;
    record.hex_value_show = true;
    record.lock_screen = true;
    record.command_flag = true;
    record.command_path = "/usr/local/bin";
    record.http_server = "http://10.0.0.1:8080/show/";
    record.project_name = "Show \"Ä\" <1>";
    record.project_description = "two\nlines";
    record.midi_device_out_name = "USB Keys ä"; // the names of devices 2 as read back
    record.midi_device_in_name = "Fader Box";
    record.snap_grid = 25;
    record.net_interface = "eth1";
    record.artnet_always_broadcast = true;
    PreferencesStruct read;
    QVERIFY(
        readPreferencesElement(writtenPreferences(record), &read, devices(), [] { return true; }));
    QCOMPARE(read, record);
}

void TestPreferences::defaultsWriteOnlyVersion()
{
    PreferencesStruct record;
    record.midi_device_out = 9; // no such device
    record.project_name = "Project";
    const QDomElement e = writtenPreferences(record);
    QCOMPARE(e.tagName(), QStringLiteral("preferences"));
    QCOMPARE(e.attributes().count(), 1);
    QCOMPARE(e.attribute("version"), QStringLiteral("1"));

    record.startup_dmxsend_later = false;
    record.hex_value_show = true;
    QCOMPARE(writtenPreferences(record).attribute("startup_dmxsend_later"), QStringLiteral("0"));
    QCOMPARE(writtenPreferences(record).attribute("hex_value_show"), QStringLiteral("1"));
}

void TestPreferences::emptyTextsSurvive()
{
    // An emptied server means "no HTTP output" and must not come back as
    // the default; a description reading "Project" is still a description.
    PreferencesStruct record;
    record.http_server.clear();
    record.project_description = "Project";
    PreferencesStruct read;
    QVERIFY(readPreferencesElement(writtenPreferences(record), &read, devices()));
    QCOMPARE(read.http_server, QString());
    QCOMPARE(read.project_description, QStringLiteral("Project"));
    // An empty project name is written as the default.
    record.project_name.clear();
    QVERIFY(readPreferencesElement(writtenPreferences(record), &read, devices()));
    QCOMPARE(read.project_name, QStringLiteral("Project"));
}

void TestPreferences::midiDevicesByName()
{
    PreferencesStruct record;
    record.midi_device_out = 3;
    record.midi_device_in = 1;
    const QDomElement e = writtenPreferences(record);
    QCOMPARE(e.attribute("midi_device_out"), QStringLiteral("USB Keys ä"));
    QCOMPARE(e.attribute("midi_device_in"), QStringLiteral("None"));

    // The first device of a name wins.
    QCOMPARE(readPreferences("midi_device_out=\"USB Keys ä\"").midi_device_out, 2u);
    QCOMPARE(readPreferences("midi_device_out=\"usb keys ä\"").midi_device_out, 0u);
    QCOMPARE(readPreferences("midi_device_out=\"\"").midi_device_out, 0u);
    QCOMPARE(readPreferences("midi_device_in=\"Fader Box\"").midi_device_in, 2u);
    QCOMPARE(readPreferences("midi_device_in=\"Gone\"").midi_device_in, 0u);
    // A missing attribute is "no device", even with a device called "None".
    QCOMPARE(readPreferences(QString()).midi_device_in, 0u);
    // A device not connected now keeps its name through reading and saving,
    // until another one is chosen.
    PreferencesStruct absent = readPreferences("midi_device_out=\"Gone\" midi_device_in=\"Box\"");
    QCOMPARE(absent.midi_device_out, 0u);
    QCOMPARE(writtenPreferences(absent).attribute("midi_device_in"), QStringLiteral("Box"));
    absent.midi_device_out = 1;
    QCOMPARE(writtenPreferences(absent).attribute("midi_device_out"), devices().outputs.first());

    // The console can hand in a looser match; what it answers past the list
    // counts as no device.
    MidiDeviceNames loose = devices();
    loose.match = [](const QStringList &names, const QString &stored) -> quint32 {
        return stored == "renamed" ? 2 : stored == "wild" ? quint32(names.size() + 5) : 0;
    };
    PreferencesStruct record2;
    readPreferencesElement(element("<preferences version=\"1\" midi_device_out=\"renamed\" "
                                   "midi_device_in=\"wild\"/>"),
                           &record2, loose, [] { return false; });
    QCOMPARE(record2.midi_device_out, 2u);
    QCOMPARE(record2.midi_device_in, 0u);
}

void TestPreferences::numbers_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<bool>("sendLater");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("lock");
    QTest::newRow("missing") << "" << 0 << true << false << false;
    QTest::newRow("timeout limited to 16 bits")
        << "startup_timeout=\"65537\"" << 65535 << true << false << false;
    QTest::newRow("negative: defaults")
        << "startup_timeout=\"-7\" startup_dmxsend_later=\"-1\" hex_value_show=\"-1\" "
           "lock_screen=\"-2\""
        << 0 << true << false << false;
    QTest::newRow("not numbers read as 0")
        << "startup_timeout=\"ten\" startup_dmxsend_later=\"yes\" hex_value_show=\"true\"" << 0
        << false << false << false;
    QTest::newRow("non-zero is true")
        << "startup_dmxsend_later=\"5\" hex_value_show=\"2\" lock_screen=\"1\"" << 0 << true << true
        << true;
    QTest::newRow("zero is false")
        << "startup_dmxsend_later=\"0\" lock_screen=\"0\"" << 0 << false << false << false;
}

void TestPreferences::numbers()
{
    QFETCH(QString, attributes);
    QFETCH(int, timeout);
    QFETCH(bool, sendLater);
    QFETCH(bool, hex);
    QFETCH(bool, lock);
    const PreferencesStruct read = readPreferences(attributes);
    QCOMPARE(int(read.startup_timeout), timeout);
    QCOMPARE(read.startup_dmxsend_later, sendLater);
    QCOMPARE(read.hex_value_show, hex);
    QCOMPARE(read.lock_screen, lock);
}

void TestPreferences::commandFlagNeedsConfirmation()
{
    bool asked = false;
    QVERIFY(readPreferences("command_flag=\"1\"", &asked, true).command_flag);
    QVERIFY(asked);
    QVERIFY(!readPreferences("command_flag=\"1\"", &asked, false).command_flag);
    QVERIFY(asked);
    for (const char *value : {"0", "-1", "x"}) {
        QVERIFY(!readPreferences(QStringLiteral("command_flag=\"%1\"").arg(value), &asked, true)
                     .command_flag);
        QVERIFY2(!asked, value);
    }
    // Without anyone to ask, the flag stays off.
    PreferencesStruct record;
    QVERIFY(readPreferencesElement(element("<preferences version=\"1\" command_flag=\"1\"/>"),
                                   &record, devices()));
    QVERIFY(!record.command_flag);
}

void TestPreferences::versionAndTag()
{
    PreferencesStruct record;
    record.http_server = "http://elsewhere/";
    QVERIFY(!readPreferencesElement(element("<control version=\"1\"/>"), &record, devices()));
    QCOMPARE(record.http_server, QStringLiteral("http://elsewhere/"));
    QVERIFY(readPreferencesElement(element("<preferences http_server=\"x\" lock_screen=\"1\"/>"),
                                   &record, devices()));
    QCOMPARE(record, PreferencesStruct());
    QVERIFY(readPreferencesElement(element("<preferences version=\"2\" lock_screen=\"1\"/>"),
                                   &record, devices()));
    QCOMPARE(record, PreferencesStruct());

    ConsistenceCheckStruct checks;
    checks.check_3 = false;
    QVERIFY(!readConsistenceCheckElement(element("<preferences version=\"1\"/>"), &checks));
    QVERIFY(!checks.check_3);
    QVERIFY(readConsistenceCheckElement(element("<consistence_check check_3=\"0\"/>"), &checks));
    QCOMPARE(checks, ConsistenceCheckStruct());
}

void TestPreferences::checksRoundTrip()
{
    for (int mask = 0; mask < 32; ++mask) {
        ConsistenceCheckStruct record;
        record.check_1 = mask & 1;
        record.check_2 = mask & 2;
        record.check_3 = mask & 4;
        record.check_4 = mask & 8;
        record.check_5 = mask & 16;
        QDomDocument document;
        QDomElement root = document.createElement("root");
        document.appendChild(root);
        writeConsistenceCheckElement(document, root, &record);
        const QDomElement e = root.firstChildElement("consistence_check");
        // Only the switched-off checks are written.
        QCOMPARE(e.attributes().count(), 1 + 5 - qPopulationCount(quint32(mask)));
        ConsistenceCheckStruct read;
        QVERIFY(readConsistenceCheckElement(e, &read));
        QCOMPARE(read, record);
    }
}

void TestPreferences::checksEachByOwnAttribute_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QString>("expected"); // check_1..check_5 as 0/1
    QTest::newRow("none: all on") << ""
                                  << "11111";
    QTest::newRow("check 4 off only") << "check_4=\"0\""
                                      << "11101";
    QTest::newRow("each its own") << "check_1=\"0\" check_2=\"1\" check_3=\"0\" check_5=\"0\""
                                  << "01010";
    QTest::newRow("negative leaves on") << "check_2=\"-1\" check_5=\"7\""
                                        << "11111";
    QTest::newRow("not a number is 0") << "check_3=\"off\""
                                       << "11011";
}

void TestPreferences::checksEachByOwnAttribute()
{
    QFETCH(QString, attributes);
    QFETCH(QString, expected);
    const ConsistenceCheckStruct r = readChecks(attributes);
    QString got;
    for (bool on : {r.check_1, r.check_2, r.check_3, r.check_4, r.check_5})
        got += on ? '1' : '0';
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
