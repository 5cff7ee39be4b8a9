#include "app/startup.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

void combineStartupSettings(const BackgroundStruct &background, PreferencesStruct &preferences)
{
    if (background.startup_timeout != 0)
        preferences.startup_timeout = qMax(preferences.startup_timeout, background.startup_timeout);
    if (background.startup_dmxsend_later)
        preferences.startup_dmxsend_later = true;
}

SecondWaiter defaultSecondWaiter()
{
    return [](QProgressDialog *progress) {
        if (!progress) {
            QThread::sleep(1);
            return;
        }
        // Keep the dialog alive so "Start Now" answers within the second.
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        QObject::connect(progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        loop.exec();
    };
}

int StartupTimeout::run(int seconds, QWidget *parent)
{
    if (seconds <= 0)
        return 0;
    if (seconds < PROGRESS_FROM_S) {
        for (int i = 0; i < seconds; ++i)
            m_waiter(nullptr);
        return seconds;
    }
    const QString label = tr("Startup Timeout: %1 of %2 Seconds");
    QProgressDialog progress(label.arg(0).arg(seconds), tr("Start Now"), 0, seconds, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    int waited = 0;
    for (int i = 0; i < seconds; ++i) {
        if (progress.wasCanceled())
            break;
        progress.setLabelText(label.arg(i).arg(seconds));
        progress.setValue(i);
        m_waiter(&progress);
        ++waited;
    }
    progress.setValue(seconds);
    return waited;
}
