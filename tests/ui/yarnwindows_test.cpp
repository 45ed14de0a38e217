#include "app/messagebox.h"
#include "simulation/yarncompositionform.h"
#include "simulation/yarnfile.h"
#include "simulation/yarnlist.h"
#include "simulation/yarnlistform.h"
#include "testhost.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::TestHost;

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

QString YarnText(const TestHost &host, int32_t index)
{
    TStringTable table;
    LoadTable(table, host.programDirectory(), host.language(), QStringLiteral("YarnList"));
    return table.TextAt(index);
}

QString CompositionMessage(const TestHost &host, int32_t index)
{
    TStringTable table;
    LoadTable(table, host.programDirectory(), host.language(), QStringLiteral("Composition"));
    return table.TextAt(index);
}

// Grid rows as the list numbers them: row 1 is the first yarn.
QPoint CellCentre(QTableWidget *grid, int32_t row, int32_t column)
{
    return grid->visualRect(grid->model()->index(row - 1, column)).center();
}

void Press(QTableWidget *grid, int32_t row, int32_t column, Qt::MouseButton button)
{
    QTest::mouseClick(grid->viewport(), button, {}, CellCentre(grid, row, column));
}

void Type(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Lets the grid close its editor and the window take the queued Enter.
void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the cell editor of the composition grid, types and presses Enter.
void EnterInCell(QTableWidget *grid, int32_t row, int32_t column, const QString &text)
{
    grid->setCurrentCell(row - 1, column);
    grid->editItem(grid->item(row - 1, column));
    auto *editor = grid->findChild<QLineEdit *>(QStringLiteral("edCell"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
}

} // namespace

TEST(YarnListWindow, EnterFillsTheSelectionAndArrowsMoveTheCell)
{
    TestHost host;
    MessageLog messages;
    TYarnListForm form(host);
    form.show();
    QTableWidget *grid = form.YarnListStringGrid;
    EXPECT_EQ(grid->rowCount(), 29); // 30 rows with the header row
    EXPECT_EQ(grid->horizontalHeaderItem(YarnColumnDenier)->text(), QStringLiteral("Denier"));

    // Rows 1 to 3 of the denier column with one yarn: two yarns are appended.
    form.SetCurrentCell(3, YarnColumnDenier);
    grid->setRangeSelected(QTableWidgetSelectionRange(0, YarnColumnDenier, 2, YarnColumnDenier),
                           true);
    Type(form.edInput, QStringLiteral("55"));
    ASSERT_EQ(host.design.document.yarns.size(), 3u);
    for (const Yarn &yarn : host.design.document.yarns)
        EXPECT_EQ(yarn.denier, 55.0);
    EXPECT_EQ(grid->item(2, YarnColumnDenier)->text(), QStringLiteral("55.00"));
    EXPECT_TRUE(form.edInput->text().isEmpty());
    EXPECT_EQ(form.CurrentRow(), 4);
    EXPECT_EQ(host.edits, 1);
    EXPECT_EQ(host.undo().UndoCount(), 1);

    // Arrow keys in the edit box move the grid's current cell and stop at its edges.
    QTest::keyClick(form.edInput, Qt::Key_Up);
    QTest::keyClick(form.edInput, Qt::Key_Right);
    EXPECT_EQ(std::pair(form.CurrentRow(), form.CurrentColumn()), std::pair(3, 5));
    form.SetCurrentCell(1, 0);
    QTest::keyClick(form.edInput, Qt::Key_Up);
    QTest::keyClick(form.edInput, Qt::Key_Left);
    EXPECT_EQ(std::pair(form.CurrentRow(), form.CurrentColumn()), std::pair(1, 0));

    // A length of 0 % is refused with its message; the text stays and nothing is kept for undo.
    form.SetCurrentCell(1, YarnColumnLength);
    Type(form.edInput, QStringLiteral("0"));
    EXPECT_EQ(messages.texts, QStringList{YarnText(host, YarnTextLengthNotPositive)});
    EXPECT_EQ(form.edInput->text(), QStringLiteral("0"));
    EXPECT_EQ(form.CurrentRow(), 1);
    EXPECT_EQ(host.design.document.yarns[0].stretch, 0.0);
    Type(form.edInput, QStringLiteral("50"));
    EXPECT_EQ(grid->item(0, YarnColumnLength)->text(), QStringLiteral("50.00%"));
    EXPECT_EQ(host.undo().UndoCount(), 2);

    // An empty Enter does nothing at all.
    form.edInput->clear();
    QTest::keyClick(form.edInput, Qt::Key_Return);
    EXPECT_EQ(form.CurrentRow(), 2);
    EXPECT_EQ(host.edits, 2);
}

TEST(YarnListWindow, MouseMenusAndColour)
{
    TestHost host;
    TYarnListForm form(host);
    form.show();
    QApplication::setActiveWindow(&form);
    QTableWidget *grid = form.YarnListStringGrid;
    std::vector<Yarn> &yarns = host.design.document.yarns;

    // A left press on the material column cycles it and hands the focus to the edit box.
    Press(grid, 1, YarnColumnMaterial, Qt::LeftButton);
    EXPECT_EQ(yarns[0].material, MaterialNylon);
    EXPECT_EQ(grid->item(0, YarnColumnMaterial)->text(), QStringLiteral("N"));
    EXPECT_TRUE(form.edInput->hasFocus());
    // On the row after the list it adds a default yarn instead.
    Press(grid, 2, YarnColumnProcessing, Qt::LeftButton);
    ASSERT_EQ(yarns.size(), 2u);
    EXPECT_EQ(yarns[1], Yarn{});

    // A right press makes the cell current before the menu of its column opens; "Direct Input"
    // then waits for the name in the edit box.
    form.SetCurrentCell(1, 1);
    Press(grid, 2, YarnColumnProcessing, Qt::RightButton);
    EXPECT_EQ(std::pair(form.CurrentRow(), form.CurrentColumn()),
              std::pair(2, int32_t(YarnColumnProcessing)));
    QMenu *menu = form.PopupMenuStringGridOpticalProperty;
    EXPECT_TRUE(menu->isVisible());
    menu->actions().last()->trigger();
    menu->hide();
    EXPECT_EQ(yarns[1].optical, 9);
    EXPECT_TRUE(form.edInput->hasFocus());
    Type(form.edInput, QStringLiteral("dull"));
    EXPECT_EQ(yarns[1].yarnText2, QByteArray("dull"));
    Press(grid, 1, YarnColumnName, Qt::RightButton);
    EXPECT_TRUE(form.PopupMenuStringGrid->isVisible());
    form.PopupMenuStringGrid->hide();

    // The colour: cancelled on the empty row makes no yarn; chosen, it does.
    int asked = 0;
    std::optional<TColor> answer;
    host.picker = [&](std::optional<TColor>) {
        ++asked;
        return answer;
    };
    Press(grid, 3, YarnColumnColor, Qt::LeftButton);
    EXPECT_EQ(yarns.size(), 2u);
    answer = 0x0000FF;
    Press(grid, 3, YarnColumnColor, Qt::LeftButton);
    ASSERT_EQ(yarns.size(), 3u);
    EXPECT_EQ(yarns[2].color, 0x0000FF);
    EXPECT_EQ(grid->item(2, YarnColumnColor)->text(), QStringLiteral("255-255-0"));
    Press(grid, 5, YarnColumnColor, Qt::LeftButton); // two rows past the list: not asked
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(grid->item(0, YarnColumnPrice)->toolTip(), YarnText(host, YarnTextPriceHint));
}

TEST(YarnListWindow, UndoAddDeleteAndFiles)
{
    TestHost host;
    MessageLog messages;
    TYarnListForm form(host);
    TexLayer &document = host.design.document;
    document.bars[1].threading = {{0, 1, 1, 0}};

    form.SetCurrentCell(1, YarnColumnName);
    Type(form.edInput, QStringLiteral("Silk"));
    form.SetCurrentCell(2, YarnColumnName);
    Type(form.edInput, QStringLiteral("Span"));
    EXPECT_EQ(document.yarns.size(), 2u);
    host.undo().Undo(document);
    ASSERT_EQ(document.yarns.size(), 1u);
    EXPECT_EQ(document.yarns[0].name, QByteArray("Silk"));
    host.undo().Undo(document);
    EXPECT_TRUE(document.yarns[0].name.isEmpty());
    form.Refresh();

    // Add before row 1, then delete everything: the threading falls back to yarn 0, nothing
    // breaks, and undo brings the yarns back.
    form.SetCurrentCell(1, 1);
    form.pmAdd->trigger();
    EXPECT_EQ(document.yarns.size(), 2u);
    document.bars[1].threading = {{1, 1, 1, 0}};
    form.YarnListStringGrid->setRangeSelected(QTableWidgetSelectionRange(0, 0, 4, 3), true);
    form.pmDelete->trigger();
    EXPECT_TRUE(document.yarns.empty());
    EXPECT_EQ(document.bars[1].threading[0].yarn, 0);
    EXPECT_TRUE(form.YarnListStringGrid->item(0, YarnColumnName)->text().isEmpty());
    host.undo().Undo(document);
    EXPECT_EQ(document.yarns.size(), 2u);
    EXPECT_EQ(document.bars[1].threading[0].yarn, 1);
    form.Refresh();

    // Save with no yarn in the row, save and load a file, preview, a file of a newer version.
    form.SetCurrentCell(5, 1);
    form.pmSave->trigger();
    EXPECT_EQ(messages.texts, QStringList{YarnText(host, YarnTextNothingToSave)});
    document.yarns[1].name = QByteArrayLiteral("Creora");
    document.yarns[1].material = MaterialSpandex;
    form.SetCurrentCell(2, 1);
    const QString path = YarnFolder(host.programDirectory()) + QStringLiteral("/creora.yan");
    ASSERT_TRUE(MakeYarnFolder(host.programDirectory()));
    EXPECT_TRUE(form.SaveYarnFile(path));
    form.PreviewYarnFile(path);
    EXPECT_EQ(form.lbSpec->text(),
              QStringLiteral("NAME:Creora   CODE:   MAKER:   SPANDEX 40/20 SD"));
    form.SetCurrentCell(3, 1);
    EXPECT_TRUE(form.LoadYarnFile(path));
    ASSERT_EQ(document.yarns.size(), 3u);
    EXPECT_EQ(document.yarns[2], document.yarns[1]);

    QByteArray newer = test::readFile(path);
    newer[0] = 4;
    ASSERT_TRUE(test::writeFile(path, newer));
    const std::vector<Yarn> before = document.yarns;
    EXPECT_FALSE(form.LoadYarnFile(path));
    EXPECT_EQ(messages.texts.last(), YarnText(host, YarnTextNewerFile));
    EXPECT_EQ(document.yarns, before);
    form.PreviewYarnFile(path);
    EXPECT_TRUE(form.lbSpec->text().isEmpty());
}

TEST(CompositionWindow, EntriesFollowTheEnterRules)
{
    TestHost host;
    MessageLog messages;
    TYarnCompositionData_F form(host);
    form.show();
    QTableWidget *grid = form.YarnStringGrid;
    ASSERT_EQ(form.table().records.size(), 2u); // A on both bars
    EXPECT_EQ(grid->rowCount(), 12);
    EXPECT_EQ(host.design.document.yarnUses, form.table().records);

    EnterInCell(grid, 1, CompositionEndsPerBeam, QStringLiteral("100"));
    EXPECT_EQ(grid->currentColumn(), CompositionBeams);
    EnterInCell(grid, 1, CompositionBeams, QStringLiteral("6"));
    EXPECT_EQ(host.design.document.yarnUses[0].ends, 600);
    EXPECT_EQ(grid->item(0, CompositionEnds)->text(), QStringLiteral("600"));
    EXPECT_EQ(grid->item(0, CompositionPercent)->text(), QStringLiteral("100.00"));
    EXPECT_EQ(grid->currentColumn(), CompositionEnds);
    EXPECT_EQ(host.undo().UndoCount(), 2);
    EXPECT_EQ(host.edits, 2);

    // Leaving the editor without Enter stores nothing.
    grid->setCurrentCell(0, CompositionEnds);
    grid->editItem(grid->item(0, CompositionEnds));
    QTest::keyClicks(grid->findChild<QLineEdit *>(QStringLiteral("edCell")), QStringLiteral("7"));
    grid->setCurrentCell(1, CompositionEnds);
    Settle();
    EXPECT_EQ(host.design.document.yarnUses[0].ends, 600);
    form.Refresh();
    EXPECT_EQ(grid->item(0, CompositionEnds)->text(), QStringLiteral("600"));

    // Refused texts give their message and change nothing.
    EnterInCell(grid, 2, CompositionEnds, QStringLiteral("x"));
    EnterInCell(grid, 1, CompositionBeams, QStringLiteral("2147483647"));
    EXPECT_EQ(messages.texts, QStringList({CompositionMessage(host, CompositionTextNotAWholeNumber),
                                           CompositionMessage(host, CompositionTextTooManyEnds)}));
    EXPECT_EQ(host.design.document.yarnUses[0].ends, 600);
    EXPECT_EQ(host.undo().UndoCount(), 2);

    // Only record rows of the count columns edit; a click elsewhere goes to column 5.
    EXPECT_FALSE(grid->item(2, CompositionEnds)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->item(0, CompositionPercent)->flags() & Qt::ItemIsEditable);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, CompositionSpec));
    EXPECT_EQ(std::pair(grid->currentRow(), grid->currentColumn()),
              std::pair(1, int(CompositionEnds)));

    // Undo takes the ends back.
    host.undo().Undo(host.design.document);
    form.Refresh();
    EXPECT_EQ(grid->item(0, CompositionEnds)->text(), QStringLiteral("0"));
}

