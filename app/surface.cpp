#include "app/surface.h"

#include "app/appinfo.h"
#include "app/loadprogress.h"
#include "controls/controlsupport.h"
#include "controls/palette.h"
#include "controls/stretch.h"
#include "model/elements.h"

#include <QCursor>
#include <QHash>
#include <QLayout>
#include <QPainter>
#include <QSet>

#include <algorithm>

namespace
{

QColor colorOf(const SettingStruct &r)
{
    return QColor(r.color_red, r.color_green, r.color_blue);
}

// Widgets made between two progress reports of a rebuild.
constexpr int PROGRESS_EVERY = 250;
// Widgets shown together from which a cover under the mouse pointer pays.
constexpr int COVER_FROM = 16;

// Marks, for each of the `count` ranks, whether it belongs to a longest
// rising run (not necessarily adjacent) of `ranks`: those are the widgets
// already in order among each other. O(n log n).
QList<bool> longestRising(const QList<int> &ranks, int count)
{
    QList<int> tails; // index into ranks of the smallest tail of each length
    QList<int> before(ranks.size(), -1);
    for (int i = 0; i < ranks.size(); ++i) {
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), ranks.at(i),
                             [&](int index, int rank) { return ranks.at(index) < rank; });
        if (at != tails.begin())
            before[i] = *(at - 1);
        if (at == tails.end())
            tails.append(i);
        else
            *at = i;
    }
    QList<bool> stays(count, false);
    for (int i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = before.at(i))
        stays[ranks.at(i)] = true;
    return stays;
}

} // namespace

Surface::Surface(QWidget *console, const ShowDocument &document, LoadProgress *progress)
    : m_console(console), m_document(document), m_progress(progress)
{
    registerControlMetaTypes();
    connect(&document, &ShowDocument::contentReplaced, this, &Surface::rebuild);
    connect(&document, &ShowDocument::controlsAdded, this, &Surface::add);
    connect(&document, &ShowDocument::controlsRemoved, this, &Surface::remove);
    connect(&document, &ShowDocument::controlsChanged, this, &Surface::change);
    connect(&document, &ShowDocument::controlsReordered, this, &Surface::restack);
    connect(&document, &ShowDocument::backgroundChanged, this, &Surface::applyBackground);
    connect(this, &Surface::widgetsChanged, this, [this] { m_clockedStale = true; });
}

Surface::~Surface()
{
    deleteAll();
}

void Surface::deleteAll()
{
    if (m_widgets.empty())
        return;
    // Each widget hidden or deleted on a console that updates adds its
    // rectangle to the region to repaint, and merging thousands of them one
    // by one takes seconds. With updates held, none is counted; the console
    // is repainted once, whole, when they are released.
    const bool updates = m_console->updatesEnabled();
    if (updates)
        m_console->setUpdatesEnabled(false);
    // Hidden first: deleting thousands of shown siblings repaints for each.
    for (auto &entry : m_widgets)
        if (QWidget *w = entry.second->widget())
            w->hide();
    m_widgets.clear();
    if (updates)
        m_console->setUpdatesEnabled(true);
}

quint32 Surface::stretch() const
{
    return stretch::effectiveStretch(m_document.background().stretch_factor);
}

QRect Surface::shownRect(const SettingStruct &r) const
{
    // However the stretch factor changed since the show was read, no
    // control grows past what a loaded one may have.
    QRect rect = stretch::shownRect(r.position_x, r.position_y, r.size_x, r.size_y, stretch());
    rect.setSize(rect.size().boundedTo(QSize(MAX_CONTROL_SHOWN, MAX_CONTROL_SHOWN)));
    return rect;
}

ControlWidget *Surface::control(quint32 id) const
{
    const auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second.get();
}

QWidget *Surface::widget(quint32 id) const
{
    ControlWidget *c = control(id);
    return c ? c->widget() : nullptr;
}

quint32 Surface::idOf(const QWidget *widget) const
{
    if (!widget)
        return 0;
    for (const auto &entry : m_widgets)
        if (entry.second->widget() == widget)
            return entry.first;
    return 0;
}

quint32 Surface::hitTest(const QPoint &point, const QWidget *widget) const
{
    const QPoint p(qMax(0, point.x()), qMax(0, point.y()));
    const QList<SettingStruct> &controls = m_document.controls();
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        const QWidget *w = this->widget(it->id);
        if (!w)
            continue;
        const QRect rect = shownRect(*it);
        const bool inside = rect.left() <= p.x() && p.x() <= rect.left() + rect.width() &&
                            rect.top() <= p.y() && p.y() <= rect.top() + rect.height();
        if (w == widget || inside)
            return it->id;
    }
    return 0;
}

