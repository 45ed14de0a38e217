#pragma once

// The property window's edits as texts: what each edit shows for the property record, and how
// the edited texts go back into it.

#include "print/propertyrecord.h"

#include <QString>

namespace warplon {

// One text per edit of the window, in the record's order.
struct PropertyTexts
{
    QString machineName;
    QString knittingDate;
    QString department;
    QString detail; // the detail lines, one per line
    QString rpm;
    QString hours;      // two decimals
    QString efficiency; // per cent
    QString countOfW;
    QString testWidth;  // cm, two decimals
    QString testHeight; // cm, two decimals
    QString testWeight; // g, three decimals
    QString cutYard;
    bool operator==(const PropertyTexts &) const = default;
};

// The texts the edits show for `record`.
PropertyTexts PropertyTextsFor(const PropertyRecord &record);

// Copies the edits into the record. Only texts that differ from what the record shows are
// taken, so a value with more decimals than its edit shows keeps them when it was not edited; a
// number edit whose text is not a number leaves its field as it was. Detail lines are split at
// line breaks, a final line break adding no empty line. Returns false when some number edit
// could not be read.
bool ApplyPropertyTexts(const PropertyTexts &texts, PropertyRecord &record);

} // namespace warplon
