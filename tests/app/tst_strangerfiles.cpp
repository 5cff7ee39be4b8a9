// Opening a file from someone else: whatever it holds, the console comes up
// with its window shown at a usable size, its controls within their limits,
// and nothing runs or calls other computers before the user agreed; an
// agreement is remembered for this user and the same commands, folder and
// hosts. The hostile files are the fuzz corpus of the loader and files made
// here (too large to keep in the repository); each load's time is reported.
#include "app/appinfo.h"
#include "app/firstpaint.h"
#include "model/elements.h"
#include "model/typetables.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QByteArray kHead = "<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n";
const QByteArray kTail = "</PultoraConfig>\n";

QByteArray withAttributes(int count)
{
    QByteArray tag = "<control version=\"1\"";
    for (int i = 0; i < count; ++i)
        tag += " a" + QByteArray::number(i) + "=\"1\"";
    return kHead + tag + "/>\n" + kTail;
}

// An icon with a photo-like picture (noise, which compresses least) of
// about `megabytes` as a JPEG file.
QByteArray withPhoto(int megabytes)
{
    QImage image(3800, 2800 * megabytes / 20, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    return kHead +
           "<background version=\"1\" size_x=\"800\" size_y=\"600\"/>\n"
           "<control version=\"1\" name=\"Photo\" control_type=\"icon\" size_x=\"760\" "
           "size_y=\"560\" bitmap=\"" +
           jpeg.toBase64() + "\"/>\n" + kTail;
}

QByteArray outputsShow(const QString &preferences, const QStringList &commands,
                       const QStringList &links = {})
{
    // A null text: no preferences element.
    QString text =
        preferences.isNull() ? QString() : "<preferences version=\"1\" " + preferences + "/>\n";
    const QString output = "<control version=\"1\" protocol_type=\"%1\" dmx_%2_filename=\"%3\"/>";
    for (const QString &c : commands)
        text += output.arg("Command", "command", c.toHtmlEscaped());
    for (const QString &l : links)
        text += output.arg("HTTP", "http", l.toHtmlEscaped());
    return kHead + text.toUtf8() + kTail;
}

} // namespace

class TestStrangerFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void init()
    {
        m_prompter = std::make_shared<ScriptedPrompter>();
        QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
            .remove(QStringLiteral("accepted_outputs"));
    }

    void hostileFilesLoad_data()
    {
        QTest::addColumn<QByteArray>("show");
        QTest::addColumn<int>("warnings"); // -1: any, one per kind at most; 0: loads
        const QDir corpus(QStringLiteral(PULTORA_SOURCE_DIR "/tests/fuzz-corpus/fuzz_load"));
        for (const QString &name : corpus.entryList(QDir::Files, QDir::Name)) {
            QTest::newRow(qPrintable(name)) << readBytes(corpus.filePath(name)) << -1;
        }
        QTest::newRow("made: 100,000 attributes") << withAttributes(100000) << 1;
        QTest::newRow("made: a name of 16 MB")
            << kHead + "<control version=\"1\" name=\"" + QByteArray(16 << 20, 'x') + "\"/>" + kTail
            << 1;
        QTest::newRow("made: a 20 MB photo") << withPhoto(20) << 0;
    }

    void hostileFilesLoad()
    {
        QFETCH(QByteArray, show);
        QFETCH(int, warnings);
        const QString path = m_dir.filePath(QStringLiteral("stranger.ptra"));
        QElapsedTimer clock;
        clock.start();
        auto console = startConsoleOn(path, show, m_prompter);
        QVERIFY(console);
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        const qint64 ms = clock.elapsed();
        qInfo("%s: window shown after %lld ms (target 2000), peak memory %ld MB",
              QTest::currentDataTag(), ms, FirstPaintReport::peakResidentKb() / 1024);

        if (warnings < 0) {
            QVERIFY(m_prompter->asked.size() <= 3);
        } else {
            QCOMPARE(m_prompter->asked.size(), warnings);
            QCOMPARE(console->currentFile() == path, warnings == 0);
        }
        // Whatever was read, the window can be seen and every control is
        // within its limits.
        QVERIFY(console->width() >= int(MIN_BACKGROUND_SHOWN) &&
                console->height() >= int(MIN_BACKGROUND_SHOWN));
        qint64 area = 0;
        for (const SettingStruct &control : console->document().controls()) {
            const QSize shown = console->surface().shownRect(control).size();
            const int smallest = controlTraits(control.control_type).minimumSide;
            QCOMPARE(shown.expandedTo(QSize(smallest, smallest))
                         .boundedTo(QSize(MAX_CONTROL_SHOWN, MAX_CONTROL_SHOWN)),
                     shown);
            area += qint64(shown.width()) * shown.height();
        }
        QVERIFY(area <= MAX_CONTROLS_AREA);
    }

    // The question names every command, the folders and every host; the
    // consent is remembered for the same commands, folder and hosts, in any
    // order and whatever else the file holds.
    void consentAskedUnlessGivenBefore_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QStringList>("named"); // in the first question; empty: no question
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("askedAgain");
        const QStringList five{"lights-on.sh %1", "b", "c", "d", "e"};
        const QStringList reversed{"e", "d", "c", "b", "lights-on.sh %1"};
        const QString folder = "command_flag=\"1\" command_path=\"/opt/show\" ";
        const QByteArray commands = outputsShow(folder, five);
        const QStringList named = five + QStringList{QDir::toNativeSeparators("/opt/show"),
                                                     QDir::toNativeSeparators(QDir::currentPath())};
        QTest::newRow("the same commands in another order")
            << commands << named << true << outputsShow(folder + "project_name=\"B\"", reversed)
            << false;
        QTest::newRow("answered No") << commands << named << false << commands << true;
        QTest::newRow("a file without preferences, its own commands")
            << commands << named << true << outputsShow(QString(), {"rm -rf ~"}) << true;
        QTest::newRow("one command more")
            << commands << named << true << outputsShow(folder, five + QStringList{"f"}) << true;
        QTest::newRow("another folder")
            << commands << named << true
            << outputsShow("command_flag=\"1\" command_path=\"/usr/bin\"", five) << true;
        const QByteArray remote =
            outputsShow("http_server=\"http://10.0.0.9/\"", {}, {"dim?v=%1", "x"});
        QTest::newRow("another host")
            << remote << QStringList{"10.0.0.9"} << true
            << outputsShow("http_server=\"http://10.0.0.10/\"", {}, {"dim?v=%1"}) << true;
        QTest::newRow("a host of this computer")
            << outputsShow("http_server=\"http://127.0.0.1:8080/\"", {}, {"dim?v=%1"})
            << QStringList() << true << outputsShow("", {}, {"go"}) << false;
        // OSC: the outputs' own hosts and the default host of those without.
        const auto osc = [](const char *preferences, const char *host) {
            return kHead + QByteArray("<preferences version=\"1\" ") + preferences +
                   "/>\n<control version=\"1\" protocol_type=\"OSC\" osc_address=\"/go\" " + host +
                   "/>\n" + kTail;
        };
        QTest::newRow("an OSC host of another computer")
            << osc("", "osc_host=\"10.0.0.9\"") << QStringList{"10.0.0.9"} << false
            << osc("", "osc_host=\"10.0.0.9\"") << true;
        QTest::newRow("the OSC default host")
            << osc("osc_default_host=\"desk.example\"", "") << QStringList{"desk.example"} << true
            << osc("osc_default_host=\"desk.example\"", "osc_port=\"7000\"") << false;
        QTest::newRow("OSC to this computer")
            << osc("", "osc_host=\"localhost\"") << QStringList() << true
            << osc("osc_default_host=\"10.0.0.9\"", "") << true;
    }

    void consentAskedUnlessGivenBefore()
    {
        QFETCH(QByteArray, first);
        QFETCH(QStringList, named);
        QFETCH(bool, yes);
        QFETCH(QByteArray, second);
        QFETCH(bool, askedAgain);
        m_prompter->answers = {yes ? QMessageBox::Yes : QMessageBox::No};
        const QString path = m_dir.filePath(QStringLiteral("outputs.ptra"));
        auto console = startConsoleOn(path, first, m_prompter);
        QVERIFY(console);
        QCOMPARE(m_prompter->asked.size(), named.isEmpty() ? 0 : 1);
        if (!named.isEmpty()) {
            const ScriptedPrompter::Asked &asked = m_prompter->asked.first();
            QCOMPARE(asked.title, QStringLiteral("Pultora"));
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
            for (const QString &item : named)
                QVERIFY2(asked.text.contains(item), qPrintable(item + " in:\n" + asked.text));
        }
        const PreferencesStruct &prefs = console->document().preferences();
        const bool allowed = yes || named.isEmpty();
        QCOMPARE(prefs.command_flag, allowed && first.contains("command_flag"));
        QCOMPARE(prefs.http_other_hosts, allowed);

        QVERIFY(writeBytes(path, second));
        const qsizetype before = m_prompter->asked.size();
        QVERIFY(call(*console, "slotConfigReload"));
        QCOMPARE(console->document().preferences().command_flag,
                 !askedAgain && second.contains("command_flag"));
        QCOMPARE(m_prompter->asked.size() - before, askedAgain ? 1 : 0);
    }
};

QTEST_MAIN(TestStrangerFiles)
#include "tst_strangerfiles.moc"
