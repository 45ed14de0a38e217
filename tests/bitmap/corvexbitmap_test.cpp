#include "bitmap/compressedblock.h"
#include "bitmap/corvexbitmap.h"
#include "bitmap/kvbitmap.h"

#include "testsupport.h"

#include <QPainter>
#include <QSet>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;

namespace {

// The bytes blue, green, red of pixel (x, y) of a 24-bit bitmap.
QByteArray PixelBytes(const TCorvexBitmap &bitmap, int x, int y)
{
    return QByteArray(reinterpret_cast<const char *>(bitmap.image().constScanLine(y)) + 3 * x, 3);
}

const int32_t kRed = 0x0000ff;   // TColor
const int32_t kBlue = 0xff0000;  // TColor
const int32_t kOlive = 0x208040; // red 0x40, green 0x80, blue 0x20

} // namespace

TEST(CorvexBitmap, CreateLaysOutRowsLikeADeviceIndependentBitmap)
{
    TCorvexBitmap bitmap;
    int changes = 0;
    bitmap.onChange = [&] { ++changes; };
    const int expected[] = {4, 8, 12, 12, 16};
    for (int width = 1; width <= 5; ++width) {
        ASSERT_TRUE(bitmap.Create(width, 3, nullptr, 24));
        EXPECT_EQ(bitmap.BytesPerLine(), expected[width - 1]);
        const QImage &image = bitmap.image();
        EXPECT_EQ(
            QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()),
            QByteArray(3 * expected[width - 1], '\0'));
    }
    EXPECT_EQ(changes, 5);

    // Refusals leave the bitmap empty (the old pixels are already gone) and fire nothing.
    bitmap.RestoreRegion(QRegion(0, 0, 2, 2));
    EXPECT_FALSE(bitmap.Create(0, 5, nullptr, 24));
    EXPECT_FALSE(bitmap.IsAllocated());
    EXPECT_FALSE(bitmap.HasRegion());
    EXPECT_EQ(bitmap.BitsPerPixel(), 0);
    EXPECT_FALSE(bitmap.Create(5, 5, nullptr, 16));
    EXPECT_FALSE(bitmap.Create(20000, 20000, nullptr, 24)); // 1.2 GB of pixels
    EXPECT_FALSE(bitmap.Create(1, 1 << 30, nullptr, 8));
    EXPECT_EQ(changes, 5);

    ASSERT_TRUE(bitmap.Create(4, 4, nullptr, 24));
    bitmap.Fill(kRed, QRect(0, 0, 4, 4));
    EXPECT_TRUE(bitmap.CreateIfDifferent(4, 4, nullptr, 24));
    EXPECT_EQ(PixelBytes(bitmap, 3, 3), QByteArray("\x00\x00\xff", 3)); // kept
    EXPECT_TRUE(bitmap.CreateIfDifferent(4, 4, nullptr, 8));
    EXPECT_EQ(bitmap.BytesPerLine(), 4);

    // 8 bits: the given palette (the rest black), or a grey ramp without one.
    const QList<QRgb> palette = {qRgb(10, 20, 30), qRgb(255, 0, 128)};
    ASSERT_TRUE(bitmap.Create(2, 2, &palette, 8));
    RGBQUAD colors[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {}};
    ASSERT_TRUE(bitmap.SetColors(254, 2, colors));
    EXPECT_FALSE(bitmap.SetColors(255, 2, colors));
    ASSERT_TRUE(bitmap.GetColors(0, 3, colors));
    EXPECT_EQ(colors[0].red * 65536 + colors[0].green * 256 + colors[0].blue, 0x0a141e);
    EXPECT_EQ(colors[2].red + colors[2].green + colors[2].blue, 0);
    EXPECT_EQ(bitmap.ColorTable()[255], qRgb(6, 5, 4));
    ASSERT_TRUE(bitmap.Create(2, 2, nullptr, 8));
    EXPECT_EQ(bitmap.ColorTable()[200], qRgb(200, 200, 200));
}

