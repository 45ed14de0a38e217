#include "knit/headerblock.h"

#include "base/bytestream.h"

namespace warplon {

void WriteHeaderBlock(ByteWriter &writer, const MainData &header)
{
    writer.writeI32(kHeaderBlockVersion);
    writer.writeZString(header.fileName);
    writer.writeZString(header.note1);
    writer.writeZString(header.note2);
    writer.writeZString(header.note3);
    writer.writeI32(header.barCount);
    writer.writeI32(header.courseCount);
    writer.writeI32(header.gauge);
    writer.writeF64(header.coursesPerCm);
    writer.writeF64(header.widthInch);
}

bool ReadHeaderBlock(ByteReader &reader, MainData &header)
{
    header.fileName.clear();
    header.note1.clear();
    header.note2.clear();
    header.note3.clear();
    header.version = kHeaderBlockVersion;

    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    if (version < 1)
        return true;

    // The texts are kept at their full stored length (up to the first zero byte) rather than cut
    // to 255 characters: the writer never limits them, and a long path in fileName must survive
    // a save and load unchanged. readZString checks the stored length against the data left, so
    // a damaged length cannot make it allocate more than the file holds.
    if (!reader.readZString(header.fileName) || !reader.readZString(header.note1))
        return false;
    if (version >= 2 && !reader.readZString(header.note2))
        return false;
    return reader.readZString(header.note3) && reader.readI32(header.barCount)
           && reader.readI32(header.courseCount) && reader.readI32(header.gauge)
           && reader.readF64(header.coursesPerCm) && reader.readF64(header.widthInch);
}

} // namespace warplon
