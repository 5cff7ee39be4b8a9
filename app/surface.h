// The control surface: the records of the controls on the console window,
// each with its live widget, and the background they sit on.
//
// Stored positions and sizes are in background units; widgets are placed at
// stored * stretch / 100. Applying a record creates the widget it describes
// (when the record carries no widget) or updates the widget it names. The
// widgets' signals are connected by signature text to the console's output
// slots, so the console is both their parent and their receiver.
#pragma once

#include "settingstruct.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QPixmap>

class QPainter;
class QRect;
class QWidget;

class Surface
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    enum class Applied {
        Created,     // a new widget and record were added
        Updated,     // an existing control took the record
        UnknownType, // nothing was created; the configuration still changed
        NotFound,    // the record's widget is on no control: nothing happened
    };
    struct Result {
        Applied applied = Applied::NotFound;
        // The control listens to or shows DMX-IN (types below 7 and LEDs):
        // the console sets up its receive buffers again.
        bool dmxInChanged = false;
    };

    // `console` parents the widgets and receives their signals; `background`
    // gives the stretch factor. Both outlive the surface.
    Surface(QWidget *console, const BackgroundStruct *background);
    ~Surface();
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    // Creates or updates the control `edit` describes. A created control's
    // widget pointer is stored in `edit`, so applying it again updates it.
    Result apply(SettingStruct &edit);

    // Moves and sizes the window after the background record, gives it the
    // background colour and re-places every control.
    void applyBackground();
    // The user resized the window: the background record takes the size in
    // background units. Nothing else changes.
    static void storeWindowSize(BackgroundStruct &background, int width, int height);
    // Draws the background picture over `rect` (nothing without a picture:
    // the window's palette shows the background colour).
    void paintBackground(QPainter &painter, const QRect &rect);

    // Makes the controls of the two widgets blink in turn (either may be
    // null); widgets on no control are ignored.
    void blink(const QWidget *first, const QWidget *second);
    // Shows `time` on every clock control.
    void showTime(const QString &time);

    // Deletes every control, widget and record.
    void clear();
    // Deletes one control.
    void remove(SettingStruct *record);

    SettingStruct *find(const QWidget *widget) const;
    // The topmost control whose widget is `widget` or whose shown rectangle,
    // edges included, holds `point`; null when none.
    SettingStruct *hitTest(const QPoint &point, const QWidget *widget = nullptr) const;
    QList<SettingStruct *> &controls() { return m_controls; }
    const QList<SettingStruct *> &controls() const { return m_controls; }
    QList<const SettingStruct *> constControls() const;

    // Shown geometry of a record.
    QRect shownRect(const SettingStruct &record) const;
    quint32 stretch() const;

    static QString clockPlaceholder() { return tr("--:--:--"); }

private:
    QWidget *createWidget(const SettingStruct &record);
    void updateWidget(const SettingStruct &record);
    void place(const SettingStruct &record);
    void showIcon(const SettingStruct &record);

    QWidget *m_console;
    const BackgroundStruct *m_background;
    QList<SettingStruct *> m_controls;
    QString m_shownTime;
    // Background picture scaled to the window, kept until either changes.
    QPixmap m_scaledPicture;
    qint64 m_scaledKey = 0;
};
