#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the production properties.
constexpr int32_t kPropertyBlockVersion = 5;

// The production properties of a design, held by the property window and printed on the
// technical sheets. The start values are those of a new design.
struct PropertyRecord
{
    int32_t version = kPropertyBlockVersion; // block version the record was last read from
    QByteArray machineName;
    QByteArray knittingDate; // date of knitting, free text
    QByteArray department;
    std::vector<QByteArray> detailLines; // free lines of the detail memo
    int32_t rpm = 0;                     // machine speed
    double spareValue = 20.28;           // stored and kept; no edit of the window shows it
    double hours = 24.0;                 // working hours
    int32_t efficiency = 85;             // per cent
    int32_t countOfW = 2;
    int32_t spareCount = 0;   // stored and kept; no edit of the window shows it
    double testWidth = 10.0;  // test piece, cm
    double testHeight = 10.0; // test piece, cm
    double testWeight = 0.0;  // test piece, g
    int32_t cutYard = 100;
    bool operator==(const PropertyRecord &) const = default;
};

// Appends the property block: version 5, machine name, date and department as zstrings, the
// machine and test-piece figures, then the count of detail lines and the lines as zstrings.
void WritePropertyBlock(ByteWriter &writer, const PropertyRecord &record);

// Reads a property block of any version written so far into a record reset to its start values
// (fields an older version lacks keep them); record.version gets the stored block version. Stops
// at the first read that does not fit and returns false, keeping what was read before it.
bool ReadPropertyBlock(ByteReader &reader, PropertyRecord &record);

} // namespace warplon
