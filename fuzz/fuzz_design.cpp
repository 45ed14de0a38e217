// Feeds arbitrary bytes to the design-file reader and the preview reader.
#include "knit/designfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    warplon::Design design;
    warplon::MakeNewDesign(design);
    warplon::LoadDesignFromBytes(bytes, QStringLiteral("fuzz.trc"), design.records());
    warplon::TCorvexBitmap preview;
    warplon::MainData header;
    warplon::ReadPreviewFromBytes(bytes, QStringLiteral("fuzz.trc"), preview, header);
    return 0;
}
