#include "knit/designfile.h"

#include "app/designjson.h"
#include "base/bytestream.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::readFile;
using warplon::test::TempDir;
using warplon::test::writeFile;

namespace {

QByteArray json(Design &design, int32_t version = 0)
{
    return QJsonDocument(DesignToJson(design, version)).toJson();
}

// A design with something other than the defaults in every block.
void fillDesign(Design &d)
{
    MainData start;
    start.barCount = 3;
    start.courseCount = 6;
    MakeNewDesign(d, start);
    d.header.note1 = "Sharkskin 2024";
    d.header.note2 = "SK-01";
    d.header.note3 = "\xea\xb0\x80"; // a Hangul syllable in UTF-8
    d.header.gauge = 32;
    d.header.coursesPerCm = 22.5;
    d.document.yarns[0].name = "N40";
    d.document.yarns.push_back(Yarn{});
    d.document.yarns[1].color = 0x0000FF;
    d.document.bars[1].threading = {{1, 2, 1, 0}, {0, 1, 0, 0}};
    d.document.bars[2].courseStates[3].runIn = 2100;
    d.document.optimizeRepeat = 0;
    d.properties.rpm = 1200;
    d.treatment.method = 1;
    d.treatment.Resize(6);
    d.treatment.courseFlags[2] = {1, 0, 1, 0};
    d.guideBars.formula[1] = 0;
    d.guideBars.description[0] = "front bar";
    d.simulation.fuzz = 12;
    d.simulation.backgroundColor = 0x102030;
    d.designWindow.chartBackground = 2;
    d.cost.exchangeRate = 1300.0;
    d.cost.capa = 2.5;
    // A picture whose left half is red and right half blue.
    ASSERT_TRUE(d.picture.Create(160, 200, nullptr, 24));
    d.picture.Fill(0x0000FF, QRect(0, 0, 80, 200));
    d.picture.Fill(0xFF0000, QRect(80, 0, 80, 200));
}

QByteArray savedBytes(Design &d, const TempDir &dir, uint8_t compress = 0)
{
    const QString path = dir.file(QStringLiteral("design.trc"));
    EXPECT_TRUE(SaveDesign(path, d.records(), compress));
    return readFile(path);
}

} // namespace

TEST(DesignFile, SavesTheLayoutAndReadsEveryBlockBack)
{
    TempDir dir;
    Design original;
    fillDesign(original);
    const QByteArray bytes = savedBytes(original, dir);

    ByteReader in(bytes);
    int32_t version = 0;
    in.readI32(version);
    EXPECT_EQ(version, 102);
    // The preview: 100 rows of 240 bytes, red on the left and blue on the right (BGR order).
    EXPECT_EQ(uchar(bytes[4 + 2]), 0xFF);
    EXPECT_EQ(uchar(bytes[4 + 0]), 0x00);
    EXPECT_EQ(uchar(bytes[4 + 239 - 2]), 0xFF);
    EXPECT_EQ(bytes.mid(4 + 24000, 25000 - 24004), QByteArray(996, '\0'));
    // The header block at 25000 starts with its version and the file name the save stored.
    ByteReader header(bytes, 25000);
    int32_t headerVersion = 0;
    QByteArray fileName;
    header.readI32(headerVersion);
    header.readZString(fileName);
    EXPECT_EQ(headerVersion, 2);
    EXPECT_EQ(fileName, dir.file(QStringLiteral("design.trc")).toLocal8Bit());

    Design loaded;
    MakeNewDesign(loaded);
    int32_t loadedVersion = 0;
    ASSERT_EQ(LoadDesign(dir.file(QStringLiteral("design.trc")), loaded.records(), &loadedVersion),
              LoadResult::Loaded);
    EXPECT_EQ(loadedVersion, 102);
    EXPECT_EQ(json(loaded), json(original));
}

TEST(DesignFile, CompressedPictureReadsBackThePixels)
{
    TempDir dir;
    Design original;
    fillDesign(original);
    const QByteArray raw = savedBytes(original, dir, 0);
    const QByteArray packed = savedBytes(original, dir, 2);
    EXPECT_LT(packed.size(), raw.size());

    Design loaded;
    MakeNewDesign(loaded);
    ASSERT_EQ(LoadDesign(dir.file(QStringLiteral("design.trc")), loaded.records()),
              LoadResult::Loaded);
    EXPECT_EQ(loaded.picture.image(), original.picture.image());
}

