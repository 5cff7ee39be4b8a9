// The foreign-GUI import against the tests' import library (built three
// times: both text entry points, only the 8-bit one, none; its behaviour
// chosen by FARSIGHT_TEST_MODE), the console's import command with its
// countdown and questions, and the documentation command.
#include "appinfo.h"
#include "consolestart.h"
#include "importforeigngui.h"
#include "scriptedprompter.h"

#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace
{

const QString kVariants = QStringLiteral(FARSIGHT_VARIANTS_DIR);

const QString kBuiltIn = QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n"
                                        " <control version=\"1\" name=\"Пульт\"/>\n"
                                        " <control version=\"1\" name=\"Café\"/>\n"
                                        "</PultoraConfig>\n");

const QByteArray kShow("<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n"
                       " <control version=\"1\" name=\"Alt\"/>\n"
                       "</PultoraConfig>\n");

QByteArray utf16Bytes(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList names(const Pultora &console)
{
    QStringList list;
    for (const SettingStruct &c : console.document().controls())
        list << c.name;
    return list;
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void sizeProtocol_data();
    void sizeProtocol();
    void neverFromWorkingFolder();
    void importCommand_data();
    void importCommand();
    void countdownCancels();
    void failureAndBackupAreTold();
    void documentationCommand();

private:
    std::unique_ptr<Pultora> console(ScriptedPrompter **prompter, ConsoleServices services = {},
                                     const QByteArray &show = kShow);

    QTemporaryDir m_work;
};

void TestImport::initTestCase()
{
    QVERIFY(m_work.isValid());
    // The backup lands in the working folder; the library never comes from it.
    QVERIFY(QDir::setCurrent(m_work.path()));
}

void TestImport::init()
{
    qunsetenv("FARSIGHT_TEST_MODE");
    qunsetenv("FARSIGHT_TEST_FILE");
    QFile::remove(ImportForeignGui::backupFileName());
}

std::unique_ptr<Pultora> TestImport::console(ScriptedPrompter **prompter, ConsoleServices services,
                                             const QByteArray &show)
{
    auto scripted = std::make_shared<ScriptedPrompter>();
    *prompter = scripted.get();
    return startConsoleOn(m_work.filePath("show.ptra"), show, scripted, std::move(services));
}

void TestImport::sizeProtocol_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("file");   // FARSIGHT_TEST_FILE's content, if any
    QTest::addColumn<QString>("text");      // expected text; empty: the fetch fails
    QTest::addColumn<QByteArray>("backup"); // expected backup bytes
    QTest::addColumn<QString>("message");   // part of the message; empty: none

    const QByteArray none;
    QTest::newRow("UTF-16") << ""
                            << "document" << none << kBuiltIn << utf16Bytes(kBuiltIn) << "";
    QTest::newRow("UTF-16 of 10 bytes gives 5 characters") << ""
                                                           << "document"
                                                           << QByteArray("ab\xc3\xa9"
                                                                         "de")
                                                           << "abéde" << utf16Bytes("abéde") << "";
    QTest::newRow("8-bit") << "ansi"
                           << "document" << none << kBuiltIn << kBuiltIn.toUtf8() << "";
    // The 8-bit text ends at its first zero byte; the backup keeps them all.
    QTest::newRow("8-bit ends at zero")
        << "ansi"
        << "odd" << none << kBuiltIn << kBuiltIn.toUtf8() + QByteArray(1, '\0') << "";
    QTest::newRow("8-bit, not UTF-8")
        << "ansi"
        << "document" << QByteArray("Caf\xe9") << "Café" << QByteArray("Caf\xe9") << "";
    QTest::newRow("size 0") << ""
                            << "empty" << none << "" << QByteArray() << "";
    QTest::newRow("negative") << ""
                              << "negative" << none << "" << QByteArray() << "invalid size";
    QTest::newRow("8-bit negative") << "ansi"
                                    << "negative" << none << "" << QByteArray() << "invalid size";
    QTest::newRow("odd UTF-16") << ""
                                << "odd" << none << "" << QByteArray() << "odd size";
    QTest::newRow("above 64 MB") << ""
                                 << "huge" << none << "" << QByteArray() << "at most 67108864";
    QTest::newRow("fill gives another size")
        << ""
        << "wrongsize" << none << "" << QByteArray() << "instead of";
    QTest::newRow("version 0x6FFFF")
        << ""
        << "oldversion" << none << "" << QByteArray() << "too old version";
    QTest::newRow("no text entry points") << "bare"
                                          << "document" << none << "" << QByteArray() << "no text";
    QTest::newRow("no library") << "none"
                                << "document" << none << "" << QByteArray() << "";
}

