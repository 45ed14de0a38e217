#include "app/mainform.h"
#include "app/messagebox.h"
#include "app/programsettings.h"
#include "app/viewerform.h"
#include "capture/captureform.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "design/guidebarform.h"
#include "knit/undostore.h"
#include "print/hiddenprintdataform.h"
#include "print/printform.h"
#include "simulation/costform.h"
#include "simulation/livesimulation.h"
#include "simulation/simulationform.h"
#include "simulation/treatmentform.h"
#include "simulation/yarncompositionform.h"
#include "simulation/yarnlistform.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

// A program directory of its own with the shipped language files, and message boxes answered by
// the test.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &name : {QStringLiteral("English.tdw"), QStringLiteral("Korean.tdw")})
            QFile::copy(QStringLiteral(WARPLON_RESOURCES "/") + name, dir.file(name));
        // The windows' own behaviour is tested with the simulation run by its button; live mode
        // has tests of its own.
        writeFile(dir.file(QStringLiteral("Environment.ini")),
                  "[Environment]\r\nLiveSimulation=0\r\n");
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
    }
    void TearDown() override { SetMessageHandler({}); }

    void enter(QLineEdit *edit, const QString &text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    TempDir dir;
    QStringList messages;
};

} // namespace

TEST_F(MainWindowTest, BarEditHoldsTheCountAndTheCurrentBar)
{
    TMain main(dir.path());
    enter(main.edBar, QStringLiteral("7"));
    EXPECT_EQ(main.edBar->text(), QStringLiteral("4"));
    EXPECT_EQ(main.document().bars.size(), 4u);
    EXPECT_TRUE(main.sbL[3]->isEnabled());
    EXPECT_FALSE(main.sbL[4]->isEnabled());

    // The current bar count again keeps the undo history.
    main.undo().Push(main.document());
    enter(main.edBar, QStringLiteral("4"));
    EXPECT_EQ(main.undo().UndoCount(), 1);

    // Fewer bars than the current one: the last remaining bar becomes current.
    main.sbL[3]->click();
    ASSERT_EQ(main.currentBar(), 3);
    enter(main.edBar, QStringLiteral("2"));
    EXPECT_EQ(main.currentBar(), 1);
    EXPECT_TRUE(main.sbL[1]->isChecked());
    EXPECT_FALSE(main.sbL[2]->isEnabled());

    enter(main.edBar, QStringLiteral("two"));
    EXPECT_EQ(main.document().bars.size(), 2u);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("'two'")));
}

