#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <random>

namespace warplon::test {

// Builds byte strings by hand from a layout table, independently of the writers under test.
class Bytes
{
public:
    Bytes &i32(int32_t v);
    Bytes &u32(uint32_t v);
    Bytes &u8(uint8_t v);
    Bytes &f64(double v);
    Bytes &raw(const QByteArray &bytes);
    Bytes &zeros(int count);
    Bytes &zstring(const QByteArray &text); // int32 n, n bytes, 0
    Bytes &lstring(const QByteArray &text); // int32 n, n bytes
    const QByteArray &data() const { return m_data; }
    operator QByteArray() const { return m_data; }

private:
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

} // namespace warplon::test
