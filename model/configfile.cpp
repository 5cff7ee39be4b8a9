#include "model/configfile.h"

#include "model/modellog.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>

namespace
{

// Windows-1252 at 0x80..0x9F; the unassigned bytes keep their Latin-1 value.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte <= 0x9F) ? QChar(kCp1252High[byte - 0x80])
                                                : QChar(char16_t(byte));
    }
    return text;
}

} // namespace

QByteArray encodeConfigurationText(const QString &text)
{
    return text.toUtf8();
}

QString decodeConfigurationText(const QByteArray &bytes)
{
    // Stateless: a sequence cut off at the end is an error, not a rest
    // kept for more input that never comes (which would drop the bytes).
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    qCDebug(lcModel) << "configuration is not UTF-8, reading it as Windows-1252";
    return decodeWindows1252(bytes);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString,
                         QIODevice::OpenMode mode)
{
    QSaveFile file(path);
    // The system's reason for the step that failed: QSaveFile says "Unknown
    // error" for a full disk, and commits a file whose last buffered bytes
    // could not be written unless the flush is checked first.
    QString reason;
    const QString unknown = QFile().errorString();
    const auto step = [&](bool done) {
        if (!done && reason.isEmpty())
            reason = file.error() != QFileDevice::NoError && file.errorString() != unknown
                         ? file.errorString()
                     : errno ? qt_error_string(errno)
                             : file.errorString();
        return done;
    };
    errno = 0;
    bool ok = step(file.open(QIODevice::WriteOnly | mode));
    errno = 0;
    ok = ok && step(file.write(bytes) == bytes.size());
    errno = 0;
    ok = ok && step(file.flush() && file.error() == QFileDevice::NoError);
    errno = 0;
    ok = ok && step(file.commit());
    if (!ok) {
        if (errorString)
            *errorString = reason;
        qCDebug(lcModel) << "writing" << path << "failed:" << reason;
        // Without commit() the temporary file is removed and the target kept.
        file.cancelWriting();
    }
    return ok;
}

bool writeConfigurationFile(const QString &path, const QString &text, QString *errorString)
{
    // Text mode gives the platform's line ends.
    return writeFileAtomically(path, encodeConfigurationText(text), errorString, QIODevice::Text);
}
