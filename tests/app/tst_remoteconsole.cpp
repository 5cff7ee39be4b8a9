// The web remote on a real console on loopback: a client that gave the PIN
// gets the layout, its moves leave as Art-Net as a mouse's would, every
// change however it came reaches it, and controls that reach beyond the show
// network stay watch-only. Runs inside the test command's private network
// namespace (loopback only).
#include "app/pultora.h"
#include "app/remoteconsole.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"
#include "tests/net/fakenet.h"

#include <QAbstractSlider>
#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWebSocket>

namespace
{

constexpr quint16 kArtNetPort = 6454;

QByteArray show()
{
    const char *controls[] = {
        // A push button on channel 30, a fader on 6 that follows its input
        // on universe 2, a command button and an HTTP button (the show's HTTP
        // server is another computer).
        R"(name="A" control_type="button_push" protocol_type="Art-Net" dmx_value_1="0" )"
        R"(dmx_value_2="255" dmx_channel="29" dmx_universe="0")",
        R"(name="F" control_type="fader_vertical" protocol_type="Art-Net" dmx_value_1="0" )"
        R"(dmx_value_2="255" dmx_channel="5" dmx_universe="0" protocol_type_in="Art-Net" )"
        R"(dmx_in_channel="0" dmx_in_universe="1")",
        R"(name="Cmd" control_type="button_push" protocol_type="Command" )"
        R"(dmx_command_filename="true")",
        R"(name="Far" control_type="button_push" protocol_type="HTTP" )"
        R"(dmx_http_filename="go?%1")",
        // A centre fader whose centre position runs a command.
        R"(name="Mid" control_type="fader_vertical_middle" protocol_type="Art-Net" )"
        R"(dmx_channel="7" protocol_type_advanced="Command" )"
        R"(dmx_command_filename_advanced="true")",
    };
    QByteArray text =
        "<PultoraConfig>\n <background version=\"1\" size_x=\"600\" size_y=\"400\"/>\n"
        " <preferences version=\"1\" http_server=\"http://192.0.2.1/\"/>\n";
    int x = 10;
    for (const char *attributes : controls) {
        text += QStringLiteral(" <control version=\"1\" position_x=\"%1\" position_y=\"10\" %2/>\n")
                    .arg(x)
                    .arg(QLatin1String(attributes))
                    .toUtf8();
        x += 60;
    }
    // An icon with a picture of its own.
    QImage picture(80, 80, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    text +=
        R"( <control version="1" name="I" control_type="icon" size_x="40" size_y="40" bitmap=")" +
        png.data().toBase64() + "\"/>\n";
    return text + "</PultoraConfig>\n";
}

} // namespace

