// The background editor on a show document: apply, OK and cancel; the
// picture chooser, the control editor's with it. The input editor:
// tst_dmxineditor.
#include "dialogs/backgrounddialog.h"
#include "dialogs/settings.h"
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
    void applyIsOneUndoStep()
    {
        ShowDocument document;
        SettingsBackground dialog;
        QSignalSpy changed(&dialog, &SettingsBackground::valueChanged);
        dialog.setSettings(nullptr, true);
        child<QPushButton>(&dialog, "apply")->click(); // no document to write to
        QCOMPARE(changed.count(), 0);
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

    void picture_data()
    {
        QTest::addColumn<bool>("control"); // the control editor's picture, else the background's
        // Steps: a file name to choose ("" = chooser cancelled), or "delete".
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QSize>("applied"); // empty: no picture
        for (const bool control : {false, true}) {
            const char *w = control ? "control" : "background";
            QTest::addRow("%s: chosen", w) << control << QStringList{"a.png"} << QSize(2, 3);
            QTest::addRow("%s: cancel changes nothing", w)
                << control << QStringList{"a.png", ""} << QSize(2, 3);
            QTest::addRow("%s: second wins", w)
                << control << QStringList{"a.png", "b.png"} << QSize(5, 7);
            QTest::addRow("%s: deleted", w) << control << QStringList{"a.png", "delete"} << QSize();
            QTest::addRow("%s: deleted, then cancelled", w)
                << control << QStringList{"a.png", "delete", ""} << QSize();
            QTest::addRow("%s: unreadable", w) << control << QStringList{"missing.png"} << QSize();
        }
    }

    void picture()
    {
        QFETCH(bool, control);
        QFETCH(QStringList, steps);
        QFETCH(QSize, applied);
        QTemporaryDir dir;
        QImage(2, 3, QImage::Format_RGB32).save(dir.filePath("a.png"));
        QImage(5, 7, QImage::Format_RGB32).save(dir.filePath("b.png"));
        QString next;
        ShowDocument document;
        SettingsBackground background;
        background.setPictureChooser(
            [&](QWidget *, const QString &, const QString &) { return next; });
        background.setSettings(&document, false);
        SettingsServices services;
        services.chooseBitmapFile = [&] { return next; };
        Settings editor(services);
        SettingStruct r;
        r.id = 3;
        editor.setSettings(&r, false);
        QWidget *dialog = control ? static_cast<QWidget *>(&editor) : &background;
        const QString prefix = control ? "bitmap" : "picture";
        for (const QString &step : steps) {
            next = step.isEmpty() || step == "delete" ? QString() : dir.filePath(step);
            const QString button = prefix + (step == "delete" ? "Delete" : "Select");
            child<QPushButton>(dialog, button.toLatin1().constData())->click();
        }
        // The preview shows what Apply stores.
        const QLabel *preview = child<QLabel>(dialog, control ? "bitmapPreview" : "picture");
        QCOMPARE(preview->pixmap().isNull(), applied.isEmpty());
        if (control) {
            QCOMPARE(child<QLabel>(dialog, "bitmapSize")->text(),
                     applied.isEmpty()
                         ? QString()
                         : QString("%1x%2").arg(applied.width()).arg(applied.height()));
        }
        child<QPushButton>(dialog, "apply")->click();
        const Picture &stored = control ? r.bitmap : document.background().bitmap;
        QCOMPARE(stored.isNull() ? QSize() : stored.size(), applied);
        QCOMPARE(document.undoStack().count(), applied.isEmpty() || control ? 0 : 1);
    }
};

QTEST_MAIN(TestBackgroundDialog)
#include "tst_backgrounddialog.moc"
