#include "app/translation.h"

#include <QDir>
#include <QTranslator>

QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QString &directory)
{
    const QString name = QStringLiteral("Pultora_") + localeName;
    return translator.load(name, directory) ? name : QString();
}

QStringList translationDirectories(const QString &applicationDir)
{
    return {applicationDir,
            QDir::cleanPath(applicationDir + QStringLiteral("/../share/pultora/translations"))};
}

QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QStringList &directories)
{
    for (const QString &directory : directories) {
        const QString name = loadTranslation(translator, localeName, directory);
        if (!name.isEmpty())
            return name;
    }
    return QString();
}