TEST(CorvexBitmap, FillPaintsTheRectangleOnlyAndKeepsTheRegion)
{
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(6, 4, nullptr, 24));
    const QRegion selection = QRegion(1, 1, 2, 2) + QRegion(4, 0, 1, 1);
    bitmap.RestoreRegion(selection);
    ASSERT_TRUE(bitmap.Fill(kOlive, QRect(2, 1, 10, 2))); // runs off the right edge
    EXPECT_EQ(bitmap.SaveRegion(true), selection);
    EXPECT_FALSE(bitmap.SaveRegion(false).has_value());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && y >= 1 && y <= 2;
            EXPECT_EQ(PixelBytes(bitmap, x, y),
                      inside ? QByteArray("\x20\x80\x40", 3) : QByteArray(3, '\0'))
                << x << "," << y;
        }
    }

    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(250, 0, 0), qRgb(0, 0, 250)};
    TCorvexBitmap indexed;
    ASSERT_TRUE(indexed.Create(3, 1, &palette, 8));
    indexed.Fill(kBlue, QRect(1, 0, 1, 1));
    indexed.Fill(kRed, QRect(2, 0, 1, 1));
    EXPECT_EQ(indexed.image().constScanLine(0)[0], 0);
    EXPECT_EQ(indexed.image().constScanLine(0)[1], 2);
    EXPECT_EQ(indexed.image().constScanLine(0)[2], 1);
}

TEST(CorvexBitmap, ResizeCanvasCopiesToTopLeftAndKeepsTheRegion)
{
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(3, 3, nullptr, 24));
    bitmap.Fill(kBlue, QRect(0, 0, 3, 3));
    bitmap.Fill(kRed, QRect(2, 2, 1, 1));
    bitmap.RestoreRegion(QRegion(0, 0, 1, 1));
    int changes = 0;
    bitmap.onChange = [&] { ++changes; };

    ASSERT_TRUE(bitmap.ResizeCanvas(5, 4, kOlive));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bitmap.Height(), 4);
    EXPECT_EQ(bitmap.Region(), QRegion(0, 0, 1, 1));
    EXPECT_EQ(PixelBytes(bitmap, 0, 0), QByteArray("\xff\x00\x00", 3));
    EXPECT_EQ(PixelBytes(bitmap, 2, 2), QByteArray("\x00\x00\xff", 3));
    EXPECT_EQ(PixelBytes(bitmap, 3, 0), QByteArray("\x20\x80\x40", 3));
    EXPECT_EQ(PixelBytes(bitmap, 0, 3), QByteArray("\x20\x80\x40", 3));

    EXPECT_FALSE(bitmap.ResizeCanvas(0, 2, 0));
    EXPECT_FALSE(bitmap.ResizeCanvas(100000, 100000, 0));
    EXPECT_EQ(bitmap.Width(), 5);

    // An 8-bit canvas keeps its colour table.
    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
    TCorvexBitmap indexed;
    ASSERT_TRUE(indexed.Create(1, 1, &palette, 8));
    ASSERT_TRUE(indexed.ResizeCanvas(3, 1, kRed));
    EXPECT_EQ(indexed.ColorTable()[1], qRgb(255, 0, 0));
    EXPECT_EQ(indexed.image().constScanLine(0)[0], 0);
    EXPECT_EQ(indexed.image().constScanLine(0)[2], 1);
}

TEST(CorvexBitmap, StretchAndCopy)
{
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 2, nullptr, 24));
    bitmap.Fill(kOlive, QRect(0, 0, 2, 2));
    ASSERT_TRUE(bitmap.Stretch(7, 5));
    EXPECT_EQ(bitmap.BytesPerLine(), 24);
    EXPECT_EQ(PixelBytes(bitmap, 6, 4), QByteArray("\x20\x80\x40", 3));
    EXPECT_EQ(bitmap.image().constScanLine(4)[21], 0); // padding
    EXPECT_FALSE(bitmap.Stretch(0, 5));

    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(9, 9, 9), qRgb(200, 100, 0)};
    TCorvexBitmap indexed;
    ASSERT_TRUE(indexed.Create(2, 2, &palette, 8));
    indexed.Fill(0x0064c8, QRect(0, 0, 2, 2));
    ASSERT_TRUE(indexed.Stretch(3, 3));
    EXPECT_EQ(indexed.BitsPerPixel(), 8);
    EXPECT_EQ(indexed.ColorTable()[1], qRgb(9, 9, 9));
    EXPECT_EQ(indexed.image().constScanLine(2)[2], 2);

    TCorvexBitmap target;
    ASSERT_TRUE(target.Create(7, 5, nullptr, 24));
    ASSERT_TRUE(target.Copy(bitmap));
    EXPECT_EQ(PixelBytes(target, 3, 3), QByteArray("\x20\x80\x40", 3));
    EXPECT_FALSE(indexed.Copy(bitmap));
}

