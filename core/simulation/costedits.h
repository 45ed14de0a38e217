#pragma once

// The edits of the cost window, shared with the command-line tool: which field each edit holds,
// how the edit shows it and how a typed text is stored.

#include "simulation/costdata.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// How an edit shows and reads its value.
enum class CostEditKind {
    Plain,    // a number as typed ("23.5")
    Currency, // an amount with thousands and two decimals ("1,200.00")
    Text,     // an item name, at most 127 bytes
};

// One edit of the cost window.
struct CostField
{
    const char *control; // the edit's name: "cedExchangeRate", "edWorkDay", ...
    const char *name;    // the field of CostData: "exchangeRate", "itemName[0]", ...
    CostEditKind kind;
    int label; // entry of the "Cost" texts naming it; -1 for the free items
};

// Every edit of the window: the sixteen parameters in the order of their labels, then the
// seven item names and the seven item amounts.
const std::vector<CostField> &CostFields();

// The field with that control or CostData name; null for neither.
const CostField *FindCostField(const QString &controlOrName);

// The value of a numeric field (null for a text field or a field not in the list).
double *CostValue(CostData &cost, const CostField &field);
double CostValue(const CostData &cost, const CostField &field);
// The stored bytes of a text field (null for a numeric field).
QByteArray *CostText(CostData &cost, const CostField &field);

// An amount as currency edits show it, with the format ",0.00;-,0.00": thousands separated by
// commas, two decimals, a minus sign before negative amounts ("-1,234.50").
QString FormatCurrency(double value);

// Reads a typed number; the currency edits allow thousands separators. False for a text that is
// not a finite number.
bool ParsePlainNumber(const QString &text, double &value);
bool ParseCurrency(const QString &text, double &value);

// An item name as stored: the text's bytes, cut to 127 so that the 128-byte field keeps its
// terminating zero, never inside a character.
QByteArray CostItemNameBytes(const QString &text);

// What the edit shows of its field.
QString CostFieldText(const CostData &cost, const CostField &field);

enum class CostStore {
    Stored,     // the field took the text's value
    Empty,      // an empty text stores nothing
    NotANumber, // a numeric edit held no number: nothing changes
};

// Enter in an edit: an empty text keeps the value; a number (or an item name) is stored.
CostStore StoreCostField(CostData &cost, const CostField &field, const QString &text);

// Loads a cost file as the window does: into a scratch record, which replaces `cost` only when
// the whole file was read. A file that is missing, unreadable or short changes nothing.
bool LoadWholeCostFile(const QString &path, CostData &cost);

} // namespace warplon
