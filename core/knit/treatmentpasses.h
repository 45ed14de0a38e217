#pragma once

// The finishing treatment applied to a simulation run: once to the stitch model before it is
// relaxed (shearing cuts the laps of the treated bars) and once to the finished picture
// (sheared pile in the colours of the cut yarns, or the soft relief of raised loops).

#include <cstdint>
#include <vector>

namespace warplon {

class Progress;
class RandomSource;
class TCorvexBitmap;
class Tricot;
struct TreatmentData;

// Remembers backView in the treatment. Unless backView is set or the method is none, resizes
// the course flags to currentBarLappingCount, and for shearing: on every loop node whose
// highest bar above bar 0 (among its laps) is flagged in the node's course, every lap of a
// flagged bar gets kind 0, so it neither pulls nor is drawn.
void ApplyToModel(TreatmentData &treatment, Tricot &model, bool backView,
                  int32_t currentBarLappingCount);

// The cells (index course * wales + wale) whose loops are raised by loop raising: a loop node
// whose highest bar above bar 0 is flagged in its course, unless a float of kind 2 or 4 of any
// loop node below it on the same wale passes over it.
std::vector<uint8_t> RaisedCells(const TreatmentData &treatment, const Tricot &model);

// The finishing of the picture over one repeat of repeatWidth by repeatHeight pixels (the
// model's wales and courses at its pitches; cut to the picture), tiled over the whole picture
// afterwards. Shearing
// paints the pixels near sheared nodes in the colours of their cut yarns, each with a random
// lightness offset; loop raising shades the repeat from the raised-loop heights lit from
// (-5, 10, 30). Nothing changes in back view, for method none, fewer than 2 wales or courses,
// or a repeat below 1 pixel. Returns false only when the picture's pixels cannot be reached (not an
// allocated 24-bit picture, or painted on right now); the caller then tells the user.
bool ApplyToPicture(const TreatmentData &treatment, TCorvexBitmap &picture, const Tricot &model,
                    int32_t repeatWidth, int32_t repeatHeight, RandomSource &random,
                    Progress *progress);

} // namespace warplon
