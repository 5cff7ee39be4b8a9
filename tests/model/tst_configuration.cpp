// The whole document: writer, loader with its messages and report, the
// built-in default, text encodings and atomic saving.
#include "model/configfile.h"
#include "model/configuration.h"
#include "model/documentelements.h"
#include "model/elements.h"
#include "model/typetables.h"
#include "tests/model/recordinghost.h"

#include <QCryptographicHash>
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

const QString kPultora = QStringLiteral("Pultora");

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

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void writerHeaderAndOrder();
    void roundTripThroughFile();
    void domAndDocumentWritersAgree();
    void unstorableCharactersDropped();
    void report_data();
    void report();
    void unreadableFile_data();
    void unreadableFile();
    void parseErrors_data();
    void parseErrors();
    void refusedDocuments_data();
    void refusedDocuments();
    void repairWarnings_data();
    void repairWarnings();
    void progressAndCancel_data();
    void progressAndCancel();
    void documentContents_data();
    void documentContents();
    void missingPreferencesKeepPrevious();
    void outputsAllowedOnEveryLoad();
    void sizesLimited_data();
    void sizesLimited();
    void prescan_data();
    void prescan();
    void builtInDefault();
    void encodings_data();
    void encodings();
    void atomicWrite();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
};

void TestConfiguration::writerHeaderAndOrder()
{
    const Source s = sampleSource();
    const QString text = writeConfiguration(s.view(), "/some/folder/show.ptra");
    QVERIFY(text.startsWith("<!DOCTYPE Pultora>\n"));
    QVERIFY(!text.contains("<?xml"));
    QVERIFY(text.contains("\n <control ")); // indentation of one space

    QDomDocument parsed;
    QVERIFY(parsed.setContent(text));
    const QDomElement root = parsed.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("PultoraConfig"));
    QCOMPARE(root.attribute("name"), QStringLiteral("show.ptra"));
    QCOMPARE(root.attribute("author"), QStringLiteral("pultora"));
    QCOMPARE(root.attribute("version"), QStringLiteral("1"));
    QCOMPARE(root.attribute("software_version"), QStringLiteral("0.8.0.0"));
    QVERIFY(QRegularExpression("^\\d{4}/\\d\\d/\\d\\d$").match(root.attribute("date")).hasMatch());
    QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(root.attribute("time")).hasMatch());
    QCOMPARE(root.attribute("language_call"), QStringLiteral("de_DE"));
    QCOMPARE(root.attribute("language_file"), QStringLiteral("Pultora_de_DE.qm"));

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

void TestConfiguration::roundTripThroughFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("round trip.ptra");
    const Source s = sampleSource();
    QString error;
    QVERIFY(writeConfigurationFile(path, writeConfiguration(s.view(), path), &error));

    RecordingHost host;
    QVERIFY(loadConfiguration(host, path, LoadOptions()));
    QCOMPARE(host.warnings, QStringList());
    QCOMPARE(host.checks.size(), 1);
    QCOMPARE(host.checks.first(), s.checks);
    QCOMPARE(host.preferences.size(), 1);
    QCOMPARE(host.preferences.first(), s.preferences);
    QCOMPARE(host.backgrounds.size(), 1);
    QVERIFY(host.backgrounds.first().sameContent(s.background));
    QCOMPARE(host.controls.size(), s.controls.size());
    for (int i = 0; i < s.controls.size(); ++i)
        QVERIFY2(host.controls.at(i).sameContent(s.controls.at(i)), qPrintable(QString::number(i)));
}

