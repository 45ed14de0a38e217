#include "app/messagebox.h"
#include "design/guidebarform.h"
#include "knit/runin.h"
#include "ui/testhost.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// Answers every message box and remembers its text.
struct MessageLog
{
    MessageLog()
    {
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            texts.append(text);
            return QMessageBox::Ok;
        });
    }
    ~MessageLog() { SetMessageHandler({}); }
    QStringList texts;
};

// Texts of one grid column over rows first..last, "." for a blank cell.
QString Column(const QTableWidget *grid, int column, int first, int last)
{
    QStringList texts;
    for (int row = first; row <= last; ++row) {
        const QString text = grid->item(row, column)->text();
        texts.append(text.isEmpty() ? QStringLiteral(".") : text);
    }
    return texts.join(QLatin1Char(' '));
}

void Press(QTableWidget *grid, int row, int column, Qt::MouseButton button = Qt::LeftButton)
{
    grid->scrollToItem(grid->item(row, column));
    const QPoint centre = grid->visualRect(grid->model()->index(row, column)).center();
    QTest::mousePress(grid->viewport(), button, {}, centre);
    QTest::mouseRelease(grid->viewport(), button, {}, centre);
}

void Select(QTableWidget *grid, int top, int bottom, int column)
{
    grid->setCurrentCell(top, column);
    grid->setRangeSelected(QTableWidgetSelectionRange(top, column, bottom, column), true);
}

std::pair<int, int> Current(const QTableWidget *grid)
{
    return {grid->currentRow(), grid->currentColumn()};
}

