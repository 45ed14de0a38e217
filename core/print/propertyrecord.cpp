#include "print/propertyrecord.h"

#include "base/bytestream.h"

namespace warplon {

namespace {

// The smallest zstring: its length word and the terminating zero.
constexpr int64_t kMinZStringBytes = 5;

} // namespace

void WritePropertyBlock(ByteWriter &writer, const PropertyRecord &record)
{
    writer.writeI32(kPropertyBlockVersion);
    writer.writeZString(record.machineName);
    writer.writeZString(record.knittingDate);
    writer.writeZString(record.department);
    writer.writeI32(record.rpm);
    writer.writeF64(record.spareValue);
    writer.writeF64(record.hours);
    writer.writeI32(record.efficiency);
    writer.writeI32(record.countOfW);
    writer.writeI32(record.spareCount);
    writer.writeF64(record.testWidth);
    writer.writeF64(record.testHeight);
    writer.writeF64(record.testWeight);
    writer.writeI32(record.cutYard);
    writer.writeI32(int32_t(record.detailLines.size()));
    for (const QByteArray &line : record.detailLines)
        writer.writeZString(line);
}

bool ReadPropertyBlock(ByteReader &reader, PropertyRecord &record)
{
    record = PropertyRecord();
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    record.version = version;

    // The department came with version 5, between the date and the figures; the test piece
    // with version 2; the detail memo with version 4. Every version below 3 (a version-0 block
    // too) keeps 16 bytes after the figures that nothing reads any more.
    if (version >= 1) {
        if (!reader.readZString(record.machineName) || !reader.readZString(record.knittingDate))
            return false;
    }
    if (version >= 5 && !reader.readZString(record.department))
        return false;
    if (version >= 1) {
        if (!reader.readI32(record.rpm) || !reader.readF64(record.spareValue)
            || !reader.readF64(record.hours) || !reader.readI32(record.efficiency)
            || !reader.readI32(record.countOfW) || !reader.readI32(record.spareCount))
            return false;
    }
    if (version >= 2) {
        if (!reader.readF64(record.testWidth) || !reader.readF64(record.testHeight)
            || !reader.readF64(record.testWeight) || !reader.readI32(record.cutYard))
            return false;
    }
    if (version < 3 && !reader.skip(16))
        return false;
    if (version >= 4) {
        int32_t count = 0;
        if (!reader.readI32(count) || !reader.expectRecords(count, kMinZStringBytes))
            return false;
        record.detailLines.reserve(size_t(count));
        for (int32_t i = 0; i < count; ++i) {
            QByteArray line;
            if (!reader.readZString(line))
                return false;
            record.detailLines.push_back(line);
        }
    }
    return true;
}

} // namespace warplon
