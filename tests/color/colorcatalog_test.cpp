#include "color/colorcatalog.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace warplon;
using test::Bytes;

namespace {

// Low byte first. (Not QByteArray{lo, hi}: that is the size-and-fill constructor.)
QByteArray u16le(uint16_t v)
{
    return Bytes().u8(uint8_t(v & 0xff)).u8(uint8_t(v >> 8));
}

QByteArray header(const char *mark, uint16_t version, uint16_t pages)
{
    return QByteArray(mark, 2) + u16le(version) + u16le(pages);
}

QByteArray pageHead(uint16_t number, uint16_t entries)
{
    return u16le(number) + u16le(entries);
}

// Standard entry: number, code, reserved, red, green, blue.
QByteArray standardEntry(uint16_t number, uint16_t code, uint8_t r, uint8_t g, uint8_t b)
{
    return Bytes().raw(u16le(number)).raw(u16le(code)).u8(0x5A).u8(r).u8(g).u8(b);
}

// Textile entry: number, first and second code numbers, reserved, red, green, blue.
QByteArray textileEntry(uint16_t number, uint16_t part1, uint16_t part2, uint8_t r, uint8_t g,
                        uint8_t b)
{
    return Bytes().raw(u16le(number)).raw(u16le(part1)).raw(u16le(part2)).u8(0).u8(r).u8(g).u8(b);
}

std::unique_ptr<TColorCatalog> openCatalog(CatalogKind kind, const QString &file)
{
    switch (kind) {
    case CatalogKind::Standard:
        return std::make_unique<TStandardColor>(file);
    case CatalogKind::Textile:
        return std::make_unique<TTextileColor>(file);
    case CatalogKind::Pantone1000:
        return std::make_unique<TPantone1000>(file);
    case CatalogKind::PantoneTextile:
        return std::make_unique<TPantoneTextile>(file);
    }
    return nullptr;
}

// "page:code=r,g,b" of every entry, in file order, joined with " | ".
std::string listing(const TColorCatalog &catalog)
{
    QStringList lines;
    for (const CatalogPage &page : catalog.Pages())
        for (const CatalogEntry &e : page.entries)
            lines << QStringLiteral("%1:%2=%3,%4,%5")
                         .arg(page.number)
                         .arg(catalog.Code(e))
                         .arg(e.red)
                         .arg(e.green)
                         .arg(e.blue);
    return lines.join(QLatin1String(" | ")).toStdString();
}

std::string joined(const QStringList &lines)
{
    return lines.join(QLatin1String(" | ")).toStdString();
}

// Three pages: 5 with two colours, 9 empty, 12 with one.
QByteArray standardFile()
{
    return header("CL", 100, 3) + pageHead(5, 2) + standardEntry(0x0101, 7, 10, 20, 30)
           + standardEntry(0x0102, 12345, 200, 100, 50) + pageHead(9, 0) + pageHead(12, 1)
           + standardEntry(0x0C01, 42, 10, 20, 31);
}

} // namespace

TEST(ColorCatalog, StandardCatalogueLookups)
{
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("Standard.kvc"));
    ASSERT_TRUE(test::writeFile(file, standardFile()));
    TStandardColor catalog(file);
    ASSERT_TRUE(catalog.ErrorString().isEmpty()) << qPrintable(catalog.ErrorString());
    EXPECT_EQ(listing(catalog), "5:0007=10,20,30 | 5:12345=200,100,50 | 12:0042=10,20,31");
    EXPECT_EQ(catalog.Pages()[0].entries[0].reserved, 0x5A);

    uint16_t pageNumber = 0;
    const CatalogEntry *entry = catalog.Search(0, 1, pageNumber);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->code, 12345);
    EXPECT_EQ(pageNumber, 5);
    pageNumber = 77;
    EXPECT_EQ(catalog.Search(0, 2, pageNumber), nullptr);
    EXPECT_EQ(catalog.Search(1, 0, pageNumber), nullptr); // the empty page
    EXPECT_EQ(catalog.Search(3, 0, pageNumber), nullptr);
    EXPECT_EQ(catalog.Search(-1, 0, pageNumber), nullptr);
    EXPECT_EQ(pageNumber, 77);

    // The first page whose number is at least the one asked for; none gives 0.
    const std::pair<uint16_t, int> pages[] = {{0, 0}, {5, 0}, {6, 1}, {9, 1}, {10, 2}, {13, 0}};
    for (const auto &[number, index] : pages)
        EXPECT_EQ(catalog.SearchPage(number), index) << number;

    int pageIndex = 0;
    int entryIndex = 0;
    EXPECT_TRUE(catalog.SearchCode(QStringLiteral("0042"), pageIndex, entryIndex));
    EXPECT_EQ(pageIndex * 10 + entryIndex, 20);
    EXPECT_FALSE(catalog.SearchCode(QStringLiteral("42"), pageIndex, entryIndex));
    EXPECT_EQ(pageIndex + entryIndex, -2);

    QString code = QStringLiteral("unchanged");
    EXPECT_TRUE(catalog.PN2Code(5, 2, code));
    EXPECT_EQ(code, QStringLiteral("12345"));
    EXPECT_FALSE(catalog.PN2Code(5, 3, code));
    EXPECT_FALSE(catalog.PN2Code(12, 2, code));
    EXPECT_EQ(code, QStringLiteral("12345"));

    EXPECT_EQ(catalog.ToRGB(2, 0), (RGBQUAD{31, 20, 10, 0}));
    EXPECT_EQ(catalog.ToRGB(1, 0), RGBQUAD());
}

