#pragma once

// Entries of the "Simulation" and "Simulation Adv" sections of the language files.

namespace warplon {

enum SimulationText : int {
    SimCaption = 0,
    SimRunHint = 1,
    SimZoomLabel = 2,
    SimWidthLabel = 3,
    SimDensityLabel = 4,
    SimScatterLabel = 5,
    SimBackView = 6,
    SimBackground = 7,
    SimAdvanced = 8,
    SimZoomMenu = 9,
    SimWholeViewer = 10,
    SimCopy = 11,
    SimBuildMessage = 12,
    SimRelaxMessage = 13,
    SimPaintMessage = 14,
    SimTreatmentMessage = 15,
    SimSave = 16,
    SimEffectMessage = 17,
    SimMapping = 18,
    SimReliefMessage = 19,
    SimLive = 20,
    SimShowFloats = 21,
};

enum SimulationAdvText : int {
    AdvCaption = 0,
    AdvNoOptimization = 1,
    AdvEffect = 2,
    AdvEffectNone = 3,
    AdvEffectSolid = 4,
    AdvEffectWave = 5,
    AdvIntensity = 6,
    AdvInvertShade = 7,
    AdvColorOnColor = 8,
};

// Messages of the main window's section used by the simulation window.
constexpr int kMainWholeViewerTooLarge = 77;
constexpr int kMainNoMappingProgram = 78;

} // namespace warplon
