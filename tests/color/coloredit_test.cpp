#include "color/colorcatalogs.h"
#include "color/coloredit.h"
#include "color/palette.h"
#include "color/usercolordrag.h"
#include "colortestfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

using namespace warplon;
using test::StandardChip;
using test::TextileChip;

namespace {

RGBQUAD Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    return q;
}

// A program directory with a standard page 5 and a textile page 19 of our own.
struct Catalogues
{
    Catalogues()
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

TEST(ColorEdit, CmyClampsAndComplements)
{
    EXPECT_EQ(ClampCmy(300), 255);
    EXPECT_EQ(ClampCmy(-5), 0);
    EXPECT_EQ(ClampCmy(17), 17);
    EXPECT_EQ(CmyToRgb(255, 0, 0), Rgb(0, 255, 255));
    // Out-of-range inks are clamped before the complement, so they never wrap.
    EXPECT_EQ(CmyToRgb(300, -5, 55), Rgb(0, 255, 200));
    int c = 0, m = 0, y = 0;
    RgbToCmy(Rgb(10, 20, 30), c, m, y);
    EXPECT_EQ(std::tie(c, m, y), std::make_tuple(245, 235, 225));
}

TEST(ColorEdit, HlsValuesWrapTheHueAndKeepItOnGreys)
{
    EXPECT_EQ(ClampHls(-5, 120, -3), (HlsValues{355, 100, 0}));
    EXPECT_EQ(ClampHls(725, 50, 50), (HlsValues{5, 50, 50}));
    EXPECT_EQ(HlsToRgb({0, 50, 100}), Rgb(255, 0, 0));
    EXPECT_EQ(HlsToRgb({120, 50, 100}), Rgb(0, 255, 0));
    EXPECT_EQ(RgbToHls(Rgb(0, 0, 255), 17), (HlsValues{240, 50, 100}));
    // A grey has no hue of its own and keeps the one being worked on.
    EXPECT_EQ(RgbToHls(Rgb(128, 128, 128), 17), (HlsValues{17, 50, 0}));
}

TEST(ColorEdit, CircleZonesHueAndField)
{
    // Distance from (70, 70): below 56 the disc, 56 to 70 the ring, beyond nothing.
    EXPECT_EQ(HlsCircleZone({70 + 55, 70}), HlsZone::Inner);
    EXPECT_EQ(HlsCircleZone({70, 70 - 56}), HlsZone::Ring);
    EXPECT_EQ(HlsCircleZone({70 + 70, 70}), HlsZone::Ring);
    EXPECT_EQ(HlsCircleZone({70 - 71, 70}), HlsZone::Outside);
    EXPECT_EQ(HlsCircleZone({70 + 50, 70 + 50}), HlsZone::Outside); // a corner, 70.7 away
    EXPECT_EQ(HlsCircleZone({70 + 39, 70 + 39}), HlsZone::Inner);   // 55.2 away

    EXPECT_EQ(HlsCircleHue({135, 70}), 0);
    EXPECT_EQ(HlsCircleHue({70, 5}), 90);
    EXPECT_EQ(HlsCircleHue({5, 70}), 180);
    EXPECT_EQ(HlsCircleHue({70, 135}), 270);
    EXPECT_EQ(HlsCircleHue({135, 71}), 359);

    // L = (118 - y) * 100 / 96 and S = (x - 22) * 100 / 96, integer division, within 0-100.
    EXPECT_EQ(HlsCircleLightness(22), 100);
    EXPECT_EQ(HlsCircleLightness(70), 50);
    EXPECT_EQ(HlsCircleLightness(69), 51);
    EXPECT_EQ(HlsCircleLightness(118), 0);
    EXPECT_EQ(HlsCircleLightness(15), 100);
    EXPECT_EQ(HlsCircleLightness(125), 0);
    EXPECT_EQ(HlsCircleSaturation(69), 48);
    EXPECT_EQ(HlsCircleSaturation(10), 0);
    EXPECT_EQ(HlsCircleSaturation(130), 100);

    // The markers sit where a click gives their values back (the hue to within a degree: the
    // middle of the ring has fewer pixels than the circle has degrees).
    for (int hue = 0; hue < 360; hue += 5) {
        EXPECT_EQ(HlsCircleZone(HlsCircleHuePoint(hue)), HlsZone::Ring) << hue;
        const int back = HlsCircleHue(HlsCircleHuePoint(hue));
        EXPECT_LE(std::min((back - hue + 360) % 360, (hue - back + 360) % 360), 1) << hue;
    }
    // Not every percentage is reachable by a click (96 pixels span 100 steps); these are.
    for (int value : {0, 25, 50, 100}) {
        const QPoint p = HlsCircleFieldPoint(value, 100 - value);
        EXPECT_EQ(HlsCircleLightness(p.y()), value);
        EXPECT_EQ(HlsCircleSaturation(p.x()), 100 - value);
    }
}

TEST(ColorEdit, NearestCatalogueColourPrefersTheFirstOnATie)
{
    Catalogues files;
    const ColorCatalogs &catalogs = *files.catalogs;
    ASSERT_EQ(catalogs.standard.EntryCount(), 2);
    ASSERT_EQ(catalogs.textile.EntryCount(), 1);

    // (100, 50, 60) is 10 from both the standard (100, 50, 50) and the textile (100, 50, 70).
    TColorData tie = NearestCatalogColor(catalogs.standard, catalogs.textile, Rgb(100, 50, 60));
    EXPECT_EQ(tie.GetKind(), ColorKvStandard);
    EXPECT_EQ(tie.PageNumber, 5);
    EXPECT_EQ(tie.ColorNumber, 1);
    EXPECT_EQ(tie.color, Rgb(100, 50, 50));

    TColorData textile = NearestCatalogColor(catalogs.standard, catalogs.textile, Rgb(100, 50, 66));
    EXPECT_EQ(textile.GetKind(), ColorKvTextile);
    EXPECT_EQ(textile.PageNumber, 19);
    EXPECT_EQ(textile.ColorNumber, 3);
    EXPECT_EQ(EntryCode(catalogs, textile), QStringLiteral("19-0052"));

    // No Pantone catalogue is installed: the colour stays a free one.
    EXPECT_FALSE(catalogs.HasPantone());
    TColorData free
        = NearestCatalogColor(catalogs.pantone1000, catalogs.pantoneTextile, Rgb(1, 2, 3));
    EXPECT_EQ(free.GetKind(), ColorNormal);
    EXPECT_EQ(free.PageNumber, 0);
    EXPECT_EQ(free.color, Rgb(1, 2, 3));
    EXPECT_TRUE(EntryCode(catalogs, free).isEmpty());
}

TEST(ColorEdit, CodeSearchTakesPrinterCodesAsShown)
{
    EXPECT_EQ(NormalizePrinterCode(QStringLiteral("37-1:1")), QStringLiteral("37-01:01"));
    EXPECT_EQ(NormalizePrinterCode(QStringLiteral(" 5 - 12 : 3 ")), QStringLiteral("05-12:03"));
    EXPECT_EQ(NormalizePrinterCode(QStringLiteral("37-01:01")), QStringLiteral("37-01:01"));
    EXPECT_FALSE(NormalizePrinterCode(QStringLiteral("137-1:1")));
    EXPECT_FALSE(NormalizePrinterCode(QStringLiteral("19-0052")));
    EXPECT_FALSE(NormalizePrinterCode(QStringLiteral("37-1")));

    Catalogues files;
    const ColorCatalogs &catalogs = *files.catalogs;
    // The grey page: atlas page 541, step 0, shown again as the code typed.
    const std::optional<TColorData> grey = SearchColorCode(catalogs, QStringLiteral("37-1:1"));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->GetKind(), ColorNormal);
    EXPECT_EQ(grey->PageNumber, 541);
    EXPECT_EQ(grey->ColorNumber, 0);
    EXPECT_EQ(EntryCode(catalogs, *grey), QStringLiteral("37-1:1"));
    EXPECT_FALSE(SearchColorCode(catalogs, QStringLiteral("37-8:1"))); // 7 grey columns

