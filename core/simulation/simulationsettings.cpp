#include "simulation/simulationsettings.h"

#include "base/bytestream.h"

namespace warplon {

void WriteSimulationSettingsBlock(ByteWriter &writer, const SimulationSettings &settings)
{
    writer.writeI32(kSimulationSettingsBlockVersion);
    writer.writeF64(settings.coursesPerCm);
    writer.writeF64(settings.walesPerInch);
    writer.writeF64(settings.widthInch);
    writer.writeF64(settings.pxPerWale);
    writer.writeF64(settings.pxPerCourse);
    writer.writeI32(settings.repeatsDown);
    writer.writeI32(settings.repeatsAcross);
    writer.writeU8(settings.backView);
    writer.writeU8(settings.colorOnColor);
    writer.writeI32(settings.fuzz);
    writer.writeI32(settings.backgroundColor);
    writer.writeI32(settings.zoomUnits);
    writer.writeI32(settings.zoomTenths);
    writer.writeI32(settings.effect);
    writer.writeI32(settings.power);
    writer.writeU8(settings.invertShade);
    writer.writeU8(settings.optimize);
}

bool ReadSimulationSettingsBlock(ByteReader &reader, SimulationSettings &settings)
{
    settings = SimulationSettings();
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    settings.version = version;
    if (version < 1)
        return true;

    // Every version appended its fields at the end, except colorOnColor: version 5 put it
    // right after backView, so it is read there and only for that version.
    if (!reader.readF64(settings.coursesPerCm) || !reader.readF64(settings.walesPerInch)
        || !reader.readF64(settings.widthInch) || !reader.readF64(settings.pxPerWale)
        || !reader.readF64(settings.pxPerCourse) || !reader.readI32(settings.repeatsDown)
        || !reader.readI32(settings.repeatsAcross) || !reader.readU8(settings.backView))
        return false;
    if (version >= 5 && !reader.readU8(settings.colorOnColor))
        return false;
    if (!reader.readI32(settings.fuzz) || !reader.readI32(settings.backgroundColor)
        || !reader.readI32(settings.zoomUnits))
        return false;
    if (version >= 2 && !reader.readI32(settings.zoomTenths))
        return false;
    if (version >= 3 && (!reader.readI32(settings.effect) || !reader.readI32(settings.power)))
        return false;
    if (version >= 4 && (!reader.readU8(settings.invertShade) || !reader.readU8(settings.optimize)))
        return false;
    return true;
}

} // namespace warplon
