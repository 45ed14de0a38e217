#include "base/bytestream.h"
#include "color/colorcatalog.h"
#include "color/palette.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

using namespace warplon;
using test::Bytes;

namespace {

QByteArray le16(uint16_t v)
{
    return Bytes().u8(uint8_t(v & 0xff)).u8(uint8_t(v >> 8));
}

// One colour record: flags, page, number, then blue, green, red, reserved; the old layout has
// an unused byte before the colour.
QByteArray record(int format, uint16_t flags, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                  uint8_t b)
{
    Bytes bytes;
    bytes.raw(le16(flags)).raw(le16(page)).u8(number);
    if (format == ColorRecordOld)
        bytes.u8(0xEE);
    return bytes.u8(b).u8(g).u8(r).u8(0);
}

QByteArray header(uint16_t version)
{
    return QByteArrayLiteral("CP") + le16(version);
}

// A palette with something other than a new palette's black in every entry, so that entries a
// load does not reach can be told apart.
TPalette paintedPalette()
{
    TPalette palette;
    for (int i = 0; i < kPaletteSize; ++i)
        palette.SetKvStandardColor(i, 9, 9, uint8_t(i), 77, uint8_t(255 - i));
    palette.UseColor = 40;
    return palette;
}

struct Rgb
{
    int r, g, b;
};

void expectRgb(const TPalette &palette, int index, Rgb rgb)
{
    const RGBQUAD c = palette.GetColorData(index)->color;
    EXPECT_EQ(c.rgbRed, rgb.r) << "entry " << index;
    EXPECT_EQ(c.rgbGreen, rgb.g) << "entry " << index;
    EXPECT_EQ(c.rgbBlue, rgb.b) << "entry " << index;
}

} // namespace

TEST(Palette, SpreadCopiesKeysAndBlendsTowardZero)
{
    TPalette palette;
    ASSERT_EQ(palette.UseColor, 2);
    palette.SetKvTextileColor(2, 1012, 7, 0, 10, 200);
    palette.SetUserColor(3, ColorKvStandard, 5, 6, 10, 0, 100, "Spring.ucl", "Moss");
    TColorData key2;
    key2.Copy(*palette.GetColorData(2));
    TColorData key3;
    key3.Copy(*palette.GetColorData(3));

    // Entry 3 is both a key and the first entry the spread fills.
    const std::vector<int> keys{2, 3};
    const std::vector<int> steps{4};
    ASSERT_TRUE(palette.MakeSpread(keys, steps));
    EXPECT_EQ(palette.UseColor, 7);
    EXPECT_TRUE(palette.GetColorData(3)->Compare(key2));
    EXPECT_TRUE(palette.GetColorData(7)->Compare(key3));
    // Rising red 0 -> 10 gives 2, 5, 7; falling green 10 -> 0 gives 8, 5, 3 (not 7, 5, 2).
    const Rgb blends[] = {{2, 8, 175}, {5, 5, 150}, {7, 3, 125}};
    for (int i = 0; i < 3; ++i) {
        expectRgb(palette, 4 + i, blends[i]);
        EXPECT_EQ(palette.GetColorData(4 + i)->ColorFlags, 0);
        EXPECT_EQ(palette.GetColorData(4 + i)->PageNumber, 0);
    }

    // Several keys, a step of 1 (no blend) and a key used twice.
    palette.UseColor = 10;
    palette.SetNormal(20, 100, 100, 100);
    palette.SetNormal(21, 0, 255, 3);
    const std::vector<int> keys3{20, 21, 20};
    const std::vector<int> steps3{1, 3};
    ASSERT_TRUE(palette.MakeSpread(keys3, steps3));
    EXPECT_EQ(palette.UseColor, 15);
    const Rgb expected[]
        = {{100, 100, 100}, {0, 255, 3}, {33, 204, 35}, {66, 152, 67}, {100, 100, 100}};
    for (int i = 0; i < 5; ++i)
        expectRgb(palette, 11 + i, expected[i]);
}

