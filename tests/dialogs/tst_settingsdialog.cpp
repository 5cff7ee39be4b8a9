// The control editor's window: what reaches the record it was given, and
// learning. Its input and output editors: tst_dmxineditor; its picture:
// tst_backgrounddialog.
#include "dialogs/settings.h"
#include "dialogs/tooltipwrap.h"
#include "tests/dialogs/dialogtest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
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
    // A long plain tooltip shows in lines of at most 70 characters, broken at
    // spaces; short and rich ones stay as they are, and the widget keeps its
    // own text.
    void longToolTipsWrap()
    {
        const QString tip = QString("word ").repeated(14) + "a & b";
        QCOMPARE(WrappedToolTips::shown("short"), "short");
        QCOMPARE(WrappedToolTips::shown("<b>" + tip + "</b>"), "<b>" + tip + "</b>");
        QLineEdit field;
        field.setToolTip(tip);
        field.show();
        WrappedToolTips wrap;
        qApp->installEventFilter(&wrap);
        QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), field.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&field, &help);
        QCOMPARE(QToolTip::text(), "<p style='white-space:pre'>" + QString("word ").repeated(13) +
                                       "word<br>a &amp; b</p>");
        QCOMPARE(field.toolTip(), tip);
    }
    void workingRecordUntilApply()
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

    void findings_data()
    {
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("keepEditing");
        QTest::newRow("nothing found") << false << true;
        QTest::newRow("findings, back to the settings") << true << true;
        QTest::newRow("findings, apply anyway") << true << false;
    }

    // A new control is checked as it would be added (id 0); findings ask first.
    void findings()
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

    void learn_data()
    {
        QTest::addColumn<QString>("editor"); // where the Learn button is
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("refused"); // the protocol of a change it does not take
        QTest::addColumn<int>("learned");
        QTest::addColumn<QString>("channel"); // the box showing the learned channel
        QTest::addColumn<int>("shown");
        QTest::newRow("input, DMX or MIDI") << "dmxIn" << int(Settings::LearnInput) << int(PT_HTTP)
                                            << int(PT_ACN) << "inChannel" << 65;
        QTest::newRow("output, MIDI only") << "dmxOut" << int(Settings::LearnOutput)
                                           << int(PT_ARTNET) << int(PT_MIDI) << "note" << 64;
        QTest::newRow("second output") << "dmxOutAdvanced" << int(Settings::LearnOutputAdvanced)
                                       << int(PT_ACN) << int(PT_MIDI) << "note" << 64;
    }

    // The next change that fits the button's editor becomes its address, shown
    // and not applied; the other editors keep theirs.
    void learn()
    {
        QFETCH(QString, editor);
        QFETCH(int, target);
        QFETCH(int, refused);
        QFETCH(int, learned);
        QFETCH(QString, channel);
        QFETCH(int, shown);
        const SettingStruct r = record(5, CT_FADER_VERTICAL_MIDDLE);
        SettingStruct given = r;
        Settings dlg;
        dlg.setSettings(&given, false);
        QSignalSpy requested(&dlg, &Settings::learnRequested);
        QSignalSpy finished(&dlg, &Settings::learnFinished);
        QVERIFY(!dlg.takeLearned(PT_MIDI, 3, 64, 0)); // nothing asked for
        QWidget *in = child(&dlg, editor.toLatin1().constData());
        const bool input = target == Settings::LearnInput;
        auto *button = child<QPushButton>(in, input ? "inLearn" : "learn");
        button->click();
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.first().first().toInt(), target);
        QVERIFY(button->isChecked() && child<QTimer>(&dlg, "learnTimer")->isActive());
        QVERIFY(!dlg.takeLearned(quint8(refused), 3, 64, 0));
        QCOMPARE(dlg.learnTarget(), target);

        QVERIFY(dlg.takeLearned(quint8(learned), 3, 64, MT_CONTROL_CHANGE));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!button->isChecked());
        auto *protocol = child<QComboBox>(in, input ? "inProtocol" : "protocol");
        QCOMPARE(protocol->currentData().toInt(), learned);
        QCOMPARE(spin(in, input ? "inUniverse" : "universe")->value(), 4);
        QCOMPARE(spin(in, channel.toLatin1().constData())->value(), shown);
        const SettingStruct &w = dlg.workingRecord();
        const int protocols = (w.dmx_in.protocol_type_in != PT_NONE) +
                              (w.dmx_out.protocol_type != PT_NONE) +
                              (w.dmx_out_advanced.protocol_type != PT_NONE);
        QCOMPARE(protocols, 1);
        QVERIFY(given.sameContent(r));
    }

    // Port 0 is the show's default port, shown as "Default"; an empty host
    // shows the default host.
    void oscDefaultTarget()
    {
        SettingStruct r = record(5, CT_BUTTON_PUSH);
        r.dmx_out.protocol_type = PT_OSC;
        r.dmx_out.osc_address = QStringLiteral("/go");
        r.dmx_out.osc_port = 7000;
        Settings dlg;
        dlg.setSettings(&r, false);
        dlg.setOscDefaults(QStringLiteral("10.0.0.9"), 9001);
        QSpinBox *port = spin(&dlg, "oscPort");
        port->setValue(0);
        QCOMPARE(port->text(), QStringLiteral("Default"));
        QVERIFY(child<QLineEdit>(&dlg, "oscHost")->placeholderText().contains("10.0.0.9"));
        QVERIFY(port->toolTip().contains("9001"));
        child<QPushButton>(&dlg, "apply")->click();
        QCOMPARE(r.dmx_out.osc_port, quint16(0));
    }

    void learnEnds()
    {
        SettingStruct r = record(5, CT_BUTTON_PUSH);
        Settings dlg;
        dlg.setSettings(&r, false);
        QSignalSpy finished(&dlg, &Settings::learnFinished);
        QPushButton *learn = child<QPushButton>(&dlg, "inLearn");

        learn->click();
        learn->click(); // the button again
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dlg.learnTarget(), int(Settings::NoLearning));

        child<QTimer>(&dlg, "learnTimer")->setInterval(1);
        learn->click();
        QTRY_COMPARE(finished.count(), 2);
        QVERIFY(!learn->isChecked());

        dlg.show();
        learn->click();
        dlg.close();
        QCOMPARE(finished.count(), 3);

        // Escape ends a learn first, and then cancels the editor.
        QSignalSpy applied(&dlg, &Settings::valueChanged);
        dlg.show();
        learn->click();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(finished.count(), 4);
        QVERIFY(dlg.isVisible());
        QTest::keyClick(spin(&dlg, "posX"), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(applied.count(), 0);

        // A learned OSC address is taken by the input only, and only when valid.
        QVERIFY(!dlg.setLearnedOscAddress(QStringLiteral("/go")));
        child<QPushButton>(&dlg, "learn")->click();
        QVERIFY(!dlg.setLearnedOscAddress(QStringLiteral("/go")));
        learn->click();
        QVERIFY(!dlg.setLearnedOscAddress(QStringLiteral("/go/*")));
        QVERIFY(dlg.setLearnedOscAddress(QStringLiteral("/go")));
        QCOMPARE(dlg.learnTarget(), int(Settings::NoLearning));
        QCOMPARE(child<QComboBox>(&dlg, "inProtocol")->currentData().toInt(), int(PT_OSC));
        QCOMPARE(child<QLineEdit>(&dlg, "inOscAddress")->text(), QStringLiteral("/go"));
        QCOMPARE(int(dlg.workingRecord().dmx_out.protocol_type), int(PT_NONE));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
