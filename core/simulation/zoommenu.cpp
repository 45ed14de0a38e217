#include "simulation/zoommenu.h"

namespace warplon {

int ZoomStepIndex(const SimulationSettings &settings)
{
    for (size_t i = 0; i < kZoomSteps.size(); ++i) {
        if (kZoomSteps[i].units == settings.zoomUnits
            && kZoomSteps[i].tenths == settings.zoomTenths)
            return int(i);
    }
    return -1;
}

} // namespace warplon
