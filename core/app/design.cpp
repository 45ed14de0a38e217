#include "app/design.h"

#include <algorithm>

namespace warplon {

void StartNewDocument(const MainData &header, TexLayer &document)
{
    document = TexLayer{};
    for (int32_t b = 0; b < std::clamp(header.barCount, 0, kMaxBars); ++b)
        document.AddBar();
    document.SetCourseCount(header.courseCount);
}

void MakeNewDesign(Design &design, const MainData &startValues)
{
    design.header = MainData{};
    design.header.barCount = startValues.barCount;
    design.header.courseCount = startValues.courseCount;
    design.header.gauge = startValues.gauge;
    design.header.coursesPerCm = startValues.coursesPerCm;
    design.header.widthInch = startValues.widthInch;
    StartNewDocument(design.header, design.document);
    design.properties = PropertyRecord{};
    design.treatment.Reset();
    design.guideBars = GuideBarData{};
    design.simulation = SimulationSettings{};
    design.picture.Free();
    design.designWindow = DesignWindowData{};
    design.cost = CostData{};
    design.currentBar = 0;
}

} // namespace warplon
