// The program's translation: "Pultora_" followed by the locale name, looked
// up in the program's folder with the toolkit's fallbacks (".qm" appended;
// "Pultora_de_DE" falls back to "Pultora_de", then "Pultora"). An installed
// program keeps its translations in share/pultora/translations beside its
// bin folder, which is looked at second.
#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// Loads the translation for `localeName` from `directory` into `translator`.
// Returns the translation name ("Pultora_de_DE") when one was found, else an
// empty string: a missing translation is not an error.
QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QString &directory);

// The folders asked in turn for the program at `applicationDir`: that folder
// itself, then ../share/pultora/translations.
QStringList translationDirectories(const QString &applicationDir);

// The first translation for `localeName` found in `directories`; as
// loadTranslation.
QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QStringList &directories);
