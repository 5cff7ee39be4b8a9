// Small text functions of the batch editor and the save dialogs.
#pragma once

#include <QString>

// The first run of decimal digits in `text` as a number. False when the
// text has no digit or the run does not fit an int; `number` is then kept.
bool extractFirstNumber(const QString &text, int &number);

// `text` with every run of decimal digits replaced by `number` in decimal.
QString replaceNumbers(const QString &text, int number);

// `text` with every blank, "?", "/", '"', "'" and "\" replaced by "_", for
// proposing a file name. Other characters, ":" and "*" included, are kept.
QString sanitizeFileName(const QString &text);
