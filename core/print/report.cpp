#include "print/report.h"

#include "app/edition.h"
#include "base/numbers.h"
#include "base/randomsource.h"
#include "knit/guidebaredits.h"
#include "knit/lappingview.h"
#include "knit/runin.h"
#include "knit/runinreport.h"
#include "print/reportpage.h"
#include "print/sheetfigures.h"
#include "simulation/composition.h"
#include "simulation/costedits.h"
#include "simulation/costsheet.h"
#include "simulation/simulationrun.h"
#include "simulation/yarnlist.h"
#include "text/encoding.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

namespace warplon {

namespace {

// Message 76: a layer the design does not have.
constexpr int32_t kNoSuchLayerMessage = 76;
// Pixels of the simulation picture per centimetre of fabric at zoom 1.
constexpr double kPixelsPerCm = 41.0;
// Chart cells at fabric scale.
constexpr double kChartCellMm = 4.0;
// The most pixels a chart picture may hold.
constexpr double kChartPixels = 12.0e6;

struct KindInfo
{
    ReportKind kind;
    const char *name;
};

constexpr KindInfo kKinds[] = {
    {ReportKind::Simple, "simple"},
    {ReportKind::Landscape, "landscape"},
    {ReportKind::Simulation, "simulation"},
    {ReportKind::DesignData, "design-data"},
    {ReportKind::DesignWindow, "design-window"},
    {ReportKind::DesignLayers, "design-layers"},
    {ReportKind::DesignLayer, "design-layer"},
    {ReportKind::Yarn, "yarn"},
    {ReportKind::YarnPartner, "yarn-partner"},
    {ReportKind::Cost, "cost"},
};

// What the sheets share, worked out once per report.
struct Sheet
{
    const ReportInput &in;
    const ReportOptions &options;
    CompositionTable composition;
    std::vector<BarRunIn> runIn; // per bar
    QImage picture;              // the simulation picture (sheets that show it)
    QString pictureError;        // why there is none
    SimulationSettings settings; // the settings the picture was made with
    // Chart pictures by their visible bars, kept for the painting pass after the counting one.
    std::map<std::vector<uint8_t>, std::pair<QImage, int32_t>> charts;

