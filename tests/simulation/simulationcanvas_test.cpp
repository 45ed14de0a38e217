#include "base/progress.h"
#include "base/randomsource.h"
#include "bitmap/corvexbitmap.h"
#include "knit/tricot.h"
#include "simulation/simulationcanvas.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace warplon;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr QRgb kGrey = qRgb(0x80, 0x80, 0x80); // the default background

// 40 den / 20 filaments is about 3.5 pixels wide at zoom 4.
Yarn MakeYarn(int32_t color, double gloss = 0.0, double translucency = 0.0)
{
    Yarn yarn;
    yarn.color = color;
    yarn.gloss = gloss;
    yarn.translucency = translucency;
    return yarn;
}

struct End
{
    int32_t wale, course;
    double x, y;
};

void Place(Tricot &model, End end)
{
    Octopus &node = model.NodeAt(end.wale, end.course);
    node.x = end.x;
    node.y = end.y;
    node.state = 1;
}

// A straight float between two nodes placed by hand, attached to the nodes themselves.
void AddFloat(Tricot &model, End from, End to, const Yarn *yarn, int32_t bar, uint8_t kind = 1)
{
    Place(model, from);
    Place(model, to);
    model.NodeAt(from.wale, from.course)
        .underlaps.push_back({bar, yarn, to.wale, to.course, kind, 0, 0, 100, 0});
}

// A relaxed-looking fabric: on every node a loop and a link of each bar, off the grid by <= 15 %.
Tricot Fabric(int32_t wales, int32_t courses, double xPitch, double yPitch,
              const std::vector<Yarn> &yarns)
{
    Tricot model(wales, courses, yPitch, xPitch);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.15, 0.15);
    std::uniform_real_distribution<double> shade(0.2, 0.8);
    for (int32_t c = 0; c < courses; ++c) {
        for (int32_t w = 0; w < wales; ++w) {
            Octopus &node = model.NodeAt(w, c);
            node.x = (w + jitter(random)) * xPitch;
            node.y = (c + jitter(random)) * yPitch;
            node.state = 1;
            node.closed = 1;
            node.loopShade = shade(random);
            for (int32_t b = 0; b < int32_t(yarns.size()); ++b) {
                const Yarn *yarn = &yarns[size_t(b)];
                node.loops.push_back({b, yarn, uint8_t((w + c + b) % 3), 100, 0});
                const uint8_t kind = c % 4 == 1 ? uint8_t(b == 0 ? 3 : 2) : 1;
                node.links.push_back({b, yarn, w + ((c + b) % 2 == 0 ? b + 1 : -b - 1), c + 1, kind,
                                      uint8_t((w + b) % 4), 100, 0});
            }
        }
    }
    return model;
}

const std::vector<Yarn> kFourYarns = {MakeYarn(0x2040C0, 0.3, 0.3), MakeYarn(0x30A030, 0.5, 0.1),
                                      MakeYarn(0xC03030, 0.2, 0.6), MakeYarn(0xE0E0E0, 0.8, 0.3)};

struct PaintOptions
{
    int32_t background = 0x808080;
    bool colorOnColor = true;
    bool backView = false;
    int32_t fuzz = 0;
    uint64_t seed = 1;
    int32_t threads = 1;
    double zoom = 4.0;
    int pictureWidth = 0; // 0: one repeat
    int pictureHeight = 0;
};

QImage Paint(Tricot &model, int32_t width, int32_t height, const PaintOptions &o = {})
{
    SimulationCanvas canvas(width, height, o.background, o.fuzz, o.colorOnColor, o.backView,
                            o.zoom);
    RandomSource random(o.seed);
    canvas.BuildSegments(model, random);
    TCorvexBitmap picture;
    EXPECT_TRUE(picture.Create(o.pictureWidth > 0 ? o.pictureWidth : width,
                               o.pictureHeight > 0 ? o.pictureHeight : height, nullptr, 24));
    EXPECT_TRUE(canvas.PaintSegments(picture, nullptr, o.threads));
    return picture.image().copy();
}

bool AllPixels(const QImage &image, QRgb rgb)
{
    QImage filled(image.size(), image.format());
    filled.fill(QColor(rgb));
    return image == filled;
}

