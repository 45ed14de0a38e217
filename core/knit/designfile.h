#pragma once

#include "app/design.h"

#include <QString>

namespace warplon {

// Design files (".trc"): the file version, an 80 x 100 preview, and from byte 25000 on one block
// per owner: header, properties, document, treatment, guide-bar settings, simulation settings,
// simulation picture, design-window choice and cost data.

constexpr int32_t kDesignFileVersion = 102;
constexpr qsizetype kDesignBlocksStart = 25000;
// A design repeat longer than this many courses is taken for a damaged file.
constexpr int32_t kMaxCourseCount = 100000;

enum class LoadResult {
    Loaded, // the design was replaced by the file's (a file that ends early loads what it holds)
    VersionError, // newer than this program: "version error"; nothing changed
    Unreadable,   // missing, unreadable or not a design file; nothing changed
};

// Writes the whole file: the name goes into the header first; the preview is shrunk from the
// simulation picture (or filled with the background colour when there is none). The file is
// written to a temporary file and renamed over the old one, so a failed save loses nothing.
// compressPixels chooses the stored form of the simulation picture (0 raw, 2 compressed).
bool SaveDesign(const QString &fileName, DesignRecords records, uint8_t compressPixels,
                QString *error = nullptr);

// Reads a design file into the records. The caller makes Layer 1 current and clears the undo
// store after a successful load. A refused load leaves every record exactly as it was.
// fileVersion, when given, receives the file's version whenever it could be read.
LoadResult LoadDesign(const QString &fileName, DesignRecords records,
                      int32_t *fileVersion = nullptr);

// The same on the bytes of a file already in memory.
LoadResult LoadDesignFromBytes(const QByteArray &bytes, const QString &fileName,
                               DesignRecords records, int32_t *fileVersion = nullptr);

// Reads what the file manager lists: the preview picture and the header. Older files without a
// stored preview give one shrunk from their simulation picture. Nothing of an open design is
// touched.
bool ReadPreview(const QString &fileName, TCorvexBitmap &preview, MainData &header);
bool ReadPreviewFromBytes(const QByteArray &bytes, const QString &fileName, TCorvexBitmap &preview,
                          MainData &header);

// The message a user sees for a refused load.
QString LoadFailureMessage(LoadResult result);

} // namespace warplon