void TestConfiguration::domAndDocumentWritersAgree()
{
    // The element functions build a DOM, the document writer streams; both
    // must store the same attributes.
    Source s = sampleSource();
    s.preferences.startup_timeout = 3;
    s.background.stretch_factor = 50;
    s.controls[13].dmx_out_advanced.protocol_type = PT_MIDI;
    s.controls[13].dmx_in.protocol_type_in = PT_ACN;
    const ConfigurationSource view = s.view();
    QDomDocument streamed;
    QVERIFY(streamed.setContent(writeConfiguration(view, "a.ptra")));

    QDomDocument built;
    QDomElement root = built.createElement("PultoraConfig");
    built.appendChild(root);
    writeConsistenceCheckElement(built, root, view.checks);
    writePreferencesElement(built, root, view.preferences, view.midiDevices);
    writeBackgroundElement(built, root, view.background);
    for (const SettingStruct *c : view.controls)
        writeControlElement(built, root, c);

    QDomElement a = streamed.documentElement().firstChildElement();
    QDomElement b = root.firstChildElement();
    int compared = 0;
    for (; !a.isNull() && !b.isNull(); a = a.nextSiblingElement(), b = b.nextSiblingElement()) {
        QCOMPARE(a.tagName(), b.tagName());
        const QDomNamedNodeMap attributes = b.attributes();
        QCOMPARE(a.attributes().count(), attributes.count());
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            QCOMPARE(a.attribute(attribute.name()), attribute.value());
        }
        ++compared;
    }
    QVERIFY(a.isNull() && b.isNull());
    QCOMPARE(compared, 3 + CT_COUNT);
}

void TestConfiguration::unstorableCharactersDropped()
{
    // Characters XML cannot carry would make the saved file unreadable.
    SettingStruct control;
    control.name = QStringLiteral("a\x01"
                                  "b") +
                   QChar(0xFFFF) + QChar(0xD800) + "c\t\r\nd " + QString::fromUcs4(U"\U0001F3B9");
    PreferencesStruct preferences;
    preferences.command_path = QStringLiteral("/bin\x1b");
    ConfigurationSource source;
    source.controls << &control;
    source.preferences = &preferences;
    QTemporaryDir dir;
    const QString path = dir.filePath("odd.ptra");
    QVERIFY(writeConfigurationFile(path, writeConfiguration(source, path)));
    RecordingHost host;
    QVERIFY(loadConfiguration(host, path, LoadOptions()));
    QCOMPARE(host.controls.size(), 1);
    QCOMPARE(host.controls.first().name,
             QStringLiteral("abc\t\r\nd ") + QString::fromUcs4(U"\U0001F3B9"));
    QCOMPARE(host.preferences.first().command_path, QStringLiteral("/bin"));
}

void TestConfiguration::report_data()
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
    QTest::newRow("text, appending")
        << true << true << QStringList() << "Configuration has been loaded and appended!" << true;
}

void TestConfiguration::report()
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
    QStringList expected{"busy", "control", "background", "consistency"};
    if (!append)
        expected << "file";
    expected << "status"
             << "modified"
             << "idle";
    QCOMPARE(host.calls, expected);
}

void TestConfiguration::unreadableFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << QDir::temp().filePath("no-such-folder-4711/missing.ptra");
    QTest::newRow("a folder") << QDir::tempPath();
    QTest::newRow("a device") << "/dev/zero";
}

void TestConfiguration::unreadableFile()
{
    QFETCH(QString, path);
    RecordingHost host;
    QVERIFY(!loadConfiguration(host, path, LoadOptions()));
    QCOMPARE(host.warnings.size(), 1);
    const QString expected = QStringLiteral("Pultora|The file %1 could not be read!\n").arg(path);
    QVERIFY2(host.warnings.first().startsWith(expected), qPrintable(host.warnings.first()));
    QVERIFY(host.warnings.first().endsWith('.'));
    QVERIFY(host.warnings.first().size() > expected.size() + 1); // the reason
    QCOMPARE(host.calls, QStringList{"warning"});
}

void TestConfiguration::parseErrors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("where"); // named after the message, with the reason
    QTest::newRow("empty") << QByteArray() << "Line 1, column 0: ";
    QTest::newRow("not XML") << QByteArray("just words") << "Line 1, column 1: ";
    QTest::newRow("unclosed") << QByteArray("<PultoraConfig>\n<control version=\"1\">")
                              << "Line 2, column 21: ";
    QTest::newRow("bad attribute") << QByteArray("<PultoraConfig a=1/>") << "Line 1, column 18: ";
    QTest::newRow("two roots") << QByteArray("<a/><b/>") << "Line 1, column 8: ";
}

