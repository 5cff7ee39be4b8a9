#include "app/loadprogress.h"

#include <QProgressDialog>

namespace
{
constexpr int SHOW_AFTER_MS = 1000;
constexpr int RANGE = 1000;
constexpr int UPDATE_EVERY_MS = 250;
} // namespace

LoadProgress::LoadProgress(QWidget *parent, Step step) : m_parent(parent), m_step(std::move(step))
{
}

LoadProgress::~LoadProgress() = default;

void LoadProgress::phase(const QString &label)
{
    if (!m_active) {
        m_active = true;
        m_cancelled = false;
    }
    if (m_step || m_quiet)
        return;
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(label, tr("Cancel"), 0, RANGE, m_parent);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(SHOW_AFTER_MS);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
    }
    m_dialog->setLabelText(label);
    m_dialog->setValue(0);
    m_lastUpdate.start();
}

bool LoadProgress::step(qint64 done, qint64 total)
{
    if (m_quiet)
        return true;
    if (m_cancelled)
        return false;
    if (m_step) {
        m_cancelled = !m_step(done, total);
        return !m_cancelled;
    }
    if (!m_dialog || total <= 0)
        return true;
    // Each update lets the window repaint: a few per second tell enough.
    if (m_lastUpdate.isValid() && m_lastUpdate.elapsed() < UPDATE_EVERY_MS)
        return true;
    m_lastUpdate.start();
    // setValue lets a modal dialog process its events, Cancel included.
    m_dialog->setValue(int(qBound<qint64>(qint64(0), done * RANGE / total, qint64(RANGE - 1))));
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}

void LoadProgress::interrupt()
{
    m_dialog.reset();
}

void LoadProgress::finish()
{
    m_active = false;
    m_cancelled = false;
    m_dialog.reset();
}
