// What the network benchmarks share: clocks, a loopback address, the
// kernel's drop count of a port and an event loop that runs for a while.
// Linux only, as the benchmarks are.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <time.h>

#include <functional>

// utime + stime of a process, in clock ticks; -1 when it is gone.
inline long long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields.at(11).toLongLong() + fields.at(12).toLongLong();
}

inline double clockSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

inline double threadCpuSeconds()
{
    return clockSeconds(CLOCK_THREAD_CPUTIME_ID);
}

inline double wallSeconds()
{
    return clockSeconds(CLOCK_MONOTONIC);
}

inline sockaddr_in loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// The sum of `value` over the rows of /proc/net/udp (split at spaces) whose
// socket is bound to `port`; -1 when it cannot be read.
template <typename Value> long long sumUdpRows(quint16 port, Value value)
{
    QFile f(QStringLiteral("/proc/net/udp"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    long long sum = 0;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> c = lines[i].simplified().split(' ');
        if (c.size() < 13)
            continue;
        const QList<QByteArray> local = c[1].split(':');
        if (local.size() == 2 && local[1].toUInt(nullptr, 16) == port)
            sum += value(c);
    }
    return sum;
}

// Datagrams the kernel dropped for the sockets bound to `port`, of user
// `uid` only when it is not -1; -1 when it cannot be read.
inline long long socketDrops(quint16 port, long long uid = -1)
{
    return sumUdpRows(port, [uid](const QList<QByteArray> &c) {
        return uid < 0 || c[7].toLongLong() == uid ? c.last().toLongLong() : 0;
    });
}

// Bytes waiting in the receive queues of the sockets bound to `port`; -1
// when it cannot be read.
inline long long queuedBytes(quint16 port)
{
    return sumUdpRows(port, [](const QList<QByteArray> &c) {
        const QList<QByteArray> queues = c[4].split(':');
        return queues.size() == 2 ? queues[1].toLongLong(nullptr, 16) : 0;
    });
}

// Lets the node read until its socket on `port` is empty, so that every
// measured part finds the socket the same: a datagram to a full socket is
// dropped, which costs the sender less than one taken in.
inline void drainPort(quint16 port)
{
    for (int pass = 0; pass < 10000 && queuedBytes(port) > 0; ++pass)
        QCoreApplication::processEvents();
}

// A blocking event loop, as the console runs it, until `stop` holds (checked
// every 50 ms) or `seconds` pass. Without `stop`, no timer ticks before the
// end.
inline void runEventLoopFor(double seconds, const std::function<bool()> &stop = {})
{
    QEventLoop loop;
    if (!stop) {
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        return;
    }
    QTimer check;
    const double end = wallSeconds() + seconds;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (stop() || wallSeconds() >= end)
            loop.quit();
    });
    check.start(50);
    loop.exec();
}

// The end of a flood, told by its thread to the loop that measures: the loop
// wakes only for what it measures, not for a timer that checks a flag (at a
// few hundred packets a second, 20 checks a second are a tenth of the
// wakeups charged to the receiver).
class FloodEnd
{
public:
    void set()
    {
        QMutexLocker lock(&m_mutex);
        m_done = true;
        if (m_loop)
            QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
    }
    bool isSet()
    {
        QMutexLocker lock(&m_mutex);
        return m_done;
    }
    // Runs an event loop until set() or `seconds` pass.
    void wait(double seconds)
    {
        QEventLoop loop;
        {
            QMutexLocker lock(&m_mutex);
            if (m_done)
                return;
            m_loop = &loop;
        }
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        QMutexLocker lock(&m_mutex);
        m_loop = nullptr;
    }

private:
    QMutex m_mutex;
    QEventLoop *m_loop = nullptr;
    bool m_done = false;
};