TEST(DesignFile, OlderVersionsKeepTheBlocksTheyLackInTheirResetState)
{
    TempDir dir;
    Design original;
    fillDesign(original);
    const QByteArray full = savedBytes(original, dir);
    // The last two blocks: the design-window block (8 bytes) and the cost block.
    const qsizetype costSize = 4 + 2 * 8 + 8 * 128 + 22 * 8;
    const qsizetype v101Size = full.size() - costSize;
    const qsizetype v100Size = v101Size - 8;

    for (int32_t version : {100, 101}) {
        QByteArray bytes = full.left(version == 100 ? v100Size : v101Size);
        Bytes patched;
        patched.i32(version);
        bytes.replace(0, 4, patched.data());
        const QString path = dir.file(QStringLiteral("old.trc"));
        ASSERT_TRUE(writeFile(path, bytes));

        Design loaded;
        MakeNewDesign(loaded);
        loaded.cost.capa = 9.0; // values of the design that was open before
        loaded.designWindow.chartBackground = 1;
        ASSERT_EQ(LoadDesign(path, loaded.records()), LoadResult::Loaded);
        EXPECT_EQ(loaded.cost.capa, 1.0);
        EXPECT_EQ(loaded.cost.exchangeRate, 1200.0);
        EXPECT_EQ(loaded.designWindow.chartBackground, version == 101 ? 2 : 0);
        EXPECT_EQ(loaded.document.bars.size(), 3u);
        EXPECT_EQ(loaded.guideBars.description[0], "front bar");
    }
}

TEST(DesignFile, RefusedLoadsLeaveTheOpenDesignAsItWas)
{
    TempDir dir;
    Design open;
    fillDesign(open);
    const QByteArray before = json(open);

    const QString newer = dir.file(QStringLiteral("newer.trc"));
    ASSERT_TRUE(writeFile(newer, Bytes().i32(103).zeros(30000)));
    EXPECT_EQ(LoadDesign(newer, open.records()), LoadResult::VersionError);
    EXPECT_EQ(LoadFailureMessage(LoadResult::VersionError), QStringLiteral("version error"));

    const QString tiny = dir.file(QStringLiteral("tiny.trc"));
    ASSERT_TRUE(writeFile(tiny, QByteArray("\x66\x00", 2)));
    EXPECT_EQ(LoadDesign(tiny, open.records()), LoadResult::Unreadable);
    const QString zero = dir.file(QStringLiteral("zero.trc"));
    ASSERT_TRUE(writeFile(zero, Bytes().i32(0).zeros(100)));
    EXPECT_EQ(LoadDesign(zero, open.records()), LoadResult::Unreadable);
    EXPECT_EQ(LoadDesign(dir.file(QStringLiteral("missing.trc")), open.records()),
              LoadResult::Unreadable);

    EXPECT_EQ(json(open), before);
}

