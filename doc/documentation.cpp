#include "doc/documentation.h"

#include "model/attributes.h"
#include "model/configfile.h"
#include "model/typetables.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QXmlStreamWriter>

#include <array>

namespace
{

const char XHTML_NAMESPACE[] = "http://www.w3.org/1999/xhtml";
const char XHTML_DOCTYPE[] = "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                             "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";
const char ICON_RESOURCE[] = ":/images/pultora.png";
const char CONTROL_PICTURE_SIZE[] = "24";
const char DESCRIPTION_ANCHOR[] = "description";
// PNG quality as the toolkit takes it (higher: faster, weaker compression).
// The default squeezes a full-HD window picture for most of a second; this
// takes well under half of that for a file a quarter larger.
const int PNG_QUALITY = 50;

// The kinds of address a protocol has; each kind has its own columns.
enum AddressKind {
    ADDRESS_DMX,
    ADDRESS_MIDI,
    ADDRESS_HTTP,
    ADDRESS_COMMAND,
    ADDRESS_OSC,
    ADDRESS_KINDS
};
using KindSet = std::array<bool, ADDRESS_KINDS>;

int kindOf(quint8 protocol)
{
    switch (protocol) {
    case PT_ARTNET:
    case PT_ACN:
        return ADDRESS_DMX;
    case PT_MIDI:
        return ADDRESS_MIDI;
    case PT_HTTP:
        return ADDRESS_HTTP;
    case PT_COMMAND:
        return ADDRESS_COMMAND;
    case PT_OSC:
        return ADDRESS_OSC;
    default:
        return -1;
    }
}

// An OSC output has its address, target and argument; an input only the
// address it listens to.
int columnsOf(int kind, bool input)
{
    if (kind == ADDRESS_OSC)
        return input ? 1 : 3;
    return kind == ADDRESS_DMX ? 2 : kind == ADDRESS_MIDI ? 3 : 1;
}

// "host:port" with the show's default for an empty host or port 0, an IPv6
// host in brackets.
QString oscTarget(const SettingDmxStruct &out, const PreferencesStruct &prefs)
{
    QString host = out.osc_host.isEmpty() ? prefs.osc_default_host : out.osc_host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const quint16 port = out.osc_port == 0 ? prefs.osc_default_port : out.osc_port;
    return host + QLatin1Char(':') + QString::number(port);
}

// Where an output or an input points.
struct Address {
    quint8 protocol = PT_NONE;
    quint16 universe = 0;
    quint16 channel = 0;
    quint8 midiType = MT_NONE;
    QString http;
    QString command;
    QString osc;       // the OSC address
    QString oscTarget; // outputs: host:port
    quint8 oscArgument = OSC_FLOAT;
};

Address outputAddress(const SettingDmxStruct &out, const PreferencesStruct &prefs)
{
    return {out.protocol_type, out.dmx_universe,      out.dmx_channel,
            out.dmx_midi_type, out.dmx_http_filename, out.dmx_command_filename,
            out.osc_address,   oscTarget(out, prefs), out.osc_argument};
}

Address inputAddress(const SettingDmxInStruct &in)
{
    Address a;
    a.protocol = in.protocol_type_in;
    a.universe = in.dmx_in_universe;
    a.channel = in.dmx_in_channel;
    a.midiType = in.dmx_in_midi_type;
    a.osc = in.dmx_in_osc_address;
    return a;
}

// A table cell: text, or a picture when `picture` holds its data URI.
struct Cell {
    QString text;
    QString picture;
};

struct Row {
    const SettingStruct *control;
    Address address;
    bool advanced;
    bool input = false;
};

class DocumentationWriter
{
    Q_DECLARE_TR_FUNCTIONS(Documentation)

public:
    explicit DocumentationWriter(const DocumentationSource &source);
    QByteArray text();

private:
    void writeHead(const QString &title);
    void writeBody(const QString &title);
    void writeOutputTables();
    void writeInputTables(const QString &groupTitle, const QList<const SettingStruct *> &controls);
    void writePreferences(const PreferencesStruct &prefs);
    void writeTable(const QString &heading, const QStringList &header,
                    const QList<QList<Cell>> &rows);
    void writeTextCell(const char *element, const QString &text);
    QList<Cell> rowCells(const Row &row, const KindSet &kinds);
    static QStringList tableHeader(const KindSet &kinds, bool input);
    QString number(int value) const;
    QString pictureUri(const QImage &picture);
    QString pictureUri(const Picture &picture);

