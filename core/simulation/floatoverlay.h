#pragma once

// The long floats drawn over the simulated picture, so the designer sees where on the fabric they
// lie.

#include "knit/floats.h"
#include "knit/records.h"
#include "simulation/simulationrun.h"

#include <QImage>

#include <vector>

namespace warplon {

// Draws every float of `floats` for every threaded needle of its bar as a line in the warning
// colour, in every repeat of the picture, from the place the yarn leaves to the place it is held.
// The places are those of the unrelaxed stitch model: gap g of needle column w at wale
// g + w + shift - 0.5 (half a needle right of needle g), course c at its row; wale 0 lies at the
// right edge of a repeat on the face and at the left on the back, course 0 at its bottom, the
// repeat at the top left of the picture and tiled from there, as a simulation paints it.
void PaintFloatOverlay(QImage &picture, const SimulationGeometry &geometry, const TexLayer &layer,
                       const std::vector<CourseFloat> &floats, bool backView);

} // namespace warplon
