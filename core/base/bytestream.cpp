#include "base/bytestream.h"

#include <QtEndian>

#include <cstring>

namespace warplon {

ByteReader::ByteReader(QByteArrayView data, qsizetype position)
    : m_data(data)
{
    seek(position);
}

bool ByteReader::seek(qsizetype position)
{
    if (!m_ok || position < 0 || position > m_data.size()) {
        m_ok = false;
        return false;
    }
    m_position = position;
    return true;
}

bool ByteReader::skip(qsizetype count)
{
    if (count < 0 || count > remaining()) {
        m_ok = false;
        return false;
    }
    m_position += count;
    return true;
}

bool ByteReader::readInto(void *destination, qsizetype count)
{
    if (count < 0 || count > remaining()) {
        m_ok = false;
        return false;
    }
    if (count > 0)
        std::memcpy(destination, m_data.data() + m_position, size_t(count));
    m_position += count;
    return true;
}

bool ByteReader::readI32(int32_t &value)
{
    uchar bytes[4];
    if (!readInto(bytes, 4))
        return false;
    value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool ByteReader::readU32(uint32_t &value)
{
    uchar bytes[4];
    if (!readInto(bytes, 4))
        return false;
    value = qFromLittleEndian<quint32>(bytes);
    return true;
}

bool ByteReader::readU16(uint16_t &value)
{
    uchar bytes[2];
    if (!readInto(bytes, 2))
        return false;
    value = qFromLittleEndian<quint16>(bytes);
    return true;
}

bool ByteReader::readU8(uint8_t &value)
{
    return readInto(&value, 1);
}

bool ByteReader::readF64(double &value)
{
    uchar bytes[8];
    if (!readInto(bytes, 8))
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(bytes);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool ByteReader::readBytes(qsizetype count, QByteArray &out)
{
    if (count < 0 || count > remaining()) {
        m_ok = false;
        return false;
    }
    out = m_data.sliced(m_position, count).toByteArray();
    m_position += count;
    return true;
}

bool ByteReader::expectRecords(int64_t count, int64_t bytesEach)
{
    if (!m_ok || count < 0 || bytesEach < 0
        || (bytesEach > 0 && count > int64_t(remaining()) / bytesEach)) {
        m_ok = false;
        return false;
    }
    return true;
}

bool ByteReader::readZString(QByteArray &text)
{
    int32_t length = 0;
    if (!readI32(length) || !expectRecords(int64_t(length) + 1, 1))
        return false;
    QByteArray raw;
    readBytes(length, raw);
    skip(1);
    text = bufferText(raw, raw.size() + 1);
    return true;
}

bool ByteReader::readLString(QByteArray &text, qsizetype maxLength)
{
    int32_t length = 0;
    if (!readI32(length) || !expectRecords(length, 1))
        return false;
    QByteArray raw;
    readBytes(length, raw);
    text = bufferText(raw, maxLength < 0 ? raw.size() + 1 : maxLength + 1);
    return true;
}

bool ByteReader::readFixedText(qsizetype fieldSize, QByteArray &text)
{
    QByteArray raw;
    if (!readBytes(fieldSize, raw))
        return false;
    text = bufferText(raw, fieldSize);
    return true;
}

void ByteWriter::writeI32(int32_t value)
{
    uchar bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    m_data.append(reinterpret_cast<const char *>(bytes), 4);
}

void ByteWriter::writeU32(uint32_t value)
{
    uchar bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    m_data.append(reinterpret_cast<const char *>(bytes), 4);
}

void ByteWriter::writeU16(uint16_t value)
{
    m_data.append(char(value & 0xff));
    m_data.append(char(value >> 8));
}

void ByteWriter::writeU8(uint8_t value)
{
    m_data.append(char(value));
}

void ByteWriter::writeF64(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    uchar bytes[8];
    qToLittleEndian<quint64>(bits, bytes);
    m_data.append(reinterpret_cast<const char *>(bytes), 8);
}

void ByteWriter::writeBytes(QByteArrayView bytes)
{
    m_data.append(bytes);
}

void ByteWriter::padTo(qsizetype position)
{
    if (position > m_data.size())
        m_data.append(position - m_data.size(), '\0');
}

void ByteWriter::writeZString(QByteArrayView text)
{
    writeI32(int32_t(text.size()));
    writeBytes(text);
    writeU8(0);
}

void ByteWriter::writeLString(QByteArrayView text)
{
    writeI32(int32_t(text.size()));
    writeBytes(text);
}

void ByteWriter::writeFixedText(QByteArrayView text, qsizetype fieldSize)
{
    const QByteArray kept = bufferText(text, fieldSize);
    writeBytes(kept);
    m_data.append(fieldSize - kept.size(), '\0');
}

QByteArray bufferText(QByteArrayView text, qsizetype bufferSize)
{
    qsizetype length = text.indexOf('\0');
    if (length < 0)
        length = text.size();
    if (bufferSize > 0 && length > bufferSize - 1)
        length = bufferSize - 1;
    return text.first(length).toByteArray();
}

} // namespace warplon
