#include "simulation/treatmentform.h"
#include "ui/testhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// The column-1 texts of rows first..last, "." for a blank cell.
QString Column1(const QTableWidget *grid, int first, int last)
{
    QString texts;
    for (int row = first; row <= last; ++row) {
        const QString text = grid->item(row, 1)->text();
        texts += text.isEmpty() ? QStringLiteral(".") : text;
    }
    return texts;
}

void PressCell(QTableWidget *grid, int row, Qt::MouseButton button = Qt::LeftButton)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 1));
    QTest::mousePress(grid->viewport(), button, {}, cell.center());
    QTest::mouseRelease(grid->viewport(), button, {}, cell.center());
}

// A design of two bars with six courses, edited on bar 2.
struct TreatmentWindow
{
    TreatmentWindow()
    {
        host.design.document.SetCourseCount(6);
        host.design.currentBar = 1;
        form = std::make_unique<TTreatment_F>(host);
    }
    std::vector<int> flags(int bar) const
    {
        std::vector<int> values;
        for (const auto &course : host.design.treatment.courseFlags)
            values.push_back(course[size_t(bar)]);
        return values;
    }
    void enter(const QString &text)
    {
        form->edCourseInput->setText(text);
        QTest::keyClick(form->edCourseInput, Qt::Key_Return);
    }
    test::TestHost host;
    std::unique_ptr<TTreatment_F> form;
};

} // namespace

TEST(TreatmentWindow, ShowsTheCurrentBarsCourses)
{
    TreatmentWindow window;
    const TTreatment_F &form = *window.form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Treatment Setting"));
    EXPECT_EQ(form.lbLayer->text(), QStringLiteral("Layer 2"));
    EXPECT_TRUE(form.methodButtons[0]->isChecked());
    EXPECT_EQ(form.sgCourse->rowCount(), 30);
    EXPECT_EQ(form.sgCourse->item(0, 0)->text(), QStringLiteral("Course"));
    EXPECT_EQ(form.sgCourse->item(0, 1)->text(), QStringLiteral("Treated"));
    EXPECT_EQ(form.sgCourse->item(6, 0)->text(), QStringLiteral("6"));
    EXPECT_EQ(form.sgCourse->item(7, 0)->text(), QString());
    EXPECT_EQ(Column1(form.sgCourse, 1, 8), QStringLiteral("XXXXXX.."));

    // The bar grows to 25 courses: 25 rows of courses and ten blank rows below.
    window.host.design.document.bars[1].SetCourseCount(25);
    window.form->Refresh();
    EXPECT_EQ(form.sgCourse->rowCount(), 35);
    EXPECT_EQ(form.sgCourse->item(25, 0)->text(), QStringLiteral("25"));
    EXPECT_EQ(window.host.design.treatment.courseFlags.size(), 25u);
}

TEST(TreatmentWindow, EnterAndArrowKeysInTheInputEdit)
{
    TreatmentWindow window;
    TTreatment_F &form = *window.form;
    QTableWidget *grid = form.sgCourse;

    // "o" on the selected rows 3 to 5 treats courses 2 to 4 of bar 2; the edit is emptied.
    grid->setCurrentCell(3, 1);
    grid->setRangeSelected(QTableWidgetSelectionRange(3, 1, 5, 1), true);
    window.enter(QStringLiteral("o"));
    EXPECT_EQ(window.flags(1), (std::vector<int>{0, 0, 1, 1, 1, 0}));
    EXPECT_EQ(window.flags(0), std::vector<int>(6, 0));
    EXPECT_EQ(Column1(grid, 1, 7), QStringLiteral("XXOOOX."));
    EXPECT_TRUE(form.edCourseInput->text().isEmpty());
    EXPECT_EQ(window.host.edits, 1);

    // An empty Enter does nothing; another text clears.
    window.enter(QString());
    EXPECT_EQ(window.flags(1), (std::vector<int>{0, 0, 1, 1, 1, 0}));
    EXPECT_EQ(window.host.edits, 1);
    grid->clearSelection();
    grid->setCurrentCell(4, 1);
    window.enter(QStringLiteral("no"));
    EXPECT_EQ(window.flags(1), (std::vector<int>{0, 0, 1, 0, 1, 0}));

    // Arrow keys move the current cell and stay off the header row and the number column.
    QTest::keyClick(form.edCourseInput, Qt::Key_Down);
    EXPECT_EQ(std::pair(grid->currentRow(), grid->currentColumn()), std::pair(5, 1));
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(form.edCourseInput, Qt::Key_Up);
    QTest::keyClick(form.edCourseInput, Qt::Key_Left);
    EXPECT_EQ(std::pair(grid->currentRow(), grid->currentColumn()), std::pair(1, 1));
    window.enter(QStringLiteral("0"));
    EXPECT_EQ(window.flags(1), (std::vector<int>{1, 0, 1, 0, 1, 0}));
}

TEST(TreatmentWindow, ClicksCheckAllAndTheMethod)
{
    TreatmentWindow window;
    TTreatment_F &form = *window.form;

    // A left press toggles; a press past the last course or with the right button does not.
    PressCell(form.sgCourse, 2);
    EXPECT_EQ(window.flags(1), (std::vector<int>{0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(form.sgCourse->item(2, 1)->text(), QStringLiteral("O"));
    PressCell(form.sgCourse, 8);
    PressCell(form.sgCourse, 3, Qt::RightButton);
    EXPECT_EQ(window.flags(1), (std::vector<int>{0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(form.sgCourse->item(8, 1)->text(), QString());
    EXPECT_EQ(window.host.edits, 1);

    // Check All: course 0 untreated, so all get treated; then all get cleared.
    form.sbAll->click();
    EXPECT_EQ(window.flags(1), std::vector<int>(6, 1));
    form.sbAll->click();
    EXPECT_EQ(window.flags(1), std::vector<int>(6, 0));
    EXPECT_EQ(Column1(form.sgCourse, 1, 6), QStringLiteral("XXXXXX"));

    form.methodButtons[2]->click();
    EXPECT_EQ(window.host.design.treatment.method, TreatmentLoopRaising);
    // A design loaded with shearing shows it.
    window.host.design.treatment.method = TreatmentShearing;
    form.Refresh();
    EXPECT_TRUE(form.methodButtons[1]->isChecked());
}
