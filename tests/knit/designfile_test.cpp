#include "knit/designfile.h"

#include "app/designjson.h"
#include "blockchecks.h"

#include <QFile>
#include <QJsonDocument>

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::readFile;
using warplon::test::TempDir;
using warplon::test::writeFile;

namespace {

QByteArray json(Design &design)
{
    return QJsonDocument(DesignToJson(design, 0)).toJson();
}

// An old-layout file (version 5 writes runs field by field, version 1 as 32-byte records).
QByteArray oldLayoutFile(int32_t version)
{
    Bytes b;
    b.i32(version);
    // Header: bars, courses, finished wales/inch, finished courses/cm, repeats down and across,
    // back view, fuzz, gauge, courses/cm, width, background, zoom.
    b.i32(1).i32(4).i32(56).f64(18.0).i32(2).i32(3).u8(1).i32(5).i32(28).f64(20.0).f64(84.0);
    b.i32(0x404040).i32(6);
    if (version > 4) // the property block
        b.i32(1).zstring("KS4").zstring("").i32(880).f64(0).f64(0).i32(0).i32(0).i32(0).zeros(16);
    b.i32(1).i32(2); // one bar, two old yarn records
    for (int32_t i = 0; i < 2; ++i) {
        // Bar, material 1 in the low byte, denier, filaments, optical 0 in the low byte, colour;
        // then the yarn use: run-in, metres per yard, ends, 4 unused bytes, grams per yard, %.
        b.i32(0).i32(0x0301).f64(i == 0 ? 40.0 : 70.0).i32(i == 0 ? 12 : 24).i32(0x0200);
        b.i32(i == 0 ? 0xFFFFFF : 0xFF).i32(1650 + i).f64(1.25).i32(600).i32(-1).f64(2.5).f64(50);
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

// A saved design with something other than the defaults in every block.
class DesignFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainData start;
        start.barCount = 3;
        start.courseCount = 6;
        MakeNewDesign(original, start);
        original.header.note1 = "Sharkskin 2024";
        original.header.note3 = "\xea\xb0\x80"; // a Hangul syllable in UTF-8
        original.header.gauge = 32;
        TexLayer &document = original.document;
        document.yarns[0].name = "N40";
        document.bars[1].threading = {{0, 2, 1, 0}, {0, 1, 0, 0}};
        document.bars[2].courseStates[3].runIn = 2100;
        document.optimizeRepeat = 0;
        original.properties.rpm = 1200;
        original.treatment.method = 1;
        original.treatment.Resize(6);
        original.treatment.courseFlags[2] = {1, 0, 1, 0};
        original.guideBars.formula[1] = 0;
        original.guideBars.description[0] = "front bar";
        original.simulation.fuzz = 12;
        original.designWindow.chartBackground = 2;
        original.cost.capa = 2.5;
        // A picture whose left half is red and right half blue.
        ASSERT_TRUE(original.picture.Create(160, 200, nullptr, 24));
        original.picture.Fill(0x0000FF, QRect(0, 0, 80, 200));
        original.picture.Fill(0xFF0000, QRect(80, 0, 80, 200));
        bytes = save();
    }

    QByteArray save(uint8_t compress = 0)
    {
        EXPECT_TRUE(SaveDesign(path, original.records(), compress));
        return readFile(path);
    }

    TempDir dir;
    const QString path = dir.file(QStringLiteral("design.trc"));
    Design original;
    QByteArray bytes;
};

TEST_F(DesignFile, SavesTheLayoutAndReadsEveryBlockBack)
{
    EXPECT_EQ(bytes.left(4), Bytes().i32(102).data());
    // The preview: 100 rows of 240 bytes, red on the left and blue on the right (BGR order).
    EXPECT_EQ(bytes.mid(4, 3), QByteArray("\x00\x00\xff", 3));
    EXPECT_EQ(bytes.mid(4 + 237, 3), QByteArray("\xff\x00\x00", 3));
    EXPECT_EQ(bytes.mid(4 + 24000, 25000 - 24004), QByteArray(996, '\0'));
    // The header block at 25000 starts with its version and the file name the save stored.
    const QByteArray name = path.toLocal8Bit();
    EXPECT_EQ(bytes.mid(25000, 4 + 4 + name.size() + 1), Bytes().i32(2).zstring(name).data());

    // Both picture forms read back every block; the compressed one is smaller.
    for (int compress : {0, 2}) {
        const qsizetype size = save(uint8_t(compress)).size();
        EXPECT_TRUE(compress == 0 ? size == bytes.size() : size < bytes.size());
        Design loaded;
        MakeNewDesign(loaded);
        int32_t version = 0;
        ASSERT_EQ(LoadDesign(path, loaded.records(), &version), LoadResult::Loaded);
        EXPECT_EQ(version, 102);
        EXPECT_EQ(json(loaded), json(original));
        EXPECT_EQ(loaded.picture.image(), original.picture.image());
    }

    // The file manager's preview and header come from the file.
    TCorvexBitmap preview;
    MainData header;
    ASSERT_TRUE(ReadPreview(path, preview, header));
    EXPECT_EQ(header.note1, "Sharkskin 2024");
    EXPECT_EQ(preview.image().size(), QSize(80, 100));
    EXPECT_EQ(preview.image().pixelColor(10, 50), QColor(255, 0, 0));
    EXPECT_EQ(preview.image().pixelColor(70, 50), QColor(0, 0, 255));
}

TEST_F(DesignFile, OlderVersionsKeepTheBlocksTheyLackInTheirResetState)
{
    // Version 101 lacks the cost block at the end, version 100 also the 8-byte window block. They
    // are not read even when bytes follow the picture block.
    const qsizetype v101Size = bytes.size() - (4 + 2 * 8 + 8 * 128 + 22 * 8);
    for (const auto &[version, whole] : {std::pair(100, false), std::pair(101, false),
                                         std::pair(100, true), std::pair(101, true)}) {
        QByteArray old = whole ? bytes : bytes.left(version == 100 ? v101Size - 8 : v101Size);
        old.replace(0, 4, Bytes().i32(version).data());
        Design loaded;
        MakeNewDesign(loaded);
        loaded.cost.capa = 9.0; // values of the design that was open before
        loaded.designWindow.chartBackground = 1;
        ASSERT_EQ(LoadDesignFromBytes(old, QString(), loaded.records()), LoadResult::Loaded);
        EXPECT_EQ(loaded.cost.capa, 1.0) << version;
        EXPECT_EQ(loaded.designWindow.chartBackground, version == 101 ? 2 : 0) << version;
        EXPECT_EQ(loaded.guideBars.description[0], "front bar");
    }
}

TEST_F(DesignFile, RefusedLoadsAndSavesLeaveEverythingAsItWas)
{
    const QByteArray before = json(original);
    EXPECT_EQ(LoadDesignFromBytes(Bytes().i32(103).zeros(30000), QString(), original.records()),
              LoadResult::VersionError);
    EXPECT_EQ(LoadFailureMessage(LoadResult::VersionError), QStringLiteral("version error"));
    for (const QByteArray &file : {QByteArray("\x66\x00", 2), Bytes().i32(0).zeros(100).data()})
        EXPECT_EQ(LoadDesignFromBytes(file, QString(), original.records()), LoadResult::Unreadable);
    EXPECT_EQ(LoadDesign(dir.file(QStringLiteral("missing.trc")), original.records()),
              LoadResult::Unreadable);
    EXPECT_EQ(json(original), before);

    QString error;
    EXPECT_FALSE(SaveDesign(dir.file(QStringLiteral("no/x.trc")), original.records(), 0, &error));
    EXPECT_FALSE(error.isEmpty());
    original.header.note1 = "changed";
    EXPECT_NE(save(), bytes);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
}

TEST_F(DesignFile, ReadsTheOldLayoutWithBothRunForms)
{
    for (int32_t version : {1, 5}) {
        SCOPED_TRACE(version);
        Design d;
        MakeNewDesign(d);
        d.header.note1 = "previous";
        ASSERT_EQ(LoadDesignFromBytes(oldLayoutFile(version), path, d.records()),
                  LoadResult::Loaded);
        EXPECT_EQ(std::tuple(d.header.courseCount, d.header.widthInch, d.header.note1),
                  std::tuple(4, 84.0, QByteArray()));
        EXPECT_EQ(d.header.fileName, path.toLocal8Bit());
        const SimulationSettings &s = d.simulation;
        EXPECT_EQ(std::tuple(s.coursesPerCm, s.widthInch, s.repeatsAcross, s.zoomUnits),
                  std::tuple(18.0, 28.0 * 84.0 / 56.0, 3, 6));
        EXPECT_EQ(d.treatment.method, 2);
        EXPECT_EQ(d.properties.machineName, version > 4 ? "KS4" : "");

        // Yarns from the old records, then one per run that matches none of them.
        const std::vector<Yarn> &yarns = d.document.yarns;
        ASSERT_EQ(yarns.size(), 3u);
        EXPECT_EQ(std::tuple(yarns[1].denier, yarns[1].material, yarns[1].color),
                  std::tuple(70.0, 1, 0xFF));
        EXPECT_EQ(std::tuple(yarns[2].color, yarns[2].material, yarns[2].optical),
                  std::tuple(0x00FF00, 3, 4));
        ASSERT_EQ(d.document.yarnUses.size(), 2u);
        const YarnUse &use = d.document.yarnUses[1];
        EXPECT_EQ(std::tuple(use.yarn, use.runIn, use.percent), std::tuple(1, 1651, 50.0));

        ASSERT_EQ(d.document.bars.size(), 1u);
        const Tex &bar = d.document.bars[0];
        const uint8_t flag = version < 2 ? 0 : 1;
        EXPECT_EQ(bar.threading, (std::vector<WaleState>{{1, 2, 1, flag}, {2, 3, 1, flag}}));
        EXPECT_EQ(d.document.completeNeedle, 5);
        // Courses follow the header: the two stored laps, then fresh ones.
        ASSERT_EQ(bar.LappingCount(), 4);
        EXPECT_EQ(bar.lapping[1], (ChainLink{1, 2, 2}));
        EXPECT_EQ(std::tuple(bar.courseStates[1].runIn, bar.courseStates[3].runIn, bar.shift),
                  std::tuple(1600, 1700, 1));
    }
    // An old file has no stored preview; it is shrunk from its picture, or refused without one.
    TCorvexBitmap preview;
    MainData header;
    EXPECT_FALSE(ReadPreviewFromBytes(oldLayoutFile(5), path, preview, header));
    EXPECT_EQ(header.gauge, 28);
}

TEST_F(DesignFile, DamagedFilesLoadWhatTheyHoldWithoutFaults)
{
    const QByteArray good = save(2);
    auto load = [](const QByteArray &file) {
        Design d;
        MakeNewDesign(d);
        if (LoadDesignFromBytes(file, QString(), d.records()) == LoadResult::Loaded) {
            EXPECT_FALSE(d.document.yarns.empty());
            EXPECT_LE(d.document.bars.size(), size_t(kMaxBars));
        }
        TCorvexBitmap preview;
        MainData header;
        ReadPreviewFromBytes(file, QString(), preview, header);
    };
    // Cuts inside the preview and the gap, then every cut and damage of the blocks.
    for (qsizetype n = 0; n < 25000; n += 997)
        load(good.left(n));
    test::ForEachDamagedCopy(good.mid(25000), 11, 200, [&](const QByteArray &blocks, qsizetype) {
        load(good.left(25000) + blocks);
    });
    for (int32_t version : {1, 5})
        test::ForEachDamagedCopy(oldLayoutFile(version), 12, 200,
                                 [&](const QByteArray &file, qsizetype) { load(file); });
}
