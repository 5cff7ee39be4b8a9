#include "app/designmode.h"

#include "app/editcommands.h"
#include "app/surface.h"
#include "controls/stretch.h"
#include "model/autopatch.h"
#include "model/elements.h"
#include "model/showcommands.h"
#include "model/showdocument.h"
#include "model/typetables.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <tuple>

namespace
{
// Handles and the pull of guides, in pixels as shown.
constexpr int HANDLE = 7;
constexpr int GUIDE_REACH = 6;
// From this many controls on, a gesture previews the outline of their
// bounding box: moving that many widgets at each step repaints too much.
constexpr int OUTLINE_FROM = 64;
// The eight handles, by the edges each moves: corners and side centres.
constexpr int HANDLES[] = {geometry::LEFT | geometry::TOP,     geometry::TOP,
                           geometry::RIGHT | geometry::TOP,    geometry::RIGHT,
                           geometry::RIGHT | geometry::BOTTOM, geometry::BOTTOM,
                           geometry::LEFT | geometry::BOTTOM,  geometry::LEFT};

QRect storedRectOf(const SettingStruct &r)
{
    auto clamp = [](quint32 v) { return int(std::min<quint32>(v, 1u << 30)); };
    return QRect(clamp(r.position_x), clamp(r.position_y), clamp(r.size_x), clamp(r.size_y));
}

} // namespace

// Draws the mode's frame, the selection with its handles, the guides and
// the rubber band above the controls; the mouse passes through it.
class DesignOverlay : public QWidget
{
public:
    DesignOverlay(DesignMode &mode, QWidget *parent) : QWidget(parent), m_mode(mode)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QStringLiteral("designOverlay"));
    }

    // Repaints only the frames, guides and band that came, went or moved
    // since the last call: the overlay lies transparent over the whole
    // surface, so a full update repaints every control beneath it.
    void changed()
    {
        const auto order = [](const QRect &a, const QRect &b) {
            return std::make_tuple(a.y(), a.x(), a.height(), a.width()) <
                   std::make_tuple(b.y(), b.x(), b.height(), b.width());
        };
        DesignMode::Paint now = m_mode.paintState();
        std::sort(now.frames.begin(), now.frames.end(), order);
        QList<QRect> differing;
        std::set_symmetric_difference(m_shown.frames.cbegin(), m_shown.frames.cend(),
                                      now.frames.cbegin(), now.frames.cend(),
                                      std::back_inserter(differing), order);
        QRegion dirty;
        // A frame and its handles lie on its border: the control inside
        // needs no repaint.
        for (const QRect &f : std::as_const(differing))
            dirty += QRegion(f.adjusted(-HANDLE, -HANDLE, HANDLE, HANDLE)) -
                     QRegion(f.adjusted(HANDLE, HANDLE, -HANDLE, -HANDLE));
        if (m_shown.guideX != now.guideX)
            for (const std::optional<int> &x : {m_shown.guideX, now.guideX})
                if (x)
                    dirty += QRect(*x - 1, 0, 3, height());
        if (m_shown.guideY != now.guideY)
            for (const std::optional<int> &y : {m_shown.guideY, now.guideY})
                if (y)
                    dirty += QRect(0, *y - 1, width(), 3);
        if (m_shown.outline != now.outline)
            for (const QRect &box : {m_shown.outline, now.outline})
                if (!box.isNull())
                    dirty +=
                        QRegion(box.adjusted(-2, -2, 2, 2)) - QRegion(box.adjusted(2, 2, -2, -2));
        if (m_shown.band != now.band) {
            for (const QRect &band : {m_shown.band, now.band})
                if (!band.isNull())
                    dirty +=
                        QRegion(band.adjusted(-1, -1, 1, 1)) - QRegion(band.adjusted(2, 2, -2, -2));
            // The fill stays where the old band and the new one overlap.
            dirty += QRegion(m_shown.band) ^ QRegion(now.band);
        }
        update(dirty);
        m_shown = std::move(now);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor accent = palette().color(QPalette::Highlight);
        p.setPen(QPen(accent, 3));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
        const DesignMode::Paint state = m_mode.paintState();
        p.setPen(QPen(accent, 1, Qt::DashLine));
        for (const QRect &f : state.frames)
            p.drawRect(f.adjusted(0, 0, -1, -1));
        p.setPen(QPen(palette().color(QPalette::HighlightedText), 1));
        p.setBrush(accent);
        for (const QRect &f : state.frames)
            for (int edges : HANDLES)
                p.drawRect(m_mode.handleRect(f, edges).adjusted(0, 0, -1, -1));
        if (!state.outline.isNull()) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(accent, 2, Qt::DashLine));
            p.drawRect(state.outline.adjusted(0, 0, -1, -1));
        }
        p.setPen(QPen(QColor(230, 0, 160), 1));
        if (state.guideX)
            p.drawLine(*state.guideX, 0, *state.guideX, height());
        if (state.guideY)
            p.drawLine(0, *state.guideY, width(), *state.guideY);
        if (!state.band.isNull()) {
            QColor fill = accent;
            fill.setAlpha(50);
            p.setBrush(fill);
            p.setPen(QPen(accent, 1));
            p.drawRect(state.band.adjusted(0, 0, -1, -1));
        }
    }

