#include "simulation/simulationrun.h"

#include "base/bytestream.h"
#include "base/progress.h"
#include "base/randomsource.h"
#include "bitmap/kvbitmap.h"
#include "knit/modelkey.h"
#include "knit/threading.h"
#include "knit/treatmentpasses.h"
#include "knit/tricot.h"
#include "simulation/reliefpasses.h"
#include "simulation/simulationcanvas.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace warplon {

namespace {

// A model beyond this many nodes is not a design repeat anyone knits.
constexpr int64_t kMaxModelNodes = 4'000'000;
constexpr int kViewerWidth = 1800;
constexpr int kViewerHeight = 1500;

// The bytes a stitch model is made of (see ModelShapeBytes), with what the run adds to it.
QByteArray ModelKey(const SimulationJob &job, const SimulationGeometry &g, int32_t lappingCount,
                    bool vertical, const DirectionMemory &directions)
{
    ByteWriter out;
    out.writeBytes(ModelShapeBytes(job.document));
    TreatmentData treatment = job.treatment;
    WriteTreatmentBlock(out, treatment, lappingCount);
    for (size_t b = 0; b < kMaxBars; ++b) {
        out.writeU8(job.guideBars.runInBrightness[b]);
        out.writeU8(job.guideBars.noTension[b]);
    }
    out.writeI32(g.wales);
    out.writeI32(g.courses);
    out.writeI32(lappingCount);
    out.writeU8(job.settings.backView ? 1 : 0);
    out.writeU8(job.settings.optimize ? 1 : 0);
    out.writeU8(vertical ? 1 : 0);
    out.writeU8(directions.laidIn ? 1 : 0);
    out.writeU8(directions.floatWalk ? 1 : 0);
    return out.data();
}

bool parseNumber(const QString &text, double &value)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

struct SimulationModelCache::Entry
{
    QByteArray key;
    TexLayer document; // the yarns the model refers to
    Tricot model;      // built and relaxed at pitch one, not shaded
    DirectionMemory directionsAfter;
};

SimulationModelCache::SimulationModelCache() = default;
SimulationModelCache::~SimulationModelCache() = default;

void SimulationModelCache::Clear()
{
    m_entry.reset();
}

bool ReadSimulationEdits(SimulationEdits &edits, SimulationSettings &settings, bool clampFuzz,
                         QString *error)
{
    SimulationEdits e = edits;
    if (e.zoom.trimmed().isEmpty())
        e.zoom = QStringLiteral("4.0");
    if (e.width.trimmed().isEmpty())
        e.width = QStringLiteral("0");
    if (e.density.trimmed().isEmpty())
        e.density = QStringLiteral("0");

    double width = 0;
    double density = 0;
    double zoom = 0;
    double fuzz = 0;
    const QString *bad = nullptr;
    if (!parseNumber(e.width, width))
        bad = &e.width;
    else if (!parseNumber(e.density, density))
        bad = &e.density;
    else if (!parseNumber(e.zoom, zoom))
        bad = &e.zoom;
    else if (!parseNumber(e.fuzz.trimmed().isEmpty() ? QStringLiteral("0") : e.fuzz, fuzz))
        bad = &e.fuzz;
    if (bad) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid number").arg(*bad);
        return false;
    }

    if (width < 1.0) {
        width = 1.0;
        e.width = QStringLiteral("1");
    }
    if (density < 5.0) {
        density = 5.0;
        e.density = QStringLiteral("5");
    } else if (density >= 100.0) {
        density = 100.0;
        e.density = QStringLiteral("100");
    }

    // The zoom keeps one decimal: units and a tenths digit.
    double units = std::trunc(zoom);
    double tenths = std::trunc(zoom * 10.0) - units * 10.0;
    if (units < 1.0) {
        units = 1.0;
        tenths = 0.0;
        e.zoom = QStringLiteral("1.0");
    } else if (units >= 101.0) {
        units = 100.0;
        tenths = 0.0;
        e.zoom = QStringLiteral("100");
    }

    int32_t scatter = int32_t(std::clamp(std::trunc(fuzz), -1e9, 1e9));
    if (clampFuzz) {
        scatter = std::clamp(scatter, 0, 99);
        e.fuzz = QString::number(scatter);
    }

