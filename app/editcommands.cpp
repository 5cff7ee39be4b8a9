#include "app/editcommands.h"

#include "app/appinfo.h"
#include "app/commandtable.h"
#include "app/prompter.h"
#include "app/surface.h"
#include "controls/stretch.h"
#include "model/geometry.h"
#include "model/showcommands.h"
#include "model/typetables.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace
{
// Clicks on a locked screen closer together than this count.
constexpr qint64 LOCK_ATTEMPT_WINDOW_MS = 20000;
constexpr int LOCK_ATTEMPTS_BEFORE_MESSAGE = 5;
} // namespace

EditCommands::EditCommands(ShowDocument &document, const Surface &surface, Services services)
    : m_document(document), m_surface(surface), m_services(std::move(services))
{
}

void EditCommands::status(const QString &text) const
{
    if (m_services.showStatus)
        m_services.showStatus(text);
}

bool EditCommands::menuOpened(const QPoint &position)
{
    if (locked()) {
        lockAttempt();
        return false;
    }
    m_menuPosition = position;
    m_targetDropped = false;
    m_menuShowing = true;
    emit targetShown(hit());
    return true;
}

void EditCommands::dropTarget()
{
    m_targetDropped = true;
    emit targetShown(0);
}

quint32 EditCommands::hit(const QWidget *widget) const
{
    if (widget)
        return m_surface.idOf(widget);
    if (!m_menuPosition || m_targetDropped)
        return 0;
    return m_surface.hitTest(*m_menuPosition);
}

QList<quint32> EditCommands::targets(const QWidget *widget) const
{
    const QList<quint32> selected =
        m_services.selection ? m_services.selection() : QList<quint32>();
    if (!selected.isEmpty())
        return selected;
    const quint32 id = hit(widget);
    return id ? QList<quint32>{id} : QList<quint32>();
}

QPoint EditCommands::toStored(const QPoint &shown) const
{
    const quint32 s = m_surface.stretch();
    return QPoint(int(qMax<qint64>(0, stretch::toStored(shown.x(), s))),
                  int(qMax<qint64>(0, stretch::toStored(shown.y(), s))));
}

quint32 EditCommands::grid() const
{
    return qMax<quint32>(1, m_document.preferences().snap_grid);
}

QPoint EditCommands::snapped(const QPoint &stored) const
{
    const int g = int(grid());
    return QPoint((stored.x() + g / 2) / g * g, (stored.y() + g / 2) / g * g);
}

void EditCommands::add()
{
    dropTarget();
    if (locked())
        return;
    SettingStruct record;
    resetSetting(&record);
    const ControlTraits &traits = controlTraits(record.control_type);
    record.size_x = traits.defaultWidth;
    record.size_y = traits.defaultHeight;
    const QPoint at = m_menuPosition ? toStored(*m_menuPosition) : QPoint(0, 0);
    record.position_x = quint32(at.x());
    record.position_y = quint32(at.y());
    if (m_services.openEditor)
        m_services.openEditor(record);
}

void EditCommands::edit(const QWidget *widget)
{
    const QList<quint32> all = targets(widget);
    const quint32 target = all.isEmpty() ? 0 : all.constFirst();
    dropTarget();
    if (locked())
        return;
    // Several selected: their common fields change together in the overview.
    if (all.size() > 1 && m_services.openOverview) {
        m_services.openOverview(all);
        return;
    }
    const SettingStruct *record = m_document.control(target);
    if (record && m_services.openEditor)
        m_services.openEditor(*record);
}

void EditCommands::apply(const SettingStruct &record)
{
    if (locked())
        return;
    // Deleted (or undone) while its editor was open: it is not brought back.
    if (record.id != 0 && !m_document.control(record.id)) {
        status(tr("The control no longer exists; the change was not applied"));
        return;
    }
    if (m_document.control(record.id))
        m_document.push(new ChangeControls(m_document, {record}, tr("Edit Control")));
    else
        m_document.push(new AddControls(m_document, {record}, -1, tr("Add Control")));
}

QString EditCommands::countText(const QString &one, const QString &many, qsizetype count)
{
    return count == 1 ? one : many.arg(count);
}

void EditCommands::remove(const QWidget *widget)
{
    const QList<quint32> ids = targets(widget);
    dropTarget();
    if (locked() || ids.isEmpty())
        return;
    m_document.push(new RemoveControls(
        m_document, ids, countText(tr("Delete Control"), tr("Delete %1 Controls"), ids.size())));
}

QList<SettingStruct> EditCommands::records(const QList<quint32> &ids) const
{
    QList<SettingStruct> found;
    for (quint32 id : ids)
        if (const SettingStruct *record = m_document.control(id))
            found.append(*record);
    return found;
}

