#include "simulation/costdata.h"

#include "base/bytestream.h"
#include "base/safefile.h"

namespace warplon {

namespace {

// A cost file is 1,220 bytes; anything far larger is not one.
constexpr qint64 kMaxCostFileSize = 1 << 20;

// The doubles after the texts, in stored order.
template<typename Data, typename Visit>
void ForEachTrailingDouble(Data &data, Visit visit)
{
    for (auto &cost : data.itemCost)
        visit(cost);
    for (auto *value : {&data.spareItemCost, &data.polyLoss, &data.spanLoss, &data.nylonLoss,
                        &data.polyTreatLoss, &data.spanTreatLoss, &data.nylonTreatLoss, &data.capa,
                        &data.machineCount, &data.machineCmt, &data.rawLoss, &data.rawMargin,
                        &data.treatCost, &data.treatLoss, &data.treatMargin})
        visit(*value);
}

} // namespace

void WriteCostBlock(ByteWriter &writer, const CostData &data)
{
    writer.writeI32(kCostBlockVersion);
    writer.writeF64(data.exchangeRate);
    writer.writeF64(data.workDaysPerMonth);
    for (const QByteArray &name : data.itemName)
        writer.writeFixedText(name, kCostTextSize);
    writer.writeFixedText(data.spareItemName, kCostTextSize);
    ForEachTrailingDouble(data, [&writer](double value) { writer.writeF64(value); });
}

bool ReadCostBlock(ByteReader &reader, CostData &data)
{
    data = CostData();
    int32_t version = 0;
    if (!reader.readI32(version))
        return false;
    if (version < 1)
        return true;

    // The reader fails for good at the first short read and leaves every later target alone,
    // so running on through the remaining fields keeps exactly the values read before it.
    reader.readF64(data.exchangeRate);
    reader.readF64(data.workDaysPerMonth);
    for (QByteArray &name : data.itemName)
        reader.readFixedText(kCostTextSize, name);
    reader.readFixedText(kCostTextSize, data.spareItemName);
    ForEachTrailingDouble(data, [&reader](double &value) { reader.readF64(value); });
    return reader.ok();
}

bool SaveCostFile(const QString &path, const CostData &data)
{
    ByteWriter writer;
    WriteCostBlock(writer, data);
    return WriteFileAtomically(path, writer.data());
}

bool LoadCostFile(const QString &path, CostData &data)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, kMaxCostFileSize))
        return false;
    ByteReader reader(bytes);
    return ReadCostBlock(reader, data);
}

} // namespace warplon
