// Feeds arbitrary bytes to the cost block reader (design files and ".cst" files).
#include "simulation/costdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    warplon::ByteReader in(QByteArrayView(data, qsizetype(size)));
    warplon::CostData cost;
    warplon::ReadCostBlock(in, cost);
    return 0;
}
