// Small helpers shared by the element readers and writers: how numbers,
// versions and pictures are stored in attributes.
#pragma once

#include <QDomElement>
#include <QImage>
#include <QString>
#include <QtGlobal>

namespace attr
{

// Reads a numeric attribute as a decimal integer. A missing attribute or a
// negative number gives fallback; a text that is not a number gives 0.
qint64 number(const QDomElement &element, const QString &name, qint64 fallback);

// The same, cut to the width of T (a colour of 300 stores 44).
template <typename T> T field(const QDomElement &element, const QString &name, qint64 fallback)
{
    return static_cast<T>(static_cast<quint64>(number(element, name, fallback)));
}

// A hexadecimal attribute (the foreign-interface reference); not a number gives 0.
quint32 hexNumber(const QDomElement &element, const QString &name);

// True when the element's "version" attribute is the integer 1.
bool isVersionOne(const QDomElement &element);

void setNumber(QDomElement &element, const QString &name, quint64 value);

// The picture as Base64 text of its PNG encoding; empty for a null picture
// or when the encoding fails.
QString encodePicture(const QImage &picture);

// The picture of an element: the "bitmap" attribute (Base64 of any format
// the image loader knows), or else the regular file named by "filename".
// Null when neither gives a picture.
QImage readPicture(const QDomElement &element);

// Writes "bitmap" when the picture encodes to something.
void writePicture(QDomElement &element, const QImage &picture);

} // namespace attr
