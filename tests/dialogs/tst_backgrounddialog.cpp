// The background editor on a show document: apply, OK and cancel, the
// picture chooser. Its input editor: tst_dmxineditor.
#include "dialogs/backgrounddialog.h"
#include "model/showdocument.h"
#include "tests/dialogs/dialogtest.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestBackgroundDialog : public QObject
{
    Q_OBJECT
private slots:
    void applyIsOneUndoStep();
    void applyWithoutDocument();
    void picture_data();
    void picture();
};

void TestBackgroundDialog::applyIsOneUndoStep()
{
    ShowDocument document;
    SettingsBackground dialog;
    QSignalSpy changed(&dialog, &SettingsBackground::valueChanged);
    // Cancel changes nothing, and the dialog shows the document again.
    dialog.setSettings(&document, false);
    spin(&dialog, "stretch")->setValue(300);
    child<QPushButton>(&dialog, "cancel")->click();
    QCOMPARE(document.background().stretch_factor, 100u);
    QCOMPARE(document.undoStack().count(), 0);
    dialog.setSettings(&document, false);
    QCOMPARE(spin(&dialog, "stretch")->value(), 100);

    spin(&dialog, "stretch")->setValue(10000);
    spin(&dialog, "stretch")->setValue(250);
    child<QPushButton>(&dialog, "apply")->click();
    QCOMPARE(document.background().stretch_factor, 250u);
    QCOMPARE(document.undoStack().count(), 1);
    QCOMPARE(document.undoStack().undoText(), QStringLiteral("Change Background"));
    // An apply without a change tells the console but adds no step.
    child<QPushButton>(&dialog, "ok")->click();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(document.undoStack().count(), 1);
    document.undoStack().undo();
    QCOMPARE(document.background().stretch_factor, 100u);
}

void TestBackgroundDialog::applyWithoutDocument()
{
    SettingsBackground dialog;
    QSignalSpy changed(&dialog, &SettingsBackground::valueChanged);
    dialog.setSettings(nullptr, true);
    child<QPushButton>(&dialog, "apply")->click();
    QCOMPARE(changed.count(), 0);
    QVERIFY(!BackgroundEdit().apply(QStringLiteral("x")));
}

void TestBackgroundDialog::picture_data()
{
    // Steps: a file name to choose ("" = chooser cancelled), or "delete".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QSize>("applied"); // empty: no picture
    QTest::newRow("chosen") << QStringList{"a.png"} << QSize(2, 3);
    QTest::newRow("cancel changes nothing") << QStringList{"a.png", ""} << QSize(2, 3);
    QTest::newRow("second wins") << QStringList{"a.png", "b.png"} << QSize(5, 7);
    QTest::newRow("deleted") << QStringList{"a.png", "delete"} << QSize();
    QTest::newRow("deleted, then cancelled") << QStringList{"a.png", "delete", ""} << QSize();
    QTest::newRow("unreadable") << QStringList{"missing.png"} << QSize();
}

void TestBackgroundDialog::picture()
{
    QFETCH(QStringList, steps);
    QFETCH(QSize, applied);
    QTemporaryDir dir;
    QImage(2, 3, QImage::Format_RGB32).save(dir.filePath("a.png"));
    QImage(5, 7, QImage::Format_RGB32).save(dir.filePath("b.png"));
    ShowDocument document;
    SettingsBackground dialog;
    QString next;
    dialog.setPictureChooser([&](QWidget *, const QString &, const QString &) { return next; });
    dialog.setSettings(&document, false);
    for (const QString &step : steps) {
        if (step == "delete") {
            child<QPushButton>(&dialog, "pictureDelete")->click();
            continue;
        }
        next = step.isEmpty() ? QString() : dir.filePath(step);
        child<QPushButton>(&dialog, "pictureSelect")->click();
    }
    // The preview shows what Apply stores.
    const QLabel *preview = dialog.findChild<QLabel *>("picture");
    QCOMPARE(preview->pixmap().isNull(), applied.isEmpty());
    child<QPushButton>(&dialog, "apply")->click();
    const Picture &stored = document.background().bitmap;
    QCOMPARE(stored.isNull() ? QSize() : stored.size(), applied);
    QCOMPARE(document.undoStack().count(), applied.isEmpty() ? 0 : 1);
}

QTEST_MAIN(TestBackgroundDialog)
#include "tst_backgrounddialog.moc"