namespace {

// An old-layout file (version 5 writes runs field by field, version 1 as 32-byte records).
QByteArray oldLayoutFile(int32_t version)
{
    Bytes b;
    b.i32(version);
    // Header fields: bars, courses, finished wales/inch, finished courses/cm, repeats down and
    // across, back view, fuzz, gauge, courses/cm, width, background, zoom.
    b.i32(1).i32(4).i32(56).f64(18.0).i32(2).i32(3).u8(1).i32(5).i32(28).f64(20.0).f64(84.0);
    b.i32(0x404040).i32(6);
    if (version > 4) // the property block
        b.i32(1)
            .zstring("KS4")
            .zstring("2001-05-01")
            .i32(880)
            .f64(20.28)
            .f64(24.0)
            .i32(85)
            .i32(2)
            .i32(0)
            .zeros(16);
    b.i32(1).i32(2); // one bar, two old yarn records
    for (int32_t i = 0; i < 2; ++i) {
        b.i32(0);                        // yarn use: bar
        b.i32(0x0301);                   // material 1 in the low byte
        b.f64(i == 0 ? 40.0 : 70.0);     // denier
        b.i32(i == 0 ? 12 : 24);         // filaments
        b.i32(0x0200);                   // optical 0 in the low byte
        b.i32(i == 0 ? 0xFFFFFF : 0xFF); // color
        b.i32(1650 + i);                 // yarn use: run-in
        b.f64(1.25);                     // yarn use: metres per yard
        b.i32(600);                      // yarn use: ends
        b.i32(-1);                       // not used
        b.f64(2.5);                      // yarn use: grams per yard
        b.f64(50.0);                     // yarn use: percent
    }
    // The bar: tag, courses, shift, visible; two laps; three runs; two run-in values.
    b.i32(9).i32(2).i32(1).u8(1);
    b.i32(2).i32(1).i32(0).i32(1).i32(1).i32(2).i32(2);
    b.i32(3);
    auto run = [&](int32_t count, int32_t color, double denier, int32_t filaments,
                   int32_t materialOptical) {
        b.i32(count).i32(color).f64(denier).i32(0).i32(filaments).u8(1);
        if (version < 2)
            b.zeros(3).i32(materialOptical);
        else
            b.i32(materialOptical).u8(1);
    };
    run(2, 0xFF, 70.0, 24, 0x0100);     // matches the second yarn (material 1, optical 0)
    run(0, 0xFF, 70.0, 24, 0x0100);     // count 0: dropped
    run(3, 0x00FF00, 30.0, 10, 0x0304); // matches nothing: a new yarn
    b.i32(2).i32(1500).i32(1600);
    b.i32(2).zeros(4); // old treatment: method and 4 skipped bytes
    b.u8(0);           // no simulation picture
    return b;
}

} // namespace

TEST(DesignFile, ReadsTheOldLayoutWithBothRunForms)
{
    for (int32_t version : {1, 5}) {
        SCOPED_TRACE(version);
        TempDir dir;
        const QString path = dir.file(QStringLiteral("old.trc"));
        ASSERT_TRUE(writeFile(path, oldLayoutFile(version)));

        Design d;
        MakeNewDesign(d);
        d.header.note1 = "previous";
        ASSERT_EQ(LoadDesign(path, d.records()), LoadResult::Loaded);

        EXPECT_EQ(d.header.barCount, 1);
        EXPECT_EQ(d.header.courseCount, 4);
        EXPECT_EQ(d.header.widthInch, 84.0);
        EXPECT_TRUE(d.header.note1.isEmpty());
        EXPECT_EQ(d.header.fileName, path.toLocal8Bit());
        EXPECT_EQ(d.simulation.coursesPerCm, 18.0);
        EXPECT_EQ(d.simulation.walesPerInch, 56.0);
        EXPECT_EQ(d.simulation.widthInch, 28.0 * 84.0 / 56.0);
        EXPECT_EQ(d.simulation.repeatsAcross, 3);
        EXPECT_EQ(d.simulation.backView, 1);
        EXPECT_EQ(d.simulation.zoomUnits, 6);
        EXPECT_EQ(d.treatment.method, 2);

        ASSERT_EQ(d.document.yarns.size(), 3u);
        EXPECT_EQ(d.document.yarns[1].denier, 70.0);
        EXPECT_EQ(d.document.yarns[1].material, 1);
        EXPECT_EQ(d.document.yarns[2].color, 0x00FF00);
        EXPECT_EQ(d.document.yarns[2].material, 3);
        EXPECT_EQ(d.document.yarns[2].optical, 4);
        ASSERT_EQ(d.document.yarnUses.size(), 2u);
        EXPECT_EQ(d.document.yarnUses[1].yarn, 1);
        EXPECT_EQ(d.document.yarnUses[1].runIn, 1651);
        EXPECT_EQ(d.document.yarnUses[1].ends, 600);
        EXPECT_EQ(d.document.yarnUses[1].percent, 50.0);

        ASSERT_EQ(d.document.bars.size(), 1u);
        const Tex &bar = d.document.bars[0];
        const uint8_t flag = version < 2 ? 0 : 1;
        EXPECT_EQ(bar.threading, (std::vector<WaleState>{{1, 2, 1, flag}, {2, 3, 1, flag}}));
        EXPECT_EQ(d.document.completeNeedle, 5);
        EXPECT_EQ(d.document.optimizeRepeat, 1);
        // Courses follow the header: the two stored laps, then fresh ones.
        ASSERT_EQ(bar.LappingCount(), 4);
        EXPECT_EQ(bar.lapping[1], (ChainLink{1, 2, 2}));
        EXPECT_EQ(bar.courseStates[1].runIn, 1600);
        EXPECT_EQ(bar.courseStates[3].runIn, 1700);
        EXPECT_EQ(bar.shift, 1);
        if (version > 4) {
            EXPECT_EQ(d.properties.machineName, "KS4");
        }
    }
}

