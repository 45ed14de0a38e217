#include "knit/treatmentdata.h"

#include "base/bytestream.h"

namespace warplon {

namespace {

int32_t KnownMethod(int32_t method)
{
    return method >= TreatmentNone && method <= TreatmentLoopRaising ? method : TreatmentNone;
}

} // namespace

void TreatmentData::Resize(int32_t count)
{
    courseFlags.resize(size_t(count > 0 ? count : 0), {0, 0, 0, 0});
}

void TreatmentData::Reset()
{
    method = TreatmentNone;
    courseFlags.clear();
}

void WriteTreatmentBlock(ByteWriter &writer, TreatmentData &data, int32_t lappingCount)
{
    if (int64_t(data.courseFlags.size()) != int64_t(lappingCount))
        data.Resize(lappingCount);
    writer.writeI32(kTreatmentBlockVersion);
    writer.writeI32(KnownMethod(data.method));
    writer.writeI32(int32_t(data.courseFlags.size()));
    for (const auto &flags : data.courseFlags)
        writer.writeBytes(QByteArrayView(reinterpret_cast<const char *>(flags.data()), 4));
}

bool ReadTreatmentBlock(ByteReader &reader, TreatmentData &data, int32_t lappingCount)
{
    data.Reset();
    int32_t version = 0;
    if (reader.readI32(version)) {
        int32_t method = TreatmentNone;
        if (version > 0 && reader.readI32(method))
            data.method = KnownMethod(method);
        // Versions below 2 keep a word after the method (or after the version alone) that
        // nothing uses.
        if (version < 2)
            reader.skip(4);
        int32_t count = 0;
        if (version >= 2 && reader.readI32(count) && reader.expectRecords(count, 4)) {
            data.courseFlags.resize(size_t(count));
            for (auto &flags : data.courseFlags)
                reader.readInto(flags.data(), 4);
        }
    }
    // The flags always follow the lapping of the bar being edited, whatever the file held.
    data.Resize(lappingCount);
    return reader.ok();
}

bool ReadOldTreatmentBlock(ByteReader &reader, TreatmentData &data)
{
    data.Reset();
    int32_t method = TreatmentNone;
    if (reader.readI32(method))
        data.method = KnownMethod(method);
    reader.skip(4);
    return reader.ok();
}

} // namespace warplon
