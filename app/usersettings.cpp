#include "app/usersettings.h"

#include "app/appinfo.h"

#include <QSettings>
#include <QStringList>

namespace
{

const char CHECK_UPDATES_KEY[] = "check_updates";
const char AUTO_PATCH_KEY[] = "auto_patch";
const char OSC_IN_PORT_KEY[] = "osc/in_port";
const char REMOTE_ENABLED_KEY[] = "remote/enabled";
const char REMOTE_PORT_KEY[] = "remote/port";
const char REMOTE_INTERFACE_KEY[] = "remote/interface";
const char REMOTE_OPERATE_KEY[] = "remote/operate";
const char REMOTE_PIN_HASH_KEY[] = "remote/pin_hash";
const char REMOTE_RISKY_OUTPUTS_KEY[] = "remote/risky_outputs";
const char ACCEPTED_OUTPUTS_KEY[] = "accepted_outputs";

} // namespace

namespace usersettings
{

UserPreferences readPreferences()
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    UserPreferences preferences;
    preferences.check_updates =
        settings.value(QLatin1String(CHECK_UPDATES_KEY), preferences.check_updates).toBool();
    preferences.auto_patch =
        settings.value(QLatin1String(AUTO_PATCH_KEY), preferences.auto_patch).toBool();
    const uint port =
        settings.value(QLatin1String(OSC_IN_PORT_KEY), preferences.osc_in_port).toUInt();
    preferences.osc_in_port = port <= 65535 ? quint16(port) : 0;
    preferences.remote_enabled =
        settings.value(QLatin1String(REMOTE_ENABLED_KEY), preferences.remote_enabled).toBool();
    const uint remotePort =
        settings.value(QLatin1String(REMOTE_PORT_KEY), preferences.remote_port).toUInt();
    if (remotePort >= 1 && remotePort <= 65535)
        preferences.remote_port = quint16(remotePort);
    preferences.remote_interface =
        settings.value(QLatin1String(REMOTE_INTERFACE_KEY)).toString().trimmed();
    preferences.remote_operate =
        settings.value(QLatin1String(REMOTE_OPERATE_KEY), preferences.remote_operate).toBool();
    preferences.remote_pin_hash = settings.value(QLatin1String(REMOTE_PIN_HASH_KEY)).toByteArray();
    preferences.remote_risky_outputs =
        settings.value(QLatin1String(REMOTE_RISKY_OUTPUTS_KEY), preferences.remote_risky_outputs)
            .toBool();
    return preferences;
}

void writePreferences(const UserPreferences &preferences)
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    settings.setValue(QLatin1String(CHECK_UPDATES_KEY), preferences.check_updates);
    settings.setValue(QLatin1String(AUTO_PATCH_KEY), preferences.auto_patch);
    settings.setValue(QLatin1String(OSC_IN_PORT_KEY), preferences.osc_in_port);
    settings.setValue(QLatin1String(REMOTE_ENABLED_KEY), preferences.remote_enabled);
    settings.setValue(QLatin1String(REMOTE_PORT_KEY), preferences.remote_port);
    settings.setValue(QLatin1String(REMOTE_INTERFACE_KEY), preferences.remote_interface);
    settings.setValue(QLatin1String(REMOTE_OPERATE_KEY), preferences.remote_operate);
    settings.setValue(QLatin1String(REMOTE_PIN_HASH_KEY), preferences.remote_pin_hash);
    settings.setValue(QLatin1String(REMOTE_RISKY_OUTPUTS_KEY), preferences.remote_risky_outputs);
}

bool outputsAccepted(const QByteArray &hash)
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    return settings.value(QLatin1String(ACCEPTED_OUTPUTS_KEY))
        .toStringList()
        .contains(QString::fromLatin1(hash.toHex()));
}

void acceptOutputs(const QByteArray &hash)
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    QStringList accepted = settings.value(QLatin1String(ACCEPTED_OUTPUTS_KEY)).toStringList();
    const QString entry = QString::fromLatin1(hash.toHex());
    accepted.removeAll(entry);
    accepted.prepend(entry);
    while (accepted.size() > MAX_ACCEPTED_OUTPUTS)
        accepted.removeLast();
    settings.setValue(QLatin1String(ACCEPTED_OUTPUTS_KEY), accepted);
}

} // namespace usersettings