// A new design of two bars and six courses (laps 2-3/1-0), edited on bar 2, window shown.
struct GuideBarWindow
{
    explicit GuideBarWindow(const QString &language = QStringLiteral("English"))
        : host(language)
    {
        host.design.document.SetCourseCount(6);
        host.design.header.courseCount = 6;
        host.design.document.yarns.resize(2);
        host.design.currentBar = 1;
        form = std::make_unique<TGuideBar_F>(host);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    Tex &bar() { return host.design.document.bars[1]; }
    void enter(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void coursePage()
    {
        form->PageControl->setCurrentWidget(form->tsCourse);
        QCoreApplication::processEvents();
    }

    test::TestHost host;
    std::unique_ptr<TGuideBar_F> form;
};

} // namespace

TEST(GuideBarWindow, ShowsTheCurrentBar)
{
    GuideBarWindow window;
    window.bar().threading = {{0, 6, 1, 0}, {1, 2, 0, 1}};
    window.bar().shift = 3;
    window.bar().courseStates[2] = {1500, 1210, 90};
    window.bar().carryFloat[1] = 1;
    window.host.design.guideBars.formula[1] = 0;
    window.host.design.guideBars.runInBrightness[1] = 1;
    window.host.design.guideBars.description[1] = QByteArrayLiteral("6 in 2 out");
    window.form->Refresh();
    const TGuideBar_F &form = *window.form;

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Guide Bar"));
    EXPECT_EQ(form.lbLayer->text(), QStringLiteral("Layer 2"));
    EXPECT_EQ(form.PageControl->tabText(0), QStringLiteral("Threading"));
    EXPECT_EQ(form.PageControl->tabText(1), QStringLiteral("Run-in"));
    EXPECT_EQ(form.edShift->text(), QStringLiteral("3"));
    EXPECT_EQ(form.edCompleteNeedle->text(), QStringLiteral("12"));
    EXPECT_FALSE(form.edCompleteNeedle->isEnabled());
    EXPECT_TRUE(form.rbCompleteNeedle1->isChecked());
    // Threading lengths 1 (bar 1) and 8 (bar 2).
    EXPECT_EQ(form.rbCompleteNeedle1->text(), QStringLiteral("Optimization   8"));
    EXPECT_EQ(form.edInOutDescription->text(), QStringLiteral("6 in 2 out"));
    EXPECT_TRUE(form.formulaButtons[0]->isChecked());
    EXPECT_FALSE(form.cbNoTension->isChecked());
    EXPECT_TRUE(form.cbShowRunin->isChecked());

    const QTableWidget *threading = form.sgThreading;
    EXPECT_EQ(threading->rowCount(), 30);
    EXPECT_EQ(Column(threading, 0, 0, 3), QStringLiteral(". 1 2 3"));
    EXPECT_EQ(threading->item(0, 1)->text(), QStringLiteral("Threading"));
    EXPECT_EQ(threading->item(0, 2)->text(), QStringLiteral("Needles"));
    EXPECT_EQ(Column(threading, 1, 1, 3), QStringLiteral("In Out ."));
    EXPECT_EQ(Column(threading, 2, 1, 3), QStringLiteral("6 2 ."));
    EXPECT_EQ(Column(threading, 3, 1, 3), QStringLiteral("A B ."));
    EXPECT_EQ(Column(threading, 4, 1, 3), QStringLiteral("X . ."));
    EXPECT_EQ(threading->item(0, 1)->foreground().color(), QColor(128, 0, 0));

    const QTableWidget *course = form.sgCourse;
    EXPECT_EQ(course->item(0, 1)->text(), QStringLiteral("mm/RACK"));
    EXPECT_EQ(course->item(0, 4)->text(), QStringLiteral("Carry Float"));
    EXPECT_EQ(Column(course, 0, 1, 7), QStringLiteral("1 2 3 4 5 6 ."));
    EXPECT_EQ(Column(course, 1, 2, 3), QStringLiteral("1700 1500"));
    EXPECT_EQ(Column(course, 3, 2, 3), QStringLiteral("100% 90%"));
    EXPECT_EQ(Column(course, 4, 1, 3), QStringLiteral("X O X"));
    // Hints: mean of the entered run-in (5 × 1700 + 1500) / 6 and of the calculated one.
    EXPECT_EQ(course->item(4, 1)->toolTip(), QStringLiteral("1666"));
    EXPECT_EQ(course->item(4, 2)->toolTip(), QStringLiteral("201"));
    EXPECT_EQ(course->item(4, 3)->toolTip(), QString());

    // Another bar becomes current in the main window.
    window.host.design.currentBar = 0;
    window.form->Refresh();
    EXPECT_EQ(form.lbLayer->text(), QStringLiteral("Layer 1"));
    EXPECT_EQ(form.edShift->text(), QStringLiteral("0"));
    EXPECT_TRUE(form.formulaButtons[2]->isChecked());
    EXPECT_EQ(Column(threading, 2, 1, 2), QStringLiteral("1 ."));
}

TEST(GuideBarWindow, TypingIntoTheThreadingGrid)
{
    GuideBarWindow window;
    TGuideBar_F &form = *window.form;
    QTableWidget *grid = form.sgThreading;
    window.bar().threading = {{0, 6, 1, 0}, {1, 2, 1, 0}};
    form.Refresh();

    // Rows 3 to 6 of two runs, "4" in the needle column: four runs of four needles appended;
    // the cursor moves a row down and the repeat on "Optimization" follows.
    Select(grid, 3, 6, 2);
    window.enter(form.edThreadingInput, QStringLiteral("4"));
    ASSERT_EQ(window.bar().threading.size(), 6u);
    EXPECT_EQ(window.bar().threading[5], (WaleState{0, 4, 1, 0}));
    EXPECT_EQ(Column(grid, 2, 1, 7), QStringLiteral("6 2 4 4 4 4 ."));
    EXPECT_TRUE(form.edThreadingInput->text().isEmpty());
    EXPECT_EQ(Current(grid), std::pair(4, 2));
    EXPECT_EQ(form.rbCompleteNeedle1->text(), QStringLiteral("Optimization   24"));
    EXPECT_EQ(window.host.edits, 1);
    EXPECT_EQ(window.host.undo().UndoCount(), 1);

    // "c" with two yarns stores B; the arrow keys move over the free columns only.
    QTest::keyClick(form.edThreadingInput, Qt::Key_Right);
    EXPECT_EQ(Current(grid), std::pair(4, 3));
    window.enter(form.edThreadingInput, QStringLiteral("c"));
    EXPECT_EQ(window.bar().threading[3].yarn, 1);
    EXPECT_EQ(Current(grid), std::pair(5, 3));
    QTest::keyClick(form.edThreadingInput, Qt::Key_Right);
    QTest::keyClick(form.edThreadingInput, Qt::Key_Right);
    EXPECT_EQ(Current(grid), std::pair(5, 4));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(form.edThreadingInput, Qt::Key_Left);
    EXPECT_EQ(Current(grid), std::pair(5, 2));
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(form.edThreadingInput, Qt::Key_Up);
    EXPECT_EQ(Current(grid), std::pair(1, 2));
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(form.edThreadingInput, Qt::Key_Down);
    EXPECT_EQ(Current(grid), std::pair(29, 2));

    // Text in the flag column and a count that is no number change nothing; the latter says so.
    MessageLog log;
    const std::vector<WaleState> before = window.bar().threading;
    grid->setCurrentCell(1, 4);
    window.enter(form.edThreadingInput, QStringLiteral("O"));
    grid->setCurrentCell(1, 2);
    window.enter(form.edThreadingInput, QStringLiteral("six"));
    EXPECT_EQ(window.bar().threading, before);
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("'six' is not a valid integer value.")});
    EXPECT_EQ(form.edThreadingInput->text(), QStringLiteral("six"));
    EXPECT_EQ(window.host.undo().UndoCount(), 2);

    // Undo brings back the threading before the last edit.
    window.host.undo().Undo(window.host.design.document);
    form.Refresh();
    EXPECT_EQ(window.bar().threading[3].yarn, 0);
    EXPECT_EQ(Column(grid, 3, 3, 7), QStringLiteral("A A A A ."));
    window.host.undo().Undo(window.host.design.document);
    EXPECT_EQ(window.bar().threading.size(), 2u);
}

