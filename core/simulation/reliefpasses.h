#pragma once

// The two passes that shade the painted simulation picture as if the fabric surface had
// relief: the spandex effect (spandex loops sink under the yarns of the bars above them, or
// the fabric puckers into waves between them) and the stitch relief that follows the run-in
// ratio of the courses.

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

class Progress;
class RandomSource;
class TCorvexBitmap;
class Tricot;
struct Octopus;

// How a spandex loop of a node is covered: whether the node holds a spandex loop at all and
// how many of the bars numbered above the highest spandex bar lay a loop of another yarn on it.
struct SpandexCover
{
    bool hasSpandex = false;
    int32_t cover = 0;
};
SpandexCover SpandexCoverOf(const Octopus &node);

// The height of a node under the "solid" effect before the random term: 0 without a loop,
// 1 for a loop without spandex, (cover + 1) * power * 0.2 + 1 with spandex; negated with
// invertShade.
double SolidEffectHeight(const Octopus &node, int32_t power, bool invertShade);

// The "wave" heights from the cells holding spandex (index course * wales + wale): the product
// of the four run lengths from the nearest spandex cell forward and backward along the wale and
// the course (lines without spandex leave the factor at 1), then power * 0.1 * its fourth root.
std::vector<double> WaveEffectHeights(const std::vector<uint8_t> &hasSpandex, int32_t wales,
                                      int32_t courses, int32_t power);

// The relief of a node by its run-in brightness, limited to -10..10: half of it in face view,
// minus half in back view; 0 without a loop. And the shade that height gives: (h + 15) / 15.
double ReliefHeight(const Octopus &node, bool backView);
double ReliefShade(double height);

// The spandex effect: effect 1 "solid", 2 "wave", anything else leaves the picture alone.
// Shades the top-left repeat of the 24-bit picture (repeatWidth x repeatHeight pixels, cut to
// the picture) cell by cell from the heights, lit from (-8, 15, 30), and tiles it over the
// picture. Nothing changes with fewer than 2 wales or courses, unusable pitches or a picture
// that is not 24 bits.
void ApplyEffect(TCorvexBitmap &picture, const Tricot &model, int32_t repeatWidth,
                 int32_t repeatHeight, bool backView, int32_t effect, int32_t power,
                 bool invertShade, RandomSource &random, Progress *progress);

// The stitch relief: when some bar has brightness by run-in and some node a brightness other
// than 0, every cell is shaded by ReliefShade of its height (plus the random term) and the
// repeat is tiled over the picture, under the same conditions as ApplyEffect.
void ApplyRelief(TCorvexBitmap &picture, const Tricot &model, int32_t repeatWidth,
                 int32_t repeatHeight, bool backView, const std::array<uint8_t, 4> &runInBrightness,
                 RandomSource &random, Progress *progress);

} // namespace warplon
