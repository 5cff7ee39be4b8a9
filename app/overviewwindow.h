// The console's side of the controls overview: opens the window, wires its
// signals to the console's slots by signature text, closes it; and serves
// the console's group slots for callers that change controls by widget
// (slotSettingsChangedGroupBegin(), slotSettingsChangedGroup(...),
// slotSettingsChangedGroupEnd(), the shift and delete slots).
//
// A group is one Undo step: its cell changes become one ChangeControls, its
// shifts one ReorderControls (in the show's order), its deletions one
// RemoveControls, pushed together at the group's end. A change outside a
// group is one command at once.
#pragma once

#include "model/batchchange.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class QMainWindow;
class QWidget;
class SettingsOverview;
class ShowDocument;
class Surface;

class OverviewWindow : public QObject
{
    Q_OBJECT

public:
    // `console` receives the window's signals and shows refusals in its
    // status line; all three outlive this object.
    OverviewWindow(ShowDocument &document, const Surface &surface, QMainWindow *console);
    ~OverviewWindow() override;

    // Creates the window on first use, shows and raises it; nothing while
    // the screen is locked. With `only`, it lists those controls alone (a
    // batch then changes them together); without, every control.
    void open(const QList<quint32> &only = {});
    // Hides, disconnects and deletes the window (safe from its own
    // closeEvent).
    void close();
    SettingsOverview *window() const;

    void beginGroup();
    // One cell of the control whose widget is `widget`; unknown widgets and
    // cells the control does not have are refused in the status line.
    void change(const QWidget *widget, int action, int columnType, const QString &value);
    void endGroup();
    // True when a group is open and took the deletion for its end.
    bool groupRemove(const QWidget *widget);
    void shift(const QWidget *widget, bool up);

private:
    struct Group;
    void status(const QString &text) const;

    ShowDocument &m_document;
    const Surface &m_surface;
    QMainWindow *m_console;
    QPointer<SettingsOverview> m_window;
    std::unique_ptr<Group> m_group;
};
