// The preferences window. Its page "Show" holds the show's preferences:
// start options, project, MIDI devices, display, network, HTTP server and
// calls to other computers, the OSC default target and plain targets,
// command options and the screen lock. Its page "This Computer" holds what
// is the user's, not the show's (the update check, the OSC input port, the
// web remote): those are handed to a store of the caller's on OK and Apply
// and never reach the show document, its history or its modified state.
//
// The web remote's PIN is never shown nor kept as typed: a PIN typed is
// hashed (remote/pinguard.h) on OK and Apply and the field emptied; an
// empty field keeps the stored hash.
//
// PreferencesEdit holds the logic on records and is usable without a
// window; Preferences is its view. Applying pushes one ChangePreferences
// command on the show document.
//
// MIDI devices are chosen by name from the lists handed in (the dialog
// never asks the MIDI system itself). A stored device that is not
// connected keeps its name, shown as "name (not connected)", until the
// user picks another entry.
#pragma once

#include "model/settingstruct.h"
#include "model/userpreferences.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;
class ShowDocument;

// One entry of a device list.
struct MidiDeviceEntry {
    QString text;
    int number = 0; // 0 none, n >= 1 the present device n, -1 the stored absent device
};

// One network interface the nodes could use.
struct NetworkChoice {
    QString name;    // "eth0"
    QString address; // "192.168.1.10"
};

// Why the user's preferences cannot be stored with `typedPin` (empty: the
// stored hash stays): a PIN typed that is not 4 to 8 digits, or the web
// remote switched on with no PIN at all. Empty when they can.
QString remoteRefusal(const UserPreferences &user, const QString &typedPin);

class PreferencesEdit
{
public:
    PreferencesEdit();

    // The usable interfaces present now.
    void setNetworks(const QList<NetworkChoice> &networks) { m_networks = networks; }
    // "First usable network", the present interfaces as "name (address)",
    // and the stored interface as "name (not connected)" when it is absent.
    QStringList networkEntries() const;
    int selectedNetwork() const;
    void chooseNetwork(int entry);

    // The devices present now, in the MIDI system's order.
    void setMidiDevices(const QStringList &outputs, const QStringList &inputs);
    // Starts editing the document's preferences; a null document is ignored.
    // A stored device name that is present now selects that device.
    void setPreferences(ShowDocument *document);

    PreferencesStruct &working() { return m_working; }
    const PreferencesStruct &working() const { return m_working; }

    // "None", the present devices, and the stored device when it is absent.
    QList<MidiDeviceEntry> deviceEntries(bool output) const;
    // The entry of deviceEntries() that the working record names.
    int selectedDevice(bool output) const;
    void chooseDevice(bool output, int entry);

    // The plain OSC targets as typed (parseOscTargets()): a valid text sets
    // the working list, any other is kept for refusal() to name.
    void setPlainTargetsText(const QString &text);
    QString plainTargetsText() const { return m_plainTargetsText; }
    // Why the working record cannot be applied (plain targets that do not
    // parse, no default OSC host); empty when it can.
    QString refusal() const;

    // Pushes the working record as one command named `undoText` when it
    // differs from the document's. False without a document to write to,
    // and when refusal() names a reason.
    bool apply(const QString &undoText);

private:
    const QStringList &names(bool output) const { return output ? m_outputs : m_inputs; }
    QString &keptName(bool output) { return output ? m_keptOut : m_keptIn; }
    const QString &keptName(bool output) const { return output ? m_keptOut : m_keptIn; }
    void bind(bool output);

    ShowDocument *m_document = nullptr;
    PreferencesStruct m_working;
    QStringList m_outputs;
    QStringList m_inputs;
    // Stored devices that are not connected now.
    QString m_keptOut;
    QString m_keptIn;
    QList<NetworkChoice> m_networks;
    // The stored interface as opened: listed while it is not there, also
    // after another was picked.
    QString m_openedNetwork;
    QString m_plainTargetsText;
    // The interface names networkEntries() lists, "" for the first usable one.
    QStringList networkNames() const;
};

