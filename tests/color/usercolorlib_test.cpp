#include "color/colorcatalogs.h"
#include "color/colordata.h"
#include "color/usercolorlib.h"
#include "colortestfiles.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace warplon;
using test::Bytes;
using test::StandardChip;
using test::TextileChip;

namespace {

// One 33-byte ".ucl" record: 22-byte zero-padded name, int32 kind, u16 page, u8 number, blue,
// green, red, reserved.
QByteArray Record(const QByteArray &name, int32_t kind, uint16_t page, uint8_t number, uint8_t r,
                  uint8_t g, uint8_t b)
{
    return Bytes()
        .raw(name)
        .zeros(22 - int(name.size()))
        .i32(kind)
        .u16(page)
        .u8(number)
        .u8(b)
        .u8(g)
        .u8(r)
        .u8(0);
}

UserColor Named(const QByteArray &name, uint8_t red)
{
    return FreeUserColor(RGBQUAD{0, 0, red, 0}, name);
}

std::vector<QByteArray> Names(const std::vector<UserColor> &colors)
{
    std::vector<QByteArray> names;
    for (const UserColor &c : colors)
        names.push_back(c.name);
    return names;
}

} // namespace

TEST(UserColorNames, KeepWholeCharactersWithinTheField)
{
    // Seven Hangul syllables fill 21 bytes; the eighth does not fit.
    const QString korean = QStringLiteral("가나다라마바사아");
    EXPECT_EQ(UserColorNameBytes(korean), QStringLiteral("가나다라마바사").toUtf8());
    EXPECT_EQ(UserColorNameBytes(korean).size(), kUserColorNameMaxBytes);
    // 20 ASCII bytes leave one byte: too few for a 3-byte syllable or a 2-byte letter.
    const QString twenty(20, u'a');
    EXPECT_EQ(UserColorNameBytes(twenty + QStringLiteral("가")), twenty.toUtf8());
    EXPECT_EQ(UserColorNameBytes(twenty + QStringLiteral("é")), twenty.toUtf8());
    EXPECT_EQ(UserColorNameBytes(twenty + QStringLiteral("z")).size(), 21);
    // A character outside the basic plane is two UTF-16 units and four bytes; it is never split.
    const QString seventeen(17, u'b');
    const QString emoji = QString::fromUcs4(U"\U0001F9F5");
    EXPECT_EQ(UserColorNameBytes(seventeen + emoji), (seventeen + emoji).toUtf8());
    EXPECT_EQ(UserColorNameBytes(QStringLiteral("bb") + seventeen + emoji),
              (QStringLiteral("bb") + seventeen).toUtf8());
    EXPECT_EQ(UserColorNameBytes(QStringLiteral("Undefined")), QByteArray("Undefined"));
    EXPECT_EQ(UserColorNameBytes(QStringLiteral("Moss") + QChar(0) + QStringLiteral("x")),
              QByteArray("Moss"));
    EXPECT_EQ(UserColorNameText(QStringLiteral("이끼").toUtf8()), QStringLiteral("이끼"));

    // Editing: what was typed or pasted just before the cursor goes first.
    struct Case
    {
        const char *what;
        QString text;
        int cursor;
        QString fitted;
        int fittedCursor;
    };
    const QString full = QStringLiteral("가나다라마바사"); // 21 bytes
    const Case cases[] = {
        {"fits", QStringLiteral("Moss"), 2, QStringLiteral("Moss"), 2},
        {"typed at the end", full + QStringLiteral("x"), 8, full, 7},
        {"typed in the middle", QStringLiteral("가나x다라마바사"), 3, full, 2},
        {"pasted in the middle keeps what fits",
         QStringLiteral("가") + QStringLiteral("0123456789ABCDEF") + QStringLiteral("나다"), 17,
         QStringLiteral("가0123456789AB나다"), 13},
        {"cursor at the start cuts the end", QStringLiteral("xy") + full, 0,
         QStringLiteral("xy가나다라마바"), 0},
        {"cursor inside a surrogate pair", QString(20, u'c') + emoji, 21, QString(20, u'c'), 20},
    };
    for (const Case &c : cases) {
        QString text = c.text;
        int cursor = c.cursor;
        EXPECT_EQ(FitUserColorName(text, cursor), c.text != c.fitted) << c.what;
        EXPECT_EQ(text, c.fitted) << c.what;
        EXPECT_EQ(cursor, c.fittedCursor) << c.what;
        EXPECT_LE(text.toUtf8().size(), kUserColorNameMaxBytes) << c.what;
    }
}

