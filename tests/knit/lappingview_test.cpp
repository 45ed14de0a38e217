#include "knit/lappingview.h"
#include "knit/threading.h"

#include <gtest/gtest.h>

#include <utility>

using namespace warplon;

namespace {

using Laps = std::vector<std::pair<int32_t, int32_t>>;

constexpr int32_t tcolor(int red, int green, int blue)
{
    return red | green << 8 | blue << 16;
}

// A document of bars with the given laps (already normalised), each threaded full set with its
// own yarn of the given colour.
TexLayer document(const std::vector<Laps> &bars, const std::vector<int32_t> &colors)
{
    TexLayer layer;
    layer.yarns.clear();
    for (size_t b = 0; b < bars.size(); ++b) {
        Yarn yarn;
        yarn.color = colors[b];
        layer.yarns.push_back(yarn);
        layer.AddBar();
        Tex &bar = layer.bars.back();
        bar.SetCourseCount(int32_t(bars[b].size()));
        for (size_t c = 0; c < bars[b].size(); ++c)
            bar.lapping[c] = {bars[b][c].first, bars[b][c].second, 0};
        bar.Normalize();
        bar.threading = {WaleState{int32_t(b), 1, 1, 0}};
    }
    return layer;
}

LappingGeometry geometry(int32_t cell, int32_t columns, int32_t rows, int32_t h = 0)
{
    LappingGeometry g;
    g.cw = g.ch = cell;
    g.width = columns * cell;
    g.height = rows * cell;
    g.h = h;
    return g;
}

QImage canvasFor(const LappingGeometry &g)
{
    QImage canvas(g.width, g.height, QImage::Format_BGR888);
    canvas.fill(Qt::magenta);
    return canvas;
}

QRgb rgb(int32_t color)
{
    return qRgb(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff) & 0xffffff;
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xffffff;
}

// The point paper alone, as the view lays it under the bars.
QImage paper(const LappingGeometry &g, int32_t background)
{
    QImage canvas = canvasFor(g);
    FillChartBackground(canvas, QImage(), background, g.cw, g.ch);
    return canvas;
}

constexpr int32_t kRed = tcolor(255, 0, 0);
constexpr int32_t kGreen = tcolor(0, 255, 0);
constexpr int32_t kBlue = tcolor(0, 0, 255);
constexpr QRgb kFrame = kSelectionColor & 0xffffff;

} // namespace

TEST(LappingView, CellsAreCountedFromTheLowerRight)
{
    // 10 columns x 5 rows of 10-pixel cells: the lower right pixel is cell (0, 0), the first
    // pixel of a cell belongs to it, the one before it to the next cell.
    LappingGeometry g = geometry(10, 10, 5);
    EXPECT_EQ(CellAt(g, {99, 49}), (LappingCell{0, 0}));
    EXPECT_EQ(CellAt(g, {90, 40}), (LappingCell{0, 0}));
    EXPECT_EQ(CellAt(g, {89, 39}), (LappingCell{1, 1}));
    EXPECT_EQ(CellAt(g, {0, 0}), (LappingCell{9, 4}));
    EXPECT_EQ(CellAt(g, {100, 50}), (LappingCell{-1, -1})); // past the corner
    EXPECT_EQ(g.Columns(), 10);
    g.ox = 15;
    g.oy = 10;
    EXPECT_EQ(g.Columns(), 8);
    EXPECT_EQ(g.Rows(), 4);

    // The half-needle view moves the cells half a cell to the right: cell 0 covers 95..104.
    TexLayer layer = document({{{1, 0}}}, {kRed});
    EXPECT_EQ(ChartGeometry(layer, 10, 100, 50).h, 0);
    layer.halfNeedleOffset = 1;
    const LappingGeometry half = ChartGeometry(layer, 10, 100, 50);
    EXPECT_EQ(half.h, 5);
    EXPECT_EQ(CellAt(half, {95, 49}), (LappingCell{0, 0}));
    EXPECT_EQ(CellAt(half, {94, 49}), (LappingCell{1, 0}));
    EXPECT_EQ(CellAt(half, {85, 49}), (LappingCell{1, 0}));
    EXPECT_EQ(CellAt(half, {84, 49}), (LappingCell{2, 0}));
}

