// The whole document: writer, loader with its messages and report, the
// built-in default, text encodings and atomic saving.
#include "model/configfile.h"
#include "model/configuration.h"
#include "model/typetables.h"
#include "tests/model/recordinghost.h"

#include <QDir>
#include <QDomDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#endif

namespace
{

QString document(const QString &children, const QString &root = QStringLiteral("PultoraConfig"))
{
    return QStringLiteral("<!DOCTYPE Pultora>\n<%1 version=\"1\">\n%2\n</%1>\n")
        .arg(root, children);
}

QString controls(int count)
{
    return QStringLiteral("<control version=\"1\"/>").repeated(count);
}

// Options for loading a text instead of a file.
LoadOptions fromText()
{
    LoadOptions options;
    options.fromText = true;
    return options;
}

struct Source {
    ConsistenceCheckStruct checks;
    PreferencesStruct preferences;
    BackgroundStruct background;
    QList<SettingStruct> controls;

    ConfigurationSource view() const
    {
        ConfigurationSource source;
        source.checks = &checks;
        source.preferences = &preferences;
        source.background = &background;
        for (const SettingStruct &c : controls)
            source.controls << &c;
        source.languageCall = "de_DE";
        source.languageFile = "Pultora_de_DE.qm";
        return source;
    }
};

Source sampleSource()
{
    Source s;
    s.checks.check_2 = false;
    s.preferences.project_name = "Bühne";
    s.preferences.http_server = "http://192.168.1.9/";
    s.background.size_x = 800;
    s.background.color_blue = 1;
    for (quint8 type = 0; type < CT_COUNT; ++type) {
        SettingStruct c;
        c.control_type = type;
        c.name = QStringLiteral("Control %1\nä").arg(type);
        c.position_x = type * 10;
        c.dmx_out.protocol_type = PT_ARTNET;
        c.dmx_out.dmx_channel = type <= CT_ENCODER_SWITCH ? type : 0; // labels etc. store none
        c.dmx_out_advanced.dmx_value_2 = 0; // what an unwritten advanced value reads as
        s.controls << c;
    }
    return s;
}

} // namespace

