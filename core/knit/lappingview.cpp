#include "knit/lappingview.h"

#include "knit/threading.h"

#include <QColor>
#include <QDir>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace warplon {

namespace {

constexpr int32_t kMinChartNeedles = 24;
constexpr int32_t kMaxChartNeedles = 512;
// Pixel coordinates are kept within this distance of the picture, so that positions from a
// damaged file draw clipped lines instead of overflowing.
constexpr double kCoordinateLimit = 1 << 20;
// Needles beside the repeat that are still drawn for a bar of all needles: far more than any
// lapping reaches, and a bound on the work for positions from a damaged file.
constexpr int64_t kNeedleReach = 512;

// The point-paper cell the pictures are made from (scripts/make-cell-pictures.py writes the same
// pattern): the gap line on the right column, the course line on the bottom row and a 3 x 3
// needle point in the centre.
constexpr int kCellSize = 20;
constexpr int kPointFirst = 8;
constexpr int kPointLast = 10;

struct CellColors
{
    QRgb paper;
    QRgb line;
    QRgb point;
};

CellColors cellColors(int32_t background)
{
    switch (background) {
    case ChartGray:
        return {qRgb(192, 192, 192), qRgb(150, 150, 150), qRgb(96, 96, 96)};
    case ChartWhite:
        return {qRgb(255, 255, 255), qRgb(205, 205, 205), qRgb(150, 150, 150)};
    default:
        return {qRgb(0, 0, 0), qRgb(60, 60, 60), qRgb(110, 110, 110)};
    }
}

QImage builtInCell(int32_t background)
{
    const CellColors colors = cellColors(background);
    QImage cell(kCellSize, kCellSize, QImage::Format_RGB32);
    cell.fill(colors.paper);
    for (int i = 0; i < kCellSize; ++i) {
        cell.setPixel(kCellSize - 1, i, colors.line);
        cell.setPixel(i, kCellSize - 1, colors.line);
    }
    for (int y = kPointFirst; y <= kPointLast; ++y) {
        for (int x = kPointFirst; x <= kPointLast; ++x)
            cell.setPixel(x, y, colors.point);
    }
    return cell;
}

// Nearest-pixel scaling that maps first onto first and last onto last pixel, so one-pixel grid
// lines on the picture's edges stay one pixel wide at every cell size.
QImage scaleCell(const QImage &source, int32_t cw, int32_t ch)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage result(cw, ch, QImage::Format_RGB32);
    if (rgb.isNull() || result.isNull())
        return QImage();
    auto sourceIndex = [](int i, int target, int size) {
        return target <= 1 ? 0 : int(int64_t(i) * (size - 1) / (target - 1));
    };
    for (int y = 0; y < ch; ++y) {
        const auto *in
            = reinterpret_cast<const QRgb *>(rgb.constScanLine(sourceIndex(y, ch, rgb.height())));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < cw; ++x)
            out[x] = in[sourceIndex(x, cw, rgb.width())];
    }
    return result;
}

