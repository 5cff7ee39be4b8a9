// Fuzzes the document loader with arbitrary bytes, as if a user opened them
// as a configuration file. Whatever loads must also save and load again.
#include "model/configfile.h"
#include "model/configuration.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdint>
#include <cstdlib>

namespace
{

class CollectingHost : public ConfigurationHost
{
public:
    QList<SettingStruct> controls;
    QList<BackgroundStruct> backgrounds;
    QList<PreferencesStruct> preferences;
    QList<ConsistenceCheckStruct> checks;

    void applyControl(const SettingStruct &record) override { controls.append(record); }
    void applyBackground(const BackgroundStruct &record) override { backgrounds.append(record); }
    void applyPreferences(const PreferencesStruct &record) override { preferences.append(record); }
    void applyCheckOptions(const ConsistenceCheckStruct &record) override { checks.append(record); }
    void runSilentConsistencyCheck() override {}
    void setCurrentFile(const QString &) override {}
    void showStatus(const QString &) override {}
    void setModified(bool) override {}
    void showWarning(const QString &, const QString &) override {}
    bool allowOutputs(const OutputRequest &) override { return true; }
    void setBusy(bool) override {}
    MidiDeviceNames midiDevices() const override
    {
        return MidiDeviceNames{{"Out A", "Out B"}, {"In A"}, {}};
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    LoadOptions options;
    options.fromText = true;
    CollectingHost host;
    if (!loadConfiguration(host, decodeConfigurationText(bytes), options))
        return 0;

    ConfigurationSource source;
    source.checks = host.checks.isEmpty() ? nullptr : &host.checks.last();
    source.preferences = host.preferences.isEmpty() ? nullptr : &host.preferences.last();
    source.background = host.backgrounds.isEmpty() ? nullptr : &host.backgrounds.last();
    source.midiDevices = host.midiDevices();
    for (SettingStruct &control : host.controls) {
        source.controls.append(&control);
    }
    const QString saved = writeConfiguration(source, QStringLiteral("fuzz.ptra"));
    CollectingHost again;
    if (!loadConfiguration(again, saved, options) || again.controls.size() != host.controls.size())
        std::abort(); // a saved configuration that does not load again loses the show
    return 0;
}