void EditCommands::cut()
{
    const QList<SettingStruct> taken = records(targets());
    dropTarget();
    if (locked() || taken.isEmpty())
        return;
    m_document.setClipboard(taken);
    QList<quint32> ids;
    for (const SettingStruct &r : taken)
        ids.append(r.id);
    m_document.push(new RemoveControls(
        m_document, ids, countText(tr("Cut Control"), tr("Cut %1 Controls"), ids.size())));
}

void EditCommands::copy()
{
    const QList<SettingStruct> taken = records(targets());
    dropTarget();
    if (!locked() && !taken.isEmpty())
        m_document.setClipboard(taken);
}

void EditCommands::paste()
{
    const bool fromMenu = m_menuShowing;
    dropTarget();
    // An empty surface takes a paste too: the only control, cut, would
    // otherwise be lost.
    QList<SettingStruct> pasted = m_document.clipboard();
    if (locked() || pasted.isEmpty())
        return;
    QList<QRect> rects;
    for (const SettingStruct &r : std::as_const(pasted))
        rects.append(QRect(int(qMin<quint32>(r.position_x, 1u << 30)),
                           int(qMin<quint32>(r.position_y, 1u << 30)), 1, 1));
    // From the menu: at its position. By key: one grid step beside the
    // originals, and the next paste one step further.
    const QPoint at = fromMenu && m_menuPosition
                          ? toStored(*m_menuPosition)
                          : geometry::bounds(rects).topLeft() + QPoint(int(grid()), int(grid()));
    const QPoint shift = geometry::pasteOffset(rects, at);
    for (SettingStruct &r : pasted) {
        r.id = 0;
        r.position_x = quint32(qMax<qint64>(0, qint64(r.position_x) + shift.x()));
        r.position_y = quint32(qMax<qint64>(0, qint64(r.position_y) + shift.y()));
    }
    if (!fromMenu)
        m_document.setClipboard(pasted);
    auto *command =
        new AddControls(m_document, pasted, -1,
                        countText(tr("Paste Control"), tr("Paste %1 Controls"), pasted.size()));
    m_document.push(command);
    if (m_services.select) {
        QList<quint32> ids;
        for (const SettingStruct &r : command->controls())
            ids.append(r.id);
        m_services.select(ids);
    }
}

void EditCommands::undo()
{
    if (!locked() && !moving())
        m_document.undoStack().undo();
}

void EditCommands::redo()
{
    if (!locked() && !moving())
        m_document.undoStack().redo();
}

void EditCommands::createActions(QWidget *window, QAction **undo, QAction **redo)
{
    QUndoStack &stack = m_document.undoStack();
    auto make = [&](const QString &shortcut, const char *icon, auto trigger) {
        auto *action = new QAction(window);
        action->setShortcut(QKeySequence(shortcut));
        action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        action->setEnabled(false);
        window->addAction(action);
        connect(action, &QAction::triggered, this, trigger);
        return action;
    };
    *undo = make(tr("Ctrl+Z"), "edit-undo", [this] { this->undo(); });
    *redo = make(tr("Ctrl+Shift+Z"), "edit-redo", [this] { this->redo(); });
    QAction *u = *undo;
    QAction *r = *redo;
    auto update = [this, u, r, &stack] {
        const bool allowed = !locked();
        u->setEnabled(allowed && stack.canUndo());
        r->setEnabled(allowed && stack.canRedo());
        u->setText(stack.canUndo() ? tr("Undo %1").arg(stack.undoText()) : tr("Undo"));
        r->setText(stack.canRedo() ? tr("Redo %1").arg(stack.redoText()) : tr("Redo"));
        u->setStatusTip(tr("Takes back the last change of the console"));
        r->setStatusTip(tr("Redoes the change that was taken back"));
    };
    connect(&stack, &QUndoStack::indexChanged, this, update);
    connect(&stack, &QUndoStack::cleanChanged, this, update);
    connect(&m_document, &ShowDocument::preferencesChanged, this, update);
    update();
}

void EditCommands::toggleLock()
{
    if (!locked()) {
        const QString question = CommandTable::lockQuestion();
        if (m_services.prompter->ask(m_services.window, QMessageBox::Question,
                                     appinfo::productName(), question,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                     QMessageBox::No) != QMessageBox::Yes)
            return;
        if (moving())
            endMove(false);
        if (m_services.closeDialogs)
            m_services.closeDialogs();
        m_document.setLocked(true);
    } else {
        m_document.setLocked(false);
    }
}