TEST(LappingView, MouseSelectsMovesTheCursorAndEditsLaps)
{
    TexLayer layer = document({{{1, 0}, {1, 2}, {4, 4}, {1, 0}}, {{1, 0}}}, {kRed, kGreen});
    const LappingGeometry g = geometry(10, 12, 4);
    auto point = [](int32_t wale, int32_t course) {
        return QPoint(120 - wale * 10 - 5, 40 - course * 10 - 5);
    };

    // Moving reports 0 when the cursor cell changes, 1 when it stays.
    EXPECT_EQ(MouseMove(layer, {}, point(3, 2), 0, g), 0);
    EXPECT_EQ(std::make_pair(layer.cursorWale, layer.cursorCourse), std::make_pair(3, 2));
    EXPECT_EQ(MouseMove(layer, {}, point(3, 2) + QPoint(2, 2), 0, g), 1);
    EXPECT_EQ(layer.selMode, 1);

    // Shift starts a rectangle at the cell and grows it with the mouse.
    EXPECT_TRUE(MouseDown(layer, Qt::ShiftModifier, point(5, 1), 0, g));
    EXPECT_EQ(layer.selMode, 0);
    EXPECT_EQ((std::vector{layer.selWale1, layer.selCourse1, layer.selWale2, layer.selCourse2}),
              (std::vector{5, 1, 5, 1}));
    EXPECT_EQ(MouseMove(layer, Qt::ShiftModifier, point(2, 0), 0, g), 0);
    EXPECT_EQ((std::vector{layer.selWale1, layer.selCourse1, layer.selWale2, layer.selCourse2}),
              (std::vector{5, 1, 2, 0}));
    EXPECT_EQ(layer.selMode, 0);

    // The block of courses 0 and 1 drives the block edits: invert mirrors 1-0/1-2 to 1-2/1-0,
    // repeat 0 copies it down to the end of the bar.
    auto laps = [&layer] {
        Laps result;
        for (const ChainLink &link : layer.bars[0].lapping)
            result.emplace_back(link.x0, link.x1);
        return result;
    };
    layer.Invert(0);
    EXPECT_EQ(laps(), (Laps{{1, 2}, {1, 0}, {4, 4}, {1, 0}}));
    layer.Repeat(0, 0);
    EXPECT_EQ(laps(), (Laps{{1, 2}, {1, 0}, {1, 2}, {1, 0}}));

    // A plain click edits a lap: with shift 1, wale 3 is needle 2; each click turns it round.
    layer.bars[0].shift = 1;
    ASSERT_TRUE(MouseDown(layer, {}, point(3, 0), 0, g));
    EXPECT_EQ(layer.selMode, 1);
    EXPECT_EQ(layer.bars[0].lapping[0], (ChainLink{3, 2, 2})); // 1-2 had x0 < x1; next x0 is 1
    MouseDown(layer, {}, point(3, 0), 0, g);
    EXPECT_EQ(layer.bars[0].lapping[0], (ChainLink{2, 3, 2}));
    // A laid-in course gets a loop and its x2 by the next course (1): 4-5 turns back.
    layer.bars[0].lapping[2] = {4, 4, 4};
    MouseDown(layer, {}, point(5, 2), 0, g);
    EXPECT_EQ(layer.bars[0].lapping[2], (ChainLink{4, 5, 4}));
    // In the half-needle view Ctrl sets x0 at the gap under the mouse, Alt sets x1.
    layer.halfNeedleOffset = 1;
    const LappingGeometry half = ChartGeometry(layer, 10, 120, 40);
    MouseDown(layer, Qt::ControlModifier, QPoint(120 - 7 * 10, 35), 0, half);
    MouseDown(layer, Qt::AltModifier, QPoint(120 - 9 * 10, 35), 0, half);
    EXPECT_EQ(layer.bars[0].lapping[0], (ChainLink{6, 8, 7}));
    layer.halfNeedleOffset = 0;

    // Over a bar drawn for all needles the cursor mode is 2.
    layer.bars[1].drawAllNeedles = 1;
    MouseMove(layer, {}, point(1, 1), 1, g);
    EXPECT_EQ(layer.selMode, 2);

    // A hidden or missing bar takes nothing.
    layer.bars[0].visible = 0;
    const TexLayer before = layer;
    EXPECT_FALSE(MouseDown(layer, {}, point(8, 3), 0, g));
    EXPECT_FALSE(MouseDown(layer, Qt::ShiftModifier, point(8, 3), 0, g));
    EXPECT_EQ(MouseMove(layer, {}, point(8, 3), 0, g), 1);
    EXPECT_FALSE(MouseDown(layer, {}, point(8, 3), 2, g));
    EXPECT_EQ(MouseMove(layer, {}, point(8, 3), -1, g), 1);
    EXPECT_TRUE(layer.sameStoredFields(before));
    EXPECT_EQ(std::make_pair(layer.cursorWale, layer.cursorCourse),
              std::make_pair(before.cursorWale, before.cursorCourse));
    EXPECT_EQ(layer.selMode, before.selMode);
}