class Preferences : public QWidget
{
    Q_OBJECT

public:
    explicit Preferences(QWidget *parent = nullptr);

    void setMidiDevices(const QStringList &outputs, const QStringList &inputs);
    void setNetworks(const QList<NetworkChoice> &networks) { m_edit.setNetworks(networks); }
    void setPreferences(ShowDocument *document);
    const PreferencesEdit &edit() const { return m_edit; }

    // Asked when the user ticks "Lock Screen"; false leaves it unticked.
    // The console hands in the question of its lock command, so both ways
    // of locking warn alike and tell how to unlock.
    void setLockConfirmation(std::function<bool()> confirm) { m_confirmLock = std::move(confirm); }
    // Asks a yes/no question (Yes = true); the default is a message box.
    void setQuestionAsker(std::function<bool(const QString &)> ask) { m_ask = std::move(ask); }
    // Tells why Apply or OK applied nothing; the default is a warning box.
    void setRefusalShower(std::function<void(const QString &)> show) { m_refuse = std::move(show); }

    // Shows this user's preferences on their page; OK and Apply hand them to
    // `store` when they changed.
    void setUserPreferences(const UserPreferences &preferences,
                            std::function<void(const UserPreferences &)> store);

signals:
    void valueChanged();
    void valueChangedToDefault();

private slots:
    void pressOk();
    bool pressApply();
    void ChangedStartupTimeout(int Value);
    void ChangedStartupDmxSendLater();
    void ChangedType(int MidiOutTypeIdx, int MidiInTypeIdx);
    void CheckValueHexShow(bool Checked);
    void ChangedDeviceMidiOut(int MidiTypeIdx);
    void ChangedDeviceMidiIn(int MidiTypeIdx);
    void ChangedHttpServer();
    void CheckHttpOtherHosts(bool Checked);
    void CheckCommandFlag(bool Checked);
    void ChangedCommandPath();
    void ChangedProjectName();
    void ChangedProjectDescription();
    void CheckLockUnlockScreen(bool Checked);
    void CheckUpdatesAtStartup(bool Checked);
    void ChangedNetwork(int index);
    void CheckAlwaysBroadcast(bool Checked);

private:
    void buildWidgets();
    QWidget *buildRemoteGroup(QWidget *page);
    void showRemote();
    void fillDevices();
    void updateDisplay();

    PreferencesEdit m_edit;
    std::function<bool()> m_confirmLock;
    std::function<bool(const QString &)> m_ask;
    std::function<void(const QString &)> m_refuse;
    UserPreferences m_user;
    UserPreferences m_userStored;
    std::function<void(const UserPreferences &)> m_userStore;

    QSpinBox *m_timeout = nullptr;
    QSpinBox *m_grid = nullptr;
    QCheckBox *m_sendLater = nullptr;
    QCheckBox *m_hex = nullptr;
    QCheckBox *m_checkUpdates = nullptr;
    QCheckBox *m_autoPatch = nullptr;
    QLineEdit *m_name = nullptr;
    QPlainTextEdit *m_description = nullptr;
    QComboBox *m_midiOut = nullptr;
    QComboBox *m_midiIn = nullptr;
    QLineEdit *m_http = nullptr;
    QCheckBox *m_httpOtherHosts = nullptr;
    QCheckBox *m_command = nullptr;
    QLineEdit *m_commandPath = nullptr;
    QCheckBox *m_lock = nullptr;
    QComboBox *m_network = nullptr;
    QCheckBox *m_broadcast = nullptr;
    QLineEdit *m_oscHost = nullptr;
    QSpinBox *m_oscPort = nullptr;
    QLineEdit *m_oscPlain = nullptr;
    QSpinBox *m_oscInPort = nullptr;
    QTabWidget *m_pages = nullptr;
    QCheckBox *m_remoteEnabled = nullptr;
    QSpinBox *m_remotePort = nullptr;
    QComboBox *m_remoteInterface = nullptr;
    QCheckBox *m_remoteOperate = nullptr;
    QLineEdit *m_remotePin = nullptr;
    QCheckBox *m_remoteRisky = nullptr;
};
