#pragma once

// "Set Default With Optimization": the run-in of a bar measured along the relaxed stitch model,
// with the formula run-in on courses where the bar forms no loop.

#include "knit/records.h"
#include "knit/tricot.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace warplon {

class Progress;

// Models larger than this many nodes are refused: the relaxation would take minutes.
constexpr int64_t kMaxOptimizedRunInNodes = 4000000;

// The relaxed model of the last optimization, kept so that the button pressed again, or for
// another bar, while nothing the model is made of changed (the design's shape, the gauge and
// course density, the run-in brightness and tension switches, the direction memory) measures
// without building and relaxing anew.
struct RunInModelCache
{
    QByteArray key;
    std::shared_ptr<const TexLayer> document; // the yarns the model refers to
    std::optional<Tricot> model;              // relaxed and scattered
    DirectionMemory directionsAfter;
};

// The calcRunIn of every course c = 0 .. header.courseCount - 1 of bar `barIndex` as measured
// along a model of the whole design: built with the runInBrightness switches, relaxed across the
// wales with the noTension switches, scattered from below; per course the integer mean of the
// non-zero OptimizedRunInAt values of its nodes (0 when all are zero). Courses where course c or
// c + 1 forms no loop take the formula value instead. Empty when nothing can be measured: a
// gauge, course density or course count of zero or below, a bar index outside 0..3, a model of
// more than kMaxOptimizedRunInNodes nodes, or a stop requested through the progress.
std::vector<int32_t> OptimizedCalcRunIns(const Tex &bar, int32_t barIndex, const TexLayer &design,
                                         const MainData &header, const GuideBarData &guideBars,
                                         DirectionMemory &directions = ProgramDirectionMemory(),
                                         Progress *progress = nullptr,
                                         RunInModelCache *cache = nullptr);

// Stores OptimizedCalcRunIns as the calcRunIn of the courses the bar has a course state for;
// does nothing when that is empty. `bar` is the design's bar `barIndex` (or a copy of it).
void SetDefaultWithOptimization(Tex &bar, int32_t barIndex, const TexLayer &design,
                                const MainData &header, const GuideBarData &guideBars,
                                DirectionMemory &directions = ProgramDirectionMemory(),
                                Progress *progress = nullptr);

} // namespace warplon