TEST(Palette, SpreadRefusesWhatDoesNotFit)
{
    struct Case
    {
        const char *what;
        int useColor;
        std::vector<int> keys;
        std::vector<int> steps;
        bool accepted;
    };
    const Case cases[] = {
        {"ends exactly at entry 255", 250, {2, 3}, {4}, true},
        {"one entry too many", 251, {2, 3}, {4}, false},
        {"large steps", 2, {2, 3, 4}, {200, 60}, false},
        {"key below 0", 2, {-1, 3}, {4}, false},
        {"key above 255", 2, {2, 256}, {4}, false},
        {"step 0", 2, {2, 3}, {0}, false},
        {"negative step", 2, {2, 3, 4}, {5, -3}, false},
        {"keys do not match steps", 2, {2, 3}, {4, 4}, false},
        {"UseColor at the end", 255, {2}, {}, false},
    };
    for (const Case &c : cases) {
        TPalette palette = paintedPalette();
        palette.UseColor = uint16_t(c.useColor);
        const QByteArray before = palette.ToFileBytes();
        QString error;
        EXPECT_EQ(palette.MakeSpread(c.keys, c.steps, &error), c.accepted) << c.what;
        EXPECT_EQ(error.isEmpty(), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(palette.ToFileBytes(), before) << c.what;
            EXPECT_EQ(palette.UseColor, c.useColor) << c.what;
        }
    }
}

TEST(Palette, RecordLayoutFollowsTheVersion)
{
    // Version 100 and below: 10-byte records with an unused byte and no names even when the
    // user flag is set. Above 100: 9-byte records, names after a user colour.
    for (const int version : {1, 100, 101, 110}) {
        const int format = version > 100 ? ColorRecordCurrent : ColorRecordOld;
        Bytes file;
        file.raw(header(uint16_t(version)));
        for (int i = 0; i < kPaletteSize; ++i) {
            if (i == 5) {
                file.raw(record(format, kUserColorFlag | ColorKvTextile, 1003, 9, 1, 2, 3));
                if (format == ColorRecordCurrent)
                    file.raw(le16(10)).raw("Spring.ucl").raw(le16(4)).raw("Moss");
            } else if (i == 6) {
                file.raw(record(format, ColorPantone1000 | kProtectFlag, 115, 4, 9, 8, 7));
            } else {
                file.raw(record(format, 0, 0, 0, uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)));
            }
        }
        TPalette palette = paintedPalette();
        ASSERT_TRUE(palette.LoadFromBytes(file.data())) << version;
        EXPECT_EQ(palette.UseColor, 40) << "loading leaves UseColor";
        for (const int i : {0, 1, 4, 7, 200, 255}) {
            expectRgb(palette, i, {i, 255 - i, i / 2});
            EXPECT_EQ(palette.GetColorData(i)->ColorFlags, 0);
        }
        const TColorData &user = *palette.GetColorData(5);
        EXPECT_EQ(user.GetKind(), kUserColorFlag | ColorKvTextile) << version;
        EXPECT_EQ(user.PageNumber, 1003);
        EXPECT_EQ(user.FileName, format == ColorRecordCurrent ? "Spring.ucl" : "");
        EXPECT_EQ(user.ColorName, format == ColorRecordCurrent ? "Moss" : "");
        // A Pantone 1000 colour on page 115 becomes standard page 38, keeping the protect flag.
        EXPECT_EQ(palette.GetColorData(6)->ColorFlags, ColorKvStandard | kProtectFlag);
        EXPECT_EQ(palette.GetColorData(6)->PageNumber, 38);
        expectRgb(palette, 6, {9, 8, 7});
    }
}

