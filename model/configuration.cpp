#include "model/configuration.h"

#include "model/configfile.h"
#include "model/documentprescan.h"
#include "model/elementfields.h"
#include "model/elements.h"
#include "model/modellog.h"
#include "model/typetables.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#ifndef PULTORA_VERSION_STRING
#define PULTORA_VERSION_STRING "0.8.0.0"
#endif

namespace
{

const qint64 kMaxConfigurationBytes = 256 * 1024 * 1024;

// Keeps the host's wait cursor on for the lifetime of a load.
class BusyScope
{
public:
    explicit BusyScope(ConfigurationHost &host) : m_host(host) { m_host.setBusy(true); }
    ~BusyScope() { m_host.setBusy(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    ConfigurationHost &m_host;
};

struct DocumentHeader {
    QString name;
    QString softwareVersion;
    QString date;
    QString time;
    QString languageCall;
    QString languageFile;
    bool withLanguages = true; // the built-in document predates them
};

// Streams the document: DOCTYPE, root with its header, then the children in
// their fixed order. Attributes keep the order they are written in.
QString writeDocument(const DocumentHeader &header, const ConfigurationSource &source)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeDTD(QStringLiteral("<!DOCTYPE Pultora>"));
    writer.writeStartElement(QStringLiteral("PultoraConfig"));
    AttributeSink root(writer);
    root.text(QStringLiteral("name"), header.name);
    root.text(QStringLiteral("author"), QStringLiteral("pultora"));
    root.text(QStringLiteral("version"), QStringLiteral("1"));
    root.text(QStringLiteral("software_version"), header.softwareVersion);
    root.text(QStringLiteral("date"), header.date);
    root.text(QStringLiteral("time"), header.time);
    if (header.withLanguages) {
        root.text(QStringLiteral("language_call"), header.languageCall);
        root.text(QStringLiteral("language_file"), header.languageFile);
    }

    AttributeSink element(writer);
    if (source.checks) {
        writer.writeEmptyElement(QStringLiteral("consistence_check"));
        writeConsistenceCheckFields(element, *source.checks);
    }
    if (source.preferences) {
        writer.writeEmptyElement(QStringLiteral("preferences"));
        writePreferencesFields(element, *source.preferences, source.midiDevices);
    }
    if (source.background) {
        writer.writeEmptyElement(QStringLiteral("background"));
        writeBackgroundFields(element, *source.background);
    }
    for (const SettingStruct *control : source.controls) {
        if (!control)
            continue;
        writer.writeEmptyElement(QStringLiteral("control"));
        writeControlFields(element, *control);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    // Auto-formatting opens the text with a line break before the DOCTYPE.
    if (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    return text;
}

// Everything a document holds, read completely before any of it is applied,
// so a document that turns out malformed half way changes nothing.
struct ParsedDocument {
    enum Kind { Control, Background, Preferences, Checks };
    std::vector<std::pair<Kind, int>> order; // kind and index into its list
    std::vector<SettingStruct> controls;
    QList<BackgroundStruct> backgrounds;
    QList<PreferencesStruct> preferences;
    QList<bool> commandFlagRequested; // parallel to preferences
    QList<ConsistenceCheckStruct> checks;

    QString rootName;
    bool hasOwnElements = false; // any of the four kinds, also skipped controls
    qint64 controlCount = 0;     // controls to create, also those past the limit

    // Where the text stopped being XML.
    qint64 errorLine = 0;
    qint64 errorColumn = 0;
    QString errorText;

    // Controls left out for their version: how many, the first names.
    int unknownVersions = 0;
    QStringList unknownVersionNames;

    // The first number limited to its field.
    OutOfRange outOfRange;
    QString outOfRangeElement;
    QString outOfRangeControl; // the control's name, for a control

    // The pixels the controls cover as shown, once their sizes are limited.
    qint64 controlsArea = 0;

    // The first background limited in size, as read and as kept.
    bool backgroundLimited = false;
    quint32 backgroundRead[3] = {};
    quint32 backgroundKept[3] = {};

    // Pictures that do not decode; they are kept and saved as they are.
    int unshownPictures = 0;
    QString firstUnshownPicture; // whose it is, as the status line says it

    // Counts a picture that does not decode; true for the first.
    bool firstUnshown(const Picture &picture)
    {
        if (picture.isNull() || picture.canShow())
            return false;
        return unshownPictures++ == 0;
    }
};

enum class ParseResult { Read, Malformed, Cancelled };

const int kProgressInterval = 500;
const int kListedUnknownVersions = 5;

// Reads the root's child elements (their own children are ignored). The root
// is only noted; whether the document is a configuration is for the caller
// to decide. Controls past the limit are counted but not kept.
ParseResult parseDocument(const QString &text, ConfigurationHost &host, const LoadOptions &options,
                          ParsedDocument *parsed)
{
    if (const std::optional<PrescanRefusal> refused = prescanDocument(text)) {
        parsed->errorLine = refused->line;
        parsed->errorColumn = refused->column;
        parsed->errorText = refused->reason;
        qCDebug(lcModel) << "refused before parsing at" << parsed->errorLine << ":"
                         << parsed->errorColumn << parsed->errorText;
        return ParseResult::Malformed;
    }
    const qint64 controlLimit =
        MAX_CONTROLS - (options.append ? qMax(0, options.existingControls) : 0);
    // Asking the MIDI system for its devices can be slow and chatty; only a
    // preferences element that names a device needs them.
    std::optional<MidiDeviceNames> devices;
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    qint64 elements = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++elements % kProgressInterval == 0 &&
            !host.loadProgress(reader.characterOffset(), text.size()))
            return ParseResult::Cancelled;
        if (++depth == 1)
            parsed->rootName = reader.qualifiedName().toString();
        if (depth != 2)
            continue;
        const QStringView name = reader.qualifiedName();
        const QXmlStreamAttributes streamAttributes = reader.attributes();
        AttributeSource attributes(streamAttributes);
        OutOfRange outOfRange;
        if (!parsed->outOfRange.isSet())
            attributes.setOutOfRange(&outOfRange);
        if (name == QLatin1String("control")) {
            parsed->hasOwnElements = true;
            if (!options.createControls)
                continue;
            if (!attributes.isVersionOne()) {
                // Read with its reset values it would be one more "Name"
                // button at 0,0, indistinguishable from its neighbours.
                if (parsed->unknownVersions++ < kListedUnknownVersions)
                    parsed->unknownVersionNames << attributes.text(QStringLiteral("name"));
                continue;
            }
            if (++parsed->controlCount > controlLimit)
                continue;
            parsed->order.emplace_back(ParsedDocument::Control, int(parsed->controls.size()));
            SettingStruct &control = parsed->controls.emplace_back();
            readControlFields(attributes, &control);
            if (outOfRange.isSet())
                parsed->outOfRangeControl = control.name;
            if (parsed->firstUnshown(control.bitmap))
                parsed->firstUnshownPicture =
                    QCoreApplication::translate("Pultora", "control \"%1\"").arg(control.name);
        } else if (name == QLatin1String("background")) {
            parsed->hasOwnElements = true;
            parsed->order.emplace_back(ParsedDocument::Background, int(parsed->backgrounds.size()));
            parsed->backgrounds.append(BackgroundStruct());
            BackgroundStruct &background = parsed->backgrounds.last();
            readBackgroundFields(attributes, &background);
            if (parsed->firstUnshown(background.bitmap))
                parsed->firstUnshownPicture =
                    QCoreApplication::translate("Pultora", "the background");
            const quint32 read[3] = {background.size_x, background.size_y,
                                     background.stretch_factor};
            if (limitBackgroundSize(&background) && !parsed->backgroundLimited) {
                parsed->backgroundLimited = true;
                std::copy(read, read + 3, parsed->backgroundRead);
                parsed->backgroundKept[0] = background.size_x;
                parsed->backgroundKept[1] = background.size_y;
                parsed->backgroundKept[2] = background.stretch_factor;
            }
        } else if (name == QLatin1String("preferences")) {
            parsed->hasOwnElements = true;
            parsed->order.emplace_back(ParsedDocument::Preferences,
                                       int(parsed->preferences.size()));
            parsed->preferences.append(PreferencesStruct());
            if (!devices && (!attributes.text(QStringLiteral("midi_device_out")).isEmpty() ||
                             !attributes.text(QStringLiteral("midi_device_in")).isEmpty()))
                devices = host.midiDevices();
            parsed->commandFlagRequested.append(readPreferencesFields(
                attributes, &parsed->preferences.last(), devices ? *devices : MidiDeviceNames()));
        } else if (name == QLatin1String("consistence_check")) {
            parsed->hasOwnElements = true;
            parsed->order.emplace_back(ParsedDocument::Checks, int(parsed->checks.size()));
            parsed->checks.append(ConsistenceCheckStruct());
            readConsistenceCheckFields(attributes, &parsed->checks.last());
        } else {
            qCDebug(lcModel) << "ignoring element" << name;
        }
        if (outOfRange.isSet()) {
            parsed->outOfRange = outOfRange;
            parsed->outOfRangeElement = name.toString();
        }
    }
    if (reader.hasError()) {
        parsed->errorLine = reader.lineNumber();
        parsed->errorColumn = reader.columnNumber();
        parsed->errorText = reader.errorString();
        qCDebug(lcModel) << "parse error at" << parsed->errorLine << ":" << parsed->errorColumn
                         << parsed->errorText;
        return ParseResult::Malformed;
    }
    qCDebug(lcModel) << "read" << parsed->controlCount << "control elements";
    return ParseResult::Read;
}

// What a document's outputs would do beyond the show protocols, for the
// host to allow or not.
OutputRequest outputRequest(const ParsedDocument &parsed, const PreferencesStruct &preferences,
                            bool commandsRequested)
{
    OutputRequest request;
    request.commandsRequested = commandsRequested;
    request.commandFolder = preferences.command_path;
    request.httpServer = preferences.http_server;
    request.oscDefaultHost = preferences.osc_default_host;
    request.networkInterface = preferences.net_interface;
    for (const SettingStruct &control : parsed.controls) {
        for (const SettingDmxStruct *output : {&control.dmx_out, &control.dmx_out_advanced}) {
            if (output->protocol_type == PT_COMMAND && !output->dmx_command_filename.isEmpty())
                request.commands << output->dmx_command_filename;
            else if (output->protocol_type == PT_HTTP && !output->dmx_http_filename.isEmpty())
                request.httpLinks << output->dmx_http_filename;
            // An output without an address or a target sends nothing.
            else if (output->protocol_type == PT_OSC && !output->osc_address.isEmpty() &&
                     (output->osc_port != 0 || preferences.osc_default_port != 0))
                request.oscHosts << (output->osc_host.isEmpty() ? preferences.osc_default_host
                                                                : output->osc_host);
        }
    }
    return request;
}

// Limits the controls' sizes at the stretch factor the show will have,
// noting the first one limited as a number out of range, and adds up the
// pixels they cover.
void limitControlSizes(ParsedDocument &parsed, quint32 stretch)
{
    for (const auto &[kind, index] : parsed.order)
        if (kind == ParsedDocument::Background)
            stretch = parsed.backgrounds.at(index).stretch_factor;
    for (SettingStruct &control : parsed.controls) {
        const quint32 read[2] = {control.size_x, control.size_y};
        if (limitControlSize(&control, stretch) && !parsed.outOfRange.isSet()) {
            const bool x = read[0] != control.size_x;
            parsed.outOfRange.attribute = x ? QStringLiteral("size_x") : QStringLiteral("size_y");
            parsed.outOfRange.value = QString::number(x ? read[0] : read[1]);
            parsed.outOfRangeElement = QStringLiteral("control");
            parsed.outOfRangeControl = control.name;
        }
        parsed.controlsArea += shownControlArea(control, stretch);
    }
}

// False when the host cancelled while the controls were applied.
bool applyDocument(ConfigurationHost &host, ParsedDocument &parsed)
{
    const qint64 controls = qint64(parsed.controls.size());
    qint64 applied = 0;
    for (const auto &[kind, index] : parsed.order) {
        switch (kind) {
        case ParsedDocument::Control:
            host.applyControl(parsed.controls.at(index));
            if (++applied % kProgressInterval == 0 && !host.loadProgress(applied, controls))
                return false;
            break;
        case ParsedDocument::Background:
            host.applyBackground(parsed.backgrounds.at(index));
            break;
        case ParsedDocument::Preferences: {
            PreferencesStruct &preferences = parsed.preferences[index];
            // Running programs and calling other computers must be the
            // user's decision, not the document's.
            const bool requested = parsed.commandFlagRequested.at(index);
            const bool allowed = host.allowOutputs(outputRequest(parsed, preferences, requested));
            preferences.command_flag = requested && allowed;
            preferences.http_other_hosts = allowed;
            host.applyPreferences(preferences);
            break;
        }
        case ParsedDocument::Checks:
            host.applyCheckOptions(parsed.checks.at(index));
            break;
        }
    }
    return true;
}

// What was left out or limited, one warning per kind.
void reportRepairs(ConfigurationHost &host, const ParsedDocument &parsed, const QString &where)
{
    const QString title = QCoreApplication::translate("Pultora", "Pultora");
    if (parsed.unknownVersions > 0) {
        QStringList names;
        for (const QString &name : parsed.unknownVersionNames)
            names << QLatin1Char('"') + name + QLatin1Char('"');
        if (parsed.unknownVersions > names.size())
            names << QStringLiteral("…");
        host.showWarning(title,
                         QCoreApplication::translate(
                             "Pultora", "%n control(s) with an unknown version were not loaded: %1",
                             nullptr, parsed.unknownVersions)
                             .arg(names.join(QLatin1String(", "))));
    }
    if (parsed.outOfRange.isSet()) {
        const QString text =
            parsed.outOfRangeElement == QLatin1String("control")
                ? QCoreApplication::translate(
                      "Pultora", "Some numbers in %1 were out of range and have been limited, "
                                 "first: control \"%2\", attribute \"%3\" = %4.")
                      .arg(where, parsed.outOfRangeControl, parsed.outOfRange.attribute,
                           parsed.outOfRange.value)
                : QCoreApplication::translate(
                      "Pultora", "Some numbers in %1 were out of range and have been limited, "
                                 "first: element \"%2\", attribute \"%3\" = %4.")
                      .arg(where, parsed.outOfRangeElement, parsed.outOfRange.attribute,
                           parsed.outOfRange.value);
        host.showWarning(title, text);
    }
    if (parsed.backgroundLimited) {
        const quint32 *read = parsed.backgroundRead;
        const quint32 *kept = parsed.backgroundKept;
        host.showWarning(title, QCoreApplication::translate(
                                    "Pultora",
                                    "The background of %1 had a size that cannot be shown (%2 × %3 "
                                    "at %4 %) and has been limited to %5 × %6 at %7 %.")
                                    .arg(where, QString::number(read[0]), QString::number(read[1]),
                                         QString::number(read[2]), QString::number(kept[0]),
                                         QString::number(kept[1]), QString::number(kept[2])));
    }
}

QString includedConfigurationNotLoaded()
{
    return QCoreApplication::translate("Pultora",
                                       "The included configuration could not be loaded! It is "
                                       "not valid Pultora XML content (*.ptra).");
}

// A readable document that is not loaded is told like a file that cannot be
// read; from text like text that does not parse, the reason added only when
// withTextReason is set.
void refuse(ConfigurationHost &host, const QString &source, const LoadOptions &options,
            const QString &reason, bool withTextReason)
{
    if (options.fromText)
        host.showWarning(QCoreApplication::translate("Pultora", "XML-Error"),
                         withTextReason ? includedConfigurationNotLoaded() + QLatin1Char('\n') +
                                              reason + QLatin1Char('.')
                                        : includedConfigurationNotLoaded());
    else
        host.showWarning(
            QCoreApplication::translate("Pultora", "Pultora"),
            QCoreApplication::translate("Pultora", "The file %1 could not be read!\n%2.")
                .arg(source, reason));
}

// What the status line adds to the load's message: nothing, or the
// pictures that cannot be shown.
QString pictureNote(const ParsedDocument &parsed)
{
    if (parsed.unshownPictures == 0)
        return QString();
    return QStringLiteral(" — ") +
           QCoreApplication::translate("Pultora",
                                       "%n picture(s) cannot be shown and will be saved "
                                       "unchanged, first: %1.",
                                       nullptr, parsed.unshownPictures)
               .arg(parsed.firstUnshownPicture);
}

void report(ConfigurationHost &host, const QString &source, const LoadOptions &options,
            const QString &note)
{
    if (!options.append) {
        if (options.fromText) {
            host.setCurrentFile(QStringLiteral("config_default.ptra"));
            host.showStatus(
                QCoreApplication::translate("Pultora", "Configuration has been loaded") + note);
            host.setModified(true);
        } else {
            host.setCurrentFile(source);
            host.showStatus(
                QCoreApplication::translate("Pultora", "File %1 has been loaded!").arg(source) +
                note);
            host.setModified(false);
        }
    } else {
        host.showStatus(
            (options.fromText
                 ? QCoreApplication::translate("Pultora",
                                               "Configuration has been loaded and appended!")
                 : QCoreApplication::translate("Pultora", "File %1 has been loaded and appended!")
                       .arg(source)) +
            note);
        host.setModified(true);
    }
}

struct DefaultControl {
    const char *name;
    quint8 type;
    quint32 x, y, w, h;
    quint8 red, green, blue;
    quint8 value1, value2, value3;
    int channel; // -1: no output
};

// The built-in configuration: primary colours on Art-Net universe 1.
const DefaultControl kDefaultControls[] = {
    {"Push\nRed", CT_BUTTON_PUSH, 20, 20, 50, 50, 255, 0, 0, 0, 255, 127, 0},
    {"Push\nGreen", CT_BUTTON_PUSH, 70, 20, 50, 50, 0, 255, 0, 0, 255, 127, 1},
    {"Push\nBlue\nInv.", CT_BUTTON_PUSH, 120, 20, 50, 50, 0, 0, 255, 255, 0, 127, 2},
    {"Push\nWhite\nInv.", CT_BUTTON_PUSH, 170, 20, 50, 50, 255, 255, 255, 255, 0, 127, 3},
    {"horizontal Slider Red", CT_FADER_HORIZONTAL, 20, 90, 200, 20, 255, 0, 0, 0, 255, 127, 5},
    {"horizontal Slider Green", CT_FADER_HORIZONTAL, 20, 120, 200, 20, 0, 255, 0, 0, 255, 127, 6},
    {"horizontal Slider Red Blue Inve", CT_FADER_HORIZONTAL, 380, 90, 200, 20, 0, 0, 255, 255, 0,
     127, 7},
    {"horizontal Slider Red White Inv", CT_FADER_HORIZONTAL, 380, 120, 200, 20, 255, 255, 255, 255,
     0, 127, 8},
    {"Vertical Slider Red Invert", CT_FADER_VERTICAL, 260, 20, 20, 200, 255, 0, 0, 255, 0, 127, 9},
    {"Vertical Slider Green Invert", CT_FADER_VERTICAL, 280, 20, 20, 200, 0, 255, 0, 255, 0, 127,
     10},
    {"Vertical Slider Blue", CT_FADER_VERTICAL, 300, 20, 20, 200, 0, 0, 255, 0, 255, 127, 11},
    {"Vertical Slider White", CT_FADER_VERTICAL, 320, 20, 20, 200, 255, 255, 255, 0, 255, 127, 12},
    {"Switch\nRed", CT_BUTTON_SWITCH, 380, 20, 50, 50, 255, 0, 0, 0, 255, 127, 13},
    {"Switch\nGreen", CT_BUTTON_SWITCH, 430, 20, 50, 50, 0, 255, 0, 0, 255, 127, 14},
    {"Switch\nBlue\nInv.", CT_BUTTON_SWITCH, 480, 20, 50, 50, 0, 0, 255, 255, 0, 127, 15},
    {"Knob Red", CT_KNOB, 20, 190, 50, 50, 255, 0, 0, 255, 0, 127, 17},
    {"Knob Green", CT_KNOB, 70, 190, 50, 50, 0, 255, 0, 255, 0, 127, 18},
    {"Knob Blue", CT_KNOB, 120, 190, 50, 50, 0, 0, 255, 0, 255, 127, 19},
    {"Knob White", CT_KNOB, 170, 190, 50, 50, 255, 255, 255, 0, 255, 127, 20},
    {"Encoder Red", CT_ENCODER, 380, 190, 50, 50, 255, 0, 0, 255, 0, 127, 21},
    {"Encoder Green", CT_ENCODER, 430, 190, 50, 50, 0, 255, 0, 255, 0, 127, 22},
    {"Encoder Blue", CT_ENCODER, 480, 190, 50, 50, 0, 0, 255, 0, 255, 127, 23},
    {"Encoder White", CT_ENCODER, 530, 190, 50, 50, 255, 255, 255, 0, 255, 127, 24},
    {"Label\nRed", CT_LABEL, 20, 140, 50, 50, 255, 0, 0, 0, 255, 127, -1},
    {"Label\nGreen", CT_LABEL, 70, 140, 50, 50, 0, 255, 0, 0, 255, 127, -1},
    {"Label\nBlue", CT_LABEL, 120, 140, 50, 50, 0, 0, 255, 0, 255, 127, -1},
    {"Label\nWhite", CT_LABEL, 170, 140, 50, 50, 255, 255, 255, 0, 255, 127, -1},
    {"Jog Wheel Red", CT_ENCODER, 0, 250, 150, 150, 255, 0, 0, 255, 0, 127, 25},
    {"Jog Wheel Green", CT_ENCODER, 150, 250, 150, 150, 0, 255, 0, 255, 0, 127, 26},
    {"Jog Wheel Blue", CT_ENCODER, 300, 250, 150, 150, 0, 0, 255, 0, 255, 127, 27},
    {"Jog Wheel White", CT_ENCODER, 450, 250, 150, 150, 255, 255, 255, 0, 255, 127, 28},
    {"Switch\nWhite\nInv.", CT_BUTTON_SWITCH, 530, 20, 50, 50, 255, 255, 255, 255, 0, 127, 16},
    {"Label\nWhite", CT_LABEL, 530, 140, 50, 50, 255, 255, 255, 0, 255, 127, -1},
    {"Label\nBlue", CT_LABEL, 480, 140, 50, 50, 0, 0, 255, 0, 255, 127, -1},
    {"Label\nGreen", CT_LABEL, 430, 140, 50, 50, 0, 255, 0, 0, 255, 127, -1},
    {"Label\nRed", CT_LABEL, 380, 140, 50, 50, 255, 0, 0, 0, 255, 127, -1},
};

QString buildDefaultConfiguration()
{
    DocumentHeader header;
    header.name = QStringLiteral("config_default.ptra");
    header.softwareVersion = QStringLiteral("0.4.7.0");
    header.date = QStringLiteral("2012/09/19");
    header.time = QStringLiteral("07:55:23");
    header.withLanguages = false;

    const ConsistenceCheckStruct checks;
    BackgroundStruct background;
    background.size_x = 600;
    background.size_y = 420;
    ConfigurationSource source;
    source.checks = &checks;
    source.background = &background;

    QList<SettingStruct> controls;
    for (const DefaultControl &row : kDefaultControls) {
        SettingStruct control;
        control.name = QString::fromLatin1(row.name);
        control.control_type = row.type;
        control.position_x = row.x;
        control.position_y = row.y;
        control.size_x = row.w;
        control.size_y = row.h;
        control.color_red = row.red;
        control.color_green = row.green;
        control.color_blue = row.blue;
        if (row.channel >= 0) {
            control.dmx_out.protocol_type = PT_ARTNET;
            control.dmx_out.dmx_value_1 = row.value1;
            control.dmx_out.dmx_value_2 = row.value2;
            control.dmx_out.dmx_value_3 = row.value3;
            control.dmx_out.dmx_channel = static_cast<quint16>(row.channel);
            control.dmx_out.dmx_universe = 0;
        }
        controls.append(control);
    }
    for (const SettingStruct &control : controls)
        source.controls.append(&control);
    return writeDocument(header, source);
}

} // namespace

QString writeConfiguration(const ConfigurationSource &source, const QString &fileName)
{
    const QDateTime now = QDateTime::currentDateTime();
    DocumentHeader header;
    header.name = QFileInfo(fileName).fileName();
    header.softwareVersion = QStringLiteral(PULTORA_VERSION_STRING);
    header.date = now.toString(QStringLiteral("yyyy/MM/dd"));
    header.time = now.toString(QStringLiteral("hh:mm:ss"));
    header.languageCall = source.languageCall;
    header.languageFile = source.languageFile;
    return writeDocument(header, source);
}

bool loadConfiguration(ConfigurationHost &host, const QString &source, const LoadOptions &options)
{
    QString text;
    if (options.fromText) {
        text = source;
    } else {
        QFile file(source);
        QString reason;
        const QFileInfo info(source);
        // Devices and pipes could block the console for good; a file far
        // beyond any configuration would only exhaust the memory.
        if (info.exists() && !info.isFile())
            reason = QCoreApplication::translate("Pultora", "Not a regular file");
        else if (info.size() > kMaxConfigurationBytes)
            reason = QCoreApplication::translate("Pultora", "File too large");
        else if (!file.open(QIODevice::ReadOnly))
            reason = file.errorString();
        if (!reason.isEmpty()) {
            host.showWarning(
                QCoreApplication::translate("Pultora", "Pultora"),
                QCoreApplication::translate("Pultora", "The file %1 could not be read!\n%2.")
                    .arg(source, reason));
            return false;
        }
        text = decodeConfigurationText(file.readAll());
    }

    BusyScope busy(host);
    ParsedDocument parsed;
    switch (parseDocument(text, host, options, &parsed)) {
    case ParseResult::Cancelled:
        return false;
    case ParseResult::Malformed:
        host.showWarning(QCoreApplication::translate("Pultora", "XML-Error"),
                         (options.fromText
                              ? includedConfigurationNotLoaded()
                              : QCoreApplication::translate(
                                    "Pultora", "Could not load file %1! It is not a valid "
                                               "Pultora XML file (*.ptra).")
                                    .arg(source)) +
                             QCoreApplication::translate("Pultora", "\nLine %1, column %2: %3")
                                 .arg(QString::number(parsed.errorLine),
                                      QString::number(parsed.errorColumn), parsed.errorText));
        return false;
    case ParseResult::Read:
        break;
    }
    text.clear();

    // Any well-formed XML parses; saving over a picture or a web page the
    // user opened by mistake would destroy it. Older documents under
    // another root still hold configuration elements and load.
    if (parsed.rootName != QLatin1String("PultoraConfig") && !parsed.hasOwnElements) {
        refuse(host, source, options,
               QCoreApplication::translate("Pultora",
                                           "Not a Pultora configuration (root element <%1>)")
                   .arg(parsed.rootName),
               false);
        return false;
    }
    const qint64 existing = options.append ? qMax(0, options.existingControls) : 0;
    if (existing + parsed.controlCount > MAX_CONTROLS) {
        refuse(host, source, options,
               existing > 0
                   ? QCoreApplication::translate(
                         "Pultora",
                         "It holds %1 controls and %2 are loaded already; at most %3 are "
                         "supported")
                         .arg(QString::number(parsed.controlCount), QString::number(existing),
                              QString::number(MAX_CONTROLS))
                   : QCoreApplication::translate("Pultora",
                                                 "It holds %1 controls; at most %2 are supported")
                         .arg(QString::number(parsed.controlCount), QString::number(MAX_CONTROLS)),
               true);
        return false;
    }
    limitControlSizes(parsed, options.stretch);
    const qint64 area = parsed.controlsArea + (options.append ? options.existingArea : 0);
    if (area > MAX_CONTROLS_AREA) {
        refuse(host, source, options,
               QCoreApplication::translate(
                   "Pultora", "Its controls would cover %1 million pixels; at most %2 million "
                              "are supported")
                   .arg(QString::number(double(area) / 1e6, 'f', 1),
                        QString::number(MAX_CONTROLS_AREA / 1000000)),
               true);
        return false;
    }

    if (!applyDocument(host, parsed))
        return false;
    reportRepairs(host, parsed,
                  options.fromText
                      ? QCoreApplication::translate("Pultora", "the included configuration")
                      : source);
    host.runSilentConsistencyCheck();
    report(host, source, options, pictureNote(parsed));
    return true;
}

QString defaultConfigurationText()
{
    static const QString text = buildDefaultConfiguration();
    return text;
}
