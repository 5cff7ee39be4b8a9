// Progress of a long load: reading the file, then building its controls.
// A load that takes longer than about a second shows a window-modal dialog
// whose Cancel stops it; the caller then keeps the previous show.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

class LoadProgress
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    // One step of a phase; returns false to cancel. Tests answer through it
    // instead of a dialog.
    using Step = std::function<bool(qint64 done, qint64 total)>;

    LoadProgress(QWidget *parent, Step step);
    ~LoadProgress();

    // A phase of the load starts (its steps count from 0 to total).
    void phase(const QString &label);
    // Returns false once the user cancelled.
    bool step(qint64 done, qint64 total);
    // The load is over; the dialog goes.
    void finish();
    // A question or warning comes first: the dialog goes until the next
    // phase, so it never stands over the message.
    void interrupt();
    bool cancelled() const { return m_cancelled; }
    // While quiet, steps neither show anything nor cancel.
    void setQuiet(bool quiet) { m_quiet = quiet; }

private:
    QWidget *m_parent;
    Step m_step;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
    bool m_active = false;
    bool m_quiet = false;
    QElapsedTimer m_lastUpdate;
};
