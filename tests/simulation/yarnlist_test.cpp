#include "app/design.h"
#include "simulation/yarnlist.h"
#include "testsupport.h"
#include "text/encoding.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;

namespace {

std::vector<Yarn> Named(std::initializer_list<const char *> names)
{
    std::vector<Yarn> yarns;
    for (const char *name : names)
        yarns.emplace_back().name = name;
    return yarns;
}

QStringList List(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QStringList Names(const std::vector<Yarn> &yarns)
{
    QStringList names;
    for (const Yarn &yarn : yarns)
        names << DecodeText(yarn.name);
    return names;
}

YarnEntry Enter(std::vector<Yarn> &yarns, int32_t top, int32_t bottom, int32_t column,
                const char *text)
{
    return EnterYarnCells(yarns, top, bottom, column, QString::fromUtf8(text));
}

} // namespace

TEST(YarnList, CellTexts)
{
    std::vector<Yarn> yarns(2);
    Yarn &b = yarns[1];
    b.name = "Nylon";
    b.code = "N7";
    b.maker = "Hyosung";
    b.remark = "spare";
    b.yarnValue = 3.2506;
    b.denier = 70.125;
    b.filaments = 24;
    b.material = MaterialNylon;
    b.optical = 7;
    b.stretch = 0.25;
    b.gloss = 0.556;
    b.translucency = 1.0;
    b.color = 0x102030; // red 0x30, green 0x20, blue 0x10
    const QStringList expected{
        QStringLiteral("B"),           QStringLiteral("Nylon"),  QStringLiteral("N7"),
        QStringLiteral("Hyosung"),     QStringLiteral("70.13"),  QStringLiteral("24"),
        QStringLiteral("239-223-207"), QStringLiteral("80.00%"), QStringLiteral("0.56"),
        QStringLiteral("1.00"),        QStringLiteral("N"),      QStringLiteral("SDY"),
        QStringLiteral("3.251"),       QStringLiteral("spare")};
    for (int32_t c = 0; c < kYarnListColumns; ++c)
        EXPECT_EQ(YarnListCellText(yarns, 2, c), expected[c]) << c;
    EXPECT_EQ(YarnListCellText(yarns, 1, YarnColumnColor), QStringLiteral("0-0-0"));
    EXPECT_EQ(YarnListCellText(yarns, 1, YarnColumnLength), QStringLiteral("100.00%"));
    EXPECT_EQ(YarnListCellText(yarns, 3, YarnColumnLetter), QString());
    EXPECT_EQ(YarnListCellText(yarns, 0, YarnColumnName), QString());

    // Typed-in names, "none", codes out of range; a stretch from a damaged file divides by at
    // least 0.01.
    b.material = MaterialDirectInput;
    b.yarnText1 = "Tencel";
    b.optical = 9;
    b.yarnText2 = "dull";
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnMaterial), QStringLiteral("Tencel"));
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnProcessing), QStringLiteral("dull"));
    b.material = MaterialNone;
    b.optical = 6;
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnMaterial), QStringLiteral("-"));
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnProcessing), QStringLiteral("-"));
    b.material = 6;
    b.optical = 10;
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnMaterial), QString());
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnProcessing), QString());
    b.stretch = -1.0;
    EXPECT_EQ(YarnListCellText(yarns, 2, YarnColumnLength), QStringLiteral("10000.00%"));

    EXPECT_EQ(YarnListRows(0), 30);
    EXPECT_EQ(YarnListRows(20), 30);
    EXPECT_EQ(YarnListRows(21), 31);
    EXPECT_EQ(YarnListRows(25), 35);
    EXPECT_EQ(YarnListHeaderText(YarnColumnName), 11);
    EXPECT_EQ(YarnListHeaderText(YarnColumnMaker), 15);
    EXPECT_EQ(YarnListHeaderText(YarnColumnLetter), -1);
    EXPECT_EQ(YarnListHintText(YarnColumnPrice), 14);
    EXPECT_EQ(YarnListHintText(YarnColumnRemark), -1);
}