int64_t floorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int32_t clampInt(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

bool isBlack(const Yarn &yarn)
{
    return (yarn.color & 0xffffff) == 0;
}

QRgb penColor(const Yarn &yarn)
{
    return qRgb(yarn.color & 0xff, (yarn.color >> 8) & 0xff, (yarn.color >> 16) & 0xff);
}

// One-pixel lines set pixel by pixel. A line's pixels depend only on the difference of its end
// points, so a line moved by whole pixels gives the same pixels moved, whether or not the edge of
// the picture cuts it: repeats join without seams and a bar offset by one pixel is the same
// drawing one pixel over.
class PixelPen
{
public:
    explicit PixelPen(QImage &image)
        : m_image(image)
    {}

    void SetColor(QRgb color) { m_color = color; }

    void Point(int64_t x, int64_t y)
    {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
            m_image.setPixel(int(x), int(y), m_color);
    }

    // Both end points included; one pixel per step along the longer axis, the other coordinate
    // rounded half up.
    void Line(QPoint a, QPoint b)
    {
        const int64_t dx = int64_t(b.x()) - a.x();
        const int64_t dy = int64_t(b.y()) - a.y();
        const bool alongX = std::abs(dx) >= std::abs(dy);
        const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
        if (steps == 0) {
            Point(a.x(), a.y());
            return;
        }
        const int64_t major = alongX ? a.x() : a.y();
        const int64_t minor = alongX ? a.y() : a.x();
        const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1;
        const int64_t minorDelta = alongX ? dy : dx;
        const int64_t size = alongX ? m_image.width() : m_image.height();
        // Only the steps whose coordinate along the longer axis lies on the picture.
        int64_t first = 0;
        int64_t last = steps;
        if (direction > 0) {
            first = std::max(first, -major);
            last = std::min(last, size - 1 - major);
        } else {
            first = std::max(first, major - size + 1);
            last = std::min(last, major);
        }
        for (int64_t k = first; k <= last; ++k) {
            const int64_t along = major + direction * k;
            const int64_t across = minor + floorDiv(2 * k * minorDelta + steps, 2 * steps);
            if (alongX)
                Point(along, across);
            else
                Point(across, along);
        }
    }

private:
    QImage &m_image;
    QRgb m_color = 0;
};

// The chain notation of one bar's yarn in one needle column, painted onto one picture.
class ChainPainter
{
public:
    // width and height are the picture's grid size; dx, dy the bar's small offset.
    ChainPainter(PixelPen &pen, int64_t width, int64_t height, int32_t cw, int32_t ch, int32_t dx,
                 int32_t dy)
        : m_pen(pen)
        , m_width(width)
        , m_height(height)
        , m_cw(cw)
        , m_ch(ch)
        , m_dx(dx)
        , m_dy(dy)
        , m_radius(std::max(cw / 4, 1))
    {}

    // Every course of the bar in needle column `column` (needle + shift): each course is entered
    // from the previous course's end (course 0 from the last course, one row below it) and the
    // last course leaves towards course 0 of the next repeat, one row above it.
    void Chain(const Tex &bar, int64_t column)
    {
        const std::vector<ChainLink> &laps = bar.lapping;
        const int64_t count = int64_t(laps.size());
        if (count == 0)
            return;
        // Rows above the picture are not drawn.
        const int64_t last = std::min(count - 1, m_height / m_ch + 1);
        QPoint from = exitPoint(laps[size_t(count - 1)], column, -1);
        for (int64_t c = 0; c <= last; ++c) {
            const ChainLink &link = laps[size_t(c)];
            m_pen.Line(from, entryPoint(link, column, c));
            shape(link, column, c);
            from = exitPoint(link, column, c);
        }
        if (last == count - 1)
            m_pen.Line(from, entryPoint(laps.front(), column, count));
    }

private:
    // The gap line of position `gap` in the column: gap 0 of column 0 is the picture's right
    // pixel column; higher gaps and columns lie further left.
    double gapX(int64_t gap, int64_t column) const
    {
        return double(m_width - 1) - double(gap + column) * m_cw + m_dx;
    }
    double rowY(int64_t row) const { return double(m_height - 1 - row * m_ch - m_ch / 2) + m_dy; }

    static QPoint pixel(double x, double y)
    {
        return QPoint(int(std::lround(std::clamp(x, -kCoordinateLimit, kCoordinateLimit))),
                      int(std::lround(std::clamp(y, -kCoordinateLimit, kCoordinateLimit))));
    }

    // The loop of a course: an ellipse of vertical radius r = cw / 4 around the overlap needles
    // (a circle for a one-needle overlap), entered low on the side of x0 and run over the top of
    // the needle. An open lap leaves low on the side of x1 (270 degrees of arc); a closed lap,
    // whose underlap turns back across the overlap, goes on around the foot of the loop and leaves
    // where it came in, so its two legs meet.
    struct Loop
    {
        double cx;
        double cy;
        double rx;
        double ry;
        double start; // degrees, counter-clockwise from the right, y up
        double sweep; // signed degrees
    };

    Loop loop(const ChainLink &link, int64_t column, int64_t row) const
    {
        const int64_t low = std::min(link.x0, link.x1);
        const int64_t span = int64_t(std::max(link.x0, link.x1)) - low;
        Loop result;
        result.cx
            = double(m_width - 1) - double(low + column) * m_cw - double(span * m_cw / 2) + m_dx;
        result.cy = rowY(row);
        result.rx = double(m_radius) + double(span - 1) * m_cw / 2.0;
        result.ry = m_radius;
        // Lower gaps lie to the right: x0 < x1 enters on the right and runs anticlockwise.
        const bool fromRight = link.x0 < link.x1;
        const bool closed = link.x2 != link.x1;
        result.start = fromRight ? -45.0 : 225.0;
        result.sweep = (closed ? 360.0 : 270.0) * (fromRight ? 1.0 : -1.0);
        return result;
    }

    static QPoint loopPoint(const Loop &l, double degrees)
    {
        const double a = degrees * std::numbers::pi / 180.0;
        return pixel(l.cx + l.rx * std::cos(a), l.cy - l.ry * std::sin(a));
    }

    // A laid-in course: a vertical stroke of cw / 2 on the gap line, centred on the row, entered
    // at its foot and left at its top.
    double strokeTop(int64_t row) const { return rowY(row) - double(m_cw / 2 / 2); }
    double strokeFoot(int64_t row) const { return strokeTop(row) + double(m_cw / 2); }

    QPoint entryPoint(const ChainLink &link, int64_t column, int64_t row) const
    {
        if (link.x0 == link.x1)
            return pixel(gapX(link.x0, column), strokeFoot(row));
        const Loop l = loop(link, column, row);
        return loopPoint(l, l.start);
    }

    QPoint exitPoint(const ChainLink &link, int64_t column, int64_t row) const
    {
        if (link.x0 == link.x1)
            return pixel(gapX(link.x0, column), strokeTop(row));
        const Loop l = loop(link, column, row);
        return loopPoint(l, l.start + l.sweep);
    }

    void shape(const ChainLink &link, int64_t column, int64_t row)
    {
        if (link.x0 == link.x1) {
            m_pen.Line(entryPoint(link, column, row), exitPoint(link, column, row));
            return;
        }
        const Loop l = loop(link, column, row);
        // Steps of about half a pixel along the arc.
        const double length = std::abs(l.sweep) * std::numbers::pi / 180.0 * std::max(l.rx, l.ry);
        const int steps = std::clamp(int(std::ceil(length * 2.0)), 8, 720);
        QPoint from = loopPoint(l, l.start);
        m_pen.Point(from.x(), from.y());
        for (int i = 1; i <= steps; ++i) {
            const QPoint to = loopPoint(l, l.start + l.sweep * i / steps);
            if (to != from)
                m_pen.Line(from, to);
            from = to;
        }
    }

    PixelPen &m_pen;
    int64_t m_width;
    int64_t m_height;
    int32_t m_cw;
    int32_t m_ch;
    int32_t m_dx;
    int32_t m_dy;
    int32_t m_radius;
};

// Bars lying on each other stay visible: bars 1 and 3 one pixel to the side, bars 2 and 3 one
// pixel down.
int32_t barOffsetX(size_t bar)
{
    return (bar == 1 || bar == 3) ? -1 : 0;
}
int32_t barOffsetY(size_t bar)
{
    return (bar == 2 || bar == 3) ? 1 : 0;
}

struct Span
{
    int64_t low = 0;  // smallest position, at most 0
    int64_t high = 0; // largest position, at least 0
};

Span positionSpan(const TexLayer &layer)
{
    Span span;
    for (const Tex &bar : layer.bars) {
        for (const ChainLink &link : bar.lapping) {
            span.low = std::min<int64_t>({span.low, link.x0, link.x1, link.x2});
            span.high = std::max<int64_t>({span.high, link.x0, link.x1, link.x2});
        }
    }
    return span;
}

// Which yarns a painting pass draws: the coloured ones in their colours, or the black ones in
// white onto the inverted canvas.
enum class Pass { Colored, Black };

// One repeat of a bar drawn for all its needles: `cells` needle columns at the right of a picture
// of the canvas height, black where no yarn lies, the black pixels made transparent so that only
// the yarns cover the canvas when it is pasted. `sawBlack` reports black yarns left out.
QImage repeatTile(const Tex &bar, const std::vector<Yarn> &yarns, size_t barIndex, int64_t cells,
                  const LappingGeometry &g, int canvasHeight, const Span &span, Pass pass,
                  bool &sawBlack)
{
    QImage tile(int(cells * g.cw), std::clamp(g.height, 1, std::max(canvasHeight, 1)),
                QImage::Format_ARGB32);
    if (tile.isNull())
        return tile;
    tile.fill(qRgb(0, 0, 0));
    {
        PixelPen pen(tile);
        ChainPainter chain(pen, tile.width(), g.height, g.cw, g.ch, barOffsetX(barIndex),
                           barOffsetY(barIndex));
        // A yarn in column j lies between columns j + low and j + high (and a pixel beyond).
        const int64_t first = std::max(-span.high - 1, -kNeedleReach);
        const int64_t last = std::min(cells - span.low + 1, cells + kNeedleReach);
        const int64_t length = bar.needleCount;
        for (int64_t column = first; length > 0 && column <= last; ++column) {
            const int64_t needle = ((column - bar.shift) % length + length) % length;
            const Yarn *yarn = YarnAt(bar, yarns, int32_t(needle), false);
            if (!yarn)
                continue;
            if (isBlack(*yarn) != (pass == Pass::Black)) {
                sawBlack = sawBlack || isBlack(*yarn);
                continue;
            }
            pen.SetColor(pass == Pass::Black ? qRgb(255, 255, 255) : penColor(*yarn));
            chain.Chain(bar, column);
        }
    }
    for (int y = 0; y < tile.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            if ((line[x] & 0xffffff) == 0)
                line[x] = 0;
        }
    }
    return tile;
}

