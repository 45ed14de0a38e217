#include "knit/floats.h"

#include "base/numbers.h"
#include "knit/tricot.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <utility>

namespace warplon {

namespace {

constexpr double kMillimetresPerInch = 25.4;

int32_t saturate(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

int64_t wrapCourse(int64_t course, int64_t count)
{
    const int64_t r = course % count;
    return r < 0 ? r + count : r;
}

CourseFloat makeFloat(const Tex &bar, int32_t barIndex, int32_t course, int64_t span,
                      FloatKind kind, int32_t gauge)
{
    const int64_t count = bar.LappingCount();
    CourseFloat result;
    result.bar = barIndex;
    result.course = course;
    result.courses = saturate(span);
    result.from = bar.lapping[size_t(course)].x1;
    result.to = bar.lapping[size_t(wrapCourse(course + span, count))].x0;
    const int64_t needles = std::abs(int64_t(result.to) - result.from);
    result.needles = saturate(needles);
    result.millimetres = FloatMillimetres(needles, gauge);
    result.kind = kind;
    return result;
}

// The chart columns of the needles a float passes: needle n lies between gaps n and n + 1 and is
// drawn in column n + shift. A float of no needles marks the column left of its gap.
std::pair<int64_t, int64_t> markColumns(const CourseFloat &f, int32_t shift)
{
    const int64_t low = int64_t(std::min(f.from, f.to)) + shift;
    const int64_t high = std::max<int64_t>(low, int64_t(std::max(f.from, f.to)) - 1 + shift);
    return {low, high};
}

} // namespace

double FloatMillimetres(int64_t needles, int32_t gauge)
{
    if (gauge <= 0)
        return 0.0;
    return double(needles) * kMillimetresPerInch / double(gauge);
}

std::vector<CourseFloat> BarFloats(const TexLayer &layer, int32_t barIndex, int32_t gauge)
{
    if (barIndex < 0 || barIndex >= int32_t(layer.bars.size()) || barIndex >= kMaxBars)
        return {};
    const Tex &bar = layer.bars[size_t(barIndex)];
    const int32_t count = bar.LappingCount();
    if (count == 0)
        return {};

    // A model of one needle of this bar alone: with one wale every target wale is the distance
    // from the start needle, and with one threaded needle every piece appears once. The other
    // bars keep their places (empty), because whether the bar is the front, a middle or the back
    // bar decides how its floats are held.
    TexLayer probe;
    probe.bars.resize(std::min(layer.bars.size(), size_t(kMaxBars)));
    Tex &copy = probe.bars[size_t(barIndex)];
    copy.lapping = bar.lapping;
    copy.carryFloat = bar.carryFloat;
    copy.tightFloat = bar.tightFloat;
    Tricot model(1, count, 1.0, 1.0);
    // A direction memory of our own: measuring must not change the next simulation.
    DirectionMemory directions;
    model.Build(probe, {0, 0, 0, 0}, nullptr, directions);

    const bool anyLoop = std::any_of(bar.lapping.begin(), bar.lapping.end(),
                                     [](const ChainLink &link) { return link.x0 != link.x1; });
    std::vector<CourseFloat> floats;
    for (int32_t c = 0; c < count; ++c) {
        const Octopus &node = model.NodeAt(0, c);
        for (const LapLink &link : node.links) {
            // Links inside the course join the loops of a wide overlap.
            if (link.bar != barIndex || link.targetCourse == c)
                continue;
            const FloatKind kind = link.kind == 1 ? FloatKind::Underlap : FloatKind::Carried;
            floats.push_back(
                makeFloat(bar, barIndex, c, int64_t(link.targetCourse) - c, kind, gauge));
        }
        for (const UnderlapLink &piece : node.underlaps) {
            if (piece.bar != barIndex)
                continue;
            floats.push_back(makeFloat(bar, barIndex, c, int64_t(piece.targetCourse) - c,
                                       anyLoop ? FloatKind::Walk : FloatKind::LaidIn, gauge));
        }
    }
    return floats;
}

std::vector<CourseFloat> DesignFloats(const MainData &header, const TexLayer &layer)
{
    std::vector<CourseFloat> all;
    for (int32_t b = 0; b < int32_t(layer.bars.size()); ++b) {
        const std::vector<CourseFloat> floats = BarFloats(layer, b, header.gauge);
        all.insert(all.end(), floats.begin(), floats.end());
    }
    return all;
}

bool ExceedsLimit(const CourseFloat &floatLength, double limitMm)
{
    return limitMm > 0.0 && floatLength.millimetres > limitMm;
}

std::vector<CourseFloat> FindLongFloats(const MainData &header, const TexLayer &layer,
                                        double limitMm)
{
    if (!(limitMm > 0.0) || header.gauge <= 0)
        return {};
    std::vector<CourseFloat> result;
    for (const CourseFloat &f : DesignFloats(header, layer)) {
        if (ExceedsLimit(f, limitMm))
            result.push_back(f);
    }
    return result;
}

const CourseFloat *FloatAtCourse(const std::vector<CourseFloat> &floats, int32_t bar,
                                 int32_t course, int32_t lappingCount)
{
    if (lappingCount <= 0)
        return nullptr;
    const CourseFloat *covering = nullptr;
    for (const CourseFloat &f : floats) {
        if (f.bar != bar)
            continue;
        const int64_t after = wrapCourse(int64_t(course) - f.course, lappingCount);
        if (after == 0)
            return &f;
        if (after < f.courses && !covering)
            covering = &f;
    }
    return covering;
}

QString FloatText(const CourseFloat &floatLength)
{
    return QStringLiteral("Layer %1, course %2: float %3 mm")
        .arg(int64_t(floatLength.bar) + 1)
        .arg(int64_t(floatLength.course) + 1)
        .arg(FormatNumber(floatLength.millimetres, 1));
}

std::vector<QRect> FloatMarkRects(const TexLayer &layer, int32_t barIndex,
                                  const std::vector<CourseFloat> &floats,
                                  const LappingGeometry &geometry)
{
    std::vector<QRect> rects;
    if (barIndex < 0 || barIndex >= int32_t(layer.bars.size()))
        return rects;
    const Tex &bar = layer.bars[size_t(barIndex)];
    const int64_t count = bar.LappingCount();
    for (const CourseFloat &f : floats) {
        if (f.bar != barIndex || count == 0)
            continue;
        // Needle n lies between gaps n and n + 1 and is drawn in column n + shift.
        const int64_t low = int64_t(std::min(f.from, f.to)) + bar.shift;
        const int64_t high
            = std::max<int64_t>(low, int64_t(std::max(f.from, f.to)) - 1 + bar.shift);
        const int64_t first = f.course;
        const int64_t last = first + std::clamp<int64_t>(f.courses, 1, count) - 1;
        rects.push_back(CellFrame(geometry, saturate(low), saturate(high), saturate(first),
                                  saturate(std::min(last, count - 1))));
        if (last >= count)
            rects.push_back(
                CellFrame(geometry, saturate(low), saturate(high), 0, saturate(last - count)));
    }
    return rects;
}

const CourseFloat *FloatAtCell(const TexLayer &layer, int32_t barIndex,
                               const std::vector<CourseFloat> &floats, LappingCell cell)
{
    if (barIndex < 0 || barIndex >= int32_t(layer.bars.size()))
        return nullptr;
    const Tex &bar = layer.bars[size_t(barIndex)];
    const int64_t count = bar.LappingCount();
    if (cell.course < 0 || cell.course >= count)
        return nullptr;
    for (const CourseFloat &f : floats) {
        if (f.bar != barIndex)
            continue;
        const auto [low, high] = markColumns(f, bar.shift);
        const int64_t after = wrapCourse(int64_t(cell.course) - f.course, count);
        if (cell.wale >= low && cell.wale <= high && after < std::max(f.courses, 1))
            return &f;
    }
    return nullptr;
}

void PaintFloatMarks(QImage &canvas, const TexLayer &layer, int32_t bar,
                     const std::vector<CourseFloat> &floats, const LappingGeometry &geometry)
{
    if (canvas.isNull())
        return;
    QPainter painter(&canvas);
    painter.setPen(QPen(QColor::fromRgb(kFloatWarningColor), 1));
    painter.setBrush(Qt::NoBrush);
    for (const QRect &rect : FloatMarkRects(layer, bar, floats, geometry)) {
        painter.drawRect(rect);
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
    }
}

} // namespace warplon
