// Pultora: the console window.
//
// The window has no menu bar and no tool bars: its client area is the
// control surface and every command is reached through the popup main menu
// or a shortcut. The show itself is a ShowDocument; Pultora keeps the slots
// that widgets, dialogs and actions connect to by signature text, and each
// slot only hands its work to a collaborator:
//
//   ShowDocument   records, background, preferences, undo   showdocument.h
//   CommandTable   actions, shortcuts and the popup menu    commandtable.h
//   Surface        one widget per record, the background     surface.h
//   ConsoleIo      outputs and DMX-IN over the widgets       consoleio.h
//   FileCommands   open/save/append, import, documentation   filecommands.h
//   EditCommands   add/edit/move/cut/paste, undo, the lock   editcommands.h
//   DesignMode     select, drag, resize on the surface       designmode.h
//   RecentFiles    recent list and folders in the settings   recentfiles.h
//   StartupTimeout the wait before the first value is sent   startup.h
//   Prompter       message boxes and file choosers (a seam)  prompter.h
//
// A file flows one way: FileCommands -> loader -> a command on the document
// -> surface and I/O follow its signals. A value flows the other way:
// widget -> slot -> ConsoleIo -> node, its result back into the status line.
//
// Start-up order: claim a console instance in the user's data folder
// (sessionfiles.h), actions and menus, offer the unsaved changes a console
// left that did not end cleanly, and only when none is restored load the
// command-line file or "config_default.ptra" (offering the built-in
// default); merge start-up settings, wait, send the initial values, start
// the 200 ms trigger timer (clocks, spring-back) and the recovery timer;
// input moves the controls as it arrives. While the show is modified, a
// recovery copy is written each minute it changed; a save or a clean end
// removes it. Closing writes "config_last_session.ptra" (with the
// instance's suffix) in the data folder.
#pragma once

#include "app/commandtable.h"
#include "app/consistencyrunner.h"
#include "app/consoleio.h"
#include "app/controleditor.h"
#include "app/editcommands.h"
#include "app/loadprogress.h"
#include "app/overviewwindow.h"
#include "app/recentfiles.h"
#include "app/remoteconsole.h"
#include "app/settingsdialogs.h"
#include "app/startup.h"
#include "app/surface.h"
#include "model/settingstruct.h"
#include "model/showdocument.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class DesignMode;
class TypePalette;
class FileCommands;
class SessionFiles;
class QLabel;
class RemoteWindow;
class Prompter;
class StatusLine;
class TargetFrame;
class QTimer;
class QUrl;

// What a console uses of the world; tests replace the parts that would
// block or talk to the user.
struct ConsoleServices {
    std::shared_ptr<Prompter> prompter;        // null: real message boxes
    SecondWaiter waitOneSecond;                // null: really waits
    std::function<void()> quit;                // null: QCoreApplication::quit()
    LoadProgress::Step loadProgress;           // null: a progress dialog for long loads
    QStringList importFolders;                 // empty: where the import library is installed
    std::function<bool(const QUrl &)> openUrl; // null: the desktop's browser
    int recoveryIntervalMs = 0;                // 0: a minute between recovery copies
    std::optional<NetEnvironment> net;         // none: the system's network
    std::optional<quint16> oscInPort;          // none: the user's OSC input port
    std::optional<RemoteConsole::Run> remote;  // none: the user's web remote
    // Nobody in front of it (--headless): recovery copies are logged, never
    // offered, and no update check runs.
    bool unattended = false;
};

class Pultora : public QMainWindow
{
    Q_OBJECT

public:
    // args are the process arguments (the program first); a second one names
    // the configuration to load.
    Pultora(QWidget *parent, int argc, char **argv, const QString &translationFile,
            const QString &localeName, const ConsoleServices &services = ConsoleServices());
    ~Pultora() override;

    // Current configuration file; empty while untitled.
    QString currentFile() const { return m_document.currentFile(); }
    void setCurrentFile(const QString &path);
    // Sets the modified marker (true: content not saved; false: saved).
    void setModified(bool modified, bool refreshOverview);
    void showStatus(const QString &text, int milliseconds);
    // Asks to save a modified configuration; true when the caller may
    // discard it.
    bool maybeSave();