TEST(DesignFile, PreviewComesFromTheFileWithoutTouchingAnyDesign)
{
    TempDir dir;
    Design original;
    fillDesign(original);
    savedBytes(original, dir);

    TCorvexBitmap preview;
    MainData header;
    ASSERT_TRUE(ReadPreview(dir.file(QStringLiteral("design.trc")), preview, header));
    EXPECT_EQ(preview.Width(), 80);
    EXPECT_EQ(preview.Height(), 100);
    EXPECT_EQ(header.note1, "Sharkskin 2024");
    EXPECT_EQ(header.gauge, 32);
    EXPECT_EQ(preview.image().pixelColor(10, 50), QColor(255, 0, 0));
    EXPECT_EQ(preview.image().pixelColor(70, 50), QColor(0, 0, 255));

    // An old file has no stored preview; it is shrunk from its picture, or refused without one.
    const QString old = dir.file(QStringLiteral("old.trc"));
    ASSERT_TRUE(writeFile(old, oldLayoutFile(5)));
    MainData oldHeader;
    TCorvexBitmap oldPreview;
    EXPECT_FALSE(ReadPreview(old, oldPreview, oldHeader));
    EXPECT_EQ(oldHeader.gauge, 28);
}

TEST(DesignFile, DamagedFilesLoadWhatTheyHoldWithoutFaults)
{
    TempDir dir;
    Design original;
    fillDesign(original);
    const QByteArray good = savedBytes(original, dir, 2);
    const QString path = dir.file(QStringLiteral("damaged.trc"));

    auto loadBytes = [&](const QByteArray &bytes) {
        writeFile(path, bytes);
        Design d;
        MakeNewDesign(d);
        const LoadResult result = LoadDesign(path, d.records());
        if (result == LoadResult::Loaded) {
            EXPECT_FALSE(d.document.yarns.empty());
            EXPECT_LE(d.document.bars.size(), size_t(kMaxBars));
        }
        TCorvexBitmap preview;
        MainData header;
        ReadPreview(path, preview, header);
    };
    // Cut inside the preview, the gap and at every byte of the blocks.
    for (qsizetype n = 0; n < 25000; n += 997)
        loadBytes(good.left(n));
    for (qsizetype n = 25000; n < good.size(); ++n)
        loadBytes(good.left(n));
    std::mt19937 random(11);
    for (int i = 0; i < 200; ++i) {
        QByteArray bad = good;
        const QByteArray blocks = warplon::test::corrupted(good.mid(25000), random, 1 + i % 6);
        bad.replace(25000, blocks.size(), blocks);
        loadBytes(bad);
    }
    for (int32_t version : {1, 5}) {
        const QByteArray old = oldLayoutFile(version);
        for (qsizetype n = 4; n < old.size(); ++n)
            loadBytes(old.left(n));
        for (int i = 0; i < 200; ++i)
            loadBytes(warplon::test::corrupted(old, random, 1 + i % 4));
    }
}

TEST(DesignFile, FailedSaveKeepsTheOldFile)
{
    TempDir dir;
    Design d;
    fillDesign(d);
    QString error;
    EXPECT_FALSE(
        SaveDesign(dir.file(QStringLiteral("no/such/folder/x.trc")), d.records(), 0, &error));
    EXPECT_FALSE(error.isEmpty());

    const QString path = dir.file(QStringLiteral("kept.trc"));
    ASSERT_TRUE(SaveDesign(path, d.records(), 0));
    const QByteArray first = readFile(path);
    d.header.note1 = "changed";
    ASSERT_TRUE(SaveDesign(path, d.records(), 0));
    EXPECT_NE(readFile(path), first);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
}
