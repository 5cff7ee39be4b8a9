// The editing commands of the console: the hit test at the menu position,
// Add / Edit / Move / Delete / Cut / Copy / Paste, Undo / Redo and the screen
// lock. Edit, Move, Delete, Cut and Copy act on the selection of design mode
// when there is one, otherwise on the control at the menu position. Each change is one command
// pushed on the show document; the surface follows. Move mode follows the mouse over the whole
// surface and snaps to a grid of stored units (Alt moves freely, arrow keys nudge by one step).
//
// Promises:
// - shortcuts act at the last menu position; before any menu, nothing;
// - the control they act on is announced (targetShown) as the menu opens
//   and taken back by the next editing command or Escape, after which the
//   shortcuts act on none until the menu opens again;
// - nothing but Lock, Save, Check for Updates and Quit acts while locked;
// - Paste works on an empty surface too (a cut only control is not lost);
//   pasted controls keep their layout, the top-left of their bounding box
//   at the menu position, or one grid step beside the originals when
//   pasted by key; they are selected.
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
        // Opens the controls overview on these controls alone.
        std::function<void(const QList<quint32> &)> openOverview;
        // Closes every open dialog (the lock does).
        std::function<void()> closeDialogs;
        // The selected controls (design mode), and selecting others.
        std::function<QList<quint32>()> selection;
        std::function<void(const QList<quint32> &)> select;
    };

    EditCommands(ShowDocument &document, const Surface &surface, Services services);

    bool locked() const { return m_document.preferences().lock_screen; }

    // The popup menu opened at `position` (window coordinates); returns
    // false while locked (a lock attempt was counted instead).
    bool menuOpened(const QPoint &position);
    // The menu closed; a command it triggered has run by now.
    void menuClosed() { m_menuShowing = false; }
    // Escape, and every command that used it: the shortcuts act on no
    // control until the menu opens again, so none acts on a control that
    // is no longer framed.
    void dropTarget();
    // The control under the last menu position, or whose widget is `widget`;
    // 0 when none.
    quint32 hit(const QWidget *widget = nullptr) const;
    // What Edit, Move, Delete, Cut and Copy act on: the control of `widget`
    // when one is given, else the selection, else the hit control (none:
    // empty).
    QList<quint32> targets(const QWidget *widget = nullptr) const;

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
    bool moving() const { return !m_moving.isEmpty(); }
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
public:
    // `one` for one control, else `many` with the count.
    static QString countText(const QString &one, const QString &many, qsizetype count);

private:
    QList<SettingStruct> records(const QList<quint32> &ids) const;
    // How far the move has taken the controls, stopped at the edges.
    QPoint movedBy() const;
    QPoint toStored(const QPoint &shown) const;
    QPoint snapped(const QPoint &stored) const;
    // Moves the control followed to `stored`, the others of the move beside it.
    void moveTo(const QPoint &stored);
    void endMove(bool accept);
    void status(const QString &text) const;

    ShowDocument &m_document;
    const Surface &m_surface;
    Services m_services;
    std::optional<QPoint> m_menuPosition;
    bool m_targetDropped = false;
    bool m_menuShowing = false;
    QList<quint32> m_moving;    // the first follows the mouse
    QList<QPoint> m_movingFrom; // stored positions when the move began
    QPoint m_movingAt;          // stored position of the first while moving
    int m_lockAttempts = 0;
    QDateTime m_lastLockAttempt;
};
