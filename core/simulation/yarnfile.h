#pragma once

#include "knit/records.h"

#include <QString>

#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Version written for yarn files (*.yan).
constexpr int32_t kYarnFileVersion = 3;

// Appends one yarn in the yarn-file layout, version 3: name, code, extraText, maker and remark
// as length-prefixed texts (each as its 256-byte field holds it: up to the first zero byte, at
// most 255 characters), yarnNumber, yarnValue, denier, filaments, material, optical, stretch,
// gloss, translucency, color, reserved, hidden, the image with its length, then yarnText1 and
// yarnText2.
void WriteYarnFileRecord(ByteWriter &writer, const Yarn &yarn);

// Reads one yarn written by any yarn-file version. A version below 1 holds nothing more and
// leaves the yarn as it was. Otherwise the yarn becomes a default yarn filled from the file:
// version 1 has no name, code or yarnValue, versions 1 and 2 no yarnText1 and yarnText2. The
// five field texts are cut at a zero byte and to 255 characters; yarnText1 and yarnText2 are of
// any length, cut at a zero byte. When the data ends early or a length is impossible, returns
// false and leaves the yarn unchanged.
bool ReadYarnFileRecord(ByteReader &reader, Yarn &yarn);

// Saves one yarn as a yarn file; a failed save leaves an existing file unchanged.
bool SaveYarnFile(const QString &path, const Yarn &yarn);

// Loads a yarn file into yarn as ReadYarnFileRecord does; a file that cannot be read leaves the
// yarn unchanged.
bool LoadYarnFile(const QString &path, Yarn &yarn);

} // namespace warplon
