#pragma once

// The designs the benchmarks measure.

#include "app/design.h"
#include "knit/samples.h"

namespace warplon::bench {

// A four-bar power net stretched to the asked repeat: the lapping pattern repeated down the
// courses, the threading repeat forced to `wales` needles; at 48 x 96 the typical design.
inline void MakeFourBarDesign(Design &design, int32_t wales, int32_t courses)
{
    MakeNewDesign(design);
    MakeSample(QStringLiteral("power-net"), design.header, design.document);
    for (Tex &bar : design.document.bars) {
        const std::vector<ChainLink> pattern = bar.lapping;
        bar.SetCourseCount(courses);
        for (int32_t c = 0; c < courses; ++c)
            bar.lapping[size_t(c)] = pattern[size_t(c) % pattern.size()];
        bar.Normalize();
    }
    design.header.courseCount = courses;
    design.document.optimizeRepeat = 0;
    design.document.completeNeedle = wales;
    design.simulation.zoomUnits = 4;
    design.simulation.zoomTenths = 0;
}

} // namespace warplon::bench
