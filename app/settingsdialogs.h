// The console's background, preferences and About windows and its update
// check. Each window is created on first use and kept; the console's slots
// only hand over to this class. The windows change the show by pushing
// commands on the document themselves, and tell the console by their
// valueChanged() signal, connected to its slots by signature text.
#pragma once

#include "model/configuration.h"
#include "model/userpreferences.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class AboutInfo;
class CheckSoftwareUpdate;
class Preferences;
class Prompter;
class QMainWindow;
class SettingsBackground;
class ShowDocument;

class SettingsDialogs : public QObject
{
    Q_OBJECT

public:
    // `window` is the console: it receives slotSettingsChangedBackground()
    // and slotPreferencesChanged(), and its status line takes reports that
    // must not pop up over a locked console. `devices` lists the MIDI
    // devices present (the default asks the MIDI system).
    SettingsDialogs(ShowDocument &document, std::shared_ptr<Prompter> prompter, QMainWindow *window,
                    std::function<MidiDeviceNames()> devices = {});
    ~SettingsDialogs() override;

    // Each does nothing while the screen is locked.
    void showBackground();
    void showPreferences();
    void showAbout();
    // With giveInfo the check runs now and reports every outcome; without,
    // it runs 30 s later, only when this user switched the check on (off
    // unless they did, usersettings.h), and reports only a newer version.
    void checkForUpdate(bool giveInfo);
    // Hides, disconnects and deletes the open windows (not the check).
    void closeAll();
    // Called with the per-user preferences each time the preferences window
    // stores them, after they are written.
    void setUserPreferencesHandler(std::function<void(const UserPreferences &)> handler)
    {
        m_userPreferencesHandler = std::move(handler);
    }

    SettingsBackground *background() const { return m_background; }
    Preferences *preferences() const { return m_preferences; }
    AboutInfo *about() const { return m_about; }

    // The lock command's question; true when the user answers Yes.
    static bool confirmLock(Prompter &prompter, QWidget *parent);
    // Where the update check asks: the environment's
    // PULTORA_UPDATE_CHECK_URL, else the settings store's
    // "update_check_address", else the maker's address.
    static QString updateCheckAddress();

private:
    bool locked() const;
    void report(const QString &text);

    ShowDocument &m_document;
    std::shared_ptr<Prompter> m_prompter;
    QMainWindow *m_window;
    std::function<MidiDeviceNames()> m_devices;
    SettingsBackground *m_background = nullptr;
    Preferences *m_preferences = nullptr;
    AboutInfo *m_about = nullptr;
    CheckSoftwareUpdate *m_updateCheck = nullptr;
    std::function<void(const UserPreferences &)> m_userPreferencesHandler;
};