private:
    DesignMode &m_mode;
    DesignMode::Paint m_shown; // sorted frames
};

DesignMode::DesignMode(ShowDocument &document, const Surface &surface, QWidget *console,
                       std::function<QRect()> surfaceArea)
    : QObject(console), m_document(document), m_surface(surface), m_console(console),
      m_area(std::move(surfaceArea))
{
    connect(&m_document, &ShowDocument::preferencesChanged, this, [this] {
        if (m_on && m_document.preferences().lock_screen)
            setOn(false);
    });
    for (auto signal : {&ShowDocument::controlsRemoved, &ShowDocument::controlsChanged,
                        &ShowDocument::controlsAdded})
        connect(&m_document, signal, this, [this] { prune(); });
    connect(&m_document, &ShowDocument::contentReplaced, this, [this] { prune(); });
    connect(&m_document, &ShowDocument::controlsReordered, this, [this] { refresh(); });
    connect(&m_surface, &Surface::widgetsChanged, this, [this] { refresh(); });
}

DesignMode::~DesignMode() = default;

bool DesignMode::setOn(bool on)
{
    if (on && m_document.preferences().lock_screen) {
        if (m_toggle)
            m_toggle->setChecked(false);
        return false;
    }
    if (on == m_on)
        return true;
    cancelGesture();
    m_on = on;
    if (!on)
        m_selected.clear();
    if (on && !m_overlay)
        m_overlay = new DesignOverlay(*this, m_console);
    if (m_overlay)
        m_overlay->setVisible(on);
    if (m_toggle)
        m_toggle->setChecked(on);
    refresh();
    emit switched(on);
    emit selectionChanged();
    return true;
}

void DesignMode::createActions(QWidget *window, QAction **toggleAction, QAction **selectAllAction)
{
    m_toggle = new QAction(tr("Design Mode"), window);
    m_toggle->setCheckable(true);
    m_toggle->setShortcut(QKeySequence(tr("Ctrl+Shift+E")));
    m_toggle->setStatusTip(tr("Select, drag and resize the controls with the mouse; the controls "
                              "do not operate meanwhile"));
    connect(m_toggle, &QAction::triggered, this, [this](bool on) { setOn(on); });
    window->addAction(m_toggle);
    *toggleAction = m_toggle;
    auto *all = new QAction(tr("Select All"), window);
    all->setShortcut(QKeySequence(tr("Ctrl+Shift+A")));
    all->setStatusTip(tr("Selects every control (in design mode)"));
    connect(all, &QAction::triggered, this, [this] { selectAll(); });
    window->addAction(all);
    *selectAllAction = all;
}

