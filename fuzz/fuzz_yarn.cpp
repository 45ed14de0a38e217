// Feeds arbitrary bytes to the yarn file reader.
#include "simulation/yarnfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    warplon::ByteReader in(QByteArrayView(data, qsizetype(size)));
    warplon::Yarn yarn;
    warplon::ReadYarnFileRecord(in, yarn);
    return 0;
}