TEST(UserColorBooks, CodesAreLookedUpInTheChosenBookOnly)
{
    test::TempDir dir;
    ASSERT_TRUE(
        test::WriteColorFile(dir.path(), QStringLiteral("Standard.kvc"),
                             test::StandardCatalogFile(5, {StandardChip{1, 42, 100, 50, 50},
                                                           StandardChip{2, 7, 0, 0, 200}})));
    ASSERT_TRUE(
        test::WriteColorFile(dir.path(), QStringLiteral("Textile.kvc"),
                             test::TextileCatalogFile(19, {TextileChip{3, 19, 52, 100, 50, 70}})));
    const ColorCatalogs catalogs(dir.path());
    ASSERT_FALSE(catalogs.HasPantone());

    struct Case
    {
        UserColorBook book;
        const char *code;
        bool found;
        int32_t kind;
        uint16_t page;
        uint8_t number;
        RGBQUAD rgb;
        const char *shownCode;
    };
    const Case cases[] = {
        {UserColorBook::KvStandard, "0042", true, ColorKvStandard, 5, 1, {50, 50, 100, 0}, "0042"},
        {UserColorBook::KvStandard, " 0007 ", true, ColorKvStandard, 5, 2, {200, 0, 0, 0}, "0007"},
        {UserColorBook::KvTextile,
         "19-0052",
         true,
         ColorKvTextile,
         19,
         3,
         {70, 50, 100, 0},
         "19-0052"},
        // The grey page of the atlas: index 37, column 1, step 1 is atlas page 541, step 0.
        {UserColorBook::Printer, "37-1:1", true, ColorNormal, 541, 0, {6, 6, 6, 0}, "37-1:1"},
        {UserColorBook::Printer, "37-01:01", true, ColorNormal, 541, 0, {6, 6, 6, 0}, "37-1:1"},
        {UserColorBook::Printer, "37-08:01", false, 0, 0, 0, {}, ""},
        // A code of another book is not found in this one.
        {UserColorBook::KvStandard, "19-0052", false, 0, 0, 0, {}, ""},
        {UserColorBook::KvTextile, "0042", false, 0, 0, 0, {}, ""},
        {UserColorBook::Printer, "0042", false, 0, 0, 0, {}, ""},
        {UserColorBook::Normal, "0042", false, 0, 0, 0, {}, ""},
        {UserColorBook::KvStandard, "   ", false, 0, 0, 0, {}, ""},
        // The Pantone books are empty where the catalogues are not installed.
        {UserColorBook::Pantone1000, "0042", false, 0, 0, 0, {}, ""},
        {UserColorBook::PantoneTextile, "19-0052", false, 0, 0, 0, {}, ""},
    };
    for (const Case &c : cases) {
        const std::optional<UserColor> found
            = LookUpUserColorCode(catalogs, c.book, QString::fromLatin1(c.code));
        ASSERT_EQ(found.has_value(), c.found) << c.code;
        if (!found)
            continue;
        EXPECT_EQ(found->kind, c.kind) << c.code;
        EXPECT_EQ(found->page, c.page) << c.code;
        EXPECT_EQ(found->number, c.number) << c.code;
        EXPECT_TRUE(found->name.isEmpty());
        if (c.book != UserColorBook::Printer)
            EXPECT_EQ(found->color, c.rgb) << c.code;
        else
            EXPECT_EQ(found->color, TPrinterColor::AtlasRGB(36, 0, 0));
        // The colour knows its book and shows its code again.
        EXPECT_EQ(BookOfUserColor(*found), c.book) << c.code;
        EXPECT_EQ(UserColorCode(catalogs, *found), QString::fromLatin1(c.shownCode)) << c.code;
    }

    UserColor other = FreeUserColor(RGBQUAD{1, 2, 3, 9}, "Sky");
    EXPECT_EQ(other.color, (RGBQUAD{1, 2, 3, 0}));
    EXPECT_EQ(BookOfUserColor(other), UserColorBook::Normal);
    EXPECT_TRUE(UserColorCode(catalogs, other).isEmpty());
    // Kinds keep their low 16 bits only; unknown kinds are free colours.
    other.kind = 0x00010004;
    EXPECT_EQ(BookOfUserColor(other), UserColorBook::KvTextile);
    other.kind = 9;
    EXPECT_EQ(BookOfUserColor(other), UserColorBook::Normal);
    other.kind = ColorPantone1000;
    EXPECT_EQ(BookOfUserColor(other), UserColorBook::Pantone1000);
    EXPECT_TRUE(IsPantoneBook(UserColorBook::Pantone1000));
    EXPECT_TRUE(IsPantoneBook(UserColorBook::PantoneTextile));
    EXPECT_FALSE(IsPantoneBook(UserColorBook::KvTextile));
    // A standard entry the catalogue no longer holds has no code.
    other.kind = ColorKvStandard;
    other.page = 6;
    EXPECT_TRUE(UserColorCode(catalogs, other).isEmpty());
}