class TestConfiguration : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writerHeaderAndOrder()
    {
        const Source s = sampleSource();
        const QString text = writeConfiguration(s.view(), "/some/folder/show.ptra");
        QVERIFY(text.startsWith("<!DOCTYPE Pultora>\n"));
        QVERIFY(!text.contains("<?xml"));
        QVERIFY(!text.contains("osc"));         // a show without OSC is written as before it
        QVERIFY(text.contains("\n <control ")); // indentation of one space

        QDomDocument parsed;
        QVERIFY(parsed.setContent(text));
        const QDomElement root = parsed.documentElement();
        QCOMPARE(root.tagName(), QStringLiteral("PultoraConfig"));
        QStringList attributes;
        for (const char *name : {"name", "author", "version", "software_version", "language_call",
                                 "language_file", "date", "time"})
            attributes << root.attribute(name);
        QVERIFY2(QRegularExpression("^show.ptra pultora 1 0.8.0.0 de_DE Pultora_de_DE.qm "
                                    "\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                     .match(attributes.join(' '))
                     .hasMatch(),
                 qPrintable(attributes.join(' ')));

        QStringList order;
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            order << e.tagName();
        QStringList expected{"consistence_check", "preferences", "background"};
        for (int i = 0; i < CT_COUNT; ++i)
            expected << "control";
        QCOMPARE(order, expected);

        // Records the source lacks are left out.
        ConfigurationSource view = s.view();
        view.preferences = nullptr;
        view.background = nullptr;
        QVERIFY(parsed.setContent(writeConfiguration(view, "x.ptra")));
        QCOMPARE(parsed.documentElement().firstChildElement().nextSiblingElement().tagName(),
                 QStringLiteral("control"));
    }

    void roundTripThroughFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("round trip.ptra");
        Source s = sampleSource();
        // Characters XML cannot carry would make the saved file unreadable: they go.
        const QString emoji = QString::fromUcs4(U"\U0001F3B9");
        s.controls[1].name = QStringLiteral("a\x01"
                                            "b") +
                             QChar(0xFFFF) + QChar(0xD800) + "c\t\r\nd " + emoji;
        s.preferences.command_path = QStringLiteral("/bin\x1b");
        // OSC through the streaming writer and loader.
        s.preferences.osc_plain_targets = QStringList{"a:1", "b:2"};
        s.controls[CT_ENCODER_PUSH].dmx_out_advanced.protocol_type = PT_OSC;
        s.controls[CT_ENCODER_PUSH].dmx_out_advanced.osc_port = 1;
        s.controls[CT_LED].dmx_in.protocol_type_in = PT_OSC;
        s.controls[CT_LED].dmx_in.dmx_in_osc_address = "/led";
        QVERIFY(writeConfigurationFile(path, writeConfiguration(s.view(), path)));
        s.controls[1].name = "abc\t\r\nd " + emoji;
        s.preferences.command_path = "/bin";

        RecordingHost host;
        QVERIFY(loadConfiguration(host, path, LoadOptions()));
        QCOMPARE(host.warnings, QStringList());
        QCOMPARE(host.checks, QList<ConsistenceCheckStruct>{s.checks});
        QCOMPARE(host.preferences, QList<PreferencesStruct>{s.preferences});
        QCOMPARE(host.backgrounds.size(), 1);
        QVERIFY(host.backgrounds.first().sameContent(s.background));
        QCOMPARE(host.controls.size(), s.controls.size());
        for (int i = 0; i < s.controls.size(); ++i)
            QVERIFY2(host.controls.at(i).sameContent(s.controls.at(i)),
                     qPrintable(QString::number(i)));
    }

    void report_data()
    {
        QTest::addColumn<bool>("fromText");
        QTest::addColumn<bool>("append");
        QTest::addColumn<QStringList>("currentFiles");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("modified");
        QTest::newRow("file") << false << false << QStringList{"@"} << "File @ has been loaded!"
                              << false;
        QTest::newRow("text") << true << false << QStringList{"config_default.ptra"}
                              << "Configuration has been loaded" << true;
        QTest::newRow("file, appending")
            << false << true << QStringList() << "File @ has been loaded and appended!" << true;
        QTest::newRow("text, appending") << true << true << QStringList()
                                         << "Configuration has been loaded and appended!" << true;
    }

    void report()
    {
        QFETCH(bool, fromText);
        QFETCH(bool, append);
        QFETCH(QStringList, currentFiles);
        QFETCH(QString, status);
        QFETCH(bool, modified);
        QTemporaryDir dir;
        const QString path = dir.filePath("show.ptra");
        const QString text = document("<control version=\"1\"/><background version=\"1\"/>");
        QVERIFY(writeConfigurationFile(path, text));
        currentFiles.replaceInStrings("@", path);
        status.replace("@", path);

        RecordingHost host;
        LoadOptions options;
        options.fromText = fromText;
        options.append = append;
        QVERIFY(loadConfiguration(host, fromText ? text : path, options));
        QCOMPARE(host.currentFiles, currentFiles);
        QCOMPARE(host.statusLines, QStringList{status});
        QCOMPARE(host.modified, QList<bool>{modified});
        // Busy around everything; the check after applying, the report last.
        QCOMPARE(host.calls.join(' '),
                 QStringLiteral("busy control background consistency %1status modified idle")
                     .arg(append ? "" : "file "));
    }

    // Refused: nothing reaches the host but one warning, so a file stays
    // unnamed and the console never saves over it. "@" is the path.
    void refused_data()
    {
        QTest::addColumn<QString>("path"); // empty: `content` written to a file; "text": as text
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("existing");    // appending to that many controls when > 0
        QTest::addColumn<qint64>("area");     // the pixels they cover
        QTest::addColumn<QString>("warning"); // its start; empty: loads without one
        const auto row = [](const char *name, const QString &path, const QByteArray &content,
                            const QString &warning, int existing = 0, qint64 area = 0) {
            QTest::newRow(name) << path << content << existing << area << warning;
        };
        const QString unread = "Pultora|The file @ could not be read!\n";
        row("missing", QDir::temp().filePath("no-such-folder-4711/missing.ptra"), {}, unread);
        row("a folder", QDir::tempPath(), {}, unread);
        row("a device", "/dev/zero", {}, unread);
        const QString xml =
            "XML-Error|Could not load file @! It is not a valid Pultora XML file (*.ptra).\n";
        const QString xmlText =
            "XML-Error|The included configuration could not be loaded! It is not "
            "valid Pultora XML content (*.ptra).\n";
        row("empty", "", "", xml + "Line 1, column 0: ");
        row("not XML", "", "just words", xml + "Line 1, column 1: ");
        row("unclosed", "", "<PultoraConfig>\n<control version=\"1\">",
            xml + "Line 2, column 21: ");
        row("unclosed text", "text", "<PultoraConfig>\n<control version=\"1\">",
            xmlText + "Line 2, column 21: ");

        const auto doc = [](const QString &children, const QString &root = "PultoraConfig") {
            return document(children, root).toUtf8();
        };
        row("foreign root, nothing known", "", doc("<rect/>text<?pi x?>", "svg"),
            unread + "Not a Pultora configuration (root element <svg>).");
        row("foreign root, a known element", "", doc("<consistence_check/>", "Old"), "");
        row("too many controls", "", doc(controls(MAX_CONTROLS + 1)),
            unread + "It holds 20001 controls; at most 20000 are supported.");
        row("as many as supported", "", doc(controls(MAX_CONTROLS)), "");
        row("too many appended", "", doc(controls(3)),
            unread +
                "It holds 3 controls and 19998 are loaded already; at most 20000 are supported.",
            MAX_CONTROLS - 2);
        row("appended up to the limit", "", doc(controls(2)), "", MAX_CONTROLS - 2);
        // 16384 × 3906 + 8 × 512 pixels are 64,000,000.
        const QString big = "<control version=\"1\" size_x=\"16384\" size_y=\"3906\"/>";
        const QString small = "<control version=\"1\" size_x=\"8\" size_y=\"%1\"/>";
        row("controls covering as much as supported", "", doc(big + small.arg(512)), "");
        row("controls covering more", "", doc(big + small.arg(513)),
            unread +
                "Its controls would cover 64.0 million pixels; at most 64 million are supported.");
        row("appended to controls covering almost as much", "", doc(small.arg(513)),
            unread + "Its controls would cover 64.0 million", 1, 16384 * 3906);

        // Start tags too large for the reader are refused before it reads them;
        // an internal subset with a quoted '>' is read past as the reader does.
        const auto tags = [](const QString &children) {
            return ("<!DOCTYPE Pultora [<!ENTITY e \"a>b\">]>\n<PultoraConfig version=\"1\">\n" +
                    children + "\n</PultoraConfig>\n")
                .toUtf8();
        };
        const auto attributes = [](int count) {
            QString tag = "<c";
            for (int i = 0; i < count; ++i)
                tag += QStringLiteral(" a%1=\"\"").arg(i, 4, 10, QLatin1Char('0'));
            return tag + "/>";
        };
        const QString name = "<control version=\"1\" name=\"%1\"/>";
        const QString line3 = xmlText + "Line 3, column ";
        row("1000 attributes", "text", tags(attributes(1000)), "");
        row("1001 attributes", "text", tags(attributes(1001)),
            line3 + "9004: An element has more than 1000 attributes");
        row("a value of 64 KB", "text", tags(name.arg(QString(65536, 'x'))), "");
        row("a value longer than 64 KB", "text", tags(name.arg(QString(65537, 'x'))),
            line3 + "22: The attribute \"name\" is longer than 65536 characters");
        row("a picture longer than 64 KB", "text",
            tags("<control version=\"1\" bitmap='" + QString(70000, 'A') + "'/>"), "");
        row("'>' and the other quote in values", "text",
            tags("<c a=\"'>'\" b='\"'/>" + attributes(1001)),
            line3 + "9022: An element has more than 1000 attributes");
        row("no tags in comments, CDATA and instructions", "text",
            tags("<!--" + attributes(1001) + "--><x><![CDATA[" + attributes(1001) + "]]></x><?pi " +
                 attributes(1001) + "?>"),
            "");
    }

    void refused()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(int, existing);
        QFETCH(qint64, area);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        LoadOptions options;
        options.fromText = path == "text";
        options.append = existing > 0;
        options.existingControls = existing;
        options.existingArea = area;
        if (path.isEmpty()) {
            path = dir.filePath("show.ptra");
            QVERIFY(writeBytes(path, content));
        }
        RecordingHost host;
        QCOMPARE(
            loadConfiguration(host, options.fromText ? QString::fromUtf8(content) : path, options),
            warning.isEmpty());
        if (warning.isEmpty()) {
            QCOMPARE(host.warnings, QStringList());
            return;
        }
        QCOMPARE(host.calls.filter(QRegularExpression("^(?!busy|idle)")), QStringList{"warning"});
        QCOMPARE(host.busyDepth, 0);
        warning.replace("@", path);
        QVERIFY2(host.warnings.first().startsWith(warning), qPrintable(host.warnings.first()));
        // A reason follows the place.
        QVERIFY(!host.warnings.first().endsWith(' ') && !host.warnings.first().endsWith('\n'));
    }

    // Loaded after a repair, told in one warning once the document is in place,
    // before the check and the report.
    void repaired_data()
    {
        QTest::addColumn<QString>("children");
        QTest::addColumn<QString>("loaded"); // in order: background "b", control "c" with sizes
        QTest::addColumn<QString>("warning");
        const QString c = "<control version=\"1\" name=\"C\" %1/>";
        const QString b = "<background version=\"1\" %1/>";
        const QString number =
            "Some numbers in the included configuration were out of range and have "
            "been limited, first: %1.";
        const QString size = number.arg("control \"C\", attribute \"%1\" = %2");
        const QString bg = "The background of the included configuration had a size that cannot be "
                           "shown (%1) and has been limited to %2.";
        const auto row = [](const char *name, const QString &children, const char *loaded,
                            const QString &warning) {
            QTest::newRow(name) << children << QString(loaded) << warning;
        };
        QString unknown;
        for (const char *name : {"A", "B", "C", "D", "E", "F"})
            unknown += QStringLiteral("<control version=\"2\" name=\"%1\"/>").arg(name);
        row("unknown versions left out", "<control/>" + unknown + controls(1), "c 50x50",
            "7 control(s) with an unknown version were not loaded: \"\", \"A\", \"B\", \"C\", "
            "\"D\", …");
        row("first number out of range named",
            "<control version=\"1\" name=\"Wash\" dmx_universe=\"99999\" dmx_value_1=\"999\"/>"
            "<control version=\"1\" color_red=\"300\"/>",
            "c 50x50 c 50x50", number.arg("control \"Wash\", attribute \"dmx_universe\" = 99999"));
        row("element out of range", "<preferences version=\"1\" startup_timeout=\"70000\"/>",
            "preferences",
            number.arg("element \"preferences\", attribute \"startup_timeout\" = 70000"));
        row("background too large",
            b.arg("size_x=\"4294967295\" stretch_factor=\"4294967295\"") +
                b.arg("size_y=\"99999\""),
            "b 1638x300 b 400x16384",
            bg.arg("4294967295 × 300 at 4294967295 %", "1638 × 300 at 1000 %"));
        row("at the limits", c.arg("size_x=\"16384\" size_y=\"8\""), "c 16384x8", "");
        row("wider than a side may be", c.arg("size_x=\"16777215\""), "c 16384x50",
            size.arg("size_x", "16777215"));
        row("a size that is no number", c.arg("size_y=\"600px\""), "c 50x8",
            size.arg("size_y", "0"));
        row("stretched, the largest is smaller",
            b.arg("stretch_factor=\"1000\"") + c.arg("size_x=\"1639\" size_y=\"1\""),
            "b 400x300 c 1638x1", size.arg("size_x", "1639"));
        row("a background after the controls stretches them too",
            c.arg("size_x=\"1638\"") + b.arg("stretch_factor=\"1000\""), "c 1638x50 b 400x300", "");
        row("shrunk, the smallest is larger",
            b.arg("size_x=\"1000\" size_y=\"1000\" stretch_factor=\"10\"") +
                c.arg("size_x=\"79\" size_y=\"80\""),
            "b 1000x1000 c 80x80", size.arg("size_x", "79"));
        row("a background of no size", b.arg("size_x=\"0\" size_y=\"600px\""), "b 100x100",
            bg.arg("0 × 0 at 100 %", "100 × 100 at 100 %"));
        row("a background just large enough", b.arg("size_x=\"100\" size_y=\"16384\""),
            "b 100x16384", "");
        row("elements in any order, unknown and nested ones skipped",
            controls(1) + "<extra/><preferences version=\"1\"/>" + b.arg("") +
                "<consistence_check version=\"1\"/><group>" + controls(1) + "</group>",
            "c 50x50 preferences b 400x300 checks", "");
    }

    void repaired()
    {
        QFETCH(QString, children);
        QFETCH(QString, loaded);
        QFETCH(QString, warning);
        RecordingHost host;
        QVERIFY(loadConfiguration(host, document(children), fromText()));
        QStringList applied;
        auto b = host.backgrounds.cbegin();
        auto c = host.controls.cbegin();
        for (const QString &call : std::as_const(host.calls)) {
            if (call == "background")
                applied << QStringLiteral("b %1x%2").arg(b->size_x).arg(b->size_y), ++b;
            else if (call == "control")
                applied << QStringLiteral("c %1x%2").arg(c->size_x).arg(c->size_y), ++c;
            else if (call == "preferences" || call == "checks")
                applied << call;
        }
        QCOMPARE(applied.join(' '), loaded);
        QCOMPARE(host.warnings,
                 warning.isEmpty() ? QStringList() : QStringList{"Pultora|" + warning});
        if (!warning.isEmpty())
            QCOMPARE(host.calls.at(host.calls.indexOf("warning") + 1), "consistency");
    }

    void progressAndCancel_data()
    {
        QTest::addColumn<int>("cancelAt"); // progress call answering false; -1 none
        QTest::addColumn<int>("applied");
        QTest::newRow("runs through") << -1 << 1200;
        QTest::newRow("cancelled while reading") << 0 << 0;
        QTest::newRow("cancelled while applying") << 2 << 500;
    }

    void progressAndCancel()
    {
        QFETCH(int, cancelAt);
        QFETCH(int, applied);
        const QString text = document(controls(1200));
        RecordingHost host;
        host.cancelAtProgress = cancelAt;
        QCOMPARE(loadConfiguration(host, text, fromText()), cancelAt < 0);
        QCOMPARE(host.controls.size(), applied);
        QVERIFY(host.warnings.isEmpty());
        QCOMPARE(host.calls.contains("consistency") || host.calls.contains("file"), cancelAt < 0);
        // Every 500 elements read (characters of the text), every 500 applied.
        QCOMPARE(host.progress.size(), cancelAt < 0 ? 4 : cancelAt + 1);
        QVERIFY(host.progress.first().first > 0 && host.progress.first().first < text.size() / 2);
        QCOMPARE(host.progress.first().second, text.size());
        if (host.progress.size() > 2)
            QCOMPARE(host.progress.at(2), (QPair<qint64, qint64>(500, 1200)));
    }

    void outputsAllowedOnEveryLoad()
    {
        // The host is handed every command and link of either output.
        const QString preferences =
            "<preferences version=\"1\" command_flag=\"1\" command_path=\"/bin\" "
            "http_server=\"http://10.0.0.9/\"/>";
        const QString output =
            "<control version=\"1\" protocol_type%1=\"%2\" dmx_%3_filename%1=\"%4\"/>";
        const QString controls = output.arg("", "Command", "command", "") +
                                 output.arg("_advanced", "Command", "command", "rm -rf ~") +
                                 output.arg("", "Command", "command", "a") +
                                 output.arg("_advanced", "HTTP", "http", "go?v=%1");
        for (bool yes : {true, false}) {
            RecordingHost host;
            host.answerYes = yes;
            QVERIFY(loadConfiguration(host, document(preferences + controls), fromText()));
            QCOMPARE(host.requests.size(), 1);
            const OutputRequest &r = host.requests.first();
            QVERIFY(r.commandsRequested);
            QCOMPARE(r.commands, (QStringList{"rm -rf ~", "a"}));
            QCOMPARE(r.commandFolder, QStringLiteral("/bin"));
            QCOMPARE(r.httpServer, QStringLiteral("http://10.0.0.9/"));
            QCOMPARE(r.httpLinks, QStringList{"go?v=%1"});
            QCOMPARE(host.preferences.last().command_flag, yes);
            QCOMPARE(host.preferences.last().http_other_hosts, yes);
        }
    }

    void builtInDefault()
    {
        const QString text = defaultConfigurationText();
        RecordingHost host;
        QVERIFY(loadConfiguration(host, text, fromText()));
        QCOMPARE(host.warnings, QStringList());
        QVERIFY(host.preferences.isEmpty());
        QCOMPARE(host.backgrounds.size(), 1);
        QCOMPARE(host.controls.size(), 36);

        RecordingHost withoutControls;
        LoadOptions options = fromText();
        options.createControls = false;
        QVERIFY(loadConfiguration(withoutControls, text, options));
        QVERIFY(withoutControls.controls.isEmpty());
        QCOMPARE(withoutControls.backgrounds.size(), 1);
        QCOMPARE(withoutControls.checks.size(), 1);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbcn \xc3\xa4 \xe2\x82\xac") << "Grün ä €";
        QTest::newRow("Latin-1") << QByteArray("Gr\xfcn \xe4") << "Grün ä";
        QTest::newRow("Windows-1252") << QByteArray("\x80 \x93x\x94 \x81") << "€ “x” \u0081";
        QTest::newRow("broken UTF-8 falls back") << QByteArray("\xc3\xa4 \xc3") << "Ã¤ Ã";
    }

    void encodings()
    {
        QFETCH(QByteArray, nameBytes);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath("enc.ptra");
        QVERIFY(writeBytes(path,
                           "<!DOCTYPE Pultora>\n<PultoraConfig>\n <control version=\"1\" name=\"" +
                               nameBytes + "\"/>\n</PultoraConfig>\n"));
        RecordingHost host;
        QVERIFY(loadConfiguration(host, path, LoadOptions()));
        QCOMPARE(host.controls.size(), 1);
        QCOMPARE(host.controls.first().name, name);

        // Saved again, the name is UTF-8 and reads back the same.
        SettingStruct control = host.controls.first();
        ConfigurationSource source;
        source.controls << &control;
        QVERIFY(writeConfigurationFile(path, writeConfiguration(source, path)));
        QVERIFY(readBytes(path).contains(name.toUtf8()));
        RecordingHost again;
        QVERIFY(loadConfiguration(again, path, LoadOptions()));
        QCOMPARE(again.controls.first().name, name);

        QCOMPARE(decodeConfigurationText("\xef\xbb\xbf<a/>"), QStringLiteral("<a/>"));
        // A UTF-8 lead byte at the very end is Windows-1252, not dropped.
        QCOMPARE(decodeConfigurationText("Caf\xe9"), QStringLiteral("Caf\u00e9"));
        QCOMPARE(encodeConfigurationText("ä"), QByteArray("\xc3\xa4"));
    }

    void saving_data()
    {
        QTest::addColumn<QString>("path");  // in the folder holding the old show.ptra
        QTest::addColumn<int>("size");      // characters saved
        QTest::addColumn<bool>("limited");  // by a file size limit of 4,096 bytes
        QTest::addColumn<QString>("error"); // "": saved; "-": any
        QTest::newRow("saved") << "show.ptra" << 5 << false << "";
        QTest::newRow("no such folder") << "missing/show.ptra" << 5 << false << "-";
        QTest::newRow("a folder") << "." << 5 << false << "-";
#ifdef Q_OS_UNIX
        // Out of space half way (here: out of the allowed file size), as on a
        // full disk; small enough to sit in the buffer, it fails with the flush,
        // and a save must not commit what was cut short.
        QTest::newRow("write fails") << "show.ptra" << 100000 << true << qt_error_string(EFBIG);
        QTest::newRow("flush fails") << "show.ptra" << 10000 << true << qt_error_string(EFBIG);
#endif
    }

    // A save replaces the file at once or not at all, and says the reason.
    void saving()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        QFETCH(bool, limited);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString file = dir.filePath("show.ptra");
        const QByteArray old = defaultConfigurationText().toUtf8();
        QVERIFY(writeBytes(file, old));
        const QString text = QString(size - 1, QLatin1Char('x')) + "ä";
        QString told = "untouched";
        bool saved = false;
#ifdef Q_OS_UNIX
        struct rlimit unlimited;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = unlimited;
        small.rlim_cur = limited ? 4096 : unlimited.rlim_cur;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        saved = writeConfigurationFile(dir.filePath(path), text, &told);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, oldHandler);
#else
        saved = writeConfigurationFile(dir.filePath(path), text, &told);
#endif
        QCOMPARE(saved, error.isEmpty());
        QCOMPARE(readBytes(file), saved ? encodeConfigurationText(text) : old);
        QVERIFY(QFileInfo(dir.path()).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"show.ptra"});
        if (saved)
            QCOMPARE(told, QStringLiteral("untouched"));
        else
            QVERIFY(error == "-" ? !told.isEmpty() : told == error);
    }
};

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
