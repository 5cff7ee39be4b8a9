#include "translation.h"

#include <QTranslator>

QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QString &directory)
{
    const QString name = QStringLiteral("Pultora_") + localeName;
    return translator.load(name, directory) ? name : QString();
}
