// The documentation page: parsed back as XML, its tables checked row by row
// and column by column, its download loaded again, and the page rendered
// by a real browser.
#include "doc/documentation.h"
#include "model/configfile.h"
#include "model/configuration.h"
#include "tests/model/recordinghost.h"
#include "tests/records.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <utility>

namespace
{

SettingDmxInStruct in(quint8 protocol, quint16 universe, quint16 channel)
{
    SettingDmxInStruct d;
    d.protocol_type_in = protocol;
    d.dmx_in_universe = universe;
    d.dmx_in_channel = channel;
    return d;
}

// Every protocol, main and advanced outputs, inputs, a background input and
// names outside Latin-1.
struct Show {
    ConsistenceCheckStruct checks;
    PreferencesStruct preferences;
    BackgroundStruct background;
    QList<SettingStruct> controls;

    explicit Show(bool hex)
    {
        preferences.project_name = QStringLiteral("Bühne Σκηνή");
        preferences.project_description = QStringLiteral("Tour <2026> & more");
        preferences.hex_value_show = hex;
        preferences.command_path = QStringLiteral("/opt/show");
        background.dmx_in = in(PT_ACN, 3, 99);
        add("Fader Ä", CT_FADER_VERTICAL, output(PT_ARTNET, 0, 4));
        QImage red(8, 8, QImage::Format_ARGB32);
        red.fill(Qt::red);
        controls.last().bitmap = Picture::fromImage(red);
        add("Центр", CT_FADER_VERTICAL_MIDDLE, output(PT_ACN, 1, 511), output(PT_ARTNET, 15, 0));
        add("鍵盤", CT_ENCODER_PUSH, output(PT_MIDI, 2, 60, MT_NOTE_ON),
            output(PT_HTTP, 0, 0, MT_NONE, "on?a=1&b=2"), in(PT_MIDI, 0, 7));
        add("Run", CT_BUTTON_PUSH, output(PT_COMMAND, 0, 0, MT_NONE, "run.sh"), {},
            in(PT_ARTNET, 1, 9));
        controls.last().description = QStringLiteral("bell\u0007"); // no XML character
        add("Centre only", CT_FADER_HORIZONTAL_MIDDLE, output(PT_NONE), output(PT_MIDI, 0, 1));
        // An advanced output on a type that has none is not documented.
        add("Plain", CT_BUTTON_SWITCH, output(PT_HTTP, 0, 0, MT_NONE, "x"), output(PT_ARTNET));
        add("Caption", CT_LABEL, output(PT_NONE));
        // OSC to the show's default target and to one of its own.
        SettingDmxStruct osc = output(PT_OSC), oscOwn = output(PT_OSC);
        osc.osc_address = QStringLiteral("/fader/1");
        oscOwn.osc_address = QStringLiteral("/centre");
        oscOwn.osc_host = QStringLiteral("::1");
        oscOwn.osc_port = 8000;
        oscOwn.osc_argument = OSC_INT;
        SettingDmxInStruct oscIn = in(PT_OSC, 0, 0);
        oscIn.dmx_in_osc_address = QStringLiteral("/in/1");
        add("Osc", CT_FADER_VERTICAL_MIDDLE, osc, oscOwn, oscIn);
        preferences.osc_plain_targets = QStringList{"desk:8000", "[::1]:9000"};
    }
    void add(const char *name, quint8 type, SettingDmxStruct main, SettingDmxStruct advanced = {},
             SettingDmxInStruct input = {})
    {
        SettingStruct c;
        c.name = QString::fromUtf8(name);
        c.control_type = type;
        c.dmx_out = main;
        c.dmx_out_advanced = advanced;
        c.dmx_in = input;
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

// What a reader of the page sees: tables by heading (header row first, a
// picture cell as "[img TITLE]"), links by their attribute.
struct Page {
    QString error, encoding, title;
    QMap<QString, QList<QStringList>> tables;
    QMap<QString, QString> links; // "download:NAME", "name:ANCHOR" or "href" -> href or name

    explicit Page(const QByteArray &bytes)
    {
        QXmlStreamReader xml(bytes);
        QString heading, cell;
        QStringList row;
        while (!xml.atEnd()) {
            xml.readNext();
            const QString name = xml.name().toString();
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.isStartDocument())
                encoding = xml.documentEncoding().toString();
            else if (xml.isStartElement() && name == "title")
                title = xml.readElementText();
            else if (xml.isStartElement() && name == "h2")
                heading = xml.readElementText();
            else if (xml.isStartElement() && (name == "td" || name == "th"))
                cell.clear();
            else if (xml.isStartElement() && name == "img" && !heading.isEmpty())
                cell = "[img " + a.value("title").toString() + "]";
            else if (xml.isStartElement() && name == "a" && a.hasAttribute("download"))
                links.insert("download:" + a.value("download").toString(),
                             a.value("href").toString());
            else if (xml.isStartElement() && name == "a")
                links.insert(a.hasAttribute("name") ? "name:" + a.value("name").toString()
                                                    : QStringLiteral("href"),
                             a.value("href").toString());
            else if (xml.isCharacters())
                cell += xml.text();
            else if (xml.isEndElement() && (name == "td" || name == "th"))
                row << cell.trimmed();
            else if (xml.isEndElement() && name == "tr")
                tables[heading] << std::exchange(row, {});
        }
        if (xml.hasError())
            error = QStringLiteral("%1 at %2").arg(xml.errorString()).arg(xml.lineNumber());
    }
    // A row's cells after the name, bitmap and control type.
    QStringList row(const QString &heading, const QString &name) const
    {
        for (const QStringList &r : tables.value(heading))
            if (r.value(0) == name)
                return r.mid(3);
        return {};
    }
};

} // namespace

class TestDocumentation : public QObject
{
    Q_OBJECT

private slots:
    void page_data()
    {
        QTest::addColumn<bool>("hex");
        QTest::newRow("hex off") << false;
        QTest::newRow("hex on") << true;
    }

