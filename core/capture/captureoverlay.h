#pragma once

// Painting of the capture window's overlays onto the picture: the measure objects with their
// labels, the grid points and the lapping path, all in the one overlay colour. No widgets: the
// window and the command-line tool paint into a QImage.

#include "capture/measureobject.h"
#include "capture/stitchgrid.h"

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// Width in pixels of the lapping path's lines.
constexpr int32_t kPathWidth = 10;

struct OverlayStyle
{
    QRgb color = 0xffff0000; // the overlay colour
    int32_t markSize = 5;    // radius of point marks and grid points
    int32_t labelSize = 14;  // height of label text in pixels
    int32_t lineWidth = 1;   // width of the measure objects' lines
};

// Every object as the window draws it, each label beside its anchor: a point as a filled circle
// of the mark size; a line; a triangle with its height line from the apex to the foot; a circle
// with its clicked diameter and a 3-pixel circle at the centre; a polygon as the chain of its
// vertices. Labels carry an outline of black or white, whichever stands out from the overlay
// colour, so they stay legible on any fabric.
void PaintMeasureObjects(QImage &image, const std::vector<MeasureObject> &objects,
                         const OverlayStyle &style);

// Every grid point as a filled circle of the mark size.
void PaintGridPoints(QImage &image, const StitchGrid &grid, const OverlayStyle &style);

// Every segment of the path as a line kPathWidth pixels wide.
void PaintLappingPath(QImage &image, const LappingPath &path, const OverlayStyle &style);

// One label with its top left corner at `at`, moved inside the image when it would leave it.
// With a GUI application the system font is used; without one (the command-line tool) a built-in
// pixel font of the characters labels use (digits, "HSLum=,.-", space and the superscript two).
void PaintLabel(QImage &image, QPoint at, const QString &text, const OverlayStyle &style);
// The size PaintLabel covers.
QSize LabelSize(const QString &text, const OverlayStyle &style);

} // namespace warplon