// Pastes the tile across the canvas from the grid's right edge leftwards.
void pasteTiles(QPainter &painter, const QImage &tile, const LappingGeometry &g)
{
    if (tile.isNull())
        return;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int64_t x = int64_t(g.width) - tile.width(); x > -int64_t(tile.width()); x -= tile.width())
        painter.drawImage(QPoint(int(x), 0), tile);
}

} // namespace

int32_t LappingGeometry::Columns() const
{
    return cw > 0 ? clampInt((int64_t(width) - ox) / cw) : 0;
}

int32_t LappingGeometry::Rows() const
{
    return ch > 0 ? clampInt((int64_t(height) - oy) / ch) : 0;
}

LappingGeometry ChartGeometry(const TexLayer &layer, int32_t cellSize, int32_t width,
                              int32_t height)
{
    LappingGeometry g;
    g.cw = std::max(cellSize, 1);
    g.ch = g.cw;
    g.width = width;
    g.height = height;
    g.h = layer.halfNeedleOffset ? g.cw / 2 : 0;
    return g;
}

LappingCell CellAt(const LappingGeometry &g, QPoint point)
{
    const int64_t cw = std::max(g.cw, 1);
    const int64_t ch = std::max(g.ch, 1);
    return {clampInt(floorDiv(int64_t(g.width) - 1 - point.x() + g.h, cw)),
            clampInt(floorDiv(int64_t(g.height) - 1 - point.y(), ch))};
}