TEST(ColorCatalog, NearestEntryTieBreaking)
{
    // Pages visited in list order, entries in file order.
    const QByteArray bytes = header("CL", 100, 2) + pageHead(1, 3) + standardEntry(1, 1, 23, 20, 20)
                             + standardEntry(2, 2, 10, 12, 10) + standardEntry(3, 3, 100, 100, 100)
                             + pageHead(2, 2) + standardEntry(1, 4, 21, 21, 21)
                             + standardEntry(2, 5, 12, 10, 10);
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("Standard.kvc"));
    ASSERT_TRUE(test::writeFile(file, bytes));
    TStandardColor catalog(file);
    struct Case
    {
        int r, g, b;
        const char *code;
    };
    const Case cases[] = {
        {20, 20, 20, "0004"}, // 23,20,20 and 21,21,21 both 3 away: the flatter one wins
        {10, 10, 10, "0002"}, // 10,12,10 and 12,10,10 tie fully: the first visited wins
        {100, 100, 100, "0003"}, {255, 255, 255, "0003"}, {21, 21, 21, "0004"}, // exact
    };
    for (const Case &c : cases) {
        int pageIndex = -1;
        int entryIndex = -1;
        ASSERT_TRUE(
            catalog.SearchRGB(uint8_t(c.r), uint8_t(c.g), uint8_t(c.b), pageIndex, entryIndex));
        uint16_t pageNumber = 0;
        const CatalogEntry *entry = catalog.Search(pageIndex, entryIndex, pageNumber);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(catalog.Code(*entry), QLatin1String(c.code)) << c.r << " " << c.g << " " << c.b;
    }

    // Only an empty catalogue finds nothing, even with pages.
    ASSERT_TRUE(test::writeFile(file, header("CL", 100, 1) + pageHead(3, 0)));
    ASSERT_TRUE(catalog.Reload());
    int pageIndex = 5;
    int entryIndex = 5;
    EXPECT_FALSE(catalog.SearchRGB(1, 2, 3, pageIndex, entryIndex));
    EXPECT_EQ(pageIndex + entryIndex, -2);
}