QList<quint32> DesignMode::selection() const
{
    QList<quint32> ids;
    if (m_selected.isEmpty())
        return ids;
    for (const SettingStruct &r : m_document.controls())
        if (m_selected.contains(r.id))
            ids.append(r.id);
    return ids;
}

void DesignMode::select(const QList<quint32> &ids)
{
    QSet<quint32> chosen;
    if (m_on)
        for (quint32 id : ids)
            if (m_document.control(id))
                chosen.insert(id);
    if (chosen == m_selected)
        return;
    m_selected = chosen;
    refresh();
    emit selectionChanged();
}

void DesignMode::selectAll()
{
    QList<quint32> ids;
    for (const SettingStruct &r : m_document.controls())
        ids.append(r.id);
    select(ids);
}

void DesignMode::clearSelection()
{
    select({});
}

quint32 DesignMode::create(quint8 type, const QPoint &shown, bool patch)
{
    if (!m_on || m_document.preferences().lock_screen || !isControlType(type))
        return 0;
    SettingStruct record;
    resetSetting(&record);
    record.control_type = type;
    record.name = controlTypeLabel(type);
    const ControlTraits &traits = controlTraits(type);
    record.size_x = traits.defaultWidth;
    record.size_y = traits.defaultHeight;
    const quint32 s = m_surface.stretch();
    const int grid = qMax<int>(1, m_document.preferences().snap_grid);
    auto place = [&](int at, quint32 side) {
        const qint64 stored = stretch::toStored(at, s) - side / 2;
        return quint32(qMax<qint64>(0, (stored + grid / 2) / grid * grid));
    };
    record.position_x = place(shown.x(), record.size_x);
    record.position_y = place(shown.y(), record.size_y);
    // After the last control made, as it is now (it may have been edited
    // since), else after what the palette was set to.
    SettingDmxStruct from = m_patchFrom;
    bool fromStart = m_patchFromStart;
    if (const SettingStruct *last = m_document.control(m_lastMade);
        last && last->dmx_out.protocol_type != PT_NONE) {
        from = last->dmx_out;
        fromStart = false;
    }
    if (patch && traits.output.sends) {
        const AutoPatch patched = autoPatch(from, m_document.controls(), fromStart);
        record.dmx_out = patched.output;
        if (patched.full)
            emit message(tr("No channel is free after %1: the new control has no output")
                             .arg(from.dmx_channel + 1));
    } else if (patch && traits.input) {
        // One that only listens (an LED) listens on the palette's protocol.
        record.dmx_in = autoPatchInput(from, m_document.controls());
    }
    auto *command = new AddControls(m_document, {record}, -1, tr("Add Control"));
    m_document.push(command);
    const quint32 id = command->controls().isEmpty() ? 0 : command->controls().constFirst().id;
    if (id && record.dmx_out.protocol_type != PT_NONE) {
        m_lastMade = id;
        emit patched(record.dmx_out.protocol_type);
    }
    select({id});
    return id;
}

void DesignMode::setPatchFrom(const SettingDmxStruct &output, bool fromStart)
{
    m_patchFrom = output;
    m_patchFromStart = fromStart;
    m_lastMade = 0;
}

QList<QPair<geometry::Arrange, QString>> DesignMode::arrangements()
{
    using A = geometry::Arrange;
    return {{A::Left, tr("Align Left")},
            {A::Right, tr("Align Right")},
            {A::Top, tr("Align Top")},
            {A::Bottom, tr("Align Bottom")},
            {A::CentresX, tr("Align Centres Horizontally")},
            {A::CentresY, tr("Align Centres Vertically")},
            {A::DistributeX, tr("Distribute Horizontally")},
            {A::DistributeY, tr("Distribute Vertically")},
            {A::SameWidth, tr("Make Same Width")},
            {A::SameHeight, tr("Make Same Height")},
            {A::SameSize, tr("Make Same Size")}};
}

