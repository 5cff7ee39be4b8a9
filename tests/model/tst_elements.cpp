// The "control" and "background" elements: round trips, what is written
// under which condition, defaults and the cutting of out-of-range numbers.
#include "model/elements.h"
#include "model/typetables.h"
#include "tests/model/recordinghost.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SettingStruct)

namespace
{

QImage testPicture()
{
    QImage picture(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(x * 8, y * 8, (x ^ y) * 8, 255 - x));
    return picture;
}

bool isCentre(quint8 type)
{
    return type == CT_FADER_VERTICAL_MIDDLE || type == CT_FADER_HORIZONTAL_MIDDLE ||
           type == CT_PITCH_BEND_VERTICAL_MIDDLE || type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

// Fills one output with everything the element can carry for this type.
void fillOutput(SettingDmxStruct *out, quint8 protocol, bool values, bool value3, bool address)
{
    out->protocol_type = protocol;
    const bool midi = protocol == PT_MIDI;
    if (values) {
        out->dmx_value_1 = 10;
        out->dmx_value_2 = midi ? 120 : 230;
    } else if (midi) {
        out->dmx_value_2 = 127; // the unwritten 255 is read back cut to MIDI's range
    }
    if (value3)
        out->dmx_value_3 = 64;
    if (address && isAddressedProtocol(protocol)) {
        out->dmx_channel = midi ? 100 : 300;
        out->dmx_universe = midi ? 9 : 7;
    }
    if (midi)
        out->dmx_midi_type = MT_CONTROL_CHANGE;
    if (protocol == PT_HTTP)
        out->dmx_http_filename = QStringLiteral("cue.php?go=%1&x=<1>");
    if (protocol == PT_COMMAND)
        out->dmx_command_filename = QStringLiteral("echo \"%1\"");
    if (protocol == PT_OSC) {
        out->osc_address = QStringLiteral(" /mixer/{a,b}/fader 1 ");
        out->osc_host = QStringLiteral("10.0.0.5"), out->osc_port = 65535;
        out->osc_argument = OSC_INT;
    }
}

// The input listens to OSC; OSC inputs store no universe or channel.
SettingStruct withOscInput(SettingStruct c)
{
    c.dmx_in.protocol_type_in = PT_OSC;
    c.dmx_in.dmx_in_osc_address = QStringLiteral("/cue/*/go");
    c.dmx_in.dmx_in_universe = c.dmx_in.dmx_in_channel = 0;
    return c;
}

// A record holding only what survives a write and a read.
SettingStruct fullControl(quint8 type, quint8 protocol, quint8 advanced, bool input, bool picture)
{
    SettingStruct c;
    c.name = QStringLiteral("Ctl\n%1 \"ä\" <&>").arg(controlTypeKey(type));
    c.description = QStringLiteral("line one\nline two");
    c.position_x = 4000000000u, c.position_y = 17, c.size_x = 123, c.size_y = 45;
    c.color_red = 1, c.color_green = 2, c.color_blue = 3;
    c.control_type = type;
    if (picture)
        c.bitmap = Picture::fromImage(testPicture());
    const bool encoderLike = type >= CT_ENCODER && type <= CT_ENCODER_SWITCH;
    if (protocol != PT_NONE)
        fillOutput(&c.dmx_out, protocol, type <= CT_ENCODER_SWITCH, encoderLike,
                   type <= CT_ENCODER_SWITCH);
    // The reader's default for the second value of the advanced output is 0.
    c.dmx_out_advanced.dmx_value_2 = 0;
    if (advanced != PT_NONE) {
        const bool pushOrSwitch = type == CT_ENCODER_PUSH || type == CT_ENCODER_SWITCH;
        fillOutput(&c.dmx_out_advanced, advanced, pushOrSwitch || isCentre(type), false,
                   pushOrSwitch || isCentre(type));
        if (!pushOrSwitch)
            c.dmx_out_advanced.dmx_value_2 = 0;
    }
    if (input) {
        SettingDmxInStruct &in = c.dmx_in;
        in.protocol_type_in = PT_MIDI, in.dmx_in_universe = 3, in.dmx_in_channel = 600;
        in.dmx_in_value_1 = 1, in.dmx_in_value_2 = 2, in.dmx_in_value_3 = 3;
        in.dmx_in_midi_type = MT_NOTE_ON;
        in.dmx_in_color_red_1 = 11, in.dmx_in_color_red_2 = 12, in.dmx_in_color_red_3 = 13;
        in.dmx_in_color_green_1 = 21, in.dmx_in_color_green_2 = 22, in.dmx_in_color_green_3 = 23;
        in.dmx_in_color_blue_1 = 31, in.dmx_in_color_blue_2 = 32, in.dmx_in_color_blue_3 = 33;
        in.dmx_in_color_fade = 1;
    }
    return c;
}

// Writes the record into a fresh document and parses the text back, so the
// DOM's escaping is part of the trip.
QDomElement writtenControl(const SettingStruct &record)
{
    QDomDocument document(QStringLiteral("Pultora"));
    QDomElement root = document.createElement(QStringLiteral("root"));
    document.appendChild(root);
    writeControlElement(document, root, &record);
    QDomDocument parsed;
    if (!parsed.setContent(document.toString(1)))
        return QDomElement();
    return parsed.documentElement().firstChildElement();
}

QDomElement element(const QString &xml)
{
    QDomDocument document;
    document.setContent(xml);
    return document.documentElement();
}

SettingStruct readControl(const QString &attributes)
{
    SettingStruct record;
    readControlElement(element(QStringLiteral("<control version=\"1\" %1/>").arg(attributes)),
                       &record);
    return record;
}

} // namespace

class TestElements : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlRoundTrip_data()
    {
        QTest::addColumn<SettingStruct>("record");
        const quint8 protocols[] = {PT_ARTNET, PT_ACN, PT_MIDI, PT_HTTP, PT_COMMAND};
        for (quint8 type = 0; type < CT_COUNT; ++type) {
            const quint8 protocol = protocols[type % 5];
            const quint8 advanced = protocols[(type + 2) % 5];
            QTest::addRow("%s %s, advanced %s", qPrintable(controlTypeKey(type)),
                          qPrintable(protocolTypeKey(protocol)),
                          qPrintable(protocolTypeKey(advanced)))
                << fullControl(type, protocol, advanced, type % 2 == 0, type % 3 == 0);
        }
        for (quint8 protocol : protocols)
            QTest::addRow("encoder_push both %s", qPrintable(protocolTypeKey(protocol)))
                << fullControl(CT_ENCODER_PUSH, protocol, protocol, true, false);
        QTest::newRow("no outputs, no input")
            << fullControl(CT_KNOB, PT_NONE, PT_NONE, false, false);
        QTest::newRow("encoder_push both OSC, OSC input")
            << withOscInput(fullControl(CT_ENCODER_PUSH, PT_OSC, PT_OSC, true, false));
    }