TEST(GuideBarWindow, ThreadingClicksAddAndDelete)
{
    GuideBarWindow window;
    TGuideBar_F &form = *window.form;
    QTableWidget *grid = form.sgThreading;
    window.bar().threading = {{0, 6, 1, 0}, {1, 2, 1, 0}};
    form.Refresh();

    // In/Out toggles on column 1 without moving the cursor onto the fixed column.
    grid->setCurrentCell(1, 2);
    Press(grid, 2, 1);
    EXPECT_EQ(window.bar().threading[1].threaded, 0);
    EXPECT_EQ(Column(grid, 1, 1, 2), QStringLiteral("In Out"));
    EXPECT_EQ(Current(grid), std::pair(1, 2));
    // The flag of the Out run changes though its cell stays blank; below the last run a new run
    // comes; further down nothing.
    Press(grid, 2, 4);
    EXPECT_EQ(window.bar().threading[1].needleFlag, 1);
    EXPECT_EQ(grid->item(2, 4)->text(), QString());
    Press(grid, 3, 4);
    Press(grid, 5, 4);
    EXPECT_EQ(window.bar().threading.size(), 3u);
    EXPECT_EQ(Column(grid, 4, 1, 4), QStringLiteral("X . X ."));
    // A right press changes nothing but names the row Add inserts at.
    Press(grid, 1, 4);
    EXPECT_EQ(window.bar().threading[0].needleFlag, 1);
    Press(grid, 2, 3, Qt::RightButton);
    form.pmThreading->hide();
    EXPECT_EQ(window.bar().threading[1].yarn, 1);
    EXPECT_EQ(window.host.edits, 4);
    form.pmAdd->trigger();
    ASSERT_EQ(window.bar().threading.size(), 4u);
    EXPECT_EQ(window.bar().threading[1], (WaleState{0, 1, 1, 0}));
    EXPECT_EQ(Column(grid, 2, 1, 5), QStringLiteral("6 1 2 1 ."));

    // Delete takes the selected runs; a selection reaching below the last run takes none.
    Select(grid, 3, 5, 2);
    form.pmDelete->trigger();
    EXPECT_EQ(window.bar().threading.size(), 4u);
    grid->clearSelection();
    Select(grid, 2, 3, 2);
    form.pmDelete->trigger();
    EXPECT_EQ(Column(grid, 2, 1, 3), QStringLiteral("6 1 ."));
    EXPECT_EQ(form.rbCompleteNeedle1->text(), QStringLiteral("Optimization   7"));

    // Each change is one undo step.
    window.host.undo().Undo(window.host.design.document);
    EXPECT_EQ(window.bar().threading.size(), 4u);
    window.host.undo().Undo(window.host.design.document);
    EXPECT_EQ(window.bar().threading.size(), 3u);
}

