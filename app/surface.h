// The control surface: one widget per control record of the show document,
// on the background the document describes.
//
// Stored positions and sizes are in background units; widgets are placed at
// stored * stretch / 100, no side larger than MAX_CONTROL_SHOWN (elements.h)
// at any stretch factor. The surface follows the document's signals: it
// builds, updates, re-stacks and deletes widgets, and never changes a
// record. Widgets are made by the control factory (controlwidget.h); their
// signals go by signature text to the console's output slots.
#pragma once

#include "controls/controlwidget.h"
#include "model/showdocument.h"

#include <QCoreApplication>
#include <QObject>
#include <QPixmap>

#include <memory>
#include <unordered_map>
#include <vector>

class LoadProgress;
class QPainter;
class QRect;
class QWidget;

class Surface : public QObject
{
    Q_OBJECT

public:
    // `console` parents the widgets and receives their signals; `progress`
    // is told how a rebuild of many widgets goes and may cancel it. All
    // three outlive the surface.
    Surface(QWidget *console, const ShowDocument &document, LoadProgress *progress = nullptr);
    ~Surface() override;

    // Controls with a widget, in document order.
    int widgetCount() const { return int(m_widgets.size()); }
    ControlWidget *control(quint32 id) const;
    QWidget *widget(quint32 id) const;
    // The id of the control whose widget is `widget`; 0 when none.
    quint32 idOf(const QWidget *widget) const;
    // The topmost control whose widget is `widget` or whose shown rectangle,
    // edges included, holds `point`; 0 when none.
    quint32 hitTest(const QPoint &point, const QWidget *widget = nullptr) const;

    // Draws the background picture over `rect` (nothing without a picture:
    // the window's palette shows the background colour).
    void paintBackground(QPainter &painter, const QRect &rect);
    // Makes the controls of the two widgets blink in turn (either may be
    // null); widgets on no control are ignored.
    void blink(const QWidget *first, const QWidget *second);
    // Shows `time` on every clock control.
    void showTime(const QString &time);
    // One trigger tick for controls that spring back.
    void springBack();

    QRect shownRect(const SettingStruct &record) const;
    quint32 stretch() const;
    // The user resized the window: the background record takes the size in
    // background units. Nothing else changes.
    static void storeWindowSize(BackgroundStruct &background, int width, int height);

signals:
    // Widgets were made, changed or deleted (the I/O side plans its inputs
    // and sends initial values from them).
    void widgetsChanged();

private:
    void rebuild();
    void add(const QList<quint32> &ids);
    void remove(const QList<quint32> &ids);
    void change(const QList<quint32> &ids);
    // Puts the widgets in the stacking order of the records, moving only
    // those out of it.
    void restack();
    // Shows widgets made hidden, all at once.
    void showAll(const QList<QWidget *> &widgets);
    void applyBackground();
    ControlWidget *make(const SettingStruct &record);
    void place(const SettingStruct &record, ControlWidget &control);
    void deleteAll();
    // The controls the trigger timer drives (clocks, pitch bends), by id,
    // found again after each change of the widgets.
    const std::vector<quint32> &clocked();

    QWidget *m_console;
    const ShowDocument &m_document;
    LoadProgress *m_progress;
    std::unordered_map<quint32, std::unique_ptr<ControlWidget>> m_widgets;
    QString m_shownTime;
    std::vector<quint32> m_clocked;
    bool m_clockedStale = true;
    bool m_cancelled = false;
    // Background picture scaled to the window, kept until either changes.
    QPixmap m_scaledPicture;
    qint64 m_scaledKey = 0; // the picture's cache key; 0: nothing decoded
    QSize m_scaledSize;
};
