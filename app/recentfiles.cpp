#include "app/recentfiles.h"

#include "app/appinfo.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const char RECENT_KEY[] = "recent_file_list";
const char CONFIG_FOLDER_KEY[] = "path_config";
const char DOC_FOLDER_KEY[] = "path_documentation";

QString withSlash(QString folder)
{
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

void RecentFiles::load()
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    m_files = settings.value(QLatin1String(RECENT_KEY)).toStringList();
    while (m_files.size() > appinfo::MAX_RECENT_FILES)
        m_files.removeLast();
}

void RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return;
    m_files.removeAll(path);
    while (m_files.size() > appinfo::MAX_RECENT_FILES - 1)
        m_files.removeLast();
    m_files.prepend(path);
    store();
    if (m_changed)
        m_changed();
}

void RecentFiles::store() const
{
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    settings.setValue(QLatin1String(RECENT_KEY), m_files);
}

QString RecentFiles::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return withSlash(folder);
}

QString RecentFiles::readFolder(int kind) const
{
    const char *key = kind == ConfigFolder          ? CONFIG_FOLDER_KEY
                      : kind == DocumentationFolder ? DOC_FOLDER_KEY
                                                    : nullptr;
    if (!key)
        return defaultFolder();
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    return withSlash(settings.value(QLatin1String(key), defaultFolder()).toString());
}

void RecentFiles::rememberFolder(int kind, const QString &folder)
{
    const char *key = kind == ConfigFolder          ? CONFIG_FOLDER_KEY
                      : kind == DocumentationFolder ? DOC_FOLDER_KEY
                                                    : nullptr;
    if (!key)
        return;
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    settings.setValue(QLatin1String(key), withSlash(folder));
}
