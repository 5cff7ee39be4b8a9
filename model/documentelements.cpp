#include "documentelements.h"

#include "attributes.h"
#include "modellog.h"

namespace
{

const QString kProject = QStringLiteral("Project");

// A flag stored as a number: missing or negative gives fallback.
bool readFlag(const QDomElement &e, const QString &name, bool fallback)
{
    const qint64 value = attr::number(e, name, -1);
    return value < 0 ? fallback : value != 0;
}

QString deviceName(quint32 number, const QStringList &names)
{
    if (number == 0 || number > static_cast<quint32>(names.size()))
        return QString();
    return names.at(static_cast<int>(number - 1));
}

quint32 deviceNumber(const QDomElement &e, const QString &name, const QStringList &names)
{
    // A missing attribute means "None", which must not pick a device that
    // happens to carry that name.
    const QString text = e.attribute(name);
    if (text.isEmpty())
        return 0;
    const int index = names.indexOf(text);
    if (index < 0) {
        qCDebug(lcModel) << "MIDI device" << text << "not present";
        return 0;
    }
    return static_cast<quint8>(index + 1);
}

} // namespace

void writePreferencesElement(QDomDocument &document, QDomElement &parent,
                             const PreferencesStruct *record, const MidiDeviceNames &devices)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement e = document.createElement(QStringLiteral("preferences"));
    e.setAttribute(QStringLiteral("version"), 1);
    if (record->startup_timeout != 0)
        attr::setNumber(e, QStringLiteral("startup_timeout"), record->startup_timeout);
    if (!record->startup_dmxsend_later)
        e.setAttribute(QStringLiteral("startup_dmxsend_later"), QStringLiteral("0"));
    if (!record->project_name.isEmpty() && record->project_name != kProject)
        e.setAttribute(QStringLiteral("project_name"), record->project_name);
    // The description reads back as empty when missing, so any non-empty
    // text (also "Project") must be written to survive.
    if (!record->project_description.isEmpty())
        e.setAttribute(QStringLiteral("project_description"), record->project_description);
    const QString out = deviceName(record->midi_device_out, devices.outputs);
    if (!out.isEmpty())
        e.setAttribute(QStringLiteral("midi_device_out"), out);
    const QString in = deviceName(record->midi_device_in, devices.inputs);
    if (!in.isEmpty())
        e.setAttribute(QStringLiteral("midi_device_in"), in);
    if (record->hex_value_show)
        e.setAttribute(QStringLiteral("hex_value_show"), QStringLiteral("1"));
    // A missing server reads back as the default one; an emptied server (no
    // HTTP output wanted) is therefore written as an empty text.
    if (record->http_server != defaultHttpServer())
        e.setAttribute(QStringLiteral("http_server"), record->http_server);
    if (record->command_flag)
        e.setAttribute(QStringLiteral("command_flag"), QStringLiteral("1"));
    if (!record->command_path.isEmpty())
        e.setAttribute(QStringLiteral("command_path"), record->command_path);
    if (record->lock_screen)
        e.setAttribute(QStringLiteral("lock_screen"), QStringLiteral("1"));
    parent.appendChild(e);
}

bool readPreferencesElement(const QDomElement &element, PreferencesStruct *record,
                            const MidiDeviceNames &devices,
                            const std::function<bool()> &confirmCommandFlag)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("preferences"))
        return false;
    resetPreferences(record);
    if (!attr::isVersionOne(element))
        return true;
    const QDomElement &e = element;
    record->startup_timeout = attr::field<quint16>(e, QStringLiteral("startup_timeout"), 0);
    record->startup_dmxsend_later = readFlag(e, QStringLiteral("startup_dmxsend_later"), true);
    record->project_name = e.attribute(QStringLiteral("project_name"), kProject);
    record->project_description = e.attribute(QStringLiteral("project_description"));
    record->midi_device_in = deviceNumber(e, QStringLiteral("midi_device_in"), devices.inputs);
    record->midi_device_out = deviceNumber(e, QStringLiteral("midi_device_out"), devices.outputs);
    record->hex_value_show = readFlag(e, QStringLiteral("hex_value_show"), false);
    record->http_server = e.attribute(QStringLiteral("http_server"), defaultHttpServer());
    if (readFlag(e, QStringLiteral("command_flag"), false))
        record->command_flag = confirmCommandFlag && confirmCommandFlag();
    record->command_path = e.attribute(QStringLiteral("command_path"));
    record->lock_screen = readFlag(e, QStringLiteral("lock_screen"), false);
    return true;
}

void writeConsistenceCheckElement(QDomDocument &document, QDomElement &parent,
                                  const ConsistenceCheckStruct *record)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement e = document.createElement(QStringLiteral("consistence_check"));
    e.setAttribute(QStringLiteral("version"), 1);
    const bool checks[] = {record->check_1, record->check_2, record->check_3, record->check_4,
                           record->check_5};
    for (int i = 0; i < 5; ++i)
        if (!checks[i])
            e.setAttribute(QStringLiteral("check_%1").arg(i + 1), QStringLiteral("0"));
    parent.appendChild(e);
}

bool readConsistenceCheckElement(const QDomElement &element, ConsistenceCheckStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("consistence_check"))
        return false;
    resetConsistenceCheck(record);
    if (!attr::isVersionOne(element))
        return true;
    bool *checks[] = {&record->check_1, &record->check_2, &record->check_3, &record->check_4,
                      &record->check_5};
    for (int i = 0; i < 5; ++i)
        *checks[i] = readFlag(element, QStringLiteral("check_%1").arg(i + 1), true);
    return true;
}