    QString L(int32_t index) const { return in.texts.print.TextAt(index); }
    QString YesNo(bool on) const { return L(on ? LabelYes : LabelNo); }
    // A bar as the main window names it: "Layer " and its number.
    QString LayerName(int32_t bar) const
    {
        QString word = in.texts.main.TextAt(0);
        if (word.isEmpty())
            word = QStringLiteral("Layer");
        return word + QLatin1Char(' ') + QString::number(bar + 1);
    }
};

QString Figure(double value, int decimals)
{
    return FormatSheetFigure(SheetFigure(value), decimals);
}

QString Figure(std::optional<double> value, int decimals)
{
    return FormatSheetFigure(value, decimals);
}

TableSpec PairsSpec(int pairs, double points = 8.0)
{
    TableSpec spec;
    spec.showHeader = false;
    spec.fontPoints = points;
    for (int i = 0; i < pairs; ++i) {
        spec.columns.push_back({QString(), 1.3, Qt::AlignLeft});
        spec.columns.push_back({QString(), 1.0, Qt::AlignRight});
    }
    return spec;
}

// Label and value pairs laid out `pairs` to a row.
std::vector<TableRow> PairRows(const std::vector<std::pair<QString, QString>> &items, int pairs)
{
    std::vector<TableRow> rows;
    for (size_t i = 0; i < items.size(); i += size_t(pairs)) {
        TableRow row;
        for (size_t k = i; k < i + size_t(pairs); ++k) {
            row.cells.append(k < items.size() ? items[k].first : QString());
            row.cells.append(k < items.size() ? items[k].second : QString());
        }
        rows.push_back(row);
    }
    return rows;
}

void Pairs(ReportPage &page, const std::vector<std::pair<QString, QString>> &items, int pairs,
           double points = 8.0)
{
    page.Table(PairsSpec(pairs, points), PairRows(items, pairs));
}

QColor YarnColor(const Yarn &yarn)
{
    return QColor(yarn.color & 0xff, (yarn.color >> 8) & 0xff, (yarn.color >> 16) & 0xff);
}

// The run-in a bar's yarn takes per rack: the mean of the entered values, or the formula's when
// the bar has no course states (as the composition counts it).
double BarRunInFigure(const Sheet &s, int32_t b)
{
    const BarRunIn &entry = s.runIn[size_t(b)];
    return s.in.document.bars[size_t(b)].courseStates.empty() ? entry.formulaRunIn
                                                              : entry.averageRunIn;
}

QString TreatmentName(const Sheet &s, int32_t method)
{
    switch (method) {
    case TreatmentShearing:
        return s.L(LabelShearing);
    case TreatmentLoopRaising:
        return s.L(LabelLoopRaising);
    default:
        return s.L(LabelNone);
    }
}

QString RepeatText(const RepeatSize &repeat)
{
    return QStringLiteral("%1 x %2").arg(repeat.wales).arg(repeat.courses);
}

QString RepeatCmText(const RepeatSize &repeat)
{
    return Figure(repeat.widthCm, 2) + QStringLiteral(" x ") + Figure(repeat.heightCm, 2);
}

// ---- Shared blocks ----

void MachineBlock(ReportPage &page, const Sheet &s)
{
    const MainData &h = s.in.header;
    const RepeatSize repeat
        = DesignRepeat(s.in.document, s.settings.walesPerInch, s.settings.coursesPerCm);
    page.Heading(s.L(LabelMachine), page.LineHeight(8.0) * 3);
    Pairs(page,
          {{s.L(LabelBars), QString::number(s.in.document.bars.size())},
           {s.L(LabelCourses), QString::number(s.in.document.CourseCount())},
           {s.L(LabelGauge), QString::number(h.gauge)},
           {s.L(LabelWalesPerInch), Figure(s.settings.walesPerInch, 2)},
           {s.L(LabelMachineCpc), Figure(h.coursesPerCm, 2)},
           {s.L(LabelFinishedCpc), Figure(s.settings.coursesPerCm, 2)},
           {s.L(LabelMachineWidth), Figure(h.widthInch, 2)},
           {s.L(LabelFinishedWidth), Figure(s.settings.widthInch, 2)},
           {s.L(LabelRepeat), RepeatText(repeat)},
           {s.L(LabelRepeatCm), RepeatCmText(repeat)}},
          2);
}

void BarsBlock(ReportPage &page, const Sheet &s)
{
    TableSpec spec;
    spec.columns = {{QString(), 0.8, Qt::AlignLeft},
                    {s.L(LabelChain), 3.2, Qt::AlignLeft},
                    {s.L(LabelThreading), 1.6, Qt::AlignLeft},
                    {s.L(LabelRunIn), 1.0, Qt::AlignRight}};
    spec.maxLines = 3;
    std::vector<TableRow> rows;
    for (int32_t b = 0; b < int32_t(s.in.document.bars.size()); ++b) {
        const Tex &bar = s.in.document.bars[size_t(b)];
        rows.push_back(
            {{s.LayerName(b), ChainText(bar, s.options.threeSteps), ThreadingRunsText(bar),
              QString::number(TruncToInt32(BarRunInFigure(s, b)))},
             QColor(),
             false});
    }
    page.Table(spec, rows);
}

void YarnsBlock(ReportPage &page, const Sheet &s)
{
    page.Heading(s.L(LabelYarns), page.LineHeight(8.0) * 3);
    TableSpec spec;
    spec.columns = {{s.in.texts.composition.TextAt(CompositionTextYarn), 0.6, Qt::AlignLeft},
                    {QStringLiteral("Spec."), 1.8, Qt::AlignLeft},
                    {QString(), 0.6, Qt::AlignLeft},
                    {s.L(LabelName), 2.2, Qt::AlignLeft},
                    {s.L(LabelCode), 1.4, Qt::AlignLeft}};
    spec.swatchColumn = 2;
    spec.maxLines = 2;
    std::vector<TableRow> rows;
    const std::vector<Yarn> &yarns = s.in.document.yarns;
    for (size_t y = 0; y < yarns.size(); ++y) {
        rows.push_back({{QString(YarnLetter(int32_t(y))), YarnSpecText(yarns[y]), QString(),
                         DecodeText(yarns[y].name), DecodeText(yarns[y].code)},
                        YarnColor(yarns[y]),
                        false});
    }
    page.Table(spec, rows);
}

void CompositionBlock(ReportPage &page, const Sheet &s)
{
    page.Heading(s.L(LabelComposition), page.LineHeight(8.0) * 3);
    const TStringTable &ct = s.in.texts.composition;
    TableSpec spec;
    spec.columns = {{CompositionHeader(ct, CompositionBar), 0.8, Qt::AlignLeft},
                    {CompositionHeader(ct, CompositionYarn), 0.8, Qt::AlignLeft},
                    {CompositionHeader(ct, CompositionEnds), 1.0, Qt::AlignRight},
                    {CompositionHeader(ct, CompositionGramsPerYard), 1.2, Qt::AlignRight},
                    {CompositionHeader(ct, CompositionPercent), 1.0, Qt::AlignRight}};
    std::vector<TableRow> rows;
    const std::vector<YarnUse> &records = s.composition.records;
    double percent = 0.0;
    int64_t ends = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        TableRow row;
        for (int32_t column : {CompositionBar, CompositionYarn, CompositionEnds,
                               CompositionGramsPerYard, CompositionPercent})
            row.cells.append(
                CompositionCellText(s.composition, s.in.document.yarns, int32_t(r + 1), column));
        percent += records[r].percent;
        ends += records[r].ends;
        rows.push_back(row);
    }
    rows.push_back({{s.L(LabelTotal), QString(), QString::number(ends),
                     FormatNumber(s.composition.totalGramsPerYard, 2), FormatNumber(percent, 2)},
                    QColor(),
                    true});
    page.Table(spec, rows);
}

void PropertyBlock(ReportPage &page, const Sheet &s)
{
    const PropertyRecord &p = s.in.properties;
    const TStringTable &mt = s.in.texts.metaData;
    page.Heading(s.L(LabelProperty), page.LineHeight(8.0) * 3);
    Pairs(page,
          {{mt.TextAt(3), DecodeText(p.machineName)},
           {mt.TextAt(4), DecodeText(p.knittingDate)},
           {mt.TextAt(5), DecodeText(p.department)},
           {mt.TextAt(7), QString::number(p.rpm)},
           {mt.TextAt(8), FormatNumber(p.hours, 2)},
           {mt.TextAt(9), QString::number(p.efficiency)},
           {mt.TextAt(10), QString::number(p.countOfW)},
           {mt.TextAt(14), QString::number(p.cutYard)},
           {mt.TextAt(11), FormatNumber(p.testWidth, 2)},
           {mt.TextAt(12), FormatNumber(p.testHeight, 2)},
           {mt.TextAt(13), FormatNumber(p.testWeight, 3)},
           {s.L(LabelGramsPerSquareMetre), Figure(GramsPerSquareMetre(p), 2)},
           {s.L(LabelMetresPerDay), Figure(MetresPerDay(p, s.in.header.coursesPerCm), 2)}},
          2);
    if (!p.detailLines.empty()) {
        QStringList lines;
        for (const QByteArray &line : p.detailLines)
            lines.append(DecodeText(line));
        TableSpec spec;
        spec.columns = {{QString(), 1.3, Qt::AlignLeft}, {QString(), 3.3, Qt::AlignLeft}};
        spec.showHeader = false;
        spec.maxLines = 8;
        page.Table(spec, {{{s.L(LabelDetails), lines.join(QLatin1Char('\n'))}, QColor(), false}});
    }
}

void ApprovalBlock(ReportPage &page, const Sheet &s)
{
    const double mm = page.mm();
    const double height = 18.0 * mm;
    page.Heading(s.L(LabelApproval), height);
    const double left = page.left();
    const double width = page.right() - left;
    const double top = page.y();
    const QFont font = page.Font(8.0);
    const QStringList names{s.L(LabelDesigned), s.L(LabelChecked), s.L(LabelApproved)};
    page.Paint([&](QPainter &p) {
        p.setFont(font);
        p.setPen(QPen(Qt::black, 0.25 * mm));
        const double boxWidth = width / 3.0;
        for (int i = 0; i < 3; ++i) {
            const QRectF box(left + i * boxWidth, top, boxWidth, height);
            p.drawRect(box);
            const QRectF title(box.left(), box.top(), box.width(), 6.0 * mm);
            p.drawLine(title.bottomLeft(), title.bottomRight());
            p.drawText(title, Qt::AlignCenter, names[i]);
        }
    });
    page.Skip(height);
}

// ---- Pictures ----

void PreparePicture(Sheet &s)
{
    s.settings = s.in.simulation;
    if (!s.in.picture.isNull()) {
        s.picture = s.in.picture;
        return;
    }
    // No picture from the simulation window: a run with the stored settings, on copies.
    TreatmentData treatment = s.in.treatment;
    TCorvexBitmap bitmap;
    RandomSource random(1);
    const SimulationJob job{s.in.header, s.in.document, s.in.guideBars, treatment,
                            s.settings,  /*bar*/ 0,     s.in.viewSize};
    // A design the simulation cannot picture (no courses, a zero gauge) still gets its sheet,
    // with the reason where the picture would be.
    if (!RunSimulation(job, bitmap, random, nullptr, nullptr, &s.pictureError))
        return;
    s.picture = bitmap.image().copy();
}

// The picture fitted into width x height at the cursor, or the reason there is none.
QRectF PictureOrReason(ReportPage &page, const Sheet &s, double width, double height)
{
    if (s.picture.isNull()) {
        page.Paragraph(s.pictureError);
        return QRectF();
    }
    return page.Picture(s.picture, width, height);
}

double Zoom(const SimulationSettings &settings)
{
    const double zoom = settings.zoomUnits + 0.1 * settings.zoomTenths;
    return zoom > 0.0 ? zoom : 1.0;
}

// A scale bar one centimetre of fabric long at `unitsPerPixel` device units per picture pixel.
void ScaleBar(ReportPage &page, const Sheet &s, double unitsPerPixel)
{
    const double mm = page.mm();
    double length = kPixelsPerCm * Zoom(s.settings) * unitsPerPixel;
    QString label = s.L(LabelScaleBar);
    if (length > page.right() - page.left()) {
        length /= 10.0;
        label = QStringLiteral("1 mm");
    }
    const double height = 8.0 * mm;
    page.Ensure(height);
    const double x = page.left();
    const double y = page.y() + 3.0 * mm;
    const QFont font = page.Font(8.0);
    page.Paint([&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(QRectF(x, y, length, 1.0 * mm));
        p.setPen(QPen(Qt::black, 0.2 * mm));
        p.drawLine(QPointF(x, y - 1.0 * mm), QPointF(x, y + 2.0 * mm));
        p.drawLine(QPointF(x + length, y - 1.0 * mm), QPointF(x + length, y + 2.0 * mm));
        p.setFont(font);
        p.drawText(QRectF(x + length + 2.0 * mm, y - 2.0 * mm, 30.0 * mm, 5.0 * mm),
                   Qt::AlignLeft | Qt::AlignVCenter, label);
    });
    page.Skip(height);
}

// The picture over pages at `unitsPerPixel`: bands of picture rows from the top, each band cut
// into pieces as wide as the column, left to right, each piece on a page of its own; the first
// piece starts below what the page already holds when enough room is left.
void TiledPicture(ReportPage &page, const QImage &picture, double unitsPerPixel,
                  double reserveBelow, const std::function<void()> &belowEachTile)
{
    if (picture.isNull() || unitsPerPixel <= 0.0)
        return;
    const double mm = page.mm();
    const int tileWidth
        = std::max(1, int(std::floor((page.right() - page.left()) / unitsPerPixel)));
    bool first = true;
    for (int top = 0; top < picture.height();) {
        if (!first || page.room() - reserveBelow < 30.0 * mm)
            page.NewPage();
        first = false;
        const int rows
            = std::min(picture.height() - top,
                       std::max(1, int(std::floor((page.room() - reserveBelow) / unitsPerPixel))));
        const double bandTop = page.y();
        for (int left = 0; left < picture.width(); left += tileWidth) {
            if (left > 0) {
                page.NewPage();
                page.setY(bandTop);
            }
            const int w = std::min(tileWidth, picture.width() - left);
            const QRectF target(page.left(), page.y(), w * unitsPerPixel, rows * unitsPerPixel);
            page.DrawPicture(picture, target, QRectF(left, top, w, rows));
            page.Skip(target.height());
            if (belowEachTile)
                belowEachTile();
        }
        top += rows;
    }
}

// ---- Sheets ----

void SimpleSheet(ReportPage &page, Sheet &s)
{
    const double mm = page.mm();
    const auto blocks = [&s](ReportPage &flow) {
        MachineBlock(flow, s);
        BarsBlock(flow, s);
        YarnsBlock(flow, s);
        CompositionBlock(flow, s);
        PropertyBlock(flow, s);
        ApprovalBlock(flow, s);
    };
    // The picture takes the room the blocks leave on the page, within limits, so that an
    // ordinary design fits one page on either paper and in either orientation.
    const double room = page.room() - page.MeasureHeight(blocks) - 3.0 * mm;
    PictureOrReason(page, s, page.right() - page.left(), std::clamp(room, 30.0 * mm, 90.0 * mm));
    page.Skip(2.0 * mm);
    blocks(page);
}

void LandscapeSheet(ReportPage &page, Sheet &s)
{
    const double mm = page.mm();
    const QRectF content = page.contentRect();
    const double split = content.left() + content.width() * 0.42;
    page.setColumn(content.left(), split - 3.0 * mm);
    PictureOrReason(page, s, split - 3.0 * mm - content.left(), content.height() * 0.62);
    page.Skip(2.0 * mm);
    ApprovalBlock(page, s);
    const int pictureSide = page.pageNumber();
    page.setColumn(split + 3.0 * mm, content.right());
    page.setY(content.top());
    if (page.pageNumber() != pictureSide)
        page.setColumn(content.left(), content.right());
    MachineBlock(page, s);
    BarsBlock(page, s);
    YarnsBlock(page, s);
    CompositionBlock(page, s);
    PropertyBlock(page, s);
}

void SimulationSettingsBlock(ReportPage &page, const Sheet &s)
{
    const SimulationSettings &st = s.settings;
    const RepeatSize repeat = DesignRepeat(s.in.document, st.walesPerInch, st.coursesPerCm);
    QString effect = s.L(LabelNone);
    if (st.effect == EffectSolid)
        effect = s.L(LabelSolid);
    else if (st.effect == EffectWave)
        effect = s.L(LabelWave);
    const QColor background(st.backgroundColor & 0xff, (st.backgroundColor >> 8) & 0xff,
                            (st.backgroundColor >> 16) & 0xff);
    page.Heading(s.L(LabelSimulationSettings), page.LineHeight(8.0) * 3);
    Pairs(page,
          {{s.L(LabelZoom), FormatNumber(Zoom(st), 1)},
           {s.L(LabelFinishedWidth), Figure(st.widthInch, 2)},
           {s.L(LabelFinishedCpc), Figure(st.coursesPerCm, 2)},
           {s.L(LabelWalesPerInch), Figure(st.walesPerInch, 2)},
           {s.L(LabelScatter), QString::number(st.fuzz)},
           {s.L(LabelBackView), s.YesNo(st.backView)},
           {s.L(LabelColorOnColor), s.YesNo(st.colorOnColor)},
           {s.L(LabelBackground), background.name().toUpper()},
           {s.L(LabelEffect), effect},
           {s.L(LabelEffectPower), QString::number(st.power)},
           {s.L(LabelInvertShade), s.YesNo(st.invertShade)},
           {s.L(LabelOptimize), s.YesNo(st.optimize)},
           {s.L(LabelRepeats), QStringLiteral("%1 x %2").arg(st.repeatsAcross).arg(st.repeatsDown)},
           {s.L(LabelPitches),
            Figure(st.pxPerWale, 2) + QStringLiteral(" / ") + Figure(st.pxPerCourse, 2)},
           {s.L(LabelTreatment), TreatmentName(s, s.in.treatment.method)},
           {s.L(LabelMachineCpc), Figure(s.in.header.coursesPerCm, 2)},
           {s.L(LabelRepeat), RepeatText(repeat)},
           {s.L(LabelRepeatCm), RepeatCmText(repeat)}},
          2);
}

void SimulationSheet(ReportPage &page, Sheet &s)
{
    const double mm = page.mm();
    if (s.options.method == 2) {
        const double unitsPerPixel = 10.0 * mm / (kPixelsPerCm * Zoom(s.settings));
        if (s.picture.isNull())
            page.Paragraph(s.pictureError);
        TiledPicture(page, s.picture, unitsPerPixel, 10.0 * mm,
                     [&] { ScaleBar(page, s, unitsPerPixel); });
    } else {
        const double width = page.right() - page.left();
        const double height = page.contentRect().height() - 95.0 * mm;
        const QRectF drawn = PictureOrReason(page, s, width, height);
        if (!s.picture.isNull())
            ScaleBar(page, s, drawn.width() / s.picture.width());
    }
    SimulationSettingsBlock(page, s);
}

void DesignDataSheet(ReportPage &page, Sheet &s)
{
    const TexLayer &doc = s.in.document;
    const TStringTable &gt = s.in.texts.guideBar;
    Pairs(page,
          {{s.L(LabelTreatment), TreatmentName(s, s.in.treatment.method)},
           {s.L(LabelCourses), QString::number(doc.CourseCount())}},
          2);
    const char *formulas[] = {"d1", "d2", "d3"};
    for (int32_t b = 0; b < int32_t(doc.bars.size()); ++b) {
        const Tex &bar = doc.bars[size_t(b)];
        const size_t k = size_t(std::clamp(b, 0, kMaxBars - 1));
        const int32_t formula = s.in.guideBars.formula[k];
        const BarRunIn &runIn = s.runIn[size_t(b)];
        const QString treated = TreatedCoursesText(s.in.treatment, b);
        page.Skip(2.0 * page.mm());
        page.Heading(s.LayerName(b), page.LineHeight(8.0) * 4);
        // The chain in full, flowing on to the next page when it is long.
        page.Paragraph(s.L(LabelChain) + QStringLiteral(": ")
                       + ChainText(bar, s.options.threeSteps));
        page.Skip(1.0 * page.mm());
        Pairs(page,
              {{s.L(LabelThreading), ThreadingRunsText(bar)},
               {s.L(LabelThreadingStart), QString::number(bar.shift)},
               {s.L(LabelDescription), DecodeText(s.in.guideBars.description[k])},
               {s.L(LabelRunInFormula),
                QLatin1String(formulas[formula >= 0 && formula < 3 ? formula : 2])},
               {s.L(LabelNoTension), s.YesNo(s.in.guideBars.noTension[k])},
               {s.L(LabelRunInBrightness), s.YesNo(s.in.guideBars.runInBrightness[k])},
               {s.L(LabelAverageRunIn), Figure(runIn.averageRunIn, 2)},
               {s.L(LabelFormulaRunIn), Figure(runIn.formulaRunIn, 2)},
               {s.L(LabelTreatedCourses), treated.isEmpty() ? QStringLiteral("-") : treated}},
              2);

        // The threading runs as the guide-bar window lists them.
        TableSpec threading;
        for (int32_t c = 0; c < kThreadingColumns; ++c)
            threading.columns.push_back({ThreadingHeaderText(gt, c), 1.0, Qt::AlignLeft});
        std::vector<TableRow> rows;
        for (int32_t r = 1; r <= int32_t(bar.threading.size()); ++r) {
            TableRow row;
            for (int32_t c = 0; c < kThreadingColumns; ++c)
                row.cells.append(ThreadingCellText(bar.threading, r, c));
            rows.push_back(row);
        }
        page.Skip(1.0 * page.mm());
        page.Table(threading, rows);

        // The course table, equal neighbouring courses merged.
        TableSpec courses;
        courses.columns.push_back({s.L(LabelCourses), 1.2, Qt::AlignLeft});
        for (int32_t c = 1; c < kCourseColumns; ++c)
            courses.columns.push_back({CourseHeaderText(gt, c), 1.0, Qt::AlignRight});
        rows.clear();
        for (const CourseRun &run : MergeCourseRuns(bar)) {
            TableRow row;
            row.cells.append(CourseRangeText(run.first, run.last));
            for (int32_t c = 1; c < kCourseColumns; ++c)
                row.cells.append(CourseCellText(bar, run.first + 1, c));
            rows.push_back(row);
        }
        page.Skip(1.0 * page.mm());
        page.Table(courses, rows);
    }
}

// The chart of the bars marked in `visible`, drawn by the design window's chart code.
QImage ChartPicture(const Sheet &s, const std::vector<uint8_t> &visible, int32_t *cellPixels)
{
    TexLayer layer = s.in.document;
    for (int32_t b = 0; b < int32_t(layer.bars.size()); ++b)
        layer.SetBarVisible(b, visible[size_t(b)]);
    layer.selMode = 2; // neither the cursor nor a selection frame on paper
    const QSize cells = ChartSize(layer, 1);
    if (cells.isEmpty())
        return QImage();
    const double area = double(cells.width()) * double(cells.height());
    const int32_t cell = std::clamp(int32_t(std::floor(std::sqrt(kChartPixels / area))), 2, 20);
    const QSize size = ChartSize(layer, cell);
    QImage canvas(size, QImage::Format_RGB32);
    if (canvas.isNull())
        return QImage();
    LappingView view;
    view.LoadBackground(s.in.programDirectory, s.in.chartBackground);
    view.Draw(layer, canvas, ChartGeometry(layer, cell, size.width(), size.height()), false);
    *cellPixels = cell;
    return canvas;
}

void ChartBlock(ReportPage &page, Sheet &s, const QString &title,
                const std::vector<uint8_t> &visible, bool ownPage)
{
    auto kept = s.charts.find(visible);
    if (kept == s.charts.end()) {
        int32_t cellPixels = 1;
        QImage picture = ChartPicture(s, visible, &cellPixels);
        kept = s.charts.emplace(visible, std::make_pair(std::move(picture), cellPixels)).first;
    }
    const QImage &chart = kept->second.first;
    const int32_t cell = kept->second.second;
    if (ownPage && page.y() > page.contentRect().top() + 0.5)
        page.NewPage();
    page.Heading(title, page.LineHeight(8.0) * 2);
    TableSpec spec;
    spec.columns = {{QString(), 1.0, Qt::AlignLeft}, {QString(), 6.0, Qt::AlignLeft}};
    spec.showHeader = false;
    spec.maxLines = 6;
    std::vector<TableRow> rows;
    for (int32_t b = 0; b < int32_t(s.in.document.bars.size()); ++b) {
        if (visible[size_t(b)])
            rows.push_back(
                {{s.LayerName(b), ChainText(s.in.document.bars[size_t(b)], s.options.threeSteps)},
                 {},
                 false});
    }
    page.Table(spec, rows);
    page.Skip(2.0 * page.mm());
    if (chart.isNull())
        return;
    if (s.options.method == 2) {
        TiledPicture(page, chart, kChartCellMm * page.mm() / cell, 0.0, {});
    } else {
        if (page.room() < page.contentRect().height() * 0.4)
            page.NewPage();
        page.Picture(chart, page.right() - page.left(), page.room());
    }
}

void DesignImageSheet(ReportPage &page, Sheet &s)
{
    const TexLayer &doc = s.in.document;
    const size_t bars = doc.bars.size();
    if (s.options.kind == ReportKind::DesignWindow) {
        std::vector<uint8_t> visible(bars);
        for (size_t b = 0; b < bars; ++b)
            visible[b] = doc.bars[b].visible;
        ChartBlock(page, s, s.L(LabelDesignWindow), visible, false);
        return;
    }
    for (size_t b = 0; b < bars; ++b) {
        if (s.options.kind == ReportKind::DesignLayer && int(b) != s.options.layer - 1)
            continue;
        std::vector<uint8_t> visible(bars, 0);
        visible[b] = 1;
        ChartBlock(page, s, s.LayerName(int32_t(b)), visible, b > 0);
    }
}

void YarnSheet(ReportPage &page, Sheet &s, bool partner)
{
    const std::vector<Yarn> &yarns = s.in.document.yarns;
    const TStringTable &yt = s.in.texts.yarnList;
    TableSpec list;
    list.fontPoints = 6.0;
    list.maxLines = 3;
    for (int32_t c = 0; c < kYarnListColumns; ++c) {
        const QString header = c == YarnColumnLetter
                                   ? s.in.texts.composition.TextAt(CompositionTextYarn)
                                   : YarnListHeader(yt, c);
        const bool number = c == YarnColumnDenier || c == YarnColumnFilaments
                            || c == YarnColumnLength || c == YarnColumnGloss
                            || c == YarnColumnTranslucency || c == YarnColumnPrice;
        double weight = 1.0;
        switch (c) {
        case YarnColumnLetter:
        case YarnColumnGloss:
            weight = 0.8;
            break;
        case YarnColumnName:
            weight = 1.6;
            break;
        case YarnColumnColor:
        case YarnColumnRemark:
        case YarnColumnTranslucency:
        case YarnColumnFilaments:
            weight = 1.25;
            break;
        case YarnColumnProcessing:
        case YarnColumnMaterial:
            weight = 1.15;
            break;
        default:
            break;
        }
        list.columns.push_back({header, weight, number ? Qt::AlignRight : Qt::AlignLeft});
    }
    list.columns.push_back({s.L(LabelYarnNumber), 1.0, Qt::AlignRight});
    list.columns.push_back({s.L(LabelHidden), 0.9, Qt::AlignLeft});
    list.swatchColumn = YarnColumnColor;
    std::vector<TableRow> rows;
    for (size_t y = 0; y < yarns.size(); ++y) {
        TableRow row;
        for (int32_t c = 0; c < kYarnListColumns; ++c)
            row.cells.append(YarnListCellText(yarns, int32_t(y + 1), c));
        row.cells.append(QString::number(yarns[y].yarnNumber));
        row.cells.append(s.YesNo(yarns[y].hidden));
        row.swatch = YarnColor(yarns[y]);
        rows.push_back(row);
    }
    page.Heading(s.L(LabelYarns), page.LineHeight(6.0) * 3);
    page.Table(list, rows);

    // The composition grid and its totals, as the composition window shows them.
    const TStringTable &ct = s.in.texts.composition;
    TableSpec grid;
    grid.fontPoints = 7.0;
    for (int32_t c = 0; c < kCompositionColumns; ++c)
        grid.columns.push_back({CompositionHeader(ct, c), c == CompositionSpec ? 2.0 : 1.0,
                                c >= CompositionEndsPerBeam ? Qt::AlignRight : Qt::AlignLeft});
    rows.clear();
    for (int32_t r = 1; r <= int32_t(s.composition.records.size()); ++r) {
        TableRow row;
        for (int32_t c = 0; c < kCompositionColumns; ++c)
            row.cells.append(CompositionCellText(s.composition, yarns, r, c));
        rows.push_back(row);
    }
    page.Skip(2.0 * page.mm());
    page.Heading(s.L(LabelComposition), page.LineHeight(7.0) * 3);
    page.Table(grid, rows);
    TableSpec totals;
    totals.fontPoints = 7.0;
    totals.showHeader = false;
    for (int32_t c = 0; c < 5; ++c)
        totals.columns.push_back({QString(), 1.0, c == 0 ? Qt::AlignLeft : Qt::AlignRight});
    rows.clear();
    for (int32_t r = 0; r < 3; ++r) {
        TableRow row;
        row.bold = r == 0;
        for (int32_t c = 0; c < 5; ++c) {
            const QString label = CompositionTotalLabel(ct, r, c);
            row.cells.append(!label.isEmpty() ? label
                                              : CompositionTotalText(s.composition, s.in.header,
                                                                     s.in.simulation, r, c));
        }
        rows.push_back(row);
    }
    page.Skip(1.0 * page.mm());
    page.Table(totals, rows);

    if (!partner)
        return;
    // Kilograms of each yarn per cut of the property record's cut yards.
    TableSpec cut;
    cut.fontPoints = 7.0;
    cut.columns = {{ct.TextAt(CompositionTextYarn), 0.6, Qt::AlignLeft},
                   {QStringLiteral("Spec."), 2.0, Qt::AlignLeft},
                   {s.L(LabelGramsPerYard), 1.0, Qt::AlignRight},
                   {s.L(LabelCutYard), 1.0, Qt::AlignRight},
                   {s.L(LabelKilogramsPerCut), 1.2, Qt::AlignRight}};
    rows.clear();
    const double cutYard = s.in.properties.cutYard;
    double totalKg = 0.0;
    for (size_t y = 0; y < yarns.size(); ++y) {
        double grams = 0.0;
        bool used = false;
        for (const YarnUse &use : s.composition.records) {
            if (use.yarn == int32_t(y)) {
                grams += use.gramsPerYard;
                used = true;
            }
        }
        if (!used)
            continue;
        const double kg = grams * cutYard / 1000.0;
        totalKg += kg;
        rows.push_back(
            {{QString(YarnLetter(int32_t(y))), YarnSpecText(yarns[y]), FormatNumber(grams, 2),
              QString::number(s.in.properties.cutYard), FormatSheetFigure(kg, 3)},
             {},
             false});
    }
    rows.push_back({{s.L(LabelTotal), QString(), FormatNumber(s.composition.totalGramsPerYard, 2),
                     QString::number(s.in.properties.cutYard), FormatSheetFigure(totalKg, 3)},
                    {},
                    true});
    page.Skip(2.0 * page.mm());
    page.Heading(s.L(LabelKilogramsPerCut), page.LineHeight(7.0) * 3);
    page.Table(cut, rows);
}

void CostSheetPages(ReportPage &page, Sheet &s)
{
    const TStringTable &ct = s.in.texts.cost;
    const CostSheet sheet
        = ComputeCostSheet(s.in.cost, s.composition.records, s.in.document.yarns,
                           s.in.header.coursesPerCm, s.in.simulation.coursesPerCm);
    TableSpec spec;
    spec.fontPoints = 6.5;
    spec.maxLines = 3;
    const CostSheetRow header = CostSheetHeader(ct);
    for (int c = 0; c < kCostSheetColumns; ++c)
        spec.columns.push_back(
            {header[size_t(c)], c == 0 ? 2.2 : 1.0, c == 0 ? Qt::AlignLeft : Qt::AlignRight});
    std::vector<TableRow> rows;
    for (const CostSheetRow &row : CostSheetRows(sheet, s.in.document.yarns, ct))
        rows.push_back({QStringList(row.begin(), row.end()), {}, false});
    page.Heading(ct.TextAt(24), page.LineHeight(6.5) * 3);
    page.Table(spec, rows);

    std::vector<std::pair<QString, QString>> parameters;
    std::vector<TableRow> items;
    const std::vector<CostField> &fields = CostFields();
    for (const CostField &field : fields) {
        if (field.label >= 0)
            parameters.push_back({ct.TextAt(field.label), CostFieldText(s.in.cost, field)});
    }
    for (int i = 0; i < kCostItemCount; ++i) {
        const QString name = DecodeText(s.in.cost.itemName[size_t(i)]);
        items.push_back(
            {{name.isEmpty() ? ct.TextAt(17) + QLatin1Char(' ') + QString::number(i + 1) : name,
              FormatCurrency(s.in.cost.itemCost[size_t(i)])},
             {},
             false});
    }
    page.Skip(3.0 * page.mm());
    page.Heading(s.L(LabelCostParameters), page.LineHeight(7.0) * 3);
    Pairs(page, parameters, 2, 7.0);
    TableSpec itemSpec;
    itemSpec.fontPoints = 7.0;
    itemSpec.columns = {{ct.TextAt(17), 2.0, Qt::AlignLeft}, {ct.TextAt(18), 1.0, Qt::AlignRight}};
    page.Skip(1.0 * page.mm());
    page.Table(itemSpec, items);
}

QString SheetTitle(const Sheet &s)
{
    switch (s.options.kind) {
    case ReportKind::Simple:
        return s.L(LabelSimple);
    case ReportKind::Landscape:
        return s.L(LabelSimpleLandscape);
    case ReportKind::Simulation:
        return s.L(LabelSimulationData);
    case ReportKind::DesignData:
        return s.L(LabelDesignData);
    case ReportKind::DesignWindow:
        return s.L(LabelDesignImage) + QStringLiteral(" - ") + s.L(LabelDesignWindow);
    case ReportKind::DesignLayers:
        return s.L(LabelDesignImage) + QStringLiteral(" - ") + s.L(LabelAllLayers);
    case ReportKind::DesignLayer:
        return s.L(LabelDesignImage) + QStringLiteral(" - ") + s.LayerName(s.options.layer - 1);
    case ReportKind::Yarn:
        return s.L(LabelYarnData);
    case ReportKind::YarnPartner:
        return s.L(LabelYarnDataOmbra);
    case ReportKind::Cost:
        return s.L(LabelCostData);
    }
    return QString();
}

void LayOut(ReportPage &page, Sheet &s)
{
    page.Begin();
    switch (s.options.kind) {
    case ReportKind::Simple:
        SimpleSheet(page, s);
        break;
    case ReportKind::Landscape:
        LandscapeSheet(page, s);
        break;
    case ReportKind::Simulation:
        SimulationSheet(page, s);
        break;
    case ReportKind::DesignData:
        DesignDataSheet(page, s);
        break;
    case ReportKind::DesignWindow:
    case ReportKind::DesignLayers:
    case ReportKind::DesignLayer:
        DesignImageSheet(page, s);
        break;
    case ReportKind::Yarn:
        YarnSheet(page, s, false);
        break;
    case ReportKind::YarnPartner:
        YarnSheet(page, s, true);
        break;
    case ReportKind::Cost:
        CostSheetPages(page, s);
        break;
    }
}

bool NeedsPicture(ReportKind kind)
{
    return kind == ReportKind::Simple || kind == ReportKind::Landscape
           || kind == ReportKind::Simulation;
}

// Margins and orientation of the sheet on the device.
void SetUpPage(QPagedPaintDevice &device, ReportKind kind)
{
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    if (kind == ReportKind::Landscape)
        layout.setOrientation(QPageLayout::Landscape);
    layout.setMargins(QMarginsF(15.0, 15.0, 15.0, 15.0));
    device.setPageLayout(layout);
}

// Prepares the shared figures; false with an error when the sheet cannot be made.
bool Prepare(Sheet &s, QString *error)
{
    const ReportOptions &o = s.options;
    if (o.kind == ReportKind::DesignLayer
        && (o.layer < 1 || o.layer > int(s.in.document.bars.size()))) {
        if (error) {
            *error = s.in.texts.message.TextAt(kNoSuchLayerMessage);
            if (error->isEmpty())
                *error = QStringLiteral("The design has no such layer. Nothing was printed.");
        }
        return false;
    }
    s.composition = ComputeComposition(s.in.document, s.in.header, s.in.guideBars);
    s.runIn = MakeRunInReport(s.in.header, s.in.document, s.in.guideBars);
    s.settings = s.in.simulation;
    if (NeedsPicture(o.kind))
        PreparePicture(s);
    return true;
}

PageFrame MakeFrame(const Sheet &s)
{
    PageFrame frame;
    frame.title = SheetTitle(s);
    frame.fabricName = DecodeText(s.in.header.note1);
    frame.fabricCode = DecodeText(s.in.header.note2).left(10);
    frame.fileName = QFileInfo(s.in.fileName).fileName();
    frame.printDate = s.in.printDate;
    frame.caption = ProgramCaption(s.in.ombra);
    return frame;
}

int CountPages(QPagedPaintDevice &device, Sheet &s)
{
    ReportPage page(device, nullptr, MakeFrame(s), 0);
    LayOut(page, s);
    return page.pageNumber();
}

} // namespace

