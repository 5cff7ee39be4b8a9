#include "io/texthelpers.h"

#include <QRegularExpression>

bool extractFirstNumber(const QString &text, int &number)
{
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    static const QRegularExpression end(QStringLiteral("([^0-9]|$)"));
    const int start = int(text.indexOf(digit));
    if (start < 0)
        return false;
    const int stop = int(text.indexOf(end, start));
    bool ok = false;
    const int value = text.mid(start, stop - start).toInt(&ok);
    if (!ok)
        return false;
    number = value;
    return true;
}

QString replaceNumbers(const QString &text, int number)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    QString result = text;
    return result.replace(digits, QStringLiteral("%1").arg(number));
}

QString sanitizeFileName(const QString &text)
{
    QString result = text;
    for (const QChar c : {QChar(' '), QChar('?'), QChar('/'), QChar('"'), QChar('\''), QChar('\\')})
        result.replace(c, QLatin1Char('_'));
    return result;
}