QRect CellFrame(const LappingGeometry &g, int32_t wMin, int32_t wMax, int32_t cMin, int32_t cMax)
{
    const int64_t left = int64_t(g.width) - (int64_t(wMax) + 1) * g.cw + g.h - 1;
    const int64_t right = int64_t(g.width) - int64_t(wMin) * g.cw + g.h;
    const int64_t top = int64_t(g.height) - (int64_t(cMax) + 1) * g.ch - 1;
    const int64_t bottom = int64_t(g.height) - int64_t(cMin) * g.ch;
    return QRect(clampInt(left), clampInt(top), clampInt(right - left), clampInt(bottom - top));
}

bool MouseDown(TexLayer &layer, Qt::KeyboardModifiers keys, QPoint point, int32_t barIndex,
               const LappingGeometry &geometry)
{
    if (barIndex < 0 || barIndex >= int32_t(layer.bars.size()))
        return false;
    Tex &bar = layer.bars[size_t(barIndex)];
    if (!bar.visible)
        return false;
    const LappingCell cell = CellAt(geometry, point);
    if (keys & Qt::ShiftModifier) {
        layer.selMode = 0;
        layer.selWale1 = layer.selWale2 = cell.wale;
        layer.selCourse1 = layer.selCourse2 = cell.course;
    } else {
        bar.ClickLapping(bool(keys & Qt::ControlModifier), bool(keys & Qt::AltModifier), cell.wale,
                         layer.halfNeedleOffset != 0, cell.course);
        layer.selMode = 1;
    }
    return true;
}

