#include "app/commandtable.h"

#include "app/appinfo.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>

QString CommandTable::lockQuestion()
{
    const QKeySequence keys(tr("Ctrl+Alt+Shift+F11"));
    return tr("Lock the screen?\n\nThe controls can still be operated, but nothing can be edited "
              "until the screen is unlocked again with \"%1\".")
        .arg(keys.toString(QKeySequence::NativeText));
}

QAction *CommandTable::make(QMainWindow *console, const QString &text, const QString &shortcut,
                            const QString &tip, const char *icon, QObject *receiver,
                            const char *slot)
{
    auto *action = new QAction(text, console);
    if (icon)
        action->setIcon(QIcon(QString::fromLatin1(icon)));
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut));
    action->setStatusTip(tip);
    action->setToolTip(tip);
    QObject::connect(action, SIGNAL(triggered()), receiver, slot);
    console->addAction(action);
    m_actions.append(action);
    return action;
}

void CommandTable::createActions(QMainWindow *console)
{
    QObject *c = console;
    add = make(console, tr("Add Control..."), tr("Ctrl+A"),
               tr("Adding a new Control to the User Interface"), ":/images/editadd.xpm", c,
               SLOT(slotAdd()));
    edit = make(console, tr("Edit Control..."), tr("Ctrl+E"), tr("Editing an Existing Control"),
                ":/images/editedit.xpm", c, SLOT(slotEdit()));
    move = make(console, tr("Move Control"), tr("Ctrl+M"), tr("Moving an Existing Control"),
                ":/images/editmove.xpm", c, SLOT(slotMove()));
    // Moving a control follows the mouse over every widget of the surface.
    qApp->installEventFilter(console);
    remove = make(console, tr("Delete Control"), tr("Ctrl+D"), tr("Deleting an Existing Control"),
                  ":/images/editdelete.xpm", c, SLOT(slotDelete()));
    cut = make(console, tr("Cut Control"), tr("Ctrl+X"), tr("Cutting an Existing Control"),
               ":/images/editcut.xpm", c, SLOT(slotCut()));
    copy = make(console, tr("Copy Control"), tr("Ctrl+C"), tr("Copying an Existing Control"),
                ":/images/editcopy.xpm", c, SLOT(slotCopy()));
    paste =
        make(console, tr("Paste Control"), tr("Ctrl+V"), tr("Pasting of a Cut or Copied Control"),
             ":/images/editpaste.xpm", c, SLOT(slotPaste()));
    overview =
        make(console, tr("Controls Overview..."), tr("Ctrl+O"), tr("Overview of All Controls"),
             ":/images/editoverview.xpm", c, SLOT(slotOverview()));
    background = make(console, tr("Background..."), tr("Ctrl+B"), tr("Settings of the Background"),
                      ":/images/background.xpm", c, SLOT(slotBackground()));
    checkConsistence = make(console, tr("Check Consistency..."), tr("Ctrl+J"),
                            tr("Checking the Consistency of the User Interface and DMX Settings"),
                            ":/images/check_consistence.xpm", c, SLOT(slotCheckConsistence()));
    configNew = make(console, tr("New Configuration"), tr("Ctrl+N"),
                     tr("Creating a New and Empty Configuration"), ":/images/filenew.xpm", c,
                     SLOT(slotConfigNew()));
    configOpen = make(console, tr("Open Configuration..."), tr("Ctrl+L"),
                      tr("Loading an Existing Configuration"), ":/images/fileopen.xpm", c,
                      SLOT(slotConfigOpen()));
    configReload = make(console, tr("Reload Configuration"), tr("Ctrl+R"),
                        tr("Reloading an Already Loaded Configuration"), ":/images/filereload.xpm",
                        c, SLOT(slotConfigReload()));
    for (auto &action : recent) {
        action = make(console, QString(), QString(), QString(), nullptr, c,
                      SLOT(slotConfigRecentFile()));
        action->setVisible(false);
    }
    openLastSession = make(console, tr("Open Last Session"), QString(),
                           tr("Opening the Configuration as It Was When the Console Last Ended"),
                           ":/images/filerecent.xpm", c, SLOT(slotConfigOpenLastSession()));
    openLastSession->setEnabled(false);
    configAppend = make(console, tr("Append Configuration..."), tr("Ctrl+I"),
                        tr("Appending A Configuration to an Already Loaded Configuration"),
                        ":/images/fileappend.xpm", c, SLOT(slotConfigAppend()));
    configSave =
        make(console, tr("Save Configuration"), tr("Ctrl+S"), tr("Saving the Configuration"),
             ":/images/filesave.xpm", c, SLOT(slotConfigSave()));
    configSaveAs = make(console, tr("Save Configuration as..."), tr("Ctrl+Shift+S"),
                        tr("Saving the Configuration Again as File"), ":/images/filesaveas.xpm", c,
                        SLOT(slotConfigSaveAs()));
    configSaveCopy = make(console, tr("Save Configuration As Copy..."), tr("Ctrl+Alt+S"),
                          tr("Saving a Separate Copy of the Configuration"),
                          ":/images/filesavecopy.xpm", c, SLOT(slotConfigSaveCopy()));
    importControl =
        make(console, tr("Import Foreign GUI..."), tr("Ctrl+K"),
             tr("Imports the controls and background of another program's window"),
             ":/images/importforeignguicontrol.xpm", c, SLOT(slotImportForeignGuiControl()));
    importBackground =
        make(console, tr("Import Foreign GUI Background..."), tr("Ctrl+Shift+K"),
             tr("Imports the background of another program's window"),
             ":/images/importforeignguibackground.xpm", c, SLOT(slotImportForeignGuiBackground()));
    lockScreen = make(console, tr("Lock / Unlock Screen"), tr("Ctrl+Alt+Shift+F11"),
                      tr("Lock / Unlock Screen"), ":/images/lockscreen.xpm", c,
                      SLOT(slotLockUnlockScreen()));
    preferences = make(console, tr("Preferences..."), tr("Ctrl+P"),
                       tr("Global settings of %1").arg(appinfo::productName()),
                       ":/images/preferences.xpm", c, SLOT(slotPreferences()));
    webRemote = make(console, tr("Web Remote..."), QString(),
                     tr("Where phones and tablets open the console, and who is connected"),
                     ":/images/webremote.xpm", c, SLOT(slotWebRemote()));
    documentation = make(console, tr("Generate Documentation..."), tr("Ctrl+G"),
                         tr("Creating a Documentation of the Current Configuration"),
                         ":/images/documentation.xpm", c, SLOT(slotDocumentation()));
    help = make(console, tr("Help..."), tr("F1"), tr("opens the Help"), ":/images/helpHelp.xpm", c,
                SLOT(slotHelp()));
    checkUpdate = make(console, tr("Check for Updates"), tr("Ctrl+U"),
                       tr("Checks if a newer software version is available online"),
                       ":/images/check_update.xpm", c, SLOT(slotCheckForSoftwareUpdate()));
    about = make(console, tr("About %1...").arg(appinfo::productName()), QString(),
                 tr("opens the About window"), nullptr, c, SLOT(slotAbout()));
    aboutQt = make(console, tr("About Qt..."), QString(), tr("opens the About Qt window"), nullptr,
                   qApp, SLOT(aboutQt()));
    quit = make(console, tr("Quit"), tr("Ctrl+Q"), tr("exits this software"), ":/images/quit.xpm",
                c, SLOT(slotQuit()));
}

