#include "knit/guidebarblock.h"

#include "base/bytestream.h"

namespace warplon {

void WriteGuideBarBlock(ByteWriter &writer, const GuideBarData &data)
{
    writer.writeI32(kGuideBarBlockVersion);
    writer.writeF64(data.defaultDenier);
    writer.writeI32(data.defaultFilaments);
    for (int32_t formula : data.formula)
        writer.writeI32(formula);
    for (uint8_t flag : data.noTension)
        writer.writeU8(flag);
    for (uint8_t flag : data.runInBrightness)
        writer.writeU8(flag);
    for (const QByteArray &text : data.description)
        writer.writeZString(text);
}

bool ReadGuideBarBlock(ByteReader &reader, GuideBarData &data)
{
    data = GuideBarData();
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    data.version = version;

    if (version >= 1) {
        if (!reader.readF64(data.defaultDenier) || !reader.readI32(data.defaultFilaments))
            return false;
    }
    if (version >= 2) {
        const GuideBarData defaults;
        for (size_t bar = 0; bar < data.formula.size(); ++bar) {
            if (!reader.readI32(data.formula[bar]))
                return false;
            // The run-in formula picks its yarn diameter by this index; a damaged file must not
            // send it outside the three formulas it knows.
            if (data.formula[bar] < 0 || data.formula[bar] > 2)
                data.formula[bar] = defaults.formula[bar];
        }
    }
    if (version >= 4 && !reader.readInto(data.noTension.data(), kMaxBars))
        return false;
    if (version >= 5 && !reader.readInto(data.runInBrightness.data(), kMaxBars))
        return false;
    if (version >= 3) {
        for (QByteArray &text : data.description) {
            if (!reader.readZString(text))
                return false;
        }
    }
    return true;
}

} // namespace warplon