    const DocumentationSource &m_source;
    const PreferencesStruct *m_prefs;
    QString m_projectName;
    bool m_hex;
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
    // Controls often share one picture: each is encoded once.
    QHash<qint64, QString> m_pictures;
    QHash<qint64, QString> m_showPictures; // by Picture::cacheKey()
};

DocumentationWriter::DocumentationWriter(const DocumentationSource &source)
    : m_source(source), m_prefs(source.configuration.preferences),
      m_projectName(m_prefs ? m_prefs->project_name : QStringLiteral("Project")),
      m_hex(m_prefs && m_prefs->hex_value_show), m_xml(&m_bytes)
{
}

QString DocumentationWriter::number(int value) const
{
    if (!m_hex)
        return QString::number(value);
    return QStringLiteral("%1 (0x%2)").arg(value).arg(value, 2, 16, QLatin1Char('0'));
}

QString DocumentationWriter::pictureUri(const QImage &picture)
{
    auto found = m_pictures.constFind(picture.cacheKey());
    if (found != m_pictures.constEnd())
        return *found;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG", PNG_QUALITY);
    const QString uri = QStringLiteral("data:image/png;base64,") + QLatin1String(png.toBase64());
    m_pictures.insert(picture.cacheKey(), uri);
    return uri;
}

// A control's or the background's picture: the bytes the show holds, as
// they are, under the type their content tells. Empty for bytes that are no
// picture a browser could show.
QString DocumentationWriter::pictureUri(const Picture &picture)
{
    auto found = m_showPictures.constFind(picture.cacheKey());
    if (found != m_showPictures.constEnd())
        return *found;
    const QByteArray bytes = picture.data();
    const QString type = QMimeDatabase().mimeTypeForData(bytes).name();
    const QString uri =
        type.startsWith(QLatin1String("image/"))
            ? QStringLiteral("data:%1;base64,").arg(type) + QLatin1String(bytes.toBase64())
            : QString();
    m_showPictures.insert(picture.cacheKey(), uri);
    return uri;
}

QByteArray DocumentationWriter::text()
{
    const QString title = tr("Documentation of %1").arg(m_projectName);
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(1);
    m_xml.writeStartDocument();
    m_xml.writeDTD(QLatin1String(XHTML_DOCTYPE));
    m_xml.writeStartElement(QStringLiteral("html"));
    m_xml.writeAttribute(QStringLiteral("xmlns"), QLatin1String(XHTML_NAMESPACE));
    writeHead(title);
    writeBody(title);
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
    return m_bytes;
}

// Non-empty elements are always written with an end tag, also without text:
// a browser reading the file as HTML takes "<td/>" for an open cell.
void DocumentationWriter::writeTextCell(const char *element, const QString &text)
{
    m_xml.writeStartElement(QLatin1String(element));
    m_xml.writeCharacters(xmlSafe(text));
    m_xml.writeEndElement();
}

void DocumentationWriter::writeHead(const QString &title)
{
    m_xml.writeStartElement(QStringLiteral("head"));
    m_xml.writeEmptyElement(QStringLiteral("meta"));
    m_xml.writeAttribute(QStringLiteral("http-equiv"), QStringLiteral("Content-Type"));
    m_xml.writeAttribute(QStringLiteral("content"), QStringLiteral("text/html; charset=UTF-8"));
    writeTextCell("title", title);
    QFile icon{QString::fromLatin1(ICON_RESOURCE)};
    if (icon.open(QIODevice::ReadOnly)) {
        m_xml.writeEmptyElement(QStringLiteral("link"));
        m_xml.writeAttribute(QStringLiteral("rel"), QStringLiteral("shortcut icon"));
        m_xml.writeAttribute(QStringLiteral("href"),
                             QStringLiteral("data:image/%1;base64,%2")
                                 .arg(QFileInfo(icon.fileName()).suffix(),
                                      QLatin1String(icon.readAll().toBase64())));
    }
    m_xml.writeEndElement();
}

void DocumentationWriter::writeBody(const QString &title)
{
    m_xml.writeStartElement(QStringLiteral("body"));
    m_xml.writeAttribute(QStringLiteral("text"), QStringLiteral("#999900"));
    m_xml.writeAttribute(QStringLiteral("bgcolor"), QStringLiteral("#000000"));
    m_xml.writeAttribute(QStringLiteral("link"), QStringLiteral("#00F0F0"));
    m_xml.writeAttribute(QStringLiteral("vlink"), QStringLiteral("#009090"));
    m_xml.writeAttribute(QStringLiteral("alink"), QStringLiteral("#FF0000"));
    m_xml.writeStartElement(QStringLiteral("center"));

    writeTextCell("h1", title);
    // A file outlives the language it was made in: the date is written the
    // same way in every one.
    const QString date = m_source.created.toString(QStringLiteral("yyyy-MM-dd"));
    const QString time = m_source.created.toString(QStringLiteral("HH:mm:ss"));
    writeTextCell("h3",
                  tr("Created by Pultora %1 on %2 - %3").arg(m_source.programVersion, date, time));

    if (!m_source.windowPicture.isNull()) {
        m_xml.writeEmptyElement(QStringLiteral("img"));
        m_xml.writeAttribute(QStringLiteral("alt"), xmlSafe(m_projectName));
        m_xml.writeAttribute(QStringLiteral("title"), xmlSafe(m_projectName));
        m_xml.writeAttribute(QStringLiteral("src"), pictureUri(m_source.windowPicture));
        m_xml.writeEmptyElement(QStringLiteral("br"));
    }

    // The configuration downloads as a file under the show's name.
    const QByteArray configuration = encodeConfigurationText(
        writeConfiguration(m_source.configuration, m_source.configurationName));
    m_xml.writeStartElement(QStringLiteral("a"));
    m_xml.writeAttribute(QStringLiteral("target"), QStringLiteral("_blank"));
    m_xml.writeAttribute(QStringLiteral("download"), xmlSafe(m_source.configurationName));
    m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("application/xml"));
    m_xml.writeAttribute(QStringLiteral("href"), QStringLiteral("data:application/xml;base64,") +
                                                     QLatin1String(configuration.toBase64()));
    m_xml.writeCharacters(tr("Download Configuration"));
    m_xml.writeEndElement();

