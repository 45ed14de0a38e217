#pragma once

#include <QByteArray>
#include <QString>

namespace warplon {

// Writes `bytes` to `path` through a temporary file in the same folder that replaces the old file
// only once every byte is on disk, so a failed save (full disk, no permission, a crash) leaves
// the previous file as it was. On failure returns false and, when `error` is given, a
// description of what went wrong.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Reads the whole file into `bytes`. Refuses (returns false, `bytes` unchanged) a file that
// cannot be opened or read, or that holds more than maxSize bytes, so a damaged or wrong file
// cannot make the program allocate without bound.
bool ReadWholeFile(const QString &path, QByteArray &bytes, qint64 maxSize = 1 << 30);

} // namespace warplon