    const ShowDocument &document() const { return m_document; }
    const Surface &surface() const { return m_surface; }
    // The record the control editor fills in and slotSettingsChanged applies.
    SettingStruct *editRecord() { return &m_editRecord; }
    const CommandTable &commands() const { return m_commands; }
    const QStringList &recentFiles() const { return m_recent.files(); }
    bool triggerTimerRunning() const;
    const ConsoleIo &io() const { return m_io; }
    const RemoteConsole &remote() const { return m_remote; }
    DesignMode &design() const { return *m_design; }
    QString translationFile() const { return m_translationFile; }
    QString localeName() const { return m_localeName; }
    // This console's files in the user's data folder; empty when it keeps none.
    QString lastSessionFile() const;
    QString recoveryFile() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

public slots:
    void slotControlBlink(const QWidget *Widget);
    void slotControlBlink(const QWidget *Widget1, const QWidget *Widget2);
    bool checkConsitence(SettingStruct *stSetting);

private slots:
    void slotAdd();
    void slotEdit();
    void slotMove();
    void slotDelete();
    void slotCut();
    void slotCopy();
    void slotPaste();
    void slotOverview();
    void slotBackground();
    void slotCheckConsistence();
    void slotConfigNew();
    void slotConfigOpen();
    void slotConfigReload();
    void slotConfigRecentFile();
    void slotConfigOpenLastSession();
    void slotConfigAppend();
    bool slotConfigSave();
    bool slotConfigSaveAs();
    bool slotConfigSaveCopy();
    void slotImportForeignGuiControl();
    void slotImportForeignGuiBackground();
    void slotDocumentation();
    void slotLockUnlockScreen();
    void slotPreferences();
    void slotPreferencesChanged();
    void slotWebRemote();
    void slotSettingsChanged(bool bUpdateOverview);
    void slotSettingsChanged();
    void slotSettingsChanged(QWidget *WidgetPtr);
    void slotSettingsEdit(const QWidget *);
    void slotSettingsDelete(const QWidget *);
    void slotSettingsShiftUp(const QWidget *);
    void slotSettingsShiftDown(const QWidget *);
    void slotSettingsChangedGroupBegin();
    void slotSettingsChangedGroup(const QWidget *, int Action, int Column, QString sValue);
    void slotSettingsChangedGroupEnd();
    void slotSettingsChangedBackground();
    void slotControlPushClicked(SettingDmxStruct DmxData, int DmxValue);
    void slotControlSliderChanged(SettingDmxStruct DmxData, int value);
    void slotControlEncoderChanged(SettingDmxStruct DmxData, int DmxValue);
    void slotControlPotiChanged(SettingDmxStruct DmxData, int DmxValue);
    bool slotConsistenceCheckChanged(bool InfoWhenSucceded);
    bool slotConsistenceCheckChanged();
    // The trigger timer's tick: the clocks' time and the pitch bends'
    // spring-back (input arrives by itself).
    void slotCheckTrigger();
    void slotCheckForSoftwareUpdate(bool GiveInfoForNoUpdates);
    void slotCheckForSoftwareUpdate();
    void slotHelp();
    void slotAbout();
    void slotQuit();
    void slotCloseSettingsOverviewDlg();
    // A tick of the recovery timer: a copy of a modified show that changed
    // since the last one.
    void slotWriteRecovery();

private:
    void startUp(const QStringList &args);
    // The web remote's sign in the status line, and its window.
    void showRemoteState();
    void showRemoteWindow();
    void sendOutput(const SettingDmxStruct &output, int value);
    // Opens the user guide at the chapter of `window` (F1 there).
    void openGuide(const QWidget *window);
    bool locked() const { return m_document.preferences().lock_screen; }
    void openMainMenu(const QPoint &position, const QPoint &globalPosition);
    void startTriggerTimer();
    // Follows the show's changes for the recovery copy and starts its timer.
    void startRecoveryCopies();
    void stopTriggerTimer();
    // Hides, disconnects and deletes every open dialog.
    void closeDialogs();
    void showTitle();
    void hideMenuHint();
    // Shows the lock sign while locked, frames the shortcuts' control
    // (never while locked) and the hint on an empty surface.
    void showState();
    // "The screen is locked: <shortcut> unlocks it".
    QString unlockTip() const;
    // Offers in the status bar to reload `path`, changed by another
    // program; an empty path takes the offer back.
    void offerReload(const QString &path);

    QString m_translationFile;
    QString m_localeName;
    QString m_updateLink;
    QString m_helpLink;
    std::function<bool(const QUrl &)> m_openUrl;
    int m_triggerInterval = 0;
    int m_recoveryInterval = 0;
    bool m_unattended = false;
    // A recovery copy under this console's own names was left for a person.
    bool m_keepRecovery = false;

    ShowDocument m_document;
    SettingStruct m_editRecord;
    std::shared_ptr<Prompter> m_prompter;
    LoadProgress m_progress;
    Surface m_surface;
    CommandTable m_commands;
    RecentFiles m_recent;
    StartupTimeout m_startupTimeout;
    std::function<void()> m_quit;
    ConsoleIo m_io;
    RemoteConsole m_remote;
    QPointer<RemoteWindow> m_remoteWindow;
    std::unique_ptr<SessionFiles> m_sessions;
    std::unique_ptr<FileCommands> m_files;
    // Declared after the document and the files, so it ends before them:
    // the document's last signals (its undo stack ends) reach no recovery
    // handler.
    QTimer m_recoveryTimer;
    // The show changed since the last recovery copy.
    bool m_recoveryDirty = false;
    std::unique_ptr<EditCommands> m_edit;
    DesignMode *m_design = nullptr;   // a child of the window
    TypePalette *m_palette = nullptr; // shown in design mode
    ControlEditor m_editor{this, [this](SettingStruct *record) { return checkConsitence(record); }};
    QTimer *m_triggerTimer = nullptr;

    StatusLine *m_statusLine = nullptr;
    // Around the control the editing shortcuts act on.
    TargetFrame *m_targetFrame = nullptr;
    // The surface is empty and says how to open the menu.
    bool m_surfaceHintShown = false;
    // Says how to open the menu until the user first did.
    QLabel *m_menuHint = nullptr;
    // "... was changed by another program" with its Reload button.
    QWidget *m_reloadOffer = nullptr;
    // slotQuit already asked; the close that follows must not ask again.
    bool m_quitConfirmed = false;
    bool m_lastSessionWritten = false;
    // Background, preferences and About windows and the update check.
    SettingsDialogs m_settingsDialogs{m_document, m_prompter, this};
    // The controls overview and the group changes made through it.
    OverviewWindow m_overview{m_document, m_surface, this};
    // Consistency options and results windows and the runs of the check.
    ConsistencyRunner m_consistency{m_document, m_surface, *m_prompter, this};
};
