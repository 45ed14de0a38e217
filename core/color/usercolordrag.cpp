#include "color/usercolordrag.h"

#include "base/bytestream.h"

namespace warplon {

namespace {

// A collection's name is a file name; anything longer comes from damaged data.
constexpr qsizetype kMaxCollectionName = 4096;

} // namespace

QString UserColorDragMimeType()
{
    return QStringLiteral("application/x-warplon-user-colors");
}

QByteArray EncodeUserColorDrag(const QByteArray &collectionName,
                               const std::vector<UserColor> &colors)
{
    ByteWriter writer;
    writer.writeLString(collectionName);
    WriteUserColors(writer, colors);
    return writer.data();
}

bool DecodeUserColorDrag(const QByteArray &data, QByteArray &collectionName,
                         std::vector<UserColor> &colors)
{
    collectionName.clear();
    colors.clear();
    ByteReader reader(data);
    QByteArray name;
    if (!reader.readLString(name, kMaxCollectionName) || !ReadUserColors(reader, colors)
        || reader.remaining() != 0) {
        colors.clear();
        return false;
    }
    collectionName = name;
    return true;
}

} // namespace warplon
