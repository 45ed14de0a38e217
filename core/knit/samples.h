#pragma once

// Classic warp-knit structures, ready to open as new designs.

#include "knit/records.h"

#include <QList>
#include <QString>

namespace warplon {

struct SampleInfo
{
    QString name;        // lowercase words joined by hyphens, e.g. "reverse-locknit"
    QString description; // one line for listings
};

// Every sample structure, in a fixed order.
QList<SampleInfo> SampleList();

// Replaces header and layer with a fresh design holding the sample `name`: bars, lapping,
// threading, yarns, machine values and formula run-ins. false, with both left unchanged, when
// there is no such sample.
bool MakeSample(const QString &name, MainData &header, TexLayer &layer);

} // namespace warplon
