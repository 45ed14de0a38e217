#include "app/environmentform.h"
#include "app/programsettings.h"
#include "design/designform.h"
#include "knit/samples.h"
#include "simulation/livesimulation.h"
#include "simulation/simulationform.h"
#include "testhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

// Sharkskin: the back bar's underlaps pass three needles, 2.72 mm at gauge 28.
class FloatWarningsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            MakeSample(QStringLiteral("sharkskin"), host.design.header, host.design.document));
        ASSERT_TRUE(WriteLiveSimulation(host.programDirectory(), false));
    }
    TestHost host;
};

int warningPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() > 40 && c.green() < 160 && c.blue() < 80;
        }
    return count;
}

} // namespace

TEST_F(FloatWarningsTest, ChartOutlinesLongFloatsWithTheirLength)
{
    ASSERT_TRUE(WriteFloatLimit(host.programDirectory(), 2.0));
    TDesignForm form(host);
    form.Refresh();
    ASSERT_FALSE(form.longFloats().empty());
    for (const CourseFloat &found : form.longFloats())
        EXPECT_EQ(found.bar, 1); // the front bar's floats are shorter
    ASSERT_FALSE(form.floatMarks().empty());
    const QPoint inside = form.floatMarks().front().center();
    EXPECT_TRUE(form.FloatTipAt(inside).startsWith(QStringLiteral("Layer 2, course ")))
        << form.FloatTipAt(inside).toStdString();
    EXPECT_TRUE(form.FloatTipAt(inside).endsWith(QStringLiteral(": float 2.7 mm")));

    // Above the floats' length, and with the limit off, nothing is marked.
    form.SetFloatLimit(2.73);
    EXPECT_TRUE(form.floatMarks().empty());
    EXPECT_TRUE(form.FloatTipAt(inside).isEmpty());
    form.SetFloatLimit(0.0);
    EXPECT_TRUE(form.longFloats().empty());
}

TEST_F(FloatWarningsTest, PictureShowsTheFloatsWhenAskedAndTheLimitComesFromTheEnvironment)
{
    TSimulationForm simulation(host);
    simulation.resize(500, 400);
    ASSERT_TRUE(simulation.RunSimulation());
    const QImage plain = simulation.picture().image();
    EXPECT_EQ(simulation.ShownPicture(), plain);

    simulation.SetFloatLimit(2.0);
    simulation.SetShowFloats(true);
    const QImage marked = simulation.ShownPicture();
    EXPECT_GT(warningPixels(marked), warningPixels(plain) + 100);
    simulation.SetFloatLimit(3.0);
    EXPECT_EQ(simulation.ShownPicture(), plain);

    // The environment window writes the limit and says so at once.
    TStringTable messages;
    TEnvironment environment(host.programDirectory(), host.language(), QFont(), 150, messages);
    QSignalSpy changed(&environment, &TEnvironment::floatLimitChanged);
    environment.edFloatLimit->setText(QStringLiteral("2.5"));
    emit environment.edFloatLimit->editingFinished();
    ASSERT_EQ(changed.size(), 1);
    EXPECT_DOUBLE_EQ(changed[0][0].toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(ReadFloatLimit(host.programDirectory()), 2.5);
    environment.edFloatLimit->setText(QStringLiteral("long"));
    emit environment.edFloatLimit->editingFinished();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(environment.edFloatLimit->text(), QStringLiteral("2.5"));
}
