// The control editor's window and its output editor: what the fields show,
// what they write, and what reaches the record the window was given.
#include "dialogs/settings.h"
#include "dialogs/settingsdmxoutwidget.h"
#include "dialogs/settingsrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QSpinBox *spin(QWidget *parent, const char *name)
{
    return child<QSpinBox>(parent, name);
}

void select(QWidget *parent, const char *list, int value)
{
    QComboBox *combo = child<QComboBox>(parent, list);
    combo->setCurrentIndex(combo->findData(value));
}

bool seen(QWidget *w, QWidget *top)
{
    return w->isVisibleTo(top);
}

SettingStruct record(quint32 id, quint8 type)
{
    SettingStruct r;
    r.id = id;
    r.control_type = type;
    return r;
}

// The inputs of an output editor by object name, with their row flag.
const std::pair<bool DmxOutRows::*, const char *> kOutputRows[] = {
    {&DmxOutRows::value1, "value1"},     {&DmxOutRows::value2, "value2"},
    {&DmxOutRows::value3, "value3"},     {&DmxOutRows::channel, "channel"},
    {&DmxOutRows::note, "note"},         {&DmxOutRows::universe, "universe"},
    {&DmxOutRows::midiType, "midiType"}, {&DmxOutRows::http, "http"},
    {&DmxOutRows::command, "command"}};

// The inputs the editor shows, and those the row table asks for.
QString shownOutputRows(SettingsDmxOutWidget &w)
{
    QStringList shown;
    for (const auto &row : kOutputRows)
        if (seen(child<QWidget>(&w, row.second), &w))
            shown << QLatin1String(row.second);
    return shown.join(QLatin1Char(' '));
}

QString expectedOutputRows(quint8 type, quint8 protocol)
{
    const DmxOutRows r = dmxOutRows(type, protocol);
    QStringList shown;
    for (const auto &[flag, name] : kOutputRows)
        if (r.group && r.*flag)
            shown << QLatin1String(name);
    return shown.join(QLatin1Char(' '));
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void outputFollowsRowTable();
    void oneBasedOutputFields_data();
    void oneBasedOutputFields();
    void outputMidiKeepsTypedValues();
    void workingRecordUntilApply();
    void addAndNextAddsAgain();
    void newControlCheckedOnAdd();
    void oneBasedInputFields();
    void inputFollowsRowTable();
    void hexCompanionsFollowPreference();
    void bitmapCancelKeepsPicture();
    void learnInput();
    void learnOutputTakesMidiOnly();
    void learnEnds();
};

void TestSettingsDialog::outputFollowsRowTable()
{
    SettingDmxStruct out;
    SettingsDmxOutWidget w;
    w.setSettings(&out, CT_BUTTON_PUSH, false, QStringLiteral("DMX-OUT"));
    for (int type : {0, 2, 5, 11, 12, 14, 15, 16, int(AOT_CENTER), int(AOT_NONE)}) {
        for (quint8 protocol = PT_NONE; protocol < PT_COUNT; ++protocol) {
            out.protocol_type = protocol;
            w.setControlType(quint8(type));
            QCOMPARE(shownOutputRows(w), expectedOutputRows(quint8(type), protocol));
        }
    }
}

void TestSettingsDialog::oneBasedOutputFields_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("universe");
    QTest::addColumn<QString>("channelInput");
    QTest::addColumn<int>("shownChannel");
    QTest::addColumn<int>("shownUniverse");
    QTest::newRow("DMX channel and universe from 1")
        << int(PT_ARTNET) << 0 << 0 << "channel" << 1 << 1;
    QTest::newRow("last DMX channel") << int(PT_ACN) << 511 << 65534 << "channel" << 512 << 65535;
    QTest::newRow("MIDI note as stored, channel from 1")
        << int(PT_MIDI) << 60 << 9 << "note" << 60 << 10;
}

void TestSettingsDialog::oneBasedOutputFields()
{
    QFETCH(int, protocol);
    QFETCH(int, channel);
    QFETCH(int, universe);
    QFETCH(QString, channelInput);
    QFETCH(int, shownChannel);
    QFETCH(int, shownUniverse);
    SettingDmxStruct out;
    out.protocol_type = quint8(protocol);
    out.dmx_channel = quint16(channel);
    out.dmx_universe = quint16(universe);
    SettingsDmxOutWidget w;
    w.setSettings(&out, CT_BUTTON_PUSH, false, QString());
    QSpinBox *channelSpin = spin(&w, channelInput.toLatin1().constData());
    QCOMPARE(channelSpin->value(), shownChannel);
    QCOMPARE(spin(&w, "universe")->value(), shownUniverse);

    channelSpin->setValue(100);
    spin(&w, "universe")->setValue(8);
    QCOMPARE(int(out.dmx_channel), channelInput == QLatin1String("note") ? 100 : 99);
    QCOMPARE(int(out.dmx_universe), 7);
}

