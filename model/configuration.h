// The configuration document: writing the whole configuration as text and
// loading a document into whatever holds the configuration (the console).
//
// The loader knows no window: it reports to a ConfigurationHost. The console
// implements the host; tests use a recording double.
#pragma once

#include "model/settingstruct.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Names of the MIDI devices present, as the system reports them. The
// preferences element stores devices by name; numbers are 1-based indexes
// into these lists (0 = none).
struct MidiDeviceNames {
    QStringList outputs;
    QStringList inputs;
    // Finds a stored name among names (1-based, 0 = none). Unset: the
    // names must match exactly. The console sets one that also finds a
    // device whose client the MIDI system renamed.
    std::function<quint32(const QStringList &names, const QString &stored)> match;
};

// What the writer needs of the console.
struct ConfigurationSource {
    const ConsistenceCheckStruct *checks = nullptr; // null: element not written
    const PreferencesStruct *preferences = nullptr;
    const BackgroundStruct *background = nullptr;
    QList<const SettingStruct *> controls;
    QString languageCall; // system locale name
    QString languageFile; // installed translation, or empty
    MidiDeviceNames midiDevices;
};

// What a document's outputs would do beyond the show protocols: run
// programs on this computer and call web addresses. Made for each
// preferences element the loader applies.
struct OutputRequest {
    bool commandsRequested = false; // the element switches the command output on
    QStringList commands;           // every command of the document's outputs, as written
    QString commandFolder;          // the element's command path
    QString httpServer;             // the element's HTTP server
    QStringList httpLinks;          // every link of the document's HTTP outputs
    QStringList oscHosts;           // every host the document's OSC outputs send to
    QString oscDefaultHost;         // the element's OSC default host
    QString networkInterface;       // the element's network interface (empty: the first)
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
    // A preferences element is about to be applied: true lets the document's
    // commands run (when it asks for the command output) and its HTTP outputs
    // call computers other than this one; false keeps both off. The host
    // decides whether to ask the user.
    virtual bool allowOutputs(const OutputRequest &request) = 0;
    // Wait cursor on (true) and off (false) around the load.
    virtual void setBusy(bool busy) = 0;
    // MIDI devices present, for the preferences element.
    virtual MidiDeviceNames midiDevices() const = 0;
    // Progress of a long load; false cancels it. Called about every 500
    // elements while the document is read (done and total in characters of
    // the text) and about every 500 controls while they are applied (done
    // and total in controls). Cancelled while reading, the load returns
    // false with no message and the host untouched; cancelled while
    // applying, it stops at once and returns false without the consistency
    // check and report: the host then holds part of the document and must
    // restore what it held before.
    virtual bool loadProgress(qint64 done, qint64 total)
    {
        Q_UNUSED(done);
        Q_UNUSED(total);
        return true;
    }
};

// Builds the document text: "<!DOCTYPE Pultora>", the root "PultoraConfig"
// with its header (fileName without its directory, author, versions, local
// date and time, languages), then consistence_check, preferences,
// background and one control per record, indented by one space. Missing
// records are left out. Save the text with
// writeConfigurationFile() (configfile.h).
QString writeConfiguration(const ConfigurationSource &source, const QString &fileName);

// The most controls a surface holds; beyond this the toolkit runs out of
// stack painting them.
constexpr int MAX_CONTROLS = 20000;

struct LoadOptions {
    bool fromText = false;      // source is the document text itself
    bool append = false;        // changes only messages and the modified state
    bool createControls = true; // false skips control elements
    int existingControls = 0;   // controls on the surface, counted when appending
    qint64 existingArea = 0;    // the pixels they cover as shown, counted when appending
    quint32 stretch = 100;      // the show's stretch factor unless the document sets one
};

// Reads a document (a file, UTF-8 or else Windows-1252, or the text itself)
// and applies it to the host in document order. The whole document is read
// before anything is applied, so a document that is refused changes nothing:
// the host is shown one warning and false is returned; nothing is applied,
// no current file, status or modified state is set. Refused are
// - a file that cannot be opened ("Pultora": "The file %1 could not be
//   read!\n%2.");
// - a document that does not parse ("XML-Error", naming line and column),
//   also one refused by prescanDocument() (documentprescan.h) before it is
//   parsed;
// - a document that is no configuration: its root is not "PultoraConfig"
//   and it has none of the elements control, background, preferences or
//   consistence_check (as an unreadable file; from text as a parse error);
// - more than MAX_CONTROLS controls, counting existingControls when
//   appending, or controls covering more than MAX_CONTROLS_AREA pixels as
//   shown (elements.h), counting existingArea when appending (as an
//   unreadable file; from text as a parse error with the reason added).
// A control element whose version is not 1 is left out; a number larger than
// its field is limited to the field, a control size outside what
// limitControlSize() allows at the show's stretch factor is limited (told as
// a number out of range), and a background size outside what
// limitBackgroundSize() allows is limited. Each of the three is reported
// once per load in a warning "Pultora" after the document is applied. Each
// preferences element asks the host allowOutputs() with what the document's
// outputs would do; the command output and HTTP calls to other computers
// are on only when the host allows them. Elements a document lacks are not
// applied, so the host keeps its records. Afterwards the host runs its
// silent consistency check and gets the current file, status line and
// modified state of a load, an append, from a file or from text. The host
// may cancel through loadProgress().
bool loadConfiguration(ConfigurationHost &host, const QString &source, const LoadOptions &options);

// The built-in default configuration (36 controls), to be loaded from text.
QString defaultConfigurationText();
