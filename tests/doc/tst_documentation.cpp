// The documentation page: parsed back as XML, its tables checked row by row
// and column by column, its download loaded again, and the page rendered
// by a real browser.
#include "../model/recordinghost.h"
#include "configfile.h"
#include "configuration.h"
#include "documentation.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace
{

// A show touching every protocol, main and advanced outputs, inputs, a
// background input and names outside Latin-1.
struct Show {
    ConsistenceCheckStruct checks;
    PreferencesStruct preferences;
    BackgroundStruct background;
    QList<SettingStruct> controls;

    void add(const QString &name, quint8 type, SettingDmxStruct out, SettingDmxStruct advanced = {},
             SettingDmxInStruct in = {})
    {
        SettingStruct c;
        c.name = name;
        c.control_type = type;
        c.dmx_out = out;
        c.dmx_out_advanced = advanced;
        c.dmx_in = in;
        controls << c;
    }

    DocumentationSource source() const
    {
        DocumentationSource s;
        s.configuration.checks = &checks;
        s.configuration.preferences = &preferences;
        s.configuration.background = &background;
        for (const SettingStruct &c : controls)
            s.configuration.controls << &c;
        s.configurationName = QStringLiteral("Bühne.ptra");
        s.programVersion = QStringLiteral("v0.8");
        s.created = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
        return s;
    }
};

SettingDmxStruct out(quint8 protocol, quint16 universe = 0, quint16 channel = 0,
                     quint8 midiType = MT_NONE, const QString &text = QString())
{
    SettingDmxStruct d;
    d.protocol_type = protocol;
    d.dmx_universe = universe;
    d.dmx_channel = channel;
    d.dmx_midi_type = midiType;
    d.dmx_http_filename = protocol == PT_HTTP ? text : QString();
    d.dmx_command_filename = protocol == PT_COMMAND ? text : QString();
    return d;
}

SettingDmxInStruct in(quint8 protocol, quint16 universe, quint16 channel)
{
    SettingDmxInStruct d;
    d.protocol_type_in = protocol;
    d.dmx_in_universe = universe;
    d.dmx_in_channel = channel;
    return d;
}

Show fullShow(bool hex)
{
    Show show;
    show.preferences.project_name = QStringLiteral("Bühne Σκηνή");
    show.preferences.project_description = QStringLiteral("Tour <2026> & more");
    show.preferences.hex_value_show = hex;
    show.preferences.command_path = QStringLiteral("/opt/show");
    show.background.dmx_in = in(PT_ACN, 3, 99);
    show.add(QStringLiteral("Fader Ä"), CT_FADER_VERTICAL, out(PT_ARTNET, 0, 4));
    show.controls.last().bitmap = QImage(8, 8, QImage::Format_ARGB32);
    show.controls.last().bitmap.fill(Qt::red);
    show.add(QStringLiteral("Центр"), CT_FADER_VERTICAL_MIDDLE, out(PT_ACN, 1, 511),
             out(PT_ARTNET, 15, 0));
    show.add(QStringLiteral("鍵盤"), CT_ENCODER_PUSH, out(PT_MIDI, 2, 60, MT_NOTE_ON),
             out(PT_HTTP, 0, 0, MT_NONE, QStringLiteral("on?a=1&b=2")), in(PT_MIDI, 0, 7));
    show.add(QStringLiteral("Run"), CT_BUTTON_PUSH,
             out(PT_COMMAND, 0, 0, MT_NONE, QStringLiteral("run.sh")), {}, in(PT_ARTNET, 1, 9));
    show.add(QStringLiteral("Centre only"), CT_FADER_HORIZONTAL_MIDDLE, out(PT_NONE),
             out(PT_MIDI, 0, 1, MT_NONE));
    // An advanced output on a type that has none is not documented.
    show.add(QStringLiteral("Plain"), CT_BUTTON_SWITCH, out(PT_HTTP, 0, 0, MT_NONE, "x"),
             out(PT_ARTNET));
    show.add(QStringLiteral("Caption"), CT_LABEL, out(PT_NONE));
    return show;
}

// What the page says, as its reader sees it.
struct Page {
    QString error;
    QString encoding;
    QString dtd;
    QString title;
    QMap<QString, QList<QStringList>> tables; // heading -> header row, rows
    QMap<QString, QString> downloads;         // download name -> href
    QStringList anchors;                      // name attributes
    QStringList links;                        // href attributes of plain links
};

Page parse(const QByteArray &bytes)
{
    Page page;
    QXmlStreamReader xml(bytes);
    QString heading, cell;
    QStringList row;
    bool inCell = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        if (xml.isStartDocument())
            page.encoding = xml.documentEncoding().toString();
        else if (xml.isDTD())
            page.dtd = xml.text().toString();
        else if (xml.isStartElement() && name == QLatin1String("title"))
            page.title = xml.readElementText();
        else if (xml.isStartElement() && name == QLatin1String("h2"))
            heading = xml.readElementText();
        else if (xml.isStartElement() &&
                 (name == QLatin1String("td") || name == QLatin1String("th"))) {
            inCell = true;
            cell.clear();
        } else if (xml.isStartElement() && name == QLatin1String("img") && inCell) {
            cell = QStringLiteral("[img %1]").arg(xml.attributes().value("title").toString());
        } else if (xml.isStartElement() && name == QLatin1String("a")) {
            const QXmlStreamAttributes a = xml.attributes();
            if (a.hasAttribute("download"))
                page.downloads.insert(a.value("download").toString(), a.value("href").toString());
            else if (a.hasAttribute("name"))
                page.anchors << a.value("name").toString();
            else
                page.links << a.value("href").toString();
        } else if (xml.isCharacters() && inCell) {
            cell += xml.text();
        } else if (xml.isEndElement() &&
                   (name == QLatin1String("td") || name == QLatin1String("th"))) {
            row << cell.trimmed();
            inCell = false;
        } else if (xml.isEndElement() && name == QLatin1String("tr")) {
            page.tables[heading] << row;
            row.clear();
        }
    }
    if (xml.hasError())
        page.error = QStringLiteral("%1 at %2:%3")
                         .arg(xml.errorString())
                         .arg(xml.lineNumber())
                         .arg(xml.columnNumber());
    return page;
}

