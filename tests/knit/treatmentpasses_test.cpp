#include "base/randomsource.h"
#include "bitmap/corvexbitmap.h"
#include "knit/treatmentdata.h"
#include "knit/treatmentpasses.h"
#include "knit/tricot.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace warplon;

namespace {

constexpr int32_t kPitch = 8;
constexpr int32_t kGrey = 128;

Yarn ColouredYarn(int32_t tcolor)
{
    Yarn yarn;
    yarn.color = tcolor;
    return yarn;
}

const Yarn kWhite = ColouredYarn(0xFFFFFF);
const Yarn kRed = ColouredYarn(0x0000FF);  // TColor: red in the low byte
const Yarn kBlue = ColouredYarn(0xFF0000); // blue in the high byte

// Every node a loop at its grid position, with a loop-to-loop lap of each of the given bars.
Tricot GridModel(int32_t wales, int32_t courses, const std::vector<const Yarn *> &barYarns)
{
    Tricot model(wales, courses, kPitch, kPitch);
    for (int32_t course = 0; course < courses; ++course) {
        for (int32_t wale = 0; wale < wales; ++wale) {
            Octopus &node = model.NodeAt(wale, course);
            node.state = 1;
            node.x = wale * kPitch;
            node.y = course * kPitch;
            for (size_t bar = 0; bar < barYarns.size(); ++bar)
                node.links.push_back({int32_t(bar), barYarns[bar], wale, course + 1, 1, 0, 100, 0});
        }
    }
    return model;
}

std::vector<uint8_t> Kinds(const Tricot &model)
{
    std::vector<uint8_t> kinds;
    for (const Octopus &node : model.nodes)
        for (const LapLink &link : node.links)
            kinds.push_back(link.kind);
    return kinds;
}

TCorvexBitmap GreyPicture(int width, int height)
{
    TCorvexBitmap picture;
    picture.Create(width, height, nullptr, 24);
    picture.Fill(kGrey | kGrey << 8 | kGrey << 16, QRect(0, 0, width, height));
    return picture;
}

// Blue, green and red of one pixel.
const uint8_t *Pixel(const TCorvexBitmap &picture, int x, int y)
{
    return picture.image().constScanLine(y) + 3 * x;
}

// Calls each(x, y, pixel) for every pixel that no longer shows the grey.
template<typename Each>
void ForPainted(const TCorvexBitmap &picture, Each each)
{
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const uint8_t *pixel = Pixel(picture, x, y);
            if (pixel[0] != kGrey || pixel[1] != kGrey || pixel[2] != kGrey)
                each(x, y, pixel);
        }
    }
}

TreatmentData Treatment(int32_t method, std::vector<std::array<uint8_t, 4>> flags)
{
    TreatmentData treatment;
    treatment.method = method;
    treatment.courseFlags = std::move(flags);
    return treatment;
}

bool Finish(const TreatmentData &treatment, TCorvexBitmap &picture, const Tricot &model,
            uint64_t seed = 1, int32_t xPitch = kPitch, int32_t yPitch = kPitch)
{
    RandomSource random(seed);
    return ApplyToPicture(treatment, picture, model, model.wales * xPitch, model.courses * yPitch,
                          random, nullptr);
}

} // namespace

TEST(TreatmentModelPass, ShearingCutsTheLapsOfFlaggedBarsUnderAFlaggedTopBar)
{
    // Only bar 0 on the nodes: no top bar above it is treated, nothing is cut.
    Tricot single = GridModel(4, 4, {&kWhite});
    TreatmentData all = Treatment(TreatmentShearing, {{1, 1, 1, 1}});
    ApplyToModel(all, single, false, 1);
    EXPECT_EQ(Kinds(single), std::vector<uint8_t>(16, 1));

    // Course 0 treats bars 0 and 2 (top): both are cut. Course 1 treats bar 1 under an untreated
    // top bar: nothing is cut. The flags repeat.
    Tricot model = GridModel(2, 4, {&kWhite, &kRed, &kBlue});
    model.NodeAt(1, 2).state = 0; // no loop: untouched
    TreatmentData treatment = Treatment(TreatmentShearing, {{1, 0, 1, 0}, {0, 1, 0, 0}});
    ApplyToModel(treatment, model, false, 2);
    std::vector<uint8_t> expected;
    for (int32_t index = 0; index < 8; ++index) {
        const uint8_t kept = index / 2 % 2 == 1 || index == 5;
        expected.insert(expected.end(), {kept, 1, kept});
    }
    EXPECT_EQ(Kinds(model), expected);

    // Back view (remembered; flags not resized), no method and loop raising leave the model.
    Tricot fresh = GridModel(2, 4, {&kWhite, &kRed, &kBlue});
    treatment.courseFlags = {{1, 1, 1, 1}};
    ApplyToModel(treatment, fresh, true, 4);
    EXPECT_EQ(treatment.backView, 1);
    EXPECT_EQ(treatment.courseFlags.size(), 1u);
    treatment.method = TreatmentLoopRaising;
    ApplyToModel(treatment, fresh, false, 4);
    EXPECT_EQ(treatment.backView, 0);
    EXPECT_EQ(treatment.courseFlags.size(), 4u);
    treatment.method = TreatmentNone;
    ApplyToModel(treatment, fresh, false, 4);
    EXPECT_EQ(Kinds(fresh), std::vector<uint8_t>(24, 1));
}

