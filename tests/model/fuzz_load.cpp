// Fuzzes the document loader with arbitrary bytes, as if a user opened them
// as a configuration file. Whatever loads must also save and load again.
#include "model/configfile.h"
#include "model/configuration.h"
#include "tests/model/recordinghost.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdint>
#include <cstdlib>

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
    RecordingHost host;
    host.answerYes = true;
    host.devices = MidiDeviceNames{{"Out A", "Out B"}, {"In A"}, {}};
    if (!loadConfiguration(host, decodeConfigurationText(bytes), options))
        return 0;

    ConfigurationSource source;
    source.checks = host.checks.isEmpty() ? nullptr : &host.checks.last();
    source.preferences = host.preferences.isEmpty() ? nullptr : &host.preferences.last();
    source.background = host.backgrounds.isEmpty() ? nullptr : &host.backgrounds.last();
    source.midiDevices = host.midiDevices();
    for (SettingStruct &control : host.controls)
        source.controls.append(&control);
    const QString saved = writeConfiguration(source, QStringLiteral("fuzz.ptra"));
    RecordingHost again;
    again.answerYes = true;
    again.devices = host.devices;
    if (!loadConfiguration(again, saved, options) || again.controls.size() != host.controls.size())
        std::abort(); // a saved configuration that does not load again loses the show
    return 0;
}
