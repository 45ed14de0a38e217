#include "simulation/yarnfile.h"

#include "base/bytestream.h"
#include "base/safefile.h"

namespace warplon {

namespace {

// The name, code, maker, remark and extra text live in 256-byte zero-terminated fields.
constexpr qsizetype kYarnTextField = 256;

void WriteFieldText(ByteWriter &writer, const QByteArray &text)
{
    writer.writeLString(bufferText(text, kYarnTextField));
}

bool ReadFieldText(ByteReader &reader, QByteArray &text)
{
    return reader.readLString(text, kYarnTextField - 1);
}

} // namespace

void WriteYarnFileRecord(ByteWriter &writer, const Yarn &yarn)
{
    writer.writeI32(kYarnFileVersion);
    WriteFieldText(writer, yarn.name);
    WriteFieldText(writer, yarn.code);
    WriteFieldText(writer, yarn.extraText);
    WriteFieldText(writer, yarn.maker);
    WriteFieldText(writer, yarn.remark);
    writer.writeI32(yarn.yarnNumber);
    writer.writeF64(yarn.yarnValue);
    writer.writeF64(yarn.denier);
    writer.writeI32(yarn.filaments);
    writer.writeU8(yarn.material);
    writer.writeU8(yarn.optical);
    writer.writeF64(yarn.stretch);
    writer.writeF64(yarn.gloss);
    writer.writeF64(yarn.translucency);
    writer.writeI32(yarn.color);
    writer.writeU8(yarn.reserved);
    writer.writeU8(yarn.hidden);
    writer.writeI32(int32_t(yarn.yarnImage.size()));
    writer.writeBytes(yarn.yarnImage);
    writer.writeLString(yarn.yarnText1);
    writer.writeLString(yarn.yarnText2);
}

bool ReadYarnFileRecord(ByteReader &reader, Yarn &yarn)
{
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    if (version < 1)
        return true;

    // Read into a fresh yarn so that a damaged file changes nothing; fields an older version
    // lacks keep the defaults of a new yarn.
    Yarn read;
    if (version >= 2 && (!ReadFieldText(reader, read.name) || !ReadFieldText(reader, read.code)))
        return false;
    if (!ReadFieldText(reader, read.extraText) || !ReadFieldText(reader, read.maker)
        || !ReadFieldText(reader, read.remark) || !reader.readI32(read.yarnNumber))
        return false;
    if (version >= 2 && !reader.readF64(read.yarnValue))
        return false;
    if (!reader.readF64(read.denier) || !reader.readI32(read.filaments)
        || !reader.readU8(read.material) || !reader.readU8(read.optical)
        || !reader.readF64(read.stretch) || !reader.readF64(read.gloss)
        || !reader.readF64(read.translucency) || !reader.readI32(read.color)
        || !reader.readU8(read.reserved) || !reader.readU8(read.hidden))
        return false;
    int32_t imageSize = 0;
    if (!reader.readI32(imageSize) || !reader.expectRecords(imageSize, 1)
        || !reader.readBytes(imageSize, read.yarnImage))
        return false;
    if (version >= 3
        && (!reader.readLString(read.yarnText1) || !reader.readLString(read.yarnText2)))
        return false;
    yarn = std::move(read);
    return true;
}

bool SaveYarnFile(const QString &path, const Yarn &yarn)
{
    ByteWriter writer;
    WriteYarnFileRecord(writer, yarn);
    return WriteFileAtomically(path, writer.data());
}

bool LoadYarnFile(const QString &path, Yarn &yarn)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    ByteReader reader(bytes);
    return ReadYarnFileRecord(reader, yarn);
}

} // namespace warplon
