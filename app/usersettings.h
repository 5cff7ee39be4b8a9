// The per-user settings store (the console's QSettings) for what is the
// user's, not the show's: the preferences of model/userpreferences.h and the
// consents given to shows' outputs (outputconsent.h).
#pragma once

#include "model/userpreferences.h"

#include <QByteArray>

namespace usersettings
{

UserPreferences readPreferences();
void writePreferences(const UserPreferences &preferences);

// True when the user allowed outputs with this consent hash before.
bool outputsAccepted(const QByteArray &hash);
// Remembers the hash; the MAX_ACCEPTED_OUTPUTS most recent are kept.
void acceptOutputs(const QByteArray &hash);
constexpr int MAX_ACCEPTED_OUTPUTS = 200;

} // namespace usersettings