struct RecordingProgress : Progress
{
    void SetPercent(int32_t percent) override { reports.push_back(percent); }
    bool StopRequested() const override
    {
        return stopAt >= 0 && !reports.empty() && reports.back() >= stopAt;
    }
    std::vector<int32_t> reports;
    int32_t stopAt = -1;
};

} // namespace

TEST(YarnWidth, FollowsDiameterFormulaAndRefusesYarnsWithoutBody)
{
    Yarn yarn; // 40 den, 20 filaments
    EXPECT_NEAR(YarnWidthPixels(yarn, 1), 0.8704857745, 1e-9);
    EXPECT_NEAR(YarnWidthPixels(yarn, 4), 3.4819430982, 1e-9);
    yarn.filaments = 1; // ln 1 = 0: 2·sqrt(40·2 ÷ 3899880)·41
    EXPECT_NEAR(YarnWidthPixels(yarn, 1), 0.3713926, 1e-7);
    for (const auto &[filaments, denier] :
         {std::pair{0, 40.0}, {-3, 40.0}, {20, 0.0}, {20, -40.0}, {20, std::nan("")}}) {
        yarn.filaments = filaments;
        yarn.denier = denier;
        EXPECT_EQ(YarnWidthPixels(yarn, 4), 0.0) << filaments << " " << denier;
    }
}

TEST(SimulationCanvas, RedYarnLooksRedOnTheTrueColourBackground)
{
    Tricot model(8, 8, 8.0, 8.0);
    const Yarn red = MakeYarn(0x0000FF, 0.3, 0.3); // TColor red
    AddFloat(model, {1, 4, 8.0, 32.0}, {6, 4, 48.0, 32.0}, &red, 0);
    PaintOptions options;
    options.background = 0x204060; // red 0x60, green 0x40, blue 0x20
    options.colorOnColor = false;
    const QImage image = Paint(model, 64, 64, options);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0x60, 0x40, 0x20));
    // On the axis (row 63 - 32, face column 63 - 28): weight 0.7, gloss lift 28.8.
    const QColor axis = image.pixelColor(35, 31);
    EXPECT_EQ(axis.red(), 236);
    EXPECT_NEAR(axis.green(), 48, 1);
    EXPECT_EQ(axis.blue(), 38);
}

TEST(SimulationCanvas, BackViewIsTheMirrorPaintedInReverseDepthAndBarOrder)
{
    Tricot model(8, 8, 8.0, 8.0);
    const Yarn green = MakeYarn(0x00FF00);
    Yarn blue = MakeYarn(0xFF0000);
    const Yarn red = MakeYarn(0x0000FF);
    // A blue float of bar 1 (in L2) crossed by a green one of bar 0 in L0, a red one of bar 2 in
    // L2.
    AddFloat(model, {3, 1, 24.0, 8.25}, {3, 7, 24.0, 56.5}, &blue, 1);
    AddFloat(model, {1, 4, 8.25, 32.0}, {6, 4, 48.5, 32.0}, &green, 0, 2);
    AddFloat(model, {1, 2, 8.25, 16.0}, {6, 2, 48.5, 16.0}, &red, 2);
    PaintOptions options;
    const QImage face = Paint(model, 64, 64, options);
    options.backView = true;
    const QImage back = Paint(model, 64, 64, options);

    // Crossings at model (24, 32) and (24, 16): face columns 63 - 24, back columns 24.
    EXPECT_EQ(face.pixelColor(39, 31), QColor(0, 255, 0));
    EXPECT_EQ(back.pixelColor(24, 31), QColor(0, 0, 255));
    EXPECT_EQ(face.pixelColor(39, 47), QColor(255, 0, 0));
    EXPECT_EQ(back.pixelColor(24, 47), QColor(0, 0, 255));
    int compared = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (std::abs(x - 39) <= 3 && (std::abs(y - 31) <= 3 || std::abs(y - 47) <= 3))
                continue;
            ASSERT_EQ(face.pixel(x, y), back.pixel(63 - x, y)) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 3800);

    // A hidden yarn paints nothing.
    blue.hidden = 1;
    const QImage hidden = Paint(model, 64, 64);
    model.NodeAt(3, 1).underlaps.clear();
    EXPECT_EQ(hidden, Paint(model, 64, 64));
}

