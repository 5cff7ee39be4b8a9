#include "app/overviewwindow.h"

#include "app/appinfo.h"
#include "app/surface.h"
#include "dialogs/overviewmodel.h"
#include "dialogs/settingsoverview.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QMainWindow>
#include <QStatusBar>

struct OverviewWindow::Group {
    explicit Group(const ShowDocument &document) : run(document) {}
    BatchRun run;
    int action = BA_SET;
    QList<quint32> removed;
    QList<quint32> shiftedUp;
    QList<quint32> shiftedDown;
};

OverviewWindow::OverviewWindow(ShowDocument &document, const Surface &surface, QMainWindow *console)
    : m_document(document), m_surface(surface), m_console(console)
{
}

OverviewWindow::~OverviewWindow()
{
    delete m_window.data();
}

SettingsOverview *OverviewWindow::window() const
{
    return m_window.data();
}

void OverviewWindow::status(const QString &text) const
{
    if (m_console && !text.isEmpty())
        m_console->statusBar()->showMessage(text, appinfo::STATUS_MS);
}

void OverviewWindow::open(const QList<quint32> &only)
{
    if (m_document.preferences().lock_screen)
        return;
    if (!m_window) {
        auto *w = new SettingsOverview(m_document);
        w->setWidgetResolver(
            [this](quint32 id) -> const QWidget * { return m_surface.widget(id); });
        QObject *c = m_console;
        connect(w, SIGNAL(clickedActionCloseMe()), c, SLOT(slotCloseSettingsOverviewDlg()));
        connect(w, SIGNAL(clickedActionAdd()), c, SLOT(slotAdd()));
        connect(w, SIGNAL(clickedActionDeleteBegin()), c, SLOT(slotSettingsChangedGroupBegin()));
        connect(w, SIGNAL(clickedActionDelete(const QWidget *)), c,
                SLOT(slotSettingsDelete(const QWidget *)));
        connect(w, SIGNAL(clickedActionDeleteEnd()), c, SLOT(slotSettingsChangedGroupEnd()));
        connect(w, SIGNAL(clickedActionEdit(const QWidget *)), c,
                SLOT(slotSettingsEdit(const QWidget *)));
        connect(w, SIGNAL(clickedActionShiftBegin()), c, SLOT(slotSettingsChangedGroupBegin()));
        connect(w, SIGNAL(clickedActionShiftUp(const QWidget *)), c,
                SLOT(slotSettingsShiftUp(const QWidget *)));
        connect(w, SIGNAL(clickedActionShiftDown(const QWidget *)), c,
                SLOT(slotSettingsShiftDown(const QWidget *)));
        connect(w, SIGNAL(clickedActionShiftEnd()), c, SLOT(slotSettingsChangedGroupEnd()));
        connect(w, SIGNAL(clickedActionChangeBegin()), c, SLOT(slotSettingsChangedGroupBegin()));
        connect(w, SIGNAL(clickedActionChange(const QWidget *, int, int, QString)), c,
                SLOT(slotSettingsChangedGroup(const QWidget *, int, int, QString)));
        connect(w, SIGNAL(clickedActionChangeEnd()), c, SLOT(slotSettingsChangedGroupEnd()));
        connect(w, SIGNAL(selectControlBlink(const QWidget *)), c,
                SLOT(slotControlBlink(const QWidget *)));
        connect(w, SIGNAL(clickdActionConfigSave()), c, SLOT(slotConfigSave()));
        m_window = w;
    }
    m_window->filter()->setOnly(only);
    m_window->setWindowTitle(
        only.isEmpty() ? QCoreApplication::translate("SettingsOverview", "Overview of All Controls")
                       : tr("Overview of the %1 Selected Controls").arg(only.size()));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void OverviewWindow::close()
{
    if (!m_window)
        return;
    SettingsOverview *w = m_window.data();
    m_window.clear();
    w->hide();
    disconnect(w, nullptr, m_console, nullptr);
    // The window may be closing itself: it goes once its event is done.
    w->deleteLater();
}

void OverviewWindow::beginGroup()
{
    m_group = std::make_unique<Group>(m_document);
}

void OverviewWindow::change(const QWidget *widget, int action, int columnType, const QString &value)
{
    const quint32 id = m_surface.idOf(widget);
    const SettingStruct *record = m_document.control(id);
    if (!record)
        return;
    if (!OverviewModel::cellEditable(*record, columnType)) {
        status(tr("%1 of %2 cannot be changed")
                   .arg(OverviewModel::columnTitle(columnType), record->name));
        return;
    }
    if (m_group) {
        m_group->action = action;
        m_group->run.change(id, columnType, action, value);
        return;
    }
    BatchRun run(m_document);
    const QString refusal = run.change(id, columnType, action, value);
    if (!refusal.isEmpty()) {
        status(tr("%1: %2").arg(OverviewModel::columnTitle(columnType), refusal));
        return;
    }
    m_document.push(new ChangeControls(
        m_document, run.records(),
        tr("Set %1 of %2").arg(OverviewModel::columnTitle(columnType), record->name)));
}

bool OverviewWindow::groupRemove(const QWidget *widget)
{
    if (!m_group)
        return false;
    if (const quint32 id = m_surface.idOf(widget); id && !m_group->removed.contains(id))
        m_group->removed.append(id);
    return true;
}

void OverviewWindow::shift(const QWidget *widget, bool up)
{
    const quint32 id = m_surface.idOf(widget);
    if (!id)
        return;
    if (m_group) {
        (up ? m_group->shiftedUp : m_group->shiftedDown).append(id);
        return;
    }
    const QList<quint32> before = m_document.ids();
    const QList<quint32> after = shiftOrder(before, {id}, up);
    if (after != before)
        m_document.push(new ReorderControls(
            m_document, after, up ? tr("Shift Control Up") : tr("Shift Control Down")));
}

void OverviewWindow::endGroup()
{
    if (!m_group)
        return;
    const std::unique_ptr<Group> group = std::move(m_group);
    const QList<SettingStruct> records = group->run.records();
    QString changeName;
    if (!records.isEmpty()) {
        const QList<int> &columns = group->run.columns();
        const QString what = columns.size() == 1 ? OverviewModel::columnTitle(columns.first())
                                                 : tr("%1 columns").arg(columns.size());
        static const char *const verbs[] = {QT_TR_NOOP("Set"), QT_TR_NOOP("Add"),
                                            QT_TR_NOOP("Subtract"), QT_TR_NOOP("Increment")};
        const QString verb = tr(verbs[qBound(int(BA_SET), group->action, int(BA_INC)) - BA_SET]);
        changeName = tr("%1 %2 on %3 controls").arg(verb, what).arg(records.size());
    }
    if (group->run.refusedCells() > 0)
        status(tr("%1 cells left unchanged: %2")
                   .arg(group->run.refusedCells())
                   .arg(group->run.firstRefusal()));
    // Shifts in the show's order, not in the order they arrived.
    const QList<quint32> before = m_document.ids();
    QList<quint32> order = before;
    if (!group->shiftedUp.isEmpty())
        order = shiftOrder(order, QSet<quint32>(group->shiftedUp.cbegin(), group->shiftedUp.cend()),
                           true);
    if (!group->shiftedDown.isEmpty())
        order = shiftOrder(
            order, QSet<quint32>(group->shiftedDown.cbegin(), group->shiftedDown.cend()), false);
    const bool shifted = order != before;
    const int steps = int(!records.isEmpty()) + int(shifted) + int(!group->removed.isEmpty());
    if (steps == 0)
        return;
    // One Undo step; each command is made when the one before has run, so
    // it keeps the show as that one left it.
    QUndoStack &stack = m_document.undoStack();
    if (steps > 1)
        stack.beginMacro(!changeName.isEmpty() ? changeName : tr("Change Controls"));
    if (!records.isEmpty())
        m_document.push(new ChangeControls(m_document, records, changeName));
    if (shifted)
        m_document.push(new ReorderControls(m_document, order, tr("Shift Controls")));
    if (!group->removed.isEmpty())
        m_document.push(new RemoveControls(m_document, group->removed,
                                           tr("Delete %1 Controls").arg(group->removed.size())));
    if (steps > 1)
        stack.endMacro();
}
