// The documentation of a large show: 2,000 and 10,000 controls of mixed
// types and protocols, every tenth with a picture of its own, and a
// 1920x1080 picture of the window. Prints the median time of
// writeDocumentation (page built, pictures encoded, file written) and the
// file size; checks that the page parses and names every control.
//   bench_doc [--short]   (short: 2,000 controls, one run, no targets)
#include "doc/documentation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

struct Case {
    int controls;
    double targetMs;
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
        c.name = QStringLiteral("Control %1").arg(i);
        if (i % 3 == 0)
            c.description = QStringLiteral("Dimmer group %1 & friends").arg(i % 17);
        c.dmx_out.protocol_type = protocols[i % 5];
        c.dmx_out.dmx_channel = static_cast<quint16>(i % 128);
        c.dmx_out.dmx_universe = static_cast<quint16>(i % 16);
        c.dmx_out.dmx_midi_type = MT_CONTROL_CHANGE;
        c.dmx_out.dmx_http_filename = QStringLiteral("cue?id=%1").arg(i);
        c.dmx_out.dmx_command_filename = QStringLiteral("go.sh %1").arg(i);
        if (i % 4 == 0) {
            c.dmx_out_advanced.protocol_type = protocols[(i / 4) % 5];
            c.dmx_out_advanced.dmx_channel = static_cast<quint16>(i % 512);
        }
        if (i % 2 == 0) {
            c.dmx_in.protocol_type_in = static_cast<quint8>(1 + i % 3);
            c.dmx_in.dmx_in_channel = static_cast<quint16>(i % 512);
        }
        if (i % 10 == 0) {
            QImage own = picture.copy();
            own.setPixel(0, 0, qRgba(i % 256, 0, 0, 255));
            c.bitmap = Picture::fromImage(own);
        }
        controls.append(c);
    }
    return controls;
}

// A console surface: a grey background with coloured, shaded controls.
QImage windowPicture()
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(QColor(127, 127, 127));
    QPainter painter(&image);
    for (int i = 0; i < 600; ++i) {
        const QRect r((i % 30) * 64 + 4, (i / 30) * 54 + 4, 56, 46);
        QLinearGradient shade(r.topLeft(), r.bottomRight());
        shade.setColorAt(0, QColor::fromHsv((i * 37) % 360, 200, 255));
        shade.setColorAt(1, QColor::fromHsv((i * 37) % 360, 255, 96));
        painter.fillRect(r, shade);
    }
    return image;
}

// Every control named in the page, and the page well-formed.
bool pageNamesEveryControl(const QByteArray &page, const QList<SettingStruct> &controls)
{
    QSet<QString> cells;
    QXmlStreamReader xml(page);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("td"))
            cells.insert(xml.readElementText(QXmlStreamReader::IncludeChildElements));
    if (xml.hasError()) {
        std::printf("page does not parse: %s\n", qPrintable(xml.errorString()));
        return false;
    }
    for (const SettingStruct &c : controls)
        if (!cells.contains(c.name) &&
            (c.dmx_out.protocol_type != PT_NONE || c.dmx_in.protocol_type_in != PT_NONE)) {
            std::printf("control %s is missing\n", qPrintable(c.name));
            return false;
        }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--short") == 0;
    const int runs = quick ? 1 : 5;
    std::vector<Case> cases{{2000, 1000.0}};
    if (!quick)
        cases.push_back({10000, 3000.0});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("documentation.html"));
    const QImage window = windowPicture();
    const ConsistenceCheckStruct checks;
    PreferencesStruct preferences;
    preferences.project_description = QStringLiteral("Benchmark show");
    const BackgroundStruct background;
    bool missed = false;
    for (const Case &c : cases) {
        const QList<SettingStruct> controls = makeControls(c.controls);
        DocumentationSource source;
        source.configuration.checks = &checks;
        source.configuration.preferences = &preferences;
        source.configuration.background = &background;
        for (const SettingStruct &control : controls)
            source.configuration.controls.append(&control);
        source.configurationName = QStringLiteral("bench.ptra");
        source.programVersion = QStringLiteral("v0.8");
        source.created = QDateTime::currentDateTime();
        source.windowPicture = window;

        std::vector<double> ms;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            if (!writeDocumentation(source, path)) {
                std::printf("cannot write %s\n", qPrintable(path));
                return 1;
            }
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !pageNamesEveryControl(file.readAll(), controls))
            return 1;
        const double median = ms[ms.size() / 2];
        std::printf("documentation of %d controls with a 1920x1080 picture: median %.0f ms, "
                    "best %.0f ms (target < %.0f ms), file %.1f MB\n",
                    c.controls, median, ms.front(), c.targetMs, file.size() / 1e6);
        missed = missed || median > c.targetMs;
    }
    if (!quick && missed) {
        std::printf("TARGET MISSED\n");
        return 2;
    }
    return 0;
}
