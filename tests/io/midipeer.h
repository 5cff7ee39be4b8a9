// The python-rtmidi peer (midipeer.py) as a child process: what it
// received, and what it is asked to send.
#pragma once

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

class MidiPeer
{
public:
    ~MidiPeer() { quit(); }

    // Starts the peer with its input client `inClient` (port inClient:in)
    // and output client `outClient` (port outClient:out). Returns an empty
    // string when both ports exist, else the reason it failed.
    QString start(const QString &inClient, const QString &outClient)
    {
        const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStringLiteral("python3");
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(python, {QStringLiteral(MIDIPEER_SCRIPT), inClient, outClient});
        if (!m_process.waitForStarted(5000))
            return QStringLiteral("python3 cannot be started: %1").arg(m_process.errorString());
        if (!waitForLine(QStringLiteral("ready"), 10000))
            return QStringLiteral("midipeer.py did not get ready: %1")
                .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
        return QString();
    }

    void send(const QByteArray &hexBytes) { m_process.write("send " + hexBytes + "\n"); }

    // Lines received so far ("in b3 07 64"), without the ones taken.
    QStringList lines()
    {
        readLines();
        return m_lines;
    }
    void clear()
    {
        readLines();
        m_lines.clear();
    }

    bool waitForLine(const QString &line, int timeoutMs)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            readLines();
            if (m_lines.contains(line))
                return true;
            if (m_process.state() != QProcess::Running)
                return false;
            m_process.waitForReadyRead(20);
        }
        return false;
    }

    // Closes the peer's ports and waits for it to exit.
    void quit()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

private:
    void readLines()
    {
        while (m_process.canReadLine())
            m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QStringList m_lines;
};
