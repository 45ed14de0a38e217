// Feeds arbitrary bytes to the simulation picture block reader, with each file version's mode.
#include "simulation/simulationimage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int32_t version = int32_t(data[0] % 5) + 1;
    warplon::ByteReader in(QByteArrayView(data + 1, qsizetype(size - 1)));
    warplon::TCorvexBitmap picture;
    warplon::ReadSimulationImageBlock(in, picture, version);
    return 0;
}
