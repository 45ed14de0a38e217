#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the cost parameters.
constexpr int32_t kCostBlockVersion = 1;
// Size of a stored cost text: 127 characters and the terminating zero.
constexpr int32_t kCostTextSize = 128;
constexpr int32_t kCostItemCount = 7;

// The commercial parameters of a design, kept by the cost window and priced by the cost sheet.
// Losses and margins are per cent. Texts are stored in 128-byte fields and hold at most 127
// characters (longer texts are cut when written).
struct CostData
{
    double exchangeRate = 1200.0; // currency units per foreign unit
    double workDaysPerMonth = 23.5;
    std::array<QByteArray, kCostItemCount> itemName; // free cost items
    QByteArray spareItemName;                        // stored only
    std::array<double, kCostItemCount> itemCost = {0, 0, 0, 0, 0, 0, 0};
    double spareItemCost = 0.0; // stored only
    double polyLoss = 2.0;
    double spanLoss = 3.0;
    double nylonLoss = 2.0;
    double polyTreatLoss = 0.0;
    double spanTreatLoss = 0.0;
    double nylonTreatLoss = 0.0;
    double capa = 1.0;
    double machineCount = 1.0;
    double machineCmt = 0.0; // making cost per machine
    double rawLoss = 3.0;
    double rawMargin = 5.0;
    double treatCost = 0.0;
    double treatLoss = 3.0;
    double treatMargin = 5.0;
    bool operator==(const CostData &) const = default;
};

// Appends the cost block (the same bytes as a cost file): version 1, exchange rate and working
// days, the seven item names and the spare name in 128-byte fields, then the item costs, the
// spare cost, the losses, capacity, machine count and cost, and the fabric losses and margins.
void WriteCostBlock(ByteWriter &writer, const CostData &data);

// Reads a cost block into data reset to the defaults; a version below 1 holds nothing more.
// Stops at the first read that does not fit and returns false, keeping what was read before it.
bool ReadCostBlock(ByteReader &reader, CostData &data);

// Saves the cost block as a cost file (*.cst); a failed save leaves an existing file unchanged.
bool SaveCostFile(const QString &path, const CostData &data);

// Loads a cost file as ReadCostBlock does. A file that cannot be opened leaves data unchanged;
// a short one leaves the defaults and the values read before the data ran out.
bool LoadCostFile(const QString &path, CostData &data);

} // namespace warplon
