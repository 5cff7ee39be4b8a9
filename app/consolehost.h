// The console as the document loader sees it: each element the loader reads
// is applied through the console's own records and slots.
#pragma once

#include "configuration.h"

class Pultora;

class ConsoleHost : public ConfigurationHost
{
public:
    explicit ConsoleHost(Pultora &console) : m_console(console) {}

    void applyControl(const SettingStruct &record) override;
    void applyBackground(const BackgroundStruct &record) override;
    void applyPreferences(const PreferencesStruct &record) override;
    void applyCheckOptions(const ConsistenceCheckStruct &record) override;
    void runSilentConsistencyCheck() override;
    void setCurrentFile(const QString &path) override;
    void showStatus(const QString &text) override;
    void setModified(bool modified) override;
    void showWarning(const QString &title, const QString &text) override;
    bool askYesNo(const QString &text) override;
    void setBusy(bool busy) override;
    MidiDeviceNames midiDevices() const override;

private:
    Pultora &m_console;
};