    const QString description = m_prefs ? m_prefs->project_description : QString();
    if (!description.isEmpty()) {
        m_xml.writeEmptyElement(QStringLiteral("br"));
        m_xml.writeEmptyElement(QStringLiteral("br"));
        m_xml.writeStartElement(QStringLiteral("a"));
        m_xml.writeAttribute(QStringLiteral("name"), QLatin1String(DESCRIPTION_ANCHOR));
        m_xml.writeCharacters(xmlSafe(description));
        m_xml.writeEndElement();
        m_xml.writeEmptyElement(QStringLiteral("br"));
        m_xml.writeEmptyElement(QStringLiteral("br"));
    }

    const QList<const SettingStruct *> &controls = m_source.configuration.controls;
    writeOutputTables();
    writeInputTables(tr("Control Input"), controls);

    // The background reads like a control named after the project.
    SettingStruct background;
    resetSetting(&background);
    background.name = m_projectName;
    background.description = description;
    if (const BackgroundStruct *bg = m_source.configuration.background) {
        background.position_x = bg->position_x;
        background.position_y = bg->position_y;
        background.size_x = bg->size_x;
        background.size_y = bg->size_y;
        background.color_red = bg->color_red;
        background.color_green = bg->color_green;
        background.color_blue = bg->color_blue;
        background.bitmap = bg->bitmap;
        background.dmx_in = bg->dmx_in;
    }
    writeInputTables(tr("Background Input"), {&background});

    if (m_prefs)
        writePreferences(*m_prefs);

    m_xml.writeEndElement(); // center
    m_xml.writeEndElement(); // body
}

