#include "model/attributes.h"

namespace
{

// Digits with an optional sign, as toLongLong() takes them: tells a number
// too large for 64 bits from a text that is no number at all.
bool isDecimalInteger(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

bool AttributeSource::find(const QString &name, QStringView *value, QString *storage) const
{
    if (m_dom) {
        if (!m_dom->hasAttribute(name))
            return false;
        *storage = m_dom->attribute(name);
        *value = *storage;
        return true;
    }
    for (const QXmlStreamAttribute &attribute : *m_stream) {
        if (attribute.qualifiedName() == name) {
            *value = attribute.value();
            return true;
        }
    }
    return false;
}

QString AttributeSource::text(const QString &name, const QString &fallback) const
{
    QStringView value;
    QString storage;
    if (!find(name, &value, &storage))
        return fallback;
    return m_dom ? storage : value.toString();
}

qint64 AttributeSource::number(const QString &name, qint64 fallback) const
{
    QStringView value;
    QString storage;
    if (!find(name, &value, &storage))
        return fallback;
    bool ok = false;
    const qint64 result = value.toLongLong(&ok);
    if (!ok)
        return isDecimalInteger(value)
                   ? (value.trimmed().startsWith(u'-') ? fallback
                                                       : std::numeric_limits<qint64>::max())
                   : 0;
    return result < 0 ? fallback : result;
}

void AttributeSource::noteOutOfRange(const QString &name) const
{
    if (!m_outOfRange || m_outOfRange->isSet())
        return;
    m_outOfRange->attribute = name;
    m_outOfRange->value = text(name);
}

bool AttributeSource::flag(const QString &name, bool fallback) const
{
    const qint64 value = number(name, -1);
    return value < 0 ? fallback : value != 0;
}

quint32 AttributeSource::hexNumber(const QString &name) const
{
    QStringView value;
    QString storage;
    if (!find(name, &value, &storage))
        return 0;
    bool ok = false;
    const quint64 result = value.toULongLong(&ok, 16);
    return ok ? static_cast<quint32>(result) : 0;
}

bool AttributeSource::isVersionOne() const
{
    QStringView value;
    QString storage;
    if (!find(QStringLiteral("version"), &value, &storage))
        return false;
    bool ok = false;
    return value.toInt(&ok) == 1 && ok;
}

Picture AttributeSource::picture() const
{
    QStringView encoded;
    QString storage;
    if (find(QStringLiteral("bitmap"), &encoded, &storage) && !encoded.isEmpty())
        return Picture::fromBase64(encoded);
    // Only regular files: a document must not make us read a device or a
    // pipe, which could block the console for good.
    return Picture::fromFile(text(QStringLiteral("filename")));
}

namespace
{

bool isXmlUnit(char16_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD);
}

} // namespace

QString xmlSafe(const QString &value)
{
    const qsizetype size = value.size();
    const QChar *units = value.constData();
    QString safe;
    bool changed = false;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = units[i];
        qsizetype length = 1;
        bool ok = isXmlUnit(c.unicode());
        if (c.isHighSurrogate() && i + 1 < size && units[i + 1].isLowSurrogate()) {
            ok = true;
            length = 2;
        }
        if (!ok && !changed) {
            changed = true;
            safe.reserve(size);
            safe.append(units, i);
        }
        if (ok && changed)
            safe.append(units + i, length);
        i += length - 1;
    }
    return changed ? safe : value;
}

void AttributeSink::text(const QString &name, const QString &value)
{
    const QString safe = xmlSafe(value);
    if (m_dom)
        m_dom->setAttribute(name, safe);
    else
        m_stream->writeAttribute(name, safe);
}

void AttributeSink::number(const QString &name, quint64 value)
{
    m_number.setNum(value); // reuses the buffer: no allocation per attribute
    if (m_dom)
        m_dom->setAttribute(name, m_number);
    else
        m_stream->writeAttribute(name, m_number);
}

void AttributeSink::picture(const Picture &picture)
{
    if (!picture.isNull())
        text(QStringLiteral("bitmap"), picture.toBase64());
}