TEST(ColorCatalog, EveryLayoutReadsBackToItsEntries)
{
    struct Case
    {
        const char *what;
        CatalogKind kind;
        QByteArray bytes;
        QStringList expected;
    };
    // Pantone 1000 entries: number, code (bit 15: a name of the low 15 bits' length follows
    // at the end), reserved, red, green, blue.
    const QByteArray namedNow = Bytes()
                                    .raw(u16le(1))
                                    .raw(u16le(0x8005))
                                    .u8(0)
                                    .u8(200)
                                    .u8(40)
                                    .u8(20)
                                    .raw(QByteArray("WARM\0", 5));
    const QByteArray plainNow = Bytes().raw(u16le(2)).raw(u16le(115)).u8(0).u8(1).u8(2).u8(3);
    // Before version 300: 6-bit channels and 20 (version 200) or 12 unused bytes after the
    // colour, before the name.
    const auto namedOld = [](int unused) {
        return Bytes()
            .raw(u16le(1))
            .raw(u16le(0x8003))
            .u8(0)
            .u8(63)
            .u8(32)
            .u8(1)
            .zeros(unused)
            .raw("Red");
    };
    // Without the mark: four ignored bytes, the page count, and entries whose unused block
    // comes before the colour (12 bytes for Pantone 1000, 8 for Pantone textile).
    const QByteArray unmarkedPantone1000 = Bytes()
                                               .raw("xyzw")
                                               .raw(u16le(1))
                                               .raw(pageHead(7, 2))
                                               .raw(u16le(1))
                                               .raw(u16le(0x8002))
                                               .zeros(12)
                                               .u8(0)
                                               .u8(63)
                                               .u8(0)
                                               .u8(16)
                                               .raw("Ox")
                                               .raw(u16le(2))
                                               .raw(u16le(300))
                                               .zeros(12)
                                               .u8(0)
                                               .u8(1)
                                               .u8(2)
                                               .u8(3);
    const QByteArray unmarkedPantoneTextile = Bytes()
                                                  .raw("\x01\x02\x03\x04")
                                                  .raw(u16le(1))
                                                  .raw(pageHead(19, 1))
                                                  .raw(u16le(1))
                                                  .raw(u16le(19))
                                                  .raw(u16le(52))
                                                  .zeros(8)
                                                  .u8(0)
                                                  .u8(16)
                                                  .u8(32)
                                                  .u8(48);
    const auto textileOld = [](uint16_t version, int unused) {
        return header("CL", version, 1) + pageHead(19, 1)
               + Bytes()
                     .raw(u16le(1))
                     .raw(u16le(19))
                     .raw(u16le(52))
                     .u8(0)
                     .u8(63)
                     .u8(32)
                     .u8(1)
                     .zeros(unused);
    };
    const std::vector<Case> cases = {
        {"textile",
         CatalogKind::Textile,
         header("CL", 100, 2) + pageHead(1019, 2) + textileEntry(1, 19, 52, 1, 2, 3)
             + textileEntry(2, 5, 12345, 4, 5, 6) + pageHead(1020, 1)
             + textileEntry(1, 100, 0, 7, 8, 9),
         {QStringLiteral("1019:19-0052=1,2,3"), QStringLiteral("1019:5-12345=4,5,6"),
          QStringLiteral("1020:100-0000=7,8,9")}},
        {"standard file of another version",
         CatalogKind::Standard,
         header("CL", 250, 1) + pageHead(1, 1) + standardEntry(1, 9, 63, 64, 65),
         {QStringLiteral("1:0009=63,64,65")}},
        {"pantone 1000 version 300",
         CatalogKind::Pantone1000,
         header("CL", 300, 1) + pageHead(21, 2) + namedNow + plainNow,
         {QStringLiteral("21:WARM=200,40,20"), QStringLiteral("21:0115=1,2,3")}},
        {"pantone 1000 version 200",
         CatalogKind::Pantone1000,
         header("CL", 200, 1) + pageHead(21, 1) + namedOld(20),
         {QStringLiteral("21:Red=255,130,4")}},
        {"pantone 1000 version 150",
         CatalogKind::Pantone1000,
         header("CL", 150, 1) + pageHead(21, 1) + namedOld(12),
         {QStringLiteral("21:Red=255,130,4")}},
        {"pantone 1000 unmarked",
         CatalogKind::Pantone1000,
         unmarkedPantone1000,
         {QStringLiteral("7:Ox=255,0,65"), QStringLiteral("7:0300=4,8,12")}},
        {"pantone textile version 300",
         CatalogKind::PantoneTextile,
         header("CL", 300, 1) + pageHead(19, 1) + textileEntry(1, 19, 52, 250, 251, 252),
         {QStringLiteral("19:19-0052=250,251,252")}},
        {"pantone textile version 200",
         CatalogKind::PantoneTextile,
         textileOld(200, 20),
         {QStringLiteral("19:19-0052=255,130,4")}},
        {"pantone textile version 0",
         CatalogKind::PantoneTextile,
         textileOld(0, 12),
         {QStringLiteral("19:19-0052=255,130,4")}},
        {"pantone textile unmarked",
         CatalogKind::PantoneTextile,
         unmarkedPantoneTextile,
         {QStringLiteral("19:19-0052=65,130,195")}},
    };
    test::TempDir dir;
    for (const Case &c : cases) {
        const QString file = dir.file(QStringLiteral("catalogue"));
        ASSERT_TRUE(test::writeFile(file, c.bytes));
        const auto catalog = openCatalog(c.kind, file);
        EXPECT_TRUE(catalog->ErrorString().isEmpty())
            << c.what << ": " << qPrintable(catalog->ErrorString());
        EXPECT_EQ(listing(*catalog), joined(c.expected)) << c.what;

        // Saved, every layout becomes the current one and reads back to the same entries;
        // a file already in the current layout comes back byte for byte.
        ASSERT_TRUE(catalog->Save()) << qPrintable(catalog->ErrorString());
        const QByteArray saved = test::readFile(file);
        const uint16_t version
            = c.kind == CatalogKind::Pantone1000 || c.kind == CatalogKind::PantoneTextile ? 300
                                                                                          : 100;
        EXPECT_EQ(saved.left(4), QByteArrayLiteral("CL") + u16le(version)) << c.what;
        if (c.bytes.mid(2, 2) == u16le(version)) {
            EXPECT_EQ(saved, c.bytes) << c.what;
        }
        ASSERT_TRUE(catalog->Reload()) << c.what;
        EXPECT_EQ(listing(*catalog), joined(c.expected)) << c.what;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("catalogue")});
}