    void controlRoundTrip()
    {
        QFETCH(SettingStruct, record);
        SettingStruct read;
        QVERIFY(readControlElement(writtenControl(record), &read));
        QCOMPARE(read.dmx_out, record.dmx_out); // the outputs compared apart, to show the field
        QCOMPARE(read.dmx_out_advanced, record.dmx_out_advanced);
        QVERIFY(read.sameContent(record));
    }

    void conditionalAttributes_data()
    {
        QTest::addColumn<SettingStruct>("record");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");

        SettingStruct c = fullControl(CT_BUTTON_PUSH, PT_HTTP, PT_NONE, false, false);
        QTest::newRow("push with HTTP: values and link, no address")
            << c << QStringList{"dmx_value_1", "dmx_value_2", "dmx_http_filename"}
            << QStringList{"dmx_channel", "dmx_universe", "dmx_value_3", "dmx_command_filename",
                           "dmx_midi_type"};

        c = fullControl(CT_KNOB, PT_NONE, PT_NONE, false, false);
        c.description.clear();
        c.qwidget = 0xbeef;
        c.dmx_out.dmx_channel = 5; // no protocol: the address is not written either
        QTest::newRow("nothing optional")
            << c
            << QStringList{"version", "name", "position_x", "size_y", "color_blue", "control_type"}
            << QStringList{"description",       "bitmap",           "protocol_type",
                           "dmx_channel",       "protocol_type_in", "dmx_in_universe",
                           "dmx_in_color_fade", "qwidget"};

        c = fullControl(CT_KNOB, PT_ARTNET, PT_MIDI, false, false);
        QTest::newRow("knob: advanced key and MIDI type only")
            << c << QStringList{"protocol_type_advanced", "dmx_midi_type_advanced"}
            << QStringList{"dmx_value_1_advanced", "dmx_value_2_advanced", "dmx_channel_advanced"};

        c = fullControl(CT_ENCODER_SWITCH, PT_ARTNET, PT_COMMAND, false, false);
        QTest::newRow("encoder_switch with Command: both values, no address")
            << c
            << QStringList{"dmx_value_2_advanced", "dmx_value_1_advanced",
                           "dmx_command_filename_advanced"}
            << QStringList{"dmx_channel_advanced", "dmx_universe_advanced", "dmx_value_3_advanced"};

        c = fullControl(CT_ENCODER_PUSH, PT_OSC, PT_OSC, false, false);
        c.dmx_out.osc_host.clear();
        c.dmx_out.osc_port = 0;
        c.dmx_out.osc_argument = OSC_FLOAT;
        QTest::newRow("OSC: defaults not written, second output's own target")
            << c
            << QStringList{"osc_address", "osc_address_advanced", "osc_host_advanced",
                           "osc_port_advanced", "osc_argument_advanced"}
            << QStringList{"osc_host", "osc_port", "osc_argument", "dmx_channel",
                           "dmx_universe_advanced"};

        c = withOscInput(fullControl(CT_BUTTON_PUSH, PT_ARTNET, PT_NONE, true, false));
        c.dmx_out.osc_address = c.dmx_out.osc_host = QStringLiteral("/kept/in/memory");
        QTest::newRow("OSC fields of an Art-Net output, OSC input")
            << c << QStringList{"dmx_channel", "dmx_in_osc_address", "dmx_in_value_3"}
            << QStringList{"osc_address", "osc_host", "dmx_in_universe", "dmx_in_channel"};

        c = fullControl(CT_LED, PT_NONE, PT_NONE, true, false);
        c.dmx_in.dmx_in_midi_type = MT_NONE;
        QTest::newRow("input without MIDI type")
            << c << QStringList{"protocol_type_in", "dmx_in_value_3", "dmx_in_color_blue_3"}
            << QStringList{"dmx_in_midi_type"};
    }