    settings.widthInch = width;
    settings.coursesPerCm = density;
    settings.zoomUnits = int32_t(units);
    settings.zoomTenths = int32_t(tenths);
    settings.fuzz = scatter;
    edits = e;
    return true;
}

SimulationEdits EditsFromSettings(const SimulationSettings &settings)
{
    return {QStringLiteral("%1.%2").arg(settings.zoomUnits).arg(settings.zoomTenths),
            numberText(settings.widthInch), numberText(settings.coursesPerCm),
            QString::number(settings.fuzz)};
}

std::optional<SimulationGeometry> PrepareSimulation(SimulationSettings &settings,
                                                    const MainData &header,
                                                    const TexLayer &document, QSize view,
                                                    QString *error)
{
    auto fail = [&](const QString &message) -> std::optional<SimulationGeometry> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    SimulationGeometry g;
    g.zoom = settings.zoomUnits + 0.1 * settings.zoomTenths;
    g.wales = RepeatWidth(document);
    g.courses = header.courseCount;
    if (g.wales < 1 || g.courses < 1)
        return fail(QStringLiteral("The design has no courses or needles to simulate."));
    if (int64_t(g.wales) * g.courses > kMaxModelNodes)
        return fail(QStringLiteral("The repeat of %1 wales by %2 courses is too large to simulate.")
                        .arg(g.wales)
                        .arg(g.courses));
    if (header.gauge <= 0 || header.widthInch <= 0.0 || settings.widthInch <= 0.0
        || settings.coursesPerCm <= 0.0 || g.zoom <= 0.0)
        return fail(QStringLiteral("The gauge, widths and courses per cm must be above zero."));

    // The finished fabric spreads the machine's needles over its own width.
    settings.walesPerInch = double(header.gauge) * header.widthInch / settings.widthInch;
    // At zoom 1 the picture has 41 pixels per centimetre, 104.14 per inch.
    settings.pxPerWale = g.zoom * 104.14 / settings.walesPerInch;
    settings.pxPerCourse = g.zoom * 41.0 / settings.coursesPerCm;

    const double repeatWidth = std::floor(g.wales * settings.pxPerWale);
    const double repeatHeight = std::floor(g.courses * settings.pxPerCourse);
    if (!(repeatWidth >= 1.0 && repeatHeight >= 1.0 && repeatWidth < 1e6 && repeatHeight < 1e6))
        return fail(QStringLiteral("At this zoom one repeat would be %1 x %2 pixels.")
                        .arg(repeatWidth)
                        .arg(repeatHeight));
    // Enough repeats to cover the visible area.
    settings.repeatsAcross = int32_t(std::floor(view.width() / repeatWidth + 1.0));
    settings.repeatsDown = int32_t(std::floor(view.height() / repeatHeight + 1.0));

    g.repeatWidth = int32_t(repeatWidth);
    g.repeatHeight = int32_t(repeatHeight);
    g.xPitch = repeatWidth / g.wales;
    g.yPitch = repeatHeight / g.courses;
    const int64_t width = int64_t(g.repeatWidth) * settings.repeatsAcross;
    const int64_t height = int64_t(g.repeatHeight) * settings.repeatsDown;
    if (!BitmapSizeAllowed(width, height, 24))
        return fail(
            QStringLiteral("A picture of %1 x %2 pixels is too large.").arg(width).arg(height));
    g.pictureWidth = int32_t(width);
    g.pictureHeight = int32_t(height);
    return g;
}