    const std::optional<TColorData> standard = SearchColorCode(catalogs, QStringLiteral("0007"));
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->GetKind(), ColorKvStandard);
    EXPECT_EQ(standard->color, Rgb(0, 0, 200));
    EXPECT_EQ(EntryCode(catalogs, *standard), QStringLiteral("0007"));
    const std::optional<TColorData> textile
        = SearchColorCode(catalogs, QStringLiteral(" 19-0052 "));
    ASSERT_TRUE(textile);
    EXPECT_EQ(textile->GetKind(), ColorKvTextile);
    EXPECT_FALSE(SearchColorCode(catalogs, QStringLiteral("0099")));
    EXPECT_FALSE(SearchColorCode(catalogs, QString()));
}

TEST(ColorEdit, FallbackPaletteIsAFixedCube)
{
    TPalette palette;
    for (int i = 0; i < 256; ++i)
        palette.SetNormal(i, 9, 9, 9);
    MakeFallbackPalette(palette);
    EXPECT_EQ(palette.GetColor(0), RGB2TColor(0, 0, 0));
    EXPECT_EQ(palette.GetColor(1), RGB2TColor(255, 255, 255));
    EXPECT_EQ(palette.GetColor(2), RGB2TColor(0, 0, 0));
    EXPECT_EQ(palette.GetColor(255), RGB2TColor(255, 255, 255));
    EXPECT_EQ(palette.GetColor(4), RGB2TColor(0, 0, 51));
    EXPECT_EQ(palette.GetColor(9), RGB2TColor(0, 42, 0));
    EXPECT_EQ(palette.GetColor(45), RGB2TColor(51, 0, 0));
    std::set<TColor> cube;
    for (int i = 3; i <= 254; ++i)
        cube.insert(palette.GetColor(i));
    EXPECT_EQ(cube.size(), 252u);
    EXPECT_EQ(palette.UseColor, 2);
}

TEST(ColorEdit, UserColourDragRoundTripAndDamage)
{
    UserColor a;
    a.name = "Sky";
    a.kind = ColorKvStandard;
    a.page = 5;
    a.number = 2;
    a.color = Rgb(1, 2, 3);
    const QByteArray data = EncodeUserColorDrag("Spring.ucl", {a, a});
    QByteArray name;
    std::vector<UserColor> colors;
    ASSERT_TRUE(DecodeUserColorDrag(data, name, colors));
    EXPECT_EQ(name, QByteArray("Spring.ucl"));
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[1].name, QByteArray("Sky"));
    EXPECT_EQ(colors[1].color, Rgb(1, 2, 3));
    for (qsizetype cut : {qsizetype(0), qsizetype(3), data.size() - 1}) {
        EXPECT_FALSE(DecodeUserColorDrag(data.left(cut), name, colors)) << cut;
        EXPECT_TRUE(colors.empty());
        EXPECT_TRUE(name.isEmpty());
    }
    EXPECT_FALSE(DecodeUserColorDrag(data + "x", name, colors));
}
