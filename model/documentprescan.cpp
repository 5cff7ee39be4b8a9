#include "model/documentprescan.h"

#include <QCoreApplication>

namespace
{

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

PrescanRefusal refusal(QStringView text, qsizetype at, const QString &reason)
{
    PrescanRefusal r;
    const QStringView before = text.left(at);
    r.line = before.count(QLatin1Char('\n')) + 1;
    r.column = at - (before.lastIndexOf(QLatin1Char('\n')) + 1) + 1;
    r.reason = reason;
    return r;
}

class Scanner
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    // Where the next markup after `from` ends; -1 when the text ends first.
    qsizetype skipPast(QLatin1String end, qsizetype from) const
    {
        const qsizetype at = m_text.indexOf(end, from);
        return at < 0 ? -1 : at + end.size();
    }

    bool at(qsizetype i, QLatin1String what) const { return m_text.mid(i).startsWith(what); }

    // Past the '>' of a declaration ("<!DOCTYPE ...", "<!ENTITY ...")
    // starting at `from`, over quoted text, its internal subset and the
    // comments in it.
    qsizetype skipDeclaration(qsizetype from) const
    {
        int depth = 0;
        for (qsizetype i = from; i < m_text.size(); ++i) {
            const QChar c = m_text.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                i = m_text.indexOf(c, i + 1);
                if (i < 0)
                    return -1;
            } else if (c == QLatin1Char('<') && at(i, QLatin1String("<!--"))) {
                i = skipPast(QLatin1String("-->"), i + 4);
                if (i < 0)
                    return -1;
                --i;
            } else if (c == QLatin1Char('[')) {
                ++depth;
            } else if (c == QLatin1Char(']')) {
                --depth;
            } else if (c == QLatin1Char('>') && depth <= 0) {
                return i + 1;
            }
        }
        return -1;
    }

    // Checks the start tag whose name begins at `from`; past its '>', or -1
    // where the text stops being XML or the tag is refused (*refused set).
    qsizetype scanStartTag(qsizetype from, std::optional<PrescanRefusal> *refused) const
    {
        const qsizetype n = m_text.size();
        qsizetype i = from;
        while (i < n && !isBlank(m_text.at(i)) && m_text.at(i) != QLatin1Char('>') &&
               m_text.at(i) != QLatin1Char('/'))
            ++i;
        int attributes = 0;
        for (;;) {
            while (i < n && isBlank(m_text.at(i)))
                ++i;
            if (i >= n)
                return -1;
            const QChar c = m_text.at(i);
            if (c == QLatin1Char('>'))
                return i + 1;
            if (c == QLatin1Char('/')) {
                ++i;
                continue;
            }
            const qsizetype nameStart = i;
            while (i < n && !isBlank(m_text.at(i)) && m_text.at(i) != QLatin1Char('=') &&
                   m_text.at(i) != QLatin1Char('>') && m_text.at(i) != QLatin1Char('/'))
                ++i;
            const QStringView name = m_text.mid(nameStart, i - nameStart);
            while (i < n && isBlank(m_text.at(i)))
                ++i;
            if (i >= n || m_text.at(i) != QLatin1Char('='))
                return -1;
            ++i;
            while (i < n && isBlank(m_text.at(i)))
                ++i;
            if (i >= n || (m_text.at(i) != QLatin1Char('"') && m_text.at(i) != QLatin1Char('\'')))
                return -1;
            const qsizetype end = m_text.indexOf(m_text.at(i), i + 1);
            if (end < 0)
                return -1;
            if (++attributes > MAX_ATTRIBUTES) {
                *refused = refusal(
                    m_text, nameStart,
                    QCoreApplication::translate("Pultora", "An element has more than %1 attributes")
                        .arg(MAX_ATTRIBUTES));
                return -1;
            }
            const qsizetype largest =
                name == QLatin1String("bitmap") ? MAX_PICTURE_CHARS : MAX_ATTRIBUTE_CHARS;
            if (end - i - 1 > largest) {
                *refused =
                    refusal(m_text, nameStart,
                            QCoreApplication::translate(
                                "Pultora", "The attribute \"%1\" is longer than %2 characters")
                                .arg(name.left(64).toString())
                                .arg(largest));
                return -1;
            }
            i = end + 1;
        }
    }

private:
    QStringView m_text;
};

} // namespace

std::optional<PrescanRefusal> prescanDocument(QStringView text)
{
    const Scanner scanner(text);
    std::optional<PrescanRefusal> refused;
    qsizetype i = 0;
    while (i >= 0 && i < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), i);
        if (open < 0)
            break;
        i = open + 1;
        if (scanner.at(open, QLatin1String("<!--")))
            i = scanner.skipPast(QLatin1String("-->"), open + 4);
        else if (scanner.at(open, QLatin1String("<![CDATA[")))
            i = scanner.skipPast(QLatin1String("]]>"), open + 9);
        else if (scanner.at(open, QLatin1String("<?")))
            i = scanner.skipPast(QLatin1String("?>"), open + 2);
        else if (scanner.at(open, QLatin1String("<!")))
            i = scanner.skipDeclaration(open + 2);
        else if (scanner.at(open, QLatin1String("</")))
            i = scanner.skipPast(QLatin1String(">"), open + 2);
        else
            i = scanner.scanStartTag(open + 1, &refused);
    }
    return refused;
}
