#include "simulation/costedits.h"

#include "text/encoding.h"

#include <QLocale>

#include <cmath>
#include <cstring>
#include <utility>

namespace warplon {

namespace {

// Numbers are typed and shown with a decimal point whatever the system's language.
QLocale NumberLocale(bool groups)
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(groups ? QLocale::DefaultNumberOptions
                                   : QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

bool ParseWith(const QLocale &locale, const QString &text, double &value)
{
    bool ok = false;
    const double parsed = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// The index of an item field: "itemName[3]" → 3.
int ItemIndex(const CostField &field)
{
    const char *open = std::strchr(field.name, '[');
    return open ? open[1] - '0' : -1;
}

bool IsItemName(const CostField &field)
{
    return std::strncmp(field.name, "itemName[", 9) == 0;
}

bool IsItemCost(const CostField &field)
{
    return std::strncmp(field.name, "itemCost[", 9) == 0;
}

// The numeric field an edit holds, for const and non-const data alike.
template<typename Data>
auto ValuePointer(Data &cost, const CostField &field) -> decltype(&cost.capa)
{
    if (IsItemCost(field))
        return &cost.itemCost[size_t(ItemIndex(field))];
    const QLatin1String name(field.name);
    for (auto [key, value] : {std::pair{"exchangeRate", &cost.exchangeRate},
                              {"workDaysPerMonth", &cost.workDaysPerMonth},
                              {"polyLoss", &cost.polyLoss},
                              {"spanLoss", &cost.spanLoss},
                              {"nylonLoss", &cost.nylonLoss},
                              {"polyTreatLoss", &cost.polyTreatLoss},
                              {"spanTreatLoss", &cost.spanTreatLoss},
                              {"nylonTreatLoss", &cost.nylonTreatLoss},
                              {"capa", &cost.capa},
                              {"machineCount", &cost.machineCount},
                              {"machineCmt", &cost.machineCmt},
                              {"rawLoss", &cost.rawLoss},
                              {"rawMargin", &cost.rawMargin},
                              {"treatCost", &cost.treatCost},
                              {"treatLoss", &cost.treatLoss},
                              {"treatMargin", &cost.treatMargin}}) {
        if (name == QLatin1String(key))
            return value;
    }
    return nullptr;
}

} // namespace

const std::vector<CostField> &CostFields()
{
    static const std::vector<CostField> fields = {
        {"cedExchangeRate", "exchangeRate", CostEditKind::Currency, 1},
        {"edWorkDay", "workDaysPerMonth", CostEditKind::Plain, 2},
        {"edPolyLoss", "polyLoss", CostEditKind::Plain, 3},
        {"edSpanLoss", "spanLoss", CostEditKind::Plain, 4},
        {"edNylonLoss", "nylonLoss", CostEditKind::Plain, 5},
        {"edPolyTreatLoss", "polyTreatLoss", CostEditKind::Plain, 6},
        {"edSpanTreatLoss", "spanTreatLoss", CostEditKind::Plain, 7},
        {"edNylonTreatLoss", "nylonTreatLoss", CostEditKind::Plain, 8},
        {"edCAPA", "capa", CostEditKind::Plain, 9},
        {"edMachineCount", "machineCount", CostEditKind::Plain, 10},
        {"cedCMT_Machine", "machineCmt", CostEditKind::Currency, 11},
        {"edRawLoss", "rawLoss", CostEditKind::Plain, 12},
        {"edRawMargin", "rawMargin", CostEditKind::Plain, 13},
        {"cedTreatCost", "treatCost", CostEditKind::Currency, 14},
        {"edTreatLoss", "treatLoss", CostEditKind::Plain, 15},
        {"edTreatMargin", "treatMargin", CostEditKind::Plain, 16},
        {"ed1", "itemName[0]", CostEditKind::Text, -1},
        {"ed2", "itemName[1]", CostEditKind::Text, -1},
        {"ed3", "itemName[2]", CostEditKind::Text, -1},
        {"ed4", "itemName[3]", CostEditKind::Text, -1},
        {"ed5", "itemName[4]", CostEditKind::Text, -1},
        {"ed6", "itemName[5]", CostEditKind::Text, -1},
        {"ed7", "itemName[6]", CostEditKind::Text, -1},
        {"ced1", "itemCost[0]", CostEditKind::Currency, -1},
        {"ced2", "itemCost[1]", CostEditKind::Currency, -1},
        {"ced3", "itemCost[2]", CostEditKind::Currency, -1},
        {"ced4", "itemCost[3]", CostEditKind::Currency, -1},
        {"ced5", "itemCost[4]", CostEditKind::Currency, -1},
        {"ced6", "itemCost[5]", CostEditKind::Currency, -1},
        {"ced7", "itemCost[6]", CostEditKind::Currency, -1},
    };
    return fields;
}

const CostField *FindCostField(const QString &controlOrName)
{
    for (const CostField &field : CostFields()) {
        if (controlOrName == QLatin1String(field.control)
            || controlOrName == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

double *CostValue(CostData &cost, const CostField &field)
{
    return ValuePointer(cost, field);
}

double CostValue(const CostData &cost, const CostField &field)
{
    const double *value = ValuePointer(cost, field);
    return value ? *value : 0.0;
}

QByteArray *CostText(CostData &cost, const CostField &field)
{
    return IsItemName(field) ? &cost.itemName[size_t(ItemIndex(field))] : nullptr;
}

QString FormatCurrency(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const QString text = NumberLocale(true).toString(value, 'f', 2);
    // An amount that rounds to zero shows no sign.
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

bool ParsePlainNumber(const QString &text, double &value)
{
    return ParseWith(NumberLocale(false), text, value);
}

bool ParseCurrency(const QString &text, double &value)
{
    return ParseWith(NumberLocale(true), text, value);
}

QByteArray CostItemNameBytes(const QString &text)
{
    QByteArray bytes = EncodeText(text);
    constexpr qsizetype kLimit = kCostTextSize - 1;
    if (bytes.size() <= kLimit)
        return bytes;
    // Step back over UTF-8 continuation bytes so the cut falls between two characters.
    qsizetype cut = kLimit;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return bytes;
}

QString CostFieldText(const CostData &cost, const CostField &field)
{
    switch (field.kind) {
    case CostEditKind::Text:
        return IsItemName(field) ? DecodeText(cost.itemName[size_t(ItemIndex(field))]) : QString();
    case CostEditKind::Currency:
        return FormatCurrency(CostValue(cost, field));
    case CostEditKind::Plain:
        break;
    }
    const double value = CostValue(cost, field);
    if (!std::isfinite(value))
        return QStringLiteral("-");
    return QString::number(value, 'g', 15);
}

CostStore StoreCostField(CostData &cost, const CostField &field, const QString &text)
{
    if (text.isEmpty())
        return CostStore::Empty;
    if (field.kind == CostEditKind::Text) {
        if (QByteArray *name = CostText(cost, field))
            *name = CostItemNameBytes(text);
        return CostStore::Stored;
    }
    double value = 0.0;
    const bool ok = field.kind == CostEditKind::Currency ? ParseCurrency(text, value)
                                                         : ParsePlainNumber(text, value);
    if (!ok)
        return CostStore::NotANumber;
    if (double *stored = CostValue(cost, field))
        *stored = value;
    return CostStore::Stored;
}

bool LoadWholeCostFile(const QString &path, CostData &cost)
{
    CostData scratch;
    if (!LoadCostFile(path, scratch))
        return false;
    cost = scratch;
    return true;
}

} // namespace warplon
