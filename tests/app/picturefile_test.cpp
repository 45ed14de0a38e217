#include "app/picturefile.h"
#include "testsupport.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::TempDir;

namespace {

int32_t I32At(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

} // namespace

TEST(PictureFile, ChosenNameAndFilterGiveFormatAndExtension)
{
    const QStringList filters = PictureSaveFilters();
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("Bitmaps (*.bmp)"));
    EXPECT_EQ(filters[1], QStringLiteral("JPEG Image File (*.jpg)"));

    struct Case
    {
        const char *name;
        int filter;
        const char *file;
        PictureFormat format;
    };
    const Case cases[] = {
        {"/p/bmp/Noname1", 0, "/p/bmp/Noname1.bmp", PictureFormat::Bitmap},
        {"/p/bmp/Noname1", 1, "/p/bmp/Noname1.jpg", PictureFormat::Jpeg},
        {"/p/bmp/Noname1", -1, "/p/bmp/Noname1.bmp", PictureFormat::Bitmap},
        {"/p/net.JPG", 0, "/p/net.JPG", PictureFormat::Jpeg},
        {"/p/net.jpeg", 0, "/p/net.jpeg", PictureFormat::Jpeg},
        {"/p/net.Bmp", 1, "/p/net.Bmp", PictureFormat::Bitmap},
        {"/p/net.v2", 1, "/p/net.v2.jpg", PictureFormat::Jpeg},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PictureTarget target = ChoosePictureTarget(QString::fromLatin1(c.name), c.filter);
        EXPECT_EQ(target.fileName, QString::fromLatin1(c.file));
        EXPECT_EQ(target.format, c.format);
    }
}

TEST(PictureFile, BitmapIs24BitWithBottomUpPaddedRows)
{
    TempDir dir;
    // A 32-bit picture with alpha must still come out as a plain 24-bit bitmap.
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(0x10, 0x20, 0x30, 0x80));
    picture.setPixel(1, 0, qRgb(0x40, 0x50, 0x60));
    picture.setPixel(2, 0, qRgb(0x70, 0x80, 0x90));
    picture.setPixel(0, 1, qRgb(0xA0, 0xB0, 0xC0));
    picture.setPixel(1, 1, qRgb(0xD0, 0xE0, 0xF0));
    picture.setPixel(2, 1, qRgb(0x01, 0x02, 0x03));
    ASSERT_TRUE(SavePicture(picture, dir.file(QStringLiteral("a.bmp")), PictureFormat::Bitmap));

    const QByteArray file = test::readFile(dir.file(QStringLiteral("a.bmp")));
    ASSERT_GE(file.size(), 54);
    EXPECT_EQ(file.left(2), QByteArrayLiteral("BM"));
    EXPECT_EQ(I32At(file, 18), 3);
    EXPECT_EQ(I32At(file, 22), 2); // positive height: rows bottom-up
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 28), 24);
    // Rows of 9 bytes padded to 12, bottom row first, each pixel blue, green, red.
    const QByteArray pixels = Bytes()
                                  .raw(QByteArrayLiteral("\xC0\xB0\xA0\xF0\xE0\xD0\x03\x02\x01"))
                                  .zeros(3)
                                  .raw(QByteArrayLiteral("\x30\x20\x10\x60\x50\x40\x90\x80\x70"))
                                  .zeros(3);
    EXPECT_EQ(file.mid(I32At(file, 10), pixels.size()), pixels);
}

TEST(PictureFile, JpegKeepsThePictureAndBadTargetsFail)
{
    TempDir dir;
    QImage picture(64, 48, QImage::Format_RGB888);
    picture.fill(QColor(0x60, 0xB0, 0xF0));
    const QString jpeg = dir.file(QStringLiteral("net.jpg"));
    ASSERT_TRUE(SavePicture(picture, jpeg, PictureFormat::Jpeg));
    EXPECT_EQ(QImageReader(jpeg).format(), QByteArrayLiteral("jpeg"));
    const QImage back(jpeg);
    ASSERT_EQ(back.size(), picture.size());
    const QColor centre = back.pixelColor(32, 24);
    EXPECT_NEAR(centre.red(), 0x60, 3);
    EXPECT_NEAR(centre.green(), 0xB0, 3);
    EXPECT_NEAR(centre.blue(), 0xF0, 3);

    EXPECT_FALSE(
        SavePicture(QImage(), dir.file(QStringLiteral("empty.bmp")), PictureFormat::Bitmap));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("empty.bmp"))));
    EXPECT_FALSE(SavePicture(picture, dir.file(QStringLiteral("no/such/folder/x.bmp")),
                             PictureFormat::Bitmap));
}
