#include "app/thumbnail.h"
#include "testsupport.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::TempDir;

namespace {

// One pixel of a stored picture: bytes blue, green, red.
void Pixel(Bytes &b, QRgb color)
{
    b.u8(uint8_t(qBlue(color))).u8(uint8_t(qGreen(color))).u8(uint8_t(qRed(color)));
}

// Rows from the top: the first `redRows` red, the rest blue.
void Rows(Bytes &b, int width, int height, int redRows)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            Pixel(b, y < redRows ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        b.zeros((4 - width * 3 % 4) % 4);
    }
}

// A version 102 file: the 80 x 100 preview (rows of 240 bytes, top first) with its top 30 rows
// red, zeros up to byte 25000, then the header block. Later blocks are not needed for a preview.
QByteArray NewLayoutFile()
{
    Bytes b;
    b.i32(102);
    Rows(b, 80, 100, 30);
    b.zeros(25000 - 4 - 24000);
    b.i32(2).zstring("red.trc").zstring("").zstring("").zstring("");
    b.i32(2).i32(16).i32(28).f64(20.0).f64(105.0);
    return b;
}

// A version 5 file of the old layout: no stored preview, an 8 x 10 simulation picture whose top
// 3 rows are red.
QByteArray OldLayoutFile()
{
    Bytes b;
    b.i32(5);
    // Header: bars, courses, finished wales/inch, finished courses/cm, repeats down and across,
    // back view, fuzz, gauge, courses/cm, width, background, zoom.
    b.i32(1).i32(2).i32(56).f64(18.0).i32(2).i32(3).u8(1).i32(5).i32(28).f64(20.0).f64(84.0);
    b.i32(0x404040).i32(6);
    b.i32(1).zstring("").zstring("").i32(880).f64(0).f64(0).i32(0).i32(0).i32(0).zeros(16);
    b.i32(1).i32(1); // one bar, one old yarn record of 64 bytes
    b.i32(0).i32(0x0301).f64(40.0).i32(12).i32(0x0200);
    b.i32(0xFF).i32(1650).f64(1.25).i32(600).i32(-1).f64(2.5).f64(50);
    // The bar: tag, courses, shift, visible; two laps; one run; two run-in values.
    b.i32(9).i32(2).i32(0).u8(1);
    b.i32(2).i32(1).i32(0).i32(1).i32(1).i32(2).i32(2);
    b.i32(1).i32(2).i32(0xFF).f64(40.0).i32(0).i32(12).u8(1).i32(0x0301).u8(1);
    b.i32(2).i32(1500).i32(1600);
    b.i32(2).zeros(4); // old treatment: method and 4 skipped bytes
    // The simulation picture: present, width, height, raw pixels.
    b.u8(1).i32(8).i32(10).u8(0);
    Rows(b, 8, 10, 3);
    return b;
}

bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 40 && qBlue(pixel) < 40;
}

bool IsBlue(QRgb pixel)
{
    return qBlue(pixel) > 200 && qRed(pixel) < 40 && qGreen(pixel) < 40;
}

} // namespace

TEST(Thumbnail, FitsTheSquareAtFourToFive)
{
    EXPECT_EQ(ThumbnailSize(128), QSize(102, 128));
    EXPECT_EQ(ThumbnailSize(256), QSize(205, 256));
    EXPECT_EQ(ThumbnailSize(5), QSize(4, 5));
    EXPECT_EQ(ThumbnailSize(1), QSize(1, 1));
    EXPECT_EQ(ThumbnailSize(kMaxThumbnailSize), QSize(3277, kMaxThumbnailSize));
    EXPECT_FALSE(ThumbnailSize(0).isValid());
    EXPECT_FALSE(ThumbnailSize(-128).isValid());
    EXPECT_FALSE(ThumbnailSize(kMaxThumbnailSize + 1).isValid());
}

TEST(Thumbnail, ScalesTheStoredPreviewTopUp)
{
    TempDir dir;
    const QString design = dir.file(QStringLiteral("red.trc"));
    ASSERT_TRUE(test::writeFile(design, NewLayoutFile()));
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        QString error;
        const QImage thumbnail = DesignThumbnail(design, size, &error);
        ASSERT_FALSE(thumbnail.isNull()) << error.toStdString();
        EXPECT_EQ(thumbnail.size(), ThumbnailSize(size));
        // 30 of 100 rows are red: the top quarter of the thumbnail is red, the bottom blue.
        for (int x : {0, thumbnail.width() / 2, thumbnail.width() - 1}) {
            EXPECT_TRUE(IsRed(thumbnail.pixel(x, 0)));
            EXPECT_TRUE(IsRed(thumbnail.pixel(x, size / 4)));
            EXPECT_TRUE(IsBlue(thumbnail.pixel(x, size * 2 / 5)));
            EXPECT_TRUE(IsBlue(thumbnail.pixel(x, size - 1)));
        }
    }

    const QString png = dir.file(QStringLiteral("red.png"));
    ASSERT_TRUE(WriteDesignThumbnail(design, png, 64));
    const QImage written(png, "PNG");
    EXPECT_EQ(written.size(), QSize(51, 64));
    EXPECT_TRUE(IsRed(written.pixel(25, 0)));
    EXPECT_TRUE(IsBlue(written.pixel(25, 63)));
}

TEST(Thumbnail, OldFilesUseTheirShrunkSimulationPicture)
{
    TempDir dir;
    const QString design = dir.file(QStringLiteral("old.trc"));
    ASSERT_TRUE(test::writeFile(design, OldLayoutFile()));
    QString error;
    const QImage thumbnail = DesignThumbnail(design, 100, &error);
    ASSERT_FALSE(thumbnail.isNull()) << error.toStdString();
    EXPECT_EQ(thumbnail.size(), QSize(80, 100));
    EXPECT_TRUE(IsRed(thumbnail.pixel(40, 5)));
    EXPECT_TRUE(IsBlue(thumbnail.pixel(40, 95)));
}

TEST(Thumbnail, DamagedFilesWriteNothing)
{
    TempDir dir;
    const QByteArray good = NewLayoutFile();
    QByteArray newer = good;
    newer[0] = char(103);
    const QByteArray damaged[] = {
        good.left(3),              // not even a version
        good.left(10000),          // the preview cut short
        good.left(25000),          // no header block
        good.left(25010),          // the header block cut short
        newer,                     // written by a newer program
        OldLayoutFile().left(200), // an old file without its picture
        QByteArray(30000, 'x'),
    };
    int index = 0;
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(index);
        const QString design = dir.file(QStringLiteral("bad%1.trc").arg(index));
        const QString png = dir.file(QStringLiteral("bad%1.png").arg(index));
        ASSERT_TRUE(test::writeFile(design, bytes));
        QString error;
        EXPECT_FALSE(WriteDesignThumbnail(design, png, 128, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(png));
        ++index;
    }
    // A missing file and a refused size also write nothing, and keep an older picture intact.
    const QString kept = dir.file(QStringLiteral("kept.png"));
    ASSERT_TRUE(test::writeFile(kept, QByteArray("old")));
    EXPECT_FALSE(WriteDesignThumbnail(dir.file(QStringLiteral("none.trc")), kept, 128));
    const QString design = dir.file(QStringLiteral("good.trc"));
    ASSERT_TRUE(test::writeFile(design, good));
    EXPECT_FALSE(WriteDesignThumbnail(design, kept, 0));
    EXPECT_FALSE(WriteDesignThumbnail(design, dir.file(QStringLiteral("no/such/dir.png")), 128));
    EXPECT_EQ(test::readFile(kept), QByteArray("old"));
}
