// Feeds arbitrary bytes to the design-document block reader (also the undo snapshot reader).
#include "knit/documentblock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    warplon::ByteReader in(QByteArrayView(data, qsizetype(size)));
    warplon::TexLayer document;
    warplon::ReadDocument(in, document, 102);
    return 0;
}
