// The per-user settings store (the console's QSettings) for what is the
// user's, not the show's: the preferences of model/userpreferences.h.
#pragma once

#include "userpreferences.h"

namespace usersettings
{

UserPreferences readPreferences();
void writePreferences(const UserPreferences &preferences);

} // namespace usersettings
