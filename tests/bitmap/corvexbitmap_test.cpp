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
using warplon::test::pixelBytes;

namespace {

const int32_t kRed = 0x0000ff;   // TColor
const int32_t kBlue = 0xff0000;  // TColor
const int32_t kOlive = 0x208040; // red 0x40, green 0x80, blue 0x20
const QByteArray kRedBytes("\x00\x00\xff", 3);
const QByteArray kOliveBytes("\x20\x80\x40", 3);
const QByteArray kBlackBytes(3, '\0');

// A bitmap filled whole with one TColor.
TCorvexBitmap filled(int width, int height, int32_t tcolor, const QList<QRgb> *palette = nullptr,
                     int bitsPerPixel = 24)
{
    TCorvexBitmap bitmap;
    EXPECT_TRUE(bitmap.Create(width, height, palette, bitsPerPixel));
    bitmap.Fill(tcolor, QRect(0, 0, width, height));
    return bitmap;
}

// The table indices of row 0 of an 8-bit bitmap.
QList<int> indices(const TCorvexBitmap &bitmap)
{
    QList<int> result;
    for (int x = 0; x < bitmap.Width(); ++x)
        result.append(bitmap.image().constScanLine(0)[x]);
    return result;
}

} // namespace

TEST(CorvexBitmap, CreateLaysOutRowsLikeADeviceIndependentBitmap)
{
    TCorvexBitmap bitmap;
    int changes = 0;
    bitmap.onChange = [&] { ++changes; };
    const int stride[] = {4, 8, 12, 12, 16};
    for (int width = 1; width <= 5; ++width) {
        ASSERT_TRUE(bitmap.Create(width, 3, nullptr, 24));
        EXPECT_EQ(bitmap.BytesPerLine(), stride[width - 1]);
        const QImage &image = bitmap.image();
        EXPECT_EQ(
            QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()),
            QByteArray(3 * stride[width - 1], '\0'));
    }
    // Refusals leave the bitmap empty (the old pixels are already gone) and fire nothing.
    bitmap.RestoreRegion(QRegion(0, 0, 2, 2));
    for (const auto &[width, height, bits] : {std::tuple(0, 5, 24), std::tuple(5, 5, 16),
                                              std::tuple(20000, 20000, 24), // 1.2 GB of pixels
                                              std::tuple(1, 1 << 30, 8)}) {
        EXPECT_FALSE(bitmap.Create(width, height, nullptr, bits));
        EXPECT_TRUE(!bitmap.IsAllocated() && !bitmap.HasRegion() && bitmap.BitsPerPixel() == 0);
    }
    EXPECT_EQ(changes, 5);

    bitmap = filled(4, 4, kRed);
    EXPECT_TRUE(bitmap.CreateIfDifferent(4, 4, nullptr, 24));
    EXPECT_EQ(pixelBytes(bitmap, 3, 3), kRedBytes); // kept
    EXPECT_TRUE(bitmap.CreateIfDifferent(4, 4, nullptr, 8));
    EXPECT_EQ(bitmap.BytesPerLine(), 4);

    // 8 bits: the given palette (the rest black), or a grey ramp without one.
    const QList<QRgb> palette = {qRgb(10, 20, 30), qRgb(255, 0, 128)};
    ASSERT_TRUE(bitmap.Create(2, 2, &palette, 8));
    RGBQUAD colors[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {}};
    ASSERT_TRUE(bitmap.SetColors(254, 2, colors));
    EXPECT_FALSE(bitmap.SetColors(255, 2, colors));
    ASSERT_TRUE(bitmap.GetColors(0, 3, colors));
    EXPECT_EQ(colors[0].rgbRed * 65536 + colors[0].rgbGreen * 256 + colors[0].rgbBlue, 0x0a141e);
    EXPECT_EQ(colors[2].rgbRed + colors[2].rgbGreen + colors[2].rgbBlue, 0);
    EXPECT_EQ(bitmap.ColorTable()[255], qRgb(6, 5, 4));
    ASSERT_TRUE(bitmap.Create(2, 2, nullptr, 8));
    EXPECT_EQ(bitmap.ColorTable()[200], qRgb(200, 200, 200));
}

