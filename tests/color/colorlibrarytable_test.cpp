#include "color/colorcatalogs.h"
#include "color/colorlibrarytable.h"
#include "colortestfiles.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace warplon;
using test::StandardChip;
using test::TextileChip;

namespace {

QStringList Captions()
{
    QStringList captions;
    for (int i = 0; i < kKindCaptionCount; ++i)
        captions << QStringLiteral("kind %1").arg(i);
    return captions;
}

// Our standard catalogue on page 5 (0042 and 0007) and textile on page 19 (19-0052).
struct Catalogs
{
    Catalogs()
    {
        test::WriteColorFile(dir.path(), QStringLiteral("Standard.kvc"),
                             test::StandardCatalogFile(5, {StandardChip{1, 42, 100, 50, 50},
                                                           StandardChip{2, 7, 0, 0, 200}}));
        test::WriteColorFile(dir.path(), QStringLiteral("Textile.kvc"),
                             test::TextileCatalogFile(19, {TextileChip{3, 19, 52, 100, 50, 70}}));
        catalogs = std::make_unique<ColorCatalogs>(dir.path());
    }
    test::TempDir dir;
    std::unique_ptr<ColorCatalogs> catalogs;
};

} // namespace

TEST(ColorLibraryTable, KindCaptionsTellEveryKindApart)
{
    TColorData entry;
    entry.SetNormal(1, 2, 3);
    EXPECT_EQ(KindCaptionOf(entry), CaptionNormal);
    entry.SetPrinterColor(541, 0, 1, 2, 3);
    EXPECT_EQ(KindCaptionOf(entry), CaptionPrinter);
    entry.SetPantone1000(11, 1, 1, 2, 3);
    EXPECT_EQ(KindCaptionOf(entry), CaptionPantone1000);
    entry.SetPantoneTextile(11, 1, 1, 2, 3);
    EXPECT_EQ(KindCaptionOf(entry), CaptionPantoneTextile);
    entry.SetKvStandardColor(5, 1, 1, 2, 3);
    entry.SetProtect(1);
    EXPECT_EQ(KindCaptionOf(entry), CaptionKvStandard) << "the protect flag is no kind";
    entry.SetKvTextileColor(19, 3, 1, 2, 3);
    EXPECT_EQ(KindCaptionOf(entry), CaptionKvTextile);
    const int users[][3] = {{ColorNormal, 0, CaptionUserNormal},
                            {ColorNormal, 541, CaptionUserPrinter},
                            {ColorPantone1000, 1, CaptionUserPantone1000},
                            {ColorPantoneTextile, 1, CaptionUserPantoneTextile},
                            {ColorKvStandard, 5, CaptionUserKvStandard},
                            {ColorKvTextile, 19, CaptionUserKvTextile}};
    for (const auto &user : users) {
        entry.SetUserColor(uint16_t(user[0]), uint16_t(user[1]), 1, 1, 2, 3, "F", "N");
        EXPECT_EQ(KindCaptionOf(entry), user[2]) << user[0] << "/" << user[1];
    }
    entry.SetKind(5);
    EXPECT_EQ(KindCaptionOf(entry), -1);
    entry.SetKind(kUserColorFlag | 9);
    EXPECT_EQ(KindCaptionOf(entry), -1);
}