    void page()
    {
        QFETCH(bool, hex);
        const Page page(documentationText(Show(hex).source()));
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        QCOMPARE(page.encoding, QStringLiteral("UTF-8"));
        QCOMPARE(page.title, QStringLiteral("Documentation of Bühne Σκηνή"));

        // Heading, address columns, names: no table for an unused protocol,
        // none for the label; mixed protocols give every row every column.
        const QString dmx = "Universe|Channel", midi = "MIDI Type|Channel|Note";
        const QList<QStringList> expected{
            {"Background Input streaming ACN", dmx, "Bühne Σκηνή"},
            {"Control Input Art-Net", dmx, "Run"},
            {"Control Input MIDI", midi, "鍵盤"},
            {"Control Input OSC", "OSC Address", "Osc"},
            {"Control Output OSC", "OSC Address|Target|Argument", "Osc|Osc (advanced)"},
            {"Control Output Art-Net", dmx, "Fader Ä|Центр|Центр (advanced)"},
            {"Control Output Command", "Command File Name", "Run"},
            {"Control Output HTTP", midi + "|HTTP File Name", "鍵盤|鍵盤 (advanced)|Plain"},
            {"Control Output MIDI", midi + "|HTTP File Name",
             "鍵盤|鍵盤 (advanced)|Centre only|Centre only (advanced)"},
            {"Control Output streaming ACN", dmx, "Центр|Центр (advanced)"},
        };
        QCOMPARE(page.tables.size(), expected.size() + 1);
        for (const QStringList &table : expected) {
            const QList<QStringList> rows = page.tables.value(table.at(0));
            QCOMPARE(rows.value(0).join('|'),
                     "Name|Bitmap|Control Type|Protocol|" + table.at(1) + "|Description");
            QStringList names;
            for (int i = 1; i < rows.size(); ++i) {
                names << rows.at(i).value(0);
                QCOMPARE(rows.at(i).size(), rows.at(0).size());
            }
            QCOMPARE(names.join('|'), table.at(2));
        }

        // Addresses counted from 1, MIDI notes as stored; hex only when asked.
        const auto n = [hex](int v) {
            return hex ? QStringLiteral("%1 (0x%2)").arg(v).arg(v, 2, 16, QLatin1Char('0'))
                       : QString::number(v);
        };
        QCOMPARE(page.row("Control Output streaming ACN", "Центр (advanced)"),
                 (QStringList{"Art-Net", n(16), n(1), "-"}));
        QCOMPARE(page.row("Control Output MIDI", "鍵盤"),
                 (QStringList{"MIDI", "Note, On", n(3), n(60), "", "-"}));
        QCOMPARE(page.row("Control Output MIDI", "Centre only"),
                 (QStringList{"None", "", "", "", "", "-"}));
        QCOMPARE(page.row("Background Input streaming ACN", "Bühne Σκηνή"),
                 (QStringList{"streaming ACN", n(4), n(100), "Tour <2026> & more"}));
        QCOMPARE(page.row("Control Output OSC", "Osc"),
                 (QStringList{"OSC", "/fader/1", "127.0.0.1:9000", "Float 0–1", "-"}));
        QCOMPARE(page.row("Control Output OSC", "Osc (advanced)").mid(1, 3),
                 (QStringList{"/centre", "[::1]:8000", "Integer (DMX value)"}));
        QCOMPARE(page.row("Control Input OSC", "Osc"), (QStringList{"OSC", "/in/1", "-"}));
        QCOMPARE(page.row("Control Output Command", "Run"),
                 (QStringList{"Command", "run.sh", "bell"}));
        QCOMPARE(page.tables.value("Control Output Art-Net").value(1).mid(0, 3),
                 (QStringList{"Fader Ä", "[img Fader Ä]", "Fader, Vertical"}));

        QMap<QString, QString> prefs;
        for (const QStringList &row : page.tables.value("Preferences"))
            prefs.insert(row.value(0), row.value(1));
        QCOMPARE(prefs.size(), 14);
        QCOMPARE(prefs.value("OSC default target"), QStringLiteral("127.0.0.1:9000"));
        QCOMPARE(prefs.value("Plain OSC targets"), QStringLiteral("desk:8000, [::1]:9000"));
        QCOMPARE(prefs.value("Show Hexadecimal Values Additionally"), hex ? "On" : "Off");
        QCOMPARE(prefs.value("Project Description"), QStringLiteral("see up"));
        QCOMPARE(page.links.value("href"), QStringLiteral("#description"));
        QVERIFY(page.links.contains("name:description"));
    }

