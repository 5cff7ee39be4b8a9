#include "model/documentelements.h"

#include "model/elementfields.h"
#include "model/modellog.h"

namespace
{

const QString kProject = QStringLiteral("Project");

QString deviceName(quint32 number, const QStringList &names)
{
    if (number == 0 || number > static_cast<quint32>(names.size()))
        return QString();
    return names.at(static_cast<int>(number - 1));
}

quint32 deviceNumber(const AttributeSource &e, const QString &name, const QStringList &names,
                     const MidiDeviceNames &devices)
{
    // A missing attribute means "None", which must not pick a device that
    // happens to carry that name.
    const QString text = e.text(name);
    if (text.isEmpty())
        return 0;
    const quint32 number =
        devices.match ? devices.match(names, text) : static_cast<quint32>(names.indexOf(text) + 1);
    if (number == 0 || number > static_cast<quint32>(names.size())) {
        qCDebug(lcModel) << "MIDI device" << text << "not present";
        return 0;
    }
    return static_cast<quint8>(number);
}

QString checkName(int index)
{
    return QStringLiteral("check_%1").arg(index + 1);
}

} // namespace

void writePreferencesFields(AttributeSink &e, const PreferencesStruct &record,
                            const MidiDeviceNames &devices)
{
    e.number(QStringLiteral("version"), 1);
    if (record.startup_timeout != 0)
        e.number(QStringLiteral("startup_timeout"), record.startup_timeout);
    if (!record.startup_dmxsend_later)
        e.text(QStringLiteral("startup_dmxsend_later"), QStringLiteral("0"));
    if (!record.project_name.isEmpty() && record.project_name != kProject)
        e.text(QStringLiteral("project_name"), record.project_name);
    // The description reads back as empty when missing, so any non-empty
    // text (also "Project") must be written to survive.
    if (!record.project_description.isEmpty())
        e.text(QStringLiteral("project_description"), record.project_description);
    // Written only when changed, so files of older versions stay as they are.
    if (record.snap_grid != PreferencesStruct().snap_grid)
        e.number(QStringLiteral("snap_grid"), record.snap_grid);
    // A device that is not connected now keeps the name it was read with.
    QString out = deviceName(record.midi_device_out, devices.outputs);
    if (out.isEmpty())
        out = record.midi_device_out_name;
    if (!out.isEmpty())
        e.text(QStringLiteral("midi_device_out"), out);
    QString in = deviceName(record.midi_device_in, devices.inputs);
    if (in.isEmpty())
        in = record.midi_device_in_name;
    if (!in.isEmpty())
        e.text(QStringLiteral("midi_device_in"), in);
    if (record.hex_value_show)
        e.text(QStringLiteral("hex_value_show"), QStringLiteral("1"));
    // A missing server reads back as the default one; an emptied server (no
    // HTTP output wanted) is therefore written as an empty text.
    if (record.http_server != defaultHttpServer())
        e.text(QStringLiteral("http_server"), record.http_server);
    if (record.command_flag)
        e.text(QStringLiteral("command_flag"), QStringLiteral("1"));
    if (!record.command_path.isEmpty())
        e.text(QStringLiteral("command_path"), record.command_path);
    if (record.lock_screen)
        e.text(QStringLiteral("lock_screen"), QStringLiteral("1"));
    if (!record.net_interface.isEmpty())
        e.text(QStringLiteral("net_interface"), record.net_interface);
    if (record.artnet_always_broadcast)
        e.text(QStringLiteral("artnet_always_broadcast"), QStringLiteral("1"));
    const PreferencesStruct defaults;
    if (record.osc_default_host != defaults.osc_default_host)
        e.text(QStringLiteral("osc_default_host"), record.osc_default_host);
    if (record.osc_default_port != defaults.osc_default_port)
        e.number(QStringLiteral("osc_default_port"), record.osc_default_port);
    if (!record.osc_plain_targets.isEmpty())
        e.text(QStringLiteral("osc_plain_targets"),
               record.osc_plain_targets.join(QLatin1Char(',')));
}