void TestSettingsDialog::outputMidiKeepsTypedValues()
{
    SettingDmxStruct out;
    out.protocol_type = PT_ARTNET;
    SettingsDmxOutWidget w;
    w.setSettings(&out, CT_BUTTON_PUSH, true, QString());
    spin(&w, "value1")->setValue(200);
    spin(&w, "universe")->setValue(40);

    select(&w, "protocol", PT_MIDI);
    QCOMPARE(spin(&w, "value1")->value(), 127);
    QCOMPARE(spin(&w, "universe")->value(), 16);
    QCOMPARE(int(out.dmx_value_1), 200);
    QCOMPARE(int(out.dmx_universe), 39);

    select(&w, "protocol", PT_ARTNET);
    QCOMPARE(spin(&w, "value1")->value(), 200);
    QCOMPARE(spin(&w, "universe")->value(), 40);
    QCOMPARE(int(out.protocol_type), int(PT_ARTNET));

    // An HTTP link is stored as typed.
    select(&w, "protocol", PT_HTTP);
    child<QTextEdit>(&w, "http")->setPlainText(QStringLiteral("dim.php?level=%1"));
    QCOMPARE(out.dmx_http_filename, QStringLiteral("dim.php?level=%1"));
    QCOMPARE(int(out.protocol_type), int(PT_HTTP));
}

