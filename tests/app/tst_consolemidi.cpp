// The console against a real MIDI peer: a private JACK server and a
// python-rtmidi client. An LED listening to note 60 on MIDI channel 1
// takes colour 2 when the peer plays that note at the second trigger value.
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include "tests/io/jackserver.h"
#include "tests/io/midipeer.h"

#include "controls/dmxpushbutton.h"
#include "io/midi.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestConsoleMidi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Where an ALSA sequencer exists it would be chosen; this is about JACK.
        qputenv("PULTORA_MIDI_API", "jack");
    }

    void ledTakesColourFromNoteOn()
    {
        JackServer jack;
        const QString error = jack.start(QStringLiteral("console"));
        if (!error.isEmpty())
            QFAIL(qPrintable(error));
        MidiPeer peer;
        const QString peerError = peer.start(QStringLiteral("led-in"), QStringLiteral("led-out"));
        if (!peerError.isEmpty())
            QFAIL(qPrintable(peerError));

        QString device;
        for (const QString &name : midi::platformInputDeviceNames())
            if (name.startsWith(QLatin1String("led-out")))
                device = name;
        QVERIFY2(!device.isEmpty(), "the peer's output is not among our input devices");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString show =
            QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig>\n"
                           " <preferences version=\"1\" midi_device_in=\"%1\"/>\n"
                           " <control version=\"1\" control_type=\"led\" color_red=\"10\" "
                           "color_green=\"10\" color_blue=\"10\" protocol_type_in=\"Midi\" "
                           "dmx_in_midi_type=\"note_on\" dmx_in_universe=\"0\" "
                           "dmx_in_channel=\"60\" dmx_in_value_1=\"0\" dmx_in_value_2=\"64\" "
                           "dmx_in_value_3=\"127\" dmx_in_color_red_2=\"1\" "
                           "dmx_in_color_green_2=\"2\" dmx_in_color_blue_2=\"3\"/>\n"
                           "</PultoraConfig>\n")
                .arg(device);
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        {
            auto console = startConsoleOn(dir.filePath(QStringLiteral("led.ptra")), show.toUtf8(),
                                          std::make_shared<ScriptedPrompter>());
            QVERIFY(console);
            QCOMPARE(console->document().preferences().midi_device_in,
                     1u + quint32(midi::platformInputDeviceNames().indexOf(device)));
            QCOMPARE(console->document().controls().size(), 1);
            auto *led = widgetAt<DmxPushButton>(*console, 0);
            QVERIFY(led);
            QVERIFY(!led->isEnabled());
            const QColor colour2(1, 2, 3);
            // The input opens on the first poll and a JACK connection goes
            // live a cycle later: play the note until it is heard.
            for (int i = 0; i < 50 && led->palette().color(QPalette::Button) != colour2; ++i) {
                peer.send("90 3c 40");
                QTest::qWait(100);
            }
            QCOMPARE(led->palette().color(QPalette::Button), colour2);
        }
        QDir::setCurrent(oldCwd);
    }
};

QTEST_MAIN(TestConsoleMidi)
#include "tst_consolemidi.moc"