class TestRemoteConsole : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter = std::make_shared<ScriptedPrompter>();
    QUdpSocket m_listener;
    std::unique_ptr<Pultora> m_console;
    QWebSocket m_client;
    QList<QJsonObject> m_received;

    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_console->remote().port()).arg(path);
    }

    // The session cookie for `pin`; empty when refused.
    QByteArray login(const QByteArray &pin)
    {
        QNetworkAccessManager manager;
        QNetworkRequest request{QUrl(url("/pin"))};
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply *reply = manager.post(request, "pin=" + pin);
        (void)QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000);
        reply->deleteLater();
        const QByteArray cookie = reply->rawHeader("Set-Cookie");
        return cookie.left(cookie.indexOf(';'));
    }

    // The next message of type `type` the client receives; empty when none
    // comes within 3 s.
    QJsonObject next(const QString &type)
    {
        QJsonObject found;
        (void)QTest::qWaitFor(
            [&] {
                while (!m_received.isEmpty() && found.isEmpty())
                    if (m_received.first().value(QLatin1String("t")).toString() == type)
                        found = m_received.takeFirst();
                    else
                        m_received.removeFirst();
                return !found.isEmpty();
            },
            3000);
        return found;
    }

    // The state the next `values` message gives control `id`.
    QJsonObject nextValue(qint64 id)
    {
        for (QJsonObject values; !(values = next(QStringLiteral("values"))).isEmpty();)
            for (const QJsonValue &entry : values.value(QLatin1String("c")).toArray())
                if (entry.toObject().value(QLatin1String("id")).toInteger() == id)
                    return entry.toObject();
        return {};
    }

    // Whether channel `channel` of universe 0 leaves at `level` within 3 s.
    bool leaves(int channel, quint8 level)
    {
        return QTest::qWaitFor(
            [&] {
                while (m_listener.hasPendingDatagrams()) {
                    QByteArray d(int(m_listener.pendingDatagramSize()), '\0');
                    m_listener.readDatagram(d.data(), d.size());
                    if (d.size() > 18 + channel && d.startsWith(QByteArray("Art-Net\0", 8)) &&
                        quint8(d[9]) == 0x50 && d[14] == 0 && quint8(d[18 + channel]) == level)
                        return true;
                }
                return false;
            },
            3000);
    }

    void send(const QJsonObject &move)
    {
        m_client.sendTextMessage(QString::fromUtf8(QJsonDocument(move).toJson()));
    }

    qint64 idOf(const QString &name) const
    {
        for (const SettingStruct &r : m_console->document().controls())
            if (r.name == name)
                return r.id;
        return 0;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(m_listener.bind(QHostAddress::AnyIPv4, kArtNetPort,
                                QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        ConsoleServices services;
        services.remote = RemoteConsole::Run{0, QStringLiteral("4321"), QString()};
        m_console = startConsoleOn(m_dir.filePath(QStringLiteral("show.ptra")), show(), m_prompter,
                                   services);
        QVERIFY(m_console);
        QVERIFY(m_console->remote().serving());
        connect(&m_client, &QWebSocket::textMessageReceived, this, [this](const QString &text) {
            m_received.append(QJsonDocument::fromJson(text.toUtf8()).object());
        });
    }

    void wrongPinOpensNothing()
    {
        QVERIFY(login("1111").isEmpty());
        QCOMPARE(m_console->remote().clientCount(), 0);
    }

    void layoutOnConnect()
    {
        const QByteArray cookie = login("4321");
        QVERIFY(cookie.startsWith("pultora_session="));
        QNetworkRequest request{QUrl(url("/ws").replace(QLatin1String("http:"), "ws:"))};
        request.setRawHeader("Cookie", cookie);
        request.setRawHeader("Origin", url("").toLatin1());
        m_client.open(request);
        const QJsonObject layout = next(QStringLiteral("layout"));
        QCOMPARE(layout.value(QLatin1String("w")).toInt(), 600);
        const QJsonArray controls = layout.value(QLatin1String("controls")).toArray();
        QCOMPARE(controls.size(), 6);
        QHash<QString, QJsonObject> byName;
        for (const QJsonValue &c : controls)
            byName.insert(c.toObject().value(QLatin1String("name")).toString(), c.toObject());
        QCOMPARE(byName["A"].value(QLatin1String("kind")).toString(), QStringLiteral("push"));
        QCOMPARE(byName["F"].value(QLatin1String("max")).toInt(), 255);
        // What reaches beyond the show network is watch-only; the rest is not.
        QVERIFY(!byName["A"].contains(QLatin1String("watch")));
        QVERIFY(!byName["F"].contains(QLatin1String("watch")));
        QVERIFY(byName["Cmd"].value(QLatin1String("watch")).toBool());
        QVERIFY(byName["Far"].value(QLatin1String("watch")).toBool());
        QVERIFY(byName["Mid"].value(QLatin1String("watch")).toBool());
        QCOMPARE(m_console->remote().clientCount(), 1);
        // The icon's picture, fitted down to it, for the session only.
        QVERIFY(byName["I"].value(QLatin1String("picture")).toInt() > 0);
        QNetworkAccessManager manager;
        QNetworkRequest get{QUrl(url("/picture/%1").arg(byName["I"].value("id").toInteger()))};
        get.setRawHeader("Cookie", cookie);
        QNetworkReply *reply = manager.get(get);
        QVERIFY(QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000));
        QCOMPARE(QImage::fromData(reply->readAll()).size(), QSize(40, 40));
        delete reply;
    }

    // A press leaves as the mouse's would, and the release takes it back;
    // the client is told both.
    void pressLeavesAndComesBack()
    {
        const qint64 a = idOf(QStringLiteral("A"));
        send({{"t", "press"}, {"id", a}, {"down", true}});
        QVERIFY(leaves(29, 255));
        QCOMPARE(nextValue(a).value(QLatin1String("down")), QJsonValue(true));
        send({{"t", "press"}, {"id", a}, {"down", false}});
        QVERIFY(leaves(29, 0));
        QCOMPARE(nextValue(a).value(QLatin1String("down")), QJsonValue(false));
    }

    // The desktop, the client and DMX-IN all move the same fader; each
    // move reaches the client, down as well as up.
    void everyMoveReachesTheClient()
    {
        const qint64 f = idOf(QStringLiteral("F"));
        auto *slider = qobject_cast<QAbstractSlider *>(m_console->surface().widget(quint32(f)));
        QVERIFY(slider);
        slider->setValue(100);
        QCOMPARE(nextValue(f).value(QLatin1String("v")).toInt(), 100);
        send({{"t", "set"}, {"id", f}, {"v", 300}}); // clamped to the range
        QVERIFY(leaves(5, 255));
        QCOMPARE(nextValue(f).value(QLatin1String("v")).toInt(), 255);
        QUdpSocket sender;
        sender.writeDatagram(artDmx(1, QByteArray(1, char(40))), QHostAddress::LocalHost,
                             kArtNetPort);
        QCOMPARE(nextValue(f).value(QLatin1String("v")).toInt(), 40);
        QVERIFY(leaves(5, 40));
    }

    // A client joining later starts from the controls as they are now.
    void aLateClientSeesTheStateNow()
    {
        QWebSocket late;
        QJsonObject layout;
        connect(&late, &QWebSocket::textMessageReceived, this, [&layout](const QString &text) {
            layout = QJsonDocument::fromJson(text.toUtf8()).object();
        });
        QNetworkRequest request{QUrl(url("/ws").replace(QLatin1String("http:"), "ws:"))};
        request.setRawHeader("Cookie", login("4321"));
        request.setRawHeader("Origin", url("").toLatin1());
        late.open(request);
        QTRY_VERIFY(!layout.isEmpty());
        for (const QJsonValue &c : layout.value(QLatin1String("controls")).toArray())
            if (c.toObject().value(QLatin1String("name")) == QLatin1String("F"))
                QCOMPARE(c.toObject().value(QLatin1String("v")).toInt(), 40);
    }

    void watchOnlyAndUnknownAreDropped()
    {
        const RemoteConsole::Drops before = m_console->remote().drops();
        send({{"t", "press"}, {"id", idOf(QStringLiteral("Cmd"))}, {"down", true}});
        send({{"t", "press"}, {"id", 999999}, {"down", true}});
        QTRY_COMPARE(m_console->remote().drops().watchOnly, before.watchOnly + 1);
        QTRY_COMPARE(m_console->remote().drops().unknownControl, before.unknownControl + 1);
    }

    // Locking sends the layout again with the lock shown; the lock forbids
    // editing, not operating. Unlocking takes the sign away.
    void theLock()
    {
        const qint64 a = idOf(QStringLiteral("A"));
        m_prompter->answers = {QMessageBox::Yes};
        QVERIFY(call(*m_console, "slotLockUnlockScreen"));
        QVERIFY(next(QStringLiteral("layout")).value(QLatin1String("locked")).toBool());
        send({{"t", "press"}, {"id", a}, {"down", true}});
        QVERIFY(leaves(29, 255));
        send({{"t", "press"}, {"id", a}, {"down", false}});
        QVERIFY(leaves(29, 0));
        QVERIFY(call(*m_console, "slotLockUnlockScreen"));
        const QJsonObject layout = next(QStringLiteral("layout"));
        QVERIFY(layout.contains(QLatin1String("locked")));
        QVERIFY(!layout.value(QLatin1String("locked")).toBool());
    }

    void cleanupTestCase()
    {
        m_client.close();
        m_console.reset();
    }
};

QTEST_MAIN(TestRemoteConsole)
#include "tst_remoteconsole.moc"
