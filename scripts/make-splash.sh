#!/usr/bin/env bash
# Renders the start-up picture resources/splash.bmp: a simulated power-net fabric with the
# program's name and edition drawn over it, saved as a 480 x 300 bitmap of 24 bits.
#
# Usage: scripts/make-splash.sh [WARPLON_CLI]   (default: build/default/cli/warplon-cli)
# Needs a C++ compiler, pkg-config and the Qt 6 Gui development files (to draw the text), and the
# DejaVu fonts for a picture identical to the committed one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/default/cli/warplon-cli}
out=$root/resources/splash.bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The fabric: the power-net sample at zoom 8, covering more than the picture.
"$cli" simulate --sample power-net --zoom 8 --view 480x300 --seed 1 -o "$work/fabric.png"

# A small Qt program draws the titles; Qt draws text only with an application object.
cat >"$work/title.cpp" <<'EOF'
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3)
        return 2;
    const QImage fabric(QString::fromLocal8Bit(argv[1]));
    if (fabric.width() < 480 || fabric.height() < 300) {
        std::fprintf(stderr, "fabric picture too small\n");
        return 1;
    }
    // The middle of the fabric, away from the edges of the repeat.
    QImage picture = fabric.copy((fabric.width() - 480) / 2, (fabric.height() - 300) / 2, 480, 300)
                         .convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // A dark band across the lower part carries the titles.
    QLinearGradient band(0, 170, 0, 300);
    band.setColorAt(0.0, QColor(16, 32, 64, 0));
    band.setColorAt(0.25, QColor(16, 32, 64, 210));
    band.setColorAt(1.0, QColor(10, 20, 44, 235));
    painter.fillRect(QRect(0, 170, 480, 130), band);
    painter.fillRect(QRect(28, 272, 424, 2), QColor(0x60, 0xB0, 0xF0));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(52);
    title.setBold(true);
    title.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawText(QRect(30, 198, 440, 62), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Warplon"));
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 196, 440, 62), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Warplon"));

    QFont edition(QStringLiteral("DejaVu Sans"));
    edition.setPixelSize(17);
    edition.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(edition);
    painter.setPen(QColor(0xD8, 0xEC, 0xFF));
    painter.drawText(QRect(28, 248, 424, 22), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Tricot Design 2.41"));
    painter.end();

    // Without alpha the bitmap comes out with 24 bits per pixel.
    QImageWriter writer(QString::fromLocal8Bit(argv[2]), "bmp");
    return writer.write(picture.convertToFormat(QImage::Format_RGB888)) ? 0 : 1;
}
EOF
# shellcheck disable=SC2046
c++ -std=c++20 -fPIC -O1 "$work/title.cpp" -o "$work/title" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/title" "$work/fabric.png" "$out"
echo "wrote $out"
