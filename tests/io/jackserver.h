// A private JACK server (dummy driver, synchronous mode) for one test or
// benchmark run. The server gets a unique name; this process is pointed at
// it through JACK_DEFAULT_SERVER, and so are the peers it starts.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QThread>

class JackServer
{
public:
    ~JackServer() { stop(); }

    // Starts the server and waits until clients can connect. Returns an
    // empty string on success, else the reason it failed.
    QString start(const QString &tag)
    {
        static int serial = 0;
        m_name = QStringLiteral("pultora-%1-%2-%3")
                     .arg(tag)
                     .arg(QCoreApplication::applicationPid())
                     .arg(++serial);
        qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
        qputenv("JACK_NO_START_SERVER", "1");
        // -S: synchronous, or messages get lost and duplicated under load.
        // -p 32 before the driver keeps the shared memory small; after
        // "-d dummy", -p is the period.
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("jackd"),
                        {"-n", m_name, "-r", "-S", "-p", "32", "-d", "dummy", "-r", "48000", "-p",
                         "64", "-C", "0", "-P", "0"});
        if (!m_process.waitForStarted(5000))
            return QStringLiteral("jackd cannot be started: %1").arg(m_process.errorString());
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            if (m_process.state() != QProcess::Running)
                return QStringLiteral("jackd exited: %1")
                    .arg(QString::fromLocal8Bit(m_process.readAll()));
            QProcess lsp;
            lsp.start(QStringLiteral("jack_lsp"), QStringList());
            if (lsp.waitForFinished(2000) && lsp.exitStatus() == QProcess::NormalExit &&
                lsp.exitCode() == 0)
                return QString();
            QThread::msleep(50);
        }
        return QStringLiteral("jackd did not come up within 5 s: %1")
            .arg(QString::fromLocal8Bit(m_process.readAll()));
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    QString name() const { return m_name; }

private:
    QProcess m_process;
    QString m_name;
};
