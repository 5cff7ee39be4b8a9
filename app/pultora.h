// Pultora: the console window.
//
// The window has no menu bar and no tool bars: its client area is the
// control surface and every command is reached through the popup main menu
// or a shortcut. Pultora owns the configuration (control records, edit and
// clipboard records, background, preferences, check options) and keeps the
// slots that widgets, dialogs and actions connect to by signature text, but
// each slot only hands its work to a collaborator:
//
//   CommandTable   actions, shortcuts and the popup menu      commandtable.h
//   Surface        control records and widgets, background    surface.h
//   FileCommands   new/open/save/append, last session         filecommands.h
//   RecentFiles    recent list and folders in the settings    recentfiles.h
//   StartupTimeout the wait before the first value is sent    startup.h
//   ConsoleHost    what the document loader applies to us     consolehost.h
//   Prompter       message boxes and file choosers (a seam)   prompter.h
//
// Start-up order: actions and menus, clear, load the command-line file or
// "config_default.ptra" (offering the built-in default), merge start-up
// settings, wait, send the initial values, start the 200 ms trigger timer.
// Destruction writes "config_last_session.ptra" whatever happened before.
#pragma once

#include "commandtable.h"
#include "consoleio.h"
#include "recentfiles.h"
#include "settingstruct.h"
#include "startup.h"
#include "surface.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class ConsoleHost;
class FileCommands;
class Prompter;
class QTimer;

// What a console uses of the world; tests replace the parts that would
// block or talk to the user.
struct ConsoleServices {
    std::shared_ptr<Prompter> prompter; // null: real message boxes
    SecondWaiter waitOneSecond;         // null: really waits
    std::function<void()> quit;         // null: QCoreApplication::quit()
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
    QString currentFile() const { return m_currentFile; }
    void setCurrentFile(const QString &path);
    // Sets the modified marker; with refreshOverview an open overview
    // rebuilds its table.
    void setModified(bool modified, bool refreshOverview);
    void showStatus(const QString &text, int milliseconds);
    // Asks to save a modified configuration; true when the caller may
    // discard it.
    bool maybeSave();

    const QList<SettingStruct *> &controls() const { return m_surface.controls(); }
    // The record the control editor fills in and slotSettingsChanged applies.
    SettingStruct *editRecord() { return &m_editRecord; }
    const BackgroundStruct &background() const { return m_background; }
    const PreferencesStruct &preferences() const { return m_preferences; }
    const ConsistenceCheckStruct &checkOptions() const { return m_checks; }
    const CommandTable &commands() const { return m_commands; }
    const QStringList &recentFiles() const { return m_recent.files(); }
    bool triggerTimerRunning() const;
    QString translationFile() const { return m_translationFile; }
    QString localeName() const { return m_localeName; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
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
    void slotCheckTrigger();
    void checkDmxIn();
    void checkPitchBend();
    void slotCheckForSoftwareUpdate(bool GiveInfoForNoUpdates);
    void slotCheckForSoftwareUpdate();
    void slotHelp();
    void slotAbout();
    void slotQuit();
    void slotCloseSettingsOverviewDlg();

private:
    friend class ConsoleHost;
    friend class FileCommands;

    void startUp(const QStringList &args);
    // Sends every control's current value once; with storeOnly the network
    // universes are only filled.
    void sendInitialValues(bool storeOnly);
    // Registers the DMX-IN receive buffers for the controls again and
    // restarts the trigger timer.
    void setUpDmxIn();
    // Deletes the output objects and the universe buffers (New, Open, exit).
    void clearOutputs();
    // Sends one control value and describes it in the status bar.
    void sendOutput(const SettingDmxStruct &output, int value);
    bool locked() const { return m_preferences.lock_screen; }
    void openMainMenu(const QPoint &position, const QPoint &globalPosition);
    void startTriggerTimer();
    void stopTriggerTimer();
    // Hides, disconnects and deletes every open dialog.
    void closeDialogs();
    // Merges the start-up demands of the configuration and waits.
    void runStartupTimeout();

    QString m_translationFile;
    QString m_localeName;
    QString m_currentFile;
    QString m_updateLink;
    QString m_helpLink;
    int m_triggerInterval = 0;

    ConsistenceCheckStruct m_checks;
    PreferencesStruct m_preferences;
    BackgroundStruct m_background;
    SettingStruct m_editRecord;
    std::unique_ptr<SettingStruct> m_clipboard;

    Surface m_surface;
    CommandTable m_commands;
    RecentFiles m_recent;
    std::shared_ptr<Prompter> m_prompter;
    StartupTimeout m_startupTimeout;
    std::function<void()> m_quit;
    std::unique_ptr<ConsoleHost> m_host;
    std::unique_ptr<FileCommands> m_files;
    ConsoleIo m_io;
    QTimer *m_triggerTimer = nullptr;

    std::optional<QPoint> m_lastMenuPosition;
    QWidget *m_movingWidget = nullptr;
    int m_lockAttempts = 0;
    QDateTime m_lastLockAttempt;
    bool m_groupChangeActive = false;
    bool m_groupFirstIncrement = true;
    int m_groupIncrementCounter = 0;
    // slotQuit already asked; the close that follows must not ask again.
    bool m_quitConfirmed = false;
};
