#include "color/colorfinder.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <map>

using namespace warplon;
using test::Bytes;

namespace {

struct Record
{
    uint16_t flags = 0;
    uint16_t page = 0;
    uint8_t number = 0;
    uint8_t r = 0, g = 0, b = 0;
    QByteArray fileName;
    QByteArray colorName;
};

// A palette file: "CP", version, 256 colour records. Version above 100: flags u16, page u16,
// number u8, blue, green, red, reserved, and for a user colour (bit 4) two u16-counted names.
// Version 100 and below: flags, page, number, one unused byte, blue, green, red, reserved.
// Entries not given are free black.
QByteArray PaletteFile(const std::map<int, Record> &records, uint16_t version = 110)
{
    Bytes bytes;
    bytes.raw(QByteArrayLiteral("CP")).u16(version);
    for (int i = 0; i < 256; ++i) {
        const auto found = records.find(i);
        const Record r = found == records.end() ? Record{} : found->second;
        bytes.u16(r.flags).u16(r.page).u8(r.number);
        if (version <= 100)
            bytes.u8(0);
        bytes.u8(r.b).u8(r.g).u8(r.r).u8(0);
        if (version > 100 && (r.flags & 16)) {
            bytes.u16(uint16_t(r.fileName.size())).raw(r.fileName);
            bytes.u16(uint16_t(r.colorName.size())).raw(r.colorName);
        }
    }
    return bytes.data();
}

// The offset of record `index` in a version-110 palette file without user colours.
int RecordOffset(int index)
{
    return 4 + 9 * index;
}

// A user colour collection: int32 count, then 33-byte records of a 22-byte name, int32 kind,
// u16 page, u8 number, blue, green, red, reserved.
QByteArray Collection(int32_t count, const std::vector<Record> &records)
{
    Bytes bytes;
    bytes.i32(count);
    for (const Record &r : records) {
        bytes.raw(r.colorName).zeros(22 - int(r.colorName.size())).i32(int32_t(r.flags));
        bytes.u16(r.page).u8(r.number).u8(r.b).u8(r.g).u8(r.r).u8(0);
    }
    return bytes.data();
}

constexpr ColorIdentity kStandard{ColorKvStandard, 5, 1};
constexpr ColorIdentity kTextile{ColorKvTextile, 1019, 3};
constexpr ColorIdentity kPrinter{ColorNormal, 541, 0};

} // namespace

TEST(ColorFinder, IdentitiesAreTheKindsPalettesKeep)
{
    EXPECT_FALSE(ColorIdentityOf(ColorNormal, 0, 0)) << "a free colour has no code";
    EXPECT_FALSE(ColorIdentityOf(7, 5, 1)) << "no catalogue has kind 7";
    EXPECT_EQ(ColorIdentityOf(ColorNormal, 541, 0), kPrinter);
    // The user flag and the protect flag do not change where a colour comes from.
    EXPECT_EQ(ColorIdentityOf(kUserColorFlag | kProtectFlag | ColorKvStandard, 5, 1), kStandard);
    // Pantone colours are turned into the own catalogues' kinds, as loading a palette does.
    EXPECT_EQ(ColorIdentityOf(ColorPantone1000, 115, 9), (ColorIdentity{ColorKvStandard, 38, 9}));
    EXPECT_EQ(ColorIdentityOf(ColorPantoneTextile, 19, 3), kTextile);
    TColorData user;
    user.SetUserColor(ColorKvTextile, 1019, 3, 1, 2, 3, "Spring", "Sky");
    EXPECT_EQ(ColorIdentityOf(user), kTextile);
}

TEST(ColorFinder, PaletteBytesAreMatchedByIdentityOnly)
{
    const QByteArray palette
        = PaletteFile({{200, {ColorKvStandard, 5, 1, 100, 50, 50, {}, {}}},
                       {3, {kUserColorFlag | ColorKvTextile, 1019, 3, 9, 9, 9, "Spring", "Sky"}},
                       {4, {ColorNormal, 541, 0, 1, 2, 3, {}, {}}}});
    EXPECT_TRUE(PaletteBytesHold(palette, kStandard));
    EXPECT_TRUE(PaletteBytesHold(palette, kTextile)) << "a user colour keeps its catalogue";
    EXPECT_TRUE(PaletteBytesHold(palette, kPrinter)) << "the RGB need not be the atlas colour";
    EXPECT_FALSE(PaletteBytesHold(palette, ColorIdentity{ColorKvStandard, 5, 2}));
    EXPECT_FALSE(PaletteBytesHold(palette, ColorIdentity{ColorKvTextile, 5, 1}));

    // A file cut inside record 200 does not hold it; cut just after, it does.
    EXPECT_FALSE(PaletteBytesHold(palette.left(RecordOffset(200) + 8), kStandard));
    const QByteArray plain = PaletteFile({{200, {ColorKvStandard, 5, 1, 100, 50, 50, {}, {}}}});
    EXPECT_TRUE(PaletteBytesHold(plain.left(RecordOffset(201)), kStandard));
    EXPECT_FALSE(PaletteBytesHold(plain.left(RecordOffset(200) + 8), kStandard));
    EXPECT_FALSE(PaletteBytesHold(QByteArrayLiteral("CP"), kStandard));
    EXPECT_FALSE(PaletteBytesHold(QByteArray(), kStandard));

    // The old 10-byte records of version 100.
    EXPECT_TRUE(PaletteBytesHold(
        PaletteFile({{17, {ColorKvTextile, 1019, 3, 1, 1, 1, {}, {}}}}, 100), kTextile));
    // The palette from before the header: 8-byte records of kind, 6-bit red, green, blue, u16
    // page and number for entries 1-225; a Pantone 1000 record on page 115 is a standard
    // colour of page 38.
    Bytes legacy;
    for (int entry = 1; entry <= 225; ++entry) {
        if (entry == 30)
            legacy.u8(1).u8(10).u8(20).u8(30).u16(115).u8(9).u8(0);
        else
            legacy.u8(3).u8(0).u8(0).u8(0).u16(0).u8(0).u8(0);
    }
    EXPECT_TRUE(PaletteBytesHold(legacy.data(), ColorIdentity{ColorKvStandard, 38, 9}));
}