void DesignMode::arrange(geometry::Arrange how)
{
    const QList<quint32> ids = selection();
    if (!m_on || ids.size() < 2 || m_gesture != Gesture::None)
        return;
    m_moving = ids;
    m_startRects.clear();
    for (quint32 id : ids)
        m_startRects.append(storedRect(id));
    show(geometry::arranged(m_startRects, how), geometry::SnapResult());
    QList<SettingStruct> changed;
    for (const SettingStruct &r : std::as_const(m_after)) {
        SettingStruct limited = r;
        limitControlSize(&limited, m_surface.stretch());
        changed.append(limited);
    }
    m_after.clear();
    QString text;
    for (const auto &[kind, label] : arrangements())
        if (kind == how)
            text = label;
    pushChange(changed, false, text);
}

void DesignMode::prune()
{
    QSet<quint32> kept;
    for (quint32 id : std::as_const(m_selected))
        if (m_document.control(id))
            kept.insert(id);
    // A gesture whose controls changed under it (undo, load) ends.
    if (m_gesture == Gesture::Drag || m_gesture == Gesture::Resize)
        for (quint32 id : std::as_const(m_moving))
            if (!m_document.control(id)) {
                m_gesture = Gesture::None;
                m_guideX.reset();
                m_guideY.reset();
                m_outline = QRect();
                break;
            }
    const bool changed = kept != m_selected;
    m_selected = kept;
    refresh();
    if (changed)
        emit selectionChanged();
}

void DesignMode::refresh()
{
    if (!m_overlay || !m_on)
        return;
    m_overlay->setGeometry(m_area ? m_area() : m_console->rect());
    m_overlay->raise();
    m_overlay->changed();
}

QRect DesignMode::handleRect(const QRect &frame, int edges) const
{
    const int x = edges & geometry::LEFT    ? frame.left()
                  : edges & geometry::RIGHT ? frame.left() + frame.width()
                                            : frame.left() + frame.width() / 2;
    const int y = edges & geometry::TOP      ? frame.top()
                  : edges & geometry::BOTTOM ? frame.top() + frame.height()
                                             : frame.top() + frame.height() / 2;
    return QRect(x - HANDLE / 2, y - HANDLE / 2, HANDLE, HANDLE);
}

DesignMode::Paint DesignMode::paintState() const
{
    Paint state;
    const QPoint origin = m_overlay ? m_overlay->pos() : QPoint();
    for (quint32 id : std::as_const(m_selected))
        if (const QWidget *w = m_surface.widget(id))
            state.frames.append(w->geometry().translated(-origin));
    state.outline = m_outline.translated(-origin);
    const quint32 s = m_surface.stretch();
    if (m_guideX)
        state.guideX = stretch::toShown(quint32(std::max(0, *m_guideX)), s) - origin.x();
    if (m_guideY)
        state.guideY = stretch::toShown(quint32(std::max(0, *m_guideY)), s) - origin.y();
    state.band = m_band.translated(-origin);
    return state;
}

quint32 DesignMode::controlOf(const QWidget *widget) const
{
    for (const QWidget *w = widget; w && w != m_console; w = w->parentWidget())
        if (const quint32 id = m_surface.idOf(w))
            return id;
    return 0;
}

int DesignMode::handleAt(const QPoint &at) const
{
    for (quint32 id : std::as_const(m_selected)) {
        const QWidget *w = m_surface.widget(id);
        if (!w)
            continue;
        for (int edges : HANDLES)
            if (handleRect(w->geometry(), edges).adjusted(-1, -1, 1, 1).contains(at))
                return edges;
    }
    return 0;
}

