#pragma once

// The stitch model as JSON, for `warplon-cli` dumps and for tests that compare whole models.

#include "knit/tricot.h"

#include <QJsonObject>

#include <vector>

namespace warplon {

// wales, courses, xPitch, yPitch and "nodes": every node in index order with its index, wale,
// course, state, closed, position, loopShade, scatter, brightness and its loops, links,
// backLinks and underlaps with all their fields. A yarn is given by its index in `yarns` (the
// list the model was built from); -1 for no yarn or one outside the list.
QJsonObject ModelToJson(const Tricot &model, const std::vector<Yarn> &yarns);

} // namespace warplon
