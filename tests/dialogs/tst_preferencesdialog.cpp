// The preferences window on a show document: devices by name (also when
// not connected), apply, OK and cancel, the confirmations.
#include "dialogs/preferencesdialog.h"
#include "model/showdocument.h"
#include "remote/pinguard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

namespace
{

void click(QWidget &dialog, const char *name)
{
    dialog.findChild<QAbstractButton *>(QLatin1String(name))->click();
}

void pick(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList texts(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace

class TestPreferencesDialog : public QObject
{
    Q_OBJECT
private slots:
    void devices_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("number");
        QTest::newRow("no devices") << QStringList() << "" << QStringList{"None"} << 0 << 0;
        QTest::newRow("none stored")
            << QStringList{"A"} << "" << QStringList{"None", "A"} << 0 << 0;
        QTest::newRow("present by name")
            << QStringList{"A", "B"} << "B" << QStringList{"None", "A", "B"} << 2 << 2;
        QTest::newRow("not connected")
            << QStringList{"A"} << "Gone" << QStringList{"None", "A", "Gone (not connected)"} << 2
            << 0;
        QTest::newRow("names compare exactly")
            << QStringList{"b"} << "B" << QStringList{"None", "b", "B (not connected)"} << 2 << 0;
    }

    void devices()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, stored);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(int, number);
        ShowDocument document;
        PreferencesStruct prefs;
        prefs.midi_device_out_name = stored;
        prefs.midi_device_in_name = stored;
        document.applyPreferences(prefs);
        Preferences dialog;
        dialog.setMidiDevices(present, present);
        dialog.setPreferences(&document);
        for (const char *name : {"midiOut", "midiIn"}) {
            const auto *combo = dialog.findChild<QComboBox *>(name);
            QCOMPARE(texts(combo), entries);
            QCOMPARE(combo->currentIndex(), selected);
        }
        QCOMPARE(int(dialog.edit().working().midi_device_out), number);
        QCOMPARE(dialog.edit().working().midi_device_out_name, stored);
    }