TEST(CorvexBitmap, FillAndResizeCanvasKeepTheRegion)
{
    TCorvexBitmap bitmap = filled(6, 4, 0);
    const QRegion selection = QRegion(1, 1, 2, 2) + QRegion(4, 0, 1, 1);
    bitmap.RestoreRegion(selection);
    ASSERT_TRUE(bitmap.Fill(kOlive, QRect(2, 1, 10, 2))); // runs off the right edge
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixelBytes(bitmap, x, y),
                      x >= 2 && y >= 1 && y <= 2 ? kOliveBytes : kBlackBytes)
                << x << "," << y;
    }
    // The canvas grows with the colour, the old pixels at the top left.
    int changes = 0;
    bitmap.onChange = [&] { ++changes; };
    ASSERT_TRUE(bitmap.ResizeCanvas(7, 5, kRed));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pixelBytes(bitmap, 2, 1) + pixelBytes(bitmap, 0, 0) + pixelBytes(bitmap, 6, 0)
                  + pixelBytes(bitmap, 0, 4),
              kOliveBytes + kBlackBytes + kRedBytes + kRedBytes);
    EXPECT_FALSE(bitmap.ResizeCanvas(0, 2, 0));
    EXPECT_FALSE(bitmap.ResizeCanvas(100000, 100000, 0));
    EXPECT_EQ(bitmap.image().size(), QSize(7, 5));
    EXPECT_EQ(bitmap.SaveRegion(true), selection);
    EXPECT_FALSE(bitmap.SaveRegion(false).has_value());

    // 8 bits: the nearest table entry; the canvas keeps its table.
    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(250, 0, 0), qRgb(0, 0, 250)};
    TCorvexBitmap indexed = filled(3, 1, kBlue, &palette, 8);
    indexed.Fill(0, QRect(0, 0, 1, 1));
    indexed.Fill(kRed, QRect(2, 0, 1, 1));
    EXPECT_EQ(indices(indexed), (QList<int>{0, 2, 1}));
    ASSERT_TRUE(indexed.ResizeCanvas(4, 1, kRed));
    EXPECT_EQ(indexed.ColorTable()[1], qRgb(250, 0, 0));
    EXPECT_EQ(indices(indexed), (QList<int>{0, 2, 1, 1}));
}

TEST(CorvexBitmap, StretchAndCopy)
{
    TCorvexBitmap bitmap = filled(2, 2, kOlive);
    ASSERT_TRUE(bitmap.Stretch(7, 5));
    EXPECT_EQ(bitmap.BytesPerLine(), 24);
    EXPECT_EQ(pixelBytes(bitmap, 6, 4), kOliveBytes);
    EXPECT_EQ(bitmap.image().constScanLine(4)[21], 0); // padding
    EXPECT_FALSE(bitmap.Stretch(0, 5));

    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(9, 9, 9), qRgb(200, 100, 0)};
    TCorvexBitmap indexed = filled(2, 2, 0x0064c8, &palette, 8);
    ASSERT_TRUE(indexed.Stretch(3, 3));
    EXPECT_EQ(indexed.BitsPerPixel(), 8);
    EXPECT_EQ(indexed.ColorTable()[1], qRgb(9, 9, 9));
    EXPECT_EQ(indexed.image().constScanLine(2)[2], 2);

    TCorvexBitmap target = filled(7, 5, kRed);
    ASSERT_TRUE(target.Copy(bitmap));
    EXPECT_EQ(pixelBytes(target, 3, 3), kOliveBytes);
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
    EXPECT_EQ(pixelBytes(bitmap, 1, 2) + pixelBytes(bitmap, 1, 1),
              QByteArray("\x11\x00\x22", 3) + kBlackBytes);
    EXPECT_TRUE(bitmap.GetRow(3) == nullptr && !bitmap.PutRow(3));
    for (int i = 0; i < 3; ++i)
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
    EXPECT_EQ(pixelBytes(bitmap, 39, 1), QByteArray("\x00\x00\x7f", 3));
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
    EXPECT_EQ(pixelBytes(bitmap, 2, 2) + pixelBytes(bitmap, 3, 3), kOliveBytes + kBlackBytes);

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
    EXPECT_EQ(indices(indexed), (QList<int>{1, 0, 2}));
}