ControlWidget *Surface::make(const SettingStruct &record)
{
    std::unique_ptr<ControlWidget> control =
        createControlWidget(record, m_console, m_console, shownRect(record).size());
    if (!control) {
        qCDebug(lcApp) << "no widget for control type" << record.control_type;
        return nullptr;
    }
    QWidget *w = control->widget();
    place(record, *control);
    applyColorPalette(w, colorOf(record));
    w->setToolTip(record.description);
    m_shownTime.clear(); // a new clock shows the time at the next tick
    ControlWidget *raw = control.get();
    m_widgets[record.id] = std::move(control);
    return raw;
}

void Surface::place(const SettingStruct &record, ControlWidget &control)
{
    QWidget *w = control.widget();
    if (!w)
        return;
    const QRect rect = shownRect(record);
    w->setFixedSize(rect.size());
    w->move(rect.topLeft());
}

void Surface::rebuild()
{
    m_cancelled = false;
    deleteAll();
    applyBackground();
    const QList<SettingStruct> &controls = m_document.controls();
    const qsizetype total = controls.size();
    const bool report = m_progress && total > PROGRESS_EVERY;
    if (report)
        m_progress->phase(tr("Building the console: %1 controls...").arg(total));
    // Made hidden and shown together: each shown sibling would otherwise
    // be laid out and exposed on its own.
    QList<QWidget *> made;
    made.reserve(total);
    for (qsizetype i = 0; i < total; ++i) {
        if (report && i % PROGRESS_EVERY == 0 && !m_progress->step(i, total)) {
            m_cancelled = true;
            break;
        }
        if (ControlWidget *c = make(controls.at(i)))
            made.append(c->widget());
    }
    if (m_cancelled)
        return; // the show that comes back brings its own change
    restack();
    showAll(made);
    emit widgetsChanged();
}

void Surface::add(const QList<quint32> &ids)
{
    // One pass over the show however many arrive and wherever they go: made
    // hidden, put in their places among the others, then shown together.
    const QSet<quint32> wanted(ids.cbegin(), ids.cend());
    QList<QWidget *> made;
    made.reserve(ids.size());
    for (const SettingStruct &r : m_document.controls())
        if (wanted.contains(r.id))
            if (ControlWidget *c = make(r))
                made.append(c->widget());
    restack();
    showAll(made);
    emit widgetsChanged();
}

void Surface::remove(const QList<quint32> &ids)
{
    for (quint32 id : ids) {
        const auto it = m_widgets.find(id);
        if (it == m_widgets.end())
            continue;
        if (QWidget *w = it->second->widget())
            w->hide();
        m_widgets.erase(it);
    }
    emit widgetsChanged();
}

void Surface::change(const QList<quint32> &ids)
{
    const QSet<quint32> wanted(ids.cbegin(), ids.cend());
    QList<QWidget *> made;
    for (const SettingStruct &r : m_document.controls()) {
        if (!wanted.contains(r.id))
            continue;
        ControlWidget *c = control(r.id);
        if (!c)
            continue;
        // A record whose type changed gets a widget of its new kind.
        if (c->type() != r.control_type) {
            m_widgets.erase(r.id);
            if ((c = make(r)))
                made.append(c->widget());
            continue;
        }
        c->configure(r, shownRect(r).size(), false);
        place(r, *c);
        applyColorPalette(c->widget(), colorOf(r));
        c->widget()->setToolTip(r.description);
        m_shownTime.clear();
    }
    if (!made.isEmpty())
        restack();
    showAll(made);
    emit widgetsChanged();
}

void Surface::showAll(const QList<QWidget *> &widgets)
{
    // Each time a widget is shown, Qt looks for the one under the mouse
    // pointer among all of the console's children, which would make showing
    // thousands of them take seconds. A pixel-sized widget that draws
    // nothing, lying on top of them all under the pointer, answers that
    // look-up at once; when it goes, the widget then under the pointer gets
    // the mouse as it would have.
    // Showing a widget also lays the console's own layout (menu and status
    // bars) out again: once after all of them is enough.
    QLayout *layout = m_console->layout();
    const bool holdLayout = layout && layout->isEnabled() && widgets.size() >= COVER_FROM;
    if (holdLayout)
        layout->setEnabled(false);
    std::unique_ptr<QWidget> cover;
    const QPoint pointer = m_console->mapFromGlobal(QCursor::pos());
    if (widgets.size() >= COVER_FROM && m_console->rect().contains(pointer)) {
        cover = std::make_unique<QWidget>(m_console);
        cover->setAttribute(Qt::WA_NoSystemBackground);
        cover->setGeometry(QRect(pointer, QSize(1, 1)));
        cover->show();
    }
    for (QWidget *w : widgets)
        w->show();
    if (holdLayout) {
        layout->setEnabled(true);
        layout->activate();
    }
    if (cover)
        cover->hide();
}

