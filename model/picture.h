// A picture of a show (a control's or the background's) as the bytes of its
// picture file: PNG, JPEG or whatever format it came in, exactly as the
// document or the file the user chose held them. Saving writes these bytes
// back unchanged, also when this console cannot decode them; what is shown
// is decoded from them at the size it is shown at, never kept at full size.
//
// Copies are cheap: they share the bytes and what was decoded from them.
// A picture may be read from several threads at once.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <memory>

class Picture
{
public:
    // No picture.
    Picture() = default;

    // The bytes of a picture file; also bytes that do not decode. Null for
    // no bytes.
    static Picture fromData(const QByteArray &bytes);
    // Base64 text as a document holds it. Text that is not the plain Base64
    // of its bytes (line breaks, spaces, characters outside Base64) is kept
    // too and written back as it was read. Null for an empty text.
    static Picture fromBase64(QStringView text);
    // The bytes of a regular file that decodes as a picture and is no larger
    // than MAX_FILE_BYTES; null for anything else. No device, pipe or folder
    // is read, and no file that is not a picture gets into a show.
    static Picture fromFile(const QString &path);
    // The PNG encoding of an image the program made; null for a null image.
    static Picture fromImage(const QImage &image);

    static constexpr qint64 MAX_FILE_BYTES = 128 * 1024 * 1024;
    // Decoded images may take this many megabytes: a photo of 6000 x 6000
    // pixels decodes whole where a format cannot decode it scaled. Set by
    // setUpDecoding().
    static constexpr int DECODING_LIMIT_MB = 256;
    // Sets the decoding limit of the image reader; called on program start
    // and by every decode, so that code that decodes pictures without the
    // program (tests, tools) gets the same limit.
    static void setUpDecoding();

    bool isNull() const { return !d; }
    // The picture file's bytes.
    QByteArray data() const;
    // The text for the document: the text the picture was read from, or the
    // Base64 of its bytes.
    QString toBase64() const;

    // Width and height in pixels as the file states them, read without
    // decoding the picture; invalid when they cannot be told.
    QSize size() const;
    // Whether the picture decodes. Decoded once, small, and remembered.
    bool canShow() const;
    // Decoded to exactly `size` (the aspect ratio is not kept); null when
    // the picture does not decode or size is empty. The last image decoded
    // is kept, so asking again for the same size decodes nothing.
    QImage image(const QSize &size) const;
    // Decoded as large as fits into `box` keeping its aspect ratio, but not
    // larger than it is.
    QImage fitted(const QSize &box) const;

    // The same for all copies; another for another picture, also one with
    // the same bytes. 0 for no picture.
    qint64 cacheKey() const;

    // The same bytes.
    bool operator==(const Picture &other) const;
    bool operator!=(const Picture &other) const { return !(*this == other); }

private:
    struct Data;
    explicit Picture(std::shared_ptr<Data> data);

    std::shared_ptr<Data> d;
};
