#include "knit/samples.h"

#include "knit/threading.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using namespace warplon;

namespace {

bool formsLoop(const ChainLink &link)
{
    return link.x0 != link.x1;
}

// The lapping repeats with a height that divides the bar's course count, so the repeat of the
// design joins its last course to its first without a break.
bool repeatsWholly(const std::vector<ChainLink> &lapping)
{
    const size_t n = lapping.size();
    for (size_t height = 1; height < n; ++height) {
        if (n % height != 0)
            continue;
        bool same = true;
        for (size_t c = 0; c < n && same; ++c)
            same = lapping[c] == lapping[(c + height) % n];
        if (same)
            return true;
    }
    return false;
}

} // namespace

TEST(Samples, NamesAreUniqueLowercaseAndCoverTheClassics)
{
    const QList<SampleInfo> samples = SampleList();
    QSet<QString> names;
    const QRegularExpression form(QStringLiteral("^[a-z]+(-[a-z]+)*$"));
    for (const SampleInfo &sample : samples) {
        EXPECT_TRUE(form.match(sample.name).hasMatch()) << sample.name.toStdString();
        EXPECT_FALSE(sample.description.isEmpty());
        names.insert(sample.name);
    }
    EXPECT_EQ(names.size(), samples.size());
    for (const char *wanted : {"tricot", "locknit", "reverse-locknit", "sharkskin", "queenscord",
                               "satin", "pillar-inlay"})
        EXPECT_TRUE(names.contains(QLatin1String(wanted))) << wanted;
}

TEST(Samples, EverySampleIsAKnittableDesign)
{
    for (const SampleInfo &sample : SampleList()) {
        SCOPED_TRACE(sample.name.toStdString());
        MainData header;
        TexLayer layer;
        ASSERT_TRUE(MakeSample(sample.name, header, layer));

        ASSERT_GE(header.barCount, 1);
        ASSERT_LE(header.barCount, kMaxBars);
        EXPECT_EQ(int32_t(layer.bars.size()), header.barCount);
        EXPECT_GT(header.courseCount, 0);
        EXPECT_GT(header.gauge, 0);
        EXPECT_GT(header.coursesPerCm, 0.0);
        EXPECT_FALSE(layer.yarns.empty());
        EXPECT_EQ(layer.optimizeRepeat, 1);
        EXPECT_EQ(layer.completeNeedle, RepeatWidth(layer));

        bool knittingBarInFront = false;
        for (size_t b = 0; b < layer.bars.size(); ++b) {
            SCOPED_TRACE(b);
            const Tex &bar = layer.bars[b];
            EXPECT_EQ(bar.courseCount, header.courseCount);
            EXPECT_EQ(bar.LappingCount(), header.courseCount);
            EXPECT_EQ(int32_t(bar.courseStates.size()), header.courseCount);
            EXPECT_EQ(int32_t(bar.carryFloat.size()), header.courseCount);
            EXPECT_EQ(int32_t(bar.tightFloat.size()), header.courseCount);
            EXPECT_TRUE(repeatsWholly(bar.lapping));

            // x2 is already derived: normalising again changes nothing.
            Tex normalized = bar;
            normalized.Normalize();
            EXPECT_EQ(normalized.lapping, bar.lapping);

            ASSERT_FALSE(bar.threading.empty());
            bool threaded = false;
            for (const WaleState &run : bar.threading) {
                EXPECT_GE(run.count, 1);
                EXPECT_GE(run.yarn, 0);
                EXPECT_LT(run.yarn, int32_t(layer.yarns.size()));
                threaded = threaded || run.threaded;
            }
            EXPECT_TRUE(threaded);

            // A bar knits in every course (one-needle overlaps, as on a tricot machine) or is
            // laid in throughout; a laid-in yarn is held only by a knitting bar in front of it.
            const auto loops = std::count_if(bar.lapping.begin(), bar.lapping.end(), formsLoop);
            if (loops == 0) {
                EXPECT_TRUE(knittingBarInFront) << "laid-in bar without a ground in front";
            } else {
                EXPECT_EQ(loops, bar.LappingCount()) << "a knitting bar misses a loop";
                for (const ChainLink &link : bar.lapping)
                    EXPECT_EQ(std::abs(link.x0 - link.x1), 1);
                knittingBarInFront = true;
            }
            for (const ChainLink &link : bar.lapping) {
                EXPECT_GE(std::min({link.x0, link.x1, link.x2}), 0);
                EXPECT_LE(std::max({link.x0, link.x1, link.x2}), 8);
            }

            for (const CourseState2 &state : bar.courseStates) {
                EXPECT_GT(state.calcRunIn, 0);
                EXPECT_EQ(state.runIn, state.calcRunIn);
            }
        }
        EXPECT_TRUE(layer.bars.empty() || layer.bars.front().LappingCount() > 0);
    }
}

TEST(Samples, MakeSampleReplacesTheWholeDesignOrNothing)
{
    MainData header;
    TexLayer layer;
    ASSERT_TRUE(MakeSample(QStringLiteral("power-net"), header, layer));
    const int32_t wideBars = header.barCount;
    ASSERT_TRUE(MakeSample(QStringLiteral("tricot"), header, layer));
    EXPECT_LT(header.barCount, wideBars);
    EXPECT_EQ(int32_t(layer.bars.size()), header.barCount);

    const MainData headerBefore = header;
    const TexLayer layerBefore = layer;
    EXPECT_FALSE(MakeSample(QStringLiteral("Tricot"), header, layer));
    EXPECT_FALSE(MakeSample(QString(), header, layer));
    EXPECT_EQ(header.barCount, headerBefore.barCount);
    EXPECT_EQ(header.courseCount, headerBefore.courseCount);
    EXPECT_EQ(header.gauge, headerBefore.gauge);
    EXPECT_TRUE(layer.sameStoredFields(layerBefore));
}