void TestSettingsDialog::workingRecordUntilApply()
{
    // The type is chosen when adding only.
    SettingStruct edited = record(4, CT_KNOB);
    Settings editing;
    editing.setSettings(&edited, false);
    QVERIFY(!child<QComboBox>(&editing, "type")->isEnabled());
    QCOMPARE(child<QComboBox>(&editing, "type")->currentData().toInt(), int(CT_KNOB));
    QVERIFY(!editing.isAddMode());

    SettingStruct r = record(0, CT_BUTTON_PUSH);
    Settings dlg;
    QSignalSpy applied(&dlg, &Settings::valueChanged);
    dlg.setSettings(&r, false);
    QVERIFY(dlg.isAddMode() && child<QComboBox>(&dlg, "type")->isEnabled());
    spin(&dlg, "posX")->setValue(300);
    child<QTextEdit>(&dlg, "name")->setPlainText(QStringLiteral("<b>Go</b>"));
    select(&dlg, "type", CT_LABEL);
    QCOMPARE(dlg.workingRecord().position_x, 300u);
    QCOMPARE(r.position_x, 0u);
    QCOMPARE(int(r.control_type), int(CT_BUTTON_PUSH));
    QVERIFY(seen(child<QLabel>(&dlg, "nameHint"), &dlg));

    child<QPushButton>(&dlg, "apply")->click();
    QCOMPARE(applied.count(), 1);
    QCOMPARE(r.position_x, 300u);
    QCOMPARE(r.name, QStringLiteral("<b>Go</b>"));
    QCOMPARE(int(r.control_type), int(CT_LABEL));
    QCOMPARE(r.id, 0u);
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

void TestSettingsDialog::newControlCheckedOnAdd()
{
    SettingStruct r = record(0, CT_BUTTON_PUSH);
    int checks = 0;
    SettingsServices services;
    services.checkConsistence = [&](SettingStruct *candidate) {
        ++checks;
        return candidate->position_x != 10; // pretends x = 10 overlaps
    };
    services.keepEditing = [] { return true; };
    Settings dlg(services);
    QSignalSpy applied(&dlg, &Settings::valueChanged);
    dlg.setSettings(&r, false);
    dlg.show();
    spin(&dlg, "posX")->setValue(10);
    child<QPushButton>(&dlg, "ok")->click();
    QCOMPARE(checks, 1);
    QCOMPARE(applied.count(), 0);
    QCOMPARE(r.position_x, 0u);
    QVERIFY(dlg.isVisible());

    spin(&dlg, "posX")->setValue(20);
    child<QPushButton>(&dlg, "ok")->click();
    QCOMPARE(checks, 2);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(r.position_x, 20u);
}

void TestSettingsDialog::oneBasedInputFields()
{
    SettingStruct r = record(2, CT_BUTTON_PUSH);
    r.dmx_in.protocol_type_in = PT_ARTNET;
    r.dmx_in.dmx_in_channel = 0;
    r.dmx_in.dmx_in_universe = 0;
    Settings dlg;
    dlg.setSettings(&r, false);
    QCOMPARE(spin(&dlg, "inChannel")->value(), 1);
    QCOMPARE(spin(&dlg, "inUniverse")->value(), 1);
    spin(&dlg, "inChannel")->setValue(6);
    QCOMPARE(int(dlg.workingRecord().dmx_in.dmx_in_channel), 5);

    select(&dlg, "inProtocol", PT_MIDI);
    QCOMPARE(spin(&dlg, "inNote")->value(), 5);
    spin(&dlg, "inNote")->setValue(64);
    spin(&dlg, "inUniverse")->setValue(16);
    QCOMPARE(int(dlg.workingRecord().dmx_in.dmx_in_channel), 64);
    QCOMPARE(int(dlg.workingRecord().dmx_in.dmx_in_universe), 15);

    // MIDI shows the typed value narrowed, another protocol shows it again;
    // applied under MIDI, the value is narrowed for good.
    r.dmx_in.dmx_in_value_3 = 200;
    dlg.setSettings(&r, false);
    QCOMPARE(spin(&dlg, "inValue3")->value(), 200);
    select(&dlg, "inProtocol", PT_MIDI);
    QCOMPARE(spin(&dlg, "inValue3")->value(), 127);
    select(&dlg, "inProtocol", PT_ACN);
    QCOMPARE(spin(&dlg, "inValue3")->value(), 200);
    select(&dlg, "inProtocol", PT_MIDI);
    child<QPushButton>(&dlg, "apply")->click();
    QCOMPARE(int(r.dmx_in.dmx_in_value_3), 127);
    QCOMPARE(int(r.dmx_in.protocol_type_in), int(PT_MIDI));
}

void TestSettingsDialog::inputFollowsRowTable()
{
    SettingStruct r = record(0, CT_BUTTON_PUSH);
    Settings dlg;
    for (int type : {0, 1, 2, 3, 6, 11, 12, 15, 16}) {
        for (quint8 protocol = PT_NONE; protocol < PT_COUNT; ++protocol) {
            r.control_type = quint8(type);
            r.dmx_in.protocol_type_in = protocol;
            dlg.setSettings(&r, false);
            const DmxInRows rows = dmxInRows(quint8(type), protocol);
            const std::pair<bool, const char *> expected[] = {
                {rows.value1, "inValue1"},     {rows.value2, "inValue2"},
                {rows.value3, "inValue3"},     {rows.channel, "inChannel"},
                {rows.note, "inNote"},         {rows.universe, "inUniverse"},
                {rows.midiType, "inMidiType"}, {rows.color1, "inColorRed1"},
                {rows.color3, "inColorRed3"},  {rows.fade, "inFade"}};
            for (const auto &[shown, name] : expected)
                QVERIFY2(seen(child<QWidget>(&dlg, name), &dlg) == (shown && rows.group),
                         qPrintable(QStringLiteral("%1 %2 %3").arg(type).arg(protocol).arg(name)));
        }
    }
}

void TestSettingsDialog::hexCompanionsFollowPreference()
{
    SettingStruct r = record(1, CT_ENCODER_PUSH);
    r.dmx_out.protocol_type = PT_MIDI;
    r.dmx_out.dmx_midi_type = MT_NOTE_ON;
    r.dmx_out_advanced.protocol_type = PT_ARTNET;
    Settings dlg;
    auto hexShown = [&] {
        QStringList texts;
        for (QLabel *label : dlg.findChildren<QLabel *>()) {
            if (label->text().startsWith(QLatin1String("0x")) && seen(label, &dlg))
                texts << label->text();
        }
        return texts;
    };
    dlg.setSettings(&r, false);
    QVERIFY(hexShown().isEmpty());
    dlg.setSettings(&r, true);
    QVERIFY(hexShown().contains(QStringLiteral("0x90")));
    QVERIFY(hexShown().contains(QStringLiteral("0xff")));
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
