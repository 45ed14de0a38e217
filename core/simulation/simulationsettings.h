#pragma once

#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the simulation settings.
constexpr int32_t kSimulationSettingsBlockVersion = 5;

// Spandex effects of the simulation.
enum SpandexEffect : int32_t {
    EffectNone = 0,
    EffectSolid = 1,
    EffectWave = 2,
};

// The settings of the simulation window; the zoom factor is zoomUnits + 0.1 * zoomTenths.
struct SimulationSettings
{
    int32_t version = kSimulationSettingsBlockVersion; // block version last read
    double coursesPerCm = 20.0;                        // finished fabric
    double walesPerInch = 28.0;                        // finished fabric, derived
    double widthInch = 105.0;                          // finished fabric
    double pxPerWale = 0.0;                            // derived at the chosen zoom
    double pxPerCourse = 0.0;                          // derived at the chosen zoom
    int32_t repeatsDown = 1;
    int32_t repeatsAcross = 1;
    uint8_t backView = 0;
    uint8_t colorOnColor = 0;
    int32_t fuzz = 0;                   // yarn scatter 0..99
    int32_t backgroundColor = 0x808080; // TColor
    int32_t zoomUnits = 4;
    int32_t zoomTenths = 0;
    uint8_t optimize = 1;
    int32_t effect = EffectNone;
    int32_t power = 4; // spandex effect intensity
    uint8_t invertShade = 0;
    bool operator==(const SimulationSettings &) const = default;
};

// Appends the settings block, version 5: the five densities and pixel pitches, the repeat
// counts, backView and colorOnColor, fuzz, backgroundColor, zoom units and tenths, effect and
// power, then invertShade and optimize.
void WriteSimulationSettingsBlock(ByteWriter &writer, const SimulationSettings &settings);

// Reads a settings block of any version written so far into settings reset to their defaults
// (fields an older version lacks keep them); settings.version gets the stored block version.
// Version 1 holds everything up to zoomUnits except colorOnColor, 2 adds zoomTenths, 3 the
// spandex effect and power, 4 invertShade and optimize, 5 colorOnColor (stored after
// backView). Stops at the first read that does not fit and returns false, keeping what was read
// before it.
bool ReadSimulationSettingsBlock(ByteReader &reader, SimulationSettings &settings);

} // namespace warplon
