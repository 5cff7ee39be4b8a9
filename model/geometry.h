// The arithmetic of editing the surface by hand: snapping a dragged or
// resized rectangle to the grid and to the edges and centres of the others,
// resizing a group proportionally, and laying out pasted controls. Pure, in
// stored units, no widgets.
//
// Promises:
// - a moving edge snaps to the nearer of the grid line and the nearest guide
//   within reach; at equal distance the guide wins;
// - a grid of 1 (or 0) does not snap, so the guides alone do;
// - free moves and resizes (Shift held) do not snap at all;
// - nothing ends left of or above 0, and no side below the minimum given.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace geometry
{

// The lines of one axis (x or y) that moving edges snap to, sorted.
class GuideLines
{
public:
    void add(int line) { m_lines.push_back(line); }
    // Sorts; call once after the last add().
    void finish();
    // The line nearest to `at` no further than `reach`; none when none.
    std::optional<int> nearest(int at, int reach) const;
    int size() const { return int(m_lines.size()); }

private:
    std::vector<int> m_lines;
};

// The edges and centres of `others` and of the background (0 to its size).
struct Guides {
    GuideLines x, y;
};
Guides guidesFrom(const QList<QRect> &others, const QSize &background);

// Which edges a resize handle moves.
enum Edge : int { LEFT = 1, RIGHT = 2, TOP = 4, BOTTOM = 8 };

struct Snap {
    int grid = 1;  // stored units; 1 or less: no grid
    int reach = 0; // how far a guide pulls, stored units
    bool free = false;
};

struct SnapResult {
    QRect rect;
    std::optional<int> guideX, guideY; // the guide lines that won, to be drawn
};

// `box` moved by `delta`, its left and top edges snapped to the grid, its
// left, centre and right (top, centre, bottom) to the guides.
SnapResult drag(const QRect &box, const QPoint &delta, const Guides &guides, const Snap &snap);

// `box` with the edges of `edges` (Edge bits) moved by `delta`, each moving
// edge snapped; the sides stay at least `minimum`.
SnapResult resize(const QRect &box, int edges, const QPoint &delta, const QSize &minimum,
                  const Guides &guides, const Snap &snap);

// `rect`, a part of the group whose bounding box was `from`, in the group
// resized to `to`: position and size scaled by the same factors.
QRect scaled(const QRect &rect, const QRect &from, const QRect &to);
// The smallest box the group `rects` (bounding box `from`) may be resized to
// so that none of them falls below its own minimum (`minimums`, one each).
QSize groupMinimum(const QList<QRect> &rects, const QList<QSize> &minimums, const QRect &from);

// The bounding box of `rects`; empty for none.
QRect bounds(const QList<QRect> &rects);

// The shift that puts the bounding box of `rects` with its top-left at `at`.
QPoint pasteOffset(const QList<QRect> &rects, const QPoint &at);

// Ways to arrange several controls.
enum class Arrange {
    Left,        // left edges on the leftmost
    Right,       // right edges on the rightmost
    Top,         // top edges on the topmost
    Bottom,      // bottom edges on the bottommost
    CentresX,    // centres on one vertical line, the bounding box's centre
    CentresY,    // centres on one horizontal line, the bounding box's centre
    DistributeX, // the outermost two stay, equal gaps between neighbours
    DistributeY,
    SameWidth, // as the first
    SameHeight,
    SameSize
};
// `rects` arranged, one result each in the same order. Fewer than two (three
// to distribute) come back unchanged; nothing ends left of or above 0.
QList<QRect> arranged(const QList<QRect> &rects, Arrange how);

} // namespace geometry
