// The background editor on a show document: apply, OK and cancel, the
// picture chooser, the input rows by protocol.
#include "dialogs/backgrounddialog.h"
#include "model/showdocument.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QPushButton *button(QWidget &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

QLabel *labelWithText(QWidget &dialog, const QString &text)
{
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->text() == text)
            return label;
    return nullptr;
}

} // namespace

class TestBackgroundDialog : public QObject
{
    Q_OBJECT
private slots:
    void applyIsOneUndoStep();
    void applyWithoutDocument();
    void picture_data();
    void picture();
    void inputRowsFollowProtocol_data();
    void inputRowsFollowProtocol();
};

void TestBackgroundDialog::applyIsOneUndoStep()
{
    ShowDocument document;
    SettingsBackground dialog;
    QSignalSpy changed(&dialog, &SettingsBackground::valueChanged);
    // Cancel changes nothing, and the dialog shows the document again.
    dialog.setSettings(&document, false);
    dialog.findChild<QSpinBox *>("stretch")->setValue(300);
    button(dialog, "cancel")->click();
    QCOMPARE(document.background().stretch_factor, 100u);
    QCOMPARE(document.undoStack().count(), 0);
    dialog.setSettings(&document, false);
    QCOMPARE(dialog.findChild<QSpinBox *>("stretch")->value(), 100);

    dialog.findChild<QSpinBox *>("stretch")->setValue(10000);
    dialog.findChild<QSpinBox *>("stretch")->setValue(250);
    button(dialog, "apply")->click();
    QCOMPARE(document.background().stretch_factor, 250u);
    QCOMPARE(document.undoStack().count(), 1);
    QCOMPARE(document.undoStack().undoText(), QStringLiteral("Change Background"));
    // An apply without a change tells the console but adds no step.
    button(dialog, "ok")->click();
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
    button(dialog, "apply")->click();
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
            button(dialog, "pictureDelete")->click();
            continue;
        }
        next = step.isEmpty() ? QString() : dir.filePath(step);
        button(dialog, "pictureSelect")->click();
    }
    // The preview shows what Apply stores.
    const QLabel *preview = dialog.findChild<QLabel *>("picture");
    QCOMPARE(preview->pixmap().isNull(), applied.isEmpty());
    button(dialog, "apply")->click();
    const Picture &stored = document.background().bitmap;
    QCOMPARE(stored.isNull() ? QSize() : stored.size(), applied);
    QCOMPARE(document.undoStack().count(), applied.isEmpty() ? 0 : 1);
}

void TestBackgroundDialog::inputRowsFollowProtocol_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("showHex");
    QTest::addColumn<QString>("universeLabel");
    QTest::addColumn<bool>("channelShown");
    QTest::addColumn<bool>("noteShown");
    QTest::addColumn<int>("universeMaximum");
    QTest::newRow("MIDI") << int(PT_MIDI) << false << "MIDI Channel :" << false << true << 16;
    QTest::newRow("Art-Net, hex") << int(PT_ARTNET) << true << "DMX Universe :" << true << false
                                  << 65535;
    QTest::newRow("none") << int(PT_NONE) << true << "DMX Universe :" << false << false << 65535;
}

void TestBackgroundDialog::inputRowsFollowProtocol()
{
    QFETCH(int, protocol);
    QFETCH(bool, showHex);
    QFETCH(QString, universeLabel);
    QFETCH(bool, channelShown);
    QFETCH(bool, noteShown);
    QFETCH(int, universeMaximum);
    ShowDocument document;
    BackgroundStruct bg = document.background();
    bg.dmx_in.protocol_type_in = quint8(protocol);
    bg.dmx_in.dmx_in_universe = 3;
    bg.dmx_in.dmx_in_channel = 9; // no other companion reads 0x01
    document.applyBackground(bg);
    SettingsBackground dialog;
    dialog.setSettings(&document, showHex);
    QVERIFY(labelWithText(dialog, universeLabel));
    QCOMPARE(!labelWithText(dialog, "DMX Channel :")->isHidden(), channelShown);
    QCOMPARE(!labelWithText(dialog, "MIDI Note :")->isHidden(), noteShown);
    QCOMPARE(!labelWithText(dialog, "MIDI Type :")->isHidden(), noteShown);
    auto *universe = dialog.findChild<QSpinBox *>("inUniverse");
    QCOMPARE(universe->maximum(), universeMaximum);
    QCOMPARE(universe->value(), 4);
    // Typing universe 1 stores 0; the companion shows it as typed.
    universe->setValue(1);
    QCOMPARE(dialog.edit().working().dmx_in.dmx_in_universe, quint16(0));
    const QLabel *hex = labelWithText(dialog, "0x01");
    QVERIFY(hex);
    QCOMPARE(!hex->isHidden(), showHex && protocol != PT_NONE);
}

QTEST_MAIN(TestBackgroundDialog)
#include "tst_backgrounddialog.moc"
