#include "knit/samples.h"

#include "knit/threading.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using namespace warplon;

namespace {

// The lapping repeats with a height that divides the bar's course count, so the repeat of the
// design joins its last course to its first without a break.
bool repeatsWholly(const std::vector<ChainLink> &lapping)
{
    const size_t n = lapping.size();
    for (size_t height = 1; height < n; ++height) {
        bool same = n % height == 0;
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
        ASSERT_TRUE(header.barCount >= 1 && header.barCount <= kMaxBars);
        EXPECT_EQ(int32_t(layer.bars.size()), header.barCount);
        EXPECT_TRUE(header.courseCount > 0 && header.gauge > 0 && header.coursesPerCm > 0.0);
        EXPECT_EQ(layer.optimizeRepeat, 1);
        EXPECT_EQ(layer.completeNeedle, RepeatWidth(layer));

        bool knittingBarInFront = false;
        for (const Tex &bar : layer.bars) {
            const size_t n = size_t(header.courseCount);
            EXPECT_TRUE(bar.courseCount == header.courseCount && bar.lapping.size() == n
                        && bar.courseStates.size() == n && bar.carryFloat.size() == n
                        && bar.tightFloat.size() == n);
            EXPECT_TRUE(repeatsWholly(bar.lapping));
            Tex normalized = bar; // x2 is already derived
            normalized.Normalize();
            EXPECT_EQ(normalized.lapping, bar.lapping);

            bool threaded = false;
            for (const WaleState &run : bar.threading) {
                EXPECT_TRUE(run.count >= 1 && run.yarn >= 0
                            && run.yarn < int32_t(layer.yarns.size()));
                threaded = threaded || run.threaded;
            }
            EXPECT_TRUE(threaded);

            // A bar knits in every course (one-needle overlaps, as on a tricot machine) or is
            // laid in throughout; a laid-in yarn is held only by a knitting bar in front of it.
            const auto loops = std::count_if(bar.lapping.begin(), bar.lapping.end(),
                                             [](const ChainLink &l) { return l.x0 != l.x1; });
            EXPECT_TRUE(loops == 0 ? knittingBarInFront : loops == bar.LappingCount());
            knittingBarInFront = knittingBarInFront || loops > 0;
            for (const ChainLink &link : bar.lapping) {
                EXPECT_TRUE(loops == 0 || std::abs(link.x0 - link.x1) == 1);
                EXPECT_GE(std::min({link.x0, link.x1, link.x2}), 0);
                EXPECT_LE(std::max({link.x0, link.x1, link.x2}), 8);
            }
            for (const CourseState2 &state : bar.courseStates)
                EXPECT_TRUE(state.calcRunIn > 0 && state.runIn == state.calcRunIn);
        }
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
    EXPECT_TRUE(header.barCount == headerBefore.barCount
                && header.courseCount == headerBefore.courseCount);
    EXPECT_TRUE(layer.sameStoredFields(layerBefore));
}