uint8_t MouseMove(TexLayer &layer, Qt::KeyboardModifiers keys, QPoint point, int32_t barIndex,
                  const LappingGeometry &geometry)
{
    if (barIndex < 0 || barIndex >= int32_t(layer.bars.size()))
        return 1;
    const Tex &bar = layer.bars[size_t(barIndex)];
    if (!bar.visible)
        return 1;
    const LappingCell cell = CellAt(geometry, point);
    if (keys & Qt::ShiftModifier) {
        layer.selMode = 0;
        layer.selWale2 = cell.wale;
        layer.selCourse2 = cell.course;
    } else {
        layer.selMode = bar.drawAllNeedles ? 2 : 1;
    }
    if (cell.wale == layer.cursorWale && cell.course == layer.cursorCourse)
        return 1;
    layer.SetCursor(cell.wale, cell.course);
    return 0;
}

int32_t ChartNeedleCount(const TexLayer &layer)
{
    int64_t needles = std::max<int64_t>(kMinChartNeedles, 2 * int64_t(RepeatWidth(layer)));
    for (const Tex &bar : layer.bars) {
        int64_t high = 0;
        for (const ChainLink &link : bar.lapping)
            high = std::max<int64_t>({high, link.x0, link.x1, link.x2});
        needles = std::max(needles, std::max<int64_t>(bar.shift, 0) + high + 2);
    }
    return int32_t(std::min<int64_t>(needles, kMaxChartNeedles));
}

QSize ChartSize(const TexLayer &layer, int32_t cellSize)
{
    const int64_t cell = std::max(cellSize, 1);
    const int64_t limit = std::numeric_limits<int>::max();
    return QSize(int(std::min(ChartNeedleCount(layer) * cell, limit)),
                 int(std::min(layer.CourseCount() * cell, limit)));
}

QString CellPictureName(int32_t background)
{
    switch (background) {
    case ChartGray:
        return QStringLiteral("cellg.bmp");
    case ChartWhite:
        return QStringLiteral("cellw.bmp");
    default:
        return QStringLiteral("cell.bmp");
    }
}

QImage LoadCellPicture(const QString &programDirectory, int32_t background)
{
    QImage cell(QDir(programDirectory).filePath(CellPictureName(background)));
    return cell;
}

void FillChartBackground(QImage &canvas, const QImage &cell, int32_t background, int32_t cw,
                         int32_t ch)
{
    if (canvas.isNull() || cw < 1 || ch < 1)
        return;
    const QImage scaled = scaleCell(cell.isNull() ? builtInCell(background) : cell, cw, ch);
    QImage paper(canvas.size(), QImage::Format_RGB32);
    if (scaled.isNull() || paper.isNull())
        return;
    // Tiles are laid from the lower right corner, as the cells of the grid are.
    const int offsetX = (cw - canvas.width() % cw) % cw;
    const int offsetY = (ch - canvas.height() % ch) % ch;
    for (int y = 0; y < paper.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(scaled.constScanLine((y + offsetY) % ch));
        auto *out = reinterpret_cast<QRgb *>(paper.scanLine(y));
        for (int x = 0; x < paper.width(); ++x)
            out[x] = in[(x + offsetX) % cw];
    }
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, paper);
}

bool LappingView::LoadBackground(const QString &programDirectory, int32_t background)
{
    SetBackground(LoadCellPicture(programDirectory, background), background);
    return !m_cell.isNull();
}

void LappingView::SetBackground(const QImage &cell, int32_t background)
{
    m_cell = cell;
    m_background = background;
}