void TestImport::sizeProtocol()
{
    QFETCH(QString, variant);
    QFETCH(QString, mode);
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QByteArray, backup);
    QFETCH(QString, message);

    qputenv("FARSIGHT_TEST_MODE", mode.toLatin1());
    if (!file.isNull()) {
        QFile source(m_work.filePath("source.txt"));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write(file);
        source.close();
        qputenv("FARSIGHT_TEST_FILE", source.fileName().toLocal8Bit());
    }
    // The full library lies next to this program, the variants below it.
    const QString folder = variant.isEmpty() ? QCoreApplication::applicationDirPath()
                                             : kVariants + QLatin1Char('/') + variant;
    ImportForeignGui importer(nullptr, {folder});
    QString fetched = QStringLiteral("stale");
    QCOMPARE(importer.fetchImportString(fetched), !text.isEmpty());
    QCOMPARE(fetched, text);
    if (message.isEmpty())
        QVERIFY2(importer.message().isEmpty(), qPrintable(importer.message()));
    else
        QVERIFY2(importer.message().contains(message), qPrintable(importer.message()));
    if (text.isEmpty())
        QVERIFY(!QFile::exists(ImportForeignGui::backupFileName()));
    else
        QCOMPARE(readBytes(ImportForeignGui::backupFileName()), backup);
}

void TestImport::neverFromWorkingFolder()
{
    // A library planted in the working folder, under its own name.
    const QString planted = m_work.filePath(ImportForeignGui::libraryFileName());
    QFile::remove(planted);
    QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + '/' +
                            ImportForeignGui::libraryFileName(),
                        planted));
    const QStringList defaults = ImportForeignGui::defaultLibraryFolders();
    QVERIFY(!defaults.isEmpty());
    QCOMPARE(defaults.first(), QCoreApplication::applicationDirPath());
    for (const QString &folder : defaults) {
        QVERIFY2(QDir::isAbsolutePath(folder), qPrintable(folder));
        QVERIFY(QDir(folder) != QDir::current());
    }
    // Relative folders (the working folder by another name) are passed over.
    QString text;
    ImportForeignGui relative(nullptr, {QString(), ".", "./", m_work.filePath("nothing")});
    QVERIFY(!relative.fetchImportString(text));
    QVERIFY(relative.libraryPath().isEmpty());

    ImportForeignGui installed(nullptr);
    QVERIFY(installed.fetchImportString(text));
    QCOMPARE(installed.libraryPath(),
             QCoreApplication::applicationDirPath() + '/' + ImportForeignGui::libraryFileName());
    QFile::remove(planted);
}

void TestImport::importCommand_data()
{
    QTest::addColumn<bool>("withControls");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<bool>("saveAsChosen");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("imported"); // the show took the document

    using B = QMessageBox;
    const QStringList old{"Alt"}, imported{"Пульт", "Café"};
    QTest::newRow("replace") << true << QList<B::StandardButton>{B::No, B::Yes} << false << imported
                             << 2 << true;
    QTest::newRow("append") << true << QList<B::StandardButton>{B::No, B::No} << false
                            << old + imported << 2 << true;
    QTest::newRow("background only, replace")
        << false << QList<B::StandardButton>{B::No, B::Yes} << false << QStringList() << 2 << true;
    QTest::newRow("background only, append")
        << false << QList<B::StandardButton>{B::No, B::No} << false << old << 2 << true;
    QTest::newRow("save first, then replace")
        << true << QList<B::StandardButton>{B::Yes, B::Yes} << true << imported << 2 << true;
    // Cancelling Save As cancels the import: Clear would lose the show.
    QTest::newRow("save first cancelled")
        << true << QList<B::StandardButton>{B::Yes, B::Yes} << false << old << 1 << false;
    QTest::newRow("cancel at save")
        << true << QList<B::StandardButton>{B::Cancel} << false << old << 1 << false;
    QTest::newRow("cancel at clear")
        << true << QList<B::StandardButton>{B::No, B::Cancel} << false << old << 2 << false;
}

void TestImport::importCommand()
{
    QFETCH(bool, withControls);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(bool, saveAsChosen);
    QFETCH(QStringList, controls);
    QFETCH(int, questions);
    QFETCH(bool, imported);

    int seconds = 0;
    ConsoleServices services;
    services.waitOneSecond = [&seconds](QProgressDialog *) { ++seconds; };
    ScriptedPrompter *prompter;
    auto pultora = console(&prompter, services);
    QVERIFY(pultora);
    prompter->answers = answers;
    const QString saved = m_work.filePath("saved.ptra");
    QFile::remove(saved);
    if (saveAsChosen)
        prompter->fileNames << saved;

    QMetaObject::invokeMethod(pultora.get(), withControls ? "slotImportForeignGuiControl"
                                                          : "slotImportForeignGuiBackground");
    QCOMPARE(seconds, 10);
    QCOMPARE(names(*pultora), controls);
    QCOMPARE(prompter->asked.size(), questions);
    QCOMPARE(prompter->asked.value(0).text,
             QStringLiteral("Save current Config before Import new?"));
    QCOMPARE(QFile::exists(saved), saveAsChosen);
    if (imported) {
        QVERIFY(pultora->document().isModified());
        // A replaced show is untitled; an added one keeps its file.
        QCOMPARE(pultora->currentFile().isEmpty(), answers.value(1) == QMessageBox::Yes);
        QCOMPARE(readBytes(ImportForeignGui::backupFileName()), utf16Bytes(kBuiltIn));
    } else {
        QCOMPARE(QFileInfo(pultora->currentFile()).fileName(),
                 saveAsChosen ? "saved.ptra" : "show.ptra");
    }
}

