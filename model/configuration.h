// The configuration document: writing the whole configuration as text and
// loading a document into whatever holds the configuration (the console).
//
// The loader knows no window: it reports to a ConfigurationHost. The console
// implements the host; tests use a recording double.
#pragma once

#include "settingstruct.h"

#include <QList>
#include <QString>
#include <QStringList>

// Names of the MIDI devices present, as the system reports them. The
// preferences element stores devices by name; numbers are 1-based indexes
// into these lists (0 = none).
struct MidiDeviceNames {
    QStringList outputs;
    QStringList inputs;
};

// What the writer needs of the console.
struct ConfigurationSource {
    const ConsistenceCheckStruct *checks = nullptr; // null: element not written
    const PreferencesStruct *preferences = nullptr;
    const BackgroundStruct *background = nullptr;
    QList<const SettingStruct *> controls; // records without widget are skipped
    QString languageCall;                  // system locale name
    QString languageFile;                  // installed translation, or empty
    MidiDeviceNames midiDevices;
};

// What the loader tells the console. Every call happens on the caller's thread
// during loadConfiguration().
class ConfigurationHost
{
public:
    virtual ~ConfigurationHost() = default;

    // A control read from the document, to be created on the surface.
    virtual void applyControl(const SettingStruct &record) = 0;
    virtual void applyBackground(const BackgroundStruct &record) = 0;
    virtual void applyPreferences(const PreferencesStruct &record) = 0;
    virtual void applyCheckOptions(const ConsistenceCheckStruct &record) = 0;
    // Runs the consistency check, reporting only when it finds something.
    virtual void runSilentConsistencyCheck() = 0;
    virtual void setCurrentFile(const QString &path) = 0;
    virtual void showStatus(const QString &text) = 0;
    virtual void setModified(bool modified) = 0;
    virtual void showWarning(const QString &title, const QString &text) = 0;
    // Yes/No question titled "Pultora"; No is the default. True on Yes.
    virtual bool askYesNo(const QString &text) = 0;
    // Wait cursor on (true) and off (false) around the load.
    virtual void setBusy(bool busy) = 0;
    // MIDI devices present, for the preferences element.
    virtual MidiDeviceNames midiDevices() const = 0;
};

// Builds the document text. fileName is the target file; its name without
// the directory goes into the header.
QString writeConfiguration(const ConfigurationSource &source, const QString &fileName);

struct LoadOptions {
    bool fromText = false;      // source is the document text itself
    bool append = false;        // changes only messages and the modified state
    bool createControls = true; // false skips control elements
};

// Reads a document and applies it to the host. Returns true when the
// document was read; false after a read or parse error, which the host was
// shown as a warning.
bool loadConfiguration(ConfigurationHost &host, const QString &source, const LoadOptions &options);

// The built-in default configuration (36 controls).
QString defaultConfigurationText();
