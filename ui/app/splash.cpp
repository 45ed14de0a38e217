#include "app/splash.h"

#include "app/progressbar.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace warplon {

namespace {

// The plain window shown when the picture is missing.
constexpr int kPlainWidth = 360;
constexpr int kPlainHeight = 120;

} // namespace

Tsplash::Tsplash(const QString &programDirectory, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_picture(QDir(programDirectory).filePath(QStringLiteral("splash.bmp")))
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(hasPicture() ? m_picture.size() : QSize(kPlainWidth, kPlainHeight));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.topLeft() + CentredOn(area.size(), size()));
    }
}

void Tsplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (hasPicture()) {
        painter.drawImage(0, 0, m_picture);
        return;
    }
    painter.fillRect(rect(), QColor(0x1F, 0x4E, 0x8C));
    painter.setPen(QColor(0x60, 0xB0, 0xF0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont title = font();
    title.setPointSize(24);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Warplon"));
}

} // namespace warplon
