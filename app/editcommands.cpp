#include "app/editcommands.h"

#include "app/appinfo.h"
#include "app/prompter.h"
#include "app/surface.h"
#include "controls/stretch.h"
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
    const quint32 target = hit(widget);
    dropTarget();
    if (locked())
        return;
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

void EditCommands::remove(const QWidget *widget)
{
    const quint32 id = hit(widget);
    dropTarget();
    if (locked())
        return;
    if (id)
        m_document.push(new RemoveControls(m_document, {id}, tr("Delete Control")));
}

void EditCommands::cut()
{
    const quint32 target = hit();
    dropTarget();
    if (locked())
        return;
    if (const SettingStruct *record = m_document.control(target)) {
        m_document.setClipboard(*record);
        m_document.push(new RemoveControls(m_document, {record->id}, tr("Cut Control")));
    }
}

void EditCommands::copy()
{
    const quint32 target = hit();
    dropTarget();
    if (locked())
        return;
    if (const SettingStruct *record = m_document.control(target))
        m_document.setClipboard(*record);
}

void EditCommands::paste()
{
    dropTarget();
    // An empty surface takes a paste too: the only control, cut, would
    // otherwise be lost.
    if (locked() || !m_document.clipboard() || !m_menuPosition)
        return;
    SettingStruct record = *m_document.clipboard();
    record.id = 0;
    const QPoint at = toStored(*m_menuPosition);
    record.position_x = quint32(at.x());
    record.position_y = quint32(at.y());
    m_document.push(new AddControls(m_document, {record}, -1, tr("Paste Control")));
}

void EditCommands::undo()
{
    if (!locked() && !m_moving)
        m_document.undoStack().undo();
}

void EditCommands::redo()
{
    if (!locked() && !m_moving)
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
        r->setStatusTip(tr("Makes the change taken back again"));
    };
    connect(&stack, &QUndoStack::indexChanged, this, update);
    connect(&stack, &QUndoStack::cleanChanged, this, update);
    connect(&m_document, &ShowDocument::preferencesChanged, this, update);
    update();
}

void EditCommands::toggleLock()
{
    if (!locked()) {
        const QString question = tr("Lock Screen\nYou are really sure?\n\nYou can Unlock Screen "
                                    "with\n\"%1\"")
                                     .arg(QStringLiteral("CTRL+ALT+SHIFT+F11"));
        if (m_services.prompter->ask(m_services.window, QMessageBox::Question,
                                     appinfo::productName(), question,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                     QMessageBox::No) != QMessageBox::Yes)
            return;
        if (m_moving)
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
    const quint32 target = hit();
    dropTarget();
    if (locked())
        return;
    const SettingStruct *record = m_document.control(target);
    if (!record)
        return;
    m_moving = record->id;
    m_movingAt = QPoint(int(qMin<quint32>(record->position_x, INT_MAX)),
                        int(qMin<quint32>(record->position_y, INT_MAX)));
    status(tr("Moving %1: click to place, Esc cancels, Alt moves freely").arg(record->name));
}

void EditCommands::moveTo(const QPoint &stored)
{
    m_movingAt = QPoint(qMax(0, stored.x()), qMax(0, stored.y()));
    if (QWidget *w = m_surface.widget(m_moving))
        w->move(stretch::shownPosition(quint32(m_movingAt.x()), quint32(m_movingAt.y()),
                                       m_surface.stretch()));
}

void EditCommands::endMove(bool accept)
{
    const quint32 id = std::exchange(m_moving, 0);
    const SettingStruct *record = m_document.control(id);
    if (!record)
        return;
    if (!accept) {
        if (QWidget *w = m_surface.widget(id))
            w->move(m_surface.shownRect(*record).topLeft());
        status(tr("Move cancelled"));
        return;
    }
    SettingStruct moved = *record;
    moved.position_x = quint32(m_movingAt.x());
    moved.position_y = quint32(m_movingAt.y());
    if (moved.position_x == record->position_x && moved.position_y == record->position_y)
        return;
    m_document.push(new ChangeControls(m_document, {moved}, tr("Move Control")));
}

bool EditCommands::moveEvent(QEvent *event)
{
    if (!m_moving)
        return false;
    if (!m_document.control(m_moving)) {
        m_moving = 0; // the control went away (undo, load)
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