TEST(Palette, LegacyFileWidensSixBitsAndFillsAGreyTail)
{
    // 225 records of kind, 6-bit red, green, blue, u16 page, number, unused, for entries 1-225.
    Bytes file;
    for (int i = 1; i <= 225; ++i) {
        if (i == 1) // Pantone textile page 19: textile page 1019
            file.u8(2).u8(0).u8(0).u8(0).raw(le16(19)).u8(5).u8(0);
        else if (i == 200) // a free colour: kind 3 and above
            file.u8(7).u8(63).u8(32).u8(1).raw(le16(300)).u8(9).u8(0);
        else
            file.u8(3).u8(uint8_t(i % 64)).u8(0).u8(0).zeros(4);
    }
    ASSERT_EQ(file.data().size(), 1800);

    TPalette palette = paintedPalette();
    EXPECT_TRUE(palette.LoadFromBytes(file.data()));
    EXPECT_EQ(palette.UseColor, 40);
    expectRgb(palette, 0, {0, 0, 0});
    EXPECT_EQ(palette.GetColorData(1)->GetKind(), ColorKvTextile);
    EXPECT_EQ(palette.GetColorData(1)->PageNumber, 1019);
    EXPECT_EQ(palette.GetColorData(1)->ColorNumber, 5);
    // v -> v * 4 | v / 16: 63 -> 255, 32 -> 130, 1 -> 4; a free colour drops page and number.
    expectRgb(palette, 200, {255, 130, 4});
    EXPECT_EQ(palette.GetColorData(200)->PageNumber, 0);
    EXPECT_EQ(palette.GetColorData(200)->ColorNumber, 0);
    expectRgb(palette, 225, {(225 % 64) * 4 + (225 % 64) / 16, 0, 0});
    for (const int i : {226, 240, 255}) {
        expectRgb(palette, i, {i, i, i});
        EXPECT_EQ(palette.GetColorData(i)->ColorFlags, 0);
    }

    // Cut after ten and a half records: entries 1-10 are read, 11-225 stay, the grey tail and
    // black entry 0 are set all the same.
    TPalette shortPalette = paintedPalette();
    EXPECT_FALSE(shortPalette.LoadFromBytes(file.data().left(84)));
    expectRgb(shortPalette, 0, {0, 0, 0});
    expectRgb(shortPalette, 10, {40, 0, 0});
    expectRgb(shortPalette, 11, {11, 77, 244});
    expectRgb(shortPalette, 225, {225, 77, 30});
    expectRgb(shortPalette, 240, {240, 240, 240});
}

TEST(Palette, ShortAndHostileFilesKeepWhatTheyDoNotReach)
{
    Bytes file;
    file.raw(header(110));
    for (int i = 0; i < kPaletteSize; ++i)
        file.raw(record(ColorRecordCurrent, ColorKvTextile, uint16_t(i), 1, 1, 2, uint8_t(i)));
    const QByteArray full = file;
    TPalette reference;
    ASSERT_TRUE(reference.LoadFromBytes(full));

    // Every length from the magic on (shorter is the old layout): the complete records are
    // taken, the rest keep the painted colours.
    const TPalette painted = paintedPalette();
    for (qsizetype length = 2; length < full.size(); ++length) {
        TPalette palette = paintedPalette();
        EXPECT_FALSE(palette.LoadFromBytes(full.left(length)));
        const qsizetype complete = length < 4 ? 0 : (length - 4) / 9;
        for (int i = 0; i < kPaletteSize; ++i) {
            const TPalette &source = i < complete ? reference : painted;
            ASSERT_TRUE(palette.GetColorData(i)->Compare(*source.GetColorData(i)))
                << "length " << length << " entry " << i;
        }
    }

    // A user colour whose name claims more bytes than the file holds.
    const QByteArray hostile = header(110)
                               + record(ColorRecordCurrent, kUserColorFlag, 0, 0, 4, 5, 6)
                               + le16(0xFFFF) + QByteArray(100, 'x');
    TPalette palette = paintedPalette();
    EXPECT_FALSE(palette.LoadFromBytes(hostile));
    EXPECT_TRUE(palette.GetColorData(0)->Compare(*painted.GetColorData(0)));

    // Random damage never crashes or reads outside the data.
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round)
        palette.LoadFromBytes(test::corrupted(full, random, 1 + round % 12));
}