TEST(CorvexBitmap, RowAccessNestsAndNeverGoesBelowZero)
{
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 3, nullptr, 24));
    EXPECT_EQ(bitmap.GetRow(0), nullptr);
    bitmap.BeginRowAccess();
    bitmap.BeginRowAccess();
    bitmap.EndRowAccess();
    uchar *row = bitmap.GetRow(1);
    ASSERT_NE(row, nullptr);
    row[3] = 0x11;
    row[5] = 0x22;
    ASSERT_TRUE(bitmap.PutRow(2));
    EXPECT_EQ(PixelBytes(bitmap, 1, 2), QByteArray("\x11\x00\x22", 3));
    EXPECT_EQ(PixelBytes(bitmap, 1, 1), QByteArray(3, '\0'));
    EXPECT_EQ(bitmap.GetRow(3), nullptr);
    bitmap.EndRowAccess();
    bitmap.EndRowAccess();
    bitmap.EndRowAccess();
    EXPECT_EQ(bitmap.RowAccessDepth(), 0);
    EXPECT_FALSE(bitmap.PutRow(0));
    // One begin after the surplus ends opens access again.
    bitmap.BeginRowAccess();
    ASSERT_NE(bitmap.GetRow(2), nullptr);
    EXPECT_EQ(bitmap.GetRow(2)[3], 0x11);
    // A bitmap re-created inside the access gets a buffer of its new row size.
    ASSERT_TRUE(bitmap.Create(40, 2, nullptr, 24));
    ASSERT_NE(bitmap.GetRow(1), nullptr);
    bitmap.GetRow(1)[119] = 0x7f;
    ASSERT_TRUE(bitmap.PutRow(1));
    EXPECT_EQ(PixelBytes(bitmap, 39, 1), QByteArray("\x00\x00\x7f", 3));
    bitmap.EndRowAccess();
}

TEST(CorvexBitmap, OnePainterLeaseAtATime)
{
    TCorvexBitmap bitmap;
    EXPECT_EQ(bitmap.GetDC(), nullptr);
    ASSERT_TRUE(bitmap.Create(4, 4, nullptr, 24));
    QPainter *dc = bitmap.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(bitmap.GetDC(), nullptr);
    dc->fillRect(QRect(1, 1, 2, 2), QColor(0x40, 0x80, 0x20));
    QPainter stranger;
    bitmap.ReleaseDC(&stranger); // not the lease: ignored
    EXPECT_EQ(bitmap.GetDC(), nullptr);
    bitmap.ReleaseDC(dc);
    EXPECT_EQ(PixelBytes(bitmap, 2, 2), QByteArray("\x20\x80\x40", 3));
    EXPECT_EQ(PixelBytes(bitmap, 3, 3), QByteArray(3, '\0'));

    // Replacing the pixels ends the painting but not the lease.
    dc = bitmap.GetDC();
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(bitmap.Stretch(8, 8));
    EXPECT_FALSE(dc->isActive());
    EXPECT_EQ(bitmap.GetDC(), nullptr);
    bitmap.ReleaseDC(dc);

    // 8 bits: painted colours come back as the nearest table entries, untouched pixels keep
    // their index even where the table holds the same colour twice.
    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0)};
    TCorvexBitmap indexed;
    ASSERT_TRUE(indexed.Create(3, 1, &palette, 8));
    indexed.image().scanLine(0)[0] = 1;
    dc = indexed.GetDC();
    ASSERT_NE(dc, nullptr);
    dc->fillRect(QRect(2, 0, 1, 1), QColor(240, 10, 10));
    indexed.ReleaseDC(dc);
    EXPECT_EQ(indexed.image().constScanLine(0)[0], 1);
    EXPECT_EQ(indexed.image().constScanLine(0)[1], 0);
    EXPECT_EQ(indexed.image().constScanLine(0)[2], 2);
}

TEST(CorvexBitmap, PixelStreamIsTheRowsWithTheirPadding)
{
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(3, 2, nullptr, 24));
    bitmap.Fill(kRed, QRect(0, 0, 1, 1));
    bitmap.Fill(kOlive, QRect(2, 1, 1, 1));
    const QByteArray rows = Bytes()
                                .raw(QByteArray("\x00\x00\xff", 3))
                                .zeros(9)
                                .zeros(6)
                                .raw(QByteArray("\x20\x80\x40", 3))
                                .zeros(3);
    ByteWriter raw;
    ASSERT_TRUE(bitmap.WriteBlock(raw, kPixelsRaw));
    EXPECT_EQ(raw.data(), rows);
    // A rectangle: 2 pixels = 6 bytes, padded to 8.
    ByteWriter part;
    ASSERT_TRUE(bitmap.WriteBlock(part, kPixelsRaw, QRect(1, 0, 2, 2)));
    EXPECT_EQ(part.data(),
              Bytes().zeros(8).zeros(3).raw(QByteArray("\x20\x80\x40", 3)).zeros(2).data());
    EXPECT_FALSE(bitmap.WriteBlock(part, kPixelsRaw, QRect(2, 0, 2, 1)));

    TCorvexBitmap back;
    ASSERT_TRUE(back.Create(3, 2, nullptr, 24));
    ByteReader in(rows);
    ASSERT_TRUE(back.ReadBlock(in, kPixelsRaw));
    EXPECT_EQ(PixelBytes(back, 2, 1), QByteArray("\x20\x80\x40", 3));
}

