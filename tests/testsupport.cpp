#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>

namespace warplon::test {

Bytes &Bytes::i32(int32_t v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    m_data.append(b, 4);
    return *this;
}

Bytes &Bytes::u32(uint32_t v)
{
    char b[4];
    qToLittleEndian<quint32>(v, b);
    m_data.append(b, 4);
    return *this;
}

Bytes &Bytes::u8(uint8_t v)
{
    m_data.append(char(v));
    return *this;
}

Bytes &Bytes::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToLittleEndian<quint64>(bits, b);
    m_data.append(b, 8);
    return *this;
}

Bytes &Bytes::raw(const QByteArray &bytes)
{
    m_data.append(bytes);
    return *this;
}

Bytes &Bytes::zeros(int count)
{
    m_data.append(count, '\0');
    return *this;
}

Bytes &Bytes::zstring(const QByteArray &text)
{
    i32(int32_t(text.size()));
    m_data.append(text);
    m_data.append('\0');
    return *this;
}

Bytes &Bytes::lstring(const QByteArray &text)
{
    i32(int32_t(text.size()));
    m_data.append(text);
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

} // namespace warplon::test
