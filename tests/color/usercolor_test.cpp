#include "base/bytestream.h"
#include "color/palette.h"
#include "color/usercolor.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace warplon;
using test::Bytes;

namespace {

// One 33-byte record: 22-byte zero-padded name, int32 kind, u16 page, u8 number, blue, green,
// red, reserved.
QByteArray record(const QByteArray &name, int32_t kind, uint16_t page, uint8_t number, uint8_t r,
                  uint8_t g, uint8_t b)
{
    Bytes bytes;
    bytes.raw(name).zeros(22 - int(name.size())).i32(kind);
    bytes.u8(uint8_t(page & 0xff)).u8(uint8_t(page >> 8)).u8(number);
    return bytes.u8(b).u8(g).u8(r).u8(0);
}

std::vector<UserColor> someColors(int count)
{
    std::vector<UserColor> colors;
    for (int i = 0; i < count; ++i) {
        UserColor color;
        color.name = "c" + QByteArray::number(i);
        color.kind = ColorKvTextile;
        color.page = uint16_t(100 + i);
        color.number = uint8_t(i);
        color.color = RGBQUAD{uint8_t(i), 0, 200, 0};
        colors.push_back(color);
    }
    return colors;
}

} // namespace

TEST(UserColors, ReadsRecordsFromTheFileLayout)
{
    const QByteArray longName(22, 'L');
    const QByteArray file = Bytes()
                                .i32(3)
                                .raw(record("Moss", ColorKvTextile, 1012, 7, 10, 20, 30))
                                .raw(record(longName, 0x00010003, 0xBEEF, 255, 1, 2, 3))
                                .raw(record("", -1, 0, 0, 255, 255, 255))
                                .raw("trailing bytes are not ours");
    ByteReader reader(file);
    std::vector<UserColor> colors = someColors(2);
    ASSERT_TRUE(ReadUserColors(reader, colors));
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].name, "Moss");
    EXPECT_EQ(colors[0].kind, ColorKvTextile);
    EXPECT_EQ(colors[0].page, 1012);
    EXPECT_EQ(colors[0].number, 7);
    EXPECT_EQ(colors[0].color, (RGBQUAD{30, 20, 10, 0}));
    // A name filling all 22 bytes keeps the 21 a terminated buffer holds.
    EXPECT_EQ(colors[1].name, QByteArray(21, 'L'));
    EXPECT_EQ(colors[1].kind, 0x00010003);
    EXPECT_EQ(colors[1].page, 0xBEEF);
    EXPECT_EQ(colors[2].kind, -1);

    // Written back, the layout is the same record for record.
    ByteWriter writer;
    WriteUserColors(writer, colors);
    EXPECT_EQ(writer.data(), Bytes()
                                 .i32(3)
                                 .raw(record("Moss", ColorKvTextile, 1012, 7, 10, 20, 30))
                                 .raw(record(QByteArray(21, 'L'), 0x00010003, 0xBEEF, 255, 1, 2, 3))
                                 .raw(record("", -1, 0, 0, 255, 255, 255))
                                 .data());
}

TEST(UserColors, CountsAndShortFiles)
{
    const QByteArray one = record("Moss", 4, 1, 1, 1, 1, 1);
    struct Case
    {
        const char *what;
        QByteArray file;
        bool ok;
        size_t colors;
    };
    const Case cases[] = {
        {"count 0 is an empty collection", Bytes().i32(0), true, 0},
        {"a negative count is an empty collection", Bytes().i32(-7).raw(one), true, 0},
        {"two records", Bytes().i32(2).raw(one).raw(one), true, 2},
        {"a count the file cannot hold", Bytes().i32(1000000).raw(one), false, 0},
        {"the largest count", Bytes().i32(0x7FFFFFFF).raw(one), false, 0},
        {"cut inside the second record frees the first", Bytes().i32(2).raw(one).raw(one.left(30)),
         false, 0},
        {"no count at all", QByteArray("\x01\x00", 2), false, 0},
        {"an empty file", QByteArray(), false, 0},
    };
    for (const Case &c : cases) {
        test::TempDir dir;
        const QString path = dir.file(QStringLiteral("colors.ucl"));
        ASSERT_TRUE(test::writeFile(path, c.file));
        std::vector<UserColor> colors = someColors(5);
        QString error;
        EXPECT_EQ(LoadUserColorFile(path, colors, &error), c.ok) << c.what;
        EXPECT_EQ(colors.size(), c.colors) << c.what;
        EXPECT_EQ(error.isEmpty(), c.ok) << c.what;
    }

    std::vector<UserColor> colors = someColors(5);
    QString error;
    EXPECT_FALSE(LoadUserColorFile(QStringLiteral("/no/such/colors.ucl"), colors, &error));
    EXPECT_TRUE(colors.empty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(UserColors, SaveReplacesTheFile)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("spring.ucl"));
    ASSERT_TRUE(test::writeFile(path, QByteArrayLiteral("an older, longer collection file")));
    const std::vector<UserColor> colors = someColors(3);
    QString error;
    ASSERT_TRUE(SaveUserColorFile(path, colors, &error)) << qPrintable(error);
    EXPECT_EQ(test::readFile(path).size(), 4 + 3 * 33);
    std::vector<UserColor> loaded;
    ASSERT_TRUE(LoadUserColorFile(path, loaded));
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[2].name, "c2");
    EXPECT_EQ(loaded[2].color, colors[2].color);

    EXPECT_FALSE(SaveUserColorFile(dir.file(QStringLiteral("no/folder/x.ucl")), colors, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(UserColors, LoadAllOnPaletteStopsAfterEntry251)
{
    struct Case
    {
        int chosen;
        int count;
        int stored;
    };
    const Case cases[] = {{230, 40, 22}, {245, 12, 7}, {2, 3, 3}, {251, 5, 1},
                          {252, 5, 0},   {-1, 5, 0},   {10, 0, 0}};
    for (const Case &c : cases) {
        TPalette palette;
        for (int i = 0; i < kPaletteSize; ++i)
            palette.SetNormal(i, 9, 9, 9);
        std::vector<UserColor> colors = someColors(c.count);
        if (c.count > 0)
            colors[0].kind = 0x00070003; // only the low 16 bits count
        std::vector<int> snapshots;
        const int stored = LoadAllOnPalette(colors, palette, c.chosen, "Noname-01",
                                            [&](int index) { snapshots.push_back(index); });
        EXPECT_EQ(stored, c.stored) << c.chosen;
        ASSERT_EQ(snapshots.size(), size_t(c.stored));
        for (int i = 0; i < kPaletteSize; ++i) {
            const TColorData &entry = *palette.GetColorData(i);
            const int k = i - c.chosen;
            if (k < 0 || k >= c.stored) {
                EXPECT_EQ(entry.ColorFlags, 0) << i;
                EXPECT_EQ(entry.color, (RGBQUAD{9, 9, 9, 0})) << i;
                continue;
            }
            EXPECT_EQ(snapshots[size_t(k)], i);
            EXPECT_EQ(entry.GetKind(),
                      kUserColorFlag | (k == 0 ? ColorKvStandard : ColorKvTextile));
            EXPECT_EQ(entry.PageNumber, 100 + k);
            EXPECT_EQ(entry.ColorNumber, k);
            EXPECT_EQ(entry.color, (RGBQUAD{uint8_t(k), 0, 200, 0}));
            EXPECT_EQ(entry.FileName, "Noname-01");
            EXPECT_EQ(entry.ColorName, "c" + QByteArray::number(k));
        }
    }
}