TEST(ColorFinder, CollectionsThatCannotBeOpenedHoldNothing)
{
    const Record sky{ColorKvTextile, 1019, 3, 1, 2, 3, {}, "Sky"};
    const Record grey{ColorNormal, 541, 0, 1, 2, 3, {}, "Grey"};
    EXPECT_TRUE(UserColorBytesHold(Collection(2, {grey, sky}), kTextile));
    EXPECT_TRUE(UserColorBytesHold(Collection(2, {grey, sky}), kPrinter));
    EXPECT_FALSE(UserColorBytesHold(Collection(2, {grey, sky}), kStandard));
    // Only the low 16 bits of the kind count.
    Record high = sky;
    high.flags = ColorKvTextile;
    QByteArray highKind = Collection(1, {high});
    highKind[4 + 22 + 2] = char(1);
    EXPECT_TRUE(UserColorBytesHold(highKind, kTextile));
    // A count beyond the records, a record cut short, a count of 0 or below.
    EXPECT_FALSE(UserColorBytesHold(Collection(3, {grey, sky}), kTextile));
    EXPECT_FALSE(UserColorBytesHold(Collection(2, {grey, sky}).chopped(1), kTextile));
    EXPECT_FALSE(UserColorBytesHold(Collection(0, {sky}), kTextile));
    EXPECT_FALSE(UserColorBytesHold(Collection(-1, {sky}), kTextile));
    EXPECT_FALSE(UserColorBytesHold(Collection(0x7fffffff, {sky}), kTextile));
}

TEST(ColorFinder, FilesAreFoundInTheFolderAndOptionallyBelow)
{
    test::TempDir dir;
    const QString color = dir.file(QStringLiteral("color"));
    ASSERT_TRUE(QDir().mkpath(color + QStringLiteral("/sub/deeper")));
    ASSERT_TRUE(QDir().mkpath(color + QStringLiteral("/empty")));
    const Record standard{ColorKvStandard, 5, 1, 100, 50, 50, {}, "Red"};
    const Record other{ColorKvStandard, 5, 2, 0, 0, 200, {}, "Blue"};
    const QByteArray holds = PaletteFile({{20, standard}});
    auto write = [&color](const QString &name, const QByteArray &bytes) {
        ASSERT_TRUE(test::writeFile(color + u'/' + name, bytes)) << name.toStdString();
    };
    write(QStringLiteral("a.fcr"), holds);
    write(QStringLiteral("b.ucl"), Collection(2, {other, standard}));
    write(QStringLiteral("c.fcr"), PaletteFile({{20, other}}));
    write(QStringLiteral("d.txt"), holds);
    write(QStringLiteral("E.FCR"), holds);
    write(QStringLiteral("cut.fcr"), holds.left(RecordOffset(20) + 4));
    write(QStringLiteral("cut.ucl"), Collection(3, {other, standard}));
    write(QStringLiteral("sub/f.ucl"), Collection(1, {standard}));
    write(QStringLiteral("sub/deeper/g.fcr"), holds);
    write(QStringLiteral("sub/deeper/h.fcr"), PaletteFile({}));

    EXPECT_EQ(
        FindColorFiles(color, kStandard, false),
        QStringList({QStringLiteral("a.fcr"), QStringLiteral("b.ucl"), QStringLiteral("E.FCR")}));
    EXPECT_EQ(
        FindColorFiles(color, kStandard, true),
        QStringList({QStringLiteral("a.fcr"), QStringLiteral("b.ucl"), QStringLiteral("E.FCR"),
                     QStringLiteral("sub/deeper/g.fcr"), QStringLiteral("sub/f.ucl")}));
    EXPECT_EQ(FindColorFiles(color, ColorIdentity{ColorKvStandard, 5, 2}, true),
              QStringList({QStringLiteral("b.ucl"), QStringLiteral("c.fcr")}));
    EXPECT_TRUE(FindColorFiles(color, kTextile, true).isEmpty());
    EXPECT_TRUE(FindColorFiles(dir.file(QStringLiteral("missing")), kStandard, true).isEmpty());
}