TEST(ColorCatalog, CodeSearchCaseRules)
{
    test::TempDir dir;
    const QString thousand = dir.file(QStringLiteral("Thousand.ptc"));
    ASSERT_TRUE(test::writeFile(thousand, header("CL", 300, 1) + pageHead(21, 2)
                                              + Bytes()
                                                    .raw(u16le(1))
                                                    .raw(u16le(0x8005))
                                                    .u8(0)
                                                    .u8(1)
                                                    .u8(2)
                                                    .u8(3)
                                                    .raw(QByteArray("WARM\0", 5))
                                              + Bytes().raw(u16le(2)).raw(u16le(7)).zeros(4)));
    TPantone1000 pantone(thousand);
    int pageIndex = -1;
    int entryIndex = -1;
    EXPECT_TRUE(pantone.SearchCode(QStringLiteral("warm"), pageIndex, entryIndex));
    EXPECT_EQ(entryIndex, 0);
    EXPECT_TRUE(pantone.SearchCode(QStringLiteral("0007"), pageIndex, entryIndex));
    EXPECT_EQ(entryIndex, 1);
    EXPECT_FALSE(pantone.SearchCode(QStringLiteral("WARM\u0000"), pageIndex, entryIndex));

    const QString textileFile = dir.file(QStringLiteral("Textile.ptc"));
    ASSERT_TRUE(test::writeFile(textileFile, header("CL", 300, 1) + pageHead(19, 1)
                                                 + textileEntry(1, 19, 52, 1, 2, 3)));
    TPantoneTextile textile(textileFile);
    EXPECT_TRUE(textile.SearchCode(QStringLiteral("19-0052"), pageIndex, entryIndex));
    EXPECT_FALSE(textile.SearchCode(QStringLiteral("19-52"), pageIndex, entryIndex));
    EXPECT_FALSE(textile.SearchCode(QStringLiteral(" 19-0052"), pageIndex, entryIndex));
}

TEST(ColorCatalog, MissingUnmarkedAndUnsavableFiles)
{
    test::TempDir dir;
    const QString missing = dir.file(QStringLiteral("Standard.kvc"));
    TStandardColor standard(missing);
    EXPECT_EQ(standard.PageCount(), 0);
    EXPECT_TRUE(standard.ErrorString().isEmpty()); // a missing file is just an empty catalogue
    EXPECT_FALSE(standard.CreateData());
    EXPECT_FALSE(standard.ErrorString().isEmpty());

    // Our own catalogues need the mark; without it they stay empty.
    ASSERT_TRUE(test::writeFile(missing, QByteArray("XL") + standardFile().mid(2)));
    EXPECT_FALSE(standard.Reload());
    EXPECT_EQ(standard.PageCount(), 0);
    EXPECT_TRUE(standard.ErrorString().contains(QLatin1String("CL")));

    // A folder that does not exist cannot take the file; the error says so.
    TStandardColor nowhere(dir.file(QStringLiteral("no/such/folder/Standard.kvc")));
    EXPECT_FALSE(nowhere.Save());
    EXPECT_FALSE(nowhere.ErrorString().isEmpty());

    // A failed save leaves the old file as it was.
    ASSERT_TRUE(test::writeFile(missing, standardFile()));
    TStandardColor loaded(missing);
    loaded.Pages()[0].entries.resize(70000);
    EXPECT_FALSE(loaded.Save());
    EXPECT_EQ(test::readFile(missing), standardFile());
}