// The stream of a whole picture is checked byte by byte by the simulation picture block tests.
TEST(CorvexBitmap, PixelStreamOfARectanglePadsItsRows)
{
    TCorvexBitmap bitmap = filled(3, 2, kRed);
    bitmap.Fill(kOlive, QRect(2, 1, 1, 1));
    // 2 pixels = 6 bytes, padded to 8.
    ByteWriter part;
    ASSERT_TRUE(bitmap.WriteBlock(part, kPixelsRaw, QRect(1, 0, 2, 2)));
    EXPECT_EQ(
        part.data(),
        Bytes().raw(kRedBytes + kRedBytes).zeros(2).raw(kRedBytes + kOliveBytes).zeros(2).data());
    EXPECT_FALSE(bitmap.WriteBlock(part, kPixelsRaw, QRect(2, 0, 2, 1)));
}

TEST(CorvexBitmap, PictureFilesLoadAsEightOrTwentyFourBits)
{
    test::TempDir dir;
    auto file = [&](const char *name) { return dir.file(QLatin1String(name)); };
    TCorvexBitmap bitmap = filled(5, 3, kOlive);
    bitmap.Fill(kRed, QRect(4, 2, 1, 1));
    ASSERT_TRUE(bitmap.SaveToFile(file("a.bmp"), kFileBmp));
    ASSERT_TRUE(bitmap.SaveToFile(file("a.jpg"), kFileJpeg));
    EXPECT_FALSE(bitmap.SaveToFile(file("a.x"), 99));
    EXPECT_EQ(test::readFile(file("a.bmp")).left(2), "BM");
    EXPECT_EQ(test::readFile(file("a.jpg")).left(2), "\xff\xd8");

    TCorvexBitmap loaded;
    int changes = 0;
    loaded.onChange = [&] { ++changes; };
    ASSERT_TRUE(loaded.LoadFromFile(file("a.bmp")));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(loaded.BitsPerPixel(), 24);
    EXPECT_EQ(pixelBytes(loaded, 0, 0), kOliveBytes);
    EXPECT_EQ(pixelBytes(loaded, 4, 2), kRedBytes);

    // A 256-colour picture comes back with 250 colours at most, the nearest ones merged.
    QImage many(256, 1, QImage::Format_Indexed8);
    for (int x = 0; x < 256; ++x) {
        many.setColor(x, qRgb(x, x, 255 - x));
        many.scanLine(0)[x] = uchar(x);
    }
    ASSERT_TRUE(many.save(file("many.png")));
    ASSERT_TRUE(loaded.LoadFromFile(file("many.png")));
    EXPECT_EQ(loaded.BitsPerPixel(), 8);
    const QList<int> used = indices(loaded);
    EXPECT_EQ(QSet<int>(used.begin(), used.end()).size(), 250);
    for (int x = 0; x < 256; x += 51)
        EXPECT_LE(std::abs(qRed(loaded.ColorTable()[used[x]]) - x), 1) << x;
    ASSERT_TRUE(loaded.SaveToFile(file("b.bmp"), kFileBmp));
    EXPECT_EQ(test::readFile(file("b.bmp")).at(28), 8); // bits per pixel

    // A failed load keeps the pixels.
    ASSERT_TRUE(test::writeFile(file("bad.bmp"), "BMnot"));
    EXPECT_FALSE(loaded.LoadFromFile(file("bad.bmp")));
    EXPECT_EQ(loaded.Width(), 256);
}

TEST(KvBitmap, ZeroFilledRowsRoundedToFourBytes)
{
    KvBitmap buffer;
    EXPECT_EQ(buffer.Lock(), nullptr);
    ASSERT_TRUE(buffer.Create(5, 3, 8));
    uchar *pixels = buffer.Lock();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(pixels), buffer.SizeInBytes()),
              QByteArray(24, 0));
    ASSERT_TRUE(buffer.Fill(0xab));
    EXPECT_EQ(pixels[23], 0xab);
    for (const auto &[width, bits, stride] : {std::tuple(9, 1, 4), std::tuple(3, 24, 12)}) {
        ASSERT_TRUE(buffer.Create(width, 2, bits));
        EXPECT_EQ(buffer.Stride(), stride);
    }
    EXPECT_FALSE(buffer.Create(100000, 100000, 32));
    EXPECT_FALSE(buffer.Create(5, 0, 8));
    EXPECT_FALSE(buffer.IsAllocated());
}