void TestConfiguration::parseErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, where);
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.ptra");
    QVERIFY(writeBytes(path, content));

    RecordingHost fileHost;
    QVERIFY(!loadConfiguration(fileHost, path, LoadOptions()));
    QCOMPARE(fileHost.warnings.size(), 1);
    QVERIFY2(fileHost.warnings.first().startsWith(
                 QStringLiteral("XML-Error|Could not load file %1! It is not a valid Pultora XML "
                                "file (*.ptra).\n%2")
                     .arg(path, where)),
             qPrintable(fileHost.warnings.first()));
    QVERIFY(!fileHost.warnings.first().endsWith(where));
    QCOMPARE(fileHost.calls, (QStringList{"busy", "warning", "idle"}));

    RecordingHost textHost;
    QVERIFY(!loadConfiguration(textHost, QString::fromUtf8(content), fromText()));
    QCOMPARE(textHost.warnings.size(), 1);
    QVERIFY(textHost.warnings.first().startsWith(
        "XML-Error|The included configuration could not be loaded! It is not valid Pultora XML "
        "content (*.ptra).\n" +
        where));
    QCOMPARE(textHost.busyDepth, 0);
}

void TestConfiguration::refusedDocuments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("existing");   // appending to that many controls when > 0
    QTest::addColumn<QString>("reason"); // empty: loads
    QTest::newRow("foreign root, nothing known")
        << document("<rect/>text<?pi x?>", "svg") << 0
        << "Not a Pultora configuration (root element <svg>)";
    QTest::newRow("foreign root, a known element")
        << document("<consistence_check/>", "Old") << 0 << QString();
    QTest::newRow("too many controls") << document(controls(MAX_CONTROLS + 1)) << 0
                                       << "It holds 20001 controls; at most 20000 are supported";
    QTest::newRow("as many as supported") << document(controls(MAX_CONTROLS)) << 0 << QString();
    QTest::newRow("too many appended")
        << document(controls(3)) << MAX_CONTROLS - 2
        << "It holds 3 controls and 19998 are loaded already; at most 20000 are supported";
    QTest::newRow("appended up to the limit")
        << document(controls(2)) << MAX_CONTROLS - 2 << QString();
    // 16384 × 3906 + 8 × 512 pixels are 64,000,000.
    const QString area = "<control version=\"1\" size_x=\"16384\" size_y=\"3906\"/>"
                         "<control version=\"1\" size_x=\"8\" size_y=\"%1\"/>";
    QTest::newRow("controls covering as much as supported")
        << document(area.arg(512)) << 0 << QString();
    QTest::newRow("controls covering more")
        << document(area.arg(513)) << 0
        << "Its controls would cover 64.0 million pixels; at most 64 million are supported";
}

void TestConfiguration::refusedDocuments()
{
    QFETCH(QString, text);
    QFETCH(int, existing);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.svg");
    QVERIFY(writeConfigurationFile(path, text));
    RecordingHost host;
    LoadOptions options;
    options.append = existing > 0;
    options.existingControls = existing;
    QCOMPARE(loadConfiguration(host, path, options), reason.isEmpty());
    if (reason.isEmpty()) {
        QCOMPARE(host.warnings, QStringList());
    } else {
        // Nothing reaches the host: the file stays unnamed, so the console
        // never saves over it.
        QCOMPARE(host.calls, (QStringList{"busy", "warning", "idle"}));
        QCOMPARE(host.warnings.first(),
                 QStringLiteral("Pultora|The file %1 could not be read!\n%2.").arg(path, reason));
    }
}

