#pragma once

#include "base/bytestream.h"
#include "knit/records.h"

namespace warplon {

// The design document as one block: repeat width, yarns, yarn uses and guide bars. The design
// file stores it as its third block and the undo store keeps one per snapshot.

// Writes the block in the newest record versions.
void WriteDocument(ByteWriter &out, const TexLayer &document);

// Empties the document's yarns, yarn uses and bars and reads the block into it. A block that
// ends early keeps what was read until then; a count that the rest of the data cannot hold ends
// the reading there. Returns false when the block did not read completely. Afterwards the
// document holds at least one yarn and every bar at least one threading run, and no more than
// four bars are kept.
bool ReadDocument(ByteReader &in, TexLayer &document, int32_t fileVersion);

} // namespace warplon
