#include "bitmap/designwindowdata.h"

#include "base/bytestream.h"

namespace warplon {

namespace {

int32_t KnownBackground(int32_t index)
{
    return index >= ChartBlack && index <= ChartWhite ? index : ChartBlack;
}

} // namespace

void WriteDesignWindowBlock(ByteWriter &writer, const DesignWindowData &data)
{
    writer.writeI32(kDesignWindowBlockVersion);
    writer.writeI32(KnownBackground(data.chartBackground));
}

bool ReadDesignWindowBlock(ByteReader &reader, DesignWindowData &data)
{
    data = DesignWindowData();
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    int32_t index = ChartBlack;
    if (version > 0 && !reader.readI32(index))
        return false;
    data.chartBackground = KnownBackground(index);
    return true;
}

} // namespace warplon