void TestConfiguration::repairWarnings_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<int>("loaded"); // controls applied
    QTest::addColumn<QString>("warning");
    QString unknown;
    for (const char *name : {"A", "B", "C", "D", "E", "F"})
        unknown += QStringLiteral("<control version=\"2\" name=\"%1\"/>").arg(name);
    QTest::newRow("unknown versions left out")
        << "<control/>" + unknown + controls(1) << 1
        << "7 control(s) with an unknown version were not loaded: \"\", \"A\", \"B\", \"C\", "
           "\"D\", …";
    QTest::newRow("first number out of range named")
        << "<control version=\"1\" name=\"Wash\" dmx_universe=\"99999\" dmx_value_1=\"999\"/>"
           "<control version=\"1\" color_red=\"300\"/>"
        << 2
        << "Some numbers in the included configuration were out of range and have been limited, "
           "first: control \"Wash\", attribute \"dmx_universe\" = 99999.";
    QTest::newRow("element out of range")
        << "<preferences version=\"1\" startup_timeout=\"70000\"/>" << 0
        << "Some numbers in the included configuration were out of range and have been limited, "
           "first: element \"preferences\", attribute \"startup_timeout\" = 70000.";
    QTest::newRow("background too large")
        << "<background version=\"1\" size_x=\"4294967295\" stretch_factor=\"4294967295\"/>"
           "<background version=\"1\" size_y=\"99999\"/>"
        << 0
        << "The background of the included configuration had a size that cannot be shown "
           "(4294967295 × 300 at 4294967295 %) and has been limited to 1638 × 300 at 1000 %.";
}

void TestConfiguration::repairWarnings()
{
    QFETCH(QString, children);
    QFETCH(int, loaded);
    QFETCH(QString, warning);
    RecordingHost host;
    QVERIFY(loadConfiguration(host, document(children), fromText()));
    QCOMPARE(host.controls.size(), loaded);
    QCOMPARE(host.warnings, QStringList{"Pultora|" + warning});
    // Shown once the document is in place, before the check and the report.
    QCOMPARE(host.calls.at(host.calls.indexOf("warning") + 1), "consistency");
}

void TestConfiguration::progressAndCancel_data()
{
    QTest::addColumn<int>("cancelAt"); // progress call answering false; -1 none
    QTest::addColumn<int>("applied");
    QTest::newRow("runs through") << -1 << 1200;
    QTest::newRow("cancelled while reading") << 0 << 0;
    QTest::newRow("cancelled while applying") << 2 << 500;
}

void TestConfiguration::progressAndCancel()
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

void TestConfiguration::documentContents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("applied");
    QTest::newRow("foreign root with one control")
        << document("<control version=\"1\" name=\"Lone\"/>", "SomethingElse")
        << QStringList{"control"};
    QTest::newRow("elements in any order, unknown ones skipped")
        << document("<control version=\"1\"/><extra/><preferences version=\"1\"/>"
                    "<background version=\"1\"/><consistence_check version=\"1\"/>"
                    "<control version=\"1\"/>")
        << QStringList{"control", "preferences", "background", "checks", "control"};
    QTest::newRow("nested elements are not read")
        << document("<group><control version=\"1\"/></group>") << QStringList();
}

void TestConfiguration::documentContents()
{
    QFETCH(QString, text);
    QFETCH(QStringList, applied);
    RecordingHost host;
    QVERIFY(loadConfiguration(host, text, fromText()));
    QStringList got = host.calls;
    for (const char *call : {"busy", "idle", "consistency", "file", "status", "modified"})
        got.removeAll(call);
    QCOMPARE(got, applied);
    QCOMPARE(host.statusLines, QStringList{"Configuration has been loaded"});
}

void TestConfiguration::missingPreferencesKeepPrevious()
{
    RecordingHost host;
    const LoadOptions options = fromText();
    QVERIFY(loadConfiguration(
        host, document("<preferences version=\"1\" http_server=\"http://desk/\"/>"), options));
    QVERIFY(loadConfiguration(host, document("<control version=\"1\"/>"), options));
    // The second document says nothing about preferences, so the host's
    // record (set once) stays.
    QCOMPARE(host.preferences.size(), 1);
    QCOMPARE(host.preferences.first().http_server, QStringLiteral("http://desk/"));
}

void TestConfiguration::outputsAllowedOnEveryLoad()
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