TEST(YarnList, EnterStoresIntoTheSelection)
{
    std::vector<Yarn> yarns(3);
    EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnLength, "50"), YarnEntry::Stored);
    EXPECT_EQ(yarns[0].stretch, 1.0);
    EXPECT_EQ(YarnListCellText(yarns, 1, YarnColumnLength), QStringLiteral("50.00%"));
    Enter(yarns, 1, 1, YarnColumnLength, "150");
    EXPECT_EQ(yarns[0].stretch, 0.0);
    EXPECT_EQ(YarnListCellText(yarns, 1, YarnColumnLength), QStringLiteral("100.00%"));
    Enter(yarns, 1, 1, YarnColumnLength, "80");
    const std::vector<Yarn> before = yarns;
    for (const char *text : {"0", "-5", "1e-320"})
        EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnLength, text), YarnEntry::LengthNotPositive);
    EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnDenier, "abc"), YarnEntry::NotANumber);
    EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnGloss, "inf"), YarnEntry::NotANumber);
    EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnFilaments, "2.5"), YarnEntry::NotAWholeNumber);
    EXPECT_EQ(Enter(yarns, 1, 1, YarnColumnColor, "5"), YarnEntry::Ignored);
    EXPECT_EQ(Enter(yarns, 1, 40, YarnColumnName, ""), YarnEntry::Ignored);
    EXPECT_EQ(yarns, before);

    // Limits, bottom row first; rows 1..3 all take the value.
    Enter(yarns, 3, 1, YarnColumnDenier, "-3");
    Enter(yarns, 1, 3, YarnColumnFilaments, "0");
    Enter(yarns, 1, 3, YarnColumnGloss, "1.5");
    Enter(yarns, 1, 3, YarnColumnTranslucency, "-0.5");
    Enter(yarns, 1, 3, YarnColumnPrice, "-2");
    Enter(yarns, 2, 2, YarnColumnMaterial, "Tencel");
    Enter(yarns, 2, 2, YarnColumnProcessing, "dull");
    for (const Yarn &yarn : yarns) {
        EXPECT_EQ(yarn.denier, 0.0);
        EXPECT_EQ(yarn.filaments, 1);
        EXPECT_EQ(yarn.gloss, 1.0);
        EXPECT_EQ(yarn.translucency, 0.0);
        EXPECT_EQ(yarn.yarnValue, 0.0);
    }
    EXPECT_EQ(yarns[1].material, MaterialDirectInput);
    EXPECT_EQ(yarns[1].yarnText1, QByteArray("Tencel"));
    EXPECT_EQ(yarns[1].optical, 9);
    EXPECT_EQ(yarns[1].yarnText2, QByteArray("dull"));
    EXPECT_EQ(yarns[0].material, MaterialPolyester);

    // Rows 4 to 6 with two yarns: each row past the list appends one default yarn for the value.
    yarns = Named({"A", "B"});
    EXPECT_EQ(Enter(yarns, 4, 6, YarnColumnName, "new"), YarnEntry::Stored);
    EXPECT_EQ(Names(yarns), List({"A", "B", "new", "new", "new"}));
    Yarn fresh;
    fresh.name = "new";
    EXPECT_EQ(yarns[4], fresh);

    // A selection cannot run past the grid: 30 rows, so at most 29 yarns.
    yarns.clear();
    Enter(yarns, 1, 1000000, YarnColumnCode, "x");
    EXPECT_EQ(yarns.size(), 29u);
}