    void conditionalAttributes()
    {
        QFETCH(SettingStruct, record);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const QDomElement e = writtenControl(record);
        QCOMPARE(e.tagName(), QStringLiteral("control"));
        for (const QString &name : present)
            QVERIFY2(e.hasAttribute(name), qPrintable(name));
        for (const QString &name : absent)
            QVERIFY2(!e.hasAttribute(name), qPrintable(name));
    }

    void controlDefaults()
    {
        // Version 1 without attributes: the reader's defaults.
        SettingStruct read = readControl(QString()), expected;
        expected.name = QStringLiteral("Name");
        expected.dmx_out_advanced.dmx_value_2 = 0;
        QVERIFY(read.sameContent(expected));

        // Another or no version: the reset record, also after a filled one.
        const SettingStruct reset;
        for (const char *version : {"version=\"2\"", "", "version=\"one\""}) {
            read = fullControl(CT_KNOB, PT_MIDI, PT_MIDI, true, true);
            QVERIFY(readControlElement(
                element(QStringLiteral("<control %1 name=\"X\" size_x=\"9\"/>").arg(version)),
                &read));
            QVERIFY2(read.sameContent(reset), version);
        }
    }

    void readerAcceptsOnlyItsTag()
    {
        SettingStruct control = fullControl(CT_KNOB, PT_ARTNET, PT_NONE, false, false);
        const SettingStruct before = control;
        BackgroundStruct background;
        background.size_x = 1;
        QVERIFY(!readControlElement(element("<background version=\"1\"/>"), &control));
        QVERIFY(!readControlElement(element("<control version=\"1\"/>"), nullptr));
        QVERIFY(!readBackgroundElement(element("<control version=\"1\"/>"), &background));
        QVERIFY(control.sameContent(before));
        QCOMPARE(background.size_x, 1u);
    }