void Surface::restack()
{
    // Later records lie above earlier ones; group frames lie below them
    // all, the last one lowest, so the controls they frame keep receiving
    // the mouse. Only widgets out of that order move, so a change of any
    // size costs one pass over the console's children, plus one move for
    // each widget that is not yet in its place.
    QList<QWidget *> groups;
    QList<QWidget *> others;
    for (const SettingStruct &r : m_document.controls())
        if (ControlWidget *c = control(r.id); c && c->widget())
            (c->staysBehind() ? groups : others).append(c->widget());
    QHash<const QObject *, int> rankOf;
    rankOf.reserve(others.size());
    for (int i = 0; i < others.size(); ++i)
        rankOf.insert(others.at(i), i);
    QList<int> current;
    current.reserve(others.size());
    const QObjectList &children = m_console->children();
    for (const QObject *child : children)
        if (const auto it = rankOf.constFind(child); it != rankOf.cend())
            current.append(*it);
    const QList<bool> stays = longestRising(current, int(others.size()));
    for (int i = int(others.size()) - 1; i >= 0; --i) {
        if (stays.at(i))
            continue;
        if (i + 1 < others.size())
            others.at(i)->stackUnder(others.at(i + 1));
        else
            others.at(i)->raise();
    }
    // The frames at the bottom, the first one on top of them: those already
    // lying that way stay.
    qsizetype settled = groups.isEmpty() ? 0 : children.indexOf(groups.first()) + 1;
    for (qsizetype i = 0; i < settled && i < groups.size(); ++i)
        if (children.at(settled - 1 - i) != groups.at(i))
            settled = 0;
    if (settled > groups.size())
        settled = 0;
    for (qsizetype i = settled; i < groups.size(); ++i)
        groups.at(i)->lower();
}

void Surface::applyBackground()
{
    const BackgroundStruct &bg = m_document.background();
    m_console->move(int(qMin<quint32>(bg.position_x, quint32(stretch::MAX_SHOWN))),
                    int(qMin<quint32>(bg.position_y, quint32(stretch::MAX_SHOWN))));
    const QSize shown = stretch::shownSize(bg.size_x, bg.size_y, stretch());
    if (m_console->size() != shown)
        m_console->resize(shown);
    applyColorPalette(m_console, QColor(bg.color_red, bg.color_green, bg.color_blue));
    m_scaledPicture = QPixmap();
    m_scaledKey = 0;
    m_console->update();
    for (const SettingStruct &r : m_document.controls()) {
        if (ControlWidget *c = control(r.id)) {
            place(r, *c);
            c->resized(r, shownRect(r).size());
        }
    }
}

void Surface::storeWindowSize(BackgroundStruct &background, int width, int height)
{
    background.size_x = stretch::toStoredLength(width, background.stretch_factor);
    background.size_y = stretch::toStoredLength(height, background.stretch_factor);
}

void Surface::paintBackground(QPainter &painter, const QRect &rect)
{
    const BackgroundStruct &bg = m_document.background();
    if (bg.bitmap.isNull())
        return;
    const QSize size = stretch::shownSize(bg.size_x, bg.size_y, stretch());
    if (size.isEmpty())
        return;
    // Decoding a large picture on every paint would make dragging a fader
    // over it slow: keep the decoded copy until picture, size or the
    // screen's pixel ratio change. A picture that does not decode draws
    // nothing. Decoded at the screen's pixels, so it stays sharp on a
    // high-resolution screen.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    const qint64 key = bg.bitmap.cacheKey();
    if (m_scaledKey != key || m_scaledSize != pixels) {
        QImage image = bg.bitmap.image(pixels);
        image.setDevicePixelRatio(ratio);
        m_scaledPicture = QPixmap::fromImage(image);
        m_scaledKey = key;
        m_scaledSize = pixels;
    }
    if (m_scaledPicture.isNull())
        return;
    // Only the part to repaint, in its place.
    painter.save();
    painter.setClipRect(rect);
    painter.drawPixmap(0, 0, m_scaledPicture);
    painter.restore();
}

void Surface::blink(const QWidget *first, const QWidget *second)
{
    for (const QWidget *target : {first, second}) {
        if (!target || !idOf(target))
            continue;
        QWidget *w = const_cast<QWidget *>(target);
        // Plain widgets (labels, clocks, frames) cannot blink.
        if (w->metaObject()->indexOfMethod("Blink(quint16,quint16,bool)") >= 0)
            QMetaObject::invokeMethod(w, "Blink", Q_ARG(quint16, 3000), Q_ARG(quint16, 250),
                                      Q_ARG(bool, target == first));
    }
}

const std::vector<quint32> &Surface::clocked()
{
    if (m_clockedStale) {
        m_clocked.clear();
        for (const SettingStruct &r : m_document.controls())
            if (const ControlWidget *c = control(r.id); c && c->needsClock())
                m_clocked.push_back(r.id);
        m_clockedStale = false;
    }
    return m_clocked;
}

void Surface::showTime(const QString &time)
{
    if (time == m_shownTime)
        return;
    m_shownTime = time;
    for (const quint32 id : clocked())
        if (ControlWidget *c = control(id))
            c->takeTime(time);
}

void Surface::springBack()
{
    for (const quint32 id : clocked())
        if (ControlWidget *c = control(id))
            c->springBack();
}
