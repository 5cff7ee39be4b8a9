// The console window: title and modified marker, the command table and its
// connections (and the guide's table of its keys), F1 and the guide, start-up with and without a
// configuration, the recent list, the file commands, quitting and the last-session file. Runs in a
// temporary working folder with the settings store and the data folder in test mode (the data
// folder emptied before each test); every question is answered by a ScriptedPrompter.
#include "app/appinfo.h"
#include "app/guide.h"
#include "app/pultora.h"
#include "app/startup.h"
#include "app/statusline.h"
#include "dialogs/preferencesdialog.h"
#include "dialogs/settings.h"
#include "model/configuration.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace
{

using B = QMessageBox;

// The built-in configuration cut to its first `count` controls.
QByteArray showWith(int count)
{
    QStringList kept;
    int controls = 0;
    for (const QString &line : defaultConfigurationText().split(QLatin1Char('\n')))
        if (!line.contains(QLatin1String("<control ")) || controls++ < count)
            kept << line;
    return kept.join(QLatin1Char('\n')).toUtf8();
}

// The built-in configuration with more attributes on its background.
QByteArray withBackground(const QString &attributes)
{
    return defaultConfigurationText()
        .replace(QStringLiteral("<background "), "<background " + attributes + ' ')
        .toUtf8();
}

// Drags a file onto the console and drops it there; whether the console
// took the drag.
bool drop(Pultora &console, const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&console, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&console, &drop);
    return enter.isAccepted();
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

    std::unique_ptr<Pultora> makeConsole(const QStringList &args = {},
                                         ConsoleServices services = {})
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
        return std::make_unique<Pultora>(nullptr, int(argv.size()), argv.data(), QString(),
                                         QStringLiteral("en_US"), services);
    }
    // Starts on the built-in default, answering Yes.
    std::unique_ptr<Pultora> makeDefaultConsole()
    {
        m_prompter->answers = {B::Yes};
        return makeConsole();
    }
    QString file(const QString &name) const { return m_dir->filePath(name); }

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
        QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication()).clear();
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
        auto console = makeConsole(); // no show: No to the built-in one
        const CommandTable &c = console->commands();
        // Every action lives on the window, so shortcuts work without a menu.
        QCOMPARE(c.all().size(), 33);
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
        const QList<QAction *> menu = c.mainMenu->actions();
        QCOMPARE(menu.first(), c.undo);
        QCOMPARE(menu.last(), c.quit);
        for (const QMenu *sub : {c.recentMenu, c.importMenu, c.helpMenu})
            QVERIFY(menu.contains(sub->menuAction()));
        QCOMPARE(c.recentMenu->actions().last(), c.openLastSession);

        // Triggering an action reaches its slot: Save As asks for a file.
        c.configSaveAs->trigger();
        QCOMPARE(m_prompter->fileDialogTitles, QStringList{QStringLiteral("Save File")});

        // The guide's table of shortcuts names every command with a key, by
        // its name (Undo and Redo are named after the change), and no other.
        QMap<QString, QString> keys, guide;
        for (const QAction *a : console->actions())
            if (!a->shortcut().isEmpty())
                keys.insert(a->shortcut().toString(), a->text());
        const QString html = readBytes(PULTORA_SOURCE_DIR "/guide/en/shortcuts.html");
        static const QRegularExpression row("<tr><td><kbd>([^<]+)</kbd></td><td>([^<]+)</td></tr>");
        for (const auto &m :
             row.globalMatch(html.section("id=\"commands\"", 1).section("</table>", 0, 0)))
            guide.insert(m.captured(1), keys.value(m.captured(1)).isEmpty() ? "" : m.captured(2));
        QCOMPARE(guide, keys);
    }

    // F1 opens the guide at the chapter of the window in front: the
    // installed copy first, in German under a German locale.
    void helpOpensTheGuide()
    {
        QList<QUrl> opened;
        ConsoleServices services;
        services.openUrl = [&opened](const QUrl &url) { return opened.append(url), true; };
        auto console = makeConsole({}, services);
        QVERIFY(call(*console, "slotHelp") && call(*console, "slotAdd") &&
                call(*console, "slotPreferences"));
        QTest::keyClick(topLevel<Settings>(), Qt::Key_F1);
        QTest::keyClick(topLevel<Preferences>(), Qt::Key_F1);
        QStringList pages;
        for (const QUrl &url : std::as_const(opened))
            pages << url.toString().section('/', -2);
        QCOMPARE(pages,
                 QStringList({"en/index.html", "en/building.html#editor", "en/preferences.html"}));
        QVERIFY(QFileInfo(opened.value(1).toLocalFile()).isFile());

        const QString app = file("usr/bin"),
                      installed = file("usr/share/pultora/guide/en/index.html");
        QCOMPARE(guide::guideUrl("building.html#check", QLocale("de_DE"), app)
                     .toString()
                     .section('/', -2),
                 "de/building.html#check");
        QVERIFY(guide::guideUrl("nowhere.html", QLocale::c(), app).isEmpty());
        // Installed: that copy, in English when it has no German page.
        QVERIFY(QDir().mkpath(QFileInfo(installed).path()) && writeBytes(installed, "<html/>"));
        QCOMPARE(guide::guideUrl("index.html", QLocale("de_DE"), app),
                 QUrl::fromLocalFile(installed));
    }

    // Controls, menus, timers and windows connect to the console's slots by
    // name: a slot renamed would leave them unconnected with only a warning.
    // The menu enables what fits what lies under it.
    void everyConnectionHolds()
    {
        QTest::failOnWarning(QRegularExpression("QObject::connect"));
        auto console = makeDefaultConsole(); // every type of control
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        const CommandTable &c = console->commands();
        // (5, 5) is bare background; "Push\nRed" covers (20, 20) to (70, 70).
        for (const QPoint &at : {QPoint(5, 5), QPoint(30, 30)}) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, console->mapToGlobal(at));
            QCoreApplication::sendEvent(console.get(), &menu);
            QVERIFY(c.mainMenu->isVisible());
            const bool on = at.x() > 5;
            for (const QAction *a : {c.edit, c.remove, c.copy})
                QCOMPARE(a->isEnabled(), on);
            QVERIFY(!on || (c.move->isEnabled() && c.cut->isEnabled()));
            QVERIFY(c.configAppend->isEnabled());
            QVERIFY(!c.paste->isEnabled()); // nothing cut or copied yet
            c.mainMenu->hide();
        }
        for (const char *slot : {"slotEdit", "slotOverview", "slotBackground", "slotPreferences",
                                 "slotCheckConsistence", "slotAbout"})
            QVERIFY2(call(*console, slot), slot);
        const QMetaObject &meta = Pultora::staticMetaObject;
        QCOMPARE(meta.method(meta.indexOfSlot("checkConsitence(SettingStruct*)")).returnType(),
                 int(QMetaType::Bool));
    }

    // A dropped file is opened, unless the console is locked; text without
    // addresses is not taken.
    void droppedFileIsOpened()
    {
        QVERIFY(writeBytes(file("dropped.ptra"), defaultConfigurationText().toUtf8()));
        QVERIFY(writeBytes(file("four.ptra"), showWith(4)));
        auto console = makeConsole();
        QVERIFY(console->document().controls().isEmpty());
        QVERIFY(drop(*console, file("dropped.ptra")));
        QCOMPARE(console->document().controls().size(), 36);
        QCOMPARE(console->currentFile(), file("dropped.ptra"));

        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.ignore();
        QCoreApplication::sendEvent(console.get(), &other);
        QVERIFY(!other.isAccepted());

        m_prompter->answers = {B::Yes};
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        m_prompter->asked.clear();
        drop(*console, file("four.ptra"));
        QVERIFY(m_prompter->asked.isEmpty());
        QCOMPARE(console->currentFile(), file("dropped.ptra"));
        QVERIFY(console->statusBar()->currentMessage().startsWith("The console is locked"));
        QVERIFY(call(*console, "slotLockUnlockScreen"));
    }

    // The show the console starts with: the file named, the default file in
    // the working folder, or the built-in one if the user wants it.
    void startsWith_data()
    {
        QTest::addColumn<QByteArray>("defaultFile"); // in the working folder; empty: none
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QList<B::StandardButton>>("answers");
        QTest::addColumn<QStringList>("asked"); // the questions' starts
        QTest::addColumn<int>("controls");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("modified");
        const QString create = "The file config_default.ptra could not be read!\nDo you want to "
                               "create a default configuration?";
        const QByteArray builtIn = defaultConfigurationText().toUtf8();
        // A default file that is not there is no error: only the question.
        QTest::newRow("built-in show")
            << QByteArray() << QStringList() << QList{B::Yes} << QStringList{create} << 36
            << "config_default.ptra" << true;
        QTest::newRow("nothing") << QByteArray() << QStringList() << QList{B::No}
                                 << QStringList{create} << 0 << "untitled.ptra" << false;
        QTest::newRow("default file") << builtIn << QStringList() << QList<B::StandardButton>()
                                      << QStringList() << 36 << "config_default.ptra" << false;
        QTest::newRow("file named is missing")
            << builtIn << QStringList{"no-such-file.ptra"} << QList<B::StandardButton>()
            << QStringList{"The file no-such-file.ptra could not be read!\n"} << 0
            << "untitled.ptra" << false;
        QTest::newRow("damaged default file")
            << builtIn.left(900) << QStringList() << QList{B::Ok, B::Yes}
            << QStringList{"XML-Error|", create} << 36 << "config_default.ptra" << true;
    }
    void startsWith()
    {
        QFETCH(QByteArray, defaultFile);
        QFETCH(QStringList, args);
        QFETCH(QList<B::StandardButton>, answers);
        QFETCH(QStringList, asked);
        QFETCH(int, controls);
        QFETCH(QString, title);
        QFETCH(bool, modified);
        if (!defaultFile.isEmpty())
            QVERIFY(writeBytes(appinfo::defaultConfigFileName(), defaultFile));
        m_prompter->answers = answers;
        auto console = makeConsole(args);
        QCOMPARE(m_prompter->asked.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i)
            QVERIFY2((m_prompter->asked.at(i).title + '|' + m_prompter->asked.at(i).text)
                         .contains(asked.at(i)),
                     qPrintable(m_prompter->asked.at(i).text));
        QCOMPARE(console->document().controls().size(), controls);
        QCOMPARE(console->surface().widgetCount(), controls);
        QCOMPARE(console->windowTitle(), "Pultora 0.8 - " + title + "[*]");
        QCOMPARE(console->isWindowModified(), modified);
        // A show never saved does not enter the recent list.
        QCOMPARE(console->recentFiles(), !defaultFile.isEmpty() && args.isEmpty()
                                             ? QStringList{QDir::current().absoluteFilePath(title)}
                                             : QStringList());
        QVERIFY(console->triggerTimerRunning());
        QVERIFY(console->acceptDrops());
        if (controls)
            QCOMPARE(console->size(), QSize(600, 420));
        // A file that could not be read is kept before it is saved over.
        if (asked.size() == 2) {
            QVERIFY(saved(*console));
            const QString backup = appinfo::defaultConfigFileName() + QStringLiteral(".bak");
            QCOMPARE(readBytes(backup), defaultFile);
            QCOMPARE(controlsIn(appinfo::defaultConfigFileName()), 36);
            QVERIFY(console->statusBar()->currentMessage().contains(backup));
        }
    }

    void emptyConsole()
    {
        auto console = makeConsole();
        // The title follows the current file, which enters the recent list.
        console->setModified(true, false);
        QVERIFY(console->isWindowModified());
        QVERIFY(writeBytes(file("show.ptra"), {}));
        console->setCurrentFile(file("show.ptra"));
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - show.ptra[*]"));
        QCOMPARE(console->recentFiles().value(0), file("show.ptra"));
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

    void recentListIsCutToFour()
    {
        QStringList six;
        for (int i = 0; i < 6; ++i)
            six << QStringLiteral("/shows/show%1.ptra").arg(i);
        QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
            .setValue(QStringLiteral("recent_file_list"), six);
        auto console = makeConsole();
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
        bg.startup_dmxsend_later = prefs.startup_dmxsend_later = false;
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
        QCOMPARE(silent.run(5, nullptr), 5);
        QCOMPARE(m_waits, QList<bool>({false, false, false, true, true, true, true, true}));

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

    // A show's start-up delay is waited out and its stretch sizes the window;
    // a resize of the user's stores the background size.
    void startsAsItsBackgroundSays()
    {
        QVERIFY(writeBytes(file("big.ptra"),
                           withBackground("startup_timeout=\"5\" stretch_factor=\"150\"")));
        auto console = makeConsole({QStringLiteral("big.ptra")});
        QCOMPARE(console->document().controls().size(), 36);
        QCOMPARE(m_waits, QList<bool>(5, true));
        QCOMPARE(console->document().preferences().startup_timeout, quint16(5));
        QCOMPARE(console->size(), QSize(900, 630));
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        QCOMPARE(console->document().background().size_x, 600u); // its own resize changes nothing
        console->resize(600, 600);
        QTRY_COMPARE(console->document().background().size_x, 400u);
        QCOMPARE(console->document().background().size_y, 400u);
        QVERIFY(!console->isWindowModified());
        QCOMPARE(widgetAt(*console, 0)->geometry(), QRect(30, 30, 75, 75));
    }

    // Quit and closing the window ask about the unsaved show the same way;
    // Cancel keeps the console running. A quit writes the last session into
    // the data folder while the window can still say it could not, without a
    // question, and the close that follows asks nothing more.
    void quitAsksAboutTheShow_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Cancel") << int(B::Cancel);
        QTest::newRow("No") << int(B::No);
    }
    void quitAsksAboutTheShow()
    {
        QFETCH(int, answer);
        auto console = makeDefaultConsole();
        QVERIFY(console->isWindowModified());
        m_prompter->asked.clear();
        m_prompter->answers = {B::StandardButton(answer), B::StandardButton(answer)};
        QVERIFY(call(*console, "slotQuit"));
        const bool quits = answer == B::No;
        QCOMPARE(m_quitCalls, quits ? 1 : 0);
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral(
                     "The configuration has been modified!\nDo you want to save the changes?"));
        const QString path = console->lastSessionFile();
        QCOMPARE(QFileInfo(path).absolutePath(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(!QFile::exists(path));
        console->show();
        QCOMPARE(console->close(), quits);
        QCOMPARE(console->isVisible(), !quits);
        QCOMPARE(m_prompter->asked.size(), quits ? 1 : 2);
        QCOMPARE(QFile::exists(path), quits);
        QVERIFY(!QFile::exists(appinfo::lastSessionFileName())); // not in the working folder
        m_prompter->answers = {B::No};
    }

    void failedWriteWarnsAndKeepsState()
    {
        auto console = makeDefaultConsole();
        m_prompter->asked.clear();
        const QString target = file("missing/dir/show.ptra");
        m_prompter->fileNames = {target};
        QVERIFY(!saved(*console, "slotConfigSaveAs"));
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(m_prompter->asked.at(0).text.startsWith(
            QStringLiteral("The file %1 could not be written!\n").arg(target)));
        QVERIFY(m_prompter->asked.at(0).text.endsWith(QLatin1Char('.')));
        QCOMPARE(console->currentFile(), QStringLiteral("config_default.ptra"));
        QVERIFY(console->isWindowModified());

        // A good name saves (adding the extension), makes the file current
        // and clears the marker.
        m_prompter->fileNames = {file("My_Show")};
        QVERIFY(saved(*console, "slotConfigSaveAs"));
        QVERIFY(!console->isWindowModified());
        QCOMPARE(console->currentFile(), file("My_Show.ptra"));
        QCOMPARE(console->windowTitle(), QStringLiteral("Pultora 0.8 - My_Show.ptra[*]"));
        QCOMPARE(controlsIn(console->currentFile()), 36);
    }

    // Another program changed the open file: Save asks before it writes,
    // and each answer does what it says; an unchanged file is saved unasked.
    void saveAsksWhenFileChangedElsewhere_data()
    {
        QTest::addColumn<int>("changed"); // 0: no; 1: to two controls; 2: one letter
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("onDisk"); // controls in the file afterwards
        QTest::newRow("unchanged") << 0 << 0 << true << 4;
        QTest::newRow("Overwrite") << 1 << int(B::Save) << true << 4;
        QTest::newRow("Save As") << 1 << int(B::SaveAll) << true << 2;
        QTest::newRow("Cancel") << 1 << int(B::Cancel) << false << 2;
        QTest::newRow("Cancel, the size kept") << 2 << int(B::Cancel) << false << 4;
    }
    void saveAsksWhenFileChangedElsewhere()
    {
        QFETCH(int, changed);
        QFETCH(int, answer);
        QFETCH(bool, result);
        QFETCH(int, onDisk);
        const QString four = file("four.ptra"), copy = file("copy.ptra");
        QVERIFY(writeBytes(four, showWith(4)));
        auto console = makeConsole({four});
        console->setModified(true, false);
        QByteArray other = changed == 1 ? showWith(2) : showWith(4);
        other[other.indexOf("name=\"") + 6] ^= 0x20;
        if (changed)
            QVERIFY(writeBytes(four, other));
        m_prompter->asked.clear();
        m_prompter->answers = {B::StandardButton(answer)};
        m_prompter->fileNames = {copy};
        QCOMPARE(saved(*console), result);
        QCOMPARE(m_prompter->asked.size(), changed ? 1 : 0);
        QCOMPARE(controlsIn(four), onDisk);
        QCOMPARE(console->currentFile(), answer == B::SaveAll ? copy : four);
        QCOMPARE(console->isWindowModified(), !result);
        // Saved once, the file is the console's again: the next save asks nothing.
        console->setModified(false, false);
        if (result) {
            m_prompter->asked.clear();
            QVERIFY(saved(*console));
            QVERIFY(m_prompter->asked.isEmpty());
        }
    }

    // Changed elsewhere while the show holds no unsaved edit: the status
    // bar offers the reload, and a save of our own offers nothing.
    void fileChangedElsewhereIsOfferedForReload()
    {
        const QString four = file("four.ptra");
        QVERIFY(writeBytes(four, showWith(4)));
        auto console = makeConsole({four});
        console->show();
        QVERIFY(saved(*console));
        QTest::qWait(300);
        const auto offer = [&] { return console->findChild<QWidget *>("reloadOffer"); };
        QVERIFY(!offer() || offer()->isHidden());
        QVERIFY(writeBytes(four, showWith(2)));
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
    }
    void fileCommandsKeepTheUsersFiles()
    {
        QFETCH(QString, what);
        const QString four = file("four.ptra"), svg = file("logo.svg");
        QVERIFY(writeBytes(four, showWith(4)));
        QVERIFY(writeBytes(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
        auto console = makeDefaultConsole(); // 36 controls, modified
        m_prompter->asked.clear();
        m_prompter->answers = {what == "cancel" ? B::Cancel : B::No};
        m_prompter->fileNames = {what == "svg" ? svg : four};
        QVERIFY(call(*console, "slotConfigOpen"));
        const bool opened = what == "open" || what == "reload";
        QCOMPARE(m_prompter->asked.size(), what == "svg" ? 2 : 1); // the save question first
        if (what == "reload")
            QVERIFY(call(*console, "slotConfigReload"));
        QCOMPARE(m_prompter->fileDialogTitles.size(), what == "cancel" ? 0 : 1); // Open's only
        QCOMPARE(console->document().controls().size(), opened ? 4 : 36);
        QCOMPARE(console->surface().widgetCount(), opened ? 4 : 36);
        QCOMPARE(console->currentFile(), opened ? four : QStringLiteral("config_default.ptra"));
        QCOMPARE(console->isWindowModified(), !opened);
        if (opened) {
            QVERIFY(saved(*console));
            QCOMPARE(controlsIn(four), 4);
        }
        if (what == "svg") {
            QVERIFY(m_prompter->asked.at(1).text.contains(QStringLiteral("could not be read!")));
            QVERIFY(!readBytes(svg).contains("PultoraConfig"));
        }
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
        QVERIFY(writeBytes(file("four.ptra"), showWith(4)));
        auto console = makeConsole({QStringLiteral("four.ptra")});
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

        m_prompter->answers = {B::Yes};
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        console->showStatus(text, 60000);
        QTRY_VERIFY(line->lockSign() && apart(line->lockSign()));
        QVERIFY(apart(hint));
        QVERIFY(line->lockSign()->toolTip().contains(QStringLiteral("Ctrl+Alt+Shift+F11")));
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        QVERIFY(!line->lockSign()->isVisible());
    }

    // A file that could not be read is kept as .bak when it is saved over
    // (startsWith); once mended and opened, it is saved as any other.
    void mendedFileIsSavedWithoutACopy()
    {
        const QString show = file("show.ptra");
        QVERIFY(writeBytes(show, "<PultoraConfig><control"));
        m_prompter->answers = {B::Ok};
        auto console = makeConsole({show});
        QVERIFY(writeBytes(show, showWith(4)));
        m_prompter->fileNames = {show};
        QVERIFY(call(*console, "slotConfigOpen"));
        QCOMPARE(console->document().controls().size(), 4);
        QVERIFY(saved(*console));
        QVERIFY(!QFile::exists(show + QStringLiteral(".bak")));
    }

    // An append counts the controls already there against the limit.
    void appendCountsTheControlsThere()
    {
        const QString many = file("many.ptra");
        QVERIFY(writeBytes(many, "<PultoraConfig>" +
                                     QByteArray("<control version=\"1\"/>").repeated(MAX_CONTROLS) +
                                     "</PultoraConfig>"));
        QVERIFY(writeBytes(file("one.ptra"), showWith(1)));
        auto console = makeConsole({QStringLiteral("one.ptra")});
        m_prompter->fileNames = {many};
        QVERIFY(call(*console, "slotConfigAppend"));
        QCOMPARE(console->document().controls().size(), 1);
        QVERIFY(m_prompter->asked.value(0).text.contains(QStringLiteral("1 are loaded already")));
    }

    // New starts an empty show with the preferences of the one before.
    void newKeepsThePreferences()
    {
        QVERIFY(writeBytes(file("p.ptra"), "<PultoraConfig><preferences version=\"1\" "
                                           "hex_value_show=\"1\"/><control version=\"1\"/>"
                                           "</PultoraConfig>"));
        auto console = makeConsole({QStringLiteral("p.ptra")});
        QVERIFY(call(*console, "slotConfigNew"));
        QVERIFY(console->document().controls().isEmpty());
        QVERIFY(console->document().preferences().hex_value_show);
    }

    // A folder in the way of the last-session file is reported (the file
    // itself: tst_session).
    void lastSessionWriteFailureIsReported()
    {
        auto console = makeConsole();
        const QString path = console->lastSessionFile();
        QVERIFY(QDir().mkpath(path));
        m_prompter->asked.clear();
        console.reset();
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).icon, B::Warning);
        QVERIFY(m_prompter->asked.at(0).text.startsWith(
            QStringLiteral("The file %1 could not be written!\n").arg(path)));
    }

    void cancelledLoadKeepsThePreviousShow()
    {
        QVERIFY(writeBytes(file("four.ptra"), showWith(4)));
        QString controls;
        const QString line = QStringLiteral(
            " <control version=\"1\" name=\"C\" control_type=\"led\" size_x=\"5\" size_y=\"5\" "
            "protocol_type_in=\"%1\" dmx_in_universe=\"%2\"/>\n");
        for (int i = 0; i < 2000; ++i)
            controls +=
                line.arg(i % 2 ? QStringLiteral("Art-Net") : QStringLiteral("streaming ACN"))
                    .arg(i % 7);
        QVERIFY(writeBytes(
            file("big.ptra"),
            showWith(0).replace("</PultoraConfig>", controls.toUtf8() + "</PultoraConfig>")));
        int steps = 0;
        int cancelAt = -1;
        ConsoleServices services;
        services.loadProgress = [&](qint64, qint64) { return ++steps != cancelAt; };
        auto owner = makeConsole({QStringLiteral("four.ptra")}, services);
        Pultora &console = *owner;
        QCOMPARE(console.document().controls().size(), 4);
        const QString four = console.currentFile();
        for (int cancel : {1, 3}) { // while reading, while building the widgets
            steps = 0;
            cancelAt = cancel;
            m_prompter->fileNames = {file("big.ptra")};
            QVERIFY(call(console, "slotConfigOpen"));
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
        m_prompter->fileNames = {file("big.ptra")};
        QVERIFY(call(console, "slotConfigOpen"));
        QCOMPARE(console.surface().widgetCount(), 2000);
        QCOMPARE(console.io().inputSetUps() - setUps, 1);
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
