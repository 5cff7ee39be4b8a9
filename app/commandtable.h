// The console's commands: one action per command, each with its text,
// status tip, tooltip, icon and shortcut, added to the window so that the
// shortcuts work with no menu open, and the popup main menu that lists them.
#pragma once

#include <QCoreApplication>
#include <QStringList>

class QAction;
class QMainWindow;
class QMenu;

class CommandTable
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    static constexpr int RECENT_COUNT = 4;

    // The question asked before the screen locks. It names the keys that
    // unlock it as the menu shows them (in the interface's language).
    static QString lockQuestion();

    // Creates the actions on `console` and connects each one's triggered()
    // to the console slot of the same command. The console is installed as
    // event filter on the application while Move is created.
    void createActions(QMainWindow *console);
    // Builds the main menu and its sub-menus (owned by the console).
    void createMenus(QMainWindow *console);
    // Shows one recent action per entry of `files` (at most four) and hides
    // the rest; the sub-menu is enabled when `files` is not empty or the
    // last session can be opened.
    void updateRecentActions(const QStringList &files);
    // Enables Open Last Session (in the recent sub-menu) when there is one.
    void setLastSessionAvailable(bool available);
    // Every action, in creation order.
    QList<QAction *> all() const;
    // Disconnects every action from its receivers (at destruction).
    void disconnectAll();

    // Made by the editing commands, named after what they undo and redo.
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *add = nullptr;
    QAction *edit = nullptr;
    QAction *move = nullptr;
    QAction *remove = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    // Made by design mode.
    QAction *designMode = nullptr;
    QAction *selectAll = nullptr;
    QAction *overview = nullptr;
    QAction *background = nullptr;
    QAction *checkConsistence = nullptr;
    QAction *configNew = nullptr;
    QAction *configOpen = nullptr;
    QAction *configReload = nullptr;
    QAction *recent[RECENT_COUNT] = {};
    QAction *openLastSession = nullptr;
    QAction *configAppend = nullptr;
    QAction *configSave = nullptr;
    QAction *configSaveAs = nullptr;
    QAction *configSaveCopy = nullptr;
    QAction *importControl = nullptr;
    QAction *importBackground = nullptr;
    QAction *lockScreen = nullptr;
    QAction *preferences = nullptr;
    QAction *webRemote = nullptr;
    QAction *documentation = nullptr;
    QAction *help = nullptr;
    QAction *checkUpdate = nullptr;
    QAction *about = nullptr;
    QAction *aboutQt = nullptr;
    QAction *quit = nullptr;

    QMenu *mainMenu = nullptr;
    QMenu *recentMenu = nullptr;
    QMenu *importMenu = nullptr;
    QMenu *helpMenu = nullptr;
    // Filled by the console with design mode's arrangements.
    QMenu *arrangeMenu = nullptr;

private:
    QAction *make(QMainWindow *console, const QString &text, const QString &shortcut,
                  const QString &tip, const char *icon, QObject *receiver, const char *slot);
    QList<QAction *> m_actions;
};
