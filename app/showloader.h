// Reads a configuration into a show-to-be: the loader fills a ShowContent
// starting from what the console keeps when a file lacks an element, and
// asks and warns through the Prompter. Nothing on the console changes
// here; the file commands turn the result into one command on the document.
// A document whose outputs would run programs or call other computers asks
// the user first, unless this user allowed the same before (outputconsent.h);
// also one without preferences, whose controls would otherwise run under
// the consent given to the show before.
#pragma once

#include "model/configuration.h"
#include "model/showdocument.h"

class LoadProgress;
class Prompter;
class QWidget;

struct LoadedShow {
    ShowContent content;        // the whole show (a load) or the base with its elements (append)
    QList<SettingStruct> added; // the controls the document brought
    QString currentFile;        // what the loader named current (load only)
    QString status;
    bool modified = false;        // the loader's verdict
    bool droppedControls = false; // controls of unknown type were left out
};

// The MIDI devices present; also finds a device whose client the MIDI
// system renamed on reconnect.
MidiDeviceNames consoleMidiDevices();

class ShowLoader : public ConfigurationHost
{
public:
    ShowLoader(Prompter &prompter, QWidget *window, LoadProgress *progress,
               std::function<MidiDeviceNames()> devices);

    // Loads `source` on top of `base` (its controls are kept for an
    // append, replaced otherwise). False when nothing may change: a
    // warning was shown or the user cancelled.
    bool load(const QString &source, const LoadOptions &options, const ShowContent &base,
              LoadedShow *result);

    void applyControl(const SettingStruct &record) override;
    void applyBackground(const BackgroundStruct &record) override;
    void applyPreferences(const PreferencesStruct &record) override;
    void applyCheckOptions(const ConsistenceCheckStruct &record) override;
    void runSilentConsistencyCheck() override;
    void setCurrentFile(const QString &path) override;
    void showStatus(const QString &text) override;
    void setModified(bool modified) override;
    void showWarning(const QString &title, const QString &text) override;
    bool allowOutputs(const OutputRequest &request) override;
    void setBusy(bool busy) override;
    MidiDeviceNames midiDevices() const override;
    bool loadProgress(qint64 done, qint64 total) override;

private:
    // Asks unless the consent is empty or was given before; `also` are
    // controls besides the request's whose outputs count too.
    bool allowOutputs(const OutputRequest &request, const QList<SettingStruct> &also);

    Prompter &m_prompter;
    QWidget *m_window;
    LoadProgress *m_progress;
    std::function<MidiDeviceNames()> m_devices;
    LoadedShow *m_result = nullptr;
    // The controls an append keeps: the document's preferences reach them too.
    QList<SettingStruct> m_kept;
    bool m_preferencesRead = false;
};
