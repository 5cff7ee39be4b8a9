#include "usersettings.h"

#include "appinfo.h"

#include <QSettings>

namespace
{

const char CHECK_UPDATES_KEY[] = "check_updates";

} // namespace

namespace usersettings
{

UserPreferences readPreferences()
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    UserPreferences preferences;
    preferences.check_updates =
        settings.value(QLatin1String(CHECK_UPDATES_KEY), preferences.check_updates).toBool();
    return preferences;
}

void writePreferences(const UserPreferences &preferences)
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    settings.setValue(QLatin1String(CHECK_UPDATES_KEY), preferences.check_updates);
}

} // namespace usersettings
