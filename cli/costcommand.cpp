#include "cliutil.h"
#include "commands.h"

#include "simulation/costedits.h"
#include "simulation/costsheet.h"
#include "text/encoding.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>

#include <cmath>

namespace warplon::cli {

namespace {

// Entries of the cost window's texts the command prints.
constexpr int kNotANumberMessage = 21;
constexpr int kUnreadableMessage = 22;
constexpr int kUnwritableMessage = 23;

QJsonValue Number(SheetFigure value)
{
    return value && std::isfinite(*value) ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject Money(SheetFigure local, double exchangeRate)
{
    return {{QStringLiteral("local"), Number(local)},
            {QStringLiteral("foreign"), Number(ForeignAmount(local, exchangeRate))}};
}

QJsonArray Numbers(const std::array<double, kCostItemCount> &values)
{
    QJsonArray array;
    for (double value : values)
        array.append(Number(value));
    return array;
}

QJsonObject CostDataJson(const CostData &cost)
{
    QJsonArray names;
    for (const QByteArray &name : cost.itemName)
        names.append(DecodeText(name));
    QJsonObject object{
        {QStringLiteral("itemName"), names},
        {QStringLiteral("spareItemName"), DecodeText(cost.spareItemName)},
        {QStringLiteral("itemCost"), Numbers(cost.itemCost)},
        {QStringLiteral("spareItemCost"), Number(cost.spareItemCost)},
    };
    for (const CostField &field : CostFields()) {
        if (field.kind != CostEditKind::Text && field.label >= 0)
            object.insert(QLatin1String(field.name), Number(CostValue(cost, field)));
    }
    return object;
}

QJsonObject SheetJson(const CostSheet &sheet)
{
    const double rate = sheet.exchangeRate;
    QJsonArray lines;
    for (const CostYarnLine &line : sheet.yarnLines) {
        lines.append(QJsonObject{
            {QStringLiteral("yarn"), line.yarn},
            {QStringLiteral("letter"), QString(YarnLetter(line.yarn))},
            {QStringLiteral("percent"), Number(line.percent)},
            {QStringLiteral("gramsPerYard"), Number(line.gramsPerYard)},
            {QStringLiteral("weight"), Number(line.weight)},
            {QStringLiteral("loss"), Number(line.loss)},
            {QStringLiteral("treatLoss"), Number(line.treatLoss)},
            {QStringLiteral("yarnValue"), Money(line.yarnValue, rate)},
            {QStringLiteral("yarnCost"), Money(line.yarnCost, rate)},
        });
    }
    QJsonArray items;
    for (const CostItemLine &item : sheet.items) {
        items.append(QJsonObject{
            {QStringLiteral("name"), DecodeText(item.name)},
            {QStringLiteral("perUnit"), Money(item.perUnit, rate)},
            {QStringLiteral("share"), Number(item.share)},
        });
    }
    return {
        {QStringLiteral("fabricWeight"), Number(sheet.fabricWeight)},
        {QStringLiteral("densityRatio"), Number(sheet.densityRatio)},
        {QStringLiteral("yarnLines"), lines},
        {QStringLiteral("yarnTotal"), Money(sheet.yarnTotal, rate)},
        {QStringLiteral("items"), items},
        {QStringLiteral("making"), Money(sheet.making, rate)},
        {QStringLiteral("rawBase"), Money(sheet.rawBase, rate)},
        {QStringLiteral("rawLoss"), Money(sheet.rawLoss, rate)},
        {QStringLiteral("withLoss"), Money(sheet.withLoss, rate)},
        {QStringLiteral("rawMargin"), Money(sheet.rawMargin, rate)},
        {QStringLiteral("rawPrice"), Money(sheet.rawPrice, rate)},
        {QStringLiteral("treatCost"), Money(sheet.treatCost, rate)},
        {QStringLiteral("treatLossFigure"), Money(sheet.treatLossFigure, rate)},
        {QStringLiteral("treated"), Money(sheet.treated, rate)},
        {QStringLiteral("treatedMargin"), Money(sheet.treatedMargin, rate)},
        {QStringLiteral("treatedPrice"), Money(sheet.treatedPrice, rate)},
        {QStringLiteral("yarnShare"), Number(sheet.yarnShare)},
    };
}

// The edits as the window shows them, then the sheet, columns separated by tabs.
void PrintPlain(const Design &design, const CostSheet &sheet, const TStringTable &texts)
{
    for (const CostField &field : CostFields()) {
        const QString label
            = field.label >= 0 ? texts.TextAt(field.label) : QLatin1String(field.control);
        PrintLine(label + QLatin1Char('\t') + CostFieldText(design.cost, field));
    }
    PrintLine(QString());
    const CostSheetRow header = CostSheetHeader(texts);
    PrintLine(QStringList(header.begin(), header.end()).join(QLatin1Char('\t')));
    for (const CostSheetRow &row : CostSheetRows(sheet, design.document.yarns, texts))
        PrintLine(QStringList(row.begin(), row.end()).join(QLatin1Char('\t')));
}

QString TextOr(const TStringTable &texts, int index, const QString &fallback)
{
    const QString text = texts.TextAt(index);
    return text.isEmpty() ? fallback : text;
}

} // namespace

int RunCost(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("cst"), QStringLiteral("Load a cost file over the design's cost data."),
         QStringLiteral("F.cst")},
        {QStringLiteral("set"),
         QStringLiteral("Enter VALUE in the edit of FIELD (a cost data name such as capa or "
                        "itemName[2], or an edit's name such as edCAPA); repeatable."),
         QStringLiteral("FIELD=VALUE")},
        {QStringLiteral("save-cst"), QStringLiteral("Write the cost data to a cost file."),
         QStringLiteral("OUT.cst")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the design with the edited cost data."),
         QStringLiteral("OUT.trc")},
        {QStringLiteral("json"), QStringLiteral("Print JSON with unrounded figures.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A design file (.trc) or a cost file (.cst)."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("cost"),
                        QStringLiteral("Prints the cost data and the cost sheet of a design "
                                       "(priced from a fresh yarn composition). Options --cst "
                                       "and --set run in the order given; a failing one writes "
                                       "nothing."),
                        arguments, exitCode))
        return exitCode;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Fail(QStringLiteral("give exactly one design or cost file"), kExitUsage);

