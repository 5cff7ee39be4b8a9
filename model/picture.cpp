#include "model/picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <atomic>
#include <mutex>

struct Picture::Data {
    QByteArray bytes;
    // The document's text, where it is not the plain Base64 of bytes.
    QString text;
    qint64 key = 0;

    // Learnt on first use; guarded by mutex.
    std::mutex mutex;
    bool headerRead = false;
    QSize size;
    enum class Decodes { Unknown, Yes, No } decodes = Decodes::Unknown;
    QSize shownTarget; // what `shown` was decoded for; invalid: its own size
    QImage shown;
};

namespace
{

std::atomic<qint64> nextKey{1};

// Decoding once to learn whether a picture decodes costs no more than a
// thumbnail of this size.
constexpr int CHECK_SIDE = 64;

QSize headerSize(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

// Decodes at `target`, or at the picture's own size when target is invalid.
// Formats that can decode scaled never hold the whole picture for it.
QImage decode(const QByteArray &bytes, const QSize &target)
{
    Picture::setUpDecoding();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (target.isValid() && target != reader.size())
        reader.setScaledSize(target);
    return reader.read();
}

} // namespace

Picture::Picture(std::shared_ptr<Data> data) : d(std::move(data))
{
    d->key = nextKey++;
}

void Picture::setUpDecoding()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(DECODING_LIMIT_MB); });
}

Picture Picture::fromData(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return Picture();
    auto data = std::make_shared<Data>();
    data->bytes = bytes;
    return Picture(std::move(data));
}

Picture Picture::fromBase64(QStringView text)
{
    if (text.isEmpty())
        return Picture();
    const QByteArray latin = text.toLatin1();
    auto data = std::make_shared<Data>();
    // Characters outside Base64 are skipped, as they always were.
    data->bytes = QByteArray::fromBase64(latin);
    // Any other text (also one that lost characters to Latin-1) is written
    // back as it came.
    if (data->bytes.toBase64() != latin)
        data->text = text.toString();
    return Picture(std::move(data));
}

Picture Picture::fromFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MAX_FILE_BYTES)
        return Picture();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Picture();
    const QByteArray bytes = file.read(MAX_FILE_BYTES + 1); // it may have grown
    if (bytes.size() > MAX_FILE_BYTES)
        return Picture();
    const Picture picture = fromData(bytes);
    return picture.canShow() ? picture : Picture();
}

Picture Picture::fromImage(const QImage &image)
{
    if (image.isNull())
        return Picture();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return Picture();
    return fromData(png);
}

QByteArray Picture::data() const
{
    return d ? d->bytes : QByteArray();
}

QString Picture::toBase64() const
{
    if (!d)
        return QString();
    return d->text.isEmpty() ? QString::fromLatin1(d->bytes.toBase64()) : d->text;
}

QSize Picture::size() const
{
    if (!d)
        return QSize();
    const std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->headerRead) {
        d->size = headerSize(d->bytes);
        d->headerRead = true;
    }
    return d->size;
}

bool Picture::canShow() const
{
    if (!d)
        return false;
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        if (d->decodes != Data::Decodes::Unknown)
            return d->decodes == Data::Decodes::Yes;
    }
    QSize target = size();
    if (target.width() > CHECK_SIDE || target.height() > CHECK_SIDE)
        target = target.scaled(CHECK_SIDE, CHECK_SIDE, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QImage image = decode(d->bytes, target);
    const std::lock_guard<std::mutex> lock(d->mutex);
    d->decodes = image.isNull() ? Data::Decodes::No : Data::Decodes::Yes;
    if (d->shown.isNull() && !image.isNull()) {
        d->shown = image;
        d->shownTarget = image.size();
    }
    return !image.isNull();
}

QImage Picture::image(const QSize &size) const
{
    if (!d || size.isEmpty())
        return QImage();
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        if (d->decodes == Data::Decodes::No)
            return QImage();
        if (!d->shown.isNull() && d->shownTarget == size)
            return d->shown;
    }
    const QImage image = decode(d->bytes, size);
    const std::lock_guard<std::mutex> lock(d->mutex);
    if (!image.isNull()) {
        d->decodes = Data::Decodes::Yes;
        d->shown = image;
        d->shownTarget = size;
    }
    return image;
}

QImage Picture::fitted(const QSize &box) const
{
    if (!d || box.isEmpty())
        return QImage();
    const QSize own = size();
    if (own.isEmpty()) {
        // A format that does not tell its size: decoded whole, then fitted.
        const QImage whole = decode(d->bytes, QSize());
        if (whole.width() <= box.width() && whole.height() <= box.height())
            return whole;
        return whole.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (own.width() <= box.width() && own.height() <= box.height())
        return image(own);
    return image(own.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

qint64 Picture::cacheKey() const
{
    return d ? d->key : 0;
}

bool Picture::operator==(const Picture &other) const
{
    if (d == other.d)
        return true;
    return d && other.d && d->bytes == other.d->bytes;
}
