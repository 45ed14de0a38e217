#include "app/design.h"
#include "app/mainparameters.h"
#include "app/programsettings.h"
#include "knit/undostore.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

struct Parameters
{
    MainData header;
    TexLayer document;
    int32_t currentBar = 0;

    Parameters()
    {
        header.courseCount = 8;
        StartNewDocument(header, document);
    }
    DesignParameters view(UndoStore *undo = nullptr)
    {
        return {header, document, undo, currentBar};
    }
};

} // namespace

TEST(MainParameters, BarCountIsHeldToOneToFourAndKeepsUndoWhenUnchanged)
{
    TempDir dir;
    UndoStore undo(dir.path());
    Parameters p;
    undo.Push(p.document);
    QString shown;

    // The same count again changes nothing, so the undo history survives.
    EXPECT_FALSE(EnterBarCount(2, p.view(&undo), shown));
    EXPECT_EQ(shown, QStringLiteral("2"));
    EXPECT_EQ(undo.UndoCount(), 1);

    EXPECT_TRUE(EnterBarCount(7, p.view(&undo), shown));
    EXPECT_EQ(shown, QStringLiteral("4"));
    ASSERT_EQ(p.document.bars.size(), 4u);
    EXPECT_EQ(p.header.barCount, 4);
    EXPECT_EQ(p.currentBar, 3);
    EXPECT_EQ(undo.UndoCount(), 0);
    for (const Tex &bar : p.document.bars)
        EXPECT_EQ(bar.LappingCount(), 8); // new bars get the course count

    p.currentBar = 3;
    EXPECT_TRUE(EnterBarCount(0, p.view(), shown));
    EXPECT_EQ(shown, QStringLiteral("1"));
    EXPECT_EQ(p.document.bars.size(), 1u);
    EXPECT_EQ(p.currentBar, 0);
}

TEST(MainParameters, TextsAndButtons)
{
    EXPECT_EQ(ParseInteger(QStringLiteral(" 12 ")), 12);
    EXPECT_FALSE(ParseInteger(QStringLiteral("1.5")));
    EXPECT_FALSE(ParseInteger(QStringLiteral("abc")));
    EXPECT_FALSE(ParseInteger(QStringLiteral("99999999999")));
    EXPECT_EQ(ParseDecimal(QStringLiteral("42.7")), 42.7);
    EXPECT_FALSE(ParseDecimal(QStringLiteral("4,2")));
    EXPECT_FALSE(ParseDecimal(QStringLiteral("inf")));

    QString shown;
    EXPECT_EQ(CorrectedWidth(0.5, &shown), 1.0);
    EXPECT_EQ(shown, QStringLiteral("1"));
    EXPECT_EQ(PanelNumber(20.0), QStringLiteral("20"));
    EXPECT_EQ(PanelNumber(42.756), QStringLiteral("42.76"));
    EXPECT_EQ(PanelNumber(0.125), QStringLiteral("0.13"));

    int32_t current = 3;
    const BarButtons buttons = RefreshBarButtons(2, current);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(buttons.pressed, 1);
    EXPECT_EQ(buttons.enabled, (std::array<bool, 4>{true, true, false, false}));
}

TEST(MainParameters, TilingHalvesTowardZero)
{
    const ChildTiling shown = TileChildren(QSize(1000, 701), true);
    EXPECT_EQ(shown.capture, QRect(0, 0, 394, 348));
    EXPECT_EQ(shown.simulation, QRect(0, 348, 394, 348));
    EXPECT_EQ(shown.design, QRect(394, 0, 394, 697));
    EXPECT_EQ(TileChildren(QSize(1000, 701), false).simulation, QRect(0, 0, 394, 697));
}

TEST(ProgramSettings, StartValuesExitValuesAndProgramDirectory)
{
    TempDir dir;
    ASSERT_TRUE(writeFile(dir.file(QStringLiteral("Environment.ini")),
                          "[Environment]\r\nLanguage=Korean\r\n[Main]\r\nBar=9\r\nCourse=24\r\n"));
    const StartSettings start = ReadStartSettings(dir.path());
    EXPECT_EQ(start.language, QStringLiteral("Korean"));
    EXPECT_EQ(start.fontName, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(start.startValues.barCount, 4);
    EXPECT_EQ(start.startValues.courseCount, 24);
    EXPECT_EQ(start.startValues.widthInch, 105.0);
    EXPECT_EQ(start.needleLimit, 150);

    MainData header;
    header.widthInch = 42.7;
    header.coursesPerCm = 19.99;
    ASSERT_TRUE(WriteExitSettings(dir.path(), header, 300));
    const QByteArray written = readFile(dir.file(QStringLiteral("Environment.ini")));
    EXPECT_TRUE(written.contains("Width=42"));
    EXPECT_TRUE(written.contains("Cpc=19"));
    EXPECT_TRUE(written.contains("TexMaxWidth2=300"));
    EXPECT_TRUE(written.contains("Language=Korean"));

    EXPECT_TRUE(ReadCaptureVisible(dir.path()));
    ASSERT_TRUE(WriteCaptureVisible(dir.path(), false));
    EXPECT_FALSE(ReadCaptureVisible(dir.path()));

    // A writable folder is the program directory. An installed copy hands its program files,
    // and only those, to the user's data folder, keeping what the user already has there.
    EXPECT_EQ(ResolveProgramDirectory(dir.path(), dir.file(QStringLiteral("user"))), dir.path());
    TempDir installed;
    ASSERT_TRUE(QDir().mkpath(installed.file(QStringLiteral("color"))));
    ASSERT_TRUE(writeFile(installed.file(QStringLiteral("English.tdw")), "[Main]\r\n"));
    ASSERT_TRUE(writeFile(installed.file(QStringLiteral("color/Textile.fcr")), "CP"));
    ASSERT_TRUE(writeFile(installed.file(QStringLiteral("warplon")), "binary"));
    const QString user = dir.file(QStringLiteral("user"));
    ASSERT_TRUE(QDir().mkpath(user));
    ASSERT_TRUE(writeFile(user + QStringLiteral("/English.tdw"), "mine"));
    SeedProgramDirectory(installed.path(), user);
    EXPECT_EQ(readFile(user + QStringLiteral("/English.tdw")), QByteArray("mine"));
    EXPECT_EQ(readFile(user + QStringLiteral("/color/Textile.fcr")), QByteArray("CP"));
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("/warplon")));
}
