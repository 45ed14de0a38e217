#include "simulation/floatoverlay.h"

#include "knit/threading.h"

#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

constexpr int32_t kMaxOverlayReach = 512;

} // namespace

void PaintFloatOverlay(QImage &picture, const SimulationGeometry &g, const TexLayer &layer,
                       const std::vector<CourseFloat> &floats, bool backView)
{
    if (picture.isNull() || floats.empty() || g.wales < 1 || g.courses < 1 || g.repeatWidth < 1
        || g.repeatHeight < 1 || !(g.xPitch > 0.0) || !(g.yPitch > 0.0))
        return;
    const double repeatW = double(g.repeatWidth);
    const double repeatH = double(g.repeatHeight);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color = QColor::fromRgb(kFloatWarningColor);
    color.setAlpha(150);
    const double width = std::clamp(std::min(g.xPitch, g.yPitch) * 0.2, 1.0, 4.0);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));

    // Pixel x of a model x; course rows count up from the repeat's bottom row.
    const auto pixelX = [&](double x) { return backView ? x : repeatW - 1.0 - x; };
    const auto pixelY = [&](double y) { return repeatH - 1.0 - y; };

    for (int32_t b = 0; b < int32_t(layer.bars.size()) && b < kMaxBars; ++b) {
        const Tex &bar = layer.bars[size_t(b)];
        const int32_t count = bar.LappingCount();
        if (count == 0)
            continue;
        std::vector<const CourseFloat *> ofBar(size_t(count), nullptr);
        bool any = false;
        for (const CourseFloat &f : floats) {
            if (f.bar == b && f.course >= 0 && f.course < count) {
                ofBar[size_t(f.course)] = &f;
                any = true;
            }
        }
        if (!any)
            continue;
        Tex threads;
        threads.threading = bar.threading;
        Expand(threads);
        if (threads.needles.empty())
            continue;
        for (int32_t w = 0; w < g.wales; ++w) {
            if (!YarnAt(threads, layer.yarns, w, false))
                continue;
            for (int32_t c = 0; c < g.courses; ++c) {
                const CourseFloat *f = ofBar[size_t(c % count)];
                if (!f)
                    continue;
                // A float of a damaged file may span millions of needles; none that a machine
                // knits comes near these, and they bound the drawing.
                if (f->needles > kMaxOverlayReach || f->courses > kMaxOverlayReach)
                    continue;
                // The leaving end brought into the repeat, the other end moved with it.
                const double start = double(f->from) + w + bar.shift - 0.5;
                const double wrapped = start - std::floor(start / g.wales) * g.wales;
                const double end = wrapped + (double(f->to) - f->from);
                const QLineF line(pixelX(wrapped * g.xPitch), pixelY(c * g.yPitch),
                                  pixelX(end * g.xPitch), pixelY((c + f->courses) * g.yPitch));
                // The line re-enters on the far side of a repeat, so it is drawn moved by every
                // whole repeat that brings a part of it onto the picture.
                const double margin = painter.pen().widthF() + 1.0;
                const double minX = std::min(line.x1(), line.x2()) - margin;
                const double maxX = std::max(line.x1(), line.x2()) + margin;
                const double minY = std::min(line.y1(), line.y2()) - margin;
                const double maxY = std::max(line.y1(), line.y2()) + margin;
                const int iFirst = int(std::ceil(-maxX / repeatW));
                const int iLast = int(std::floor((picture.width() - minX) / repeatW));
                const int jFirst = int(std::ceil(-maxY / repeatH));
                const int jLast = int(std::floor((picture.height() - minY) / repeatH));
                for (int j = jFirst; j <= jLast; ++j) {
                    for (int i = iFirst; i <= iLast; ++i)
                        painter.drawLine(line.translated(i * repeatW, j * repeatH));
                }
            }
        }
    }
}

} // namespace warplon