TEST(CompositionWindow, FollowsTheThreadingAndTheGauge)
{
    TestHost host;
    TYarnCompositionData_F form(host);
    TexLayer &document = host.design.document;
    document.yarns.resize(2);
    document.yarnUses = {{.yarn = 0, .bar = 0, .ends = 10}, {.yarn = 0, .bar = 1, .ends = 20}};
    // The guide-bar editor threads B on bar 0 and asks the window to refresh.
    document.bars[0].threading.push_back({1, 1, 1, 0});
    form.Refresh();
    QTableWidget *grid = form.YarnStringGrid;
    const QStringList expected{QStringLiteral("L1 A 10"), QStringLiteral("L1 B 0"),
                               QStringLiteral("L2 A 20")};
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(grid->item(row - 1, CompositionBar)->text() + QLatin1Char(' ')
                      + grid->item(row - 1, CompositionYarn)->text() + QLatin1Char(' ')
                      + grid->item(row - 1, CompositionEnds)->text(),
                  expected[row - 1]);
    EXPECT_EQ(document.yarnUses.size(), 3u);
    EXPECT_EQ(grid->rowCount(), 13);

    // A bar without course states takes its run-in from the formula, which the gauge changes.
    document.bars[1].courseStates.clear();
    form.Refresh();
    const QString at28 = grid->item(2, CompositionRunIn)->text();
    host.header().gauge = 20;
    form.Refresh();
    EXPECT_NE(grid->item(2, CompositionRunIn)->text(), at28);
    EXPECT_EQ(grid->item(2, CompositionRunIn)->text(),
              CompositionCellText(ComputeComposition(document, host.header(), host.guideBars()),
                                  document.yarns, 3, CompositionRunIn));
    EXPECT_EQ(form.TotalStringGrid->item(1, 1)->text(), QStringLiteral("20"));
    EXPECT_EQ(form.TotalStringGrid->item(0, 1)->text(), QStringLiteral("Wales/inch"));
    EXPECT_EQ(form.TotalStringGrid->item(2, 4)->text(), QStringLiteral("-"));

    // Taking B off bar 0 drops its row at the next refresh.
    document.bars[0].threading.pop_back();
    form.Refresh();
    EXPECT_EQ(grid->item(1, CompositionBar)->text(), QStringLiteral("L2"));
    EXPECT_EQ(document.yarnUses.size(), 2u);
}
