#include "base/safefile.h"

#include <QFile>
#include <QSaveFile>

namespace warplon {

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Never fall back to writing over the old file in place: that is exactly the half-written
    // file this function exists to avoid.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool ReadWholeFile(const QString &path, QByteArray &bytes, qint64 maxSize)
{
    QFile file(path);
    if (maxSize < 0 || !file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > maxSize)
        return false;

    // Read in chunks rather than trusting size(): a file that grows while it is read, or a
    // device that reports no size, is still held to maxSize.
    constexpr qint64 kChunk = 1 << 16;
    QByteArray result;
    result.reserve(qsizetype(file.size()));
    char chunk[kChunk];
    for (;;) {
        const qint64 got = file.read(chunk, kChunk);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (result.size() + got > maxSize)
            return false;
        result.append(chunk, qsizetype(got));
    }
    bytes = result;
    return true;
}

} // namespace warplon
