#include "attributes.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>

namespace attr
{

qint64 number(const QDomElement &element, const QString &name, qint64 fallback)
{
    const QString text = element.attribute(name);
    if (text.isNull())
        return fallback;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return 0;
    return value < 0 ? fallback : value;
}

quint32 hexNumber(const QDomElement &element, const QString &name)
{
    bool ok = false;
    const quint64 value = element.attribute(name, QStringLiteral("0")).toULongLong(&ok, 16);
    return ok ? static_cast<quint32>(value) : 0;
}

bool isVersionOne(const QDomElement &element)
{
    bool ok = false;
    const int version = element.attribute(QStringLiteral("version")).toInt(&ok);
    return ok && version == 1;
}

void setNumber(QDomElement &element, const QString &name, quint64 value)
{
    element.setAttribute(name, QString::number(value));
}

QString encodePicture(const QImage &picture)
{
    if (picture.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return QString();
    return QString::fromLatin1(png.toBase64());
}

QImage readPicture(const QDomElement &element)
{
    QImage picture;
    const QString encoded = element.attribute(QStringLiteral("bitmap"));
    if (!encoded.isEmpty())
        picture.loadFromData(QByteArray::fromBase64(encoded.toLatin1()));
    if (!picture.isNull())
        return picture;
    // Only regular files: a document must not make us read a device or a
    // pipe (which could block the console for good).
    const QString fileName = element.attribute(QStringLiteral("filename"));
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile())
        picture.load(fileName);
    return picture;
}

void writePicture(QDomElement &element, const QImage &picture)
{
    const QString encoded = encodePicture(picture);
    if (!encoded.isEmpty())
        element.setAttribute(QStringLiteral("bitmap"), encoded);
}

} // namespace attr