TEST(GuideBarWindow, TypingAndClickingInTheCourseGrid)
{
    GuideBarWindow window;
    TGuideBar_F &form = *window.form;
    window.coursePage();
    QTableWidget *grid = form.sgCourse;
    EXPECT_TRUE(form.edCourseInput->hasFocus());
    // Courses 2 and 4 form no loop.
    window.bar().lapping[1] = {1, 1, 1};
    window.bar().lapping[3] = {2, 2, 2};
    form.Refresh();

    Select(grid, 2, 4, 1);
    window.enter(form.edCourseInput, QStringLiteral("1420"));
    EXPECT_EQ(Column(grid, 1, 1, 6), QStringLiteral("1700 1420 1420 1420 1700 1700"));
    EXPECT_EQ(Current(grid), std::pair(2, 1));
    EXPECT_TRUE(form.edCourseInput->text().isEmpty());
    EXPECT_EQ(grid->item(1, 1)->toolTip(), QStringLiteral("1560"));

    // Ratio: negative values become 0. The arrow keys stay off the number column.
    QTest::keyClick(form.edCourseInput, Qt::Key_Right);
    QTest::keyClick(form.edCourseInput, Qt::Key_Right);
    window.enter(form.edCourseInput, QStringLiteral("-7"));
    EXPECT_EQ(Column(grid, 3, 1, 3), QStringLiteral("100% 0% 100%"));
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(form.edCourseInput, Qt::Key_Left);
    EXPECT_EQ(Current(grid), std::pair(2, 1));
    QTest::keyClick(form.edCourseInput, Qt::Key_Up);
    QTest::keyClick(form.edCourseInput, Qt::Key_Up);
    EXPECT_EQ(Current(grid), std::pair(1, 1));

    // Carry float by typing, by a press on a course, and by the header: with a switch set the
    // header clears the column; with none it sets exactly the courses without a loop.
    grid->setCurrentCell(5, 4);
    window.enter(form.edCourseInput, QStringLiteral("o"));
    Press(grid, 6, 4);
    EXPECT_EQ(Column(grid, 4, 1, 6), QStringLiteral("X X X X O O"));
    Press(grid, 0, 4);
    EXPECT_EQ(Column(grid, 4, 1, 6), QStringLiteral("X X X X X X"));
    Press(grid, 0, 4);
    EXPECT_EQ(Column(grid, 4, 1, 6), QStringLiteral("X O X O X X"));
    EXPECT_EQ(window.bar().carryFloat, (std::vector<uint8_t>{0, 1, 0, 1, 0, 0}));
    Press(grid, 0, 5);
    EXPECT_EQ(window.bar().tightFloat, (std::vector<uint8_t>{0, 1, 0, 1, 0, 0}));
    // The header press leaves the cursor where it was.
    EXPECT_EQ(Current(grid), std::pair(6, 4));

    // No input in the calculated column; a bad number is refused with the conversion box.
    MessageLog log;
    const Tex before = window.bar();
    grid->setCurrentCell(1, 2);
    window.enter(form.edCourseInput, QStringLiteral("900"));
    grid->setCurrentCell(1, 1);
    window.enter(form.edCourseInput, QStringLiteral("9OO"));
    EXPECT_TRUE(window.bar().sameStoredFields(before));
    EXPECT_EQ(log.texts.size(), 1);

    // Undo of the last switch edit.
    window.host.undo().Undo(window.host.design.document);
    EXPECT_EQ(window.bar().tightFloat, (std::vector<uint8_t>(6, 0)));
    EXPECT_EQ(window.bar().carryFloat, (std::vector<uint8_t>{0, 1, 0, 1, 0, 0}));
}