void EditCommands::lockAttempt()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (!m_lastLockAttempt.isValid() || m_lastLockAttempt.msecsTo(now) < LOCK_ATTEMPT_WINDOW_MS)
        ++m_lockAttempts;
    m_lastLockAttempt = now;
    if (m_lockAttempts > LOCK_ATTEMPTS_BEFORE_MESSAGE) {
        m_lockAttempts = 0;
        m_services.prompter->tell(m_services.window, QMessageBox::Information, tr("Screen Lock"),
                                  tr("The Screen is locked!"));
    }
}

// ---- move mode ---------------------------------------------------------------

void EditCommands::startMove()
{
    const QList<quint32> ids = targets();
    const quint32 first = hit();
    dropTarget();
    if (locked() || ids.isEmpty())
        return;
    // The control under the menu follows the mouse when it is one of them.
    m_moving = ids;
    if (first && m_moving.contains(first))
        m_moving.move(m_moving.indexOf(first), 0);
    m_movingFrom.clear();
    for (const SettingStruct &r : records(m_moving))
        m_movingFrom.append(QPoint(int(qMin<quint32>(r.position_x, INT_MAX)),
                                   int(qMin<quint32>(r.position_y, INT_MAX))));
    m_movingAt = m_movingFrom.constFirst();
    const SettingStruct *record = m_document.control(m_moving.constFirst());
    status(m_moving.size() == 1
               ? tr("Moving %1: click to place, Esc cancels, Alt moves freely").arg(record->name)
               : tr("Moving %1 controls: click to place, Esc cancels, Alt moves freely")
                     .arg(m_moving.size()));
}

QPoint EditCommands::movedBy() const
{
    // The whole group stops at the surface's top and left edges.
    QPoint shift = m_movingAt - m_movingFrom.constFirst();
    for (const QPoint &from : m_movingFrom)
        shift = QPoint(qMax(shift.x(), -from.x()), qMax(shift.y(), -from.y()));
    return shift;
}

void EditCommands::moveTo(const QPoint &stored)
{
    m_movingAt = QPoint(qMax(0, stored.x()), qMax(0, stored.y()));
    const QPoint shift = movedBy();
    for (int i = 0; i < m_moving.size(); ++i)
        if (QWidget *w = m_surface.widget(m_moving.at(i))) {
            const QPoint at = m_movingFrom.at(i) + shift;
            w->move(stretch::shownPosition(quint32(at.x()), quint32(at.y()), m_surface.stretch()));
        }
}

void EditCommands::endMove(bool accept)
{
    const QList<quint32> ids = std::exchange(m_moving, {});
    const QPoint shift = movedBy();
    const QList<SettingStruct> before = records(ids);
    if (!accept) {
        for (const SettingStruct &r : before)
            if (QWidget *w = m_surface.widget(r.id))
                w->move(m_surface.shownRect(r).topLeft());
        status(tr("Move cancelled"));
        return;
    }
    if (shift.isNull() || before.isEmpty())
        return;
    QList<SettingStruct> moved = before;
    for (SettingStruct &r : moved) {
        r.position_x = quint32(qint64(r.position_x) + shift.x());
        r.position_y = quint32(qint64(r.position_y) + shift.y());
    }
    m_document.push(new ChangeControls(
        m_document, moved, countText(tr("Move Control"), tr("Move %1 Controls"), moved.size())));
}

bool EditCommands::moveEvent(QEvent *event)
{
    if (!moving())
        return false;
    for (quint32 id : std::as_const(m_moving))
        if (!m_document.control(id)) {
            m_moving.clear(); // a control went away (undo, load)
            return false;
        }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint shown = m_services.window->mapFromGlobal(mouse->globalPosition().toPoint());
        const QPoint stored = toStored(shown);
        moveTo(mouse->modifiers() & Qt::AltModifier ? stored : snapped(stored));
        if (event->type() == QEvent::MouseButtonPress) {
            if (mouse->buttons() & Qt::RightButton)
                endMove(false);
            else if (mouse->buttons() & Qt::LeftButton)
                endMove(true);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int step = key->modifiers() & Qt::AltModifier ? 1 : int(grid());
        switch (key->key()) {
        case Qt::Key_Escape:
            endMove(false);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            endMove(true);
            return true;
        case Qt::Key_Left:
            moveTo(m_movingAt - QPoint(step, 0));
            return true;
        case Qt::Key_Right:
            moveTo(m_movingAt + QPoint(step, 0));
            return true;
        case Qt::Key_Up:
            moveTo(m_movingAt - QPoint(0, step));
            return true;
        case Qt::Key_Down:
            moveTo(m_movingAt + QPoint(0, step));
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}