QList<Cell> DocumentationWriter::rowCells(const Row &row, const KindSet &kinds)
{
    const SettingStruct &c = *row.control;
    QList<Cell> cells;
    if (row.advanced) {
        cells << Cell{tr("%1 (advanced)").arg(c.name), {}} << Cell{QStringLiteral("-"), {}}
              << Cell{};
    } else {
        cells << Cell{c.name, {}};
        const QString picture = c.bitmap.isNull() ? QString() : pictureUri(c.bitmap);
        cells << (picture.isEmpty() ? Cell{QStringLiteral("-"), {}} : Cell{c.name, picture});
        cells << Cell{controlTypeLabel(c.control_type), {}};
    }
    const Address &a = row.address;
    cells << Cell{protocolTypeLabel(a.protocol), {}};
    const int own = kindOf(a.protocol);
    for (int kind = 0; kind < ADDRESS_KINDS; ++kind) {
        if (!kinds[kind])
            continue;
        if (kind != own) {
            for (int i = columnsOf(kind, row.input); i > 0; --i)
                cells << Cell{};
            continue;
        }
        switch (kind) {
        case ADDRESS_DMX:
            cells << Cell{number(a.universe + 1), {}} << Cell{number(a.channel + 1), {}};
            break;
        case ADDRESS_MIDI:
            cells << Cell{a.midiType == MT_NONE ? QString() : midiTypeLabel(a.midiType), {}}
                  << Cell{number(a.universe + 1), {}} << Cell{number(a.channel), {}};
            break;
        case ADDRESS_HTTP:
            cells << Cell{a.http, {}};
            break;
        case ADDRESS_OSC:
            cells << Cell{a.osc, {}};
            if (!row.input)
                cells << Cell{a.oscTarget, {}}
                      << Cell{a.oscArgument == OSC_INT ? tr("Integer (DMX value)")
                                                       : tr("Float 0–1"),
                              {}};
            break;
        default:
            cells << Cell{a.command, {}};
            break;
        }
    }
    cells << Cell{c.description.isEmpty() ? QStringLiteral("-") : c.description, {}};
    return cells;
}

// The header of a table whose rows have addresses of `kinds`.
QStringList DocumentationWriter::tableHeader(const KindSet &kinds, bool input)
{
    QStringList header{tr("Name"), tr("Bitmap"), tr("Control Type"), tr("Protocol")};
    if (kinds[ADDRESS_DMX])
        header << tr("Universe") << tr("Channel");
    if (kinds[ADDRESS_MIDI])
        header << tr("MIDI Type") << tr("Channel") << tr("Note");
    if (kinds[ADDRESS_HTTP])
        header << (input ? tr("HTTP Filename") : tr("HTTP File Name"));
    if (kinds[ADDRESS_COMMAND])
        header << (input ? tr("Command Filename") : tr("Command File Name"));
    if (kinds[ADDRESS_OSC]) {
        header << tr("OSC Address");
        if (!input)
            header << tr("Target") << tr("Argument");
    }
    header << tr("Description");
    return header;
}

void DocumentationWriter::writeOutputTables()
{
    const PreferencesStruct defaults;
    const PreferencesStruct &prefs = m_prefs ? *m_prefs : defaults;
    for (quint8 protocol = 0; protocol < PT_COUNT; ++protocol) {
        if (!isOutputProtocol(protocol))
            continue;
        QList<Row> rows;
        KindSet kinds{};
        const auto add = [&](const Row &row) {
            rows << row;
            if (const int kind = kindOf(row.address.protocol); kind >= 0)
                kinds[kind] = true;
        };
        for (const SettingStruct *c : m_source.configuration.controls) {
            const bool advanced =
                hasSecondOutput(c->control_type) && c->dmx_out_advanced.protocol_type != PT_NONE;
            if (c->dmx_out.protocol_type != protocol &&
                !(advanced && c->dmx_out_advanced.protocol_type == protocol))
                continue;
            add({c, outputAddress(c->dmx_out, prefs), false});
            if (advanced)
                add({c, outputAddress(c->dmx_out_advanced, prefs), true});
        }
        if (rows.isEmpty())
            continue;
        QList<QList<Cell>> cells;
        cells.reserve(rows.size());
        for (const Row &row : rows)
            cells << rowCells(row, kinds);
        writeTable(tr("Control Output") + QLatin1Char(' ') + protocolTypeLabel(protocol),
                   tableHeader(kinds, false), cells);
    }
}

void DocumentationWriter::writeInputTables(const QString &groupTitle,
                                           const QList<const SettingStruct *> &controls)
{
    for (quint8 protocol = 0; protocol < PT_COUNT; ++protocol) {
        if (!isInputProtocol(protocol))
            continue;
        KindSet kinds{};
        if (const int kind = kindOf(protocol); kind >= 0)
            kinds[kind] = true;
        QList<QList<Cell>> cells;
        for (const SettingStruct *c : controls)
            if (c->dmx_in.protocol_type_in == protocol)
                cells << rowCells({c, inputAddress(c->dmx_in), false, true}, kinds);
        if (!cells.isEmpty())
            writeTable(groupTitle + QLatin1Char(' ') + protocolTypeLabel(protocol),
                       tableHeader(kinds, true), cells);
    }
}

