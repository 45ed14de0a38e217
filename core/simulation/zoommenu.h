#pragma once

// The zoom steps of the simulation picture's menu.

#include "simulation/simulationsettings.h"

#include <QString>

#include <array>

namespace warplon {

struct ZoomStep
{
    const char *caption; // "X 1.5"
    const char *text;    // what the zoom edit shows: "1.5"
    int32_t units;
    int32_t tenths;
};

constexpr std::array<ZoomStep, 7> kZoomSteps{{{"X 1", "1.0", 1, 0},
                                              {"X 1.2", "1.2", 1, 2},
                                              {"X 1.5", "1.5", 1, 5},
                                              {"X 2", "2.0", 2, 0},
                                              {"X 4", "4.0", 4, 0},
                                              {"X 8", "8.0", 8, 0},
                                              {"X 16", "16.0", 16, 0}}};

// The step that matches the settings' zoom, which the menu checks; -1 for any other zoom.
int ZoomStepIndex(const SimulationSettings &settings);

} // namespace warplon