TEST(TreatmentPicturePass, FloatsKeepTheLoopsTheyCoverFromBeingRaised)
{
    Tricot model = GridModel(3, 5, {&kWhite, &kRed});
    // A float (kind 2) from (1, 0) to course 3 covers courses 0..2 of wale 1; bar 0's float
    // kind 3 and laps cover nothing; an underlap of kind 4 from (2, 3) wraps over 3, 4 and 0.
    model.NodeAt(1, 0).links.push_back({1, &kRed, 2, 3, 2, 0, 100, 0});
    model.NodeAt(0, 1).links.push_back({0, &kWhite, 1, 4, 3, 0, 100, 0});
    model.NodeAt(2, 3).underlaps.push_back({1, nullptr, 2, 6, 4, 0, 0, 100, 0});
    model.NodeAt(0, 4).state = 0;
    const std::vector<uint8_t> expected = {1, 0, 0, //
                                           1, 0, 1, //
                                           1, 0, 1, //
                                           1, 1, 0, //
                                           0, 1, 0};
    EXPECT_EQ(RaisedCells(Treatment(TreatmentLoopRaising, {{0, 1, 0, 0}}), model), expected);
    // Only bar 0 flagged: no top bar is treated, nothing is raised.
    EXPECT_EQ(RaisedCells(Treatment(TreatmentLoopRaising, {{1, 0, 0, 0}}), model),
              std::vector<uint8_t>(15, 0));
}

TEST(TreatmentPicturePass, NothingToFinishLeavesThePictureAlone)
{
    const TreatmentData shearing = Treatment(TreatmentShearing, {{1, 1, 1, 1}});
    const TCorvexBitmap original = GreyPicture(40, 40);
    TCorvexBitmap picture = GreyPicture(40, 40);
    // A single wale or course, no repeat, back view and method none.
    EXPECT_TRUE(Finish(shearing, picture, GridModel(1, 4, {&kWhite, &kRed})));
    EXPECT_TRUE(Finish(shearing, picture, GridModel(4, 1, {&kWhite, &kRed})));
    const Tricot model = GridModel(4, 4, {&kWhite, &kRed});
    EXPECT_TRUE(Finish(shearing, picture, model, 1, 0, kPitch));
    EXPECT_TRUE(Finish(shearing, picture, model, 1, kPitch, -3));
    TreatmentData back = shearing;
    back.backView = 1;
    EXPECT_TRUE(Finish(back, picture, model));
    EXPECT_TRUE(Finish(Treatment(TreatmentNone, {{1, 1, 1, 1}}), picture, model));
    EXPECT_EQ(picture.image(), original.image());

    // Pixels that cannot be reached are reported, so the user hears of it.
    TCorvexBitmap indexed;
    indexed.Create(32, 32, nullptr, 8);
    EXPECT_FALSE(Finish(shearing, indexed, model));
    TCorvexBitmap empty;
    EXPECT_FALSE(Finish(shearing, empty, model));
}

