#include "knit/samples.h"

#include "knit/runin.h"
#include "knit/threading.h"

#include <utility>
#include <vector>

namespace warplon {

namespace {

// The repeat is 16 courses: a whole number of every sample's lapping height (2 or 4).
constexpr int32_t kSampleCourses = 16;
// The diameter formula the guide-bar window starts with (d3).
constexpr int32_t kSampleFormula = 2;

constexpr int32_t rgb(int red, int green, int blue)
{
    return red | green << 8 | blue << 16;
}

Yarn yarn(const char *name, const char *code, double denier, int32_t filaments,
          YarnMaterial material, uint8_t optical, int32_t color)
{
    Yarn y;
    y.name = QByteArray(name);
    y.code = QByteArray(code);
    y.denier = denier;
    y.filaments = filaments;
    y.material = material;
    y.optical = optical;
    y.color = color;
    return y;
}

// Optical codes of the yarn list: semi dull and bright.
constexpr uint8_t kSemiDull = 0;
constexpr uint8_t kBright = 4;

// The yarns the samples draw from, by role.
Yarn frontNylon()
{
    return yarn("Nylon 40/12 SD", "N40/12", 40.0, 12, MaterialNylon, kSemiDull, rgb(255, 255, 255));
}
Yarn backNylon()
{
    return yarn("Nylon 40/12 SD", "N40/12", 40.0, 12, MaterialNylon, kSemiDull, rgb(150, 190, 230));
}
Yarn brightNylon()
{
    return yarn("Nylon 40/12 BRT", "N40/12B", 40.0, 12, MaterialNylon, kBright, rgb(250, 235, 200));
}
Yarn inlayNylon()
{
    return yarn("Nylon 70/24 SD", "N70/24", 70.0, 24, MaterialNylon, kSemiDull, rgb(230, 120, 90));
}
Yarn spandex()
{
    return yarn("Spandex 40", "SP40", 40.0, 1, MaterialSpandex, kSemiDull, rgb(235, 225, 200));
}
Yarn stripeNylon()
{
    return yarn("Nylon 40/12 SD navy", "N40/12N", 40.0, 12, MaterialNylon, kSemiDull,
                rgb(30, 40, 110));
}

struct BarPlan
{
    // x0-x1 of each course of the lapping repeat, front to back of the chain notation.
    std::vector<std::pair<int32_t, int32_t>> laps;
    std::vector<WaleState> threading;
};

struct SamplePlan
{
    const char *name;
    const char *description;
    std::vector<Yarn> yarns;
    std::vector<BarPlan> bars; // bar 0 is the front bar (Layer 1)
    int32_t gauge = 28;
    double coursesPerCm = 20.0;
};

std::vector<WaleState> fullSet(int32_t yarnIndex)
{
    return {WaleState{yarnIndex, 1, 1, 0}};
}

// Every other needle threaded ("1 in 1 out").
std::vector<WaleState> halfSet(int32_t yarnIndex)
{
    return {WaleState{yarnIndex, 1, 1, 0}, WaleState{yarnIndex, 1, 0, 0}};
}

const std::vector<SamplePlan> &plans()
{
    static const std::vector<SamplePlan> all = {
        {"tricot",
         "Double tricot: front 1-0/1-2, back 1-2/1-0 in opposition, full set",
         {frontNylon(), backNylon()},
         {{{{1, 0}, {1, 2}}, fullSet(0)}, {{{1, 2}, {1, 0}}, fullSet(1)}}},
        {"locknit",
         "Locknit: front 2-3/1-0 (two-needle underlap), back 1-0/1-2, full set",
         {frontNylon(), backNylon()},
         {{{{2, 3}, {1, 0}}, fullSet(0)}, {{{1, 0}, {1, 2}}, fullSet(1)}}},
        {"reverse-locknit",
         "Reverse locknit: front 1-0/1-2, back 2-3/1-0, full set",
         {frontNylon(), backNylon()},
         {{{{1, 0}, {1, 2}}, fullSet(0)}, {{{2, 3}, {1, 0}}, fullSet(1)}}},
        {"sharkskin",
         "Sharkskin: front 1-0/1-2, back 3-4/1-0 (three-needle underlap), full set",
         {frontNylon(), backNylon()},
         {{{{1, 0}, {1, 2}}, fullSet(0)}, {{{3, 4}, {1, 0}}, fullSet(1)}}},
        {"queenscord",
         "Queenscord: front pillar 0-1/1-0, back 3-4/1-0, full set",
         {frontNylon(), backNylon()},
         {{{{0, 1}, {1, 0}}, fullSet(0)}, {{{3, 4}, {1, 0}}, fullSet(1)}}},
        {"satin",
         "Tricot satin: bright front 4-5/1-0 (four-needle underlap), back 1-0/1-2, full set",
         {brightNylon(), backNylon()},
         {{{{4, 5}, {1, 0}}, fullSet(0)}, {{{1, 0}, {1, 2}}, fullSet(1)}}},
        {"pillar-inlay",
         "Pillar and inlay: front pillar 0-1/1-0 full set, back laid in 0-0/3-3, 1 in 1 out",
         {frontNylon(), inlayNylon()},
         {{{{0, 1}, {1, 0}}, fullSet(0)}, {{{0, 0}, {3, 3}}, halfSet(1)}}},
        {"stretch-stripe",
         "Stretch locknit with stripes: front nylon 2-3/1-0 threaded 6 white 2 navy, back "
         "spandex 1-0/1-2, full set",
         {frontNylon(), spandex(), stripeNylon()},
         {{{{2, 3}, {1, 0}}, {WaleState{0, 6, 1, 0}, WaleState{2, 2, 1, 0}}},
          {{{1, 0}, {1, 2}}, fullSet(1)}},
         28,
         22.0},
        {"power-net",
         "Power net: two nylon bars 1-0/1-2/2-3/2-1 and 2-3/2-1/1-0/1-2, two spandex bars laid "
         "in 0-0/1-1 and 1-1/0-0, all 1 in 1 out",
         {frontNylon(), backNylon(), spandex()},
         {{{{1, 0}, {1, 2}, {2, 3}, {2, 1}}, halfSet(0)},
          {{{2, 3}, {2, 1}, {1, 0}, {1, 2}}, halfSet(1)},
          {{{0, 0}, {1, 1}}, halfSet(2)},
          {{{1, 1}, {0, 0}}, halfSet(2)}},
         28,
         24.0},
    };
    return all;
}

} // namespace

QList<SampleInfo> SampleList()
{
    QList<SampleInfo> list;
    for (const SamplePlan &plan : plans())
        list.append({QLatin1String(plan.name), QLatin1String(plan.description)});
    return list;
}

bool MakeSample(const QString &name, MainData &header, TexLayer &layer)
{
    const SamplePlan *plan = nullptr;
    for (const SamplePlan &candidate : plans()) {
        if (name == QLatin1String(candidate.name))
            plan = &candidate;
    }
    if (!plan)
        return false;

    MainData newHeader;
    newHeader.barCount = int32_t(plan->bars.size());
    newHeader.courseCount = kSampleCourses;
    newHeader.gauge = plan->gauge;
    newHeader.coursesPerCm = plan->coursesPerCm;

    TexLayer document;
    document.yarns = plan->yarns;
    for (const BarPlan &barPlan : plan->bars) {
        document.AddBar();
        Tex &bar = document.bars.back();
        bar.SetCourseCount(newHeader.courseCount);
        const size_t height = barPlan.laps.size();
        for (size_t c = 0; c < bar.lapping.size(); ++c) {
            const auto &[x0, x1] = barPlan.laps[c % height];
            bar.lapping[c] = {x0, x1, x0};
        }
        bar.Normalize();
        bar.threading = barPlan.threading;
        // Start from the formula run-in, as "Set Default With Formula" and "Default" would.
        SetDefaultWithFormula(bar, document.yarns, kSampleFormula, newHeader);
        for (CourseState2 &state : bar.courseStates)
            state.runIn = state.calcRunIn;
    }
    // The repeat follows the threading; the manual width is set to the same value, as a design
    // loaded from an old file gets it.
    document.optimizeRepeat = 1;
    document.completeNeedle = RepeatWidth(document);

    header = std::move(newHeader);
    layer = std::move(document);
    return true;
}

} // namespace warplon