TEST(YarnList, TextsAreCutToTheirBuffers)
{
    // 300 Korean syllables are 900 UTF-8 bytes; 85 whole ones fit, and after a one-byte letter
    // only 84 (the 85th would end at byte 256).
    const QString korean(300, QChar(u'한'));
    EXPECT_EQ(FitYarnText(korean), EncodeText(korean.left(85)));
    EXPECT_EQ(FitYarnText(QStringLiteral("a") + korean),
              EncodeText(QStringLiteral("a") + korean.left(84)));
    EXPECT_EQ(FitYarnText(QString(300, QLatin1Char('x'))).size(), 255);
    EXPECT_EQ(FitYarnText(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")),
              QByteArray("ab"));

    std::vector<Yarn> yarns(1);
    Enter(yarns, 1, 1, YarnColumnRemark, "");
    EnterYarnCells(yarns, 1, 1, YarnColumnRemark, QStringLiteral("a") + korean);
    EXPECT_EQ(yarns[0].remark.size(), 253);
    EXPECT_EQ(YarnListCellText(yarns, 1, YarnColumnRemark), QStringLiteral("a") + korean.left(84));
}

TEST(YarnList, AddAndDelete)
{
    Design d;
    MakeNewDesign(d);
    d.document.yarns = Named({"A", "B"});
    d.document.bars[0].threading = {{1, 1, 1, 0}};
    AddYarn(d.document.yarns, 1);
    EXPECT_EQ(Names(d.document.yarns), List({"", "A", "B"}));
    EXPECT_EQ(AddYarn(d.document.yarns, 4), 3);
    EXPECT_EQ(AddYarn(d.document.yarns, 9), 4);
    EXPECT_EQ(AddYarn(d.document.yarns, 0), 5);
    EXPECT_EQ(d.document.bars[0].threading[0].yarn, 1); // not renumbered

    // Deleting B of A, B, C: C's runs now point past the list and fall back to A; B's runs keep
    // their number.
    d.document.yarns = Named({"A", "B", "C"});
    d.document.bars[0].threading = {{0, 1, 1, 0}, {1, 2, 1, 0}, {2, 3, 1, 0}};
    d.document.bars[1].threading = {{2, 1, 0, 1}};
    EXPECT_EQ(DeleteYarns(d.document, 2, 2), 1);
    EXPECT_EQ(Names(d.document.yarns), List({"A", "C"}));
    EXPECT_EQ(d.document.bars[0].threading,
              (std::vector<WaleState>{{0, 1, 1, 0}, {1, 2, 1, 0}, {0, 3, 1, 0}}));
    EXPECT_EQ(d.document.bars[1].threading, (std::vector<WaleState>{{0, 1, 0, 1}}));

    // Rows past the list are skipped; the list may end up empty.
    EXPECT_EQ(DeleteYarns(d.document, 9, 2), 1);
    EXPECT_EQ(Names(d.document.yarns), List({"A"}));
    EXPECT_EQ(DeleteYarns(d.document, 1, 1), 1);
    EXPECT_TRUE(d.document.yarns.empty());
    EXPECT_EQ(DeleteYarns(d.document, 1, 1), 0);
    EXPECT_EQ(YarnListCellText(d.document.yarns, 1, YarnColumnName), QString());
}

TEST(YarnList, CyclesMenusAndColour)
{
    std::vector<Yarn> yarns(1);
    QStringList materials, processings;
    for (int i = 0; i < 6; ++i) {
        materials << YarnListCellText(yarns, 1, YarnColumnMaterial);
        CycleYarnCode(yarns, 1, YarnColumnMaterial);
    }
    for (int i = 0; i < 10; ++i) {
        processings << YarnListCellText(yarns, 1, YarnColumnProcessing);
        CycleYarnCode(yarns, 1, YarnColumnProcessing);
    }
    EXPECT_EQ(materials, List({"P", "N", "SPANDEX", "COTTON", "-", "P"}));
    EXPECT_EQ(processings, List({"SD", "FD", "CD", "SPK", "BRT", "PDD", "SDY", "AMT", "-", "SD"}));
    yarns[0].material = MaterialDirectInput;
    yarns[0].optical = 9;
    EXPECT_FALSE(CycleYarnCode(yarns, 1, YarnColumnMaterial));
    EXPECT_FALSE(CycleYarnCode(yarns, 1, YarnColumnProcessing));
    EXPECT_FALSE(CycleYarnCode(yarns, 1, YarnColumnName));
    EXPECT_EQ(yarns[0].material, MaterialDirectInput);

    // The row after the list gets a default yarn; rows further down nothing.
    EXPECT_TRUE(CycleYarnCode(yarns, 2, YarnColumnMaterial));
    EXPECT_EQ(yarns.size(), 2u);
    EXPECT_EQ(yarns[1], Yarn{});
    EXPECT_FALSE(CycleYarnCode(yarns, 4, YarnColumnMaterial));

    EXPECT_EQ(MaterialMenuCodes(), (std::array<uint8_t, 6>{2, 0, 1, 3, 4, 5}));
    EXPECT_EQ(ProcessingMenuCodes(), (std::array<uint8_t, 10>{6, 0, 1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_TRUE(SetYarnCode(yarns, 2, YarnColumnMaterial, MaterialSpandex));
    EXPECT_TRUE(SetYarnCode(yarns, 3, YarnColumnProcessing, 8));
    EXPECT_FALSE(SetYarnCode(yarns, 5, YarnColumnProcessing, 8));
    ASSERT_EQ(yarns.size(), 3u);
    EXPECT_EQ(yarns[1].material, MaterialSpandex);
    EXPECT_EQ(yarns[2].optical, 8);
    EXPECT_EQ(yarns[2].material, MaterialPolyester);

    EXPECT_TRUE(SetYarnColor(yarns, 1, 0x00FF00));
    EXPECT_TRUE(SetYarnColor(yarns, 4, 0x123456));
    EXPECT_FALSE(SetYarnColor(yarns, 6, 0));
    EXPECT_EQ(yarns[0].color, 0x00FF00);
    ASSERT_EQ(yarns.size(), 4u);
    EXPECT_EQ(yarns[3].color, 0x123456);
}

TEST(YarnList, YarnFiles)
{
    test::TempDir dir;
    auto file = [&dir](const char *name, const QByteArray &bytes) {
        const QString path = dir.file(QString::fromLatin1(name));
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    };
    // Denier to the image length, as every version has it.
    auto body = [](Bytes &b) -> Bytes & {
        return b.f64(70.9)
            .i32(24)
            .u8(3)
            .u8(9)
            .f64(1.0)
            .f64(0.5)
            .f64(0.5)
            .i32(0xFF)
            .u8(0)
            .u8(0)
            .i32(2)
            .raw("\x01\x02");
    };
    Bytes v3;
    body(v3.i32(3)
             .lstring("Span")
             .lstring("S1")
             .lstring("")
             .lstring("Creora")
             .lstring("")
             .i32(0)
             .f64(9.5))
        .lstring("")
        .lstring("bright");
    Bytes v2;
    body(v2.i32(2)
             .lstring("Span")
             .lstring("S1")
             .lstring("")
             .lstring("Creora")
             .lstring("")
             .i32(0)
             .f64(9.5));
    Bytes v1;
    body(v1.i32(1).lstring("").lstring("Creora").lstring("").i32(0));

    Yarn yarn;
    ASSERT_EQ(ReadYarnForList(file("v3.yan", v3), yarn), YarnFileRead::Loaded);
    EXPECT_EQ(YarnFilePreview(yarn),
              QStringLiteral("NAME:Span   CODE:S1   MAKER:Creora   SPANDEX 70/24 bright"));
    ASSERT_EQ(ReadYarnForList(file("v2.yan", v2), yarn), YarnFileRead::Loaded);
    EXPECT_EQ(YarnFilePreview(yarn),
              QStringLiteral("NAME:Span   CODE:S1   MAKER:Creora   SPANDEX 70/24 "));

    // A version-1 file into the row after the list: a new yarn without name, code or price.
    std::vector<Yarn> yarns(1);
    ASSERT_EQ(LoadYarnIntoRow(yarns, 2, file("v1.yan", v1)), YarnFileRead::Loaded);
    ASSERT_EQ(yarns.size(), 2u);
    EXPECT_EQ(yarns[1].maker, QByteArray("Creora"));
    EXPECT_TRUE(yarns[1].name.isEmpty());
    EXPECT_EQ(yarns[1].yarnValue, 0.0);
    EXPECT_EQ(yarns[1].stretch, 1.0);
    ASSERT_EQ(LoadYarnIntoRow(yarns, 1, dir.file(QStringLiteral("v3.yan"))), YarnFileRead::Loaded);
    EXPECT_EQ(yarns[0].name, QByteArray("Span"));
    EXPECT_EQ(yarns[0].yarnImage, QByteArray("\x01\x02"));

    // Newer, truncated and missing files change nothing; a version-0 file holds no yarn.
    const std::vector<Yarn> before = yarns;
    QByteArray v4 = v3;
    v4[0] = 4;
    EXPECT_EQ(LoadYarnIntoRow(yarns, 1, file("v4.yan", v4)), YarnFileRead::Newer);
    EXPECT_EQ(LoadYarnIntoRow(yarns, 3, file("short.yan", v3.data().chopped(1))),
              YarnFileRead::Unreadable);
    EXPECT_EQ(LoadYarnIntoRow(yarns, 3, file("empty.yan", QByteArray())), YarnFileRead::Unreadable);
    EXPECT_EQ(LoadYarnIntoRow(yarns, 1, dir.file(QStringLiteral("none.yan"))),
              YarnFileRead::Unreadable);
    EXPECT_EQ(yarns, before);
    EXPECT_EQ(LoadYarnIntoRow(yarns, 1, file("v0.yan", Bytes().i32(0))), YarnFileRead::Loaded);
    EXPECT_EQ(yarns, before);

    EXPECT_TRUE(MakeYarnFolder(dir.path()));
    EXPECT_TRUE(QFileInfo(YarnFolder(dir.path())).isDir());
}
