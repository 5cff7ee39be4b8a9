// Names and numbers the console shows and stores: product name, version,
// settings identity and the maker's web addresses.
#pragma once

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace appinfo
{

inline QString productName()
{
    return QStringLiteral("Pultora");
}

constexpr int VERSION_MAJOR = 0;
constexpr int VERSION_MINOR = 8;
constexpr int VERSION_PATCH = 0;
constexpr int VERSION_BUILD = 0;

// "0.8.0.0"
QString versionText();

// Settings store identity: organisation and application.
inline QString settingsOrganisation()
{
    return QStringLiteral("pultora-project");
}
inline QString settingsApplication()
{
    return productName();
}

// The maker's web site; update and help pages hang below it.
inline QString makerWebAddress()
{
    return QStringLiteral("https://pultora.example.org/");
}
// HTML anchor to the update page of this version.
QString updateLink();
// HTML anchor to the online help of this version.
QString helpLink();
// Address the silent update check asks.
QString updateCheckAddress();

// The file the console starts with, in its working directory.
inline QString defaultConfigFileName()
{
    return QStringLiteral("config_default.ptra");
}
// Files the console keeps in the user's data folder, one of each per
// console running at the same time (sessionfiles.h). Older versions wrote
// the last session into the working directory.
inline QString lastSessionFileName()
{
    return QStringLiteral("config_last_session.ptra");
}
inline QString recoveryFileName()
{
    return QStringLiteral("config_recovery.ptra");
}

// Every status-bar message stays this long.
constexpr int STATUS_MS = 5000;
// Period of the trigger timer (clocks, pitch-bend return).
constexpr int TRIGGER_INTERVAL_MS = 200;
// Time between two recovery copies of a modified show.
constexpr int RECOVERY_INTERVAL_MS = 60000;
// Entries kept in the recent file list.
constexpr int MAX_RECENT_FILES = 4;

} // namespace appinfo
