#include "app/consistencyrunner.h"

#include "app/prompter.h"
#include "app/surface.h"
#include "dialogs/consistencedialogs.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QProgressDialog>
#include <QScreen>

ConsistencyRunner::ConsistencyRunner(ShowDocument &document, const Surface &surface,
                                     Prompter &prompter, QWidget *console)
    : m_document(document), m_surface(surface), m_prompter(prompter), m_console(console)
{
}

ConsistencyRunner::~ConsistencyRunner()
{
    closeAll();
}

ConsistenceCheck *ConsistencyRunner::options() const
{
    return m_options;
}

ConsistenceCheckTable *ConsistencyRunner::results() const
{
    return m_results;
}

void ConsistencyRunner::openOptions()
{
    if (m_document.preferences().lock_screen)
        return;
    if (!m_options) {
        m_options = new ConsistenceCheck;
        m_options->setWindowModality(Qt::ApplicationModal);
        // The options go on the document before the console runs the check.
        QObject::connect(m_options, &ConsistenceCheck::valueChanged, m_options,
                         [this] { applyOptions(); });
        QObject::connect(m_options, SIGNAL(valueChanged()), m_console,
                         SLOT(slotConsistenceCheckChanged()));
    }
    m_options->setChecks(m_document.checks());
    m_options->show();
    m_options->raise();
    m_options->activateWindow();
}

void ConsistencyRunner::applyOptions()
{
    const ConsistenceCheckStruct chosen = m_options->checks();
    if (chosen != m_document.checks())
        m_document.push(new ChangeChecks(m_document, chosen, tr("Change Consistency Check")));
}

void ConsistencyRunner::ensureResults()
{
    if (m_results)
        return;
    m_results = new ConsistenceCheckTable;
    // Beside the console when there is room, else in the screen's lower
    // right corner: the controls that blink stay in sight.
    if (const QScreen *screen = m_console->screen()) {
        const QRect free = screen->availableGeometry();
        const QRect console = m_console->frameGeometry();
        QRect placed(QPoint(console.right() + 1, console.top()), m_results->size());
        if (!free.contains(placed))
            placed.moveBottomRight(free.bottomRight());
        m_results->move(placed.topLeft());
    }
    QObject::connect(m_results, SIGNAL(selectLine(const QWidget *, const QWidget *)), m_console,
                     SLOT(slotControlBlink(const QWidget *, const QWidget *)));
    QObject::connect(m_results, SIGNAL(checkConsistence()), m_console,
                     SLOT(slotCheckConsistence()));
}

void ConsistencyRunner::show(const QList<ConsistencyFinding> &findings)
{
    // A new control (id 0) has no widget yet.
    auto widgetOf = [this](quint32 id) -> const QWidget * {
        return id ? m_surface.widget(id) : nullptr;
    };
    for (const ConsistencyFinding &f : findings)
        m_results->addEntry(f.severity, f.text, widgetOf(f.firstId), widgetOf(f.secondId));
}

bool ConsistencyRunner::checkSurface(bool inform)
{
    const QList<SettingStruct> &controls = m_document.controls();
    if (controls.isEmpty()) {
        if (inform)
            m_prompter.tell(m_console, QMessageBox::Information, tr("Consistency Check"),
                            tr("No controls were found for a consistency check!"));
        return true;
    }
    ensureResults();
    m_results->setInformOnSuccess(inform);
    m_results->setCheckAgainVisible(true);
    m_results->clear();

    const ConsistenceCheckStruct &checks = m_document.checks();
    if (!Consistency::anyEnabled(checks)) {
        if (inform)
            m_results->addEntry(ConsistenceCheckTable::Information,
                                tr("All checks have been disabled!\n"
                                   "A consistency check is not required."));
        return true;
    }

    const int n = int(controls.size());
    std::unique_ptr<QProgressDialog> dialog;
    ConsistencyProgress progress = m_progressSeam;
    if (!progress && n > PROGRESS_ABOVE_CONTROLS) {
        dialog = std::make_unique<QProgressDialog>(tr("Consistency Checks"),
                                                   tr("Skip Consistency Check"), 0, n, m_console);
        dialog->setWindowModality(Qt::WindowModal);
        progress = [&](int done, int total) {
            dialog->setValue(done);
            dialog->setLabelText(tr("Checking Consistency of Control %1 of %2")
                                     .arg(qMin(done + 1, total))
                                     .arg(total));
            return !dialog->wasCanceled();
        };
    }
    const ConsistencyResult result = Consistency::checkAll(
        controls, m_document.background(), checks, progress, MAX_LISTED, &m_document.preferences());
    dialog.reset();

    show(result.findings);
    if (result.total > result.findings.size())
        m_results->addEntry(ConsistenceCheckTable::Information,
                            tr("%n further finding(s) not listed.", nullptr,
                               result.total - int(result.findings.size())));
    if (result.skipped)
        m_results->addEntry(ConsistenceCheckTable::Error,
                            tr("Consistency Check Skipped by User") + QLatin1Char('\n'));
    if (m_results->isEmpty()) {
        if (inform)
            m_results->addEntry(ConsistenceCheckTable::Information,
                                tr("Consistency Check Successful!"));
        return true;
    }
    return false;
}

bool ConsistencyRunner::checkControl(const SettingStruct &record)
{
    ensureResults();
    m_results->setInformOnSuccess(false);
    m_results->setCheckAgainVisible(false);
    m_results->clear();
    const ConsistenceCheckStruct &checks = m_document.checks();
    if (!Consistency::anyEnabled(checks))
        return true;
    const QList<ConsistencyFinding> findings = Consistency::checkOne(
        record, m_document.controls(), m_document.background(), checks, &m_document.preferences());
    show(findings);
    return findings.isEmpty();
}

void ConsistencyRunner::closeAll()
{
    auto close = [this](auto &window) {
        if (!window)
            return;
        window->hide();
        QObject::disconnect(window, nullptr, m_console, nullptr);
        delete window.data();
        window.clear();
    };
    close(m_options);
    close(m_results);
}
