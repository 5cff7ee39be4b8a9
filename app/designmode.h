// Design mode: the surface is edited by hand. Controls are selected with a
// click, Ctrl- or Shift-click and a rubber band, dragged, resized by eight
// handles and nudged with the arrow keys, snapping to the grid and to the
// edges and centres of the others.
//
// Promises:
// - the controls never learn of the mode: the console's event filter hands
//   every mouse, wheel and key event meant for a control (or the surface) to
//   filter() first, which keeps them from the control, so operating one
//   sends nothing; input from outside keeps moving controls and sending;
// - shortcuts reach the console's commands even while a spin box has focus;
// - selecting is no edit; every gesture is one command, pushed at release
//   (the preview moves widgets, or for many the outline of their bounding
//   box, never the document), Escape cancels it;
// - a locked console cannot enter the mode, and locking leaves it;
// - the selection holds only controls that exist.
#pragma once

#include "model/geometry.h"
#include "model/settingstruct.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSet>

#include <functional>
#include <optional>

class QAction;
class QEvent;
class QWidget;
class ShowDocument;
class Surface;

class DesignOverlay;

class DesignMode : public QObject
{
    Q_OBJECT

public:
    // `console` holds the surface's widgets; `surfaceArea` gives the part of
    // it the surface covers (without the status line).
    DesignMode(ShowDocument &document, const Surface &surface, QWidget *console,
               std::function<QRect()> surfaceArea);
    ~DesignMode() override;

    bool isOn() const { return m_on; }
    // Refused (false) while locked.
    bool setOn(bool on);
    // "Design Mode" (Ctrl+Shift+E, checkable) and "Select All"
    // (Ctrl+Shift+A), added to `window`.
    void createActions(QWidget *window, QAction **toggleAction, QAction **selectAllAction);

    // Ids of the selected controls, in document order.
    QList<quint32> selection() const;
    void select(const QList<quint32> &ids);
    void selectAll();
    void clearSelection();

    // Makes a control of `type` centred on `shown` (a window point; the
    // grid applies), with the type's default size, patched after the last
    // control made when `patch` is true (see autopatch.h); selects it.
    // Returns its id, 0 when nothing was made (locked, mode off).
    quint32 create(quint8 type, const QPoint &shown, bool patch);
    // The output the next control made is patched after.
    void setPatchFrom(const SettingDmxStruct &output, bool fromStart);

    // Arranges the selection (two or more) as one undo step named after
    // the arrangement.
    void arrange(geometry::Arrange how);
    // Every arrangement with its name, in menu order.
    static QList<QPair<geometry::Arrange, QString>> arrangements();

    // An event meant for `widget` of the console while the mode is on; true
    // when it is taken (the widget does not see it).
    bool filter(QWidget *widget, QEvent *event);

    // For the overlay.
    QRect handleRect(const QRect &frame, int handle) const;
    struct Paint {
        QList<QRect> frames;               // shown, of the selected controls
        std::optional<int> guideX, guideY; // shown
        QRect band;
        QRect outline; // where the gesture takes many controls
    };
    Paint paintState() const;

signals:
    void switched(bool on);
    void selectionChanged();
    // Del or Backspace with a selection.
    void deleteRequested();
    // A double click on a control (it is selected alone).
    void editRequested();
    // Something to tell in the status line.
    void message(const QString &text);
    // A control was made and patched to `protocol`.
    void patched(quint8 protocol);

private:
    enum class Gesture { None, Pending, Drag, Resize, Band };

    quint32 controlOf(const QWidget *widget) const;
    void press(const QPoint &at, quint32 id, Qt::KeyboardModifiers modifiers);
    void follow(const QPoint &at, Qt::KeyboardModifiers modifiers);
    void release();
    void cancelGesture();
    bool key(int key, Qt::KeyboardModifiers modifiers);
    void nudge(const QPoint &delta);
    // Which handle of a selected control lies under `at`: its edges (Edge
    // bits), 0 when none.
    int handleAt(const QPoint &at) const;

    void startDrag();
    void startResize(int edges);
    // The gesture's controls at `rects` (stored, one per m_moving), shown
    // with the guides that won.
    void show(const QList<QRect> &rects, const geometry::SnapResult &snapped);
    // Puts the widgets of the gesture where `after` has them.
    void preview(const QList<SettingStruct> &after);
    // One command for the controls of `after` that changed, named `text` or
    // after the gesture.
    void pushChange(const QList<SettingStruct> &after, bool resized,
                    const QString &text = QString());
    void restoreWidgets();
    void prune();
    void refresh();
    QRect storedRect(quint32 id) const;
    QSize minimumSize(quint32 id) const;
    geometry::Snap snapFor(Qt::KeyboardModifiers modifiers) const;
    geometry::Guides guidesWithout(const QSet<quint32> &moving) const;

    ShowDocument &m_document;
    const Surface &m_surface;
    QWidget *m_console;
    std::function<QRect()> m_area;
    DesignOverlay *m_overlay = nullptr;
    QAction *m_toggle = nullptr;
    bool m_on = false;
    QSet<quint32> m_selected;

    // The gesture under way.
    Gesture m_gesture = Gesture::None;
    QPoint m_pressAt; // shown
    quint32 m_pressId = 0;
    int m_edges = 0;
    QList<quint32> m_moving;   // selected, and carried by selected frames
    QList<QRect> m_startRects; // stored, one per m_moving
    QRect m_startBox;
    geometry::Guides m_guides;
    QList<SettingStruct> m_after;
    QRect m_outline;                       // shown, while many are previewed by their bounding box
    std::optional<int> m_guideX, m_guideY; // stored
    QSet<quint32> m_bandBase;
    SettingDmxStruct m_patchFrom;
    bool m_patchFromStart = true; // the next patch may take the first channel
    quint32 m_lastMade = 0;       // the last control made with an output
    QRect m_band;                 // shown
};
