// Writing and loading a large configuration: 10,000 controls of mixed types
// with outputs, inputs and some 32x32 pictures. Prints the median time of
// writeConfiguration and of the load into records (parse and element
// readers, no widgets), and the peak resident memory.
//   bench_model [--short]
#include "model/configfile.h"
#include "model/configuration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace
{

constexpr double kTargetMs = 250.0;
constexpr double kTargetPeakMb = 150.0;

// Keeps what the loader reads, as the console would before making widgets.
class CollectingHost : public ConfigurationHost
{
public:
    QList<SettingStruct> controls;
    BackgroundStruct background;
    PreferencesStruct preferences;
    ConsistenceCheckStruct checks;

    void applyControl(const SettingStruct &record) override { controls.append(record); }
    void applyBackground(const BackgroundStruct &record) override { background = record; }
    void applyPreferences(const PreferencesStruct &record) override { preferences = record; }
    void applyCheckOptions(const ConsistenceCheckStruct &record) override { checks = record; }
    void runSilentConsistencyCheck() override {}
    void setCurrentFile(const QString &) override {}
    void showStatus(const QString &) override {}
    void setModified(bool) override {}
    void showWarning(const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "warning: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool allowOutputs(const OutputRequest &) override { return false; }
    void setBusy(bool) override {}
    MidiDeviceNames midiDevices() const override { return {}; }
};

QList<SettingStruct> makeControls(int count)
{
    QImage picture(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(x * 8, y * 8, 128, 255));
    const quint8 protocols[] = {PT_ARTNET, PT_ACN, PT_MIDI, PT_HTTP, PT_COMMAND};
    QList<SettingStruct> controls;
    controls.reserve(count);
    for (int i = 0; i < count; ++i) {
        SettingStruct c;
        c.control_type = static_cast<quint8>(i % CT_COUNT);
        c.name = QStringLiteral("Control %1\nRow %2").arg(i).arg(i / 100);
        if (i % 3 == 0)
            c.description = QStringLiteral("Dimmer group %1 & friends").arg(i % 17);
        c.position_x = static_cast<quint32>((i % 100) * 60);
        c.position_y = static_cast<quint32>((i / 100) * 60);
        c.color_red = static_cast<quint8>(i);
        c.dmx_out.protocol_type = protocols[i % 5];
        c.dmx_out.dmx_channel = static_cast<quint16>(i % 128);
        c.dmx_out.dmx_universe = static_cast<quint16>(i % 16);
        c.dmx_out.dmx_value_1 = 0;
        c.dmx_out.dmx_value_2 = 127;
        c.dmx_out.dmx_http_filename = QStringLiteral("cue?id=%1");
        if (i % 4 == 0) {
            c.dmx_out_advanced.protocol_type = PT_ARTNET;
            c.dmx_out_advanced.dmx_channel = static_cast<quint16>(i % 512);
        }
        if (i % 2 == 0) {
            c.dmx_in.protocol_type_in = PT_ARTNET;
            c.dmx_in.dmx_in_channel = static_cast<quint16>(i % 512);
        }
        if (i % 10 == 0) {
            // Its own image, as after loading a document.
            QImage own = picture.copy();
            own.setPixel(0, 0, qRgba(i % 256, 0, 0, 255));
            c.bitmap = Picture::fromImage(own);
        }
        controls.append(c);
    }
    return controls;
}

double medianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double minMs(const std::vector<double> &samples)
{
    return *std::min_element(samples.begin(), samples.end());
}

double peakMb()
{
#ifdef Q_OS_UNIX
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--short") == 0;
    const int count = quick ? 2000 : 10000;
    const int runs = quick ? 3 : 7;

    const QList<SettingStruct> controls = makeControls(count);
    const ConsistenceCheckStruct checks;
    const PreferencesStruct preferences;
    const BackgroundStruct background;
    ConfigurationSource source;
    source.checks = &checks;
    source.preferences = &preferences;
    source.background = &background;
    for (const SettingStruct &c : controls)
        source.controls.append(&c);

    std::vector<double> writeMs;
    std::vector<double> loadMs;
    QString text;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        text = writeConfiguration(source, QStringLiteral("bench.ptra"));
        writeMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    const QByteArray bytes = encodeConfigurationText(text);
    if (qEnvironmentVariableIsSet("BENCH_MODEL_DUMP"))
        writeConfigurationFile(qEnvironmentVariable("BENCH_MODEL_DUMP"), text);
    int loaded = 0;
    for (int run = 0; run < runs; ++run) {
        CollectingHost host;
        LoadOptions options;
        options.fromText = true;
        QElapsedTimer timer;
        timer.start();
        // Decoding is part of loading a file.
        if (!loadConfiguration(host, decodeConfigurationText(bytes), options))
            return 1;
        loadMs.push_back(timer.nsecsElapsed() / 1e6);
        loaded = host.controls.size();
    }

    const double write = medianMs(writeMs);
    const double load = medianMs(loadMs);
    const double peak = peakMb();
    std::printf("controls: %d, document: %.1f MB, runs: %d\n", count, bytes.size() / 1e6, runs);
    std::printf("writeConfiguration: median %.1f ms, best %.1f ms (target < %.0f ms for 10000)\n",
                write, minMs(writeMs), kTargetMs);
    std::printf("load into records:  median %.1f ms, best %.1f ms (target < %.0f ms for 10000), "
                "%d controls\n",
                load, minMs(loadMs), kTargetMs, loaded);
    std::printf("peak memory: %.1f MB (target < %.0f MB)\n", peak, kTargetPeakMb);
    if (loaded != count)
        return 1;
    if (!quick && (write > kTargetMs || load > kTargetMs || peak > kTargetPeakMb)) {
        std::printf("TARGET MISSED\n");
        return 2;
    }
    return 0;
}
