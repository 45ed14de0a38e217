#pragma once

// The stitch model: a wrap-around grid of stitch nodes, one per wale and course of one repeat,
// built from the lapping and threading of every bar, relaxed so that the loops move under the
// pull of the yarns, and shaded. The renderer, the relief and finishing passes and the optimized
// run-in all read it.

#include "knit/records.h"

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

class Progress;

// A loop knitted on a node by one needle of one bar.
struct StitchLoop
{
    int32_t bar = 0;
    const Yarn *yarn = nullptr;
    uint8_t legMode = 1; // 1 open lap; 0 and 2 closed lap, the two crossing directions
    int32_t ratio = 100;
    uint8_t needleFlag = 0;
};

// A yarn piece leaving a node: an overlap or loop-to-loop link (kind 1) or a float (2 and 4 for
// middle and last bars, 3 and 5 for bar 0; 4 and 5 pull strongly). Kind 0: no longer pulls and
// is not drawn (a sheared lap). The target is unwrapped and may lie outside the grid.
struct LapLink
{
    int32_t bar = 0;
    const Yarn *yarn = nullptr;
    int32_t targetWale = 0;
    int32_t targetCourse = 0;
    uint8_t kind = 1;
    uint8_t endChoice = 0; // which leg points of the two nodes the piece joins, 0..3
    int32_t ratio = 100;
    uint8_t needleFlag = 0;
};

// A laid-in float piece starting on a node.
struct UnderlapLink
{
    int32_t bar = 0;
    const Yarn *yarn = nullptr;
    int32_t targetWale = 0;
    int32_t targetCourse = 0;
    uint8_t kind = 1;
    uint8_t startChoice = 0; // where on the start node and its left neighbour, 0..4
    uint8_t endChoice = 0;   // where on the target node and its left neighbour, 0..4
    int32_t ratio = 100;
    uint8_t needleFlag = 0;
};

// A piece seen from its other end, so the relaxation pulls both ends.
struct BackLink
{
    const Yarn *yarn = nullptr;
    int32_t sourceWale = 0; // the other end in this node's unwrapped frame
    int32_t sourceCourse = 0;
    int32_t kind = 1;
    int32_t ratio = 100;
};

// One stitch node.
struct Octopus
{
    double x = 0.0;
    double y = 0.0;
    uint8_t state = 0;  // 1: a loop or laid-in float point lies here
    uint8_t closed = 0; // 1: the loop is held by a loop of the course above
    double loopShade = 0.0;
    double scatterX = 0.0;
    double scatterY = 0.0;
    int32_t brightness = 0; // sum of (ratio - 100) of loops of bars with brightness by run-in
    std::vector<LapLink> links;
    std::vector<BackLink> backLinks;
    std::vector<UnderlapLink> underlaps;
    std::vector<StitchLoop> loops;
};

// The two direction flags a laid-in bar and a middle bar's float walk remember from one course to
// the next. The program keeps one pair for its whole run, carried from one build to the next.
struct DirectionMemory
{
    bool laidIn = true;
    bool floatWalk = true;
};

// The program's own pair, set at start.
DirectionMemory &ProgramDirectionMemory();

// How many stitch models were built and relaxed since the program started, from any thread;
// tests and benchmarks see from them whether work was repeated.
struct ModelWork
{
    int64_t builds = 0;
    int64_t relaxations = 0;
};
ModelWork ModelWorkDone();
// Called by Build and RelaxPositions.
void CountBuild();
void CountRelaxation();

class Tricot
{
public:
    // wales and courses are taken as at least 1.
    Tricot(int32_t wales, int32_t courses, double yPitch, double xPitch);

    std::vector<Octopus> nodes;                          // node (w, c) at c * wales + w
    std::vector<std::array<double, 4>> initialPositions; // x, y, x, y before relaxation
    int32_t wales = 1;
    int32_t courses = 1;
    double xPitch = 1.0;
    double yPitch = 1.0;

    int32_t WrapWale(int32_t wale) const;
    int32_t WrapCourse(int32_t course) const;
    Octopus &NodeAt(int32_t wale, int32_t course);
    const Octopus &NodeAt(int32_t wale, int32_t course) const;
    // Positions unwrapped to the asked-for wale or course, so links can cross the repeat's edge.
    double NodeX(const Octopus &node, int32_t wale) const;
    double NodeY(const Octopus &node, int32_t course) const;

    // Places the loops and links of every bar of the design; the yarn references point into
    // design.yarns, which must outlive the model.
    void Build(const TexLayer &design, const std::array<uint8_t, kMaxBars> &runInBrightness,
               Progress *progress, DirectionMemory &directions = ProgramDirectionMemory());
    // Prepares the back links, relaxes when optimize is set (vertical also moves y), then shades.
    void Relax(bool optimize, bool vertical, Progress *progress,
               const std::array<uint8_t, kMaxBars> &noTension);
    // Relax in two steps, so a relaxed model can be kept and shaded at several pitches: the
    // back links and the relaxation (false when stopped early), then the loop shades, which
    // depend on the pitches through the lean of each loop.
    bool RelaxPositions(bool optimize, bool vertical, Progress *progress,
                        const std::array<uint8_t, kMaxBars> &noTension);
    void Shade();
    // Stretches the model to new pitches: every position is scaled by the new pitch over the
    // old one in its direction. The relaxation measures its pulls in pitches, so a model relaxed
    // at one pitch and stretched stands where a model relaxed at the other would (to rounding).
    void Rescale(double newXPitch, double newYPitch);
    // Points every yarn reference that lies in `from` (count yarns) at the same yarn of `to`,
    // for a model kept while the design's yarn list was copied.
    void RebindYarns(const Yarn *from, size_t count, const Yarn *to);
    // The yarn length per rack of bar `bar` at node (wale, course), in the model's unit times 480.
    int32_t OptimizedRunInAt(const Octopus &node, int32_t wale, int32_t formula, int32_t bar,
                             int32_t course) const;
    // Sets the scatter offsets of every loop node from the node below it.
    void ScatterFromBelow();
};

} // namespace warplon