TEST(SimulationCanvas, RepeatWrapsAtItsEdgesAndTilesWithoutSeams)
{
    Tricot model(8, 8, 8.0, 8.0);
    const Yarn yarn = MakeYarn(0x4080C0, 0.4, 0.2);
    // Seen from the back (x not mirrored): floats beyond the right edge (to x 80.25), beyond the
    // top (to y 88.25), and half a pixel inside the left edge.
    AddFloat(model, {5, 3, 40.25, 24.4}, {10, 3, 16.25, 24.4}, &yarn, 0);
    AddFloat(model, {3, 5, 30.3, 40.25}, {3, 11, 30.3, 24.25}, &yarn, 0);
    AddFloat(model, {0, 0, 0.5, 2.25}, {0, 2, 0.5, 20.25}, &yarn, 0);
    PaintOptions options;
    options.backView = true;
    options.colorOnColor = false;
    options.pictureWidth = 160;
    options.pictureHeight = 150;
    const QImage image = Paint(model, 64, 64, options);

    // The horizontal yarn (row 63 - 24.4) re-enters on the left, the background in between.
    EXPECT_NE(image.pixel(5, 39), kGrey);
    EXPECT_EQ(image.pixel(22, 39), kGrey);
    EXPECT_NE(image.pixel(50, 39), kGrey);
    // Across the repeat's edges every column (row) shows the same cross-section; the left flank
    // of the float at x 0.5 shows on the right.
    const auto column = [&](int x) {
        std::vector<QRgb> profile;
        for (int y = 30; y <= 42; ++y)
            profile.push_back(image.pixel(x, y));
        return profile;
    };
    const auto row = [&](int y) {
        std::vector<QRgb> profile;
        for (int x = 25; x <= 36; ++x)
            profile.push_back(image.pixel(x, y));
        return profile;
    };
    EXPECT_NE(column(61).front(), column(61)[8]);
    EXPECT_NE(row(62).front(), row(62)[5]);
    for (int i : {58, 60, 63, 64, 65, 70, 75, 122, 127, 128, 139}) {
        EXPECT_EQ(column(i + 2), column(61)) << "column " << i + 2;
        EXPECT_EQ(row(i), row(62)) << "row " << i;
    }
    for (int y = 46; y <= 57; ++y) {
        EXPECT_NE(image.pixel(63, y), kGrey) << "row " << y;
        EXPECT_EQ(image.pixel(63, y), image.pixel(2, y)) << "row " << y; // 1.5 off the axis
    }
    // Tiles start at the top-left corner; the last ones are cut.
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(image.pixel(x, y), image.pixel(x % 64, y % 64)) << x << "," << y;
    }
}