    void reading_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &attributes, const char *field,
                            const char *expected) {
            QTest::newRow(name) << attributes << QString(field) << QString(expected);
        };
        row("colour limited to 8 bits", "color_red=\"300\"", "color_red", "255");
        row("negative colour: default", "color_green=\"-5\"", "color_green", "255");
        row("colour not a number", "color_blue=\"abc\"", "color_blue", "0");
        row("empty size", "size_x=\"\"", "size_x", "0");
        row("negative size: default", "size_y=\"-1\"", "size_y", "50");
        row("position limited to 32 bits", "position_x=\"4294967297\"", "position_x", "4294967295");
        row("beyond 64 bits: limited", "position_y=\"99999999999999999999\"", "position_y",
            "4294967295");
        row("fraction: not a number", "size_x=\"1.5\"", "size_x", "0");
        row("input value negative: default", "dmx_in_value_2=\"-3\"", "dmx_in_value_2", "127");
        row("input channel limited, not normalised",
            "protocol_type_in=\"Midi\" dmx_in_channel=\"65537\"", "dmx_in_channel", "65535");
        row("qwidget is hexadecimal", "qwidget=\"ff\"", "qwidget", "255");
        row("a jog wheel is an encoder",
            "control_type=\"jog_wheel\" protocol_type=\"Art-Net\" dmx_value_3=\"100\"",
            "dmx_value_3", "100");
        row("description", "description=\"new\" info=\"old\"", "description", "new");
        row("description from info", "info=\"old\"", "description", "old");
        row("unknown OSC argument: float", "protocol_type=\"OSC\" osc_argument=\"Int\"",
            "osc_argument", "0");
        row("OSC port beyond 16 bits: default target", "protocol_type=\"OSC\" osc_port=\"65536\"",
            "osc_port", "0");
        row("OSC fields of another protocol ignored",
            "protocol_type=\"HTTP\" osc_port=\"8000\" osc_address=\"/a\"", "osc_port", "0");
        row("empty description from info", "description=\"\" info=\"old\"", "description", "old");
        // Each output follows its own protocol: MIDI cuts to 7 bits, the others
        // keep a byte and limit the address. "outputs": universe, channel and
        // values 1 to 3 of each.
        const QString big = "dmx_universe%1=\"40\" dmx_channel%1=\"300\" dmx_value_1%1=\"200\" "
                            "dmx_value_2%1=\"255\" dmx_value_3%1=\"130\" ";
        const QString far = "dmx_universe%1=\"70000\" dmx_channel%1=\"9999\" ";
        const auto both = [](const char *main, const char *advanced, const QString &values) {
            return QStringLiteral("protocol_type=\"%1\" protocol_type_advanced=\"%2\" ")
                       .arg(main, advanced) +
                   values.arg("") + values.arg("_advanced");
        };
        row("MIDI, Art-Net", both("Midi", "Art-Net", big), "outputs",
            "15 127 127 127 127 | 40 300 200 255 130");
        row("Art-Net, MIDI", both("Art-Net", "Midi", big), "outputs",
            "40 300 200 255 130 | 15 127 127 127 127");
        row("sACN, no protocol", both("streaming ACN", "None", far), "outputs",
            "65534 511 0 255 127 | 65534 511 0 0 127");
    }

    void reading()
    {
        QFETCH(QString, attributes);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const SettingStruct r = readControl(attributes);
        QString outputs;
        for (const SettingDmxStruct &o : {r.dmx_out, r.dmx_out_advanced})
            outputs += QStringLiteral("%1 %2 %3 %4 %5 | ")
                           .arg(o.dmx_universe)
                           .arg(o.dmx_channel)
                           .arg(o.dmx_value_1)
                           .arg(o.dmx_value_2)
                           .arg(o.dmx_value_3);
        const QHash<QString, QString> fields = {
            {"outputs", outputs.chopped(3)},
            {"description", r.description},
            {"dmx_value_3", QString::number(r.dmx_out.dmx_value_3)},
            {"color_red", QString::number(r.color_red)},
            {"color_green", QString::number(r.color_green)},
            {"color_blue", QString::number(r.color_blue)},
            {"size_x", QString::number(r.size_x)},
            {"size_y", QString::number(r.size_y)},
            {"position_x", QString::number(r.position_x)},
            {"position_y", QString::number(r.position_y)},
            {"dmx_in_value_2", QString::number(r.dmx_in.dmx_in_value_2)},
            {"dmx_in_channel", QString::number(r.dmx_in.dmx_in_channel)},
            {"qwidget", QString::number(r.qwidget)},
            {"osc_argument", QString::number(r.dmx_out.osc_argument)},
            {"osc_port", QString::number(r.dmx_out.osc_port)},
        };
        QVERIFY(fields.contains(field));
        QCOMPARE(fields.value(field), expected);
    }

    void pictureSources_data()
    {
        // In attributes: %1 a picture file, %2 its folder, %3 a text file.
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QByteArray>("bytes"); // "file": the picture file's; empty: no picture
        QTest::addColumn<bool>("shown");
        const QString garbage = QStringLiteral("bitmap=\"bm90IGEgcGljdHVyZQ==\" ");
        const QByteArray small = Picture::fromImage(testPicture().copy(0, 0, 2, 2)).data();
        QTest::newRow("file, as it is") << "filename=\"%1\"" << QByteArray("file") << true;
        QTest::newRow("empty bitmap: the file")
            << "bitmap=\"\" filename=\"%1\"" << QByteArray("file") << true;
        QTest::newRow("bitmap wins over the file")
            << QString::fromLatin1("bitmap=\"" + small.toBase64() + "\" filename=\"%1\"") << small
            << true;
        // The document's bytes are kept, also when they do not decode.
        QTest::newRow("undecodable bitmap kept")
            << garbage + "filename=\"%1\"" << QByteArray("not a picture") << false;
        QTest::newRow("no such file") << "filename=\"/no/such/file.png\"" << QByteArray() << false;
        QTest::newRow("folder") << "filename=\"%2\"" << QByteArray() << false;
        QTest::newRow("device") << "filename=\"/dev/zero\"" << QByteArray() << false;
        QTest::newRow("file that is no picture") << "filename=\"%3\"" << QByteArray() << false;
    }

    void pictureSources()
    {
        QFETCH(QString, attributes);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("picture.png");
        QVERIFY(testPicture().save(file));
        const QString text = dir.filePath("notes.txt");
        QVERIFY(writeBytes(text, "not a picture"));
        if (bytes == "file")
            bytes = readBytes(file);
        attributes.replace("%1", file).replace("%2", dir.path()).replace("%3", text);
        const Picture read = readControl(attributes).bitmap;
        QCOMPARE(read.data(), bytes);
        QCOMPARE(read.isNull(), bytes.isEmpty());
        QCOMPARE(read.canShow(), shown);
    }

    void backgroundRoundTrip()
    {
        BackgroundStruct record;
        record.position_x = 5, record.position_y = 6, record.size_x = 1024, record.size_y = 768;
        record.stretch_factor = 150;
        record.color_red = 10, record.color_green = 20, record.color_blue = 30;
        record.bitmap = Picture::fromImage(testPicture());
        SettingDmxInStruct &in = record.dmx_in;
        in.protocol_type_in = PT_ARTNET, in.dmx_in_universe = 2, in.dmx_in_channel = 511;
        in.dmx_in_color_blue_2 = 99, in.dmx_in_color_fade = 1;

        QDomDocument document;
        QDomElement root = document.createElement("root");
        document.appendChild(root);
        writeBackgroundElement(document, root, &record);
        BackgroundStruct read;
        QVERIFY(readBackgroundElement(element(document.toString(1)).firstChildElement(), &read));
        QVERIFY(read.sameContent(record));

        // A plain record: what is not set is not written, and no record writes nothing.
        BackgroundStruct plain;
        plain.startup_timeout = 9;
        plain.startup_dmxsend_later = false;
        plain.qwidget = 7;
        QDomElement other = document.createElement("root");
        writeBackgroundElement(document, other, &plain);
        writeBackgroundElement(document, other, nullptr);
        QCOMPARE(other.childNodes().count(), 1);
        const QDomElement e = other.firstChildElement("background");
        QCOMPARE(e.attribute("version"), QStringLiteral("1"));
        QCOMPARE(e.attribute("color_green"), QStringLiteral("127"));
        for (const char *name : {"stretch_factor", "startup_timeout", "startup_dmxsend_later",
                                 "qwidget", "bitmap", "protocol_type_in", "dmx_in_universe"})
            QVERIFY2(!e.hasAttribute(name), name);
    }

    void backgroundReading_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("read"); // its start; empty: the reset record
        const QString v1 = "<background version=\"1\" %1/>";
        const auto row = [](const char *name, const QString &element, const char *read) {
            QTest::newRow(name) << element << QString(read);
        };
        // Saved files never carry the send-later switch: silence demands nothing.
        row("defaults", v1.arg(""),
            "400x300 at 100 %, colour 255 255 255, wait 0, in 0 0, qwidget 0");
        row("send later", v1.arg("startup_dmxsend_later=\"2\""),
            "400x300 at 100 %, colour 255 255 255, wait 0 later, in 0 0, qwidget 0");
        row("numbers cut",
            v1.arg("startup_timeout=\"70000\" startup_dmxsend_later=\"0\" color_red=\"256\" "
                   "stretch_factor=\"-4\" qwidget=\"1A\" dmx_in_midi_type=\"note_on\" "
                   "protocol_type_in=\"Midi\""),
            "400x300 at 100 %, colour 255 255 255, wait 65535, in 3 144, qwidget 26");
        row("no version: the reset record", "<background startup_dmxsend_later=\"-1\"/>", "");
        row("within", v1.arg("size_x=\"16384\" size_y=\"8000\""), "16384x8000 at 100 %,");
        row("huge", v1.arg("size_y=\"4294967295\" stretch_factor=\"4294967295\""),
            "400x1638 at 1000 %,");
        row("stretch 0 counts as 100", v1.arg("size_x=\"16385\" stretch_factor=\"0\""),
            "16384x300 at 0 %,");
        row("small stretch allows more", v1.arg("size_y=\"40000\" stretch_factor=\"50\""),
            "400x32768 at 50 %,");
    }

    void backgroundReading()
    {
        QFETCH(QString, element);
        QFETCH(QString, read);
        BackgroundStruct r;
        r.size_x = 1;
        QVERIFY(readBackgroundElement(::element(element), &r));
        if (read.isEmpty()) {
            QVERIFY(r.sameContent(BackgroundStruct()));
            return;
        }
        const QString got =
            QStringLiteral("%1x%2 at %3 %, colour %4 %5 %6, wait %7%8, in %9 %10, qwidget %11")
                .arg(r.size_x)
                .arg(r.size_y)
                .arg(r.stretch_factor)
                .arg(r.color_red)
                .arg(r.color_green)
                .arg(r.color_blue)
                .arg(r.startup_timeout)
                .arg(r.startup_dmxsend_later ? " later" : "")
                .arg(r.dmx_in.protocol_type_in)
                .arg(r.dmx_in.dmx_in_midi_type)
                .arg(r.qwidget);
        QVERIFY2(got.startsWith(read), qPrintable(got));
    }
};

QTEST_GUILESS_MAIN(TestElements)
#include "tst_elements.moc"
