// The console window: title and modified marker, the command table, start-up
// with and without a configuration, the recent list, quitting and the
// last-session file. Runs in a temporary working folder with the settings
// store and the data folder in test mode (the data folder emptied before
// each test); every question is answered by a ScriptedPrompter.
#include "app/appinfo.h"
#include "app/pultora.h"
#include "app/startup.h"
#include "app/statusline.h"
#include "app/translation.h"
#include "model/configuration.h"
#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace
{

QSettings *store()
{
    static QSettings *s = nullptr;
    delete s;
    s = new QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    return s;
}

void writeText(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The built-in configuration cut to its first `count` controls.
QString showWith(int count)
{
    QStringList kept;
    int controls = 0;
    for (const QString &line : defaultConfigurationText().split(QLatin1Char('\n')))
        if (!line.contains(QLatin1String("<control ")) || controls++ < count)
            kept << line;
    return kept.join(QLatin1Char('\n'));
}

int controlsIn(const QString &path)
{
    return int(readBytes(path).count("<control "));
}

} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_oldCwd;
    std::shared_ptr<ScriptedPrompter> m_prompter;
    int m_quitCalls = 0;
    QList<bool> m_waits; // one entry per waited second: progress dialog shown

    Pultora *makeConsole(const QStringList &args = {}, ConsoleServices services = {})
    {
        services.prompter = m_prompter;
        if (!services.waitOneSecond)
            services.waitOneSecond = [this](QProgressDialog *d) { m_waits.append(d != nullptr); };
        services.quit = [this] { ++m_quitCalls; };
        QList<QByteArray> bytes{QByteArrayLiteral("pultora")};
        for (const QString &a : args)
            bytes.append(a.toLocal8Bit());
        QList<char *> argv;
        for (QByteArray &b : bytes)
            argv.append(b.data());
        return new Pultora(nullptr, int(argv.size()), argv.data(), QString(),
                           QStringLiteral("en_US"), services);
    }
    // Runs a slot that answers whether it saved.
    static bool saved(Pultora *console, const char *slot)
    {
        bool result = false;
        return QMetaObject::invokeMethod(console, slot, Q_RETURN_ARG(bool, result)) && result;
    }
    static void call(Pultora *console, const char *slot)
    {
        QVERIFY(QMetaObject::invokeMethod(console, slot));
    }
    // Starts on the built-in default, answering Yes.
    Pultora *makeDefaultConsole()
    {
        m_prompter->answers = {QMessageBox::Yes};
        return makeConsole();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_oldCwd = QDir::currentPath();
    }

    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QVERIFY(QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                    .removeRecursively());
        store()->clear();
        store()->sync();
        m_prompter = std::make_shared<ScriptedPrompter>();
        m_quitCalls = 0;
        m_waits.clear();
    }

    void cleanup()
    {
        QDir::setCurrent(m_oldCwd);
        delete m_dir;
        m_dir = nullptr;
    }

    void commandTable()
    {
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        const CommandTable &c = console->commands();
        // Every action lives on the window, so shortcuts work without a menu.
        QCOMPARE(c.all().size(), 32);
        for (QAction *a : c.all())
            QVERIFY(console->actions().contains(a));
        // Every command but the About ones shows its picture, as do the
        // sub-menus (the recent files get theirs with a file).
        for (QAction *a :
             c.all() + QList<QAction *>{c.recentMenu->menuAction(), c.importMenu->menuAction(),
                                        c.helpMenu->menuAction()})
            if (a->isVisible() && a != c.about && a != c.aboutQt)
                QVERIFY2(!a->icon().pixmap(16).isNull(), qPrintable(a->text()));
        for (QAction *a : c.recent)
            QVERIFY(!a->isVisible());
        QVERIFY(!c.recentMenu->isEnabled());
        QVERIFY(!c.openLastSession->isEnabled()); // no last session yet

        // Menu order: undo, redo, separator, edit commands, separator, file
        // commands, sub-menus.
        const QList<QAction *> menu = c.mainMenu->actions().mid(3);
        QCOMPARE(c.mainMenu->actions().at(0), c.undo);
        QCOMPARE(menu.size(), 26);
        QCOMPARE(menu.at(0), c.add);
        QVERIFY(menu.at(10)->isSeparator());
        QCOMPARE(menu.at(14)->menu(), c.recentMenu);
        QCOMPARE(menu.at(19)->menu(), c.importMenu);
        QCOMPARE(menu.at(24)->menu(), c.helpMenu);
        QCOMPARE(menu.last(), c.quit);
        QCOMPARE(c.helpMenu->actions().size(), 4);
        QCOMPARE(c.recentMenu->actions().size(), 6);
        QCOMPARE(c.recentMenu->actions().last(), c.openLastSession);

        // Triggering an action reaches its slot: Save As asks for a file.
        c.configSaveAs->trigger();
        QCOMPARE(m_prompter->fileDialogTitles, QStringList{QStringLiteral("Save File")});
    }

    // Widgets, dialogs and actions connect by signature text.
    void slotSignatures()
    {
        // clang-format off
        const char *const signatures[] = {
            "slotControlBlink(const QWidget*)", "slotControlBlink(const QWidget*,const QWidget*)",
            "checkConsitence(SettingStruct*)", "slotAdd()", "slotEdit()", "slotMove()",
            "slotDelete()", "slotCut()", "slotCopy()", "slotPaste()", "slotOverview()",
            "slotBackground()", "slotCheckConsistence()", "slotConfigNew()", "slotConfigOpen()",
            "slotConfigReload()", "slotConfigRecentFile()", "slotConfigOpenLastSession()",
            "slotConfigAppend()",
            "slotConfigSave()", "slotConfigSaveAs()", "slotConfigSaveCopy()",
            "slotImportForeignGuiControl()", "slotImportForeignGuiBackground()",
            "slotDocumentation()", "slotLockUnlockScreen()", "slotPreferences()",
            "slotPreferencesChanged()", "slotSettingsChanged(bool)", "slotSettingsChanged()",
            "slotSettingsChanged(QWidget*)", "slotSettingsEdit(const QWidget*)",
            "slotSettingsDelete(const QWidget*)", "slotSettingsShiftUp(const QWidget*)",
            "slotSettingsShiftDown(const QWidget*)", "slotSettingsChangedGroupBegin()",
            "slotSettingsChangedGroup(const QWidget*,int,int,QString)",
            "slotSettingsChangedGroupEnd()", "slotSettingsChangedBackground()",
            "slotControlPushClicked(SettingDmxStruct,int)",
            "slotControlSliderChanged(SettingDmxStruct,int)",
            "slotControlEncoderChanged(SettingDmxStruct,int)",
            "slotControlPotiChanged(SettingDmxStruct,int)", "slotConsistenceCheckChanged(bool)",
            "slotConsistenceCheckChanged()", "slotCheckTrigger()", "checkDmxIn()",
            "checkPitchBend()", "slotCheckForSoftwareUpdate(bool)", "slotCheckForSoftwareUpdate()",
            "slotHelp()", "slotAbout()", "slotQuit()", "slotCloseSettingsOverviewDlg()",
            "slotWriteRecovery()"};
        // clang-format on
        const QMetaObject &meta = Pultora::staticMetaObject;
        for (const char *slot : signatures)
            QVERIFY2(meta.indexOfSlot(slot) >= 0, slot);
        QCOMPARE(meta.method(meta.indexOfSlot("checkConsitence(SettingStruct*)")).returnType(),
                 int(QMetaType::Bool));
        QCOMPARE(meta.method(meta.indexOfSlot("slotConfigSave()")).returnType(),
                 int(QMetaType::Bool));
        // The overview's batch signal, as it is written, normalises to ours.
        QCOMPARE(
            QMetaObject::normalizedSignature(
                "slotSettingsChangedGroup(const QWidget*, const int, const int, const QString)"),
            QByteArray("slotSettingsChangedGroup(const QWidget*,int,int,QString)"));
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            QVERIFY(meta.method(i).methodType() != QMetaMethod::Signal);
    }

    void translationFallsBackToLanguage()
    {
        // A translation file holding nothing but the format's magic number.
        const QByteArray magic = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd");
        QFile qm(m_dir->filePath(QStringLiteral("Pultora_de.qm")));
        QVERIFY(qm.open(QIODevice::WriteOnly));
        qm.write(magic);
        qm.close();
        QTranslator translator;
        QCOMPARE(loadTranslation(translator, QStringLiteral("de_DE"), m_dir->path()),
                 QStringLiteral("Pultora_de_DE"));
        QTranslator none;
        QVERIFY(loadTranslation(none, QStringLiteral("fr_FR"), m_dir->path()).isEmpty());
    }

    void droppedFileIsOpened()
    {
        writeText(QStringLiteral("dropped.ptra"), defaultConfigurationText());
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        QVERIFY(console->document().controls().isEmpty());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("dropped.ptra")))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(console.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(console.get(), &drop);
        QCOMPARE(console->document().controls().size(), 36);
        QCOMPARE(QFileInfo(console->currentFile()).fileName(), QStringLiteral("dropped.ptra"));

        // Text without addresses is not taken.
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.ignore();
        QCoreApplication::sendEvent(console.get(), &other);
        QVERIFY(!other.isAccepted());
    }

    void lastSessionWriteFailureIsReported()
    {
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        // A folder in the way makes the last-session file unwritable.
        const QString path = console->lastSessionFile();
        QVERIFY(QDir().mkpath(path));
        m_prompter->asked.clear();
        console.reset();
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).icon, QMessageBox::Warning);
        QVERIFY(m_prompter->asked.at(0).text.startsWith(
            QStringLiteral("The file %1 could not be written!\n").arg(path)));
    }

    void popupMenuEnablesByWhatIsUnderIt()
    {
        std::unique_ptr<Pultora> console(makeDefaultConsole());
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        const CommandTable &c = console->commands();
        // "Push\nRed" covers (20, 20) to (70, 70); (5, 5) is bare background.
        QContextMenuEvent onControl(QContextMenuEvent::Mouse, QPoint(30, 30),
                                    console->mapToGlobal(QPoint(30, 30)));
        QCoreApplication::sendEvent(console.get(), &onControl);
        QVERIFY(c.mainMenu->isVisible());
        QVERIFY(c.edit->isEnabled() && c.move->isEnabled() && c.remove->isEnabled());
        QVERIFY(c.cut->isEnabled() && c.copy->isEnabled());
        QVERIFY(!c.paste->isEnabled()); // nothing cut or copied yet
        QVERIFY(c.configAppend->isEnabled());
        c.mainMenu->hide();

        QContextMenuEvent onBackground(QContextMenuEvent::Mouse, QPoint(5, 5),
                                       console->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(console.get(), &onBackground);
        QVERIFY(!c.edit->isEnabled() && !c.remove->isEnabled() && !c.copy->isEnabled());
        c.mainMenu->hide();
        m_prompter->answers = {QMessageBox::No};
    }
    void startWithoutDefaultFileAnswerYes()
    {
        std::unique_ptr<Pultora> console(makeDefaultConsole());
        // A default file that is not there is no error: only the question.
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral("The file config_default.ptra could not be read!\nDo you want "
                                "to create a default configuration?"));
        QCOMPARE(m_prompter->asked.at(0).title, QStringLiteral("Pultora"));
        // Never saved: not in the recent list.
        QVERIFY(console->recentFiles().isEmpty());
        QCOMPARE(console->document().controls().size(), 36);
        QCOMPARE(console->currentFile(), QStringLiteral("config_default.ptra"));
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - config_default.ptra[*]"));
        QVERIFY(console->isWindowModified());
        QVERIFY(console->triggerTimerRunning());
        QVERIFY(console->acceptDrops());
        QCOMPARE(console->size(), QSize(600, 420));
        // First control: "Push\nRed" at (20, 20).
        const SettingStruct &first = console->document().controls().first();
        QCOMPARE(first.name, QStringLiteral("Push\nRed"));
        QCOMPARE(console->surface().widget(first.id)->geometry(), QRect(20, 20, 50, 50));
        m_prompter->answers = {QMessageBox::No};
    }

    void startWithoutDefaultFileAnswerNo()
    {
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(console->document().controls().isEmpty());
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - untitled.ptra[*]"));
        QVERIFY(!console->isWindowModified());
        QCOMPARE(console->surface().widgetCount(), 0);
        // The title follows the current file, which enters the recent list.
        console->setModified(true, false);
        QVERIFY(console->isWindowModified());
        writeText(QStringLiteral("show.ptra"), QString());
        console->setCurrentFile(m_dir->filePath(QStringLiteral("show.ptra")));
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - show.ptra[*]"));
        QCOMPARE(console->recentFiles().value(0), m_dir->filePath(QStringLiteral("show.ptra")));
        console->setModified(false, false);

        // A control of an unknown type is not added, but marks the show modified.
        console->editRecord()->control_type = 42;
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotSettingsChanged", Q_ARG(bool, true)));
        QVERIFY(console->document().controls().isEmpty());
        QVERIFY(console->isWindowModified());
        console->setModified(false, false);

        // No MIDI output device is chosen: the status line says nothing left.
        SettingDmxStruct midi;
        midi.protocol_type = PT_MIDI;
        midi.dmx_midi_type = MT_NOTE_ON;
        midi.dmx_channel = 60;
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotControlPushClicked",
                                          Q_ARG(SettingDmxStruct, midi), Q_ARG(int, 100)));
        QVERIFY2(console->statusBar()->currentMessage().contains(QStringLiteral("not sent")),
                 qPrintable(console->statusBar()->currentMessage()));
    }

    void startWithDefaultFileInWorkingFolder()
    {
        writeText(appinfo::defaultConfigFileName(), defaultConfigurationText());
        std::unique_ptr<Pultora> console(makeConsole());
        QVERIFY(m_prompter->asked.isEmpty());
        QCOMPARE(console->document().controls().size(), 36);
        QVERIFY(!console->isWindowModified());
        QCOMPARE(QFileInfo(console->currentFile()).fileName(), appinfo::defaultConfigFileName());
        QCOMPARE(console->recentFiles().value(0),
                 QDir::current().absoluteFilePath(appinfo::defaultConfigFileName()));
    }

    void missingCommandLineFileAsksNothingMore()
    {
        writeText(appinfo::defaultConfigFileName(), defaultConfigurationText());
        std::unique_ptr<Pultora> console(makeConsole({QStringLiteral("no-such-file.ptra")}));
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).icon, QMessageBox::Warning);
        QVERIFY(m_prompter->asked.at(0).text.contains(QStringLiteral("no-such-file.ptra")));
        QVERIFY(console->document().controls().isEmpty());
        QVERIFY(console->currentFile().isEmpty());
    }

    void recentListIsCutToFour()
    {
        QStringList six;
        for (int i = 0; i < 6; ++i)
            six << QStringLiteral("/shows/show%1.ptra").arg(i);
        store()->setValue(QStringLiteral("recent_file_list"), six);
        store()->sync();
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        QCOMPARE(console->recentFiles(), six.mid(0, 4));
        const CommandTable &c = console->commands();
        QVERIFY(c.recentMenu->isEnabled());
        QCOMPARE(c.recent[0]->text(), QStringLiteral("show0.ptra"));
        QCOMPARE(c.recent[3]->data().toString(), six.at(3));
        QCOMPARE(c.recent[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+4")));
        QVERIFY(!c.recent[3]->icon().pixmap(16).isNull());
        QVERIFY(c.recent[3]->isVisible());
    }

    void startupSettingsAndTimeout()
    {
        PreferencesStruct prefs;
        BackgroundStruct bg;
        prefs.startup_timeout = 2;
        bg.startup_timeout = 5;
        bg.startup_dmxsend_later = false;
        prefs.startup_dmxsend_later = false;
        combineStartupSettings(bg, prefs);
        QCOMPARE(prefs.startup_timeout, quint16(5));
        QVERIFY(!prefs.startup_dmxsend_later);
        bg.startup_timeout = 0;
        bg.startup_dmxsend_later = true;
        prefs.startup_timeout = 2;
        combineStartupSettings(bg, prefs);
        QCOMPARE(prefs.startup_timeout, quint16(2));
        QVERIFY(prefs.startup_dmxsend_later);

        StartupTimeout silent([this](QProgressDialog *d) { m_waits.append(d != nullptr); });
        QCOMPARE(silent.run(0, nullptr), 0);
        QCOMPARE(silent.run(3, nullptr), 3);
        QCOMPARE(m_waits, QList<bool>({false, false, false}));

        m_waits.clear();
        QCOMPARE(silent.run(5, nullptr), 5);
        QCOMPARE(m_waits, QList<bool>({true, true, true, true, true}));

        // "Start Now" after two seconds ends the wait.
        int seconds = 0;
        QString label;
        StartupTimeout cancelled([&](QProgressDialog *d) {
            label = d->labelText();
            if (++seconds == 2)
                d->cancel();
        });
        QCOMPARE(cancelled.run(6, nullptr), 2);
        QCOMPARE(label, QStringLiteral("Startup Timeout: 1 of 6 Seconds"));
    }

    void configurationDemandsStartupDelay()
    {
        QString text = defaultConfigurationText();
        text.replace(QStringLiteral("<background "),
                     QStringLiteral("<background startup_timeout=\"5\" "));
        writeText(QStringLiteral("delay.ptra"), text);
        std::unique_ptr<Pultora> console(makeConsole({QStringLiteral("delay.ptra")}));
        QCOMPARE(console->document().controls().size(), 36);
        QCOMPARE(m_waits.size(), 5);
        QVERIFY(m_waits.first());
        QCOMPARE(console->document().preferences().startup_timeout, quint16(5));
    }

    void userResizeStoresBackgroundSize()
    {
        QString text = defaultConfigurationText();
        text.replace(QStringLiteral("<background "),
                     QStringLiteral("<background stretch_factor=\"150\" "));
        writeText(QStringLiteral("big.ptra"), text);
        std::unique_ptr<Pultora> console(makeConsole({QStringLiteral("big.ptra")}));
        QCOMPARE(console->size(), QSize(900, 630));
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        QCOMPARE(console->document().background().size_x, 600u); // its own resize changes nothing
        console->resize(600, 600);
        QTRY_COMPARE(console->document().background().size_x, 400u);
        QCOMPARE(console->document().background().size_y, 400u);
        QVERIFY(!console->isWindowModified());
        QCOMPARE(console->surface().widget(console->document().controls().first().id)->geometry(),
                 QRect(30, 30, 75, 75));
    }

    void cancelAtQuitKeepsRunning()
    {
        std::unique_ptr<Pultora> console(makeDefaultConsole());
        QVERIFY(console->isWindowModified());
        m_prompter->asked.clear();
        m_prompter->answers = {QMessageBox::Cancel};
        call(console.get(), "slotQuit");
        QCOMPARE(m_quitCalls, 0);
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral(
                     "The configuration has been modified!\nDo you want to save the changes?"));
        // Closing the window asks the same and is refused the same way.
        m_prompter->answers = {QMessageBox::Cancel};
        console->show();
        QVERIFY(!console->close());
        QVERIFY(console->isVisible());
        m_prompter->answers = {QMessageBox::No};
    }

    void noAtQuitQuitsAndWritesLastSession()
    {
        std::unique_ptr<Pultora> console(makeDefaultConsole());
        m_prompter->answers = {QMessageBox::No};
        call(console.get(), "slotQuit");
        QCOMPARE(m_quitCalls, 1);
        // The close that follows the quit does not ask again.
        m_prompter->asked.clear();
        const QString path = console->lastSessionFile();
        QCOMPARE(QFileInfo(path).absolutePath(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(!QFile::exists(path));
        console->show();
        QVERIFY(console->close());
        // Written while the window can still say that it could not be.
        QVERIFY(QFile::exists(path));
        QVERIFY(!QFile::exists(appinfo::lastSessionFileName())); // not in the working folder
        QVERIFY(m_prompter->asked.isEmpty());                    // written without a question
    }

    void failedWriteWarnsAndKeepsState()
    {
        std::unique_ptr<Pultora> console(makeDefaultConsole());
        m_prompter->asked.clear();
        const QString target = m_dir->filePath(QStringLiteral("missing/dir/show.ptra"));
        m_prompter->fileNames = {target};
        QVERIFY(!saved(console.get(), "slotConfigSaveAs"));
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(m_prompter->asked.at(0).text.startsWith(
            QStringLiteral("The file %1 could not be written!\n").arg(target)));
        QVERIFY(m_prompter->asked.at(0).text.endsWith(QLatin1Char('.')));
        QCOMPARE(console->currentFile(), QStringLiteral("config_default.ptra"));
        QVERIFY(console->isWindowModified());

        // A good name saves (adding the extension), makes the file current
        // and clears the marker.
        m_prompter->fileNames = {m_dir->filePath(QStringLiteral("My_Show"))};
        QVERIFY(saved(console.get(), "slotConfigSaveAs"));
        QVERIFY(!console->isWindowModified());
        QCOMPARE(console->currentFile(), m_dir->filePath(QStringLiteral("My_Show.ptra")));
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - My_Show.ptra[*]"));
        QCOMPARE(controlsIn(console->currentFile()), 36);
    }

    // Another program changed the open file: Save asks before it writes,
    // and each answer does what it says; an unchanged file is saved unasked.
    void saveAsksWhenFileChangedElsewhere_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("onDisk"); // controls in the file afterwards
        QTest::newRow("unchanged") << false << 0 << true << 4;
        QTest::newRow("Overwrite") << true << int(QMessageBox::Save) << true << 4;
        QTest::newRow("Save As") << true << int(QMessageBox::SaveAll) << true << 2;
        QTest::newRow("Cancel") << true << int(QMessageBox::Cancel) << false << 2;
    }
    void saveAsksWhenFileChangedElsewhere()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, result);
        QFETCH(int, onDisk);
        writeText(QStringLiteral("four.ptra"), showWith(4));
        const QString four = m_dir->filePath(QStringLiteral("four.ptra"));
        const QString copy = m_dir->filePath(QStringLiteral("copy.ptra"));
        std::unique_ptr<Pultora> console(makeConsole({four}));
        console->setModified(true, false);
        if (changed)
            writeText(four, showWith(2));
        m_prompter->asked.clear();
        m_prompter->answers = {QMessageBox::StandardButton(answer)};
        m_prompter->fileNames = {copy};
        QCOMPARE(saved(console.get(), "slotConfigSave"), result);
        QCOMPARE(m_prompter->asked.size(), changed ? 1 : 0);
        QCOMPARE(controlsIn(four), onDisk);
        QCOMPARE(console->currentFile(), answer == QMessageBox::SaveAll ? copy : four);
        QCOMPARE(console->isWindowModified(), !result);
        // Saved once, the file is the console's again: the next save asks nothing.
        console->setModified(false, false);
        if (result) {
            m_prompter->asked.clear();
            QVERIFY(saved(console.get(), "slotConfigSave"));
            QVERIFY(m_prompter->asked.isEmpty());
        }
    }

    // Changed elsewhere while the show holds no unsaved edit: the status
    // bar offers the reload, and a save of our own offers nothing.
    void fileChangedElsewhereIsOfferedForReload()
    {
        writeText(QStringLiteral("four.ptra"), showWith(4));
        const QString four = m_dir->filePath(QStringLiteral("four.ptra"));
        std::unique_ptr<Pultora> console(makeConsole({four}));
        console->show();
        QVERIFY(saved(console.get(), "slotConfigSave"));
        QTest::qWait(300);
        const auto offer = [&] { return console->findChild<QWidget *>("reloadOffer"); };
        QVERIFY(!offer() || offer()->isHidden());
        writeText(four, showWith(2));
        QTRY_VERIFY(offer() && offer()->isVisible());
        QVERIFY(m_prompter->asked.isEmpty());
        QTest::mouseClick(offer()->findChild<QPushButton *>(), Qt::LeftButton);
        QCOMPARE(console->document().controls().size(), 2);
        QVERIFY(offer()->isHidden());
    }

    // Each row was a way to lose the user's file: the console must keep its
    // show and its file name, or refuse.
    void fileCommandsKeepTheUsersFiles_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("reload keeps the file") << "reload";
        QTest::newRow("open after No asks nothing more") << "open";
        QTest::newRow("cancel at the save question cancels open") << "cancel";
        QTest::newRow("foreign document is refused") << "svg";
        QTest::newRow("drop on a locked console is refused") << "locked drop";
    }
    void fileCommandsKeepTheUsersFiles()
    {
        QFETCH(QString, what);
        writeText(QStringLiteral("four.ptra"), showWith(4));
        writeText(QStringLiteral("logo.svg"),
                  QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
        const QString four = m_dir->filePath(QStringLiteral("four.ptra"));
        const QString svg = m_dir->filePath(QStringLiteral("logo.svg"));
        std::unique_ptr<Pultora> console(makeDefaultConsole()); // 36 controls, modified
        m_prompter->asked.clear();
        if (what == "reload") {
            m_prompter->answers = {QMessageBox::No};
            m_prompter->fileNames = {four};
            call(console.get(), "slotConfigOpen");
            call(console.get(), "slotConfigReload");
            QCOMPARE(console->currentFile(), four);
            QCOMPARE(console->document().controls().size(), 4);
            QCOMPARE(m_prompter->fileDialogTitles.size(), 1); // Open's only
        } else if (what == "open" || what == "cancel") {
            m_prompter->answers = {what == "open" ? QMessageBox::No : QMessageBox::Cancel};
            m_prompter->fileNames = {four};
            call(console.get(), "slotConfigOpen");
            QCOMPARE(m_prompter->asked.size(), 1); // the save question only
            const int expected = what == "open" ? 4 : 36;
            QCOMPARE(console->document().controls().size(), expected);
            QCOMPARE(console->surface().widgetCount(), expected);
            QCOMPARE(QFileInfo(console->currentFile()).fileName(),
                     what == "open" ? QStringLiteral("four.ptra")
                                    : QStringLiteral("config_default.ptra"));
            if (what == "open") {
                QVERIFY(saved(console.get(), "slotConfigSave"));
                QCOMPARE(controlsIn(four), 4);
            }
        } else if (what == "svg") {
            m_prompter->answers = {QMessageBox::No};
            m_prompter->fileNames = {svg};
            call(console.get(), "slotConfigOpen");
            QCOMPARE(m_prompter->asked.size(), 2);
            QVERIFY(m_prompter->asked.at(1).text.contains(QStringLiteral("could not be read!")));
            QCOMPARE(console->currentFile(), QStringLiteral("config_default.ptra"));
            QCOMPARE(console->document().controls().size(), 36);
            QVERIFY(console->isWindowModified());
            QVERIFY(!readBytes(svg).contains("PultoraConfig"));
        } else if (what == "locked drop") {
            writeText(QStringLiteral("locked.ptra"),
                      showWith(4).replace(
                          QStringLiteral("<background "),
                          QStringLiteral(
                              "<preferences version=\"1\" lock_screen=\"1\"/>\n <background ")));
            m_prompter->answers = {QMessageBox::No};
            m_prompter->fileNames = {m_dir->filePath(QStringLiteral("locked.ptra"))};
            call(console.get(), "slotConfigOpen");
            QVERIFY(console->document().preferences().lock_screen);
            m_prompter->asked.clear();
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(four)});
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(console.get(), &drop);
            QVERIFY(m_prompter->asked.isEmpty());
            QVERIFY(console->currentFile().endsWith(QStringLiteral("locked.ptra")));
            QVERIFY(console->statusBar()->currentMessage().contains(QStringLiteral("locked")));
        }
        console->setModified(false, false);
    }

    // The first-start hint, a message and the lock sign each keep a place
    // of their own; a message that does not fit is elided in the middle, so
    // its value at the end stays, with the whole message as tooltip.
    void statusLineKeepsItsTextsApart_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("elided");
        QTest::newRow("400 px") << 400 << true;
        QTest::newRow("900 px") << 900 << false;
    }
    void statusLineKeepsItsTextsApart()
    {
        QFETCH(int, width);
        QFETCH(bool, elided);
        writeText(QStringLiteral("four.ptra"), showWith(4));
        std::unique_ptr<Pultora> console(makeConsole({QStringLiteral("four.ptra")}));
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        console->resize(width, 300);
        auto *line = qobject_cast<StatusLine *>(console->statusBar());
        QLabel *hint = console->findChild<QLabel *>(QStringLiteral("menuHint"));
        QVERIFY(line && hint);
        const QString text = QStringLiteral("DMX Channel: 5 | Art-Net universe 1 | value 255");
        auto apart = [&](const QWidget *item) {
            return item->isVisible() && !line->messageRect().intersects(item->geometry());
        };
        console->showStatus(text, 60000);
        QTRY_VERIFY(apart(hint));
        QCOMPARE(line->shownMessage() != text, elided);
        QVERIFY(line->shownMessage().endsWith(QStringLiteral("255")));
        QCOMPARE(line->toolTip(), text);

        m_prompter->answers = {QMessageBox::Yes};
        call(console.get(), "slotLockUnlockScreen");
        console->showStatus(text, 60000);
        QTRY_VERIFY(line->lockSign() && apart(line->lockSign()));
        QVERIFY(apart(hint));
        QVERIFY(line->lockSign()->toolTip().contains(QStringLiteral("Ctrl+Alt+Shift+F11")));
        call(console.get(), "slotLockUnlockScreen");
        QVERIFY(!line->lockSign()->isVisible());
        console->setModified(false, false);
    }

    void unreadableFileIsKeptBeforeItIsSavedOver()
    {
        const QByteArray damaged = defaultConfigurationText().toUtf8().left(900);
        writeText(appinfo::defaultConfigFileName(), QString::fromUtf8(damaged));
        m_prompter->answers = {QMessageBox::Ok, QMessageBox::Yes}; // the warning, the default
        std::unique_ptr<Pultora> console(makeConsole());
        QCOMPARE(m_prompter->asked.size(), 2);
        QCOMPARE(console->document().controls().size(), 36);
        QVERIFY(saved(console.get(), "slotConfigSave"));
        const QString backup = appinfo::defaultConfigFileName() + QStringLiteral(".bak");
        QCOMPARE(readBytes(backup), damaged);
        QCOMPARE(controlsIn(appinfo::defaultConfigFileName()), 36);
        QVERIFY(console->statusBar()->currentMessage().contains(backup));
    }

    void emptyStartKeepsTheLastSession()
    {
        // One left in the working folder is taken over at the start.
        writeText(appinfo::lastSessionFileName(), showWith(4));
        m_prompter->answers = {QMessageBox::No};
        std::unique_ptr<Pultora> console(makeConsole());
        QVERIFY(console->document().controls().isEmpty());
        const QString path = console->lastSessionFile();
        console.reset();
        QCOMPARE(controlsIn(path), 4);
    }

    void cancelledLoadKeepsThePreviousShow()
    {
        writeText(QStringLiteral("four.ptra"), showWith(4));
        QString big = showWith(0);
        QString controls;
        const QString line = QStringLiteral(
            " <control version=\"1\" name=\"C\" control_type=\"led\" size_x=\"5\" size_y=\"5\" "
            "protocol_type_in=\"%1\" dmx_in_universe=\"%2\"/>\n");
        for (int i = 0; i < 2000; ++i)
            controls +=
                line.arg(i % 2 ? QStringLiteral("Art-Net") : QStringLiteral("streaming ACN"))
                    .arg(i % 7);
        big.replace(QStringLiteral("</PultoraConfig>"),
                    controls + QStringLiteral("</PultoraConfig>"));
        writeText(QStringLiteral("big.ptra"), big);
        int steps = 0;
        int cancelAt = -1;
        ConsoleServices services;
        services.loadProgress = [&](qint64, qint64) { return ++steps != cancelAt; };
        std::unique_ptr<Pultora> owner(makeConsole({QStringLiteral("four.ptra")}, services));
        Pultora &console = *owner;
        QCOMPARE(console.document().controls().size(), 4);
        const QString four = console.currentFile();
        for (int cancel : {1, 3}) { // while reading, while building the widgets
            steps = 0;
            cancelAt = cancel;
            m_prompter->fileNames = {m_dir->filePath(QStringLiteral("big.ptra"))};
            call(&console, "slotConfigOpen");
            QVERIFY2(steps >= cancel, qPrintable(QString::number(steps)));
            QCOMPARE(console.document().controls().size(), 4);
            QCOMPARE(console.surface().widgetCount(), 4);
            QCOMPARE(console.currentFile(), four);
            QVERIFY(!console.isWindowModified());
            QVERIFY(!console.document().undoStack().canRedo());
        }
        // Not cancelled: the big show comes, with one DMX-IN set-up.
        cancelAt = -1;
        const int setUps = console.io().inputSetUps();
        m_prompter->fileNames = {m_dir->filePath(QStringLiteral("big.ptra"))};
        call(&console, "slotConfigOpen");
        QCOMPARE(console.surface().widgetCount(), 2000);
        QCOMPARE(console.io().inputSetUps() - setUps, 1);
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