QStringList column(const QList<QStringList> &table, int index)
{
    QStringList values;
    for (int i = 1; i < table.size(); ++i)
        values << table.at(i).value(index);
    return values;
}

} // namespace

class TestDocumentation : public QObject
{
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void hexCompanions_data();
    void hexCompanions();
    void downloadLoadsTheSameShow();
    void emptyShowHasOnlyPreferences();
    void writeIsAtomic();
    void rendersInBrowser();
};

void TestDocumentation::tables_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("names");

    const QString name = QStringLiteral("Name|Bitmap|Control Type|Protocol|");
    const auto split = [](const QString &s) { return s.split(QLatin1Char('|')); };
    QTest::newRow("Art-Net: main, advanced of a centre fader")
        << "Control Output Art-Net" << split(name + "Universe|Channel|Description")
        << QStringList{"Fader Ä", "Центр", "Центр (advanced)"};
    QTest::newRow("sACN") << "Control Output streaming ACN"
                          << split(name + "Universe|Channel|Description")
                          << QStringList{"Центр", "Центр (advanced)"};
    // Mixed protocols: every row has every column.
    QTest::newRow("MIDI: main MIDI with HTTP advanced, none with MIDI advanced")
        << "Control Output MIDI"
        << split(name + "MIDI Type|Channel|Note|HTTP File Name|Description")
        << QStringList{"鍵盤", "鍵盤 (advanced)", "Centre only", "Centre only (advanced)"};
    QTest::newRow("HTTP") << "Control Output HTTP"
                          << split(name + "MIDI Type|Channel|Note|HTTP File Name|Description")
                          << QStringList{"鍵盤", "鍵盤 (advanced)", "Plain"};
    QTest::newRow("Command") << "Control Output Command"
                             << split(name + "Command File Name|Description") << QStringList{"Run"};
    QTest::newRow("input Art-Net")
        << "Control Input Art-Net" << split(name + "Universe|Channel|Description")
        << QStringList{"Run"};
    QTest::newRow("input MIDI") << "Control Input MIDI"
                                << split(name + "MIDI Type|Channel|Note|Description")
                                << QStringList{"鍵盤"};
    QTest::newRow("background") << "Background Input streaming ACN"
                                << split(name + "Universe|Channel|Description")
                                << QStringList{"Bühne Σκηνή"};
}