TEST(TreatmentPicturePass, ShearedPileShowsTheCutYarnsInTheirOwnColoursNearTheirNodes)
{
    // Blue bar 0 and red bar 1 treated: the pixels take either colour, shifted by at most 32.
    const Tricot both = GridModel(4, 4, {&kBlue, &kRed});
    TCorvexBitmap picture = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(Treatment(TreatmentShearing, {{1, 1, 0, 0}}), picture, both));
    int red = 0;
    int blue = 0;
    ForPainted(picture, [&](int x, int y, const uint8_t *pixel) {
        const bool isRed = pixel[2] >= 223;
        ++(isRed ? red : blue);
        EXPECT_GE(pixel[isRed ? 2 : 0], 223) << x << ", " << y;
        EXPECT_LE(pixel[isRed ? 0 : 2], 31);
        EXPECT_EQ(pixel[1], pixel[isRed ? 0 : 2]);
    });
    EXPECT_GT(red, 100);
    EXPECT_GT(blue, 100);
    // With four sheared corners the random threshold lets about one pixel in twenty through.
    EXPECT_GT(32 * 32 - red - blue, 15);
    EXPECT_LT(32 * 32 - red - blue, 120);
    // Only bar 1 treated: red only.
    TCorvexBitmap redOnly = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(Treatment(TreatmentShearing, {{0, 1, 0, 0}}), redOnly, both));
    ForPainted(redOnly, [](int, int, const uint8_t *pixel) { EXPECT_GE(pixel[2], 223); });

    // Only (1, 1) red and (2, 1) blue are sheared: colour stays in their cells (model x 0..24,
    // y 0..16, mirrored), and near each node its own colour wins by far.
    Tricot model = GridModel(4, 4, {&kWhite, &kWhite});
    model.NodeAt(1, 1).links.push_back({2, &kRed, 1, 2, 1, 0, 100, 0});
    model.NodeAt(2, 1).links.push_back({2, &kBlue, 2, 2, 1, 0, 100, 0});
    TCorvexBitmap two = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(Treatment(TreatmentShearing, {{0, 0, 0, 0}, {0, 0, 1, 0}}), two, model));
    int outside = 0;
    int nearRed[2] = {0, 0}; // red and blue pixels within 2 pixels of the red node
    int nearBlue[2] = {0, 0};
    ForPainted(two, [&](int x, int y, const uint8_t *pixel) {
        outside += x < 31 - 24 || y < 31 - 16;
        const int isBlue = pixel[0] > pixel[2];
        if (std::abs(31 - x - 8) <= 2 && std::abs(31 - y - 8) <= 2)
            ++nearRed[isBlue];
        if (std::abs(31 - x - 16) <= 2 && std::abs(31 - y - 8) <= 2)
            ++nearBlue[isBlue];
    });
    EXPECT_EQ(outside, 0);
    EXPECT_GT(nearRed[0], 10);
    EXPECT_GT(nearRed[0], 4 * nearRed[1]);
    EXPECT_GT(nearBlue[1], 10);
    EXPECT_GT(nearBlue[1], 4 * nearBlue[0]);
}

TEST(TreatmentPicturePass, LoopRaisingLightsRaisedCoursesAndRepeatsBitForBit)
{
    // Bar 1 treated in courses 0 and 1 of 6: those courses stand higher and come out brighter.
    const Tricot model = GridModel(6, 6, {&kWhite, &kRed});
    const TreatmentData treatment
        = Treatment(TreatmentLoopRaising, {{0, 1, 0, 0}, {0, 1, 0, 0}, {}, {}, {}, {}});
    // Two and a half repeats across, one and a half down.
    TCorvexBitmap picture = GreyPicture(120, 72);
    ASSERT_TRUE(Finish(treatment, picture, model, 21));
    const auto rowMean = [&](int y) {
        double sum = 0.0;
        for (int x = 0; x < 48; ++x)
            sum += Pixel(picture, x, y)[1];
        return sum / 48.0;
    };
    // Course 0 lies on the bottom row of the repeat, course 4 on row 47 - 32.
    EXPECT_GT(rowMean(47), rowMean(15) + 15.0);
    int mismatches = 0;
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 3 * 120; ++x)
            mismatches += Pixel(picture, 0, y)[x] != Pixel(picture, x / 3 % 48, y % 48)[x % 3];
    EXPECT_EQ(mismatches, 0);

    for (const TreatmentData &each : {treatment, Treatment(TreatmentShearing, {{0, 1, 0, 0}})}) {
        TCorvexBitmap first = GreyPicture(50, 20);
        TCorvexBitmap again = GreyPicture(50, 20);
        TCorvexBitmap otherSeed = GreyPicture(50, 20);
        ASSERT_TRUE(Finish(each, first, model, 21));
        ASSERT_TRUE(Finish(each, again, model, 21));
        ASSERT_TRUE(Finish(each, otherSeed, model, 22));
        EXPECT_EQ(again.image(), first.image());
        EXPECT_NE(otherSeed.image(), first.image());
    }
}
