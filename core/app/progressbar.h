#pragma once

// The bar of the progress window: how far the light-blue inner panel reaches and what the label
// says for a reported percentage, and where the window sits over the control it reports for.

#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>

namespace warplon {

// The inner panel sits 3 pixels inside the lowered outer panel on every side.
constexpr int32_t kProgressBarMargin = 3;

struct ProgressBarState
{
    int32_t percent = 0;    // the reported value limited to 0..100
    int32_t innerWidth = 0; // full width * percent / 100
    QString text;           // "<percent>%"
    bool visible = false;   // the window shows only while something has been done
};

// The bar for a reported percentage: limited to 0..100, the inner width a whole share of
// `fullWidth`, the text the decimal percentage followed by "%", visible above 0.
ProgressBarState ProgressBarFor(int32_t percent, int32_t fullWidth);

// The full width of the inner panel inside an outer panel `outerWidth` wide (never negative).
int32_t ProgressInnerFullWidth(int32_t outerWidth);

// Top-left of a window of size `window` placed over a control of size `anchor`, measured from the
// origin of the control's parent: half the anchor less half the window, each half truncated.
QPoint CentredOn(QSize anchor, QSize window);

} // namespace warplon