TEST(LappingView, ChainNotationIsDrawnInTheYarnColourOverThePaper)
{
    // Tricot 1-0/1-2 by its first needle: course 0 loops around needle 0, course 1 around
    // needle 1. Cells of 20: the loop's top lies r = 5 above the centre of the cell.
    TexLayer layer = document({{{1, 0}, {1, 2}}}, {kRed});
    const LappingGeometry g = geometry(20, 24, 2);
    QImage canvas = canvasFor(g);
    LappingView view;
    view.SetBackground(QImage(), ChartBlack);
    layer.selMode = 3; // no frame
    view.Draw(layer, canvas, g, true);
    const int w = g.width;
    const int h = g.height;
    EXPECT_EQ(at(canvas, w - 1 - 10, h - 1 - 10 - 5), rgb(kRed));
    EXPECT_EQ(at(canvas, w - 1 - 20 - 10, h - 1 - 20 - 10 - 5), rgb(kRed));
    // Nothing of the yarn lies away from needles 0 and 1: there the paper is untouched.
    const QImage bare = paper(g, ChartBlack);
    EXPECT_NE(canvas, bare);
    EXPECT_EQ(canvas.copy(0, 0, w - 3 * 20, h), bare.copy(0, 0, w - 3 * 20, h));
    for (int y = 0; y < h; ++y) {
        for (int x = w - 3 * 20; x < w; ++x) {
            const QRgb pixel = at(canvas, x, y);
            ASSERT_TRUE(pixel == rgb(kRed) || pixel == at(bare, x, y)) << x << ' ' << y;
        }
    }

    // The open pillar 0-1/1-0 leaves its loops open at the foot; the closed pillar 0-1/0-1 runs
    // around the foot (centre of needle 0 at x = w - 11, course 0 at y = h - 11).
    auto foot = [&](const Laps &laps) {
        TexLayer pillar = document({laps}, {kRed});
        pillar.selMode = 3;
        QImage picture = canvasFor(g);
        view.Draw(pillar, picture, g, true);
        return at(picture, w - 11, h - 11 + 5);
    };
    EXPECT_EQ(foot({{0, 1}, {1, 0}}), at(bare, w - 11, h - 11 + 5));
    EXPECT_EQ(foot({{0, 1}, {0, 1}}), rgb(kRed));

    // A laid-in course is a stroke of half a cell on its gap line (gap 2: x = w - 1 - 40),
    // centred on the course: y from h - 11 - 5 to h - 11 + 5.
    TexLayer inlay = document({{{2, 2}, {2, 2}}}, {kRed});
    inlay.selMode = 3;
    view.Draw(inlay, canvas, g, true);
    for (int y = h - 16; y <= h - 6; ++y)
        EXPECT_EQ(at(canvas, w - 41, y), rgb(kRed)) << y;
    EXPECT_NE(at(canvas, w - 42, h - 11), rgb(kRed));

    // Bars lying on each other: drawn alone, bar 1 lies one pixel left of where bar 0 would,
    // bar 2 one pixel below, also where the picture's edge cuts the underlaps.
    auto pixelsOf = [&](size_t shown) {
        TexLayer bars
            = document({{{1, 0}, {1, 2}}, {{1, 0}, {1, 2}}, {{1, 0}, {1, 2}}}, {kRed, kRed, kRed});
        bars.selMode = 3;
        for (size_t b = 0; b < bars.bars.size(); ++b)
            bars.bars[b].visible = b == shown ? 1 : 0;
        QImage picture = canvasFor(g);
        view.Draw(bars, picture, g, true);
        return picture;
    };
    const QImage bar0 = pixelsOf(0);
    const QImage bar1 = pixelsOf(1);
    const QImage bar2 = pixelsOf(2);
    int drawn = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool red = at(bar0, x, y) == rgb(kRed);
            drawn += red ? 1 : 0;
            if (x > 0) {
                ASSERT_EQ(at(bar1, x - 1, y) == rgb(kRed), red) << x << ' ' << y;
            }
            if (y + 1 < h) {
                ASSERT_EQ(at(bar2, x, y + 1) == rgb(kRed), red) << x << ' ' << y;
            }
        }
    }
    EXPECT_GT(drawn, 40);
}