TEST(GuideBarWindow, RunInDefaultsAndSettings)
{
    GuideBarWindow window;
    TGuideBar_F &form = *window.form;
    window.coursePage();
    Tex &bar = window.bar();

    // d1 for bar 2, then the formula values into the calculated column, then into the run-in.
    form.formulaButtons[0]->click();
    EXPECT_EQ(window.host.design.guideBars.formula[1], 0);
    EXPECT_EQ(window.host.design.guideBars.formula[0], 2);
    form.sbSetDefaultWithFormula->click();
    const std::vector<int32_t> d1
        = FormulaCalcRunIns(bar, window.host.design.document.yarns, 0, window.host.design.header);
    EXPECT_EQ(bar.courseStates[0].calcRunIn, d1[0]);
    EXPECT_EQ(form.sgCourse->item(1, 2)->text(), QString::number(d1[0]));
    EXPECT_EQ(bar.courseStates[0].runIn, 1700);
    form.sbDefault->click();
    EXPECT_EQ(bar.courseStates[5].runIn, d1[5]);
    EXPECT_EQ(form.sgCourse->item(6, 1)->text(), QString::number(d1[5]));

    // By optimization on a course without loop: it and the course before take the formula.
    bar.lapping[3] = {2, 2, 2};
    const std::vector<int32_t> formula
        = FormulaCalcRunIns(bar, window.host.design.document.yarns, 0, window.host.design.header);
    form.sbSetDefaultWithOptimization->click();
    EXPECT_EQ(bar.courseStates[2].calcRunIn, formula[2]);
    EXPECT_EQ(bar.courseStates[3].calcRunIn, formula[3]);
    EXPECT_NE(bar.courseStates[0].calcRunIn, formula[0]);
    EXPECT_EQ(window.host.undo().UndoCount(), 3);

    // The switches and the description go to the settings of bar 2.
    form.cbNoTension->click();
    form.cbShowRunin->click();
    EXPECT_EQ(window.host.design.guideBars.noTension, (std::array<uint8_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(window.host.design.guideBars.runInBrightness, (std::array<uint8_t, 4>{0, 1, 0, 0}));
    window.enter(form.edInOutDescription, QStringLiteral("full set"));
    EXPECT_EQ(window.host.design.guideBars.description[1], QByteArrayLiteral("full set"));
    form.ResetSettings();
    EXPECT_EQ(window.host.design.guideBars, GuideBarData{});
    EXPECT_FALSE(form.cbNoTension->isChecked());
    EXPECT_TRUE(form.edInOutDescription->text().isEmpty());

    QSignalSpy yarnList(&form, &TGuideBar_F::ViewYarnListRequested);
    form.sbViewYarnList->click();
    EXPECT_EQ(yarnList.count(), 1);
}

TEST(GuideBarWindow, ThreadingStartAndRepeatWidth)
{
    GuideBarWindow window;
    TGuideBar_F &form = *window.form;
    TexLayer &document = window.host.design.document;

    window.enter(form.edShift, QStringLiteral("-3"));
    EXPECT_EQ(form.edShift->text(), QStringLiteral("0"));
    EXPECT_EQ(window.bar().shift, 0);
    window.enter(form.edShift, QStringLiteral("5"));
    EXPECT_EQ(window.bar().shift, 5);
    EXPECT_EQ(document.bars[0].shift, 0);
    window.enter(form.edShift, QString());
    EXPECT_EQ(window.bar().shift, 5);

    form.rbCompleteNeedle2->click();
    EXPECT_EQ(document.optimizeRepeat, 0);
    EXPECT_TRUE(form.edCompleteNeedle->isEnabled());
    window.enter(form.edCompleteNeedle, QStringLiteral("0"));
    EXPECT_EQ(form.edCompleteNeedle->text(), QStringLiteral("1"));
    EXPECT_EQ(document.completeNeedle, 1);
    window.enter(form.edCompleteNeedle, QStringLiteral("24"));
    EXPECT_EQ(document.completeNeedle, 24);
    form.rbCompleteNeedle1->click();
    EXPECT_EQ(document.optimizeRepeat, 1);
    EXPECT_FALSE(form.edCompleteNeedle->isEnabled());

    // Undo goes back through the repeat width, the mode and the start.
    window.host.undo().Undo(document);
    EXPECT_EQ(document.optimizeRepeat, 0);
    window.host.undo().Undo(document);
    EXPECT_EQ(document.completeNeedle, 1);
    form.Refresh();
    EXPECT_EQ(form.edCompleteNeedle->text(), QStringLiteral("1"));
    EXPECT_TRUE(form.rbCompleteNeedle2->isChecked());
}

// The grids take every pixel the window grows by; the width stays; no text is cut in either
// language.
TEST(GuideBarWindow, ResizesAndFitsItsTexts)
{
    for (const QString &language : {QStringLiteral("English"), QStringLiteral("Korean")}) {
        GuideBarWindow window(language);
        TGuideBar_F &form = *window.form;
        form.resize(648, 600);
        QCoreApplication::processEvents();
        const int threading = form.sgThreading->height();
        const int description = form.height() - form.edInOutDescription->geometry().top();
        form.resize(700, 700);
        QCoreApplication::processEvents();
        EXPECT_EQ(form.width(), 648);
        EXPECT_EQ(form.sgThreading->height(), threading + 100);
        EXPECT_EQ(form.height() - form.edInOutDescription->geometry().top(), description);

        window.coursePage();
        const int course = form.sgCourse->height();
        const int length = form.height() - form.pnLength->geometry().top();
        form.resize(648, 640);
        QCoreApplication::processEvents();
        EXPECT_EQ(form.sgCourse->height(), course - 60);
        EXPECT_EQ(form.height() - form.pnLength->geometry().top(), length);

        for (QWidget *page : {form.tsThreading, form.tsCourse}) {
            form.PageControl->setCurrentWidget(page);
            QCoreApplication::processEvents();
            for (const QWidget *control : page->findChildren<QWidget *>()) {
                const bool text = qobject_cast<const QLabel *>(control)
                                  || qobject_cast<const QAbstractButton *>(control);
                if (!text || control->objectName().isEmpty() || !control->isVisible())
                    continue;
                EXPECT_GE(control->width(), control->sizeHint().width())
                    << language.toStdString() << " " << control->objectName().toStdString();
            }
        }
    }
}
