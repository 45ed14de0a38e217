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

LapLink Lap(int32_t bar, const Yarn &yarn, int32_t targetWale, int32_t targetCourse,
            uint8_t kind = 1)
{
    LapLink link;
    link.bar = bar;
    link.yarn = &yarn;
    link.targetWale = targetWale;
    link.targetCourse = targetCourse;
    link.kind = kind;
    return link;
}

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
                node.links.push_back(Lap(int32_t(bar), *barYarns[bar], wale, course + 1));
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

const uint8_t *Pixel(const TCorvexBitmap &picture, int x, int y)
{
    return picture.image().constScanLine(y) + 3 * x;
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

TEST(TreatmentModelPass, ShearingWithOnlyBarZeroChangesNothing)
{
    Tricot model = GridModel(4, 4, {&kWhite});
    TreatmentData treatment = Treatment(TreatmentShearing, {});
    ApplyToModel(treatment, model, false, 4);
    ASSERT_EQ(treatment.courseFlags.size(), 4u);
    for (auto &flags : treatment.courseFlags)
        flags = {1, 1, 1, 1};
    ApplyToModel(treatment, model, false, 4);
    EXPECT_EQ(Kinds(model), std::vector<uint8_t>(16, 1));
    EXPECT_EQ(treatment.backView, 0);
}

TEST(TreatmentModelPass, ShearingCutsTheLapsOfFlaggedBarsUnderAFlaggedTopBar)
{
    // Bars 0, 1 and 2 lap on every node. Course 0 treats bars 0 and 2 (2 is the top bar): their
    // laps are cut, bar 1's stays. Course 1 treats bar 1 only: the top bar is untreated, so
    // nothing is cut. The flags repeat every two courses of the model.
    Tricot model = GridModel(2, 4, {&kWhite, &kRed, &kBlue});
    model.NodeAt(1, 2).state = 0; // no loop: untouched
    TreatmentData treatment = Treatment(TreatmentShearing, {{1, 0, 1, 0}, {0, 1, 0, 0}});
    ApplyToModel(treatment, model, false, 2);
    const std::vector<uint8_t> cut = {0, 1, 0};
    const std::vector<uint8_t> kept = {1, 1, 1};
    for (int32_t course = 0; course < 4; ++course) {
        for (int32_t wale = 0; wale < 2; ++wale) {
            std::vector<uint8_t> kinds;
            for (const LapLink &link : model.NodeAt(wale, course).links)
                kinds.push_back(link.kind);
            const bool expectCut = course % 2 == 0 && !(wale == 1 && course == 2);
            EXPECT_EQ(kinds, expectCut ? cut : kept) << wale << ", " << course;
        }
    }

    // Back view, no method and loop raising leave the model alone; back view is remembered and
    // stops the pass before the flags are resized.
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
    // A float of bar 1 from (1, 0) to course 3 lies over courses 0..2 of wale 1; a float of the
    // back bar's own kind (3) and a lap of kind 1 cover nothing; an underlap of kind 4 from
    // (2, 3) wraps over courses 3, 4 and 0 of wale 2.
    model.NodeAt(1, 0).links.push_back(Lap(1, kRed, 2, 3, 2));
    model.NodeAt(0, 1).links.push_back(Lap(0, kWhite, 1, 4, 3));
    UnderlapLink underlap;
    underlap.bar = 1;
    underlap.targetWale = 2;
    underlap.targetCourse = 6;
    underlap.kind = 4;
    model.NodeAt(2, 3).underlaps.push_back(underlap);
    model.NodeAt(0, 4).state = 0;
    const TreatmentData treatment = Treatment(TreatmentLoopRaising, {{0, 1, 0, 0}});
    const std::vector<uint8_t> expected = {1, 0, 0, //
                                           1, 0, 1, //
                                           1, 0, 1, //
                                           1, 1, 0, //
                                           0, 1, 0};
    EXPECT_EQ(RaisedCells(treatment, model), expected);

    // Only bar 0 flagged: no top bar is treated, nothing is raised.
    EXPECT_EQ(RaisedCells(Treatment(TreatmentLoopRaising, {{1, 0, 0, 0}}), model),
              std::vector<uint8_t>(15, 0));
}

TEST(TreatmentPicturePass, NothingToFinishLeavesThePictureAlone)
{
    const TreatmentData shearing = Treatment(TreatmentShearing, {{1, 1, 1, 1}});
    const TCorvexBitmap original = GreyPicture(40, 40);
    for (const auto &[wales, courses] : {std::pair{1, 4}, std::pair{4, 1}}) {
        const Tricot model = GridModel(wales, courses, {&kWhite, &kRed});
        TCorvexBitmap picture = GreyPicture(40, 40);
        EXPECT_TRUE(Finish(shearing, picture, model));
        EXPECT_EQ(picture.image(), original.image()) << wales << " x " << courses;
    }

    const Tricot model = GridModel(4, 4, {&kWhite, &kRed});
    TCorvexBitmap picture = GreyPicture(40, 40);
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

TEST(TreatmentPicturePass, ShearedPileShowsTheCutYarnsInTheirOwnColours)
{
    // Bar 0 blue and bar 1 red, both treated in every course: the sheared pixels take either
    // colour, shifted in lightness by at most 32, and nothing else.
    const Tricot model = GridModel(4, 4, {&kBlue, &kRed});
    const TreatmentData treatment = Treatment(TreatmentShearing, {{1, 1, 0, 0}});
    TCorvexBitmap picture = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(treatment, picture, model));
    int red = 0;
    int blue = 0;
    int grey = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint8_t *pixel = Pixel(picture, x, y); // blue, green, red
            if (pixel[0] == kGrey && pixel[1] == kGrey && pixel[2] == kGrey) {
                ++grey;
            } else if (pixel[2] >= 223) {
                ++red;
                EXPECT_LE(pixel[0], 31);
                EXPECT_EQ(pixel[0], pixel[1]);
            } else {
                ++blue;
                EXPECT_GE(pixel[0], 223) << x << ", " << y;
                EXPECT_LE(pixel[2], 31);
                EXPECT_EQ(pixel[2], pixel[1]);
            }
        }
    }
    EXPECT_GT(red, 100);
    EXPECT_GT(blue, 100);
    // With four sheared corners the random threshold lets about one pixel in twenty through.
    EXPECT_GT(grey, 15);
    EXPECT_LT(grey, 120);

    // Only bar 1 treated: red only.
    TCorvexBitmap redOnly = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(Treatment(TreatmentShearing, {{0, 1, 0, 0}}), redOnly, model));
    int notRed = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            notRed += Pixel(redOnly, x, y)[2] != kGrey && Pixel(redOnly, x, y)[2] < 223;
    EXPECT_EQ(notRed, 0);
}

