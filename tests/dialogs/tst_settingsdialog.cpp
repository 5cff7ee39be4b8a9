// The control editor's window: what reaches the record it was given, the
// picture, learning. Its input and output editors: tst_dmxineditor.
#include "dialogs/settings.h"
#include "tests/dialogs/dialogtest.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{

SettingStruct record(quint32 id, quint8 type)
{
    SettingStruct r;
    r.id = id;
    r.control_type = type;
    return r;
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void workingRecordUntilApply();
    void addAndNextAddsAgain();
    void findings_data();
    void findings();
    void bitmapCancelKeepsPicture();
    void learnInput();
    void learnOutputTakesMidiOnly();
    void learnEnds();
};

void TestSettingsDialog::workingRecordUntilApply()
{
    Settings dlg;
    QSignalSpy applied(&dlg, &Settings::valueChanged);
    child<QPushButton>(&dlg, "apply")->click(); // no record to write to
    SettingStruct r = record(0, CT_BUTTON_PUSH);
    dlg.setSettings(&r, false);
    QVERIFY(dlg.isAddMode() && child<QComboBox>(&dlg, "type")->isEnabled());
    spin(&dlg, "posX")->setValue(300);
    child<QTextEdit>(&dlg, "name")->setPlainText(QStringLiteral("<b>Go</b>"));
    select(&dlg, "type", CT_LABEL);
    QCOMPARE(dlg.workingRecord().position_x, 300u);
    QCOMPARE(r.position_x, 0u);
    QCOMPARE(int(r.control_type), int(CT_BUTTON_PUSH));
    QVERIFY(child(&dlg, "nameHint")->isVisibleTo(&dlg));

    child<QPushButton>(&dlg, "apply")->click();
    QCOMPARE(applied.count(), 1);
    QCOMPARE(r.position_x, 300u);
    QCOMPARE(r.name, QStringLiteral("<b>Go</b>"));
    QCOMPARE(int(r.control_type), int(CT_LABEL));
    QCOMPARE(r.id, 0u);
    // Opened again, what was not applied is gone; no record changes nothing.
    spin(&dlg, "posX")->setValue(5);
    dlg.setSettings(&r, false);
    dlg.setSettings(nullptr, false);
    QCOMPARE(spin(&dlg, "posX")->value(), 300);

    // The type is chosen when adding only; an HTTP link is stored as typed.
    SettingStruct edited = record(4, CT_KNOB);
    dlg.setSettings(&edited, false);
    QVERIFY(!child<QComboBox>(&dlg, "type")->isEnabled());
    QCOMPARE(child<QComboBox>(&dlg, "type")->currentData().toInt(), int(CT_KNOB));
    QVERIFY(!dlg.isAddMode());
    QWidget *out = child(&dlg, "dmxOut");
    select(out, "protocol", PT_HTTP);
    child<QTextEdit>(out, "http")->setPlainText(QStringLiteral("dim.php?level=%1"));
    child<QPushButton>(&dlg, "apply")->click();
    QCOMPARE(edited.dmx_out.dmx_http_filename, QStringLiteral("dim.php?level=%1"));
    QCOMPARE(edited.id, 4u);
}

void TestSettingsDialog::addAndNextAddsAgain()
{
    SettingStruct r = record(0, CT_FADER_VERTICAL);
    Settings dlg;
    QList<SettingStruct> added;
    connect(&dlg, &Settings::valueChanged, this, [&] { added << r; });
    dlg.setSettings(&r, false);
    dlg.show();
    spin(&dlg, "sizeY")->setValue(200);
    child<QPushButton>(&dlg, "apply")->click();
    child<QPushButton>(&dlg, "apply")->click();
    QCOMPARE(added.size(), 2);
    QCOMPARE(added.at(1).size_y, 200u);
    QVERIFY(dlg.isVisible());
    child<QPushButton>(&dlg, "ok")->click();
    QCOMPARE(added.size(), 3);
    QVERIFY(!dlg.isVisible());
}

void TestSettingsDialog::findings_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("keepEditing");
    QTest::newRow("nothing found") << false << true;
    QTest::newRow("findings, back to the settings") << true << true;
    QTest::newRow("findings, apply anyway") << true << false;
}

// A new control is checked as it would be added (id 0); findings ask first.
void TestSettingsDialog::findings()
{
    QFETCH(bool, found);
    QFETCH(bool, keepEditing);
    QList<SettingStruct> checked;
    int asked = 0;
    SettingsServices services;
    services.checkConsistence = [&](SettingStruct *candidate) {
        checked << *candidate;
        return !found;
    };
    services.keepEditing = [&] {
        ++asked;
        return keepEditing;
    };
    Settings dlg(services);
    QSignalSpy applied(&dlg, &Settings::valueChanged);
    SettingStruct r = record(0, CT_BUTTON_PUSH);
    dlg.setSettings(&r, false);
    dlg.show();
    spin(&dlg, "posX")->setValue(60);
    child<QPushButton>(&dlg, "ok")->click();
    QCOMPARE(checked.size(), 1);
    QCOMPARE(checked.first().id, 0u);
    QCOMPARE(checked.first().position_x, 60u);
    QCOMPARE(asked, found ? 1 : 0);
    const bool written = !found || !keepEditing;
    QCOMPARE(applied.count(), written ? 1 : 0);
    QCOMPARE(r.position_x, written ? 60u : 0u);
    QCOMPARE(dlg.isVisible(), !written);
}