bool DesignMode::filter(QWidget *widget, QEvent *event)
{
    if (!m_on)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        break;
    case QEvent::Resize:
        if (widget == m_console)
            refresh();
        return false;
    default:
        return false;
    }
    const quint32 id = controlOf(widget);
    if (!id && widget != m_console)
        return false; // the status line and its buttons
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = m_console->mapFromGlobal(mouse->globalPosition().toPoint());
        if (mouse->button() == Qt::LeftButton)
            press(at, id, mouse->modifiers());
        else if (mouse->button() == Qt::RightButton && id && !m_selected.contains(id))
            select({id}); // the menu then acts on what was clicked
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        follow(m_console->mapFromGlobal(mouse->globalPosition().toPoint()), mouse->modifiers());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            release();
        return true;
    case QEvent::MouseButtonDblClick:
        if (id && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            cancelGesture();
            select({id});
            emit editRequested();
        }
        return true;
    case QEvent::Wheel:
    case QEvent::KeyRelease:
        return true;
    case QEvent::ShortcutOverride:
        // Not taken by a focused spin box: Ctrl+C, Ctrl+Z and the others
        // reach the console's commands.
        event->ignore();
        return true;
    case QEvent::KeyPress: {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Menu)
            return false;
        key(k->key(), k->modifiers());
        return true;
    }
    default:
        return false;
    }
}

void DesignMode::press(const QPoint &at, quint32 id, Qt::KeyboardModifiers modifiers)
{
    if (m_gesture != Gesture::None)
        return;
    m_pressAt = at;
    const bool adding = modifiers & (Qt::ControlModifier | Qt::ShiftModifier);
    if (const int edges = adding ? 0 : handleAt(at)) {
        startResize(edges);
        return;
    }
    if (id) {
        if (adding) {
            QList<quint32> ids = selection();
            if (m_selected.contains(id))
                ids.removeAll(id);
            else
                ids.append(id);
            select(ids);
            return;
        }
        m_pressId = id;
        if (!m_selected.contains(id))
            select({id});
        m_gesture = Gesture::Pending;
        return;
    }
    m_bandBase = adding ? m_selected : QSet<quint32>();
    if (!adding)
        clearSelection();
    m_band = QRect(at, QSize(1, 1));
    m_gesture = Gesture::Band;
}

geometry::Snap DesignMode::snapFor(Qt::KeyboardModifiers modifiers) const
{
    geometry::Snap snap;
    snap.grid = qMax<int>(1, m_document.preferences().snap_grid);
    snap.reach = int(qMax<qint64>(1, stretch::toStored(GUIDE_REACH, m_surface.stretch())));
    snap.free = modifiers & Qt::ShiftModifier;
    return snap;
}

void DesignMode::follow(const QPoint &at, Qt::KeyboardModifiers modifiers)
{
    const quint32 s = m_surface.stretch();
    const QPoint delta(int(stretch::toStored(at.x() - m_pressAt.x(), s)),
                       int(stretch::toStored(at.y() - m_pressAt.y(), s)));
    switch (m_gesture) {
    case Gesture::None:
        return;
    case Gesture::Pending:
        if ((at - m_pressAt).manhattanLength() < QApplication::startDragDistance())
            return;
        startDrag();
        [[fallthrough]];
    case Gesture::Drag: {
        const geometry::SnapResult r =
            geometry::drag(m_startBox, delta, m_guides, snapFor(modifiers));
        const QPoint shift = r.rect.topLeft() - m_startBox.topLeft();
        QList<QRect> rects;
        for (const QRect &start : std::as_const(m_startRects))
            rects.append(start.translated(shift));
        show(rects, r);
        return;
    }
    case Gesture::Resize: {
        QSize minimum(1, 1);
        if (m_moving.size() == 1) {
            minimum = minimumSize(m_moving.constFirst());
        } else {
            QList<QSize> minimums;
            for (quint32 id : std::as_const(m_moving))
                minimums.append(minimumSize(id));
            minimum = geometry::groupMinimum(m_startRects, minimums, m_startBox);
        }
        const geometry::SnapResult r =
            geometry::resize(m_startBox, m_edges, delta, minimum, m_guides, snapFor(modifiers));
        QList<QRect> rects;
        for (const QRect &start : std::as_const(m_startRects))
            rects.append(m_moving.size() == 1 ? r.rect
                                              : geometry::scaled(start, m_startBox, r.rect));
        show(rects, r);
        return;
    }
    case Gesture::Band: {
        m_band = QRect(m_pressAt, at).normalized();
        QSet<quint32> chosen = m_bandBase;
        for (const SettingStruct &r : m_document.controls())
            if (const QWidget *w = m_surface.widget(r.id); w && w->geometry().intersects(m_band))
                chosen.insert(r.id);
        if (chosen != m_selected) {
            m_selected = chosen;
            emit selectionChanged();
        }
        refresh();
        return;
    }
    }
}