void TestImport::countdownCancels()
{
    int seconds = 0;
    ConsoleServices services;
    services.waitOneSecond = [&seconds](QProgressDialog *progress) {
        QVERIFY(progress);
        QCOMPARE(progress->value(), seconds);
        QCOMPARE(progress->labelText(),
                 QStringLiteral("Startup Timeout: %1 of 10 Seconds, before import activ front "
                                "window")
                     .arg(seconds));
        if (++seconds == 3)
            progress->cancel();
    };
    ScriptedPrompter *prompter;
    auto pultora = console(&prompter, services);
    QVERIFY(pultora);
    QMetaObject::invokeMethod(pultora.get(), "slotImportForeignGuiControl");
    QCOMPARE(seconds, 3);
    QVERIFY(prompter->asked.isEmpty());
    QCOMPARE(names(*pultora), QStringList{"Alt"});
    QVERIFY(!QFile::exists(ImportForeignGui::backupFileName()));

    // A locked console does not even count down.
    pultora.reset();
    QByteArray lockedShow = kShow;
    lockedShow.replace(" <control", " <preferences version=\"1\" lock_screen=\"1\"/>\n <control");
    pultora = console(&prompter, services, lockedShow);
    QVERIFY(pultora->document().preferences().lock_screen);
    QMetaObject::invokeMethod(pultora.get(), "slotImportForeignGuiBackground");
    QMetaObject::invokeMethod(pultora.get(), "slotImportForeignGuiControl");
    QCOMPARE(seconds, 3);
    QVERIFY(prompter->asked.isEmpty());
}

void TestImport::failureAndBackupAreTold()
{
    ScriptedPrompter *prompter;
    auto pultora = console(&prompter);
    QVERIFY(pultora);

    qputenv("FARSIGHT_TEST_MODE", "oldversion");
    QMetaObject::invokeMethod(pultora.get(), "slotImportForeignGuiControl");
    QCOMPARE(prompter->asked.size(), 1);
    QCOMPARE(prompter->asked.at(0).icon, QMessageBox::Critical);
    QVERIFY(prompter->asked.at(0).text.contains("too old version"));
    QVERIFY(prompter->asked.at(0).text.contains("Import get empty config, don't can import"));
    QCOMPARE(pultora->statusBar()->currentMessage(),
             QStringLiteral("Import get empty config, don't can import"));

    // A backup that cannot be written is told; the import goes on.
    qputenv("FARSIGHT_TEST_MODE", "document");
    QVERIFY(QDir::current().mkdir(ImportForeignGui::backupFileName()));
    prompter->asked.clear();
    prompter->answers = {QMessageBox::No, QMessageBox::No};
    QMetaObject::invokeMethod(pultora.get(), "slotImportForeignGuiControl");
    QVERIFY(QDir::current().rmdir(ImportForeignGui::backupFileName()));
    QCOMPARE(names(*pultora), (QStringList{"Alt", "Пульт", "Café"}));
    QVERIFY2(pultora->statusBar()->currentMessage().startsWith(
                 "The import backup config_BackupImportForeignGui.ptra could not be written"),
             qPrintable(pultora->statusBar()->currentMessage()));
}

void TestImport::documentationCommand()
{
    QList<QUrl> opened;
    ConsoleServices services;
    services.openUrl = [&opened](const QUrl &url) {
        opened << url;
        return true;
    };
    ScriptedPrompter *prompter;
    auto pultora = console(&prompter, services);
    QVERIFY(pultora);
    pultora->resize(320, 200);

    // Not written: the warning, nothing opened, the folder not remembered.
    prompter->fileNames << m_work.filePath("missing/doc.html");
    QMetaObject::invokeMethod(pultora.get(), "slotDocumentation");
    QCOMPARE(prompter->asked.size(), 1);
    QVERIFY(prompter->asked.at(0).text.startsWith("Cannot write file " +
                                                  m_work.filePath("missing/doc.html") + ":\n"));
    QVERIFY(opened.isEmpty());

    QTemporaryDir out(m_work.filePath("doc XXXXXX"));
    prompter->fileNames << out.filePath("Documentation_Project");
    QMetaObject::invokeMethod(pultora.get(), "slotDocumentation");
    const QString written = out.filePath("Documentation_Project.html");
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(written)});
    QVERIFY(opened.at(0).toString().startsWith("file:///") &&
            !opened.at(0).toString().startsWith("file:////"));
    QCOMPARE(pultora->statusBar()->currentMessage(), "Documentation File " + written + " saved");
    QCOMPARE(QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
                 .value("path_documentation")
                 .toString(),
             out.path() + '/');
    const QByteArray page = readBytes(written);
    QVERIFY(page.contains("download=\"show.ptra\""));
    QVERIFY(page.contains("<title>Documentation of Project</title>"));
    QVERIFY(page.contains("data:image/png;base64,"));
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