    void absentKeptUntilAnotherIsPicked_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("other"); // the name of entry 1
        QTest::newRow("MIDI output")
            << "midiOut" << QStringList{"None", "A", "Gone (not connected)"} << "A";
        QTest::newRow("network") << "network"
                                 << QStringList{"First usable network", "eth0 (192.168.1.10)",
                                                "Gone (not connected)"}
                                 << "eth0";
    }

    // A stored choice that is not there now stays until another is picked, and
    // picking it again takes it back; the first entry stores none.
    void absentKeptUntilAnotherIsPicked()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, entries);
        QFETCH(QString, other);
        const bool midi = list == "midiOut";
        const auto name = [midi](const PreferencesStruct &p) {
            return midi ? p.midi_device_out_name : p.net_interface;
        };
        ShowDocument document;
        PreferencesStruct prefs;
        (midi ? prefs.midi_device_out_name : prefs.net_interface) = "Gone";
        document.applyPreferences(prefs);
        Preferences dialog;
        dialog.setMidiDevices({"A"}, {});
        dialog.setNetworks({{"eth0", "192.168.1.10"}});
        dialog.setPreferences(&document);
        auto *combo = dialog.findChild<QComboBox *>(list);
        QCOMPARE(texts(combo), entries);
        QCOMPARE(combo->currentIndex(), 2);
        dialog.findChild<QSpinBox *>("timeout")->setValue(4);
        click(dialog, "apply");
        QCOMPARE(name(document.preferences()), QStringLiteral("Gone"));
        pick(combo, 1);
        QCOMPARE(name(dialog.edit().working()), other);
        pick(combo, 2);
        QCOMPARE(name(dialog.edit().working()), QStringLiteral("Gone"));
        QCOMPARE(int(dialog.edit().working().midi_device_out), 0);
        pick(combo, 1);
        click(dialog, "apply");
        QCOMPARE(name(document.preferences()), other);
        pick(combo, 0);
        click(dialog, "apply");
        QCOMPARE(name(document.preferences()), QString());
        QCOMPARE(document.undoStack().count(), 3);
    }

    void applyOkCancel()
    {
        ShowDocument document;
        Preferences dialog;
        QSignalSpy changed(&dialog, &Preferences::valueChanged);
        dialog.setPreferences(&document);
        auto *timeout = dialog.findChild<QSpinBox *>("timeout");
        timeout->setValue(7);
        click(dialog, "cancel");
        QCOMPARE(document.preferences().startup_timeout, quint16(0));
        dialog.setPreferences(&document);
        QCOMPARE(timeout->value(), 0);

        timeout->setValue(7);
        dialog.findChild<QLineEdit *>("projectName")->setText("Show");
        dialog.findChild<QCheckBox *>("alwaysBroadcast")->click();
        click(dialog, "apply");
        click(dialog, "apply");
        QCOMPARE(changed.count(), 2);
        QCOMPARE(document.undoStack().count(), 1); // one step for the whole apply
        QCOMPARE(document.preferences().startup_timeout, quint16(7));
        QCOMPARE(document.preferences().project_name, QStringLiteral("Show"));
        QVERIFY(document.preferences().artnet_always_broadcast);
        document.undoStack().undo();
        QCOMPARE(document.preferences(), PreferencesStruct());
    }

    void oscTargets_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<bool>("host"); // false: a blank default host
        QTest::addColumn<bool>("applied");
        QTest::newRow("targets") << "10.0.0.5:8000, [::1]:9000" << true << true;
        QTest::newRow("no default host") << "" << false << false;
        QTest::newRow("no port") << "10.0.0.5" << true << false;
        QTest::newRow("port 0") << "desk:0" << true << false;
        QTest::newRow("port too large") << "desk:65536" << true << false;
        QTest::newRow("IPv6 without brackets") << "::1:9000" << true << false;
        QTest::newRow("no host") << ":9000" << true << false;
        QTest::newRow("empty entry") << "desk:1," << true << false;
        QTest::newRow("space in host") << "my desk:1" << true << false;
    }

    // The default target and the plain targets reach the show on OK in one
    // step that undo takes back; what does not parse is refused, named, and
    // the window stays open.
    void oscTargets()
    {
        QFETCH(QString, plain);
        QFETCH(bool, host);
        QFETCH(bool, applied);
        ShowDocument document;
        Preferences dialog;
        QStringList refusals;
        dialog.setRefusalShower([&refusals](const QString &r) { refusals << r; });
        dialog.setPreferences(&document);
        dialog.show();
        dialog.findChild<QLineEdit *>("oscDefaultHost")->setText(host ? "desk.local" : " ");
        dialog.findChild<QSpinBox *>("oscDefaultPort")->setValue(9100);
        dialog.findChild<QLineEdit *>("oscPlainTargets")->setText(plain);
        click(dialog, "ok");
        QCOMPARE(dialog.isVisible(), !applied);
        QCOMPARE(refusals.size(), applied ? 0 : 1);
        QCOMPARE(document.undoStack().count(), applied ? 1 : 0);
        if (!applied)
            return;
        const PreferencesStruct &p = document.preferences();
        QCOMPARE(p.osc_default_host, QStringLiteral("desk.local"));
        QCOMPARE(p.osc_default_port, quint16(9100));
        QCOMPARE(p.osc_plain_targets, (QStringList{"10.0.0.5:8000", "[::1]:9000"}));
        dialog.setPreferences(&document); // opened again, as typed
        QCOMPARE(dialog.findChild<QLineEdit *>("oscPlainTargets")->text(), plain);
        document.undoStack().undo();
        QCOMPARE(document.preferences(), PreferencesStruct());
    }

    void switchingOnAsks_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("answer");
        QTest::newRow("lock, yes") << "lock" << true;
        QTest::newRow("lock, no") << "lock" << false;
        QTest::newRow("command, yes") << "command" << true;
        QTest::newRow("command, no") << "command" << false;
    }

    // The screen lock and the command output ask before they go on, never
    // before they go off; the answer reaches the document on OK.
    void switchingOnAsks()
    {
        QFETCH(QString, box);
        QFETCH(bool, answer);
        ShowDocument document;
        Preferences dialog;
        QStringList questions;
        const auto ask = [&](const QString &question) {
            questions << question;
            return answer;
        };
        dialog.setLockConfirmation([&] { return ask("lock"); });
        dialog.setQuestionAsker(ask);
        dialog.setPreferences(&document);
        const QByteArray name = box.toLatin1();
        auto *check = dialog.findChild<QCheckBox *>(box);
        click(dialog, name);
        QCOMPARE(check->isChecked(), answer);
        if (answer) { // off, and on again
            click(dialog, name);
            QVERIFY(!check->isChecked());
            click(dialog, name);
        }
        click(dialog, "ok");
        QCOMPARE(questions.size(), answer ? 2 : 1);
        QVERIFY(questions.first().contains(box == "lock" ? "lock" : "rights"));
        const PreferencesStruct &stored = document.preferences();
        QCOMPARE(box == "lock" ? stored.lock_screen : stored.command_flag, answer);
    }

    // The update check is the user's: off until switched on, stored on OK or
    // Apply, never a step of the show's history nor a change of the show.
    void userPreferencesApartFromTheShow()
    {
        ShowDocument document;
        Preferences dialog;
        QList<UserPreferences> stored;
        const auto store = [&stored](const UserPreferences &p) { stored << p; };
        auto *check = dialog.findChild<QCheckBox *>("checkUpdates");
        for (const char *close : {"cancel", "ok"}) {
            dialog.setPreferences(&document);
            dialog.setUserPreferences(UserPreferences(), store);
            QVERIFY(!check->isChecked());
            click(dialog, "checkUpdates");
            click(dialog, close);
        }
        click(dialog, "apply"); // unchanged since: stored once
        QCOMPARE(stored.size(), 1);
        QVERIFY(stored.first().check_updates);
        QCOMPARE(document.undoStack().count(), 0);
        QVERIFY(!document.isModified());

        // The OSC input port likewise; 0 is "Off".
        auto *port = dialog.findChild<QSpinBox *>("oscInPort");
        QCOMPARE(port->text(), QStringLiteral("Off"));
        port->setValue(8000);
        click(dialog, "apply");
        QCOMPARE(stored.last().osc_in_port, quint16(8000));
        port->setValue(0);
        click(dialog, "apply");
        QCOMPARE(stored.last().osc_in_port, quint16(0));
        QCOMPARE(document.undoStack().count(), 0);
    }

    void remotePin_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("storedPin"); // "": no hash stored
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal"); // "": stored
        QTest::newRow("4 digits") << true << ""
                                  << "1234"
                                  << "";
        QTest::newRow("8 digits") << true << ""
                                  << "12345678"
                                  << "";
        QTest::newRow("3 digits") << true << ""
                                  << "123"
                                  << "4 to 8 digits";
        QTest::newRow("9 digits") << false << ""
                                  << "123456789"
                                  << "4 to 8 digits";
        QTest::newRow("letters") << true << "1234"
                                 << "12ab"
                                 << "4 to 8 digits";
        QTest::newRow("on without a PIN") << true << ""
                                          << ""
                                          << "Set a PIN";
        QTest::newRow("on, the stored PIN stays") << true << "2468"
                                                  << ""
                                                  << "";
        QTest::newRow("a new PIN replaces it") << true << "2468"
                                               << "13579"
                                               << "";
    }

    // A PIN typed is stored as a hash on OK, never as typed; a PIN that is
    // not 4 to 8 digits, or the remote on without any, is refused with the
    // window open on the page of the PIN; an empty field keeps the hash.
    void remotePin()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, storedPin);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        ShowDocument document;
        Preferences dialog;
        QStringList refusals;
        dialog.setRefusalShower([&refusals](const QString &r) { refusals << r; });
        QList<UserPreferences> stored;
        UserPreferences before;
        before.remote_enabled = enabled;
        if (!storedPin.isEmpty())
            before.remote_pin_hash = pinhash::hashPin(storedPin);
        dialog.setPreferences(&document);
        dialog.setUserPreferences(before, [&stored](const UserPreferences &p) { stored << p; });
        auto *pin = dialog.findChild<QLineEdit *>("remotePin");
        QCOMPARE(pin->placeholderText().startsWith("PIN set"), !storedPin.isEmpty());
        dialog.show();
        pin->setText(typed);
        click(dialog, "ok");
        QCOMPARE(dialog.isVisible(), !refusal.isEmpty());
        if (!refusal.isEmpty()) {
            QCOMPARE(refusals.size(), 1);
            QVERIFY2(refusals.first().contains(refusal), qPrintable(refusals.first()));
            QCOMPARE(dialog.findChild<QTabWidget *>("pages")->currentIndex(), 1);
            QVERIFY(stored.isEmpty());
            return;
        }
        const QByteArray hash =
            stored.isEmpty() ? before.remote_pin_hash : stored.last().remote_pin_hash;
        const QString pinNow = typed.isEmpty() ? storedPin : typed;
        QVERIFY(pinhash::pinMatches(hash, pinNow));
        QVERIFY(hash != pinNow.toLatin1());
        QVERIFY(pin->text().isEmpty());
        QVERIFY(pin->placeholderText().startsWith("PIN set"));
    }

    // The web remote's settings reach the store on Apply, and switching it
    // off again stores off and the show's interface, keeping the PIN.
    void remoteSettingsAndTheWayBack()
    {
        Preferences dialog;
        QList<UserPreferences> stored;
        dialog.setUserPreferences(UserPreferences(),
                                  [&stored](const UserPreferences &p) { stored << p; });
        auto *interface = dialog.findChild<QComboBox *>("remoteInterface");
        QCOMPARE(interface->currentIndex(), 0);
        click(dialog, "remoteEnabled");
        dialog.findChild<QSpinBox *>("remotePort")->setValue(65535);
        interface->setEditText("eth1");
        click(dialog, "remoteOperate");
        click(dialog, "remoteRisky");
        dialog.findChild<QLineEdit *>("remotePin")->setText("0000");
        click(dialog, "apply");
        QCOMPARE(stored.size(), 1);
        UserPreferences on = stored.last();
        QVERIFY(on.remote_enabled && !on.remote_operate && on.remote_risky_outputs);
        QCOMPARE(on.remote_port, quint16(65535));
        QCOMPARE(on.remote_interface, QStringLiteral("eth1"));

        click(dialog, "remoteEnabled");
        interface->setCurrentIndex(0);
        click(dialog, "apply");
        QCOMPARE(stored.size(), 2);
        QVERIFY(!stored.last().remote_enabled);
        QCOMPARE(stored.last().remote_interface, QString());
        QCOMPARE(stored.last().remote_pin_hash, on.remote_pin_hash);
        dialog.setUserPreferences(on, {}); // opened again
        QCOMPARE(interface->currentText(), QStringLiteral("eth1"));
    }
};

QTEST_MAIN(TestPreferencesDialog)
#include "tst_preferencesdialog.moc"
