// The foreign-GUI import against the tests' import library (built with both
// text entry points next to this program, with only the 8-bit one and with
// none below FARSIGHT_VARIANTS_DIR; its behaviour chosen by
// FARSIGHT_TEST_MODE), the console's import command with its countdown and
// questions, and the documentation command.
#include "app/appinfo.h"
#include "dialogs/importforeigngui.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QProgressDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace
{

using B = QMessageBox;

// The document the library gives unless told otherwise.
const QString kBuiltIn = QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n"
                                        " <control version=\"1\" name=\"Пульт\"/>\n"
                                        " <control version=\"1\" name=\"Café\"/>\n"
                                        "</PultoraConfig>\n");
const QByteArray kShow("<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n"
                       " <control version=\"1\" name=\"Alt\"/>\n</PultoraConfig>\n");

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QString names(const Pultora &console)
{
    QStringList list;
    for (const SettingStruct &c : console.document().controls())
        list << c.name;
    return list.join('|');
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The consoles' last sessions go to the test-mode data folder.
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(m_work.path()));
    }
    void init()
    {
        qunsetenv("FARSIGHT_TEST_MODE");
        qunsetenv("FARSIGHT_TEST_FILE");
        QFile::remove(ImportForeignGui::backupFileName());
    }

    void sizeProtocol_data()
    {
        QTest::addColumn<QString>("variant"); // "": the library next to this program
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("file");   // the document, if not the built-in one
        QTest::addColumn<QString>("text");      // empty: the fetch fails
        QTest::addColumn<QByteArray>("backup"); // the raw bytes kept
        QTest::addColumn<QString>("message");   // part of the message; empty: none

        const auto row = [](const char *name, const char *variant, const QByteArray &mode,
                            const QByteArray &file, const QString &text, const QByteArray &backup,
                            const char *message) {
            QTest::newRow(name) << QString(variant) << mode << file << text << backup
                                << QString(message);
        };
        const QByteArray none;
        row("UTF-16", "", none, none, kBuiltIn, utf16(kBuiltIn), "");
        row("10 bytes of UTF-16, 5 characters", "", none,
            "ab\xc3\xa9"
            "de",
            "abéde", utf16("abéde"), "");
        row("8-bit", "ansi", none, none, kBuiltIn, kBuiltIn.toUtf8(), "");
        // The text ends at the first zero byte; the backup keeps every byte.
        row("8-bit, zero at the end", "ansi", "odd", none, kBuiltIn, kBuiltIn.toUtf8() + '\0', "");
        row("8-bit Windows-1252", "ansi", none, "Caf\xe9", "Café", "Caf\xe9", "");
        row("size 0", "", "empty", none, "", none, "");
        row("negative", "", "negative", none, "", none, "invalid size");
        row("odd UTF-16", "", "odd", none, "", none, "odd size");
        row("above 64 MB", "", "huge", none, "", none, "at most 67108864");
        row("fill gives another size", "", "wrongsize", none, "", none, "instead of");
        row("version 0x6FFFF", "", "oldversion", none, "", none, "too old to import");
        row("no text entry points", "bare", none, none, "", none, "no text");
        row("no library", "none", none, none, "", none, "");
    }

    void sizeProtocol()
    {
        QFETCH(QString, variant);
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(QByteArray, backup);
        QFETCH(QString, message);

        if (!mode.isNull())
            qputenv("FARSIGHT_TEST_MODE", mode);
        if (!file.isNull()) {
            QVERIFY(writeBytes(m_work.filePath("source.txt"), file));
            qputenv("FARSIGHT_TEST_FILE", m_work.filePath("source.txt").toLocal8Bit());
        }
        ImportForeignGui importer(nullptr,
                                  {variant.isEmpty() ? QCoreApplication::applicationDirPath()
                                                     : FARSIGHT_VARIANTS_DIR "/" + variant});
        QString fetched = QStringLiteral("stale");
        QCOMPARE(importer.fetchImportString(fetched), !text.isEmpty());
        QCOMPARE(fetched, text);
        QVERIFY2(message.isEmpty() ? importer.message().isEmpty()
                                   : importer.message().contains(message),
                 qPrintable(importer.message()));
        QCOMPARE(QFile::exists(ImportForeignGui::backupFileName()), !text.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(readBytes(ImportForeignGui::backupFileName()), backup);
    }

    void neverFromWorkingFolder()
    {
        const QString name = ImportForeignGui::libraryFileName();
        const QString installed = QCoreApplication::applicationDirPath() + '/' + name;
        QVERIFY(QFile::copy(installed, m_work.filePath(name))); // planted
        const QStringList defaults = ImportForeignGui::defaultLibraryFolders();
        QCOMPARE(defaults.value(0), QCoreApplication::applicationDirPath());
        for (const QString &folder : defaults)
            QVERIFY2(QDir::isAbsolutePath(folder) && QDir(folder) != QDir::current(),
                     qPrintable(folder));

        // Relative folders (the working folder by another name) are passed over.
        QString text;
        ImportForeignGui relative(nullptr, {QString(), ".", "./", "nothing"});
        QVERIFY(!relative.fetchImportString(text));
        QVERIFY(relative.libraryPath().isEmpty());
        ImportForeignGui byDefault(nullptr);
        QVERIFY(byDefault.fetchImportString(text));
        QCOMPARE(byDefault.libraryPath(), installed);
        QFile::remove(m_work.filePath(name));
    }

    void importCommand_data()
    {
        QTest::addColumn<bool>("withControls");
        QTest::addColumn<QList<B::StandardButton>>("answers"); // save first?, clear first?
        QTest::addColumn<bool>("saveAsChosen");
        QTest::addColumn<QString>("controls");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("imported");

        const auto row = [](const char *name, bool withControls, QList<B::StandardButton> answers,
                            bool saveAsChosen, const QString &controls, int questions,
                            bool imported) {
            QTest::newRow(name) << withControls << answers << saveAsChosen << controls << questions
                                << imported;
        };
        const QString imported = "Пульт|Café";
        row("replace", true, {B::No, B::Yes}, false, imported, 2, true);
        row("append", true, {B::No, B::No}, false, "Alt|" + imported, 2, true);
        row("background, replace", false, {B::No, B::Yes}, false, "", 2, true);
        row("background, append", false, {B::No, B::No}, false, "Alt", 2, true);
        row("saved first", true, {B::Yes, B::Yes}, true, imported, 2, true);
        // Cancelling Save As cancels the import: Clear would lose the show.
        row("Save As cancelled", true, {B::Yes, B::Yes}, false, "Alt", 1, false);
        row("cancel at save", true, {B::Cancel}, false, "Alt", 1, false);
        row("cancel at clear", true, {B::No, B::Cancel}, false, "Alt", 2, false);
    }

    void importCommand()
    {
        QFETCH(bool, withControls);
        QFETCH(QList<B::StandardButton>, answers);
        QFETCH(bool, saveAsChosen);
        QFETCH(QString, controls);
        QFETCH(int, questions);
        QFETCH(bool, imported);

        int seconds = 0;
        ConsoleServices services;
        services.waitOneSecond = [&seconds](QProgressDialog *) { ++seconds; };
        auto pultora = console(services);
        QVERIFY(pultora);
        m_prompter->answers = QList<B::StandardButton>{B::Yes} + answers; // import?
        const QString saved = m_work.filePath("saved.ptra");
        QFile::remove(saved);
        if (saveAsChosen)
            m_prompter->fileNames << saved;

        QMetaObject::invokeMethod(pultora.get(), withControls ? "slotImportForeignGuiControl"
                                                              : "slotImportForeignGuiBackground");
        QCOMPARE(seconds, 10);
        QCOMPARE(names(*pultora), controls);
        QCOMPARE(m_prompter->asked.size(), questions + 1);
        QVERIFY(m_prompter->asked.value(0).text.contains("libFarsight32.so, which does not come"));
        QCOMPARE(m_prompter->asked.value(1).text,
                 "Save the current configuration before the import?");
        QCOMPARE(QFile::exists(saved), saveAsChosen);
        QCOMPARE(pultora->document().isModified(), imported);
        // A replaced show is untitled; an appended one keeps its file.
        QCOMPARE(pultora->currentFile().isEmpty(), imported && answers.value(1) == B::Yes);
    }

    void countdownAndLock()
    {
        int seconds = 0;
        ConsoleServices services;
        services.waitOneSecond = [&seconds](QProgressDialog *progress) {
            QCOMPARE(progress->value(), seconds);
            QCOMPARE(progress->labelText(),
                     QStringLiteral("Import in 10 seconds (%1 passed): bring the window to import "
                                    "to the front")
                         .arg(seconds));
            if (++seconds == 3)
                progress->cancel();
        };
        // No library: told before any countdown.
        services.importFolders = {m_work.path()};
        auto pultora = console(services);
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QVERIFY(m_prompter->asked.value(0).text.contains("not installed on this computer"));
        // One that does not load: asked first, nothing of it runs before Yes.
        QFile junk(m_work.filePath(ImportForeignGui::libraryFileName()));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0);
        junk.close();
        pultora = console(services);
        m_prompter->answers = {B::Yes};
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QVERIFY(m_prompter->asked.value(1).text.contains("cannot be loaded"));
        QCOMPARE(seconds, 0);
        services.importFolders.clear();
        pultora = console(services);
        m_prompter->answers = {B::Yes};
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QCOMPARE(seconds, 3);
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(!QFile::exists(ImportForeignGui::backupFileName()));

        // A locked console does not even count down.
        QByteArray locked = kShow;
        locked.replace(" <control", " <preferences version=\"1\" lock_screen=\"1\"/>\n <control");
        pultora = console(services, locked);
        QVERIFY(pultora->document().preferences().lock_screen);
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QVERIFY(call(*pultora, "slotImportForeignGuiBackground"));
        QCOMPARE(seconds, 3);
    }

    void failureAndBackupAreTold()
    {
        auto pultora = console();
        qputenv("FARSIGHT_TEST_MODE", "oldversion");
        m_prompter->answers = {B::Yes};
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QCOMPARE(m_prompter->asked.size(), 2);
        QCOMPARE(m_prompter->asked.at(1).icon, B::Critical);
        QCOMPARE(m_prompter->asked.at(1).text,
                 "The import library libFarsight32.so is too old to import from.\n"
                 "The import found nothing to import.");
        QCOMPARE(pultora->statusBar()->currentMessage(), "The import found nothing to import.");

        // A backup that cannot be written is told; the import goes on.
        qunsetenv("FARSIGHT_TEST_MODE");
        QVERIFY(QDir::current().mkdir(ImportForeignGui::backupFileName()));
        m_prompter->answers = {B::Yes, B::No, B::No};
        QVERIFY(call(*pultora, "slotImportForeignGuiControl"));
        QVERIFY(QDir::current().rmdir(ImportForeignGui::backupFileName()));
        QCOMPARE(names(*pultora), "Alt|Пульт|Café");
        QVERIFY2(pultora->statusBar()->currentMessage().startsWith(
                     "The import backup config_BackupImportForeignGui.ptra could not be written"),
                 qPrintable(pultora->statusBar()->currentMessage()));
    }

    void documentationCommand()
    {
        QList<QUrl> opened;
        ConsoleServices services;
        services.openUrl = [&opened](const QUrl &url) {
            opened << url;
            return true;
        };
        auto pultora = console(services);

        // Not written: the warning, nothing opened.
        const QString missing = m_work.filePath("missing/doc.html");
        m_prompter->fileNames << missing;
        QVERIFY(call(*pultora, "slotDocumentation"));
        QVERIFY(m_prompter->asked.value(0).text.startsWith("Cannot write file " + missing + ":\n"));
        QVERIFY(opened.isEmpty());

        // Written: ".html" added, opened by its file address, the folder remembered.
        QTemporaryDir out(m_work.filePath("doc XXXXXX"));
        m_prompter->fileNames << out.filePath("Documentation_Project");
        QVERIFY(call(*pultora, "slotDocumentation"));
        const QString written = out.filePath("Documentation_Project.html");
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(written)});
        QVERIFY(!opened.at(0).toString().startsWith("file:////"));
        QCOMPARE(pultora->statusBar()->currentMessage(),
                 "Documentation File " + written + " saved");
        QCOMPARE(QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
                     .value("path_documentation")
                     .toString(),
                 out.path() + '/');
        const QByteArray page = readBytes(written);
        QVERIFY(page.contains("download=\"show.ptra\""));
        QVERIFY(page.contains("<title>Documentation of Project</title>"));
    }

private:
    std::unique_ptr<Pultora> console(ConsoleServices services = {}, const QByteArray &show = kShow)
    {
        auto scripted = std::make_shared<ScriptedPrompter>();
        m_prompter = scripted.get();
        return startConsoleOn(m_work.filePath("show.ptra"), show, scripted, std::move(services));
    }

    // The working folder: the backup lands here, the library never comes from here.
    QTemporaryDir m_work;
    ScriptedPrompter *m_prompter = nullptr;
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
