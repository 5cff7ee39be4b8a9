// The "preferences" and "consistence_check" elements.
#include "model/documentelements.h"

#include <QtTest>

Q_DECLARE_METATYPE(PreferencesStruct)

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

ConsistenceCheckStruct checks(const QString &bits)
{
    ConsistenceCheckStruct c;
    c.check_1 = bits[0] == '1', c.check_2 = bits[1] == '1', c.check_3 = bits[2] == '1';
    c.check_4 = bits[3] == '1', c.check_5 = bits[4] == '1';
    return c;
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<PreferencesStruct>("record");
        QTest::addColumn<PreferencesStruct>("read"); // what the record reads back as
        PreferencesStruct set;
        set.startup_timeout = 65535;
        set.startup_dmxsend_later = false;
        set.midi_device_out = set.midi_device_in = 2;
        set.hex_value_show = set.lock_screen = set.command_flag = set.artnet_always_broadcast =
            true;
        set.command_path = "/usr/local/bin";
        set.http_server = "http://10.0.0.1:8080/show/";
        set.project_name = "Show \"Ä\" <1>";
        set.project_description = "two\nlines";
        set.midi_device_out_name = "USB Keys ä"; // the names of devices 2 as read back
        set.midi_device_in_name = "Fader Box";
        set.snap_grid = 25;
        set.net_interface = "eth1";
        set.osc_default_host = "mixer.local";
        set.osc_default_port = 1;
        set.osc_plain_targets = QStringList{"10.0.0.9:53000", "mixer.local:1"};
        QTest::newRow("everything set") << set << set;
        // What was switched on and is switched off again stays off; an emptied
        // server means "no HTTP output" and must not come back as the default;
        // a description reading "Project" is still a description.
        PreferencesStruct cleared = set;
        cleared.startup_dmxsend_later = true;
        cleared.hex_value_show = cleared.lock_screen = cleared.command_flag = false;
        cleared.artnet_always_broadcast = false;
        cleared.midi_device_out = cleared.midi_device_in = 0;
        cleared.midi_device_out_name = cleared.midi_device_in_name = QString();
        cleared.http_server.clear();
        cleared.project_description = "Project";
        cleared.project_name.clear();
        cleared.osc_default_host = PreferencesStruct().osc_default_host;
        cleared.osc_default_port = PreferencesStruct().osc_default_port;
        cleared.osc_plain_targets.clear();
        PreferencesStruct read = cleared;
        read.project_name = "Project"; // an empty name is written as the default
        QTest::newRow("cleared again") << cleared << read;
    }

    void roundTrip()
    {
        QFETCH(PreferencesStruct, record);
        QFETCH(PreferencesStruct, read);
        PreferencesStruct back = PreferencesStruct();
        back.lock_screen = back.hex_value_show = true; // a record read before
        QVERIFY(readPreferencesElement(writtenPreferences(record), &back, devices(),
                                       [] { return true; }));
        QCOMPARE(back, read);
    }

    void defaultsWriteOnlyVersion()
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
        QCOMPARE(writtenPreferences(record).attribute("startup_dmxsend_later"),
                 QStringLiteral("0"));
        QCOMPARE(writtenPreferences(record).attribute("hex_value_show"), QStringLiteral("1"));
    }

    void midiDevicesByName()
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
        PreferencesStruct absent =
            readPreferences("midi_device_out=\"Gone\" midi_device_in=\"Box\"");
        QCOMPARE(absent.midi_device_out, 0u);
        QCOMPARE(writtenPreferences(absent).attribute("midi_device_in"), QStringLiteral("Box"));
        absent.midi_device_out = 1;
        QCOMPARE(writtenPreferences(absent).attribute("midi_device_out"),
                 devices().outputs.first());

        // The console can hand in a looser match; what it answers past the list
        // counts as no device.
        MidiDeviceNames loose = devices();
        loose.match = [](const QStringList &names, const QString &stored) -> quint32 {
            return stored == "renamed" ? 2 : stored == "wild" ? quint32(names.size() + 5) : 0;
        };
        readPreferencesElement(element("<preferences version=\"1\" midi_device_out=\"renamed\" "
                                       "midi_device_in=\"wild\"/>"),
                               &record, loose, [] { return false; });
        QCOMPARE(record.midi_device_out, 2u);
        QCOMPARE(record.midi_device_in, 0u);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("read"); // timeout, send later, hex, lock
        const auto row = [](const char *name, const char *attributes, const char *read) {
            QTest::newRow(name) << QString(attributes) << QString(read);
        };
        row("missing", "", "0 1 0 0");
        row("timeout limited to 16 bits", "startup_timeout=\"65537\"", "65535 1 0 0");
        row("negative: defaults",
            "startup_timeout=\"-7\" startup_dmxsend_later=\"-1\" hex_value_show=\"-1\" "
            "lock_screen=\"-2\"",
            "0 1 0 0");
        row("not numbers read as 0",
            "startup_timeout=\"ten\" startup_dmxsend_later=\"yes\" hex_value_show=\"true\"",
            "0 0 0 0");
        row("non-zero is true",
            "startup_dmxsend_later=\"5\" hex_value_show=\"2\" lock_screen=\"1\"", "0 1 1 1");
        row("zero is false", "startup_dmxsend_later=\"0\" lock_screen=\"0\"", "0 0 0 0");
    }

    void numbers()
    {
        QFETCH(QString, attributes);
        QFETCH(QString, read);
        const PreferencesStruct r = readPreferences(attributes);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(r.startup_timeout)
                     .arg(int(r.startup_dmxsend_later))
                     .arg(int(r.hex_value_show))
                     .arg(int(r.lock_screen)),
                 read);
    }

    void commandFlagNeedsConfirmation()
    {
        for (const auto &[value, answer] :
             {std::pair{"1", true}, {"1", false}, {"0", true}, {"-1", true}, {"x", true}}) {
            bool asked = false;
            const QString attribute = QStringLiteral("command_flag=\"%1\"").arg(value);
            const bool on = value == QLatin1String("1");
            QCOMPARE(readPreferences(attribute, &asked, answer).command_flag, on && answer);
            QCOMPARE(asked, on);
        }
        // Without anyone to ask, the flag stays off.
        PreferencesStruct record;
        QVERIFY(readPreferencesElement(element("<preferences version=\"1\" command_flag=\"1\"/>"),
                                       &record, devices()));
        QVERIFY(!record.command_flag);
    }

    void versionAndTag()
    {
        PreferencesStruct record;
        record.http_server = "http://elsewhere/";
        QVERIFY(!readPreferencesElement(element("<control version=\"1\"/>"), &record, devices()));
        QCOMPARE(record.http_server, QStringLiteral("http://elsewhere/"));
        QVERIFY(readPreferencesElement(
            element("<preferences http_server=\"x\" lock_screen=\"1\"/>"), &record, devices()));
        QCOMPARE(record, PreferencesStruct());
        QVERIFY(readPreferencesElement(element("<preferences version=\"2\" lock_screen=\"1\"/>"),
                                       &record, devices()));
        QCOMPARE(record, PreferencesStruct());

        ConsistenceCheckStruct checks;
        checks.check_3 = false;
        QVERIFY(!readConsistenceCheckElement(element("<preferences version=\"1\"/>"), &checks));
        QVERIFY(!checks.check_3);
        QVERIFY(
            readConsistenceCheckElement(element("<consistence_check check_3=\"0\"/>"), &checks));
        QCOMPARE(checks, ConsistenceCheckStruct());
    }

    // Each check is read from its own attribute; only the switched-off ones
    // are written, and they read back as they were.
    void checks_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("expected"); // check_1..check_5 as 0/1
        const auto row = [](const char *name, const char *attributes, const char *expected) {
            QTest::newRow(name) << QString(attributes) << QString(expected);
        };
        row("none: all on", "", "11111");
        row("checks 2 and 4 off", "check_2=\"0\" check_4=\"0\"", "10101");
        row("each its own", "check_1=\"0\" check_2=\"1\" check_3=\"0\" check_5=\"0\"", "01010");
        row("negative leaves on", "check_2=\"-1\" check_5=\"7\"", "11111");
        row("not a number is 0", "check_3=\"off\"", "11011");
    }

    void checks()
    {
        QFETCH(QString, attributes);
        QFETCH(QString, expected);
        ConsistenceCheckStruct read = ::checks("00000");
        readConsistenceCheckElement(
            element(QStringLiteral("<consistence_check version=\"1\" %1/>").arg(attributes)),
            &read);
        QCOMPARE(read, ::checks(expected));

        QDomDocument document;
        QDomElement root = document.createElement("root");
        writeConsistenceCheckElement(document, root, &read);
        const QDomElement e = root.firstChildElement("consistence_check");
        QCOMPARE(e.attributes().count(), 1 + expected.count('0'));
        ConsistenceCheckStruct back = ::checks("00000");
        QVERIFY(readConsistenceCheckElement(e, &back));
        QCOMPARE(back, read);
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