TEST(UserColorCollections, EditPickAndFiles)
{
    UserColorCollection collection;
    EXPECT_EQ(collection.Caption(), QStringLiteral("Noname-01"));
    EXPECT_TRUE(collection.Path().isEmpty());
    for (const char *name : {"a", "b", "c", "d", "e", "f"})
        collection.Append(Named(name, uint8_t(name[0])));
    EXPECT_TRUE(collection.Replace(2, Named("C", 1)));
    EXPECT_FALSE(collection.Replace(6, Named("x", 1)));
    EXPECT_FALSE(collection.Replace(-1, Named("x", 1)));
    // Picked cells come in collection order, each once, whatever order they were selected in.
    EXPECT_EQ(Names(collection.Pick({5, 0, 2, 2, 9, -1})),
              (std::vector<QByteArray>{"a", "C", "f"}));
    EXPECT_EQ(collection.Remove({4, 1, 1, 7, -2}), 2);
    EXPECT_EQ(Names(collection.Colors()), (std::vector<QByteArray>{"a", "C", "d", "f"}));

    test::TempDir dir;
    const QString spring = dir.file(QStringLiteral("spring.ucl"));
    QString error;
    ASSERT_TRUE(collection.Save(spring, &error)) << qPrintable(error);
    EXPECT_EQ(collection.Caption(), QStringLiteral("spring.ucl"));
    EXPECT_EQ(collection.CaptionBytes(), QByteArray("spring.ucl"));
    EXPECT_EQ(test::readFile(spring).left(4 + 33),
              Bytes().i32(4).raw(Record("a", 0, 0, 0, 'a', 0, 0)).data());

    collection.New();
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_EQ(collection.Caption(), QStringLiteral("Noname-01"));
    EXPECT_TRUE(collection.Path().isEmpty());

    ASSERT_TRUE(collection.Load(spring));
    EXPECT_EQ(Names(collection.Colors()), (std::vector<QByteArray>{"a", "C", "d", "f"}));
    EXPECT_EQ(collection.Path(), QFileInfo(spring).absoluteFilePath());

    // A renamed file carries the collection with it; another file's rename does not.
    const QString autumn = dir.file(QStringLiteral("autumn.ucl"));
    collection.FileRenamed(dir.file(QStringLiteral("other.ucl")), autumn);
    EXPECT_EQ(collection.Caption(), QStringLiteral("spring.ucl"));
    collection.FileRenamed(spring, autumn);
    EXPECT_EQ(collection.Caption(), QStringLiteral("autumn.ucl"));
    EXPECT_EQ(collection.Path(), QFileInfo(autumn).absoluteFilePath());

    // A file cut inside its second record leaves the collection empty under the file's name.
    const QString cut = dir.file(QStringLiteral("cut.ucl"));
    const QByteArray one = Record("Moss", ColorKvTextile, 19, 3, 1, 2, 3);
    ASSERT_TRUE(test::writeFile(cut, Bytes().i32(2).raw(one).raw(one.left(20))));
    EXPECT_FALSE(collection.Load(cut, &error));
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_EQ(collection.Caption(), QStringLiteral("cut.ucl"));
    EXPECT_FALSE(error.isEmpty());
    // A count of 0 is an empty collection that opened well.
    const QString empty = dir.file(QStringLiteral("empty.ucl"));
    ASSERT_TRUE(test::writeFile(empty, Bytes().i32(0)));
    EXPECT_TRUE(collection.Load(empty));
    EXPECT_EQ(collection.Count(), 0);
    // A failed save keeps the collection's file and name.
    ASSERT_TRUE(collection.Load(spring));
    EXPECT_FALSE(collection.Save(dir.file(QStringLiteral("no/folder/x.ucl"))));
    EXPECT_EQ(collection.Caption(), QStringLiteral("spring.ucl"));
}

TEST(UserColorFiles, NamesAndFolder)
{
    EXPECT_EQ(UserColorFolder(QStringLiteral("/opt/warplon")),
              QStringLiteral("/opt/warplon/color"));
    EXPECT_EQ(WithUserColorExtension(QStringLiteral("spring")), QStringLiteral("spring.ucl"));
    EXPECT_EQ(WithUserColorExtension(QStringLiteral("spring.UCL")), QStringLiteral("spring.UCL"));
    EXPECT_EQ(WithUserColorExtension(QStringLiteral("spring.txt")),
              QStringLiteral("spring.txt.ucl"));
    EXPECT_EQ(WithUserColorExtension(QStringLiteral("ucl")), QStringLiteral("ucl.ucl"));
    EXPECT_TRUE(IsFileMask(QStringLiteral("*.ucl")));
    EXPECT_TRUE(IsFileMask(QStringLiteral("spr?ng.ucl")));
    EXPECT_FALSE(IsFileMask(QStringLiteral("spring.ucl")));
    EXPECT_EQ(UserColorCollection::NewFileName(), QStringLiteral("noname.ucl"));
}
