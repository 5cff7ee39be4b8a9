#include "app/appinfo.h"

Q_LOGGING_CATEGORY(lcApp, "pultora.app", QtInfoMsg)

namespace appinfo
{

QString versionText()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(VERSION_MAJOR)
        .arg(VERSION_MINOR)
        .arg(VERSION_PATCH)
        .arg(VERSION_BUILD);
}

static QString versionQuery()
{
    return QStringLiteral("software=pultora&currentversion=%1.%2.%3.%4")
        .arg(VERSION_MAJOR)
        .arg(VERSION_MINOR)
        .arg(VERSION_PATCH)
        .arg(VERSION_BUILD);
}

static QString anchor(const QString &page)
{
    return QStringLiteral("<a href=\"%1%2?%3\">%1</a>")
        .arg(makerWebAddress(), page, versionQuery());
}

QString updateLink()
{
    return anchor(QStringLiteral("update_view.php"));
}

QString helpLink()
{
    return anchor(QStringLiteral("help.php"));
}

QString updateCheckAddress()
{
    return makerWebAddress() + QStringLiteral("update_check.php?software=pultora");
}

} // namespace appinfo
