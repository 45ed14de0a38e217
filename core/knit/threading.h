#pragma once

#include "knit/records.h"

namespace warplon {

// The threading length of a bar: the sum of the needle counts of its runs.
int64_t ThreadingLength(const Tex &bar);

// Rebuilds the bar's needle table: every run repeated `count` times, in run order.
void Expand(Tex &bar);

// The needle index wrapped into the threading repeat (negative needles count from the end).
int32_t WrapNeedle(int32_t needle, int32_t needleCount);

// The yarn that needle `needle` of the expanded table carries, or null for an empty needle.
// With firstOnly the bar is drawn by one needle: needle 0 gives the yarn of table entry 0
// (threaded or not) and every other needle gives null.
const Yarn *YarnAt(const Tex &bar, const std::vector<Yarn> &yarns, int32_t needle, bool firstOnly);

// The needle flag of a threaded needle; 1 for an empty needle.
uint8_t NeedleFlagAt(const Tex &bar, int32_t needle);

// Wales in one repeat of the design: completeNeedle, or with optimizeRepeat the least common
// multiple of the threading lengths of the first four bars.
int32_t RepeatWidth(const TexLayer &layer);

} // namespace warplon