void CommandTable::createMenus(QMainWindow *console)
{
    mainMenu = new QMenu(console);
    if (undo && redo) {
        mainMenu->addActions({undo, redo});
        mainMenu->addSeparator();
    }
    mainMenu->addActions(
        {add, edit, move, remove, cut, copy, paste, overview, background, checkConsistence});
    if (designMode && selectAll) {
        mainMenu->addSeparator();
        mainMenu->addActions({designMode, selectAll});
        arrangeMenu = mainMenu->addMenu(tr("Arrange"));
    }
    mainMenu->addSeparator();
    mainMenu->addActions({configNew, configOpen, configReload});
    recentMenu = mainMenu->addMenu(QIcon(QStringLiteral(":/images/filerecent.xpm")),
                                   tr("Recent Configurations"));
    for (QAction *action : recent)
        recentMenu->addAction(action);
    recentMenu->addSeparator();
    recentMenu->addAction(openLastSession);
    recentMenu->setEnabled(false);
    mainMenu->addActions({configAppend, configSave, configSaveAs, configSaveCopy});
    importMenu =
        mainMenu->addMenu(QIcon(QStringLiteral(":/images/importforeigngui.xpm")), tr("Import"));
    importMenu->addActions({importControl, importBackground});
    mainMenu->addAction(documentation);
    mainMenu->addSeparator();
    mainMenu->addActions({lockScreen, preferences, webRemote});
    helpMenu = mainMenu->addMenu(QIcon(QStringLiteral(":/images/helpHelp.xpm")), tr("Help"));
    helpMenu->addActions({help, checkUpdate, about, aboutQt});
    mainMenu->addAction(quit);
}

void CommandTable::updateRecentActions(const QStringList &files)
{
    for (int i = 0; i < RECENT_COUNT; ++i) {
        QAction *action = recent[i];
        if (!action)
            continue;
        if (i < files.size()) {
            const QString &path = files.at(i);
            action->setText(QFileInfo(path).fileName());
            action->setData(path);
            action->setStatusTip(path);
            action->setToolTip(path);
            action->setIcon(QIcon(QStringLiteral(":/images/filerecent%1.xpm").arg(i)));
            action->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    if (recentMenu)
        recentMenu->setEnabled(!files.isEmpty() ||
                               (openLastSession && openLastSession->isEnabled()));
}

void CommandTable::setLastSessionAvailable(bool available)
{
    if (!openLastSession)
        return;
    openLastSession->setEnabled(available);
    if (recentMenu) {
        bool anyRecent = false;
        for (const QAction *action : recent)
            anyRecent = anyRecent || (action && action->isVisible());
        recentMenu->setEnabled(anyRecent || available);
    }
}

QList<QAction *> CommandTable::all() const
{
    return m_actions;
}

void CommandTable::disconnectAll()
{
    for (QAction *action : std::as_const(m_actions))
        QObject::disconnect(action, nullptr, nullptr, nullptr);
}
