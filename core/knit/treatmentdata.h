#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the treatment data.
constexpr int32_t kTreatmentBlockVersion = 2;

// Finishing methods of the fabric.
enum TreatmentMethod : int32_t {
    TreatmentNone = 0,
    TreatmentShearing = 1,
    TreatmentLoopRaising = 2,
};

// The finishing of the fabric: one method for the whole design and, per course, whether each of
// the four bars' yarn is treated. Held by the treatment window.
struct TreatmentData
{
    int32_t method = TreatmentNone;
    // One record per course; byte b is 1 when bar b is treated in that course.
    std::vector<std::array<uint8_t, 4>> courseFlags;
    // The simulation's back-view switch as it was when the current run started.
    uint8_t backView = 0;

    // Grows (new courses untreated) or shrinks (from the end) courseFlags to count courses;
    // a negative count empties it.
    void Resize(int32_t count);
    // A new design: no finishing, no course flags.
    void Reset();
};

// Appends the treatment block: version 2, the method (an index outside the method list is
// written as 0), the course count and four flag bytes per course. The flags are first resized
// to lappingCount, the course count of the bar being edited, when the counts differ.
void WriteTreatmentBlock(ByteWriter &writer, TreatmentData &data, int32_t lappingCount);

// Reads a treatment block of any version written so far into freshly reset data (backView is
// kept), then resizes the flags to lappingCount. Version 1 holds the method and 4 unused bytes,
// version 2 the method and the course flags. A stored method outside the method list reads
// as 0. Returns false when the block does not fit in the data; the flags are then resized all
// the same.
bool ReadTreatmentBlock(ByteReader &reader, TreatmentData &data, int32_t lappingCount);

// Reads the treatment of a design file of the old layout: int32 method and 4 unused bytes.
bool ReadOldTreatmentBlock(ByteReader &reader, TreatmentData &data);

} // namespace warplon
