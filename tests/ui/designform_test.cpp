#include "design/chartcanvas.h"
#include "design/designform.h"
#include "knit/undostore.h"
#include "ui/testhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// A design window on the default design (two bars, 16 courses) with bar 1 current.
struct DesignWindow
{
    DesignWindow() { form = std::make_unique<TDesignForm>(host); }

    // The centre of chart cell (wale, course), counted from the lower right.
    QPoint cell(int wale, int course) const
    {
        const int size = 5 * form->Zoom();
        const QImage &chart = form->chart().image();
        return {chart.width() - (wale + 1) * size + size / 2,
                chart.height() - (course + 1) * size + size / 2};
    }
    void enter(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    Tex &bar() { return host.design.document.bars[size_t(host.design.currentBar)]; }

    test::TestHost host;
    std::unique_ptr<TDesignForm> form;
};

} // namespace

TEST(DesignWindow, EditsWriteLapsAndWrapTheCourse)
{
    DesignWindow window;
    const int courses = window.host.design.document.CourseCount();
    window.enter(window.form->edY, QStringLiteral("0"));
    EXPECT_EQ(window.form->edY->text(), QStringLiteral("1"));
    window.enter(window.form->edY, QStringLiteral("999"));
    EXPECT_EQ(window.form->edY->text(), QString::number(courses));

    // The last course's lap is written, then Y goes back to 1.
    window.enter(window.form->edXIn, QStringLiteral("-2"));
    EXPECT_EQ(window.form->edXIn->text(), QStringLiteral("0"));
    window.enter(window.form->edXIn, QStringLiteral("3"));
    window.enter(window.form->edXVia, QStringLiteral("0"));
    const ChainLink &last = window.bar().lapping[size_t(courses - 1)];
    EXPECT_EQ(last.x0, 3);
    EXPECT_EQ(last.x1, 0);
    EXPECT_EQ(window.form->edY->text(), QStringLiteral("1"));
    EXPECT_EQ(window.host.undo().UndoCount(), 1);
    EXPECT_GE(window.host.edits, 1);
}

TEST(DesignWindow, ZoomBackgroundAndMouseEdits)
{
    DesignWindow window;
    window.form->zoomItems[1]->trigger();
    EXPECT_EQ(window.form->chart().Width(), ChartNeedleCount(window.host.design.document) * 10);
    EXPECT_EQ(window.form->chart().Height(), window.host.design.document.CourseCount() * 10);

    // The background choice is the window's and changes the paper.
    const QImage black = window.form->chart().image().copy();
    window.form->cbChartBGColor->setCurrentIndex(2);
    EXPECT_EQ(window.form->data().chartBackground, ChartWhite);
    EXPECT_NE(window.form->chart().image(), black);

    // A click on a course alternates the lap's direction around the needle under it.
    window.form->PressChart(window.cell(5, 2), Qt::NoModifier);
    const ChainLink first = window.bar().lapping[2];
    window.form->PressChart(window.cell(5, 2), Qt::NoModifier);
    const ChainLink second = window.bar().lapping[2];
    EXPECT_EQ(std::pair(first.x0, first.x1), std::pair(second.x1, second.x0));
    EXPECT_NE(first.x0, first.x1);
    EXPECT_EQ(window.form->edY->text(), QStringLiteral("3"));
    EXPECT_EQ(window.host.undo().UndoCount(), 2);

    // Ctrl+Z and Ctrl+Y step through the history.
    window.form->show();
    window.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.form.get()));
    QTest::keyClick(window.form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.bar().lapping[2], first);
    QTest::keyClick(window.form.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window.bar().lapping[2], second);

    // The ruler sets the threading start of the current bar.
    const QPoint ruler = window.cell(7, 0);
    window.form->ClickRuler(ruler.x());
    EXPECT_EQ(window.bar().shift, 7);
    EXPECT_EQ(window.form->edShift->text(), QStringLiteral("7"));
}

TEST(DesignWindow, RepeatedViewClicksThreadTheNeedle)
{
    DesignWindow window;
    window.bar().threading = {WaleState{0, 4, 1, 0}};
    window.form->cbRepeatLayer[size_t(window.host.design.currentBar)]->setChecked(true);
    EXPECT_EQ(window.bar().drawAllNeedles, 1);
    window.form->PressChart(window.cell(window.bar().shift, 0), Qt::NoModifier);
    EXPECT_EQ(window.bar().threading, (std::vector<WaleState>{{0, 1, 0, 0}, {0, 3, 1, 0}}));
    // With Shift nothing changes.
    window.form->PressChart(window.cell(window.bar().shift + 1, 0), Qt::ShiftModifier);
    EXPECT_EQ(window.bar().threading.size(), 2u);
}

TEST(DesignWindow, UndoAndRedoAcrossMixedEdits)
{
    DesignWindow window;
    const TexLayer start = window.host.design.document;
    window.form->PressChart(window.cell(3, 1), Qt::NoModifier); // a lap
    window.form->cbRepeatLayer[size_t(window.host.design.currentBar)]->setChecked(true);
    window.form->PressChart(window.cell(window.bar().shift, 0), Qt::NoModifier); // threading
    window.form->cbRepeatLayer[size_t(window.host.design.currentBar)]->setChecked(false);
    window.form->InvertSelection();
    const TexLayer end = window.host.design.document;
    ASSERT_EQ(window.host.undo().UndoCount(), 3);

    for (int step = 0; step < 3; ++step)
        window.form->Undo();
    EXPECT_TRUE(window.host.design.document.sameStoredFields(start));
    EXPECT_FALSE(window.host.undo().CanUndo());
    for (int step = 0; step < 3; ++step)
        window.form->Redo();
    EXPECT_TRUE(window.host.design.document.sameStoredFields(end));
    EXPECT_FALSE(window.host.undo().CanRedo());
}