TEST(LappingView, BlackYarnsAreDrawnThroughInversion)
{
    TexLayer layer = document({{{1, 0}, {1, 2}}}, {0});
    const LappingGeometry g = geometry(20, 24, 2);
    LappingView view;
    view.SetBackground(QImage(), ChartWhite);
    layer.selMode = 3;
    QImage canvas = canvasFor(g);
    view.Draw(layer, canvas, g, true);
    // Black on white paper, and the paper itself comes back unchanged from the inversions.
    EXPECT_EQ(at(canvas, g.width - 11, g.height - 11 - 5), 0u);
    const QImage bare = paper(g, ChartWhite);
    EXPECT_EQ(canvas.copy(0, 0, g.width - 60, g.height), bare.copy(0, 0, g.width - 60, g.height));

    // A black bar drawn for all its needles shows on every needle.
    layer.bars[0].drawAllNeedles = 1;
    view.Draw(layer, canvas, g, true);
    for (int needle = 0; needle < 24; ++needle)
        EXPECT_EQ(at(canvas, g.width - 11 - needle * 20, g.height - 16), 0u) << needle;
}

TEST(LappingView, RepeatedViewTilesOneRepeatAcrossTheChart)
{
    // A pillar bar threaded A, B, B (repeat 3) with a gap of its shift: every needle knits its
    // own wale, so the loop of needle column k shows the yarn threaded there.
    TexLayer layer = document({{{0, 1}, {1, 0}}, {{1, 0}, {1, 2}}}, {kRed, kGreen});
    layer.yarns.push_back(Yarn{});
    layer.yarns.back().color = kBlue;
    Tex &pillar = layer.bars[0];
    pillar.threading = {WaleState{0, 1, 1, 0}, WaleState{2, 2, 1, 0}};
    pillar.shift = 1;
    pillar.drawAllNeedles = 1;
    layer.bars[1].visible = 0;
    layer.selMode = 3;
    const LappingGeometry g = geometry(10, 20, 4);
    ASSERT_EQ(RepeatWidth(layer), 3);
    QImage canvas = canvasFor(g);
    LappingView view;
    view.SetBackground(QImage(), ChartGray);
    view.Draw(layer, canvas, g, true);

    // Column k carries needle k - shift: red on columns 1, 4, 7 ..., blue elsewhere.
    for (int k = 0; k < 20; ++k) {
        const QRgb expected = rgb((k - 1) % 3 == 0 ? kRed : kBlue);
        EXPECT_EQ(at(canvas, g.width - 1 - k * 10 - 5, g.height - 1 - 5 - 2), expected) << k;
    }
    // Every pixel repeats three cells further left.
    const int period = 3 * 10;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x + period < g.width; ++x)
            ASSERT_EQ(at(canvas, x, y), at(canvas, x + period, y)) << x << ' ' << y;
    }
    // The repeat lies where the needles are: every pixel of needle 0 drawn alone (red, in
    // column 1 by the shift) is red in the repeated view too.
    pillar.drawAllNeedles = 0;
    QImage alone = canvasFor(g);
    view.Draw(layer, alone, g, true);
    int red = 0;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            if (at(alone, x, y) == rgb(kRed)) {
                ++red;
                ASSERT_EQ(at(canvas, x, y), rgb(kRed)) << x << ' ' << y;
            }
        }
    }
    EXPECT_GT(red, 20);

    // The other bar, shown by its first needle only, lies on needles 0 and 1 only.
    layer.bars[0].visible = 0;
    layer.bars[1].visible = 1;
    view.Draw(layer, canvas, g, true);
    int greenColumns = 0;
    for (int k = 0; k < 20; ++k) {
        bool green = false;
        for (int y = 0; y < g.height; ++y) {
            for (int x = g.width - (k + 1) * 10; x < g.width - k * 10; ++x)
                green = green || at(canvas, x, y) == rgb(kGreen);
        }
        greenColumns += green ? 1 : 0;
        if (k > 2) {
            EXPECT_FALSE(green) << k;
        }
    }
    EXPECT_GE(greenColumns, 2);
}

