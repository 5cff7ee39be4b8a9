// The HTTP output against python's http.server.
#include "io/http.h"

#include <QtTest>

namespace
{

class HttpPeer
{
public:
    ~HttpPeer()
    {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    // Starts the peer; empty string on success, else the reason.
    QString start(const QString &mode)
    {
        const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStringLiteral("python3");
        m_process.start(python, {QStringLiteral(HTTPPEER_SCRIPT), mode});
        if (!m_process.waitForStarted(5000))
            return QStringLiteral("python3 cannot be started: %1").arg(m_process.errorString());
        for (int i = 0; i < 250 && m_port == 0; ++i) {
            m_process.waitForReadyRead(20);
            for (const QString &line : lines())
                if (line.startsWith("port "))
                    m_port = line.mid(5).toInt();
        }
        if (m_port == 0)
            return QStringLiteral("httppeer.py did not start: %1")
                .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
        return QString();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    QStringList lines()
    {
        while (m_process.canReadLine())
            m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
        return m_lines;
    }

private:
    QProcess m_process;
    QStringList m_lines;
    int m_port = 0;
};

} // namespace

class TestHttpPeer : public QObject
{
    Q_OBJECT
private slots:
    void substitutedLinkReachesServer();
};

void TestHttpPeer::substitutedLinkReachesServer()
{
    HttpPeer peer;
    const QString error = peer.start("answer");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    http h;
    // What the console makes of a link ending in %1 for value 200, and of
    // one with %1 twice for value 42.
    h.requestUrl(peer.url() + "/", QString("/fader?value=%1").replace("%1", "200"));
    h.requestUrl(peer.url(), QString("scene?a=%1&b=%1").replace("%1", "42"));
    QTRY_VERIFY(peer.lines().contains("GET /fader?value=200"));
    QTRY_VERIFY(peer.lines().contains("GET /scene?a=42&b=42"));
    QTRY_COMPARE(h.pendingCount(), 0);
}

QTEST_GUILESS_MAIN(TestHttpPeer)
#include "tst_http_peer.moc"
