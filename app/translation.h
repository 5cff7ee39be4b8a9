// The program's translation: "Pultora_" followed by the locale name, looked
// up in the program's folder with the toolkit's fallbacks (".qm" appended;
// "Pultora_de_DE" falls back to "Pultora_de", then "Pultora").
#pragma once

#include <QString>

class QTranslator;

// Loads the translation for `localeName` from `directory` into `translator`.
// Returns the translation name ("Pultora_de_DE") when one was found, else an
// empty string: a missing translation is not an error.
QString loadTranslation(QTranslator &translator, const QString &localeName,
                        const QString &directory);
