#include "configfile.h"

#include "modellog.h"

#include <QSaveFile>
#include <QStringDecoder>

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

bool writeConfigurationFile(const QString &path, const QString &text, QString *errorString)
{
    QSaveFile file(path);
    // Text mode gives the platform's line ends.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (ok) {
        const QByteArray bytes = encodeConfigurationText(text);
        ok = file.write(bytes) == bytes.size();
        ok = ok && file.commit();
    }
    if (!ok) {
        if (errorString)
            *errorString = file.errorString();
        qCDebug(lcModel) << "writing" << path << "failed:" << file.errorString();
        // Without commit() the temporary file is removed and the target kept.
        file.cancelWriting();
    }
    return ok;
}
