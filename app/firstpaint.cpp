#include "app/firstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace
{
// Started when the program's static objects are initialised, just before main().
QElapsedTimer &processClock()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}
const bool clockStarted = (processClock(), true);
} // namespace

void FirstPaintReport::installIfRequested(QWidget *window, std::function<QString()> extra)
{
    if (!window || qEnvironmentVariableIsEmpty(ENV_VAR))
        return;
    auto *report = new FirstPaintReport(window);
    report->m_extra = std::move(extra);
    window->installEventFilter(report);
}

long FirstPaintReport::peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

bool FirstPaintReport::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_done && event->type() == QEvent::Paint) {
        m_done = true;
        // Report once this paint has finished.
        QTimer::singleShot(0, this, &FirstPaintReport::report);
    }
    return QObject::eventFilter(watched, event);
}

void FirstPaintReport::report()
{
    const QString extra = m_extra ? QLatin1Char(' ') + m_extra() : QString();
    std::printf("first-paint-ms=%lld vmhwm-kb=%ld%s\n", qlonglong(processClock().elapsed()),
                peakResidentKb(), qPrintable(extra));
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