    const TStringTable texts = ToolTexts(QStringLiteral("Cost"));
    const QString unreadable
        = TextOr(texts, kUnreadableMessage, QStringLiteral("The cost file could not be read."));

    Design design;
    if (QFileInfo(files[0]).suffix().compare(QLatin1String("cst"), Qt::CaseInsensitive) == 0) {
        MakeNewDesign(design);
        if (!LoadWholeCostFile(files[0], design.cost))
            return Fail(QStringLiteral("%1: %2").arg(files[0], unreadable));
    } else {
        int32_t fileVersion = 0;
        if (!LoadDesignFile(files[0], design, fileVersion))
            return kExitFailure;
    }

    // The edits in the order they were given.
    qsizetype nextCst = 0;
    qsizetype nextSet = 0;
    const QStringList cstFiles = parser.values(QStringLiteral("cst"));
    const QStringList sets = parser.values(QStringLiteral("set"));
    for (const QString &option : parser.optionNames()) {
        if (option == QLatin1String("cst")) {
            const QString file = cstFiles.value(nextCst++);
            if (!LoadWholeCostFile(file, design.cost))
                return Fail(QStringLiteral("%1: %2").arg(file, unreadable));
        } else if (option == QLatin1String("set")) {
            const QString set = sets.value(nextSet++);
            const qsizetype equals = set.indexOf(QLatin1Char('='));
            const CostField *field = equals > 0 ? FindCostField(set.left(equals)) : nullptr;
            if (!field)
                return Fail(QStringLiteral("--set %1: no cost edit of that name").arg(set),
                            kExitUsage);
            const QString value = set.mid(equals + 1);
            if (StoreCostField(design.cost, *field, value) == CostStore::NotANumber)
                return Fail(QStringLiteral("--set %1: %2")
                                .arg(set, TextOr(texts, kNotANumberMessage,
                                                 QStringLiteral("not a number"))));
        }
    }

    if (parser.isSet(QStringLiteral("save-cst"))) {
        const QString out = parser.value(QStringLiteral("save-cst"));
        if (!SaveCostFile(out, design.cost))
            return Fail(QStringLiteral("%1: %2").arg(
                out, TextOr(texts, kUnwritableMessage,
                            QStringLiteral("The cost file could not be written."))));
    }

    if (parser.isSet(QStringLiteral("output"))) {
        if (!SaveDesignFile(parser.value(QStringLiteral("output")), design))
            return kExitFailure;
    }

    const CostSheet sheet = ComputeDesignCostSheet(design.cost, design.document, design.header,
                                                   design.guideBars, design.simulation);
    if (parser.isSet(QStringLiteral("json"))) {
        PrintJson(QJsonObject{{QStringLiteral("costData"), CostDataJson(design.cost)},
                              {QStringLiteral("sheet"), SheetJson(sheet)}});
    } else {
        PrintPlain(design, sheet, texts);
    }
    return kExitOk;
}

} // namespace warplon::cli