TEST(LappingView, FramesAreGreenAndACursorRedrawReusesTheKeptPicture)
{
    TexLayer layer = document({{{1, 0}, {1, 2}, {1, 0}, {1, 2}}}, {kRed});
    const LappingGeometry g = geometry(10, 12, 4);
    QImage canvas = canvasFor(g);
    LappingView view;
    view.SetBackground(QImage(), ChartBlack);

    // Rectangle of wales 1..2, courses 0..1: lines one pixel outside the cells.
    layer.selMode = 0;
    layer.selWale1 = 2;
    layer.selCourse1 = 0;
    layer.selWale2 = 1;
    layer.selCourse2 = 1;
    view.Draw(layer, canvas, g, true);
    EXPECT_EQ(layer.selectionShown, 0);
    const int left = 120 - 30 - 1;
    const int right = 120 - 10;
    const int top = 40 - 20 - 1;
    EXPECT_EQ(CellFrame(g, 1, 2, 0, 1), QRect(left, top, right - left, 40 - top));
    for (int x = left; x <= right; ++x)
        EXPECT_EQ(at(canvas, x, top), kFrame) << x;
    for (int y = top; y < 40; ++y) {
        EXPECT_EQ(at(canvas, left, y), kFrame) << y;
        EXPECT_EQ(at(canvas, right, y), kFrame) << y;
    }
    EXPECT_NE(at(canvas, left + 1, top + 1), kFrame);
    const QImage kept = view.kept();
    EXPECT_EQ(at(kept, left, top), at(paper(g, ChartBlack), left, top));

    // Cursor mode: a cursor-only redraw copies the kept picture back, so a lap changed meanwhile
    // does not show, the old frame is gone and the new one is around the cursor cell.
    layer.selMode = 1;
    layer.SetCursor(5, 2);
    layer.bars[0].lapping[0] = {7, 8, 7};
    view.Draw(layer, canvas, g, false);
    EXPECT_EQ(layer.selectionShown, 1);
    EXPECT_EQ(at(canvas, left, top), at(kept, left, top));
    const QRect frame = CellFrame(g, 5, 5, 2, 2);
    EXPECT_EQ(at(canvas, frame.left(), frame.top()), kFrame);
    EXPECT_EQ(at(canvas, frame.left() + frame.width(), frame.top() + frame.height()), kFrame);
    int green = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x)
            green += at(canvas, x, y) == kFrame ? 1 : 0;
    }
    EXPECT_EQ(green, 4 * 11);

    // A cursor outside the grid draws no frame.
    layer.SetCursor(12, 0);
    view.Draw(layer, canvas, g, false);
    EXPECT_EQ(layer.selectionShown, 0);
    EXPECT_EQ(canvas, kept);
    // A full redraw shows the changed lap: needle 7 of course 0 is now red.
    view.Draw(layer, canvas, g, true);
    EXPECT_EQ(at(canvas, 120 - 1 - 70 - 5, 40 - 1 - 5 - 2), rgb(kRed));
}