void DesignMode::show(const QList<QRect> &rects, const geometry::SnapResult &snapped)
{
    m_after.clear();
    for (int i = 0; i < m_moving.size() && i < rects.size(); ++i) {
        const SettingStruct *now = m_document.control(m_moving.at(i));
        if (!now)
            continue;
        SettingStruct changed = *now;
        const QRect &rect = rects.at(i);
        changed.position_x = quint32(std::max(0, rect.x()));
        changed.position_y = quint32(std::max(0, rect.y()));
        changed.size_x = quint32(std::max(1, rect.width()));
        changed.size_y = quint32(std::max(1, rect.height()));
        m_after.append(changed);
    }
    m_guideX = snapped.guideX;
    m_guideY = snapped.guideY;
    preview(m_after);
}

void DesignMode::startDrag()
{
    m_moving = selection();
    // A frame carries the controls that lie inside it.
    QList<QRect> frames;
    for (quint32 id : std::as_const(m_moving))
        if (m_document.control(id)->control_type == CT_GROUP)
            frames.append(storedRect(id));
    if (!frames.isEmpty()) {
        for (const SettingStruct &r : m_document.controls()) {
            if (m_selected.contains(r.id))
                continue;
            const QRect rect = storedRectOf(r);
            if (std::any_of(frames.cbegin(), frames.cend(),
                            [&](const QRect &f) { return f.contains(rect); }))
                m_moving.append(r.id);
        }
    }
    m_startRects.clear();
    for (quint32 id : std::as_const(m_moving))
        m_startRects.append(storedRect(id));
    m_startBox = geometry::bounds(m_startRects);
    m_guides = guidesWithout(QSet<quint32>(m_moving.cbegin(), m_moving.cend()));
    m_gesture = Gesture::Drag;
}

void DesignMode::startResize(int edges)
{
    m_moving = selection();
    m_startRects.clear();
    for (quint32 id : std::as_const(m_moving))
        m_startRects.append(storedRect(id));
    m_startBox = geometry::bounds(m_startRects);
    m_guides = guidesWithout(m_selected);
    m_edges = edges;
    m_after.clear();
    m_gesture = Gesture::Resize;
}

geometry::Guides DesignMode::guidesWithout(const QSet<quint32> &moving) const
{
    QList<QRect> others;
    for (const SettingStruct &r : m_document.controls())
        if (!moving.contains(r.id))
            others.append(storedRectOf(r));
    const BackgroundStruct &bg = m_document.background();
    return geometry::guidesFrom(others, QSize(int(std::min<quint32>(bg.size_x, 1u << 30)),
                                              int(std::min<quint32>(bg.size_y, 1u << 30))));
}

QRect DesignMode::storedRect(quint32 id) const
{
    const SettingStruct *r = m_document.control(id);
    return r ? storedRectOf(*r) : QRect();
}

QSize DesignMode::minimumSize(quint32 id) const
{
    const SettingStruct *r = m_document.control(id);
    const qint64 side = r ? controlTraits(r->control_type).minimumSide : 1;
    const qint64 s = stretch::effectiveStretch(m_surface.stretch());
    // The smallest stored side shown at least `side` pixels.
    const int stored = int(std::max<qint64>(1, (side * 100 + s - 1) / s));
    return QSize(stored, stored);
}

