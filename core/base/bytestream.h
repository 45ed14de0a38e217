#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace warplon {

// Reads little-endian values from a byte range with every access checked against its end.
// The first read that does not fit makes the reader fail for good: later reads return false and
// leave their targets untouched, so a record read from a short file keeps the values it had when
// the data ran out.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView data, qsizetype position = 0);

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    qsizetype position() const { return m_position; }
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_ok ? m_data.size() - m_position : 0; }

    // Moves to an absolute position; a position past the end fails the reader.
    bool seek(qsizetype position);
    bool skip(qsizetype count);

    bool readI32(int32_t &value);
    bool readU32(uint32_t &value);
    bool readU16(uint16_t &value);
    bool readU8(uint8_t &value);
    bool readF64(double &value);
    bool readBytes(qsizetype count, QByteArray &out);
    // Copies raw bytes straight into caller memory.
    bool readInto(void *destination, qsizetype count);

    // True when count records of bytesEach bytes can still be read; a negative count or one the
    // rest of the data cannot hold fails the reader, so no caller allocates for a hostile count.
    bool expectRecords(int64_t count, int64_t bytesEach);

    // zstring: int32 length n, n characters and a terminating zero. The text ends at the first
    // zero byte, as it would in the fixed character buffer it is read into.
    bool readZString(QByteArray &text);
    // lstring: int32 length n and n characters. Cut at the first zero byte and to maxLength
    // characters (the fixed buffers of yarn texts hold 255); a negative maxLength keeps all.
    bool readLString(QByteArray &text, qsizetype maxLength = -1);
    // A zero-padded text field of fixed size, cut at its first zero byte.
    bool readFixedText(qsizetype fieldSize, QByteArray &text);

private:
    QByteArrayView m_data;
    qsizetype m_position = 0;
    bool m_ok = true;
};

// Appends little-endian values to a growing byte array.
class ByteWriter
{
public:
    const QByteArray &data() const { return m_data; }
    QByteArray &data() { return m_data; }
    qsizetype position() const { return m_data.size(); }

    void writeI32(int32_t value);
    void writeU32(uint32_t value);
    void writeU16(uint16_t value);
    void writeU8(uint8_t value);
    void writeF64(double value);
    void writeBytes(QByteArrayView bytes);
    // Zero bytes up to an absolute position (no effect when already past it).
    void padTo(qsizetype position);

    void writeZString(QByteArrayView text);
    void writeLString(QByteArrayView text);
    // The text cut to fieldSize - 1 characters, zero-padded to fieldSize bytes.
    void writeFixedText(QByteArrayView text, qsizetype fieldSize);

private:
    QByteArray m_data;
};

// A text as a fixed zero-terminated buffer of bufferSize bytes holds it: up to the first zero
// byte and at most bufferSize - 1 characters.
QByteArray bufferText(QByteArrayView text, qsizetype bufferSize);

} // namespace warplon
