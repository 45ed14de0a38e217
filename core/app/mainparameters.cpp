#include "app/mainparameters.h"

#include "knit/undostore.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace warplon {

std::optional<int32_t> ParseInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return int32_t(value);
}

std::optional<double> ParseDecimal(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool EnterBarCount(int32_t requested, DesignParameters design, QString &shownText)
{
    const int32_t bars = std::clamp(requested, 1, kMaxBars);
    shownText = QString::number(bars);
    TexLayer &document = design.document;
    if (int32_t(document.bars.size()) == bars)
        return false;
    if (design.undo)
        design.undo->Clear();
    while (int32_t(document.bars.size()) > bars)
        document.DeleteBar(int32_t(document.bars.size()) - 1);
    if (int32_t(document.bars.size()) < bars) {
        while (int32_t(document.bars.size()) < bars)
            document.AddBar();
        document.SetCourseCount(design.header.courseCount);
    }
    design.header.barCount = bars;
    design.currentBar = bars - 1;
    return true;
}

void EnterCourseCount(int32_t courses, DesignParameters design)
{
    if (design.undo)
        design.undo->Clear();
    design.header.courseCount = courses;
    design.document.SetCourseCount(courses);
}

double CorrectedWidth(double width, QString *shownText)
{
    if (width >= 1.0)
        return width;
    if (shownText)
        *shownText = QStringLiteral("1");
    return 1.0;
}

QString PanelNumber(double value)
{
    const double rounded = std::trunc(value * 100.0 + 0.5) / 100.0;
    return QString::number(rounded, 'g', 15);
}

BarButtons RefreshBarButtons(int32_t barCount, int32_t &currentBar)
{
    BarButtons buttons;
    for (int32_t k = 1; k <= 4; ++k)
        buttons.enabled[size_t(k - 1)] = k <= barCount;
    if (currentBar >= barCount)
        currentBar = barCount - 1;
    currentBar = std::max(currentBar, 0);
    buttons.pressed = currentBar;
    return buttons;
}

ChildTiling TileChildren(QSize client, bool captureVisible)
{
    const int w = client.width();
    const int h = client.height();
    const int halfWidth = (w - 211) / 2;
    const int halfHeight = (h - 4) / 2;
    ChildTiling tiling;
    tiling.capture = QRect(0, 0, halfWidth, halfHeight);
    tiling.simulation = captureVisible ? QRect(0, halfHeight, halfWidth, halfHeight)
                                       : QRect(0, 0, halfWidth, h - 4);
    tiling.design = QRect(halfWidth, 0, halfWidth, h - 4);
    return tiling;
}

} // namespace warplon
