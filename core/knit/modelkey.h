#pragma once

// What a stitch model is made of, as bytes to compare: a kept model serves again only while
// these bytes are the same.

#include "knit/records.h"

#include <QByteArray>

namespace warplon {

// The design's bars, threading, course states and yarns as the design file writes them, with
// the yarns' looks and names left out (colour, gloss, translucency, names, codes, prices): the
// model reads only their count, size and material.
QByteArray ModelShapeBytes(const TexLayer &document);

} // namespace warplon