void DesignMode::preview(const QList<SettingStruct> &after)
{
    if (after.size() >= OUTLINE_FROM) {
        QList<QRect> shown;
        for (const SettingStruct &r : after)
            shown.append(m_surface.shownRect(r));
        m_outline = geometry::bounds(shown);
        refresh();
        return;
    }
    for (const SettingStruct &r : after)
        if (QWidget *w = m_surface.widget(r.id)) {
            const QRect rect = m_surface.shownRect(r);
            if (w->size() != rect.size())
                w->setFixedSize(rect.size());
            w->move(rect.topLeft());
        }
    refresh();
}

void DesignMode::restoreWidgets()
{
    if (!m_outline.isNull()) {
        m_outline = QRect(); // the widgets stayed where they were
        refresh();
        return;
    }
    QList<SettingStruct> before;
    for (quint32 id : std::as_const(m_moving))
        if (const SettingStruct *r = m_document.control(id))
            before.append(*r);
    preview(before);
}

void DesignMode::release()
{
    const Gesture gesture = std::exchange(m_gesture, Gesture::None);
    m_guideX.reset();
    m_guideY.reset();
    switch (gesture) {
    case Gesture::Pending:
        // A click on one of several selected selects it alone.
        if (m_document.control(m_pressId))
            select({m_pressId});
        break;
    case Gesture::Drag:
    case Gesture::Resize:
        pushChange(m_after, gesture == Gesture::Resize);
        break;
    case Gesture::Band:
        m_band = QRect();
        break;
    case Gesture::None:
        break;
    }
    m_after.clear();
    refresh();
}

void DesignMode::pushChange(const QList<SettingStruct> &after, bool resized, const QString &text)
{
    QList<SettingStruct> changed;
    for (const SettingStruct &r : after)
        if (const SettingStruct *now = m_document.control(r.id);
            now && (now->position_x != r.position_x || now->position_y != r.position_y ||
                    now->size_x != r.size_x || now->size_y != r.size_y))
            changed.append(r);
    if (changed.isEmpty()) {
        restoreWidgets();
        return;
    }
    m_outline = QRect(); // the surface moves the widgets now
    const int n = int(changed.size());
    m_document.push(new ChangeControls(
        m_document, changed,
        !text.isEmpty() ? text
        : resized       ? EditCommands::countText(tr("Resize Control"), tr("Resize %1 Controls"), n)
                        : EditCommands::countText(tr("Move Control"), tr("Move %1 Controls"), n)));
}

void DesignMode::cancelGesture()
{
    const Gesture gesture = std::exchange(m_gesture, Gesture::None);
    if (gesture == Gesture::Drag || gesture == Gesture::Resize)
        restoreWidgets();
    m_guideX.reset();
    m_guideY.reset();
    m_band = QRect();
    m_after.clear();
    refresh();
}

bool DesignMode::key(int key, Qt::KeyboardModifiers modifiers)
{
    const int step =
        modifiers & Qt::AltModifier ? 1 : qMax<int>(1, m_document.preferences().snap_grid);
    switch (key) {
    case Qt::Key_Escape:
        if (m_gesture != Gesture::None)
            cancelGesture();
        else
            clearSelection();
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (m_gesture == Gesture::None && !m_selected.isEmpty())
            emit deleteRequested();
        return true;
    case Qt::Key_Left:
        nudge(QPoint(-step, 0));
        return true;
    case Qt::Key_Right:
        nudge(QPoint(step, 0));
        return true;
    case Qt::Key_Up:
        nudge(QPoint(0, -step));
        return true;
    case Qt::Key_Down:
        nudge(QPoint(0, step));
        return true;
    default:
        return false;
    }
}

void DesignMode::nudge(const QPoint &delta)
{
    if (m_gesture != Gesture::None || m_selected.isEmpty())
        return;
    startDrag();
    m_gesture = Gesture::None;
    // The whole selection keeps its layout at the surface's edges.
    const QPoint shift(std::max(delta.x(), -m_startBox.x()), std::max(delta.y(), -m_startBox.y()));
    QList<QRect> rects;
    for (const QRect &start : std::as_const(m_startRects))
        rects.append(start.translated(shift));
    show(rects, geometry::SnapResult());
    pushChange(m_after, false);
    m_after.clear();
}