TEST(LappingView, CellPicturesTileFromTheLowerRightAtEveryZoom)
{
    const QString resources = QStringLiteral(WARPLON_RESOURCES);
    for (int32_t background : {ChartBlack, ChartGray, ChartWhite}) {
        const QImage cell = LoadCellPicture(resources, background);
        ASSERT_FALSE(cell.isNull()) << CellPictureName(background).toStdString();
        for (int32_t size : {5, 10, 20}) {
            // The shipped pictures and the drawn stand-in make the same paper; a width that is no
            // multiple of the cell still ends with a whole cell at the right.
            LappingGeometry g = geometry(size, 7, 3);
            g.width += 3;
            QImage fromFile = canvasFor(g);
            FillChartBackground(fromFile, cell, background, size, size);
            EXPECT_EQ(fromFile, paper(g, background)) << background << ' ' << size;
            // Gap lines on every cell's right column and course lines on its bottom row keep one
            // pixel; the paper inside and the needle point in the centre differ from them.
            const QRgb line = at(fromFile, g.width - 1, 0);
            const QRgb inside = at(fromFile, g.width - 2, g.height - 2);
            const QRgb point = at(fromFile, g.width - 1 - size / 2, g.height - 1 - size / 2);
            EXPECT_NE(line, inside);
            EXPECT_NE(point, inside);
            for (int k = 0; k < 7; ++k) {
                EXPECT_EQ(at(fromFile, g.width - 1 - k * size, 1), line) << k;
                EXPECT_EQ(at(fromFile, g.width - 2 - k * size, 1), inside) << k;
            }
            EXPECT_EQ(at(fromFile, 4, g.height - 1 - size), line);
            EXPECT_EQ(at(fromFile, 4, g.height - 2 - size), inside);
        }
    }
    EXPECT_TRUE(LoadCellPicture(resources + QStringLiteral("/missing"), ChartBlack).isNull());
    LappingView view;
    EXPECT_FALSE(view.LoadBackground(resources + QStringLiteral("/missing"), ChartGray));
    EXPECT_TRUE(view.LoadBackground(resources, ChartGray));
    EXPECT_EQ(view.background(), ChartGray);
    EXPECT_EQ(CellPictureName(7), QStringLiteral("cell.bmp"));
}

TEST(LappingView, ChartWidthCoversTwoRepeatsAndTheWidestLap)
{
    TexLayer layer = document({{{1, 0}, {1, 2}}, {{2, 3}, {1, 0}}}, {kRed, kGreen});
    EXPECT_EQ(ChartNeedleCount(layer), 24);
    EXPECT_EQ(ChartSize(layer, 10), QSize(240, 20));
    layer.bars[0].threading = {WaleState{0, 20, 1, 0}};
    EXPECT_EQ(ChartNeedleCount(layer), 40);
    layer.bars[1].lapping[0] = {40, 41, 40};
    layer.bars[1].shift = 3;
    EXPECT_EQ(ChartNeedleCount(layer), 3 + 41 + 2);
    layer.bars[1].lapping[0] = {2000000000, 0, 0}; // damaged: bounded
    EXPECT_EQ(ChartNeedleCount(layer), 512);

    // Positions from a damaged file draw without running away.
    LappingView view;
    const LappingGeometry g = geometry(5, 24, 2);
    QImage canvas = canvasFor(g);
    layer.bars[1].lapping[1] = {-2000000000, 2000000000, 0};
    layer.bars[1].drawAllNeedles = 1;
    layer.bars[0].drawAllNeedles = 1;
    view.Draw(layer, canvas, g, true);
    EXPECT_FALSE(view.kept().isNull());

    // A document without bars draws nothing.
    TexLayer empty;
    QImage untouched = canvasFor(g);
    view.Draw(empty, untouched, g, true);
    EXPECT_EQ(untouched, canvasFor(g));
}
