#pragma once

#include "app/design.h"

#include <QSize>
#include <QString>

namespace warplon {

// Saves a design as the program does: a fresh simulation of the design first, so that the file's
// preview and picture show what is saved, then the design file. When the design cannot be
// simulated (no courses, a zero gauge) the picture it had is kept.
bool SaveDesignWithSimulation(const QString &fileName, DesignRecords records,
                              uint8_t compressPixels, QSize view, uint64_t seed,
                              QString *error = nullptr);

} // namespace warplon