TEST_F(MainWindowTest, WidthIsCorrectedAndTheParametersAreKeptAtExit)
{
    {
        TMain main(dir.path());
        enter(main.edMWidth, QStringLiteral("0.5"));
        EXPECT_EQ(main.edMWidth->text(), QStringLiteral("1"));
        EXPECT_EQ(main.header().widthInch, 1.0);
        enter(main.edMWidth, QStringLiteral("42.7"));
        enter(main.edCourse, QStringLiteral("24"));
        EXPECT_EQ(main.document().bars[0].LappingCount(), 24);
    }
    const QByteArray ini = readFile(dir.file(QStringLiteral("Environment.ini")));
    EXPECT_TRUE(ini.contains("Width=42\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("Course=24\r\n"));
    TMain again(dir.path());
    EXPECT_EQ(again.edCourse->text(), QStringLiteral("24"));
    EXPECT_EQ(again.edMWidth->text(), QStringLiteral("42"));
}

TEST_F(MainWindowTest, HiddenCaptureGivesTheSimulationTheWholeHeight)
{
    ASSERT_TRUE(writeFile(dir.file(QStringLiteral("Main.ini")), "[Capture]\r\nVisible=0\r\n"));
    TMain main(dir.path());
    main.resize(1000, 700);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_TRUE(main.captureWindow->isMinimized());
    const int height = main.mdiArea->height();
    EXPECT_EQ(main.simulationWindow->geometry().height(), height - 4);
    EXPECT_EQ(main.designWindow->geometry().left(), (main.mdiArea->width() - 211) / 2);
}

TEST_F(MainWindowTest, SimulationEditsAreCorrectedBeforeTheRun)
{
    TMain main(dir.path());
    TSimulationForm &simulation = *main.simulation();
    simulation.resize(300, 200);
    enter(simulation.edZoom, QStringLiteral("0.5"));
    EXPECT_EQ(simulation.edZoom->text(), QStringLiteral("1.0"));
    EXPECT_EQ(simulation.settings().zoomUnits, 1);
    EXPECT_TRUE(simulation.picture().IsAllocated());

    enter(simulation.edZoom, QStringLiteral("250"));
    EXPECT_EQ(simulation.edZoom->text(), QStringLiteral("100"));
    EXPECT_EQ(simulation.settings().zoomUnits, 100);

    enter(simulation.edZoom, QStringLiteral("2"));
    enter(simulation.edSCPC, QStringLiteral("3"));
    EXPECT_EQ(simulation.edSCPC->text(), QStringLiteral("5"));
    enter(simulation.edSCPC, QStringLiteral("150"));
    EXPECT_EQ(simulation.edSCPC->text(), QStringLiteral("100"));
    enter(simulation.edFuzz, QStringLiteral("120"));
    EXPECT_EQ(simulation.edFuzz->text(), QStringLiteral("99"));
    EXPECT_TRUE(messages.isEmpty());

    // The picture always covers the visible area.
    const QSize view = simulation.scrollBox->viewport()->size();
    EXPECT_GE(simulation.picture().Width(), view.width());
    EXPECT_GE(simulation.picture().Height(), view.height());

    simulation.ResetForNewDesign();
    EXPECT_FALSE(simulation.picture().IsAllocated());
    EXPECT_EQ(simulation.edZoom->text(), QStringLiteral("4.0"));
}

TEST_F(MainWindowTest, PictureMenuFollowsTheZoomAndTheWholeViewerWarnsOfAWidePicture)
{
    TMain main(dir.path());
    TSimulationForm &simulation = *main.simulation();
    const auto checkedZoom = [&simulation]() {
        std::unique_ptr<QMenu> menu(simulation.BuildPopupMenu(nullptr));
        const QList<QAction *> items = menu->actions();
        QString checked;
        for (QAction *item : items.constFirst()->menu()->actions()) {
            if (item->isChecked())
                checked = item->text();
        }
        // Without a picture only the zoom steps are offered.
        const bool enabled = items.at(1)->isEnabled();
        return std::pair(checked, enabled);
    };
    EXPECT_EQ(checkedZoom(), std::pair(QStringLiteral("X 4"), false));
    simulation.edZoom->setText(QStringLiteral("4.5"));
    ASSERT_TRUE(simulation.RunSimulation());
    EXPECT_EQ(checkedZoom(), std::pair(QString(), true));

    ASSERT_TRUE(simulation.picture().Create(2000, 40, nullptr, 24));
    simulation.ShowWholeViewer();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], main.mainTable().TextAt(77));
    EXPECT_FALSE(messages[0].isEmpty());
    EXPECT_TRUE(main.viewer()->isVisible());
}