TEST(ColorLibraryTable, RowsShowTheEntryAndItsCatalogueIdentity)
{
    Catalogs c;
    const ColorCatalogs &catalogs = *c.catalogs;
    TColorData entry;
    // A standard colour whose RGB moved 3 away from the catalogue's (100, 50, 50).
    entry.SetKvStandardColor(5, 1, 101, 48, 50);
    ColorLibraryRow row = MakeColorLibraryRow(catalogs, entry, 12, Captions());
    EXPECT_EQ(row.color, RGB2TColor(101, 48, 50));
    EXPECT_EQ(row.texts[LibraryNumber], QStringLiteral("11"));
    EXPECT_TRUE(row.texts[LibrarySwatch].isEmpty());
    EXPECT_EQ(row.texts[LibraryKind], QStringLiteral("kind 4"));
    EXPECT_EQ(row.texts[LibraryCode], QStringLiteral("0042"));
    EXPECT_EQ(row.texts[LibraryRgb], QStringLiteral("101 - 48 - 50"));
    EXPECT_EQ(row.texts[LibraryCmy], QStringLiteral("154 / 207 / 205"));
    EXPECT_EQ(row.texts[LibraryDeviation], QStringLiteral("0.392 %"));
    EXPECT_TRUE(row.texts[LibraryUser].isEmpty());

    // The same identity missing from the catalogue: no code and no deviation.
    entry.SetKvStandardColor(5, 9, 101, 48, 50);
    row = MakeColorLibraryRow(catalogs, entry, 12, Captions());
    EXPECT_EQ(row.texts[LibraryKind], QStringLiteral("kind 4"));
    EXPECT_TRUE(row.texts[LibraryCode].isEmpty());
    EXPECT_TRUE(row.texts[LibraryDeviation].isEmpty());

    // A user colour from the textile catalogue.
    entry.SetUserColor(ColorKvTextile, 19, 3, 100, 50, 70, "Spring", "Sky");
    row = MakeColorLibraryRow(catalogs, entry, 1, Captions());
    EXPECT_EQ(row.texts[LibraryNumber], QStringLiteral("0"));
    EXPECT_EQ(row.texts[LibraryKind], QStringLiteral("kind 11"));
    EXPECT_EQ(row.texts[LibraryCode], QStringLiteral("19-0052"));
    EXPECT_EQ(row.texts[LibraryDeviation], QStringLiteral("0.000 %"));
    EXPECT_EQ(row.texts[LibraryUser], QStringLiteral("Spring - Sky:(19-0052)"));

    // A printer colour: the atlas gives both the code and the colour.
    const RGBQUAD grey = TPrinterColor::AtlasRGB(36, 1, 0);
    entry.SetPrinterColor(541, 1, grey.rgbRed, grey.rgbGreen, grey.rgbBlue);
    row = MakeColorLibraryRow(catalogs, entry, 2, Captions());
    EXPECT_EQ(row.texts[LibraryCode], QStringLiteral("37-1:2"));
    EXPECT_EQ(row.texts[LibraryDeviation], QStringLiteral("0.000 %"));
    EXPECT_EQ(CatalogColorOf(catalogs, entry), grey);

    // A free grey: no code, and no hue.
    entry.SetNormal(128, 128, 128);
    row = MakeColorLibraryRow(catalogs, entry, 2, Captions());
    EXPECT_EQ(row.texts[LibraryKind], QStringLiteral("kind 0"));
    EXPECT_TRUE(row.texts[LibraryCode].isEmpty());
    EXPECT_EQ(row.texts[LibraryHls], QStringLiteral("- / 50 / 0"));
    EXPECT_FALSE(CatalogColorOf(catalogs, entry));
    entry.SetNormal(255, 0, 0);
    EXPECT_EQ(MakeColorLibraryRow(catalogs, entry, 2, Captions()).texts[LibraryHls],
              QStringLiteral("0 / 50 / 100"));
    // Pantone kinds look in the Pantone catalogues, which are not installed here.
    entry.SetPantone1000(11, 1, 1, 2, 3);
    EXPECT_TRUE(MakeColorLibraryRow(catalogs, entry, 2, Captions()).texts[LibraryCode].isEmpty());
    // Too few captions leave the kind blank rather than read past them.
    EXPECT_TRUE(MakeColorLibraryRow(catalogs, entry, 2, {}).texts[LibraryKind].isEmpty());

    EXPECT_EQ(FormatPercent(100.0), QStringLiteral("100.000 %"));
    EXPECT_EQ(FormatTriple(0.4, 99.5, 254.6), QStringLiteral("0 / 100 / 255"));
}

TEST(ColorLibraryTable, PagerStopsAtTheEndsAndFindsTypedPages)
{
    EXPECT_EQ(MovePager(PagerMove::Before, 0, 73), 0);
    EXPECT_EQ(MovePager(PagerMove::Next, 72, 73), 72);
    EXPECT_EQ(MovePager(PagerMove::Next, 5, 73), 6);
    EXPECT_EQ(MovePager(PagerMove::Center, 5, 73), 36);
    EXPECT_EQ(MovePager(PagerMove::End, 5, 73), 72);
    EXPECT_EQ(MovePager(PagerMove::First, 5, 73), 0);
    EXPECT_EQ(MovePager(PagerMove::Next, 0, 0), 0);
    EXPECT_EQ(MovePager(PagerMove::Center, 0, 1), 0);

    // The atlas: 1-based page indices, kept within 1-73.
    EXPECT_EQ(TypedPagePosition(nullptr, QStringLiteral(" 37 ")), 36);
    EXPECT_EQ(TypedPagePosition(nullptr, QStringLiteral("0")), 0);
    EXPECT_EQ(TypedPagePosition(nullptr, QStringLiteral("500")), 72);
    EXPECT_FALSE(TypedPagePosition(nullptr, QStringLiteral("3a")));
    EXPECT_EQ(PageNumberAt(nullptr, 36), 37);
    EXPECT_EQ(PageNumberAt(nullptr, 73), -1);

    // A file catalogue with pages 5, 19 and 40: the first page at or after the number.
    TStandardColor catalog(QStringLiteral("/nonexistent/Standard.kvc"));
    EXPECT_FALSE(TypedPagePosition(&catalog, QStringLiteral("5")));
    for (int number : {5, 19, 40})
        catalog.Pages().push_back(CatalogPage{uint16_t(number), {}});
    EXPECT_EQ(TypedPagePosition(&catalog, QStringLiteral("19")), 1);
    EXPECT_EQ(TypedPagePosition(&catalog, QStringLiteral("20")), 2);
    EXPECT_EQ(TypedPagePosition(&catalog, QStringLiteral("41")), 0);
    EXPECT_EQ(TypedPagePosition(&catalog, QStringLiteral("-3")), 0);
    EXPECT_EQ(PageNumberAt(&catalog, 2), 40);
    EXPECT_EQ(PageNumberAt(&catalog, 3), -1);
    EXPECT_EQ(PagerLabel(19), QStringLiteral("< 19 >"));
}
