#include "app/progressbar.h"

#include <algorithm>

namespace warplon {

ProgressBarState ProgressBarFor(int32_t percent, int32_t fullWidth)
{
    ProgressBarState state;
    state.percent = std::clamp(percent, 0, 100);
    state.innerWidth = int32_t(int64_t(std::max(fullWidth, 0)) * state.percent / 100);
    state.text = QString::number(state.percent) + QLatin1Char('%');
    state.visible = state.percent > 0;
    return state;
}

int32_t ProgressInnerFullWidth(int32_t outerWidth)
{
    return std::max(outerWidth - 2 * kProgressBarMargin, 0);
}

QPoint CentredOn(QSize anchor, QSize window)
{
    return QPoint(anchor.width() / 2 - window.width() / 2,
                  anchor.height() / 2 - window.height() / 2);
}

} // namespace warplon
