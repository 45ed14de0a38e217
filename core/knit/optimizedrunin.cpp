#include "knit/optimizedrunin.h"

#include "base/bytestream.h"
#include "base/progress.h"
#include "knit/modelkey.h"
#include "knit/runin.h"
#include "knit/threading.h"

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

QByteArray runInModelKey(const TexLayer &design, const MainData &header,
                         const GuideBarData &guideBars, const DirectionMemory &directions)
{
    ByteWriter out;
    out.writeBytes(ModelShapeBytes(design));
    for (size_t b = 0; b < kMaxBars; ++b) {
        out.writeU8(guideBars.runInBrightness[b]);
        out.writeU8(guideBars.noTension[b]);
    }
    out.writeI32(header.gauge);
    out.writeF64(header.coursesPerCm);
    out.writeI32(header.courseCount);
    out.writeU8(directions.laidIn ? 1 : 0);
    out.writeU8(directions.floatWalk ? 1 : 0);
    return out.data();
}

} // namespace

std::vector<int32_t> OptimizedCalcRunIns(const Tex &bar, int32_t barIndex, const TexLayer &design,
                                         const MainData &header, const GuideBarData &guideBars,
                                         DirectionMemory &directions, Progress *progress,
                                         RunInModelCache *cache)
{
    if (barIndex < 0 || barIndex >= kMaxBars || header.courseCount <= 0 || header.gauge <= 0
        || !(header.coursesPerCm > 0.0) || !std::isfinite(header.coursesPerCm))
        return {};
    const int32_t wales = std::max(RepeatWidth(design), 1);
    const int32_t courses = header.courseCount;
    if (int64_t(wales) * courses > kMaxOptimizedRunInNodes)
        return {};

    const QByteArray key
        = cache ? runInModelKey(design, header, guideBars, directions) : QByteArray();
    std::optional<Tricot> built;
    const Tricot *measured = nullptr;
    if (cache && cache->model && cache->key == key) {
        // The kept model's yarns have the same sizes as the design's: they are in the key.
        measured = &*cache->model;
        directions = cache->directionsAfter;
    } else {
        // The model is measured in millimetres.
        built.emplace(wales, courses, 10.0 / header.coursesPerCm, 25.4 / double(header.gauge));
        Tricot &model = *built;
        model.Build(design, guideBars.runInBrightness, progress, directions);
        if (StopRequested(progress))
            return {};
        model.Relax(true, false, progress, guideBars.noTension);
        if (StopRequested(progress))
            return {};
        model.ScatterFromBelow();
        if (cache) {
            auto document = std::make_shared<const TexLayer>(design);
            model.RebindYarns(design.yarns.data(), design.yarns.size(), document->yarns.data());
            cache->key = key;
            cache->document = std::move(document);
            cache->model = std::move(built);
            cache->directionsAfter = directions;
            measured = &*cache->model;
        } else {
            measured = &model;
        }
    }
    const Tricot &model = *measured;

    const int32_t formula = guideBars.formula[size_t(barIndex)];
    std::vector<int32_t> values(size_t(courses), 0);
    for (int32_t c = 0; c < courses; ++c) {
        int64_t sum = 0;
        int64_t count = 0;
        for (int32_t w = 0; w < wales; ++w) {
            const int32_t value
                = model.OptimizedRunInAt(model.NodeAt(w, c), w, formula, barIndex, c);
            if (value != 0) {
                sum += value;
                ++count;
            }
        }
        values[size_t(c)] = count > 0 ? int32_t(sum / count) : 0;
    }

    // Where the yarn floats the model has no loop to measure around; the formula knows the
    // float's length.
    const size_t laps = bar.lapping.size();
    const BarYarnMeans means = ThreadedYarnMeans(bar, design.yarns);
    auto loops = [&bar, laps](int64_t c) {
        if (laps == 0)
            return false;
        const ChainLink &link = bar.lapping[size_t(c % int64_t(laps))];
        return link.x0 != link.x1;
    };
    for (int32_t c = 0; c < courses; ++c) {
        if (loops(c) && loops(int64_t(c) + 1))
            continue;
        const double length = CourseLength(bar, c, means.filaments, formula, header.gauge,
                                           header.coursesPerCm, means.denier);
        values[size_t(c)] = TruncToInt32(length * kCoursesPerRack);
    }
    return values;
}

void SetDefaultWithOptimization(Tex &bar, int32_t barIndex, const TexLayer &design,
                                const MainData &header, const GuideBarData &guideBars,
                                DirectionMemory &directions, Progress *progress)
{
    const std::vector<int32_t> values
        = OptimizedCalcRunIns(bar, barIndex, design, header, guideBars, directions, progress);
    const size_t courses = std::min(values.size(), bar.courseStates.size());
    for (size_t c = 0; c < courses; ++c)
        bar.courseStates[c].calcRunIn = values[c];
}

} // namespace warplon
