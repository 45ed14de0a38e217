#include "color/colorcatalogs.h"
#include "color/palette.h"
#include "color/paletteexchange.h"
#include "colortestfiles.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace warplon;

namespace {

// Entry i: a colour no other entry has, with every channel value 0-255 somewhere.
std::tuple<int, int, int> Distinct(int i)
{
    return {i, (i * 7 + 3) % 256, 255 - i};
}

TPalette DistinctPalette()
{
    TPalette palette;
    for (int i = 0; i < kPaletteSize; ++i) {
        const auto [r, g, b] = Distinct(i);
        palette.SetNormal(i, uint8_t(r), uint8_t(g), uint8_t(b));
    }
    return palette;
}

std::vector<std::tuple<int, int, int>> Colors(const PaletteImport &imported)
{
    std::vector<std::tuple<int, int, int>> colors;
    for (const RGBQUAD &c : imported.colors)
        colors.emplace_back(c.rgbRed, c.rgbGreen, c.rgbBlue);
    return colors;
}

std::tuple<int, int, int> EntryRgb(const TPalette &palette, int index)
{
    const RGBQUAD c = palette.GetColorData(index)->color;
    return {c.rgbRed, c.rgbGreen, c.rgbBlue};
}

QList<QByteArray> Lines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

// Whatever kinds the entries have, both formats carry the RGB of entries 1-255 there and back,
// and an import takes them as free colours.
TEST(PaletteExchange, ExportThenImportKeepsEveryColour)
{
    TPalette palette = DistinctPalette();
    palette.SetKvStandardColor(7, 5, 3, 1, 2, 3);
    palette.SetPrinterColor(8, 37, 1, 200, 100, 50);
    palette.SetUserColor(9, ColorKvTextile, 19, 2, 9, 8, 7, "Spring.ucl", "Moss\tgreen\nlight");

    for (const PaletteTextFormat format : {PaletteTextFormat::Gpl, PaletteTextFormat::Hex}) {
        SCOPED_TRACE(format == PaletteTextFormat::Gpl ? "gpl" : "hex");
        const QByteArray text = ExportPaletteText(palette, format, 255, QStringLiteral("Summer"));
        const PaletteImport imported = ParsePaletteText(text, format);
        ASSERT_TRUE(imported.ok()) << qPrintable(PaletteImportProblemText(imported));
        ASSERT_EQ(imported.colors.size(), 255u);
        EXPECT_EQ(imported.beyond, 0);

        TPalette back;
        EXPECT_EQ(ApplyImportedColors(back, imported), 255);
        for (int i = 1; i < kPaletteSize; ++i) {
            EXPECT_EQ(EntryRgb(back, i), EntryRgb(palette, i)) << "entry " << i;
            EXPECT_EQ(back.GetColorData(i)->ColorFlags, 0) << "entry " << i;
            EXPECT_EQ(back.GetColorData(i)->PageNumber, 0) << "entry " << i;
        }
    }

    // --last: entries 1 to N only.
    EXPECT_EQ(Lines(ExportPaletteText(palette, PaletteTextFormat::Hex, 3)),
              (QList<QByteArray>{"#010afe", "#0211fd", "#0318fc"}));
}

// The GIMP palette: the header GIMP reads, then "R G B<tab>name", named by kind and code, a
// user colour by its own name on one line.
TEST(PaletteExchange, GimpPaletteNamesEachEntry)
{
    test::TempDir dir;
    test::WriteColorFile(dir.path(), QStringLiteral("Standard.kvc"),
                         test::StandardCatalogFile(5, {{3, 42, 1, 2, 3}}));
    const ColorCatalogs catalogs(dir.path());

    TPalette palette = DistinctPalette();
    palette.SetNormal(1, 255, 255, 255);
    palette.SetKvStandardColor(2, 5, 3, 1, 2, 3);
    palette.SetKvTextileColor(3, 1019, 4, 10, 20, 30);
    palette.SetUserColor(4, ColorNormal, 0, 0, 9, 8, 7, "Spring.ucl", "Moss\tgreen\nlight");
    palette.SetUserColor(5, ColorNormal, 0, 0, 9, 8, 7, "Spring.ucl", "");

    const QList<QByteArray> lines = Lines(ExportPaletteText(
        palette, PaletteTextFormat::Gpl, 5, QStringLiteral("Summer\nsale"), &catalogs));
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], "GIMP Palette");
    EXPECT_EQ(lines[1], "Name: Summer sale");
    EXPECT_TRUE(lines[2].startsWith("Columns: "));
    EXPECT_TRUE(lines[3].startsWith("#"));
    EXPECT_EQ(lines[4], "255 255 255\tNormal Color");
    EXPECT_EQ(lines[5], "  1   2   3\tKv Standard Color 0042");
    // A catalogue the program does not have: page and number tell the colour.
    EXPECT_EQ(lines[6], " 10  20  30\tKv Textile Color page 1019 no. 4");
    EXPECT_EQ(lines[7], "  9   8   7\tMoss green light");
    EXPECT_EQ(lines[8], "  9   8   7\tNormal Color");
}

