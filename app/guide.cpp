#include "app/guide.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

namespace guide
{

namespace
{

struct WindowChapter {
    const char *className;
    const char *chapter;
};

// One row per window that has a chapter of its own.
const WindowChapter kChapters[] = {
    {"Settings", "building.html#editor"},
    {"TypePalette", "building.html#palette"},
    {"SettingsOverview", "building.html#overview"},
    {"SettingsBackground", "building.html#background"},
    {"ConsistenceCheck", "building.html#check"},
    {"ConsistenceCheckTable", "building.html#check"},
    {"Preferences", "preferences.html"},
    {"RemoteWindow", "remote.html"},
    {"AboutInfo", "safety.html#updates"},
};

const char kFirstPage[] = "index.html";

} // namespace

QString chapterFor(const QString &className)
{
    for (const WindowChapter &row : kChapters)
        if (className == QLatin1String(row.className))
            return QString::fromLatin1(row.chapter);
    return QString::fromLatin1(kFirstPage);
}

QString chapterFor(const QWidget *widget)
{
    if (!widget)
        return QString::fromLatin1(kFirstPage);
    return chapterFor(QString::fromLatin1(widget->window()->metaObject()->className()));
}

QUrl guideUrl(const QString &chapter, const QLocale &locale, const QString &appDir)
{
    QStringList roots{QDir::cleanPath(appDir + QStringLiteral("/../share/pultora/guide"))};
#ifdef PULTORA_GUIDE_SOURCE_DIR
    roots.append(QStringLiteral(PULTORA_GUIDE_SOURCE_DIR));
#endif
    const QString language =
        locale.language() == QLocale::German ? QStringLiteral("de") : QStringLiteral("en");
    const qsizetype hash = chapter.indexOf(QLatin1Char('#'));
    const QString page = hash < 0 ? chapter : chapter.left(hash);
    for (const QString &root : std::as_const(roots)) {
        for (const QString &lang : {language, QStringLiteral("en")}) {
            const QString path = root + QLatin1Char('/') + lang + QLatin1Char('/') + page;
            if (!QFileInfo(path).isFile())
                continue;
            QUrl url = QUrl::fromLocalFile(path);
            if (hash >= 0)
                url.setFragment(chapter.mid(hash + 1));
            return url;
        }
    }
    return {};
}

} // namespace guide