TEST(Palette, FilesAndEmbeddedRecords)
{
    test::TempDir dir;
    TPalette palette;
    palette.SetUserColor(5, ColorKvStandard, 12, 3, 200, 100, 50, "Spring.ucl", "Moss");
    palette.SetNormal(255, 1, 2, 3);
    palette.UseColor = 9;
    const QString path = dir.file(QStringLiteral("design.fcr"));
    QString error;
    ASSERT_TRUE(palette.SaveToFile(path, &error)) << qPrintable(error);

    // The written layout, checked against the table rather than against the reader.
    const QByteArray bytes = test::readFile(path);
    ASSERT_EQ(bytes.size(), 4 + 256 * 9 + 2 + 10 + 2 + 4);
    EXPECT_EQ(bytes.left(4), header(110));
    EXPECT_EQ(bytes.mid(4 + 5 * 9, 9 + 18),
              record(ColorRecordCurrent, kUserColorFlag | ColorKvStandard, 12, 3, 200, 100, 50)
                  + le16(10) + "Spring.ucl" + le16(4) + "Moss");
    EXPECT_EQ(bytes.right(9), record(ColorRecordCurrent, 0, 0, 0, 1, 2, 3));

    TPalette loaded = paintedPalette();
    ASSERT_TRUE(loaded.LoadFromFile(path, &error));
    EXPECT_EQ(loaded.UseColor, 40);
    for (int i = 0; i < kPaletteSize; ++i)
        EXPECT_TRUE(loaded.GetColorData(i)->Compare(*palette.GetColorData(i))) << i;
    EXPECT_EQ(loaded.ToRGBQUAD()[5], (RGBQUAD{50, 100, 200, 0}));

    // A missing file or folder: false with a reason, nothing changed.
    const QByteArray before = loaded.ToFileBytes();
    error.clear();
    EXPECT_FALSE(loaded.LoadFromFile(dir.file(QStringLiteral("missing.fcr")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(loaded.ToFileBytes(), before);
    error.clear();
    EXPECT_FALSE(palette.SaveToFile(dir.file(QStringLiteral("no/folder/x.fcr")), &error));
    EXPECT_FALSE(error.isEmpty());

    // Inside another file: 256 records in the old layout, no header, the reader left after them.
    Bytes embedded;
    embedded.raw("head");
    for (int i = 0; i < kPaletteSize; ++i)
        embedded.raw(record(ColorRecordOld, 0, 0, 0, uint8_t(i), 0, 9));
    embedded.i32(1234);
    ByteReader reader(embedded.data());
    reader.skip(4);
    TPalette inner;
    ASSERT_TRUE(inner.LoadFromFileHandle(reader, ColorRecordOld));
    expectRgb(inner, 254, {254, 0, 9});
    int32_t after = 0;
    EXPECT_TRUE(reader.readI32(after));
    EXPECT_EQ(after, 1234);
}

TEST(Palette, SetPaletteAndHlsWorkOnWholeEntries)
{
    TPalette source = paintedPalette();
    source.SetUserColor(7, ColorNormal, 0, 0, 1, 2, 3, "a.ucl", "b");
    TPalette copy;
    copy.SetPalette(source);
    EXPECT_EQ(copy.UseColor, 40);
    EXPECT_EQ(copy.ToFileBytes(), source.ToFileBytes());

    // HLS of an entry and back: a pure red stays pure red and becomes a free colour.
    copy.SetKvTextileColor(3, 1, 1, 255, 0, 0);
    double h = 0, l = 0, s = 0;
    copy.RGB2HLS(3, h, l, s);
    EXPECT_DOUBLE_EQ(h, 0.0);
    EXPECT_DOUBLE_EQ(l, 0.5);
    EXPECT_DOUBLE_EQ(s, 1.0);
    copy.HLS2RGB(7, h, l, s);
    expectRgb(copy, 7, {255, 0, 0});
    EXPECT_EQ(copy.GetColorData(7)->ColorFlags, 0);
    EXPECT_TRUE(copy.GetColorData(7)->FileName.isEmpty());

    // Indices outside the palette are ignored.
    EXPECT_EQ(copy.GetColorData(256), nullptr);
    EXPECT_EQ(copy.GetColorData(-1), nullptr);
    const QByteArray before = copy.ToFileBytes();
    copy.SetNormal(256, 1, 1, 1);
    copy.HLS2RGB(-1, 0, 0.5, 1);
    EXPECT_EQ(copy.ToFileBytes(), before);
}

namespace {

QString shippedColorFile(const char *name)
{
    return QStringLiteral(WARPLON_RESOURCES "/color/") + QLatin1String(name);
}

int distance(RGBQUAD a, RGBQUAD b)
{
    return std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen)
           + std::abs(a.rgbBlue - b.rgbBlue);
}

} // namespace

TEST(ShippedColorFiles, CataloguesAndDefaultPaletteAgree)
{
    // Both catalogues: mark "CL", version 100, pages in rising order, no colour twice.
    struct Catalogue
    {
        const char *file;
        int pages;
        int colours;
    };
    for (const Catalogue &c :
         {Catalogue{"Standard.kvc", 13, 456}, Catalogue{"Textile.kvc", 33, 1322}}) {
        const QByteArray bytes = test::readFile(shippedColorFile(c.file));
        EXPECT_EQ(bytes.left(4), QByteArrayLiteral("CL") + le16(100)) << c.file;
    }
    TStandardColor standard(shippedColorFile("Standard.kvc"));
    TTextileColor textile(shippedColorFile("Textile.kvc"));
    ASSERT_TRUE(standard.ErrorString().isEmpty()) << qPrintable(standard.ErrorString());
    ASSERT_TRUE(textile.ErrorString().isEmpty()) << qPrintable(textile.ErrorString());
    EXPECT_EQ(standard.PageCount(), 13);
    EXPECT_EQ(standard.EntryCount(), 456);
    EXPECT_EQ(textile.PageCount(), 33);
    EXPECT_EQ(textile.EntryCount(), 1322);
    for (const TColorCatalog *catalogue : {static_cast<const TColorCatalog *>(&standard),
                                           static_cast<const TColorCatalog *>(&textile)}) {
        std::set<TColor> seen;
        int previousPage = 0;
        for (const CatalogPage &page : catalogue->Pages()) {
            EXPECT_GT(page.number, previousPage);
            previousPage = page.number;
            for (const CatalogEntry &entry : page.entries)
                EXPECT_TRUE(seen.insert(RGB2TColor(entry.red, entry.green, entry.blue)).second)
                    << qPrintable(catalogue->Code(entry));
        }
    }
    // Our numbering: standard page * 100 + number; textile page, lightness and chroma step.
    QString code;
    ASSERT_TRUE(standard.PN2Code(3, 5, code));
    EXPECT_EQ(code, QStringLiteral("0305"));
    ASSERT_TRUE(textile.PN2Code(12, 12, code));
    EXPECT_EQ(code, QStringLiteral("12-0302"));
    int pageIndex = -1;
    int entryIndex = -1;
    ASSERT_TRUE(textile.SearchCode(QStringLiteral("50-1401"), pageIndex, entryIndex));
    EXPECT_EQ(pageIndex, 32);
    const RGBQUAD palest = textile.ToRGB(pageIndex, entryIndex);
    EXPECT_TRUE(palest.rgbRed == palest.rgbGreen && palest.rgbGreen == palest.rgbBlue);
    EXPECT_GT(palest.rgbRed, 240);

    // The default palette: black, white background, then textile colours that match the
    // catalogue, no two alike and none too close to another.
    const QByteArray bytes = test::readFile(shippedColorFile("Textile.fcr"));
    EXPECT_EQ(bytes.left(4), header(110));
    TPalette palette;
    ASSERT_TRUE(palette.LoadFromBytes(bytes));
    expectRgb(palette, 0, {0, 0, 0});
    expectRgb(palette, 1, {255, 255, 255});
    for (int i = 2; i < kPaletteSize; ++i) {
        const TColorData &entry = *palette.GetColorData(i);
        ASSERT_EQ(entry.GetKind(), ColorKvTextile) << i;
        bool found = false;
        for (const CatalogPage &page : textile.Pages()) {
            for (const CatalogEntry &e : page.entries) {
                if (page.number == entry.PageNumber && e.NumberInPage() == entry.ColorNumber) {
                    found = true;
                    EXPECT_EQ((RGBQUAD{e.blue, e.green, e.red, 0}), entry.color) << i;
                }
            }
        }
        EXPECT_TRUE(found) << i;
        for (int j = 0; j < i; ++j)
            EXPECT_GE(distance(entry.color, palette.GetColorData(j)->color), 10) << i << " " << j;
    }
    for (int i = 3; i < 16; ++i) // the greys of the first row go from dark to light
        EXPECT_GT(palette.GetColorData(i)->color.rgbRed, palette.GetColorData(i - 1)->color.rgbRed);
}
