#include "app/messagebox.h"
#include "design/editorform.h"
#include "design/floatingwindow.h"
#include "ui/testhost.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

QString LapsOf(const Tex &bar)
{
    QStringList laps;
    for (const ChainLink &lap : bar.lapping)
        laps << QStringLiteral("%1-%2").arg(lap.x0).arg(lap.x1);
    return laps.join(u'/');
}

} // namespace

TEST(EditorWindow, BothModesWriteTheLapsWithUndo)
{
    test::TestHost host;
    host.design.document.SetCourseCount(4);
    host.design.currentBar = 1;
    TEditorForm form(host);
    EXPECT_EQ(form.Memo->toPlainText().split(u'\n').size(), 4);
    EXPECT_TRUE(form.edLayer[1]->isEnabled());
    EXPECT_FALSE(form.edLayer[2]->isEnabled());

    // The course number is ignored and an empty line keeps its lap (course 3 stays 2-3).
    form.Memo->setPlainText(QStringLiteral("1 0   (1)\n1 2\n\n3 4"));
    form.sbOK->click();
    const Tex &second = host.design.document.bars[1];
    EXPECT_EQ(LapsOf(second), QStringLiteral("1-0/1-2/2-3/3-4"));
    EXPECT_EQ(host.undo().UndoCount(), 1);
    EXPECT_EQ(host.edits, 1);

    // Enter in the first bar's line repeats its pattern down the bar.
    form.edLayer[0]->setText(QStringLiteral("23 10"));
    QTest::keyClick(form.edLayer[0], Qt::Key_Return);
    EXPECT_EQ(LapsOf(host.design.document.bars[0]), QStringLiteral("2-3/1-0/2-3/1-0"));
    EXPECT_EQ(host.undo().UndoCount(), 2);
    EXPECT_EQ(form.edLayer[0]->text(), QStringLiteral("23 10 23 10 "));
}

TEST(EditorWindow, LayerFilesKeepTheMemo)
{
    test::TestHost host;
    QStringList messages;
    SetMessageHandler(
        [&](QMessageBox::Icon, const QString &, const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        });
    TEditorForm form(host);
    const QString file = host.programDirectory() + QStringLiteral("/a.lay");
    const QString memo = form.Memo->toPlainText();
    ASSERT_TRUE(form.SaveLayerFile(file));
    form.Memo->setPlainText(QStringLiteral("9 9"));
    ASSERT_TRUE(form.LoadLayerFile(file));
    EXPECT_EQ(form.Memo->toPlainText(), memo);
    EXPECT_FALSE(form.LoadLayerFile(host.programDirectory() + QStringLiteral("/missing.lay")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The layer file could not be read.")));
    SetMessageHandler({});
}

TEST(FloatingWindow, EnterGivesTheNumberEscapeNothing)
{
    QStringList messages;
    SetMessageHandler(
        [&](QMessageBox::Icon, const QString &, const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        });
    TFloatingWindow prompt;
    const auto answer = [&prompt](const QString &typed, Qt::Key key) {
        QTimer::singleShot(0, &prompt, [&prompt, typed, key] {
            prompt.edInput->setText(typed);
            QTest::keyClick(prompt.edInput, key);
        });
        return prompt.AskNumber(QPoint(10, 10));
    };
    EXPECT_EQ(answer(QStringLiteral("3"), Qt::Key_Return), std::optional<int32_t>(3));
    EXPECT_EQ(answer(QStringLiteral("3"), Qt::Key_Escape), std::nullopt);
    EXPECT_EQ(answer(QStringLiteral("three"), Qt::Key_Return), std::nullopt);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("'three'")));
    SetMessageHandler({});
}