TEST_F(MainWindowTest, ProductionWindowsOpenFromTheMenusAndFollowTheDesign)
{
    TMain main(dir.path());
    const auto windowChecks = [&main]() {
        emit main.mWindow->aboutToShow();
        QString marks;
        for (const char *name : {"mYarnList", "mTreatment", "mPalette"})
            marks += main.findChild<QAction *>(QLatin1String(name))->isChecked() ? u'1' : u'0';
        return marks;
    };
    const auto trigger
        = [&main](const char *name) { main.findChild<QAction *>(QLatin1String(name))->trigger(); };

    main.sbTreatment->click();
    EXPECT_TRUE(main.treatmentWindow()->isVisible());
    trigger("mYarnList");
    EXPECT_TRUE(main.yarnList()->isVisible());
    EXPECT_EQ(windowChecks(), QStringLiteral("110"));
    trigger("mTreatment");
    EXPECT_FALSE(main.treatmentWindow()->isVisible());
    trigger("mPalette");
    EXPECT_TRUE(main.paletteWindow()->isVisible());
    EXPECT_EQ(windowChecks(), QStringLiteral("101"));
    trigger("mPalette");
    EXPECT_FALSE(main.paletteWindow()->isVisible());
    main.sbTreatment->click();
    trigger("mYarn");
    trigger("mCost");
    EXPECT_TRUE(main.composition()->isVisible());
    EXPECT_TRUE(main.costWindow()->isVisible());

    // The treatment editor follows the course count and the bar buttons.
    QTableWidget *courses = main.treatmentWindow()->sgCourse;
    enter(main.edCourse, QStringLiteral("20"));
    // Row 0 is the header row: course 20 is row 20.
    EXPECT_FALSE(courses->item(20, 1)->text().isEmpty());
    EXPECT_TRUE(courses->item(21, 1)->text().isEmpty());
    const QString firstBar = main.treatmentWindow()->lbLayer->text();
    main.sbL[1]->click();
    EXPECT_NE(main.treatmentWindow()->lbLayer->text(), firstBar);

    // A yarn typed into the list reaches the composition at once, and undo takes it back.
    TYarnListForm &yarns = *main.yarnList();
    const int rowsBefore = main.composition()->YarnStringGrid->rowCount();
    const size_t yarnsBefore = main.document().yarns.size();
    yarns.SetCurrentCell(int32_t(yarnsBefore) + 1, 1);
    yarns.edInput->setText(QStringLiteral("Second yarn"));
    QTest::keyClick(yarns.edInput, Qt::Key_Return);
    ASSERT_EQ(main.document().yarns.size(), yarnsBefore + 1);
    EXPECT_EQ(main.undo().UndoCount(), 1);
    EXPECT_EQ(main.composition()->YarnStringGrid->rowCount(), rowsBefore);

    // The gauge reaches the composition's totals.
    const auto totals = [&main]() {
        QStringList texts;
        QTableWidget *grid = main.composition()->TotalStringGrid;
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                texts << grid->item(r, c)->text();
        return texts;
    };
    EXPECT_FALSE(totals().contains(QStringLiteral("37")));
    enter(main.edMGauge, QStringLiteral("37"));
    EXPECT_TRUE(totals().contains(QStringLiteral("37")));
}

TEST_F(MainWindowTest, BackgroundComesFromThePaletteWindow)
{
    TMain main(dir.path());
    TSimulationForm &simulation = *main.simulation();
    TPaletteForm &palette = *main.paletteWindow();
    const auto clickBackground
        = [&simulation]() { QTest::mouseClick(simulation.spBGColor, Qt::LeftButton); };
    const int32_t before = simulation.settings().backgroundColor;

    // Escape changes nothing.
    QTimer::singleShot(0, &palette, [&palette] { QTest::keyClick(&palette, Qt::Key_Escape); });
    clickBackground();
    EXPECT_EQ(simulation.settings().backgroundColor, before);
    EXPECT_FALSE(simulation.picture().IsAllocated());

    // An accepted entry becomes the background and the simulation runs.
    int chosen = 0;
    QTimer::singleShot(0, &palette, [&] {
        for (int index = 2; index <= palette.palette().UseColor; ++index) {
            if (palette.palette().GetColor(index) != before) {
                chosen = index;
                break;
            }
        }
        palette.Palette256->SetChoiceIndex(chosen);
        QTest::keyClick(palette.Palette256, Qt::Key_Return);
    });
    clickBackground();
    ASSERT_GT(chosen, 0);
    EXPECT_EQ(simulation.settings().backgroundColor, palette.palette().GetColor(chosen));
    EXPECT_TRUE(simulation.picture().IsAllocated());
}