TEST(TreatmentPicturePass, ShearedColoursStayNearTheirNodes)
{
    // Nodes (1, 1) and (2, 1), at model pixels (8, 8) and (16, 8), are sheared (bar 2 on top,
    // flagged in course 1), one with a red and one with a blue yarn. Their colours reach the
    // cells around them only, model pixels 0..24 across and 0..16 up, which in face view are
    // the columns 31 - 24 .. 31 and the rows 31 - 16 .. 31. Near each node its own colour
    // outweighs the other one's by far.
    Tricot model = GridModel(4, 4, {&kWhite, &kWhite});
    model.NodeAt(1, 1).links.push_back(Lap(2, kRed, 1, 2));
    model.NodeAt(2, 1).links.push_back(Lap(2, kBlue, 2, 2));
    const TreatmentData treatment = Treatment(TreatmentShearing, {{0, 0, 0, 0}, {0, 0, 1, 0}});
    TCorvexBitmap picture = GreyPicture(32, 32);
    ASSERT_TRUE(Finish(treatment, picture, model));
    int outside = 0;
    int nearRed[2] = {0, 0}; // red and blue pixels within 2 pixels of the red node
    int nearBlue[2] = {0, 0};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint8_t *pixel = Pixel(picture, x, y);
            if (pixel[0] == kGrey && pixel[1] == kGrey && pixel[2] == kGrey)
                continue;
            outside += x < 31 - 24 || y < 31 - 16;
            const int modelX = 31 - x;
            const int modelY = 31 - y;
            const int isBlue = pixel[0] > pixel[2];
            if (std::abs(modelX - 8) <= 2 && std::abs(modelY - 8) <= 2)
                ++nearRed[isBlue];
            if (std::abs(modelX - 16) <= 2 && std::abs(modelY - 8) <= 2)
                ++nearBlue[isBlue];
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(nearRed[0], 10);
    EXPECT_GT(nearRed[0], 4 * nearRed[1]);
    EXPECT_GT(nearBlue[1], 10);
    EXPECT_GT(nearBlue[1], 4 * nearBlue[0]);
}

TEST(TreatmentPicturePass, LoopRaisingLightsRaisedCoursesAndRepeatsBitForBit)
{
    // Bar 1 treated in courses 0 and 1 of 6: those courses stand higher and come out brighter
    // than the flat rest (about 1.4 against 1.0 before smoothing).
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
        for (int x = 0; x < 120; ++x)
            for (int channel = 0; channel < 3; ++channel)
                mismatches
                    += Pixel(picture, x, y)[channel] != Pixel(picture, x % 48, y % 48)[channel];
    EXPECT_EQ(mismatches, 0);

    TCorvexBitmap again = GreyPicture(120, 72);
    TCorvexBitmap otherSeed = GreyPicture(120, 72);
    ASSERT_TRUE(Finish(treatment, again, model, 21));
    ASSERT_TRUE(Finish(treatment, otherSeed, model, 22));
    EXPECT_EQ(again.image(), picture.image());
    EXPECT_NE(otherSeed.image(), picture.image());

    const TreatmentData shearing = Treatment(TreatmentShearing, {{0, 1, 0, 0}});
    TCorvexBitmap sheared = GreyPicture(50, 20);
    TCorvexBitmap shearedAgain = GreyPicture(50, 20);
    ASSERT_TRUE(Finish(shearing, sheared, model, 4));
    ASSERT_TRUE(Finish(shearing, shearedAgain, model, 4));
    EXPECT_EQ(sheared.image(), shearedAgain.image());
}
