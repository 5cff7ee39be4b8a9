// How values are stored in the attributes of a configuration element.
//
// The element readers and writers work on these two views so that the same
// code serves the DOM functions of elements.h / documentelements.h and the
// streaming loader and writer of configuration.cpp, which handle documents
// of thousands of controls without building a DOM.
#pragma once

#include "model/picture.h"

#include <QDomElement>
#include <QString>
#include <QXmlStreamAttributes>
#include <QXmlStreamWriter>
#include <QtGlobal>

#include <limits>
#include <type_traits>

// `value` without the characters XML 1.0 cannot carry (control characters,
// lone surrogates, U+FFFE/U+FFFF): one of them would make a written
// document unreadable.
QString xmlSafe(const QString &value);

// The first number of an element that was larger than its field.
struct OutOfRange {
    QString attribute;
    QString value; // as written in the document

    bool isSet() const { return !attribute.isEmpty(); }
};

// Read access to the attributes of one element.
class AttributeSource
{
public:
    explicit AttributeSource(const QDomElement &element) : m_dom(&element) {}
    explicit AttributeSource(const QXmlStreamAttributes &attributes) : m_stream(&attributes) {}

    // The text of an attribute; fallback when it is missing.
    QString text(const QString &name, const QString &fallback = QString()) const;

    // Where field() notes the first number it had to limit; null (the
    // default) notes nothing.
    void setOutOfRange(OutOfRange *report) { m_outOfRange = report; }

    // A decimal integer. A missing attribute or a negative number gives
    // fallback; a text that is not a number gives 0. A number beyond 64 bits
    // gives the largest qint64.
    qint64 number(const QString &name, qint64 fallback) const;

    // The same, limited to the largest value of T (a colour of 300 stores
    // 255).
    template <typename T> T field(const QString &name, qint64 fallback) const
    {
        static_assert(std::is_unsigned_v<T> && sizeof(T) < sizeof(qint64));
        const qint64 value = number(name, fallback);
        if (value > qint64(std::numeric_limits<T>::max())) {
            noteOutOfRange(name);
            return std::numeric_limits<T>::max();
        }
        return static_cast<T>(value);
    }

    // A flag stored as a number: missing or negative gives fallback,
    // otherwise non-zero is true.
    bool flag(const QString &name, bool fallback) const;

    // A hexadecimal number; missing or not a number gives 0.
    quint32 hexNumber(const QString &name) const;

    // True when the "version" attribute is the integer 1.
    bool isVersionOne() const;

    // The element's picture: the bytes of the "bitmap" attribute (Base64 of
    // a picture file, kept also when they do not decode), or else, without
    // a bitmap, the regular picture file named by "filename". Null when
    // neither gives one.
    Picture picture() const;

private:
    // Sets *value and returns true when the attribute exists.
    bool find(const QString &name, QStringView *value, QString *storage) const;
    void noteOutOfRange(const QString &name) const;

    const QDomElement *m_dom = nullptr;
    const QXmlStreamAttributes *m_stream = nullptr;
    OutOfRange *m_outOfRange = nullptr;
};

// Write access to the attributes of one element, in the order they are set.
class AttributeSink
{
public:
    explicit AttributeSink(QDomElement &element) : m_dom(&element) {}
    // Writes to the start tag the stream writer has just opened.
    explicit AttributeSink(QXmlStreamWriter &writer) : m_stream(&writer) {}

    void text(const QString &name, const QString &value);
    void number(const QString &name, quint64 value);
    // "bitmap" as the picture's Base64 text; nothing for a null picture.
    void picture(const Picture &picture);

private:
    QDomElement *m_dom = nullptr;
    QXmlStreamWriter *m_stream = nullptr;
    QString m_number;
};