TEST(ColorCatalog, HostileCountsAreRefusedAndCompletePagesKept)
{
    struct Case
    {
        const char *what;
        CatalogKind kind;
        QByteArray bytes;
        int pagesKept;
    };
    const QByteArray firstPage = pageHead(5, 1) + standardEntry(1, 7, 1, 2, 3);
    const std::vector<Case> cases = {
        {"page count beyond the file", CatalogKind::Standard, header("CL", 100, 0xFFFF), 0},
        {"entry count beyond the file", CatalogKind::Standard,
         header("CL", 100, 2) + firstPage + pageHead(6, 0xFFFF) + standardEntry(1, 8, 0, 0, 0), 1},
        {"last entry cut short", CatalogKind::Standard,
         header("CL", 100, 2) + firstPage + pageHead(6, 2) + standardEntry(1, 8, 0, 0, 0)
             + standardEntry(2, 9, 0, 0, 0).left(5),
         1},
        {"name longer than the file", CatalogKind::Pantone1000,
         header("CL", 300, 1) + pageHead(1, 1)
             + Bytes().raw(u16le(1)).raw(u16le(0xFFFF)).zeros(4).raw("short"),
         0},
        {"unused block cut short", CatalogKind::PantoneTextile,
         header("CL", 200, 1) + pageHead(1, 1) + textileEntry(1, 1, 1, 0, 0, 0) + QByteArray(19, 0),
         0},
        {"unmarked file of two bytes", CatalogKind::Pantone1000, QByteArray("ab"), 0},
        {"mark only", CatalogKind::Textile, QByteArray("CL"), 0},
        {"empty file", CatalogKind::Standard, QByteArray(), 0},
    };
    test::TempDir dir;
    for (const Case &c : cases) {
        const QString file = dir.file(QStringLiteral("catalogue"));
        ASSERT_TRUE(test::writeFile(file, c.bytes));
        const auto catalog = openCatalog(c.kind, file);
        EXPECT_FALSE(catalog->ErrorString().isEmpty()) << c.what;
        EXPECT_EQ(catalog->PageCount(), c.pagesKept) << c.what;
    }
}

TEST(ColorCatalog, CutOrDamagedFilesNeverBreakTheReader)
{
    // Every prefix of a valid file: what is kept is always whole pages from the front.
    const QByteArray whole = standardFile();
    const std::vector<CatalogPage> *full = nullptr;
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("Standard.kvc"));
    ASSERT_TRUE(test::writeFile(file, whole));
    TStandardColor reference(file);
    full = &reference.Pages();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        ASSERT_TRUE(test::writeFile(file, whole.left(length)));
        TStandardColor cut(file);
        EXPECT_FALSE(cut.ErrorString().isEmpty()) << length;
        ASSERT_LE(cut.PageCount(), int(full->size()));
        for (int p = 0; p < cut.PageCount(); ++p)
            EXPECT_EQ(cut.Pages()[size_t(p)].entries.size(), (*full)[size_t(p)].entries.size())
                << length;
    }

    // Random damage in every kind of file: the reader either accepts or refuses, within
    // bounds (the sanitizers watch the memory).
    std::mt19937 random(11);
    const QByteArray pantone = header("CL", 300, 2) + pageHead(1, 2)
                               + Bytes().raw(u16le(1)).raw(u16le(0x8003)).zeros(4).raw("abc")
                               + Bytes().raw(u16le(2)).raw(u16le(5)).zeros(4) + pageHead(2, 0);
    for (int trial = 0; trial < 300; ++trial) {
        const CatalogKind kind = CatalogKind(trial % 4);
        const QByteArray &base = kind == CatalogKind::Pantone1000 ? pantone : whole;
        std::vector<CatalogPage> pages;
        QString error;
        const bool ok
            = ReadCatalogFile(kind, test::corrupted(base, random, 1 + trial % 5), pages, &error);
        EXPECT_EQ(ok, error.isEmpty());
        int entries = 0;
        for (const CatalogPage &page : pages)
            entries += int(page.entries.size());
        EXPECT_LE(entries, base.size()); // never more colours than bytes
    }
}
