#include "print/propertyfields.h"

#include "app/mainparameters.h"
#include "base/numbers.h"
#include "text/encoding.h"

#include <QStringList>

namespace warplon {

namespace {

QString JoinLines(const std::vector<QByteArray> &lines)
{
    QStringList texts;
    for (const QByteArray &line : lines)
        texts.append(DecodeText(line));
    return texts.join(QLatin1Char('\n'));
}

std::vector<QByteArray> SplitLines(const QString &text)
{
    std::vector<QByteArray> lines;
    if (text.isEmpty())
        return lines;
    QStringList parts = text.split(QLatin1Char('\n'));
    if (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    for (QString &part : parts) {
        if (part.endsWith(QLatin1Char('\r')))
            part.chop(1);
        lines.push_back(EncodeText(part));
    }
    return lines;
}

// Takes an edited integer; an unreadable text keeps the field and clears `ok`.
void TakeInteger(const QString &text, const QString &shown, int32_t &field, bool &ok)
{
    if (text == shown)
        return;
    if (const auto value = ParseInteger(text))
        field = *value;
    else
        ok = false;
}

void TakeDecimal(const QString &text, const QString &shown, double &field, bool &ok)
{
    if (text == shown)
        return;
    if (const auto value = ParseDecimal(text))
        field = *value;
    else
        ok = false;
}

} // namespace

PropertyTexts PropertyTextsFor(const PropertyRecord &record)
{
    PropertyTexts texts;
    texts.machineName = DecodeText(record.machineName);
    texts.knittingDate = DecodeText(record.knittingDate);
    texts.department = DecodeText(record.department);
    texts.detail = JoinLines(record.detailLines);
    texts.rpm = QString::number(record.rpm);
    texts.hours = FormatNumber(record.hours, 2);
    texts.efficiency = QString::number(record.efficiency);
    texts.countOfW = QString::number(record.countOfW);
    texts.testWidth = FormatNumber(record.testWidth, 2);
    texts.testHeight = FormatNumber(record.testHeight, 2);
    texts.testWeight = FormatNumber(record.testWeight, 3);
    texts.cutYard = QString::number(record.cutYard);
    return texts;
}

bool ApplyPropertyTexts(const PropertyTexts &texts, PropertyRecord &record)
{
    const PropertyTexts shown = PropertyTextsFor(record);
    if (texts.machineName != shown.machineName)
        record.machineName = EncodeText(texts.machineName);
    if (texts.knittingDate != shown.knittingDate)
        record.knittingDate = EncodeText(texts.knittingDate);
    if (texts.department != shown.department)
        record.department = EncodeText(texts.department);
    if (texts.detail != shown.detail)
        record.detailLines = SplitLines(texts.detail);

    bool ok = true;
    TakeInteger(texts.rpm, shown.rpm, record.rpm, ok);
    TakeDecimal(texts.hours, shown.hours, record.hours, ok);
    TakeInteger(texts.efficiency, shown.efficiency, record.efficiency, ok);
    TakeInteger(texts.countOfW, shown.countOfW, record.countOfW, ok);
    TakeDecimal(texts.testWidth, shown.testWidth, record.testWidth, ok);
    TakeDecimal(texts.testHeight, shown.testHeight, record.testHeight, ok);
    TakeDecimal(texts.testWeight, shown.testWeight, record.testWeight, ok);
    TakeInteger(texts.cutYard, shown.cutYard, record.cutYard, ok);
    return ok;
}

} // namespace warplon
