#pragma once

#include "knit/records.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <random>

namespace warplon {
class TCorvexBitmap;
}

namespace warplon::test {

// Builds byte strings by hand from a layout table, independently of the writers under test.
class Bytes
{
public:
    Bytes &i32(int32_t v) { return little<qint32>(v); }
    Bytes &u32(uint32_t v) { return little<quint32>(v); }
    Bytes &u16(uint16_t v) { return little<quint16>(v); }
    Bytes &u8(uint8_t v) { return raw(QByteArray(1, char(v))); }
    Bytes &f64(double v) { return little<quint64>(std::bit_cast<quint64>(v)); }
    Bytes &raw(const QByteArray &bytes);
    Bytes &zeros(int count) { return raw(QByteArray(count, '\0')); }
    Bytes &zstring(const QByteArray &text) { return lstring(text).u8(0); } // int32 n, n bytes, 0
    Bytes &lstring(const QByteArray &text) { return i32(int32_t(text.size())).raw(text); }
    const QByteArray &data() const { return m_data; }
    operator QByteArray() const { return m_data; }

private:
    template<typename T>
    Bytes &little(T v)
    {
        char b[sizeof(T)];
        qToLittleEndian<T>(v, b);
        return raw(QByteArray(b, sizeof(T)));
    }
    QByteArray m_data;
};

// A fresh temporary folder for one test, removed with the object.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    QString path() const { return m_path; }
    QString file(const QString &name) const;

private:
    QString m_path;
};

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Deterministic damage for robustness tests: `flips` bytes replaced by random values.
QByteArray corrupted(const QByteArray &bytes, std::mt19937 &random, int flips);

// The default-level zlib stream of data, as compress() makes it.
QByteArray zlib(const QByteArray &data);

// The bytes blue, green, red of pixel (x, y) of a 24-bit bitmap.
QByteArray pixelBytes(const TCorvexBitmap &bitmap, int x, int y);

// A bar of the given overlaps (x0, x1), one course each, with x2 set by the lapping rule.
Tex BarWithLaps(std::initializer_list<std::pair<int32_t, int32_t>> laps);

} // namespace warplon::test
