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
    StitchLoop loop;
    loop.bar = bar;
    loop.yarn = &yarn;
    return loop;
}

// A relaxed-looking model: every node carries a polyester loop of bar 1 at its grid position.
Tricot GridModel(int32_t wales, int32_t courses)
{
    Tricot model(wales, courses, kPitch, kPitch);
    for (int32_t course = 0; course < courses; ++course) {
        for (int32_t wale = 0; wale < wales; ++wale) {
            Octopus &node = model.NodeAt(wale, course);
            node.state = 1;
            node.x = wale * kPitch;
            node.y = course * kPitch;
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

// Blue, green and red of one pixel.
int Channel(const TCorvexBitmap &picture, int x, int y, int channel)
{
    return picture.image().constScanLine(y)[3 * x + channel];
}

std::pair<int, int> ChannelRange(const TCorvexBitmap &picture)
{
    int low = 255;
    int high = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < 3 * picture.Width(); ++x) {
            low = std::min<int>(low, picture.image().constScanLine(y)[x]);
            high = std::max<int>(high, picture.image().constScanLine(y)[x]);
        }
    return {low, high};
}

bool SamePixels(const TCorvexBitmap &a, const TCorvexBitmap &b)
{
    return a.image() == b.image();
}

void Solid(TCorvexBitmap &picture, const Tricot &model, uint64_t seed = 1, bool backView = false)
{
    RandomSource random(seed);
    ApplyEffect(picture, model, int32_t(model.wales * kPitch), int32_t(model.courses * kPitch),
                backView, 1, 4, false, random, nullptr);
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
    EXPECT_TRUE(SpandexCoverOf(node).hasSpandex);
    EXPECT_EQ(SpandexCoverOf(node).cover, 0);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 5, false), 2.0);

    node.loops = {Loop(0, kPolyester), Loop(1, kPolyester)};
    EXPECT_FALSE(SpandexCoverOf(node).hasSpandex);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, false), 1.0);
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, true), -1.0);
    node.state = 0;
    EXPECT_DOUBLE_EQ(SolidEffectHeight(node, 4, false), 0.0);
}