// A GIMP palette as other programs write it; blanks, comments and names are skipped.
TEST(PaletteExchange, ReadsGimpPalettesOfOtherPrograms)
{
    const QByteArray text = "\xEF\xBB\xBFGIMP Palette\r\n"
                            "Name: Autumn\r\n"
                            "Columns: 4\r\n"
                            "#\r\n"
                            "# comment 1 2 3\r\n"
                            "\r\n"
                            "255   0   0\tRed\r\n"
                            "  0 128 255 deep sky blue\r\n"
                            "\t7\t8\t9\r\n"
                            "+1 02 3"; // no line break at the end
    const PaletteImport imported = ParsePaletteText(text, PaletteTextFormat::Gpl);
    ASSERT_TRUE(imported.ok()) << qPrintable(PaletteImportProblemText(imported));
    EXPECT_EQ(Colors(imported), (std::vector<std::tuple<int, int, int>>{
                                    {255, 0, 0}, {0, 128, 255}, {7, 8, 9}, {1, 2, 3}}));
}

// A bad line refuses the whole file, naming the line; nothing is taken from it.
TEST(PaletteExchange, RefusesBadLinesByNumber)
{
    struct Case
    {
        const char *what;
        QByteArray text;
        PaletteImportProblem problem;
        int line;
    };
    const Case cases[] = {
        {"empty file", "", PaletteImportProblem::NoMagicLine, 1},
        {"another format", "JASC-PAL\n0100\n1\n1 2 3\n", PaletteImportProblem::NoMagicLine, 1},
        {"magic not first", "\nGIMP Palette\n1 2 3\n", PaletteImportProblem::NoMagicLine, 1},
        {"two values", "GIMP Palette\n1 2 3\n4 5\n6 7 8\n", PaletteImportProblem::MissingValue, 3},
        {"a word", "GIMP Palette\r\n# x\r\n\r\n1 2 blue\r\n", PaletteImportProblem::MissingValue,
         4},
        {"a fraction", "GIMP Palette\n1.5 2 3\n", PaletteImportProblem::MissingValue, 2},
        {"stray text", "GIMP Palette\n1 2 3\nColours:\n", PaletteImportProblem::MissingValue, 3},
        {"above 255", "GIMP Palette\n1 2 3\n4 5 6\n0 256 0\n", PaletteImportProblem::OutOfRange, 4},
        {"below 0", "GIMP Palette\n-1 0 0\n", PaletteImportProblem::OutOfRange, 2},
        {"beyond int", "GIMP Palette\n1 99999999999 0\n", PaletteImportProblem::OutOfRange, 2},
        {"no colours", "GIMP Palette\nName: x\n# nothing\n", PaletteImportProblem::NoColors, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const PaletteImport imported = ParsePaletteText(c.text, PaletteTextFormat::Gpl);
        EXPECT_EQ(imported.problem, c.problem);
        EXPECT_EQ(imported.line, c.line);
        EXPECT_TRUE(imported.colors.empty());
        EXPECT_EQ(imported.beyond, 0);
        if (c.line > 0) {
            EXPECT_TRUE(PaletteImportProblemText(imported).startsWith(
                QStringLiteral("line %1:").arg(c.line)));
        }

        // Applying a refused import changes nothing.
        TPalette palette = DistinctPalette();
        EXPECT_EQ(ApplyImportedColors(palette, imported), 0);
        EXPECT_EQ(palette.ToFileBytes(), DistinctPalette().ToFileBytes());
    }
}

// Hex import takes the colour codes standing anywhere in a text, as in a style sheet, in order.
TEST(PaletteExchange, TakesColourCodesFromAnyText)
{
    const QByteArray css = "/* brand #C0FFEE */\n"
                           "body { color: #fff; background:#123456 }\n"
                           "#header, #add-on, #bad_1, .x#abc { border: 1px solid #0F0; }\n"
                           "a::after { content: \"&#123;\"; color: #abcd; fill: #1234567 }\n"
                           "#a1b2c3\n"
                           "p{color:#000}";
    const PaletteImport imported = ParsePaletteText(css, PaletteTextFormat::Hex);
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(Colors(imported), (std::vector<std::tuple<int, int, int>>{{192, 255, 238},
                                                                        {255, 255, 255},
                                                                        {18, 52, 86},
                                                                        {0, 255, 0},
                                                                        {161, 178, 195},
                                                                        {0, 0, 0}}));

    const PaletteImport none
        = ParsePaletteText("no colours, only #words here", PaletteTextFormat::Hex);
    EXPECT_EQ(none.problem, PaletteImportProblem::NoColors);
}

// More colours than entries 1-255: the first 255 fill the palette, the rest are counted. Fewer
// leave the other entries as the palette had them.
TEST(PaletteExchange, FillsEntriesFromOneAndCountsWhatDoesNotFit)
{
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += QByteArray::number(0x010203 * (i % 80) + i, 16).rightJustified(6, '0').prepend('#')
                + '\n';
    const PaletteImport many = ParsePaletteText(text, PaletteTextFormat::Hex);
    ASSERT_TRUE(many.ok());
    EXPECT_EQ(many.colors.size(), 255u);
    EXPECT_EQ(many.beyond, 45);
    TPalette palette;
    EXPECT_EQ(ApplyImportedColors(palette, many), 255);
    const int last = 0x010203 * (254 % 80) + 254;
    EXPECT_EQ(EntryRgb(palette, 255), std::make_tuple(last >> 16, (last >> 8) & 255, last & 255));

    TPalette based = DistinctPalette();
    based.SetKvStandardColor(4, 5, 3, 1, 2, 3);
    based.UseColor = 9;
    const PaletteImport three
        = ParsePaletteText("GIMP Palette\n1 1 1\n2 2 2\n3 3 3\n", PaletteTextFormat::Gpl);
    EXPECT_EQ(ApplyImportedColors(based, three), 3);
    EXPECT_EQ(EntryRgb(based, 0), EntryRgb(DistinctPalette(), 0));
    EXPECT_EQ(EntryRgb(based, 3), std::make_tuple(3, 3, 3));
    EXPECT_EQ(based.GetColorData(4)->GetKind(), ColorKvStandard);
    EXPECT_EQ(EntryRgb(based, 200), EntryRgb(DistinctPalette(), 200));
    EXPECT_EQ(based.UseColor, 9);
}

TEST(PaletteExchange, FormatNames)
{
    EXPECT_EQ(PaletteTextFormatFromName(QStringLiteral("GPL")), PaletteTextFormat::Gpl);
    EXPECT_EQ(PaletteTextFormatFromName(QStringLiteral("hex")), PaletteTextFormat::Hex);
    EXPECT_FALSE(PaletteTextFormatFromName(QStringLiteral("act")).has_value());
    EXPECT_FALSE(PaletteTextFormatFromName(QString()).has_value());
}