void LappingView::Draw(TexLayer &layer, QImage &canvas, const LappingGeometry &geometry,
                       bool redraw)
{
    if (layer.bars.empty() || canvas.isNull() || geometry.cw < 1 || geometry.ch < 1)
        return;
    if (redraw || m_kept.size() != canvas.size() || m_kept.format() != canvas.format()) {
        paintFull(layer, canvas, geometry);
        m_kept = canvas.copy();
    } else {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_kept);
    }

    QPainter painter(&canvas);
    painter.setPen(QPen(QColor::fromRgb(kSelectionColor), 1));
    painter.setBrush(Qt::NoBrush);
    if (layer.selMode == 0) {
        painter.drawRect(CellFrame(geometry, std::min(layer.selWale1, layer.selWale2),
                                   std::max(layer.selWale1, layer.selWale2),
                                   std::min(layer.selCourse1, layer.selCourse2),
                                   std::max(layer.selCourse1, layer.selCourse2)));
        layer.selectionShown = 0;
    } else if (layer.selMode == 1 && layer.cursorWale >= 0 && layer.cursorWale < geometry.Columns()
               && layer.cursorCourse >= 0 && layer.cursorCourse < geometry.Rows()) {
        painter.drawRect(CellFrame(geometry, layer.cursorWale, layer.cursorWale, layer.cursorCourse,
                                   layer.cursorCourse));
        layer.selectionShown = 1;
    } else {
        layer.selectionShown = 0;
    }
}

void LappingView::paintFull(TexLayer &layer, QImage &canvas, const LappingGeometry &g)
{
    FillChartBackground(canvas, m_cell, m_background, g.cw, g.ch);
    for (Tex &bar : layer.bars) {
        bar.Normalize();
        Expand(bar);
    }
    const int64_t repeat = std::max(RepeatWidth(layer), 1);
    const Span span = positionSpan(layer);
    // Only the part of a repeat that fits on the canvas is drawn: a repeat wider than the canvas
    // is pasted once.
    const int64_t cells = std::min<int64_t>(repeat, int64_t(std::max(g.width, 0)) / g.cw + 2);

    bool sawBlack = false;
    PixelPen pen(canvas);
    QPainter painter(&canvas);
    for (size_t b = 0; b < layer.bars.size(); ++b) {
        const Tex &bar = layer.bars[b];
        if (bar.visible && bar.drawAllNeedles)
            pasteTiles(painter,
                       repeatTile(bar, layer.yarns, b, cells, g, canvas.height(), span,
                                  Pass::Colored, sawBlack),
                       g);
    }
    painter.end();
    for (size_t b = 0; b < layer.bars.size(); ++b) {
        const Tex &bar = layer.bars[b];
        const Yarn *yarn = YarnAt(bar, layer.yarns, 0, true);
        if (!bar.visible || bar.drawAllNeedles || !yarn)
            continue;
        if (isBlack(*yarn)) {
            sawBlack = true;
            continue;
        }
        pen.SetColor(penColor(*yarn));
        ChainPainter(pen, g.width, g.height, g.cw, g.ch, barOffsetX(b), barOffsetY(b))
            .Chain(bar, bar.shift);
    }
    if (!sawBlack)
        return;

    // Black yarns: drawn white onto the inverted canvas, which is then inverted back.
    canvas.invertPixels();
    painter.begin(&canvas);
    for (size_t b = 0; b < layer.bars.size(); ++b) {
        const Tex &bar = layer.bars[b];
        if (bar.visible && bar.drawAllNeedles)
            pasteTiles(painter,
                       repeatTile(bar, layer.yarns, b, cells, g, canvas.height(), span, Pass::Black,
                                  sawBlack),
                       g);
    }
    painter.end();
    for (size_t b = 0; b < layer.bars.size(); ++b) {
        const Tex &bar = layer.bars[b];
        const Yarn *yarn = YarnAt(bar, layer.yarns, 0, true);
        if (!bar.visible || bar.drawAllNeedles || !yarn || !isBlack(*yarn))
            continue;
        pen.SetColor(qRgb(255, 255, 255));
        ChainPainter(pen, g.width, g.height, g.cw, g.ch, barOffsetX(b), barOffsetY(b))
            .Chain(bar, bar.shift);
    }
    canvas.invertPixels();
}

} // namespace warplon