bool readPreferencesFields(const AttributeSource &e, PreferencesStruct *record,
                           const MidiDeviceNames &devices)
{
    resetPreferences(record);
    if (!e.isVersionOne())
        return false;
    record->startup_timeout = e.field<quint16>(QStringLiteral("startup_timeout"), 0);
    record->startup_dmxsend_later = e.flag(QStringLiteral("startup_dmxsend_later"), true);
    record->project_name = e.text(QStringLiteral("project_name"), kProject);
    record->project_description = e.text(QStringLiteral("project_description"));
    record->snap_grid = qMax<quint16>(
        1, e.field<quint16>(QStringLiteral("snap_grid"), PreferencesStruct().snap_grid));
    record->midi_device_in =
        deviceNumber(e, QStringLiteral("midi_device_in"), devices.inputs, devices);
    record->midi_device_in_name = e.text(QStringLiteral("midi_device_in"));
    record->midi_device_out =
        deviceNumber(e, QStringLiteral("midi_device_out"), devices.outputs, devices);
    record->midi_device_out_name = e.text(QStringLiteral("midi_device_out"));
    record->hex_value_show = e.flag(QStringLiteral("hex_value_show"), false);
    record->http_server = e.text(QStringLiteral("http_server"), defaultHttpServer());
    const bool commandFlagRequested = e.flag(QStringLiteral("command_flag"), false);
    record->command_path = e.text(QStringLiteral("command_path"));
    record->lock_screen = e.flag(QStringLiteral("lock_screen"), false);
    record->net_interface = e.text(QStringLiteral("net_interface"));
    record->artnet_always_broadcast = e.flag(QStringLiteral("artnet_always_broadcast"), false);
    record->osc_default_host =
        e.text(QStringLiteral("osc_default_host"), PreferencesStruct().osc_default_host);
    // A port beyond 16 bits cannot be a target: the default one instead.
    const qint64 port =
        e.number(QStringLiteral("osc_default_port"), PreferencesStruct().osc_default_port);
    record->osc_default_port = port <= 65535 ? quint16(port) : PreferencesStruct().osc_default_port;
    const QStringList targets =
        e.text(QStringLiteral("osc_plain_targets")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &target : targets)
        if (const QString trimmed = target.trimmed(); !trimmed.isEmpty())
            record->osc_plain_targets << trimmed;
    return commandFlagRequested;
}

void writeConsistenceCheckFields(AttributeSink &e, const ConsistenceCheckStruct &record)
{
    e.number(QStringLiteral("version"), 1);
    const bool checks[] = {record.check_1, record.check_2, record.check_3, record.check_4,
                           record.check_5};
    for (int i = 0; i < 5; ++i)
        if (!checks[i])
            e.text(checkName(i), QStringLiteral("0"));
}

void readConsistenceCheckFields(const AttributeSource &e, ConsistenceCheckStruct *record)
{
    resetConsistenceCheck(record);
    if (!e.isVersionOne())
        return;
    bool *checks[] = {&record->check_1, &record->check_2, &record->check_3, &record->check_4,
                      &record->check_5};
    for (int i = 0; i < 5; ++i)
        *checks[i] = e.flag(checkName(i), true);
}

void writePreferencesElement(QDomDocument &document, QDomElement &parent,
                             const PreferencesStruct *record, const MidiDeviceNames &devices)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement element = document.createElement(QStringLiteral("preferences"));
    AttributeSink sink(element);
    writePreferencesFields(sink, *record, devices);
    parent.appendChild(element);
}

bool readPreferencesElement(const QDomElement &element, PreferencesStruct *record,
                            const MidiDeviceNames &devices,
                            const std::function<bool()> &confirmCommandFlag)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("preferences"))
        return false;
    if (readPreferencesFields(AttributeSource(element), record, devices))
        record->command_flag = confirmCommandFlag && confirmCommandFlag();
    return true;
}

void writeConsistenceCheckElement(QDomDocument &document, QDomElement &parent,
                                  const ConsistenceCheckStruct *record)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement element = document.createElement(QStringLiteral("consistence_check"));
    AttributeSink sink(element);
    writeConsistenceCheckFields(sink, *record);
    parent.appendChild(element);
}

bool readConsistenceCheckElement(const QDomElement &element, ConsistenceCheckStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("consistence_check"))
        return false;
    readConsistenceCheckFields(AttributeSource(element), record);
    return true;
}
