// The editing commands of the console: the hit test at the menu position,
// Add / Edit / Move / Delete / Cut / Copy / Paste, Undo / Redo and the screen
// lock. Each change is one command pushed on the show document; the surface
// follows. Move mode follows the mouse over the whole surface and snaps to a
// grid of stored units (Alt moves freely, arrow keys nudge by one step).
//
// Promises:
// - shortcuts act at the last menu position; before any menu, nothing;
// - the control they act on is announced (targetShown) as the menu opens
//   and taken back by the next editing command or Escape, after which the
//   shortcuts act on none until the menu opens again;
// - nothing but Lock, Save, Check for Updates and Quit acts while locked;
// - Paste works on an empty surface too (a cut only control is not lost).
#pragma once

#include "model/showdocument.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class Prompter;
class QAction;
class QEvent;
class Surface;
class QWidget;

class EditCommands : public QObject
{
    Q_OBJECT

public:
    struct Services {
        QWidget *window = nullptr;
        Prompter *prompter = nullptr;
        std::function<void(const QString &)> showStatus;
        // Opens the control editor on a record (id 0: a new control).
        std::function<void(const SettingStruct &)> openEditor;
        // Closes every open dialog (the lock does).
        std::function<void()> closeDialogs;
    };

    EditCommands(ShowDocument &document, const Surface &surface, Services services);

    bool locked() const { return m_document.preferences().lock_screen; }

    // The popup menu opened at `position` (window coordinates); returns
    // false while locked (a lock attempt was counted instead).
    bool menuOpened(const QPoint &position);
    std::optional<QPoint> menuPosition() const { return m_menuPosition; }
    // Escape, and every command that used it: the shortcuts act on no
    // control until the menu opens again, so none acts on a control that
    // is no longer framed.
    void dropTarget();
    // The control under the last menu position, or whose widget is `widget`;
    // 0 when none.
    quint32 hit(const QWidget *widget = nullptr) const;

    void add();
    void edit(const QWidget *widget = nullptr);
    void startMove();
    void remove(const QWidget *widget = nullptr);
    void cut();
    void copy();
    void paste();
    // The editor applied `record`: a change of its control, or a new one.
    void apply(const SettingStruct &record);

    void undo();
    void redo();
    // Undo and Redo actions named after the command they undo or redo.
    void createActions(QWidget *window, QAction **undo, QAction **redo);

    void toggleLock();

    // Move mode: true while a control follows the mouse.
    bool moving() const { return m_moving != 0; }
    // Handles mouse and key events while moving; true when consumed.
    bool moveEvent(QEvent *event);
    // The grid moves snap to, in stored units.
    quint32 grid() const;

    // Counts a right click on a locked console; the sixth within 20 s of
    // the one before says that the screen is locked.
    void lockAttempt();

signals:
    // The control the shortcuts act on, to be shown to the user; 0: none.
    void targetShown(quint32 id);

private:
    QPoint toStored(const QPoint &shown) const;
    QPoint snapped(const QPoint &stored) const;
    void moveTo(const QPoint &stored);
    void endMove(bool accept);
    void status(const QString &text) const;

    ShowDocument &m_document;
    const Surface &m_surface;
    Services m_services;
    std::optional<QPoint> m_menuPosition;
    bool m_targetDropped = false;
    quint32 m_moving = 0;
    QPoint m_movingAt; // stored position while moving
    int m_lockAttempts = 0;
    QDateTime m_lastLockAttempt;
};
