#include "knit/treatmentpasses.h"

#include "base/progress.h"
#include "base/randomsource.h"
#include "knit/treatmentdata.h"
#include "knit/tricot.h"
#include "simulation/cellshading.h"

#include <algorithm>
#include <array>

namespace warplon {

namespace {

using CourseFlags = std::array<uint8_t, 4>;

CourseFlags FlagsOfCourse(const TreatmentData &treatment, int32_t course)
{
    if (treatment.courseFlags.empty())
        return {0, 0, 0, 0};
    const int64_t count = int64_t(treatment.courseFlags.size());
    return treatment.courseFlags[size_t(((course % count) + count) % count)];
}

bool Flagged(const CourseFlags &flags, int32_t bar)
{
    return bar >= 0 && bar < 4 && flags[size_t(bar)] != 0;
}

// The finishing reaches a node only through its front-most bar above bar 0: is that bar
// treated in the node's course? (No lap above bar 0: no.)
bool TopBarFlagged(const Octopus &node, const CourseFlags &flags)
{
    int32_t top = 0;
    for (const LapLink &link : node.links)
        top = std::max(top, link.bar);
    return top > 0 && Flagged(flags, top);
}

bool IsFloat(uint8_t kind)
{
    return kind == 2 || kind == 4;
}

// A sheared cell keeps, per bar, the cut yarn whose colour its pile shows.
struct ShearCell
{
    bool sheared = false;
    std::array<const Yarn *, 4> yarns = {nullptr, nullptr, nullptr, nullptr};
};

std::vector<ShearCell> ShearCells(const TreatmentData &treatment, const Tricot &model)
{
    std::vector<ShearCell> cells(model.nodes.size());
    for (size_t index = 0; index < model.nodes.size(); ++index) {
        const Octopus &node = model.nodes[index];
        if (node.state != 1)
            continue;
        const CourseFlags flags = FlagsOfCourse(treatment, int32_t(index / size_t(model.wales)));
        if (!TopBarFlagged(node, flags))
            continue;
        ShearCell &cell = cells[index];
        for (const LapLink &link : node.links) {
            if (Flagged(flags, link.bar) && link.yarn != nullptr) {
                cell.yarns[size_t(link.bar)] = link.yarn;
                cell.sheared = true;
            }
        }
    }
    return cells;
}

uint8_t OffsetChannel(int32_t channel, int32_t offset)
{
    return uint8_t(std::clamp(channel + offset, 0, 255));
}

// Every pixel inside a cell shows, with a chance that grows with the number of sheared corners,
// the cut yarn of one sheared corner, picked by closeness.
void PaintShearing(const CellGrid &grid, const std::vector<ShearCell> &cells,
                   const RepeatArea &area, double xPitch, double yPitch, RandomSource &random,
                   Progress *progress)
{
    PaintCells(grid, area, xPitch, yPitch, progress,
               [&](uint8_t *pixel, const CellQuad &quad, LocalPoint local) {
                   const double i = local.u;
                   const double j = local.v;
                   // Corners in the order P0, P1, P3, P2.
                   const ShearCell *corners[4]
                       = {&cells[size_t(quad.cell00)], &cells[size_t(quad.cell10)],
                          &cells[size_t(quad.cell01)], &cells[size_t(quad.cell11)]};
                   const double near0 = (yPitch - j) * (xPitch - i);
                   const double near1 = i * (yPitch - j);
                   const double near3 = j * (xPitch - i);
                   const double near2 = i * j;
                   double weights[4] = {near0 * near0, near1 * near1, near3 * near3, near2 * near2};
                   int32_t shearedCorners = 0;
                   double sum = 0.0;
                   for (int k = 0; k < 4; ++k) {
                       if (corners[k]->sheared) {
                           ++shearedCorners;
                           sum += weights[k];
                       } else {
                           weights[k] = 0.0;
                       }
                   }
                   if (shearedCorners == 0 || !(sum > 0.0))
                       return;
                   const double r
                       = 0.01 * double(random.Rand() % 100) / (shearedCorners * 0.1 + 0.55);
                   double running = 0.0;
                   const ShearCell *chosen = nullptr;
                   for (int k = 0; k < 4 && chosen == nullptr; ++k) {
                       running += weights[k] / sum;
                       if (running > r)
                           chosen = corners[k];
                   }
                   if (chosen == nullptr || !chosen->sheared)
                       return;
                   const Yarn *yarn = nullptr;
                   while (yarn == nullptr)
                       yarn = chosen->yarns[size_t(random.Rand() % 4)];
                   const int32_t offset = random.Rand() % 64 - 32;
                   // TColor holds red in its low byte; the picture stores blue, green, red.
                   pixel[0] = OffsetChannel((yarn->color >> 16) & 0xff, offset);
                   pixel[1] = OffsetChannel((yarn->color >> 8) & 0xff, offset);
                   pixel[2] = OffsetChannel(yarn->color & 0xff, offset);
               });
}

// Raised loops stand up from the fabric: a smoothed height field, lit from the front, whose
// slopes facing the light look brighter and whose pile looks lighter the higher it stands.
void PaintLoopRaising(const TreatmentData &treatment, const Tricot &model, const CellGrid &grid,
                      const RepeatArea &area, double xPitch, double yPitch, RandomSource &random,
                      Progress *progress)
{
    const std::vector<uint8_t> raised = RaisedCells(treatment, model);
    std::vector<double> heights(raised.size(), 0.0);
    for (size_t index = 0; index < heights.size(); ++index)
        heights[index] = raised[index] ? 2.0 : 0.0;
    AddHeightNoise(heights, random);
    SmoothHeights(heights, grid.wales, grid.courses, random);
    std::vector<double> shades = SlopeLighting(heights, grid.wales, grid.courses, -5.0, 10.0, 30.0);
    for (size_t index = 0; index < shades.size(); ++index) {
        const double light = shades[index];
        shades[index] = light > 0.0 ? 1.5 * light + 0.2 * heights[index] - 0.4 : 0.0;
    }
    PaintBilinearShades(grid, shades, area, xPitch, yPitch, progress);
}

} // namespace

void ApplyToModel(TreatmentData &treatment, Tricot &model, bool backView,
                  int32_t currentBarLappingCount)
{
    treatment.backView = backView ? 1 : 0;
    if (backView || treatment.method == TreatmentNone)
        return;
    treatment.Resize(currentBarLappingCount);
    if (treatment.method != TreatmentShearing || treatment.courseFlags.empty() || model.wales < 1)
        return;
    for (size_t index = 0; index < model.nodes.size(); ++index) {
        Octopus &node = model.nodes[index];
        if (node.state != 1)
            continue;
        const CourseFlags flags = FlagsOfCourse(treatment, int32_t(index / size_t(model.wales)));
        if (!TopBarFlagged(node, flags))
            continue;
        // The shears cut the laps of the treated bars: they no longer pull the loops together.
        for (LapLink &link : node.links)
            if (Flagged(flags, link.bar))
                link.kind = 0;
    }
}

std::vector<uint8_t> RaisedCells(const TreatmentData &treatment, const Tricot &model)
{
    std::vector<uint8_t> raised(model.nodes.size(), 0);
    if (model.wales < 1 || model.courses < 1)
        return raised;
    const int32_t wales = model.wales;
    const int32_t courses = model.courses;
    for (size_t index = 0; index < model.nodes.size(); ++index) {
        const Octopus &node = model.nodes[index];
        if (node.state != 1)
            continue;
        const CourseFlags flags = FlagsOfCourse(treatment, int32_t(index / size_t(wales)));
        const bool anyFlag
            = std::any_of(flags.begin(), flags.end(), [](uint8_t flag) { return flag != 0; });
        raised[index] = TopBarFlagged(node, flags) && anyFlag;
    }
    // A float lying over the courses it crosses keeps their loops from being raised.
    const auto coverWale = [&](size_t index, int32_t targetCourse) {
        const int32_t wale = int32_t(index % size_t(wales));
        const int32_t course = int32_t(index / size_t(wales));
        const int64_t span = std::min<int64_t>(int64_t(targetCourse) - course, courses);
        for (int64_t k = 0; k < span; ++k) {
            const size_t covered = size_t((course + k) % courses) * size_t(wales) + size_t(wale);
            if (covered < raised.size())
                raised[covered] = 0;
        }
    };
    for (size_t index = 0; index < model.nodes.size(); ++index) {
        const Octopus &node = model.nodes[index];
        if (node.state != 1)
            continue;
        for (const LapLink &link : node.links)
            if (IsFloat(link.kind))
                coverWale(index, link.targetCourse);
        for (const UnderlapLink &underlap : node.underlaps)
            if (IsFloat(underlap.kind))
                coverWale(index, underlap.targetCourse);
    }
    return raised;
}

bool ApplyToPicture(const TreatmentData &treatment, TCorvexBitmap &picture, const Tricot &model,
                    int32_t repeatWidth, int32_t repeatHeight, RandomSource &random,
                    Progress *progress)
{
    ReportProgress(progress, 0);
    if (treatment.backView || !ShadeableGrid(model)
        || (treatment.method != TreatmentShearing && treatment.method != TreatmentLoopRaising))
        return true;
    if (repeatWidth < 1 || repeatHeight < 1 || repeatWidth > kMaxShadingCoordinate
        || repeatHeight > kMaxShadingCoordinate || !UsablePitch(model.xPitch)
        || !UsablePitch(model.yPitch))
        return true;
    RepeatArea area;
    if (!OpenRepeatArea(picture, repeatWidth, repeatHeight, false, area))
        return false;

    const CellGrid grid(model);
    const double xPitch = model.xPitch;
    const double yPitch = model.yPitch;
    if (treatment.method == TreatmentShearing)
        PaintShearing(grid, ShearCells(treatment, model), area, xPitch, yPitch, random, progress);
    else
        PaintLoopRaising(treatment, model, grid, area, xPitch, yPitch, random, progress);
    TileRepeat(area);
    ReportProgress(progress, 100);
    return true;
}

} // namespace warplon
