#include "simulation/reliefpasses.h"

#include "base/progress.h"
#include "base/randomsource.h"
#include "knit/tricot.h"
#include "simulation/cellshading.h"

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

constexpr int32_t kEffectSolid = 1;
constexpr int32_t kEffectWave = 2;

bool IsSpandex(const Yarn *yarn)
{
    return yarn != nullptr && yarn->material == MaterialSpandex;
}

// Multiplies the heights of one line of cells (count cells, index first + k * step) by the run
// length since the last spandex cell, walking forward from the line's first spandex cell over
// one period and then backward from it.
void MultiplyByRuns(std::vector<double> &heights, const std::vector<uint8_t> &hasSpandex,
                    size_t first, size_t step, int32_t count)
{
    int32_t start = -1;
    for (int32_t k = 0; k < count && start < 0; ++k)
        if (hasSpandex[first + size_t(k) * step])
            start = k;
    if (start < 0)
        return;
    for (const int32_t direction : {1, -1}) {
        int32_t run = 0;
        for (int32_t k = 0; k < count; ++k) {
            const int32_t position = ((start + direction * k) % count + count) % count;
            const size_t index = first + size_t(position) * step;
            run = hasSpandex[index] ? 0 : run + 1;
            heights[index] *= double(run);
        }
    }
}

// Paints the shades into the repeat and tiles it; the area must be open.
void PaintAndTile(const CellGrid &grid, const std::vector<double> &shades, const RepeatArea &area,
                  const Tricot &model, Progress *progress)
{
    PaintBilinearShades(grid, shades, area, model.xPitch, model.yPitch, progress);
    TileRepeat(area);
    ReportProgress(progress, 100);
}

} // namespace

SpandexCover SpandexCoverOf(const Octopus &node)
{
    SpandexCover result;
    int32_t spandexBar = 0;
    for (const StitchLoop &loop : node.loops) {
        if (!IsSpandex(loop.yarn))
            continue;
        spandexBar = result.hasSpandex ? std::max(spandexBar, loop.bar) : loop.bar;
        result.hasSpandex = true;
    }
    if (!result.hasSpandex)
        return result;
    // The bars in front of the spandex bar that knit another yarn here hide it.
    bool covering[4] = {false, false, false, false};
    for (const StitchLoop &loop : node.loops) {
        if (loop.yarn != nullptr && !IsSpandex(loop.yarn) && loop.bar > spandexBar && loop.bar >= 0
            && loop.bar < 4)
            covering[loop.bar] = true;
    }
    result.cover = int32_t(std::count(std::begin(covering), std::end(covering), true));
    return result;
}

double SolidEffectHeight(const Octopus &node, int32_t power, bool invertShade)
{
    if (node.state != 1)
        return 0.0;
    const double sign = invertShade ? -1.0 : 1.0;
    const SpandexCover spandex = SpandexCoverOf(node);
    if (!spandex.hasSpandex)
        return sign;
    return sign * ((spandex.cover + 1) * double(power) * 0.2 + 1.0);
}

std::vector<double> WaveEffectHeights(const std::vector<uint8_t> &hasSpandex, int32_t wales,
                                      int32_t courses, int32_t power)
{
    if (wales < 1 || courses < 1 || hasSpandex.size() != size_t(wales) * size_t(courses))
        return std::vector<double>(hasSpandex.size(), 0.0);
    std::vector<double> heights(hasSpandex.size(), 1.0);
    const size_t rowLength = size_t(wales);
    for (int32_t wale = 0; wale < wales; ++wale)
        MultiplyByRuns(heights, hasSpandex, size_t(wale), rowLength, courses);
    for (int32_t course = 0; course < courses; ++course)
        MultiplyByRuns(heights, hasSpandex, size_t(course) * rowLength, 1, wales);
    for (double &height : heights)
        height = double(power) * 0.1 * std::sqrt(std::sqrt(height));
    return heights;
}

double ReliefHeight(const Octopus &node, bool backView)
{
    if (node.state != 1)
        return 0.0;
    const int32_t cover = std::clamp(node.brightness, -10, 10);
    return cover * (backView ? -0.5 : 0.5);
}

double ReliefShade(double height)
{
    return (height + 15.0) / 15.0;
}

void ApplyEffect(TCorvexBitmap &picture, const Tricot &model, int32_t repeatWidth,
                 int32_t repeatHeight, bool backView, int32_t effect, int32_t power,
                 bool invertShade, RandomSource &random, Progress *progress)
{
    if (effect != kEffectSolid && effect != kEffectWave)
        return;
    RepeatArea area;
    if (!ShadeableModel(model)
        || !OpenRepeatArea(picture, repeatWidth, repeatHeight, backView, area))
        return;
    const CellGrid grid(model);
    const int32_t wales = grid.wales;
    const int32_t courses = grid.courses;

    std::vector<double> heights(grid.cells.size(), 0.0);
    if (effect == kEffectSolid) {
        for (size_t index = 0; index < heights.size(); ++index)
            heights[index] = SolidEffectHeight(model.nodes[index], power, invertShade);
        AddHeightNoise(heights, random);
    } else {
        std::vector<uint8_t> hasSpandex(grid.cells.size(), 0);
        for (size_t index = 0; index < hasSpandex.size(); ++index)
            hasSpandex[index]
                = model.nodes[index].state == 1 && SpandexCoverOf(model.nodes[index]).hasSpandex;
        heights = WaveEffectHeights(hasSpandex, wales, courses, power);
    }
    SmoothHeights(heights, wales, courses, random);

    std::vector<double> shades = SlopeLighting(heights, wales, courses, -8.0, 15.0, 30.0);
    for (double &shade : shades)
        shade = shade > 0.0 ? 1.5 * shade : 0.0;
    PaintAndTile(grid, shades, area, model, progress);
}

void ApplyRelief(TCorvexBitmap &picture, const Tricot &model, int32_t repeatWidth,
                 int32_t repeatHeight, bool backView, const std::array<uint8_t, 4> &runInBrightness,
                 RandomSource &random, Progress *progress)
{
    if (std::all_of(runInBrightness.begin(), runInBrightness.end(),
                    [](uint8_t flag) { return flag == 0; }))
        return;
    if (std::none_of(model.nodes.begin(), model.nodes.end(),
                     [](const Octopus &node) { return node.brightness != 0; }))
        return;
    RepeatArea area;
    if (!ShadeableModel(model)
        || !OpenRepeatArea(picture, repeatWidth, repeatHeight, backView, area))
        return;
    const CellGrid grid(model);

    std::vector<double> heights(grid.cells.size(), 0.0);
    for (size_t index = 0; index < heights.size(); ++index)
        heights[index] = ReliefHeight(model.nodes[index], backView);
    AddHeightNoise(heights, random);
    // No lighting here: a course knitted with more yarn simply looks brighter.
    std::vector<double> shades(heights.size());
    std::transform(heights.begin(), heights.end(), shades.begin(), ReliefShade);
    PaintAndTile(grid, shades, area, model, progress);
}

} // namespace warplon