TEST(SimulationCanvas, YarnsThinnerThanAPixelArePaintedAtTheFourthRootOfTheirWidth)
{
    Tricot model(8, 8, 8.0, 8.0);
    Yarn thin = MakeYarn(kWhite);
    thin.filaments = 1;
    thin.denier = std::pow(0.25 / 82.0, 2) * (1.38 * 3.14 * 9000.0 * 100.0) / 2.0;
    ASSERT_NEAR(YarnWidthPixels(thin, 1), 0.25, 1e-12);
    // Axes on rows 63 - 53 = 10 and 63 - 42.7 = 20.3.
    AddFloat(model, {1, 6, 8.0, 53.0}, {6, 6, 48.0, 53.0}, &thin, 0);
    AddFloat(model, {1, 5, 8.0, 42.7}, {6, 5, 48.0, 42.7}, &thin, 0);
    PaintOptions options;
    options.background = 0;
    options.zoom = 1.0;
    options.backView = true;
    const QImage image = Paint(model, 64, 64, options);
    // Width 0.7071: coverage 0.3536 on the axis, weight √0.3536 = 0.5946, 255 × 0.5946 = 151.6.
    EXPECT_EQ(image.pixelColor(28, 10), QColor(151, 151, 151));
    EXPECT_EQ(image.pixel(28, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(28, 11), qRgb(0, 0, 0));
    // 0.3 from the axis is inside half of 0.7071 (a 0.25 yarn would not reach it).
    EXPECT_NE(image.pixel(28, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(28, 21), qRgb(0, 0, 0));
}

TEST(SimulationCanvas, GlossLightsTheAxisAndDarkensTheEdgesUnlessColourOnColour)
{
    const Yarn grey = MakeYarn(0x646464, 0.5, 0.3);
    Tricot floats(8, 8, 8.0, 8.0);
    // Axis exactly on row 63 - 53 = 10, and one on row 63 - 32.7 = 30.3.
    AddFloat(floats, {1, 6, 8.0, 53.0}, {6, 6, 48.0, 53.0}, &grey, 0);
    AddFloat(floats, {1, 4, 8.0, 32.7}, {6, 4, 48.0, 32.7}, &grey, 0);
    PaintOptions options;
    options.background = 0x646464;
    options.colorOnColor = false;
    QImage image = Paint(floats, 64, 64, options);
    EXPECT_EQ(image.pixelColor(30, 10), QColor(148, 148, 148)); // 100 + 96 × 0.5
    EXPECT_LT(image.pixelColor(30, 32).red(), 100);             // 1.7 of 1.74 from the axis

    // A white fabric on white stays white in colour-on-colour mode, gloss or not.
    const std::vector<Yarn> white(4, MakeYarn(kWhite, 0.8, 0.3));
    Tricot fabric = Fabric(10, 12, 9.0, 6.0, white);
    options.background = kWhite;
    options.colorOnColor = true;
    EXPECT_TRUE(AllPixels(Paint(fabric, 90, 72, options), qRgb(255, 255, 255)));
    options.colorOnColor = false;
    EXPECT_FALSE(AllPixels(Paint(fabric, 90, 72, options), qRgb(255, 255, 255)));
}

// Fuzz 0 ignores the seed; with fuzz one seed gives one picture on any thread count. Fuzz <= 99.
TEST(SimulationCanvas, SameSeedSameBytesOnAnyThreadCount)
{
    Tricot model = Fabric(12, 16, 14.9, 8.2, kFourYarns);
    PaintOptions options;
    options.colorOnColor = false;
    options.pictureWidth = 200;
    options.pictureHeight = 150;
    const QImage calm = Paint(model, 178, 131, options);
    options.seed = 2;
    EXPECT_EQ(Paint(model, 178, 131, options), calm);

    options.fuzz = 30;
    options.seed = 5;
    const QImage fuzzy = Paint(model, 178, 131, options);
    EXPECT_FALSE(AllPixels(fuzzy, kGrey));
    EXPECT_NE(fuzzy, calm);
    for (int32_t threads : {1, 2, 3, 4}) {
        options.threads = threads;
        EXPECT_EQ(Paint(model, 178, 131, options), fuzzy) << threads << " threads";
    }
    options.seed = 6;
    EXPECT_NE(Paint(model, 178, 131, options), fuzzy);
    options.fuzz = 99;
    const QImage most = Paint(model, 178, 131, options);
    options.fuzz = 500;
    EXPECT_EQ(Paint(model, 178, 131, options), most);
}

TEST(SimulationCanvas, LoopsNestByBarAndLinksJoinTheChosenLegPoints)
{
    Tricot model(4, 4, 8.0, 8.0);
    const Yarn a = MakeYarn(0x0000FF);
    const Yarn b = MakeYarn(0x00FF00);
    // (1, 1) stands on (1, 0) and holds up (1, 2): both lean by 0.05 × 8, leg points ±0.4.
    for (const End &end :
         {End{1, 0, 8.0, 0.0}, {1, 1, 8.0, 8.0}, {1, 2, 8.0, 16.0}, {2, 2, 16.0, 16.0}})
        Place(model, end);
    Octopus &node = model.NodeAt(1, 1);
    node.loops.push_back({2, &a, 1, 100, 0}); // first bar on the node: innermost, scale 0.8
    node.loops.push_back({0, &b, 0, 100, 0}); // second: scale 1.0, legs crossed onto P-
    node.loops.push_back({3, &b, 1, 100, 1}); // needle flag set: numbered, not drawn
    node.loops.push_back({1, &a, 2, 100, 0}); // fourth bar: scale 1.4, legs crossed onto P+
    node.links.push_back({0, &b, 2, 2, 4, 2, 100, 0}); // strong float from P+ to T-
    node.links.push_back({0, &b, 2, 2, 0, 2, 100, 0}); // kind 0: not drawn

    SimulationCanvas canvas(32, 32, 0, 0, false, false, 4.0);
    RandomSource random(3);
    canvas.BuildSegments(model, random);
    EXPECT_DOUBLE_EQ(node.scatterX, -0.4);
    EXPECT_DOUBLE_EQ(node.scatterY, 0.0);
    EXPECT_DOUBLE_EQ(model.NodeAt(1, 0).scatterX, 0.0); // the course below it is empty

    const auto &lists = canvas.lists();
    ASSERT_EQ(lists[0].size(), 1u); // the float's middle
    ASSERT_EQ(lists[1].size(), 7u);
    ASSERT_EQ(lists[2].size(), 7u);
    ASSERT_EQ(lists[3].size(), 12u);
    EXPECT_TRUE(lists[4].empty());
    // E2 = C - s·h - 0.3·s·w·u with C = (8, 16), h = (0.4, 0), u = (1, 0), per nesting scale s.
    const double w = YarnWidthPixels(a, 4);
    for (const auto &[index, bar, s] : {std::tuple{0, 2, 0.8}, {2, 0, 1.0}, {4, 1, 1.4}}) {
        const YarnSegment &side = lists[2][size_t(index)];
        EXPECT_EQ(side.bar, bar);
        EXPECT_EQ(side.yarn, bar == 0 ? &b : &a);
        EXPECT_DOUBLE_EQ(side.width, w);
        EXPECT_NEAR(side.x2, 8.0 - s * 0.4 - 0.3 * s * w, 1e-12);
        EXPECT_NEAR(side.y2, 16.0, 1e-12);
    }
    // The open lap's legs end in P+ = (7.6, 8) and P- = (8.4, 8), legMode 0 in P-, 2 in P+.
    const double feet[] = {7.6, 8.4, 8.4, 8.4, 7.6, 7.6};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(lists[3][2 * i + 1].x2, feet[i]) << i;
    // The float starts in P+ and ends in T-; its ends lie in L1 and L2.
    EXPECT_DOUBLE_EQ(lists[1][6].x1, 7.6);
    EXPECT_DOUBLE_EQ(lists[1][6].y1, 8.0);
    EXPECT_NEAR(lists[0][0].x1, 0.9 * 7.6 + 0.1 * 16.0, 1e-12);
    EXPECT_DOUBLE_EQ(lists[2][6].x2, 16.0);
    EXPECT_DOUBLE_EQ(lists[2][6].y2, 16.0);
}

TEST(SimulationCanvas, ProgressClimbsToAHundredAndStops)
{
    Tricot model = Fabric(10, 12, 9.0, 6.0, kFourYarns);
    SimulationCanvas canvas(90, 72, 0x808080, 20, false, false, 4.0);
    RandomSource random(1);
    canvas.BuildSegments(model, random);
    TCorvexBitmap picture;
    ASSERT_TRUE(picture.Create(90, 72, nullptr, 24));
    RecordingProgress progress;
    ASSERT_TRUE(canvas.PaintSegments(picture, &progress, 2));
    ASSERT_GE(progress.reports.size(), 50u);
    EXPECT_LE(progress.reports.size(), 102u);
    EXPECT_EQ(progress.reports.front(), 0);
    EXPECT_EQ(progress.reports.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.reports.begin(), progress.reports.end()));
    EXPECT_EQ(canvas.paintedSegments(), canvas.totalSegments());

    TCorvexBitmap stopped;
    ASSERT_TRUE(stopped.Create(90, 72, nullptr, 24));
    RecordingProgress stopping;
    stopping.stopAt = 30;
    EXPECT_FALSE(canvas.PaintSegments(stopped, &stopping, 2));
    EXPECT_LE(stopping.reports.back(), 31);
    TCorvexBitmap empty;
    EXPECT_FALSE(canvas.PaintSegments(empty, nullptr));
    TCorvexBitmap eightBit;
    ASSERT_TRUE(eightBit.Create(90, 72, nullptr, 8));
    EXPECT_FALSE(canvas.PaintSegments(eightBit, nullptr));
}