    void downloadLoadsTheSameShow()
    {
        const Show show(false);
        const QString href =
            Page(documentationText(show.source())).links.value("download:Bühne.ptra");
        const QString prefix = QStringLiteral("data:application/xml;base64,");
        QVERIFY(href.startsWith(prefix));
        const QByteArray bytes = QByteArray::fromBase64(href.mid(prefix.size()).toLatin1());
        QVERIFY(bytes.contains(QStringLiteral("鍵盤").toUtf8())); // UTF-8, no 8-bit damage

        RecordingHost host;
        LoadOptions options;
        options.fromText = true;
        QVERIFY(loadConfiguration(host, decodeConfigurationText(bytes), options));
        QCOMPARE(host.controls.size(), show.controls.size());
        // Values follow the control type on loading; addresses are kept.
        const auto address = [](const SettingDmxStruct &d) {
            return QStringList{QString::number(d.protocol_type),
                               QString::number(d.dmx_universe),
                               QString::number(d.dmx_channel),
                               QString::number(d.dmx_midi_type),
                               d.dmx_http_filename,
                               d.dmx_command_filename};
        };
        for (int i = 0; i < show.controls.size(); ++i) {
            const SettingStruct &a = show.controls.at(i), &b = host.controls.at(i);
            QCOMPARE(b.name, a.name);
            QCOMPARE(address(b.dmx_out), address(a.dmx_out));
            if (a.name != QLatin1String("Plain")) // a switch has no second output
                QCOMPARE(address(b.dmx_out_advanced), address(a.dmx_out_advanced));
            QVERIFY(b.dmx_in == a.dmx_in);
            QCOMPARE(b.bitmap.isNull(), a.bitmap.isNull());
        }
    }

    void edges()
    {
        // No controls and no description: only the preferences table, no anchor.
        Show show(false);
        show.controls.clear();
        show.background.dmx_in = SettingDmxInStruct();
        show.preferences.project_description.clear();
        const Page empty(documentationText(show.source()));
        QCOMPARE(empty.tables.keys(), QStringList{"Preferences"});
        QVERIFY(!empty.links.contains("href") && !empty.links.contains("name:description"));

        // Without preferences: the default project name and no preferences table.
        DocumentationSource bare = show.source();
        bare.configuration.preferences = nullptr;
        const Page barePage(documentationText(bare));
        QCOMPARE(barePage.title, QStringLiteral("Documentation of Project"));
        QVERIFY(barePage.tables.isEmpty());

        // Written whole or not at all.
        QTemporaryDir dir;
        QVERIFY(writeDocumentation(show.source(), dir.filePath("doc.html")));
        QFile file(dir.filePath("doc.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(Page(file.readAll()).tables.keys(), QStringList{"Preferences"});
        QString error;
        QVERIFY(!writeDocumentation(show.source(), dir.filePath("missing/doc.html"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.html"});
    }

    void rendersInBrowser()
    {
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            QSKIP("chromium is not installed");
        // Kept in the build folder for a look.
        const QString page = QStringLiteral(PULTORA_BINARY_DIR "/tests/doc/documentation.html");
        const QString shot = QStringLiteral(PULTORA_BINARY_DIR "/tests/doc/documentation.png");
        QFile::remove(shot);
        const Show show(true);
        DocumentationSource source = show.source();
        source.windowPicture = QImage(400, 300, QImage::Format_RGB32);
        source.windowPicture.fill(QColor(127, 127, 127));
        QVERIFY(writeDocumentation(source, page));

        QTemporaryDir profile;
        const auto run = [&](const QStringList &extra) {
            QProcess browser;
            // No background traffic: the page is a local file.
            browser.start(chromium, QStringList{"--headless", "--no-sandbox", "--disable-gpu",
                                                "--no-first-run", "--disable-background-networking",
                                                "--disable-component-update", "--disable-sync",
                                                "--user-data-dir=" + profile.path()} +
                                        extra + QStringList{QUrl::fromLocalFile(page).toString()});
            if (!browser.waitForFinished(60000))
                browser.kill();
            browser.waitForFinished();
            return QString::fromUtf8(browser.readAllStandardOutput());
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
        const QString dom = run({"--dump-dom"});
        QVERIFY(dom.contains(QStringLiteral("Documentation of Bühne Σκηνή")));
        QVERIFY(dom.contains(QStringLiteral("鍵盤 (advanced)")));
    }
};

QTEST_MAIN(TestDocumentation)
#include "tst_documentation.moc"
