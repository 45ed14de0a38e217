#include "app/designjson.h"

#include "text/encoding.h"

#include <QJsonArray>

namespace warplon {

namespace {

QJsonValue text(const QByteArray &bytes)
{
    return DecodeText(bytes);
}

template<typename T, size_t N>
QJsonArray array(const std::array<T, N> &values)
{
    QJsonArray result;
    for (const T &value : values)
        result.append(double(value));
    return result;
}

QJsonArray bytesArray(const std::vector<uint8_t> &values)
{
    QJsonArray result;
    for (uint8_t value : values)
        result.append(int(value));
    return result;
}

QJsonObject yarnToJson(const Yarn &y)
{
    return {
        {QStringLiteral("name"), text(y.name)},
        {QStringLiteral("code"), text(y.code)},
        {QStringLiteral("extraText"), text(y.extraText)},
        {QStringLiteral("maker"), text(y.maker)},
        {QStringLiteral("remark"), text(y.remark)},
        {QStringLiteral("yarnNumber"), y.yarnNumber},
        {QStringLiteral("yarnValue"), y.yarnValue},
        {QStringLiteral("denier"), y.denier},
        {QStringLiteral("filaments"), y.filaments},
        {QStringLiteral("material"), y.material},
        {QStringLiteral("optical"), y.optical},
        {QStringLiteral("yarnText1"), text(y.yarnText1)},
        {QStringLiteral("yarnText2"), text(y.yarnText2)},
        {QStringLiteral("stretch"), y.stretch},
        {QStringLiteral("gloss"), y.gloss},
        {QStringLiteral("translucency"), y.translucency},
        {QStringLiteral("color"), y.color},
        {QStringLiteral("reserved"), y.reserved},
        {QStringLiteral("hidden"), y.hidden},
        {QStringLiteral("yarnImage"), QString::fromLatin1(y.yarnImage.toBase64())},
    };
}

QJsonObject yarnUseToJson(const YarnUse &u)
{
    return {
        {QStringLiteral("yarn"), u.yarn},
        {QStringLiteral("bar"), u.bar},
        {QStringLiteral("endsPerBeam"), u.endsPerBeam},
        {QStringLiteral("beams"), u.beams},
        {QStringLiteral("ends"), u.ends},
        {QStringLiteral("metersPerYard"), u.metersPerYard},
        {QStringLiteral("gramsPerYard"), u.gramsPerYard},
        {QStringLiteral("percent"), u.percent},
        {QStringLiteral("runIn"), u.runIn},
    };
}

QJsonObject barToJson(const Tex &bar)
{
    QJsonArray lapping;
    for (const ChainLink &link : bar.lapping)
        lapping.append(QJsonArray{link.x0, link.x1, link.x2});
    QJsonArray threading;
    for (const WaleState &run : bar.threading) {
        threading.append(QJsonObject{{QStringLiteral("yarn"), run.yarn},
                                     {QStringLiteral("count"), run.count},
                                     {QStringLiteral("threaded"), run.threaded},
                                     {QStringLiteral("needleFlag"), run.needleFlag}});
    }
    QJsonArray states;
    for (const CourseState2 &state : bar.courseStates) {
        states.append(QJsonObject{{QStringLiteral("runIn"), state.runIn},
                                  {QStringLiteral("calcRunIn"), state.calcRunIn},
                                  {QStringLiteral("ratio"), state.ratio}});
    }
    return {
        {QStringLiteral("barTag"), bar.barTag},
        {QStringLiteral("courseCount"), bar.courseCount},
        {QStringLiteral("shift"), bar.shift},
        {QStringLiteral("visible"), bar.visible},
        {QStringLiteral("lapping"), lapping},
        {QStringLiteral("threading"), threading},
        {QStringLiteral("courseStates"), states},
        {QStringLiteral("carryFloat"), bytesArray(bar.carryFloat)},
        {QStringLiteral("tightFloat"), bytesArray(bar.tightFloat)},
    };
}

QJsonObject propertiesToJson(const PropertyRecord &p)
{
    QJsonArray lines;
    for (const QByteArray &line : p.detailLines)
        lines.append(text(line));
    return {
        {QStringLiteral("version"), p.version},
        {QStringLiteral("machineName"), text(p.machineName)},
        {QStringLiteral("knittingDate"), text(p.knittingDate)},
        {QStringLiteral("department"), text(p.department)},
        {QStringLiteral("detailLines"), lines},
        {QStringLiteral("rpm"), p.rpm},
        {QStringLiteral("spareValue"), p.spareValue},
        {QStringLiteral("hours"), p.hours},
        {QStringLiteral("efficiency"), p.efficiency},
        {QStringLiteral("countOfW"), p.countOfW},
        {QStringLiteral("spareCount"), p.spareCount},
        {QStringLiteral("testWidth"), p.testWidth},
        {QStringLiteral("testHeight"), p.testHeight},
        {QStringLiteral("testWeight"), p.testWeight},
        {QStringLiteral("cutYard"), p.cutYard},
    };
}

QJsonObject treatmentToJson(const TreatmentData &t)
{
    QJsonArray flags;
    for (const auto &course : t.courseFlags)
        flags.append(array(course));
    return {{QStringLiteral("method"), t.method}, {QStringLiteral("courseFlags"), flags}};
}

QJsonObject guideBarsToJson(const GuideBarData &g)
{
    QJsonArray descriptions;
    for (const QByteArray &d : g.description)
        descriptions.append(text(d));
    return {
        {QStringLiteral("version"), g.version},
        {QStringLiteral("defaultDenier"), g.defaultDenier},
        {QStringLiteral("defaultFilaments"), g.defaultFilaments},
        {QStringLiteral("formula"), array(g.formula)},
        {QStringLiteral("noTension"), array(g.noTension)},
        {QStringLiteral("runInBrightness"), array(g.runInBrightness)},
        {QStringLiteral("description"), descriptions},
    };
}

QJsonObject simulationToJson(const SimulationSettings &s)
{
    return {
        {QStringLiteral("version"), s.version},
        {QStringLiteral("coursesPerCm"), s.coursesPerCm},
        {QStringLiteral("walesPerInch"), s.walesPerInch},
        {QStringLiteral("widthInch"), s.widthInch},
        {QStringLiteral("pxPerWale"), s.pxPerWale},
        {QStringLiteral("pxPerCourse"), s.pxPerCourse},
        {QStringLiteral("repeatsDown"), s.repeatsDown},
        {QStringLiteral("repeatsAcross"), s.repeatsAcross},
        {QStringLiteral("backView"), s.backView},
        {QStringLiteral("colorOnColor"), s.colorOnColor},
        {QStringLiteral("fuzz"), s.fuzz},
        {QStringLiteral("backgroundColor"), s.backgroundColor},
        {QStringLiteral("zoomUnits"), s.zoomUnits},
        {QStringLiteral("zoomTenths"), s.zoomTenths},
        {QStringLiteral("optimize"), s.optimize},
        {QStringLiteral("effect"), s.effect},
        {QStringLiteral("power"), s.power},
        {QStringLiteral("invertShade"), s.invertShade},
    };
}

QJsonObject costToJson(const CostData &c)
{
    QJsonArray names;
    for (const QByteArray &name : c.itemName)
        names.append(text(name));
    return {
        {QStringLiteral("exchangeRate"), c.exchangeRate},
        {QStringLiteral("workDaysPerMonth"), c.workDaysPerMonth},
        {QStringLiteral("itemName"), names},
        {QStringLiteral("spareItemName"), text(c.spareItemName)},
        {QStringLiteral("itemCost"), array(c.itemCost)},
        {QStringLiteral("spareItemCost"), c.spareItemCost},
        {QStringLiteral("polyLoss"), c.polyLoss},
        {QStringLiteral("spanLoss"), c.spanLoss},
        {QStringLiteral("nylonLoss"), c.nylonLoss},
        {QStringLiteral("polyTreatLoss"), c.polyTreatLoss},
        {QStringLiteral("spanTreatLoss"), c.spanTreatLoss},
        {QStringLiteral("nylonTreatLoss"), c.nylonTreatLoss},
        {QStringLiteral("capa"), c.capa},
        {QStringLiteral("machineCount"), c.machineCount},
        {QStringLiteral("machineCmt"), c.machineCmt},
        {QStringLiteral("rawLoss"), c.rawLoss},
        {QStringLiteral("rawMargin"), c.rawMargin},
        {QStringLiteral("treatCost"), c.treatCost},
        {QStringLiteral("treatLoss"), c.treatLoss},
        {QStringLiteral("treatMargin"), c.treatMargin},
    };
}

} // namespace

QJsonObject HeaderToJson(const MainData &h)
{
    return {
        {QStringLiteral("version"), h.version},
        {QStringLiteral("fileName"), text(h.fileName)},
        {QStringLiteral("note1"), text(h.note1)},
        {QStringLiteral("note2"), text(h.note2)},
        {QStringLiteral("note3"), text(h.note3)},
        {QStringLiteral("barCount"), h.barCount},
        {QStringLiteral("courseCount"), h.courseCount},
        {QStringLiteral("gauge"), h.gauge},
        {QStringLiteral("coursesPerCm"), h.coursesPerCm},
        {QStringLiteral("widthInch"), h.widthInch},
    };
}

QJsonObject DocumentToJson(const TexLayer &d)
{
    QJsonArray yarns;
    for (const Yarn &yarn : d.yarns)
        yarns.append(yarnToJson(yarn));
    QJsonArray uses;
    for (const YarnUse &use : d.yarnUses)
        uses.append(yarnUseToJson(use));
    QJsonArray bars;
    for (const Tex &bar : d.bars)
        bars.append(barToJson(bar));
    return {
        {QStringLiteral("completeNeedle"), d.completeNeedle},
        {QStringLiteral("optimizeRepeat"), d.optimizeRepeat},
        {QStringLiteral("yarns"), yarns},
        {QStringLiteral("yarnUses"), uses},
        {QStringLiteral("bars"), bars},
    };
}

QJsonObject DesignToJson(Design &design, int32_t fileVersion)
{
    return {
        {QStringLiteral("fileVersion"), fileVersion},
        {QStringLiteral("header"), HeaderToJson(design.header)},
        {QStringLiteral("properties"), propertiesToJson(design.properties)},
        {QStringLiteral("document"), DocumentToJson(design.document)},
        {QStringLiteral("treatment"), treatmentToJson(design.treatment)},
        {QStringLiteral("guideBars"), guideBarsToJson(design.guideBars)},
        {QStringLiteral("simulation"), simulationToJson(design.simulation)},
        {QStringLiteral("picture"),
         QJsonObject{{QStringLiteral("width"), design.picture.Width()},
                     {QStringLiteral("height"), design.picture.Height()},
                     {QStringLiteral("bitsPerPixel"), design.picture.BitsPerPixel()}}},
        {QStringLiteral("designWindow"),
         QJsonObject{{QStringLiteral("chartBackground"), design.designWindow.chartBackground}}},
        {QStringLiteral("cost"), costToJson(design.cost)},
    };
}

} // namespace warplon