void TestConfiguration::sizesLimited_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<QString>("loaded"); // background "b", control "c": sizes as loaded
    QTest::addColumn<QString>("warning");
    const QString c = "<control version=\"1\" name=\"C\" %1/>";
    const QString b = "<background version=\"1\" %1/>";
    const QString number = "Some numbers in the included configuration were out of range and have "
                           "been limited, first: control \"C\", attribute \"%1\" = %2.";
    QTest::newRow("at the limits") << c.arg("size_x=\"16384\" size_y=\"8\"") << "c 16384x8"
                                   << "";
    QTest::newRow("wider than a side may be")
        << c.arg("size_x=\"16777215\"") << "c 16384x50" << number.arg("size_x", "16777215");
    QTest::newRow("a size that is no number")
        << c.arg("size_y=\"600px\"") << "c 50x8" << number.arg("size_y", "0");
    QTest::newRow("stretched, the largest is smaller")
        << b.arg("stretch_factor=\"1000\"") + c.arg("size_x=\"1639\" size_y=\"1\"")
        << "b 400x300 c 1638x1" << number.arg("size_x", "1639");
    QTest::newRow("a background after the controls stretches them too")
        << c.arg("size_x=\"1638\"") + b.arg("stretch_factor=\"1000\"") << "b 400x300 c 1638x50"
        << "";
    QTest::newRow("shrunk, the smallest is larger")
        << b.arg("size_x=\"1000\" size_y=\"1000\" stretch_factor=\"10\"") +
               c.arg("size_x=\"79\" size_y=\"80\"")
        << "b 1000x1000 c 80x80" << number.arg("size_x", "79");
    QTest::newRow("a background of no size")
        << b.arg("size_x=\"0\" size_y=\"600px\"") << "b 100x100"
        << "The background of the included configuration had a size that cannot be shown (0 × 0 "
           "at 100 %) and has been limited to 100 × 100 at 100 %.";
    QTest::newRow("a background just large enough")
        << b.arg("size_x=\"100\" size_y=\"16384\"") << "b 100x16384"
        << "";
}

void TestConfiguration::sizesLimited()
{
    QFETCH(QString, children);
    QFETCH(QString, loaded);
    QFETCH(QString, warning);
    RecordingHost host;
    QVERIFY(loadConfiguration(host, document(children), fromText()));
    QStringList sizes;
    for (const BackgroundStruct &b : std::as_const(host.backgrounds))
        sizes << QStringLiteral("b %1x%2").arg(b.size_x).arg(b.size_y);
    for (const SettingStruct &c : std::as_const(host.controls))
        sizes << QStringLiteral("c %1x%2").arg(c.size_x).arg(c.size_y);
    QCOMPARE(sizes.join(' '), loaded);
    QCOMPARE(host.warnings, warning.isEmpty() ? QStringList() : QStringList{"Pultora|" + warning});
}

void TestConfiguration::prescan_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<QString>("error"); // after "Line 3, column "; empty: loads
    auto attributes = [](int count) {
        QString tag = "<c";
        for (int i = 0; i < count; ++i)
            tag += QStringLiteral(" a%1=\"\"").arg(i, 4, 10, QLatin1Char('0'));
        return tag + "/>";
    };
    const QString name = "<control version=\"1\" name=\"%1\"/>";
    QTest::newRow("1000 attributes") << attributes(1000) << "";
    QTest::newRow("1001 attributes")
        << attributes(1001) << "9004: An element has more than 1000 attributes";
    QTest::newRow("a value of 64 KB") << name.arg(QString(65536, 'x')) << "";
    QTest::newRow("a value longer than 64 KB")
        << name.arg(QString(65537, 'x'))
        << "22: The attribute \"name\" is longer than 65536 characters";
    QTest::newRow("a picture longer than 64 KB")
        << "<control version=\"1\" bitmap='" + QString(70000, 'A') + "'/>"
        << "";
    QTest::newRow("'>' and the other quote in values")
        << "<c a=\"'>'\" b='\"'/>" + attributes(1001)
        << "9022: An element has more than 1000 attributes";
    QTest::newRow("no tags in comments, CDATA and instructions")
        << "<!--" + attributes(1001) + "--><x><![CDATA[" + attributes(1001) + "]]></x><?pi " +
               attributes(1001) + "?>"
        << "";
}

