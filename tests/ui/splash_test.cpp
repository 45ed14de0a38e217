#include "app/splash.h"
#include "testsupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPointer>
#include <QScreen>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::TempDir;

namespace {

QPoint ScreenCentreFor(QSize size)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.topLeft()
           + QPoint(area.width() / 2 - size.width() / 2, area.height() / 2 - size.height() / 2);
}

} // namespace

TEST(Splash, TakesItsPictureSizeCentredAndFallsBackToAPlainWindow)
{
    TempDir dir;
    QPointer<Tsplash> plain = new Tsplash(dir.path());
    EXPECT_FALSE(plain->hasPicture());
    EXPECT_TRUE(plain->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(plain->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(plain->grab().isNull()); // paints its name without a picture
    EXPECT_EQ(plain->pos(), ScreenCentreFor(plain->size()));
    plain->show();
    plain->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(plain.isNull()); // closing frees it

    QImage picture(123, 77, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(dir.file(QStringLiteral("splash.bmp"))));
    auto *splash = new Tsplash(dir.path());
    EXPECT_TRUE(splash->hasPicture());
    EXPECT_EQ(splash->size(), QSize(123, 77));
    EXPECT_EQ(splash->pos(), ScreenCentreFor(QSize(123, 77)));
    EXPECT_EQ(splash->grab().toImage().pixelColor(60, 40), QColor(Qt::darkCyan));
    delete splash;

    test::writeFile(dir.file(QStringLiteral("splash.bmp")), QByteArrayLiteral("BM broken"));
    splash = new Tsplash(dir.path());
    EXPECT_FALSE(splash->hasPicture());
    delete splash;
}

TEST(Splash, ShippedPictureIsA24BitBitmap)
{
    const QString file = QStringLiteral(WARPLON_RESOURCES "/splash.bmp");
    const QByteArray bytes = test::readFile(file);
    ASSERT_GE(bytes.size(), 54) << "resources/splash.bmp is missing";
    EXPECT_EQ(bytes.left(2), QByteArrayLiteral("BM"));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
    const QImage picture(file);
    EXPECT_EQ(picture.size(), QSize(480, 300));
}