bool RunSimulation(const SimulationJob &job, TCorvexBitmap &picture, RandomSource &random,
                   Progress *progress, StageTimings *timings, QString *error)
{
    QElapsedTimer total;
    total.start();
    QElapsedTimer stage;
    auto lap = [&](double StageTimings::*field) {
        if (timings)
            timings->*field += double(stage.nsecsElapsed()) / 1e6;
        stage.restart();
    };
    auto stopped = [&] {
        if (StopRequested(progress) && error)
            *error = QStringLiteral("The simulation was stopped.");
        return StopRequested(progress);
    };

    SimulationSettings &s = job.settings;
    const std::optional<SimulationGeometry> g
        = PrepareSimulation(s, job.header, job.document, job.view, error);
    if (!g)
        return false;

    TCorvexBitmap result;
    if (!result.Create(g->pictureWidth, g->pictureHeight, nullptr, 24)) {
        if (error)
            *error = QStringLiteral("There is not enough memory for the picture.");
        return false;
    }

    stage.start();
    const int32_t lappingCount
        = (job.currentBar >= 0 && job.currentBar < int32_t(job.document.bars.size()))
              ? job.document.bars[size_t(job.currentBar)].LappingCount()
              : 0;
    DirectionMemory &directions = job.directions ? *job.directions : ProgramDirectionMemory();
    const bool vertical = s.effect != 0; // any spandex effect also lets loops move up and down
    const QByteArray key
        = job.cache ? ModelKey(job, *g, lappingCount, vertical, directions) : QByteArray();
    std::shared_ptr<const SimulationModelCache::Entry> kept;
    if (job.cache && job.cache->m_entry && job.cache->m_entry->key == key)
        kept = job.cache->m_entry;

    std::optional<Tricot> built;
    if (kept) {
        built = kept->model;
        built->RebindYarns(kept->document.yarns.data(), kept->document.yarns.size(),
                           job.document.yarns.data());
        directions = kept->directionsAfter;
    } else {
        BeginStage(progress, StageBuild);
        built.emplace(g->wales, g->courses, 1.0, 1.0);
        DirectionMemory after = directions;
        built->Build(job.document, job.guideBars.runInBrightness, progress, after);
        lap(&StageTimings::build);
        if (stopped())
            return false;
        ApplyToModel(job.treatment, *built, s.backView, lappingCount);
        BeginStage(progress, StageRelax);
        const bool relaxed
            = built->RelaxPositions(s.optimize, vertical, progress, job.guideBars.noTension);
        lap(&StageTimings::relax);
        if (stopped() || !relaxed)
            return false;
        directions = after;
        if (job.cache) {
            auto entry = std::make_shared<SimulationModelCache::Entry>(
                SimulationModelCache::Entry{key, job.document, *built, after});
            entry->model.RebindYarns(job.document.yarns.data(), job.document.yarns.size(),
                                     entry->document.yarns.data());
            job.cache->m_entry = std::move(entry);
        }
    }
    Tricot &model = *built;
    model.Rescale(g->xPitch, g->yPitch);
    model.Shade();

    SimulationCanvas canvas(g->repeatWidth, g->repeatHeight, s.backgroundColor, s.fuzz,
                            s.colorOnColor, s.backView, g->zoom);
    canvas.BuildSegments(model, random);
    lap(&StageTimings::segments);
    BeginStage(progress, StagePaint);
    canvas.PaintSegments(result, progress);
    lap(&StageTimings::paint);
    if (stopped())
        return false;

    BeginStage(progress, StageEffect);
    ApplyEffect(result, model, g->repeatWidth, g->repeatHeight, s.backView, s.effect, s.power,
                s.invertShade, random, progress);
    BeginStage(progress, StageRelief);
    ApplyRelief(result, model, g->repeatWidth, g->repeatHeight, s.backView,
                job.guideBars.runInBrightness, random, progress);
    BeginStage(progress, StageTreatment);
    ApplyToPicture(job.treatment, result, model, g->repeatWidth, g->repeatHeight, random, progress);
    lap(&StageTimings::passes);
    if (stopped())
        return false;

    picture = std::move(result);
    if (timings)
        timings->total += double(total.nsecsElapsed()) / 1e6;
    return true;
}

TCorvexBitmap TileWholeViewer(const TCorvexBitmap &picture, bool *tooLarge)
{
    TCorvexBitmap canvas;
    if (!picture.IsAllocated() || !canvas.Create(kViewerWidth, kViewerHeight, nullptr, 24))
        return canvas;
    const int across = kViewerWidth / picture.Width() + 1;
    const int down = kViewerHeight / picture.Height() + 1;
    if (tooLarge)
        *tooLarge = across == 1 || down == 1;
    QPainter painter(&canvas.image());
    for (int j = 0; j < down; ++j) {
        for (int i = 0; i < across; ++i)
            painter.drawImage(i * picture.Width(), j * picture.Height(), picture.image());
    }
    return canvas;
}

} // namespace warplon
