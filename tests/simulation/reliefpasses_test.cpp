#include "base/randomsource.h"
#include "bitmap/corvexbitmap.h"
#include "knit/tricot.h"
#include "simulation/reliefpasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace warplon;

namespace {

constexpr double kPitch = 8.0;
constexpr int32_t kGrey = 90;

Yarn MakeYarn(uint8_t material)
{
    Yarn yarn;
    yarn.material = material;
    return yarn;
}

const Yarn kPolyester = MakeYarn(MaterialPolyester);
const Yarn kSpandex = MakeYarn(MaterialSpandex);

StitchLoop Loop(int32_t bar, const Yarn &yarn)
{
    return {bar, &yarn, 1, 100, 0};
}

// Every node a polyester loop of bar 1 at its grid position, with the given brightness.
Tricot GridModel(int32_t wales, int32_t courses, int32_t brightness = 0)
{
    Tricot model(wales, courses, kPitch, kPitch);
    for (int32_t course = 0; course < courses; ++course) {
        for (int32_t wale = 0; wale < wales; ++wale) {
            Octopus &node = model.NodeAt(wale, course);
            node.state = 1;
            node.x = wale * kPitch;
            node.y = course * kPitch;
            node.brightness = brightness;
            node.loops.push_back(Loop(1, kPolyester));
        }
    }
    return model;
}

TCorvexBitmap GreyPicture(int width, int height)
{
    TCorvexBitmap picture;
    picture.Create(width, height, nullptr, 24);
    picture.Fill(kGrey | kGrey << 8 | kGrey << 16, QRect(0, 0, width, height));
    return picture;
}

// Byte `channel` (0 blue, 1 green, 2 red) of one pixel.
int Channel(const TCorvexBitmap &picture, int x, int y, int channel = 0)
{
    return picture.image().constScanLine(y)[3 * x + channel];
}

// The lowest and highest channel value of the picture.
std::pair<int, int> ChannelRange(const TCorvexBitmap &picture)
{
    int low = 255;
    int high = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < 3 * picture.Width(); ++x) {
            low = std::min(low, Channel(picture, 0, y, x));
            high = std::max(high, Channel(picture, 0, y, x));
        }
    return {low, high};
}

void Solid(TCorvexBitmap &picture, const Tricot &model, uint64_t seed = 1)
{
    RandomSource random(seed);
    ApplyEffect(picture, model, int32_t(model.wales * kPitch), int32_t(model.courses * kPitch),
                false, 1, 4, false, random, nullptr);
}

void Relief(TCorvexBitmap &picture, const Tricot &model, bool backView = false,
            std::array<uint8_t, 4> flags = {0, 1, 0, 0})
{
    RandomSource random(5);
    ApplyRelief(picture, model, int32_t(model.wales * kPitch), int32_t(model.courses * kPitch),
                backView, flags, random, nullptr);
}

} // namespace

TEST(SpandexEffect, SolidHeightCountsTheBarsCoveringTheSpandex)
{
    Octopus node;
    node.state = 1;
    node.loops = {Loop(0, kSpandex), Loop(1, kPolyester)};
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, false), 2.6);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, true), -2.6);
    // Two loops of one covering bar count once; a bar behind the spandex does not cover it.
    node.loops = {Loop(2, kPolyester), Loop(1, kSpandex), Loop(2, kPolyester), Loop(0, kPolyester),
                  Loop(3, kPolyester)};
    EXPECT_EQ(SpandexCoverOf(node).cover, 2);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, false), 3.4);
    // The highest spandex bar decides: nothing lies above bar 3.
    node.loops.push_back(Loop(3, kSpandex));
    EXPECT_EQ(SpandexCoverOf(node).cover, 0);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 5, false), 2.0);
    // Without spandex 1, without a loop 0.
    node.loops = {Loop(0, kPolyester), Loop(1, kPolyester)};
    EXPECT_FALSE(SpandexCoverOf(node).hasSpandex);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, true), -1.0);
    node.state = 0;
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, false), 0.0);
}

TEST(SpandexEffect, WaveHeightsGrowWithTheDistanceFromSpandex)
{
    // Spandex only at (0, 0) of 4 x 4: along wale 0 and course 0 the runs forward and back are
    // 1 and 3, 2 and 2, 3 and 1; every other cell keeps 1.
    std::vector<uint8_t> spandex(16, 0);
    spandex[0] = 1;
    const std::vector<double> heights = WaveEffectHeights(spandex, 4, 4, 10);
    const double three = std::pow(3.0, 0.25);
    const double four = std::sqrt(2.0);
    const std::vector<double> expected = {0.0,   three, four, three, // course 0
                                          three, 1.0,   1.0,  1.0,   //
                                          four,  1.0,   1.0,  1.0,   //
                                          three, 1.0,   1.0,  1.0};
    ASSERT_EQ(heights.size(), expected.size());
    for (size_t i = 0; i < heights.size(); ++i)
        EXPECT_NEAR(heights[i], expected[i], 1e-12) << "cell " << i;
}