void TestDocumentation::tables()
{
    QFETCH(QString, heading);
    QFETCH(QStringList, header);
    QFETCH(QStringList, names);

    const Show show = fullShow(false);
    const Page page = parse(documentationText(show.source()));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QCOMPARE(page.encoding, QStringLiteral("UTF-8"));
    QVERIFY(page.dtd.contains("-//W3C//DTD XHTML 1.0 Transitional//EN"));
    QCOMPARE(page.title, QStringLiteral("Documentation of Bühne Σκηνή"));
    // No table for a protocol nobody uses; the label is in no output table.
    QCOMPARE(page.tables.keys(),
             (QStringList{"Background Input streaming ACN", "Control Input Art-Net",
                          "Control Input MIDI", "Control Output Art-Net", "Control Output Command",
                          "Control Output HTTP", "Control Output MIDI",
                          "Control Output streaming ACN", "Preferences"}));

    const QList<QStringList> table = page.tables.value(heading);
    QCOMPARE(table.value(0), header);
    QCOMPARE(column(table, 0), names);
    for (const QStringList &row : table)
        QCOMPARE(row.size(), header.size());
}

void TestDocumentation::hexCompanions_data()
{
    QTest::addColumn<bool>("hex");
    QTest::newRow("off") << false;
    QTest::newRow("on") << true;
}

void TestDocumentation::hexCompanions()
{
    QFETCH(bool, hex);
    const Page page = parse(documentationText(fullShow(hex).source()));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));

    const auto rowOf = [&](const QString &heading, const QString &name) {
        for (const QStringList &row : page.tables.value(heading))
            if (row.value(0) == name)
                return row.mid(3);
        return QStringList();
    };
    const auto n = [hex](int v) {
        return hex ? QStringLiteral("%1 (0x%2)").arg(v).arg(v, 2, 16, QLatin1Char('0'))
                   : QString::number(v);
    };
    // Addresses are shown counted from 1; MIDI notes as stored.
    QCOMPARE(rowOf("Control Output streaming ACN", "Центр"),
             (QStringList{"streaming ACN", n(2), n(512), "-"}));
    QCOMPARE(rowOf("Control Output streaming ACN", "Центр (advanced)"),
             (QStringList{"Art-Net", n(16), n(1), "-"}));
    QCOMPARE(rowOf("Control Output MIDI", "鍵盤"),
             (QStringList{"MIDI", "Note, On", n(3), n(60), "", "-"}));
    QCOMPARE(rowOf("Control Output MIDI", "鍵盤 (advanced)"),
             (QStringList{"HTTP", "", "", "", "on?a=1&b=2", "-"}));
    // No MIDI type: the cell is there, empty.
    QCOMPARE(rowOf("Control Output MIDI", "Centre only (advanced)"),
             (QStringList{"MIDI", "", n(1), n(1), "", "-"}));
    QCOMPARE(rowOf("Control Output MIDI", "Centre only"),
             (QStringList{"None", "", "", "", "", "-"}));
    QCOMPARE(rowOf("Background Input streaming ACN", "Bühne Σκηνή"),
             (QStringList{"streaming ACN", n(4), n(100), "Tour <2026> & more"}));

    // The picture cell and the other columns of a main row.
    const QStringList fader = page.tables.value("Control Output Art-Net").value(1);
    QCOMPARE(fader.mid(0, 3), (QStringList{"Fader Ä", "[img Fader Ä]", "Fader, Vertical"}));

    QMap<QString, QString> prefs;
    for (const QStringList &row : page.tables.value("Preferences"))
        prefs.insert(row.value(0), row.value(1));
    QCOMPARE(prefs.value("Show Hexadecimal Values Additionally"), hex ? "On" : "Off");
    QCOMPARE(prefs.value("Project Name"), QStringLiteral("Bühne Σκηνή"));
    QCOMPARE(prefs.value("Project Description"), QStringLiteral("see up"));
    QCOMPARE(prefs.value("Command Path"), QStringLiteral("/opt/show"));
    QCOMPARE(prefs.value("MIDI-OUT"), QStringLiteral("None"));
    QCOMPARE(page.tables.value("Preferences").size(), 12);
    QCOMPARE(page.anchors, QStringList{"description"});
    QCOMPARE(page.links, QStringList{"#description"});
}