void DocumentationWriter::writePreferences(const PreferencesStruct &prefs)
{
    const auto onOff = [](bool on) { return on ? tr("On") : tr("Off"); };
    const auto device = [](quint32 number, const QStringList &names) {
        if (number == 0)
            return tr("None");
        return number <= quint32(names.size()) ? names.at(int(number - 1)) : tr("Unknown");
    };
    const MidiDeviceNames &devices = m_source.configuration.midiDevices;
    const QList<std::pair<QString, QString>> rows{
        {tr("Startup Timeout (in Seconds)"), QString::number(prefs.startup_timeout)},
        {tr("Start DMX/MIDI with the First Control Change"), onOff(prefs.startup_dmxsend_later)},
        {tr("Project") + QLatin1Char(' ') + tr("Name"), prefs.project_name},
        {tr("Project") + QLatin1Char(' ') + tr("Description"), QString()},
        {tr("MIDI-OUT"), device(prefs.midi_device_out, devices.outputs)},
        {tr("MIDI-IN"), device(prefs.midi_device_in, devices.inputs)},
        {tr("Show Hexadecimal Values Additionally"), onOff(prefs.hex_value_show)},
        {tr("HTTP") + QLatin1Char(' ') + tr("Server"), prefs.http_server},
        {tr("OSC default target"), oscTarget(SettingDmxStruct(), prefs)},
        {tr("Plain OSC targets"), prefs.osc_plain_targets.join(QStringLiteral(", "))},
        {tr("Command Options"), onOff(prefs.command_flag)},
        {tr("Command Path"), prefs.command_path},
        {tr("Lock Screen"), onOff(prefs.lock_screen)},
    };
    writeTextCell("h2", tr("Preferences"));
    m_xml.writeStartElement(QStringLiteral("table"));
    m_xml.writeAttribute(QStringLiteral("border"), QStringLiteral("1"));
    m_xml.writeStartElement(QStringLiteral("tr"));
    writeTextCell("th", tr("Settings"));
    writeTextCell("th", tr("Value"));
    m_xml.writeEndElement();
    for (int i = 0; i < rows.size(); ++i) {
        m_xml.writeStartElement(QStringLiteral("tr"));
        m_xml.writeStartElement(QStringLiteral("td"));
        writeTextCell("center", rows.at(i).first);
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("td"));
        m_xml.writeStartElement(QStringLiteral("center"));
        if (i == 3 && !prefs.project_description.isEmpty()) {
            m_xml.writeStartElement(QStringLiteral("a"));
            m_xml.writeAttribute(QStringLiteral("href"),
                                 QLatin1Char('#') + QLatin1String(DESCRIPTION_ANCHOR));
            m_xml.writeCharacters(tr("see up"));
            m_xml.writeEndElement();
        } else {
            m_xml.writeCharacters(xmlSafe(rows.at(i).second));
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void DocumentationWriter::writeTable(const QString &heading, const QStringList &header,
                                     const QList<QList<Cell>> &rows)
{
    writeTextCell("h2", heading);
    m_xml.writeStartElement(QStringLiteral("table"));
    m_xml.writeAttribute(QStringLiteral("border"), QStringLiteral("1"));
    m_xml.writeStartElement(QStringLiteral("tr"));
    for (const QString &text : header)
        writeTextCell("th", text);
    m_xml.writeEndElement();
    for (const QList<Cell> &row : rows) {
        m_xml.writeStartElement(QStringLiteral("tr"));
        for (const Cell &cell : row) {
            if (cell.picture.isEmpty()) {
                writeTextCell("td", cell.text);
                continue;
            }
            m_xml.writeStartElement(QStringLiteral("td"));
            m_xml.writeEmptyElement(QStringLiteral("img"));
            m_xml.writeAttribute(QStringLiteral("src"), cell.picture);
            m_xml.writeAttribute(QStringLiteral("width"), QLatin1String(CONTROL_PICTURE_SIZE));
            m_xml.writeAttribute(QStringLiteral("height"), QLatin1String(CONTROL_PICTURE_SIZE));
            m_xml.writeAttribute(QStringLiteral("alt"), xmlSafe(cell.text));
            m_xml.writeAttribute(QStringLiteral("title"), xmlSafe(cell.text));
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

} // namespace

QByteArray documentationText(const DocumentationSource &source)
{
    return DocumentationWriter(source).text();
}

bool writeDocumentation(const DocumentationSource &source, const QString &fileName,
                        QString *errorString)
{
    return writeFileAtomically(fileName, documentationText(source), errorString);
}