TEST(SpandexEffect, WaveHeightsGrowWithTheDistanceFromSpandex)
{
    // 4 x 4 cells, spandex only at wale 0, course 0. Along wale 0 the runs forward and backward
    // are 1 and 3, 2 and 2, 3 and 1; along course 0 the same; every other cell keeps 1.
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

TEST(SpandexEffect, ShadesByCoverOfTheSpandex)
{
    // Without spandex the surface is flat but for the random term: lit from the front it
    // brightens every pixel by about 1.5 * 30 / |(-8, 15, 30)| = 1.31, almost uniformly.
    const Tricot plain = GridModel(6, 6);
    TCorvexBitmap flat = GreyPicture(48, 48);
    Solid(flat, plain);
    const auto [flatLow, flatHigh] = ChannelRange(flat);
    EXPECT_GE(flatLow, 105);
    EXPECT_LE(flatHigh, 135);
    EXPECT_LE(flatHigh - flatLow, 12);

    // A covered spandex wale stands out from its neighbours: its two flanks light up and fall
    // into shadow.
    Tricot ribbed = GridModel(6, 6);
    for (int32_t course = 0; course < 6; ++course)
        ribbed.NodeAt(2, course).loops = {Loop(0, kSpandex), Loop(1, kPolyester)};
    TCorvexBitmap relief = GreyPicture(48, 48);
    Solid(relief, ribbed);
    const auto [low, high] = ChannelRange(relief);
    EXPECT_LE(low, kGrey - 10);
    EXPECT_GE(high - low, 40);
}

TEST(StitchRelief, BrightnessIsLimitedToTen)
{
    Octopus node;
    node.state = 1;
    node.brightness = 20;
    EXPECT_DOUBLE_EQ(ReliefHeight(node, false), 5.0);
    EXPECT_NEAR(ReliefShade(ReliefHeight(node, false)), 4.0 / 3.0, 1e-12);
    EXPECT_NEAR(ReliefShade(ReliefHeight(node, true)), 2.0 / 3.0, 1e-12);
    node.brightness = -30;
    EXPECT_DOUBLE_EQ(ReliefHeight(node, false), -5.0);
    node.state = 0;
    EXPECT_DOUBLE_EQ(ReliefHeight(node, false), 0.0);

    // Every node at 20: every pixel of the 90 grey becomes 90 * 4 / 3 = 120, give or take the
    // random term (+-0.1 / 15); in back view 60.
    Tricot model = GridModel(6, 4);
    for (Octopus &each : model.nodes)
        each.brightness = 20;
    for (const bool backView : {false, true}) {
        TCorvexBitmap picture = GreyPicture(48, 32);
        Relief(picture, model, backView);
        const auto [low, high] = ChannelRange(picture);
        EXPECT_GE(low, backView ? 59 : 119);
        EXPECT_LE(high, backView ? 60 : 120);
    }
}

TEST(StitchRelief, FaceViewMirrorsTheWalesAndCoursesRunUpward)
{
    // Only node (1, 1), at model pixel (8, 8), is bright. Rows count down from the top, so it
    // lies on row 48 - 1 - 8 = 39; in face view its column is 48 - 1 - 8 = 39, in back view 8.
    Tricot model = GridModel(6, 6);
    model.NodeAt(1, 1).brightness = 10;
    TCorvexBitmap face = GreyPicture(48, 48);
    Relief(face, model, false);
    EXPECT_GE(Channel(face, 39, 39, 0), 118);
    EXPECT_LE(Channel(face, 8, 39, 0), 91);
    EXPECT_LE(Channel(face, 39, 8, 0), 91);

    TCorvexBitmap back = GreyPicture(48, 48);
    Relief(back, model, true);
    EXPECT_LE(Channel(back, 8, 39, 0), 61);
    EXPECT_GE(Channel(back, 39, 39, 0), 89);
}

TEST(ReliefPasses, SingleWaleOrCourseOrNothingToShadeLeavesThePictureAlone)
{
    for (const auto &[wales, courses] : {std::pair{1, 4}, std::pair{4, 1}}) {
        Tricot model = GridModel(wales, courses);
        for (Octopus &node : model.nodes) {
            node.loops = {Loop(0, kSpandex), Loop(1, kPolyester)};
            node.brightness = 20;
        }
        TCorvexBitmap picture = GreyPicture(40, 40);
        const TCorvexBitmap original = GreyPicture(40, 40);
        Solid(picture, model);
        Relief(picture, model);
        EXPECT_TRUE(SamePixels(picture, original)) << wales << " x " << courses;
    }

    Tricot model = GridModel(4, 4);
    const TCorvexBitmap original = GreyPicture(32, 32);
    TCorvexBitmap picture = GreyPicture(32, 32);
    Relief(picture, model); // no node has a brightness
    for (Octopus &node : model.nodes)
        node.brightness = 20;
    Relief(picture, model, false, {0, 0, 0, 0}); // no bar shades by run-in
    RandomSource random(1);
    ApplyEffect(picture, model, 32, 32, false, 0, 4, false, random, nullptr);
    ApplyEffect(picture, model, 32, 32, false, 3, 4, false, random, nullptr);
    ApplyRelief(picture, model, 0, 32, false, {1, 0, 0, 0}, random, nullptr);
    model.xPitch = 0.0;
    Relief(picture, model);
    EXPECT_TRUE(SamePixels(picture, original));

    // An 8-bit picture is left alone.
    TCorvexBitmap indexed;
    indexed.Create(32, 32, nullptr, 8);
    const QImage before = indexed.image();
    model.xPitch = kPitch;
    Relief(indexed, model);
    EXPECT_EQ(indexed.image(), before);
}

TEST(ReliefPasses, SameSeedSamePictureAndTilesOverThePicture)
{
    Tricot model = GridModel(6, 5);
    for (int32_t course = 0; course < 5; ++course)
        model.NodeAt(3, course).loops.push_back(Loop(0, kSpandex));
    // A picture of two and a half repeats across and one and a half down.
    TCorvexBitmap first = GreyPicture(120, 60);
    TCorvexBitmap second = GreyPicture(120, 60);
    TCorvexBitmap other = GreyPicture(120, 60);
    Solid(first, model, 11);
    Solid(second, model, 11);
    Solid(other, model, 12);
    EXPECT_TRUE(SamePixels(first, second));
    EXPECT_FALSE(SamePixels(first, other));

    int mismatches = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            for (int channel = 0; channel < 3; ++channel)
                mismatches
                    += Channel(first, x, y, channel) != Channel(first, x % 48, y % 40, channel);
    EXPECT_EQ(mismatches, 0);
}

TEST(ReliefPasses, SmallPicturesAndDistortedModelsArePaintedWhereTheyExist)
{
    // A picture smaller than the repeat gets the part of the repeat it has.
    Tricot model = GridModel(6, 6);
    for (Octopus &node : model.nodes)
        node.brightness = 20;
    TCorvexBitmap small = GreyPicture(20, 30);
    Relief(small, model);
    const auto [low, high] = ChannelRange(small);
    EXPECT_GE(low, 119);
    EXPECT_LE(high, 120);

    // Nodes thrown far away, or not numbers at all, must not hang or crash the passes.
    model.NodeAt(2, 2).x = 1e12;
    model.NodeAt(3, 1).y = -1e12;
    model.NodeAt(4, 4).x = std::numeric_limits<double>::quiet_NaN();
    model.NodeAt(0, 5).y = std::numeric_limits<double>::infinity();
    model.NodeAt(1, 3).state = 0;
    TCorvexBitmap picture = GreyPicture(48, 48);
    Relief(picture, model);
    Solid(picture, model);
    RandomSource random(3);
    ApplyEffect(picture, model, 48, 48, true, 2, 7, true, random, nullptr);
    SUCCEED();
}
