#include "color/usercolor.h"

#include "base/bytestream.h"
#include "base/safefile.h"
#include "color/palette.h"

namespace warplon {

namespace {

// A collection of a million colours is far beyond any real one; a larger file is not ours.
constexpr qint64 kMaxUserColorFileSize = qint64(4) + qint64(kUserColorRecordSize) * 1000000;

bool readUserColor(ByteReader &reader, UserColor &color)
{
    QByteArray name;
    reader.readFixedText(kUserColorNameSize, name);
    // The field is a zero-terminated buffer: 22 characters without a terminator would run into
    // the kind, so at most 21 count.
    color.name = bufferText(name, kUserColorNameSize);
    reader.readI32(color.kind);
    reader.readU16(color.page);
    reader.readU8(color.number);
    reader.readU8(color.color.rgbBlue);
    reader.readU8(color.color.rgbGreen);
    reader.readU8(color.color.rgbRed);
    reader.readU8(color.color.rgbReserved);
    return reader.ok();
}

} // namespace

bool ReadUserColors(ByteReader &reader, std::vector<UserColor> &colors)
{
    colors.clear();
    int32_t count = 0;
    if (!reader.readI32(count))
        return false;
    if (count < 1)
        return true;
    if (!reader.expectRecords(count, kUserColorRecordSize))
        return false;
    colors.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        UserColor color;
        if (!readUserColor(reader, color)) {
            colors.clear();
            return false;
        }
        colors.push_back(color);
    }
    return true;
}

void WriteUserColors(ByteWriter &writer, const std::vector<UserColor> &colors)
{
    writer.writeI32(int32_t(colors.size()));
    for (const UserColor &color : colors) {
        writer.writeFixedText(color.name, kUserColorNameSize);
        writer.writeI32(color.kind);
        writer.writeU16(color.page);
        writer.writeU8(color.number);
        writer.writeU8(color.color.rgbBlue);
        writer.writeU8(color.color.rgbGreen);
        writer.writeU8(color.color.rgbRed);
        writer.writeU8(color.color.rgbReserved);
    }
}

bool LoadUserColorFile(const QString &fileName, std::vector<UserColor> &colors, QString *error)
{
    colors.clear();
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxUserColorFileSize)) {
        if (error)
            *error = QStringLiteral("cannot read the user colour file %1").arg(fileName);
        return false;
    }
    ByteReader reader(bytes);
    if (!ReadUserColors(reader, colors)) {
        if (error)
            *error
                = QStringLiteral("the user colour file %1 is damaged or cut short").arg(fileName);
        return false;
    }
    return true;
}

bool SaveUserColorFile(const QString &fileName, const std::vector<UserColor> &colors,
                       QString *error)
{
    ByteWriter writer;
    WriteUserColors(writer, colors);
    QString reason;
    if (WriteFileAtomically(fileName, writer.data(), &reason))
        return true;
    if (error)
        *error = QStringLiteral("cannot write the user colour file %1: %2").arg(fileName, reason);
    return false;
}

int LoadAllOnPalette(const std::vector<UserColor> &colors, TPalette &palette, int chosenIndex,
                     const QByteArray &fileName, const std::function<void(int index)> &beforeStore)
{
    if (chosenIndex < 0)
        return 0;
    int stored = 0;
    for (const UserColor &color : colors) {
        const int index = chosenIndex + stored;
        if (index > kLastUserColorEntry)
            break;
        if (beforeStore)
            beforeStore(index);
        palette.SetUserColor(index, uint16_t(color.kind), color.page, color.number,
                             color.color.rgbRed, color.color.rgbGreen, color.color.rgbBlue,
                             fileName, color.name);
        ++stored;
    }
    return stored;
}

} // namespace warplon
