// Snapping a dragged or resized box to the grid and to guides, resizing a
// group, pasting a layout, arranging several: which candidate wins, ties,
// free moves, the minimum sizes and the surface's edges.
#include "model/geometry.h"

#include <QtTest>

using namespace geometry;

namespace
{

// Another control at 200,100 120x40 (x lines 200 260 320, y lines 100 120
// 140) on a 1000x800 background (x 0 500 1000, y 0 400 800).
Guides someGuides()
{
    return guidesFrom({QRect(200, 100, 120, 40)}, QSize(1000, 800));
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private slots:
    void dragSnaps_data();
    void dragSnaps();
    void resizeSnaps_data();
    void resizeSnaps();
    void groupResize_data();
    void groupResize();
    void pasteLayout();
    void arrange_data();
    void arrange();
};

void TestGeometry::dragSnaps_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("grid");
    QTest::addColumn<bool>("free");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("guideX"); // -1: none drawn
    QTest::addColumn<int>("guideY");

    const QRect b(20, 500, 50, 30); // far from every y guide
    const auto row = [](const char *name, const QRect &box, QPoint delta, int grid, bool free,
                        QPoint at, int guideX = -1, int guideY = -1) {
        QTest::newRow(name) << box << delta << grid << free << at << guideX << guideY;
    };
    // 20 + 103 = 123: the grid line 120 is 3 away, no guide within 6.
    row("grid", b, {103, 0}, 10, false, {120, 500});
    row("grid rounds half up", b, {5, 0}, 10, false, {30, 500});
    row("grid back left", b, {-14, 0}, 10, false, {10, 500});
    // Left edge 197: the guide 200 is 3 away, the grid line 200 as well.
    row("guide and grid agree", b, {177, 0}, 10, false, {200, 500}, 200);
    // Right edge at 20+254+50 = 324 is 4 from the guide 320; the grid line
    // 270 for the left edge 274 is 4 away too: the guide wins the tie.
    row("tie: the guide", b, {254, 0}, 10, false, {270, 500}, 320);
    // Grid 25: the left edge 263 is 12 from the line 275 and 3 from the
    // guide 260, which wins.
    row("nearer guide", b, {243, 0}, 25, false, {260, 500}, 260);
    // Left edge 251: every guide beyond reach, the grid line 250 wins.
    row("guide out of reach", b, {231, 0}, 25, false, {250, 500});
    row("no grid: guide only", b, {178, 0}, 1, false, {200, 500}, 200);
    row("no grid, no guide", b, {103, 0}, 1, false, {123, 500});
    row("free", b, {178, 0}, 10, true, {198, 500});
    // Top edge 97: grid line and guide 100 both 3 away; the guide, drawn on y.
    row("y guide", QRect(600, 50, 50, 30), {0, 47}, 10, false, {600, 100}, -1, 100);
    row("background centre", QRect(0, 600, 100, 30), {453, 0}, 25, false, {450, 600}, 500);
    row("not past the left edge", b, {-40, 0}, 10, false, {0, 500});
    row("not above the top edge", b, {0, -600}, 10, true, {20, 0});
}

void TestGeometry::dragSnaps()
{
    QFETCH(QRect, box);
    QFETCH(QPoint, delta);
    QFETCH(int, grid);
    QFETCH(bool, free);
    const SnapResult r = drag(box, delta, someGuides(), Snap{grid, 6, free});
    QTEST(r.rect.topLeft(), "at");
    QCOMPARE(r.rect.size(), box.size());
    QTEST(r.guideX.value_or(-1), "guideX");
    QTEST(r.guideY.value_or(-1), "guideY");
}

void TestGeometry::resizeSnaps_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<int>("edges");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("free");
    QTest::addColumn<QRect>("result");
    QTest::addColumn<int>("guideX");

    const QRect b(20, 500, 60, 40);
    const auto row = [](const char *name, const QRect &box, int edges, QPoint delta, bool free,
                        const QRect &result, int guideX = -1) {
        QTest::newRow(name) << box << edges << delta << free << result << guideX;
    };
    row("bottom-right by 30", b, RIGHT | BOTTOM, {30, 30}, false, {20, 500, 90, 70});
    row("right snaps to grid", b, RIGHT, {33, 0}, false, {20, 500, 90, 40});
    row("right snaps to guide", b, RIGHT, {118, 0}, false, {20, 500, 180, 40}, 200);
    row("free", b, RIGHT, {118, 0}, true, {20, 500, 178, 40});
    row("left keeps the right edge", b, LEFT, {-10, 0}, false, {10, 500, 70, 40});
    row("minimum from the right", b, RIGHT, {-200, 0}, false, {20, 500, 16, 40});
    row("minimum from the left", b, LEFT, {200, 0}, false, {64, 500, 16, 40});
    row("minimum from the top", b, TOP, {0, 100}, false, {20, 524, 60, 16});
    row("left stops at 0", b, LEFT, {-300, 0}, false, {0, 500, 80, 40});
    row("top only", b, TOP, {7, -20}, false, {20, 480, 60, 60});
}