TEST(CorvexBitmap, PictureFilesLoadAsEightOrTwentyFourBits)
{
    test::TempDir dir;
    TCorvexBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(5, 3, nullptr, 24));
    bitmap.Fill(kOlive, QRect(0, 0, 5, 3));
    bitmap.Fill(kRed, QRect(4, 2, 1, 1));
    ASSERT_TRUE(bitmap.SaveToFile(dir.file(QStringLiteral("a.bmp")), kFileBmp));
    ASSERT_TRUE(bitmap.SaveToFile(dir.file(QStringLiteral("a.jpg")), kFileJpeg));
    EXPECT_FALSE(bitmap.SaveToFile(dir.file(QStringLiteral("a.x")), 99));
    EXPECT_EQ(test::readFile(dir.file(QStringLiteral("a.bmp"))).left(2), QByteArrayLiteral("BM"));
    EXPECT_EQ(test::readFile(dir.file(QStringLiteral("a.jpg"))).left(2),
              QByteArrayLiteral("\xff\xd8"));

    TCorvexBitmap loaded;
    int changes = 0;
    loaded.onChange = [&] { ++changes; };
    ASSERT_TRUE(loaded.LoadFromFile(dir.file(QStringLiteral("a.bmp"))));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(loaded.BitsPerPixel(), 24);
    EXPECT_EQ(PixelBytes(loaded, 0, 0), QByteArray("\x20\x80\x40", 3));
    EXPECT_EQ(PixelBytes(loaded, 4, 2), QByteArray("\x00\x00\xff", 3));

    // A 256-colour picture comes back with 250 colours at most, the nearest ones merged.
    QImage many(256, 1, QImage::Format_Indexed8);
    for (int x = 0; x < 256; ++x) {
        many.setColor(x, qRgb(x, x, 255 - x));
        many.scanLine(0)[x] = uchar(x);
    }
    ASSERT_TRUE(many.save(dir.file(QStringLiteral("many.png"))));
    ASSERT_TRUE(loaded.LoadFromFile(dir.file(QStringLiteral("many.png"))));
    EXPECT_EQ(loaded.BitsPerPixel(), 8);
    QSet<uchar> used;
    for (int x = 0; x < 256; ++x)
        used.insert(loaded.image().constScanLine(0)[x]);
    EXPECT_EQ(used.size(), 250);
    for (int x = 0; x < 256; x += 51) {
        const QRgb shown = loaded.ColorTable()[loaded.image().constScanLine(0)[x]];
        EXPECT_LE(std::abs(qRed(shown) - x), 1) << x;
    }
    ASSERT_TRUE(loaded.SaveToFile(dir.file(QStringLiteral("b.bmp")), kFileBmp));
    EXPECT_EQ(test::readFile(dir.file(QStringLiteral("b.bmp"))).at(28), 8); // bits per pixel

    // A failed load keeps the pixels.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("bad.bmp")), QByteArrayLiteral("BMnot")));
    EXPECT_FALSE(loaded.LoadFromFile(dir.file(QStringLiteral("bad.bmp"))));
    EXPECT_EQ(loaded.Width(), 256);
}

TEST(KvBitmap, ZeroFilledRowsRoundedToFourBytes)
{
    KvBitmap buffer;
    EXPECT_EQ(buffer.Lock(), nullptr);
    ASSERT_TRUE(buffer.Create(5, 3, 8));
    EXPECT_EQ(buffer.SizeInBytes(), 24);
    uchar *pixels = buffer.Lock();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(pixels), 24), QByteArray(24, '\0'));
    ASSERT_TRUE(buffer.Fill(0xab));
    EXPECT_EQ(pixels[23], 0xab);
    ASSERT_TRUE(buffer.Create(9, 1, 1));
    EXPECT_EQ(buffer.Stride(), 4);
    ASSERT_TRUE(buffer.Create(3, 2, 24));
    EXPECT_EQ(buffer.Stride(), 12);
    EXPECT_FALSE(buffer.Create(100000, 100000, 32));
    EXPECT_FALSE(buffer.IsAllocated());
}