void TestConfiguration::prescan()
{
    QFETCH(QString, children);
    QFETCH(QString, error);
    // An internal subset with quoted '>' is read past as the reader does.
    const QString text =
        "<!DOCTYPE Pultora [<!ENTITY e \"a>b\">]>\n<PultoraConfig version=\"1\">\n" + children +
        "\n</PultoraConfig>\n";
    RecordingHost host;
    QCOMPARE(loadConfiguration(host, text, fromText()), error.isEmpty());
    if (error.isEmpty()) {
        QCOMPARE(host.warnings, QStringList());
        return;
    }
    QCOMPARE(host.warnings,
             QStringList{"XML-Error|The included configuration could not be loaded! It is not "
                         "valid Pultora XML content (*.ptra).\nLine 3, column " +
                         error});
}

void TestConfiguration::builtInDefault()
{
    // The text itself is fixed: any change shows in its digest.
    const QString text = defaultConfigurationText();
    QCOMPARE(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex(),
             QByteArray("2c7f18f9f0e7c106b152a47437d2cafb8ef7234b"));
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

void TestConfiguration::encodings_data()
{
    QTest::addColumn<QByteArray>("nameBytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbcn \xc3\xa4 \xe2\x82\xac") << "Grün ä €";
    QTest::newRow("Latin-1") << QByteArray("Gr\xfcn \xe4") << "Grün ä";
    QTest::newRow("Windows-1252") << QByteArray("\x80 \x93x\x94 \x81") << "€ “x” \u0081";
    QTest::newRow("broken UTF-8 falls back") << QByteArray("\xc3\xa4 \xc3") << "Ã¤ Ã";
}

void TestConfiguration::encodings()
{
    QFETCH(QByteArray, nameBytes);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath("enc.ptra");
    QVERIFY(
        writeBytes(path, "<!DOCTYPE Pultora>\n<PultoraConfig>\n <control version=\"1\" name=\"" +
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
}

void TestConfiguration::atomicWrite()
{
    QCOMPARE(decodeConfigurationText("\xef\xbb\xbf<a/>"), QStringLiteral("<a/>"));
    // A UTF-8 lead byte at the very end is Windows-1252, not dropped.
    QCOMPARE(decodeConfigurationText("Caf\xe9"), QStringLiteral("Caf\u00e9"));
    QCOMPARE(encodeConfigurationText("ä"), QByteArray("\xc3\xa4"));

    QTemporaryDir dir;
    const QString path = dir.filePath("show.ptra");
    QVERIFY(writeBytes(path, "old"));
    QString error = "untouched";
    QVERIFY(writeConfigurationFile(path, "new ä", &error));
    QCOMPARE(error, QStringLiteral("untouched"));
    QCOMPARE(readBytes(path), QByteArray("new \xc3\xa4"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"show.ptra"});

    QVERIFY(!writeConfigurationFile(dir.filePath("missing/show.ptra"), "x", &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!writeConfigurationFile(dir.path(), "x", &error)); // a folder
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestConfiguration::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("write fails") << 100000;
    // Small enough to sit in the file's buffer: the failure comes with the
    // flush, and the save must not commit what was cut short.
    QTest::newRow("flush fails") << 10000;
}

void TestConfiguration::failedWriteKeepsOldFile()
{
#ifdef Q_OS_UNIX
    // A save that runs out of space half way (here: out of the allowed file
    // size) must leave the previous file as it was and say the system's
    // reason, as for a full disk.
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath("show.ptra");
    const QByteArray old = defaultConfigurationText().toUtf8();
    QVERIFY(writeBytes(path, old));

    struct rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = writeConfigurationFile(path, QString(size, QLatin1Char('x')), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(error, qt_error_string(EFBIG));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"show.ptra"});
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