void TestSettingsDialog::bitmapCancelKeepsPicture()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.png"));
    QImage picture(10, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(path));

    SettingStruct r = record(3, CT_BUTTON_PUSH);
    QImage red(30, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    r.bitmap = Picture::fromImage(red);
    QString chosen;
    SettingsServices services;
    services.chooseBitmapFile = [&] { return chosen; };
    Settings dlg(services);
    dlg.setSettings(&r, false);
    QCOMPARE(child<QLabel>(&dlg, "bitmapSize")->text(), QStringLiteral("30x30"));

    child<QPushButton>(&dlg, "bitmapSelect")->click(); // cancelled
    QCOMPARE(dlg.workingRecord().bitmap, r.bitmap);
    QCOMPARE(child<QLabel>(&dlg, "bitmapSize")->text(), QStringLiteral("30x30"));

    chosen = path;
    child<QPushButton>(&dlg, "bitmapSelect")->click();
    QCOMPARE(child<QLabel>(&dlg, "bitmapSize")->text(), QStringLiteral("10x20"));
    QCOMPARE(r.bitmap.size(), QSize(30, 30));

    child<QPushButton>(&dlg, "bitmapDelete")->click();
    QVERIFY(dlg.workingRecord().bitmap.isNull());
    QVERIFY(child<QLabel>(&dlg, "bitmapSize")->text().isEmpty());
}

void TestSettingsDialog::learnInput()
{
    SettingStruct r = record(5, CT_BUTTON_PUSH);
    Settings dlg;
    dlg.setSettings(&r, false);
    QSignalSpy requested(&dlg, &Settings::learnRequested);
    QSignalSpy finished(&dlg, &Settings::learnFinished);
    QVERIFY(!dlg.takeLearned(PT_ARTNET, 1, 4, 0)); // nothing asked for

    child<QPushButton>(&dlg, "inLearn")->click();
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.first().first().toInt(), int(Settings::LearnInput));
    QVERIFY(child<QPushButton>(&dlg, "inLearn")->isChecked());
    QTimer *timer = child<QTimer>(&dlg, "learnTimer");
    QVERIFY(timer->isActive());

    QVERIFY(!dlg.takeLearned(PT_HTTP, 0, 0, 0));
    QVERIFY(dlg.takeLearned(PT_ACN, 2, 9, 0));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!child<QPushButton>(&dlg, "inLearn")->isChecked());
    QCOMPARE(child<QComboBox>(&dlg, "inProtocol")->currentData().toInt(), int(PT_ACN));
    QCOMPARE(spin(&dlg, "inUniverse")->value(), 3);
    QCOMPARE(spin(&dlg, "inChannel")->value(), 10);
    QCOMPARE(int(r.dmx_in.protocol_type_in), int(PT_NONE)); // shown, not applied
}

void TestSettingsDialog::learnOutputTakesMidiOnly()
{
    SettingStruct r = record(5, CT_FADER_VERTICAL_MIDDLE);
    Settings dlg;
    dlg.setSettings(&r, false);
    QSignalSpy requested(&dlg, &Settings::learnRequested);
    QWidget *advanced = child<QWidget>(&dlg, "dmxOutAdvanced");
    child<QPushButton>(advanced, "learn")->click();
    QCOMPARE(requested.first().first().toInt(), int(Settings::LearnOutputAdvanced));
    QVERIFY(!dlg.takeLearned(PT_ARTNET, 0, 3, 0));
    QCOMPARE(dlg.learnTarget(), int(Settings::LearnOutputAdvanced));
    QVERIFY(dlg.takeLearned(PT_MIDI, 3, 64, MT_CONTROL_CHANGE));
    const SettingDmxStruct &out = dlg.workingRecord().dmx_out_advanced;
    QCOMPARE(int(out.protocol_type), int(PT_MIDI));
    QCOMPARE(int(out.dmx_universe), 3);
    QCOMPARE(int(out.dmx_channel), 64);
    QCOMPARE(int(out.dmx_midi_type), int(MT_CONTROL_CHANGE));
    QCOMPARE(spin(advanced, "note")->value(), 64);
    QCOMPARE(spin(advanced, "universe")->value(), 4);
    QCOMPARE(int(dlg.workingRecord().dmx_out.protocol_type), int(PT_NONE));
}

void TestSettingsDialog::learnEnds()
{
    SettingStruct r = record(5, CT_BUTTON_PUSH);
    Settings dlg;
    dlg.setSettings(&r, false);
    QSignalSpy finished(&dlg, &Settings::learnFinished);
    QPushButton *learn = child<QPushButton>(&dlg, "inLearn");

    learn->click();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dlg.learnTarget(), int(Settings::NoLearning));

    learn->click();
    learn->click(); // the button again
    QCOMPARE(finished.count(), 2);

    child<QTimer>(&dlg, "learnTimer")->setInterval(1);
    learn->click();
    QTRY_COMPARE(finished.count(), 3);
    QVERIFY(!learn->isChecked());

    dlg.show();
    learn->click();
    dlg.close();
    QCOMPARE(finished.count(), 4);

    // Escape ends a learn first, and then cancels the editor.
    QSignalSpy applied(&dlg, &Settings::valueChanged);
    dlg.show();
    learn->click();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QCOMPARE(finished.count(), 5);
    QVERIFY(dlg.isVisible());
    QTest::keyClick(spin(&dlg, "posX"), Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(applied.count(), 0);
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