QStringList ReportKindNames()
{
    QStringList names;
    for (const KindInfo &info : kKinds)
        names.append(QLatin1String(info.name));
    return names;
}

QString ReportKindName(ReportKind kind)
{
    for (const KindInfo &info : kKinds) {
        if (info.kind == kind)
            return QLatin1String(info.name);
    }
    return QString();
}

std::optional<ReportKind> ReportKindFromName(const QString &name)
{
    for (const KindInfo &info : kKinds) {
        if (name == QLatin1String(info.name))
            return info.kind;
    }
    return std::nullopt;
}

std::optional<ReportKind> ReportKindForChoice(int style, int data, int option, bool ombra,
                                              int *layer)
{
    if (style == 0)
        return ReportKind::Simple;
    if (style == 1)
        return ReportKind::Landscape;
    if (style != 2)
        return std::nullopt;
    switch (data) {
    case 0:
        return ReportKind::Simulation;
    case 1:
        return ReportKind::DesignData;
    case 2:
        if (option == 1)
            return ReportKind::DesignWindow;
        if (option == 2)
            return ReportKind::DesignLayers;
        if (option >= 3 && option <= 6) {
            if (layer)
                *layer = option - 2;
            return ReportKind::DesignLayer;
        }
        return std::nullopt;
    case 3:
        return ReportKind::Yarn;
    case 4:
        return ombra ? ReportKind::YarnPartner : ReportKind::Cost;
    case 5:
        if (ombra)
            return ReportKind::Cost;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

ReportTexts LoadReportTexts(const QString &programDirectory, const QString &language)
{
    ReportTexts texts;
    LoadTable(texts.print, programDirectory, language, QStringLiteral("Print"));
    LoadTable(texts.cost, programDirectory, language, QStringLiteral("Cost"));
    LoadTable(texts.composition, programDirectory, language, QStringLiteral("Composition"));
    LoadTable(texts.metaData, programDirectory, language, QStringLiteral("MetaData"));
    LoadTable(texts.yarnList, programDirectory, language, QStringLiteral("YarnList"));
    LoadTable(texts.simulation, programDirectory, language, QStringLiteral("Simulation"));
    LoadTable(texts.guideBar, programDirectory, language, QStringLiteral("Guide Bar"));
    LoadTable(texts.message, programDirectory, language, QStringLiteral("Message"));
    LoadTable(texts.main, programDirectory, language, QStringLiteral("Main"));
    return texts;
}

int CountReportPages(QPagedPaintDevice &device, const ReportInput &input,
                     const ReportOptions &options, QString *error)
{
    Sheet s{input, options, {}, {}, {}, {}, {}, {}};
    if (!Prepare(s, error))
        return 0;
    SetUpPage(device, options.kind);
    return CountPages(device, s);
}

bool PaintReport(QPagedPaintDevice &device, const ReportInput &input, const ReportOptions &options,
                 QString *error, int *pages)
{
    Sheet s{input, options, {}, {}, {}, {}, {}, {}};
    if (!Prepare(s, error))
        return false;
    SetUpPage(device, options.kind);
    const int total = CountPages(device, s);
    if (pages)
        *pages = total;
    const int first = std::max(options.firstPage, 1);
    const int last = options.lastPage <= 0 ? total : std::min(options.lastPage, total);
    if (total < 1 || first > last) {
        if (error)
            *error = s.L(LabelNoPagesInRange).arg(total);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = s.L(LabelNotPrinted);
        return false;
    }
    ReportPage page(device, &painter, MakeFrame(s), total, first, last);
    LayOut(page, s);
    const bool ended = painter.end();
    if (!ended && error)
        *error = s.L(LabelNotPrinted);
    return ended;
}

} // namespace warplon