void TestDocumentation::downloadLoadsTheSameShow()
{
    const Show show = fullShow(false);
    const Page page = parse(documentationText(show.source()));
    QCOMPARE(page.downloads.keys(), QStringList{"Bühne.ptra"});
    const QString href = page.downloads.value("Bühne.ptra");
    const QString prefix = QStringLiteral("data:application/xml;base64,");
    QVERIFY(href.startsWith(prefix));
    const QByteArray bytes = QByteArray::fromBase64(href.mid(prefix.size()).toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    // UTF-8 as written, no 8-bit damage.
    QVERIFY(bytes.contains(QStringLiteral("鍵盤").toUtf8()));

    RecordingHost host;
    QVERIFY(loadConfiguration(host, decodeConfigurationText(bytes), [] {
        LoadOptions o;
        o.fromText = true;
        return o;
    }()));
    QCOMPARE(host.controls.size(), show.controls.size());
    // Values follow the control type on loading; addresses are kept.
    const auto sameAddress = [](const SettingDmxStruct &x, const SettingDmxStruct &y) {
        return x.protocol_type == y.protocol_type && x.dmx_universe == y.dmx_universe &&
               x.dmx_channel == y.dmx_channel && x.dmx_midi_type == y.dmx_midi_type &&
               x.dmx_http_filename == y.dmx_http_filename &&
               x.dmx_command_filename == y.dmx_command_filename;
    };
    for (int i = 0; i < show.controls.size(); ++i) {
        const SettingStruct &a = show.controls.at(i), &b = host.controls.at(i);
        QCOMPARE(b.name, a.name);
        QCOMPARE(b.control_type, a.control_type);
        QVERIFY2(sameAddress(b.dmx_out, a.dmx_out), qPrintable(a.name));
        // Only types with a second output keep it.
        if (QList<int>{CT_FADER_VERTICAL_MIDDLE, CT_FADER_HORIZONTAL_MIDDLE, CT_ENCODER_PUSH}
                .contains(a.control_type))
            QVERIFY2(sameAddress(b.dmx_out_advanced, a.dmx_out_advanced), qPrintable(a.name));
        QVERIFY(b.dmx_in == a.dmx_in);
        QCOMPARE(b.bitmap.isNull(), a.bitmap.isNull());
    }
    QCOMPARE(host.preferences.value(0).project_name, show.preferences.project_name);
}

void TestDocumentation::emptyShowHasOnlyPreferences()
{
    Show show;
    show.preferences.project_description.clear();
    const Page page = parse(documentationText(show.source()));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QCOMPARE(page.tables.keys(), QStringList{"Preferences"});
    QVERIFY(page.anchors.isEmpty());
    QVERIFY(page.links.isEmpty());

    // Without preferences: the default project name, no preferences table.
    DocumentationSource bare = show.source();
    bare.configuration.preferences = nullptr;
    const Page barePage = parse(documentationText(bare));
    QCOMPARE(barePage.title, QStringLiteral("Documentation of Project"));
    QVERIFY(barePage.tables.isEmpty());
}

void TestDocumentation::writeIsAtomic()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.html");
    const Show show = fullShow(true);
    QVERIFY(writeDocumentation(show.source(), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Page page = parse(file.readAll());
    QVERIFY(page.error.isEmpty());
    QCOMPARE(page.tables.size(), 9);

    QString error;
    QVERIFY(!writeDocumentation(show.source(), dir.filePath("missing/doc.html"), &error));
    QVERIFY(!error.isEmpty());
    // Nothing but the written file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.html"});
}

void TestDocumentation::rendersInBrowser()
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("chromium is not installed");
    QTemporaryDir profile;
    const QString dir = QStringLiteral(PULTORA_BINARY_DIR "/tests/doc");
    const QString page = dir + QStringLiteral("/documentation.html");
    const QString shot = dir + QStringLiteral("/documentation.png");
    QFile::remove(shot);
    Show show = fullShow(true);
    DocumentationSource source = show.source();
    source.windowPicture = QImage(400, 300, QImage::Format_RGB32);
    source.windowPicture.fill(QColor(127, 127, 127));
    QVERIFY(writeDocumentation(source, page));

    const auto run = [&](const QStringList &extra) {
        QProcess browser;
        browser.start(chromium, QStringList{"--headless", "--no-sandbox", "--disable-gpu",
                                            "--user-data-dir=" + profile.path()} +
                                    extra + QStringList{QUrl::fromLocalFile(page).toString()});
        if (!browser.waitForFinished(60000))
            browser.kill();
        browser.waitForFinished();
        return browser.readAllStandardOutput();
    };
    run({"--screenshot=" + shot, "--window-size=1280,1600"});
    const QImage picture(shot);
    QVERIFY2(!picture.isNull(), "no screenshot");
    // Black page, yellow text, the grey window picture.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4)
            colours.insert(picture.pixel(x, y));
    QVERIFY2(colours.size() > 10, "blank screenshot");
    QVERIFY(colours.contains(qRgb(127, 127, 127)));

    const QString dom = QString::fromUtf8(run({"--dump-dom"}));
    QVERIFY(dom.contains(QStringLiteral("Documentation of Bühne Σκηνή")));
    QVERIFY(dom.contains(QStringLiteral("鍵盤 (advanced)")));
}

QTEST_MAIN(TestDocumentation)
#include "tst_documentation.moc"
