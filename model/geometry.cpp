#include "model/geometry.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace geometry
{

void GuideLines::finish()
{
    std::sort(m_lines.begin(), m_lines.end());
    m_lines.erase(std::unique(m_lines.begin(), m_lines.end()), m_lines.end());
}

std::optional<int> GuideLines::nearest(int at, int reach) const
{
    const auto above = std::lower_bound(m_lines.begin(), m_lines.end(), at);
    std::optional<int> best;
    if (above != m_lines.end() && *above - at <= reach)
        best = *above;
    if (above != m_lines.begin()) {
        const int below = *(above - 1);
        if (at - below <= reach && (!best || at - below < *best - at))
            best = below;
    }
    return best;
}

Guides guidesFrom(const QList<QRect> &others, const QSize &background)
{
    Guides guides;
    auto addAxis = [](GuideLines &lines, int low, int length) {
        lines.add(low);
        lines.add(low + length / 2);
        lines.add(low + length);
    };
    addAxis(guides.x, 0, background.width());
    addAxis(guides.y, 0, background.height());
    for (const QRect &r : others) {
        addAxis(guides.x, r.x(), r.width());
        addAxis(guides.y, r.y(), r.height());
    }
    guides.x.finish();
    guides.y.finish();
    return guides;
}

namespace
{

struct AxisResult {
    int shift = 0;
    std::optional<int> guide;
};

// The shift that snaps one axis: `gridEdge` to the grid, or one of `edges`
// to a guide line, whichever is nearer (the guide at equal distance).
AxisResult snapAxis(int gridEdge, std::initializer_list<int> edges, const GuideLines &lines,
                    const Snap &snap)
{
    AxisResult result;
    if (snap.free)
        return result;
    int best = -1;
    if (snap.grid > 1) {
        const int g = snap.grid;
        // Nearest multiple of g, halves rounding up, negative numbers too.
        const int down = gridEdge >= 0 ? gridEdge / g * g : -((-gridEdge + g - 1) / g * g);
        const int line = gridEdge - down >= g - (gridEdge - down) ? down + g : down;
        result.shift = line - gridEdge;
        best = std::abs(result.shift);
    }
    for (int edge : edges) {
        const std::optional<int> line = lines.nearest(edge, snap.reach);
        if (line && (best < 0 || std::abs(*line - edge) <= best)) {
            if (best >= 0 && std::abs(*line - edge) == best && result.guide)
                continue; // an earlier edge reached a guide as near
            best = std::abs(*line - edge);
            result.shift = *line - edge;
            result.guide = *line;
        }
    }
    return result;
}

} // namespace

SnapResult drag(const QRect &box, const QPoint &delta, const Guides &guides, const Snap &snap)
{
    QRect moved = box.translated(delta);
    const AxisResult x =
        snapAxis(moved.x(), {moved.x(), moved.x() + moved.width() / 2, moved.x() + moved.width()},
                 guides.x, snap);
    const AxisResult y =
        snapAxis(moved.y(), {moved.y(), moved.y() + moved.height() / 2, moved.y() + moved.height()},
                 guides.y, snap);
    moved.translate(x.shift, y.shift);
    SnapResult result{moved, x.guide, y.guide};
    // Never past the surface's top or left edge.
    if (moved.x() < 0) {
        result.rect.moveLeft(0);
        result.guideX.reset();
    }
    if (moved.y() < 0) {
        result.rect.moveTop(0);
        result.guideY.reset();
    }
    return result;
}

namespace
{

// One axis of a resize: the edges low and high (exclusive), one of which
// moves by `delta` when `moveLow` or `moveHigh` says so.
void resizeAxis(int &low, int &high, bool moveLow, bool moveHigh, int delta, int minimum,
                const GuideLines &lines, const Snap &snap, std::optional<int> &guide)
{
    if (moveLow) {
        const int edge = low + delta;
        const AxisResult r = snapAxis(edge, {edge}, lines, snap);
        low = std::max(0, edge + r.shift);
        guide = r.guide;
        if (high - low < minimum) {
            low = std::max(0, high - minimum);
            high = low + std::max(minimum, high - low);
            guide.reset();
        }
    } else if (moveHigh) {
        const int edge = high + delta;
        const AxisResult r = snapAxis(edge, {edge}, lines, snap);
        high = edge + r.shift;
        guide = r.guide;
        if (high - low < minimum) {
            high = low + minimum;
            guide.reset();
        }
    }
}

} // namespace

SnapResult resize(const QRect &box, int edges, const QPoint &delta, const QSize &minimum,
                  const Guides &guides, const Snap &snap)
{
    SnapResult result;
    int left = box.x(), right = box.x() + box.width();
    int top = box.y(), bottom = box.y() + box.height();
    resizeAxis(left, right, edges & LEFT, edges & RIGHT, delta.x(), std::max(1, minimum.width()),
               guides.x, snap, result.guideX);
    resizeAxis(top, bottom, edges & TOP, edges & BOTTOM, delta.y(), std::max(1, minimum.height()),
               guides.y, snap, result.guideY);
    result.rect = QRect(left, top, right - left, bottom - top);
    return result;
}

QRect scaled(const QRect &rect, const QRect &from, const QRect &to)
{
    // Edges scale, so neighbours that touched still touch.
    auto map = [](qint64 v, qint64 fromLow, qint64 fromLength, qint64 toLow, qint64 toLength) {
        if (fromLength <= 0)
            return int(toLow + (v - fromLow));
        const qint64 scaledOffset = ((v - fromLow) * toLength * 2 + fromLength) / (2 * fromLength);
        return int(toLow + scaledOffset);
    };
    const int left = map(rect.x(), from.x(), from.width(), to.x(), to.width());
    const int right =
        map(qint64(rect.x()) + rect.width(), from.x(), from.width(), to.x(), to.width());
    const int top = map(rect.y(), from.y(), from.height(), to.y(), to.height());
    const int bottom =
        map(qint64(rect.y()) + rect.height(), from.y(), from.height(), to.y(), to.height());
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

QSize groupMinimum(const QList<QRect> &rects, const QList<QSize> &minimums, const QRect &from)
{
    QSize smallest(1, 1);
    for (int i = 0; i < rects.size() && i < minimums.size(); ++i) {
        const QRect &r = rects.at(i);
        // to.width * r.width / from.width >= minimum, rounded up.
        auto need = [](qint64 minimum, qint64 side, qint64 whole) {
            if (side <= 0)
                return qint64(1);
            return (minimum * whole + side - 1) / side;
        };
        smallest.setWidth(int(std::max<qint64>(
            smallest.width(), need(minimums.at(i).width(), r.width(), from.width()))));
        smallest.setHeight(int(std::max<qint64>(
            smallest.height(), need(minimums.at(i).height(), r.height(), from.height()))));
    }
    return smallest;
}

QRect bounds(const QList<QRect> &rects)
{
    QRect box;
    for (const QRect &r : rects)
        box = box.isNull() ? r : box.united(r);
    return box;
}

QPoint pasteOffset(const QList<QRect> &rects, const QPoint &at)
{
    const QRect box = bounds(rects);
    return box.isNull() ? QPoint() : at - box.topLeft();
}

namespace
{

// `r` mirrored on the diagonal, so that y is arranged as x.
QRect flipped(const QRect &r)
{
    return QRect(r.y(), r.x(), r.height(), r.width());
}

// Along x: the others between the first and the last (by left edge, ties in
// the given order) with equal gaps. When the free space does not divide
// evenly, the first gaps get one unit more each; gaps below 0 overlap evenly.
void distribute(QList<QRect> &rects)
{
    QList<int> order(rects.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return rects.at(a).x() < rects.at(b).x(); });
    const QRect &first = rects.at(order.first());
    qint64 free = qint64(rects.at(order.last()).x()) - first.x() - first.width();
    for (int k = 1; k + 1 < order.size(); ++k)
        free -= rects.at(order.at(k)).width();
    const qint64 gaps = order.size() - 1;
    const qint64 base = free >= 0 ? free / gaps : -((-free + gaps - 1) / gaps); // rounded down
    const qint64 more = free - base * gaps; // how many gaps get one unit more
    qint64 at = qint64(first.x()) + first.width();
    for (int k = 1; k + 1 < order.size(); ++k) {
        QRect &r = rects[order.at(k)];
        r.moveLeft(int(at + base + (k <= more ? 1 : 0)));
        at = qint64(r.x()) + r.width();
    }
}

} // namespace

QList<QRect> arranged(const QList<QRect> &rects, Arrange how)
{
    enum Kind { Low, High, Centre, Spread, Size };
    // By Arrange: what changes, and on which axis (x or y).
    static const struct {
        Kind kind;
        bool x;
    } ways[] = {{Low, true},    {High, true},    {Low, false},   {High, false},
                {Centre, true}, {Centre, false}, {Spread, true}, {Spread, false},
                {Size, true},   {Size, false},   {Size, true}};
    const auto [kind, x] = ways[int(how)];
    if (rects.size() < (kind == Spread ? 3 : 2))
        return rects;
    QList<QRect> out = rects;
    for (QRect &r : out)
        r = x ? r : flipped(r);
    if (kind == Spread)
        distribute(out);
    const QRect box = bounds(out);
    const QSize first = out.first().size();
    for (QRect &r : out) {
        if (kind == Low)
            r.moveLeft(box.x());
        if (kind == High)
            r.moveLeft(box.x() + box.width() - r.width());
        if (kind == Centre)
            r.moveLeft(box.x() + box.width() / 2 - r.width() / 2);
        if (kind == Size)
            r.setSize(how == Arrange::SameSize ? first : QSize(first.width(), r.height()));
        r = x ? r : flipped(r);
        r.moveTo(std::max(0, r.x()), std::max(0, r.y()));
    }
    return out;
}

} // namespace geometry
