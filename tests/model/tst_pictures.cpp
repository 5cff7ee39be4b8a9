// Pictures go back into the file as they came: photos too large for the
// toolkit's default decoding limit, bytes that do not decode at all, text
// that is not plain Base64, and the very file the user chose instead.
#include "model/configuration.h"
#include "tests/model/recordinghost.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace
{

// Grey noise of four levels: a photo's size without a photo's file.
QByteArray noisePng(int side)
{
    QImage noise(side, side, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<quint32 *>(noise.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = 0xff000000u | 0x555555u * (random.generate() % 4);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG", 50);
    return png;
}

// The "bitmap" attribute of the first `element` of a document.
QString bitmapOf(const QString &text, const QString &element)
{
    QXmlStreamReader reader(text);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element)
            return reader.attributes().value(QLatin1String("bitmap")).toString();
    return QString();
}

// The document of what a host was given.
QString save(const RecordingHost &host)
{
    if (host.backgrounds.size() != 1 || host.controls.size() != 1)
        return QString();
    ConfigurationSource source;
    source.background = &host.backgrounds.first();
    source.controls = {&host.controls.first()};
    return writeConfiguration(source, QStringLiteral("show.ptra"));
}

// Loads a document with a background and an icon, `element` carrying
// `bitmap`, and writes what was loaded.
QString loadAndSave(const QString &element, const QString &bitmap, RecordingHost *host)
{
    const QString attribute = QStringLiteral(" bitmap=\"%1\"").arg(bitmap);
    const QString text = QStringLiteral("<PultoraConfig><background version=\"1\"%1/><control "
                                        "version=\"1\" control_type=\"icon\"%2/></PultoraConfig>")
                             .arg(element == QLatin1String("background") ? attribute : QString(),
                                  element == QLatin1String("control") ? attribute : QString());
    LoadOptions options;
    options.fromText = true;
    if (!loadConfiguration(*host, text, options))
        return QString();
    return save(*host);
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

    QByteArray m_photo; // 6000 x 6000, over 20 MB as Base64

private Q_SLOTS:
    void initTestCase()
    {
        m_photo = noisePng(6000);
        QVERIFY(m_photo.toBase64().size() > 20 * 1000 * 1000);
    }

    void savedAsLoaded_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("bitmap");
        QTest::addColumn<bool>("shown");
        const QString photo = QString::fromLatin1(m_photo.toBase64());
        QTest::newRow("photo of 6000 x 6000 as background") << "background" << photo << true;
        QTest::newRow("photo of 6000 x 6000 on an icon") << "control" << photo << true;
        QTest::newRow("bytes that are no picture")
            << "control" << QString::fromLatin1(QByteArray("no picture at all").toBase64())
            << false;
        QTest::newRow("picture cut short")
            << "background" << QString::fromLatin1(m_photo.left(4000).toBase64()) << false;
        QTest::newRow("Base64 with spaces and a stray character")
            << "control" << QString::fromLatin1(m_photo.left(300).toBase64()).insert(40, " *")
            << false;
    }

    void savedAsLoaded()
    {
        QFETCH(QString, element);
        QFETCH(QString, bitmap);
        QFETCH(bool, shown);
        RecordingHost host;
        const QString saved = bitmapOf(loadAndSave(element, bitmap, &host), element);
        QVERIFY2(
            saved == bitmap,
            qPrintable(
                QStringLiteral("saved %1 characters of %2").arg(saved.size()).arg(bitmap.size())));
        // What cannot be shown is said, and only that.
        QCOMPARE(host.statusLines.size(), 1);
        QCOMPARE(host.statusLines.first().contains(QLatin1String("cannot be shown")), !shown);
        QCOMPARE(host.warnings, QStringList());
    }

    void shownSmallerDecodesSmaller()
    {
        Picture::setUpDecoding();
        const Picture photo = Picture::fromData(m_photo);
        QCOMPARE(photo.size(), QSize(6000, 6000));
        // A limit the whole picture is over (6000 x 6000 x 4 bytes): shown
        // smaller, it decodes all the same.
        QImageReader::setAllocationLimit(100);
        const QImage shown = photo.image(QSize(600, 400));
        QImageReader::setAllocationLimit(Picture::DECODING_LIMIT_MB);
        QCOMPARE(shown.size(), QSize(600, 400));
        QCOMPARE(photo.fitted(QSize(300, 300)).size(), QSize(300, 300));
    }

    void replacedPictureSavesTheNewFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.jpg"));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(path, "JPEG"));

        RecordingHost host;
        const QString loaded = QString::fromLatin1(m_photo.left(500).toBase64());
        QVERIFY(!loadAndSave(QStringLiteral("control"), loaded, &host).isEmpty());
        host.controls.first().bitmap = Picture::fromFile(path); // as the editors do
        QCOMPARE(bitmapOf(save(host), QStringLiteral("control")),
                 QString::fromLatin1(readBytes(path).toBase64()));
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
