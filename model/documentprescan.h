// A look over a document's text before it is parsed. The toolkit's XML
// reader takes time that grows with the square of the attributes of a start
// tag (100,000 of them: over 20 s before the first element is seen), so a
// start tag with more attributes than any element of a configuration could
// use is refused here, in one linear pass. So is an attribute value longer
// than any setting; only "bitmap" (a picture file in Base64) may be large.
//
// The scan follows comments, CDATA sections, processing instructions and
// the DOCTYPE with its internal subset as the reader does. It stops without
// a refusal where the text stops being XML: the reader then says why.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

constexpr int MAX_ATTRIBUTES = 1000;
constexpr qsizetype MAX_ATTRIBUTE_CHARS = 64 * 1024;
constexpr qsizetype MAX_PICTURE_CHARS = 256 * 1024 * 1024;

struct PrescanRefusal {
    qint64 line = 0;   // 1-based
    qint64 column = 0; // 1-based, in characters
    QString reason;
};

// Empty when the text may be parsed; otherwise where and why not.
std::optional<PrescanRefusal> prescanDocument(QStringView text);