// Without spandex the surface is flat: every pixel brightens by about 1.5 * 30 / |(-8, 15, 30)|.
// A covered spandex wale stands out in light and shadow. One seed, one picture, tiled.
TEST(SpandexEffect, SolidShadesByCoverRepeatsPerSeedAndTiles)
{
    TCorvexBitmap flat = GreyPicture(48, 48);
    Solid(flat, GridModel(6, 6));
    const auto [flatLow, flatHigh] = ChannelRange(flat);
    EXPECT_GE(flatLow, 105);
    EXPECT_LE(flatHigh, 135);
    EXPECT_LE(flatHigh - flatLow, 12);

    Tricot ribbed = GridModel(6, 5);
    for (int32_t course = 0; course < 5; ++course)
        ribbed.NodeAt(2, course).loops = {Loop(0, kSpandex), Loop(1, kPolyester)};
    // Two and a half repeats across, one and a half down.
    TCorvexBitmap first = GreyPicture(120, 60);
    TCorvexBitmap second = GreyPicture(120, 60);
    TCorvexBitmap other = GreyPicture(120, 60);
    Solid(first, ribbed, 11);
    Solid(second, ribbed, 11);
    Solid(other, ribbed, 12);
    const auto [low, high] = ChannelRange(first);
    EXPECT_LE(low, kGrey - 10);
    EXPECT_GE(high - low, 40);
    EXPECT_EQ(first.image(), second.image());
    EXPECT_NE(first.image(), other.image());
    int mismatches = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 3 * 120; ++x)
            mismatches += Channel(first, 0, y, x) != Channel(first, x / 3 % 48, y % 40, x % 3);
    EXPECT_EQ(mismatches, 0);
}

TEST(StitchRelief, BrightnessIsLimitedToTenAndFaceViewIsMirrored)
{
    Octopus node;
    node.state = 1;
    node.brightness = -30;
    EXPECT_DOUBLE_EQ(ReliefHeight(node, false), -5.0);
    node.state = 0;
    EXPECT_DOUBLE_EQ(ReliefHeight(node, false), 0.0);

    // Every node at 20 (height 5, shade 4 / 3): grey 90 becomes 120, in back view 60, also in a
    // picture narrower than the repeat.
    for (const auto &[width, backView] : {std::pair{48, false}, {48, true}, {20, false}}) {
        TCorvexBitmap picture = GreyPicture(width, 32);
        Relief(picture, GridModel(6, 4, 20), backView);
        const auto [low, high] = ChannelRange(picture);
        EXPECT_GE(low, backView ? 59 : 119) << width;
        EXPECT_LE(high, backView ? 60 : 120) << width;
    }

    // Only node (1, 1) at model (8, 8) is bright: row 47 - 8, face column 47 - 8, back column 8.
    Tricot model = GridModel(6, 6);
    model.NodeAt(1, 1).brightness = 10;
    TCorvexBitmap face = GreyPicture(48, 48);
    Relief(face, model, false);
    EXPECT_GE(Channel(face, 39, 39), 118);
    EXPECT_LE(Channel(face, 8, 39), 91);
    EXPECT_LE(Channel(face, 39, 8), 91);
    TCorvexBitmap back = GreyPicture(48, 48);
    Relief(back, model, true);
    EXPECT_LE(Channel(back, 8, 39), 61);
    EXPECT_GE(Channel(back, 39, 39), 89);
}

TEST(ReliefPasses, SingleWaleOrCourseOrNothingToShadeLeavesThePictureAlone)
{
    const TCorvexBitmap original = GreyPicture(40, 40);
    TCorvexBitmap picture = GreyPicture(40, 40);
    for (const auto &[wales, courses] : {std::pair{1, 4}, std::pair{4, 1}}) {
        Tricot model = GridModel(wales, courses, 20);
        for (Octopus &node : model.nodes)
            node.loops = {Loop(0, kSpandex), Loop(1, kPolyester)};
        Solid(picture, model);
        Relief(picture, model);
    }
    // No node has a brightness; no bar shades by run-in; effect 0 or 3; no repeat; no pitch.
    Relief(picture, GridModel(4, 4));
    Tricot model = GridModel(4, 4, 20);
    Relief(picture, model, false, {0, 0, 0, 0});
    RandomSource random(1);
    ApplyEffect(picture, model, 32, 32, false, 0, 4, false, random, nullptr);
    ApplyEffect(picture, model, 32, 32, false, 3, 4, false, random, nullptr);
    ApplyRelief(picture, model, 0, 32, false, {1, 0, 0, 0}, random, nullptr);
    model.xPitch = 0.0;
    Relief(picture, model);
    EXPECT_EQ(picture.image(), original.image());

    // An 8-bit picture is left alone.
    TCorvexBitmap indexed;
    indexed.Create(32, 32, nullptr, 8);
    const QImage before = indexed.image();
    model.xPitch = kPitch;
    Relief(indexed, model);
    EXPECT_EQ(indexed.image(), before);

    // Nodes thrown far away, or not numbers at all, must not hang or crash the passes.
    model.NodeAt(2, 2).x = 1e12;
    model.NodeAt(3, 1).y = -1e12;
    model.NodeAt(1, 3).x = std::numeric_limits<double>::quiet_NaN();
    model.NodeAt(0, 2).y = std::numeric_limits<double>::infinity();
    model.NodeAt(1, 1).state = 0;
    TCorvexBitmap broken = GreyPicture(48, 48);
    Relief(broken, model);
    Solid(broken, model);
    ApplyEffect(broken, model, 48, 48, true, 2, 7, true, random, nullptr);
}