TEST_F(MainWindowTest, CaptureWindowFollowsTheCurrentBarAndClosesToAnIcon)
{
    TMain main(dir.path());
    main.resize(1000, 700);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_GE(main.document().bars.size(), 2u);
    main.document().bars[1].lapping = {{1, 0, 1}, {1, 2, 1}};
    main.sbL[1]->click();
    EXPECT_EQ(main.capture()->lapping(), main.document().bars[1].lapping);

    // A lapping edit reaches the copy through the main window.
    main.document().bars[1].lapping[0] = {4, 3, 4};
    main.DesignEdited(main.guideBarWindow());
    EXPECT_EQ(main.capture()->lapping()[0].x0, 4);
    EXPECT_EQ(main.capture()->lapping()[0].x1, 3);

    // More courses lengthen every lapping, and the copy with them.
    QLineEdit *courses = main.edCourse;
    courses->setText(QStringLiteral("20"));
    QTest::keyClick(courses, Qt::Key_Return);
    EXPECT_EQ(main.capture()->lapping().size(), 20u);

    // Closing minimises the window and remembers it closed for the next start.
    main.captureWindow->close();
    EXPECT_TRUE(main.captureWindow->isMinimized());
    EXPECT_FALSE(ReadCaptureVisible(dir.path()));
    main.sbCapture->click();
    EXPECT_FALSE(main.captureWindow->isMinimized());
    EXPECT_TRUE(ReadCaptureVisible(dir.path()));
}

TEST_F(MainWindowTest, LivePictureFollowsALappingEditAndTheMenuSwitchesIt)
{
    ASSERT_TRUE(WriteLiveSimulation(dir.path(), true));
    TMain main(dir.path());
    main.resize(1000, 700);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    TSimulationForm &simulation = *main.simulation();
    ASSERT_TRUE(simulation.live());
    QTRY_VERIFY_WITH_TIMEOUT(!simulation.liveSimulation()->busy(), 20000);
    const QImage before = simulation.picture().image().copy();
    ASSERT_FALSE(before.isNull());

    main.document().bars[0].lapping[0] = {4, 5, 4};
    main.DesignEdited(main.guideBarWindow());
    QTRY_VERIFY_WITH_TIMEOUT(!simulation.liveSimulation()->busy(), 20000);
    EXPECT_NE(simulation.picture().image(), before);

    // The menu's check mark switches it off and keeps the choice.
    QMenu *menu = simulation.BuildPopupMenu(&simulation);
    QAction *item = menu->findChild<QAction *>(QStringLiteral("mLive"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(simulation.live());
    EXPECT_FALSE(ReadLiveSimulation(dir.path()));
    delete menu;

    // Closing the program while a run goes on neither hangs nor crashes.
    ASSERT_TRUE(WriteLiveSimulation(dir.path(), true));
    auto closing = std::make_unique<TMain>(dir.path());
    closing->resize(1000, 700);
    closing->show();
    LiveSimulation *live = closing->simulation()->liveSimulation();
    ASSERT_NE(live, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(live->runsStarted() >= 1, 20000);
    closing->document().bars[0].lapping[1] = {3, 4, 3};
    closing->DesignEdited(closing->guideBarWindow());
    closing.reset();
}

TEST_F(MainWindowTest, PrintCommandOpensThePrintWindowAndKeepsTheSetUp)
{
    TMain main(dir.path());
    EXPECT_EQ(main.printData(), nullptr);
    bool opened = false;
    QTimer::singleShot(0, &main, [&opened] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *print = qobject_cast<TPrintForm *>(window)) {
                opened = true;
                print->btnCancel->click();
            }
        }
    });
    main.sbPrint->click();
    EXPECT_TRUE(opened);
    THiddenPrintDataForm *holder = main.printData();
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(readFile(dir.file(QStringLiteral("Environment.ini"))).contains("[Printer]"));

    // The second print keeps the first one's holder.
    QTimer::singleShot(0, &main, [] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *print = qobject_cast<TPrintForm *>(window))
                print->reject();
    });
    main.sbPrint->click();
    EXPECT_EQ(main.printData(), holder);
}