void TestGeometry::resizeSnaps()
{
    QFETCH(QRect, box);
    QFETCH(int, edges);
    QFETCH(QPoint, delta);
    QFETCH(bool, free);
    const SnapResult r = resize(box, edges, delta, QSize(16, 16), someGuides(), Snap{10, 6, free});
    QTEST(r.rect, "result");
    QTEST(r.guideX.value_or(-1), "guideX");
}

void TestGeometry::groupResize_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("to");
    QTest::addColumn<QRect>("result");

    // The group 100,100 200x100: halves left and right, touching at 200.
    const auto row = [](const char *name, const QRect &rect, const QRect &to, const QRect &result) {
        QTest::newRow(name) << rect << to << result;
    };
    row("left half, twice as wide", {100, 100, 100, 100}, {100, 100, 400, 100},
        {100, 100, 200, 100});
    row("right half, twice as wide", {200, 100, 100, 100}, {100, 100, 400, 100},
        {300, 100, 200, 100});
    row("right half, moved and halved", {200, 100, 100, 100}, {0, 0, 100, 50}, {50, 0, 50, 50});
    row("rounding keeps neighbours touching", {200, 100, 100, 100}, {100, 100, 301, 100},
        {251, 100, 150, 100});
}

void TestGeometry::groupResize()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, to);
    QTEST(scaled(rect, QRect(100, 100, 200, 100), to), "result");
}

void TestGeometry::pasteLayout()
{
    const QList<QRect> copied{QRect(300, 40, 50, 50), QRect(250, 200, 20, 20)};
    QCOMPARE(bounds(copied), QRect(250, 40, 100, 180));
    // The bounding box's top-left lands on the menu position, the layout kept.
    QCOMPARE(pasteOffset(copied, QPoint(10, 10)), QPoint(-240, -30));
    QCOMPARE(pasteOffset({}, QPoint(10, 10)), QPoint());
    // A group of a wide and a narrow control: the narrow one's minimum of 16
    // (20 of 100 wide) holds the group at 80 at least.
    QCOMPARE(groupMinimum(copied, {QSize(16, 16), QSize(16, 16)}, bounds(copied)), QSize(80, 144));
}

void TestGeometry::arrange_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QList<QRect>>("rects");
    QTest::addColumn<QList<QRect>>("result");
    using A = Arrange;
    using R = QRect;
    auto row = [](const char *name, A how, const QList<R> &rects, const QList<R> &result) {
        QTest::newRow(name) << int(how) << rects << result;
    };
    // Bounding box 10,5 to 70,90: centres x 40, y 5 + 85 / 2 = 47.
    const QList<R> s{R(10, 20, 30, 40), R(50, 5, 20, 10), R(25, 60, 10, 30)};
    row("left", A::Left, s, {R(10, 20, 30, 40), R(10, 5, 20, 10), R(10, 60, 10, 30)});
    row("right", A::Right, s, {R(40, 20, 30, 40), R(50, 5, 20, 10), R(60, 60, 10, 30)});
    row("top", A::Top, s, {R(10, 5, 30, 40), R(50, 5, 20, 10), R(25, 5, 10, 30)});
    row("bottom", A::Bottom, s, {R(10, 50, 30, 40), R(50, 80, 20, 10), R(25, 60, 10, 30)});
    row("centres x", A::CentresX, s, {R(25, 20, 30, 40), R(30, 5, 20, 10), R(35, 60, 10, 30)});
    row("centres y", A::CentresY, s, {R(10, 27, 30, 40), R(50, 42, 20, 10), R(25, 32, 10, 30)});
    row("same width", A::SameWidth, s, {R(10, 20, 30, 40), R(50, 5, 30, 10), R(25, 60, 30, 30)});
    row("same height", A::SameHeight, s, {R(10, 20, 30, 40), R(50, 5, 20, 40), R(25, 60, 10, 40)});
    row("same size", A::SameSize, s, {R(10, 20, 30, 40), R(50, 5, 30, 40), R(25, 60, 30, 40)});
    row("one", A::Right, {R(-5, 3, 10, 10)}, {R(-5, 3, 10, 10)});
    // By left edge 1, 2 (a tie: as given), 3, 0; free 100 - 35 = 65: gaps 22 22 21.
    row("distribute x", A::DistributeX,
        {R(100, 0, 10, 10), R(0, 0, 10, 10), R(0, 50, 20, 10), R(50, 0, 5, 10)},
        {R(100, 0, 10, 10), R(0, 0, 10, 10), R(32, 50, 20, 10), R(74, 0, 5, 10)});
    // Free 21: gaps 11 10.
    row("distribute y", A::DistributeY, {R(5, 0, 9, 10), R(5, 41, 9, 10), R(5, 13, 9, 10)},
        {R(5, 0, 9, 10), R(5, 41, 9, 10), R(5, 21, 9, 10)});
    // Free 5 - 10 - 100 = -105: gaps -52 -53; the wide one at -42 stops at 0.
    row("overlap stops at 0", A::DistributeX, {R(0, 0, 10, 10), R(1, 0, 100, 10), R(5, 0, 10, 10)},
        {R(0, 0, 10, 10), R(0, 0, 100, 10), R(5, 0, 10, 10)});
}

void TestGeometry::arrange()
{
    QFETCH(int, how);
    QFETCH(QList<QRect>, rects);
    QTEST(arranged(rects, Arrange(how)), "result");
}

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
