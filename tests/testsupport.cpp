#include "testsupport.h"

#include "bitmap/corvexbitmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

namespace warplon::test {

Bytes &Bytes::raw(const QByteArray &bytes)
{
    m_data.append(bytes);
    return *this;
}

TempDir::TempDir()
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/warplon-test-XXXXXX"));
    dir.setAutoRemove(false);
    m_path = dir.path();
}

TempDir::~TempDir()
{
    QDir(m_path).removeRecursively();
}

QString TempDir::file(const QString &name) const
{
    return m_path + QLatin1Char('/') + name;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray corrupted(const QByteArray &bytes, std::mt19937 &random, int flips)
{
    QByteArray result = bytes;
    if (result.isEmpty())
        return result;
    std::uniform_int_distribution<qsizetype> position(0, result.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < flips; ++i)
        result[position(random)] = char(value(random));
    return result;
}

QByteArray zlib(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray packed(qsizetype(length), '\0');
    if (compress(reinterpret_cast<Bytef *>(packed.data()), &length,
                 reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()))
        != Z_OK)
        return {};
    packed.truncate(qsizetype(length));
    return packed;
}

QByteArray pixelBytes(const TCorvexBitmap &bitmap, int x, int y)
{
    return QByteArray(reinterpret_cast<const char *>(bitmap.image().constScanLine(y)) + 3 * x, 3);
}

Tex BarWithLaps(std::initializer_list<std::pair<int32_t, int32_t>> laps)
{
    Tex bar;
    bar.SetCourseCount(int32_t(laps.size()));
    size_t c = 0;
    for (const auto &[x0, x1] : laps)
        bar.lapping[c++] = {x0, x1, 0};
    bar.Normalize();
    return bar;
}

} // namespace warplon::test
