#include "app/aboutbox.h"

#include "app/messagebox.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace warplon {

TAboutBox::TAboutBox(bool ombra, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_opener([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("AboutBox"));
    setModal(true);
    setWindowTitle(QStringLiteral("About"));

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProgramPicture(48));
    ProgramIcon->setFixedSize(48, 48);

    QString system = QStringLiteral("Warplon CAD System 2.41");
    if (ombra)
        system += QStringLiteral(" (Ombra)");
    lbSystem = new QLabel(system, this);
    lbSystem->setObjectName(QStringLiteral("lbSystem"));
    QFont bold = lbSystem->font();
    bold.setBold(true);
    lbSystem->setFont(bold);

    lbType = new QLabel(QStringLiteral("Tricot Design"), this);
    lbType->setObjectName(QStringLiteral("lbType"));

    lbNotice = new QLabel(
        QStringLiteral("Made by Brenmoor for the designers of warp-knitted fabric."), this);
    lbNotice->setObjectName(QStringLiteral("lbNotice"));

    const QUrl site(QString::fromLatin1(kMakerWebAddress));
    lbLink = new QLabel(site.host() + site.path(), this);
    lbLink->setObjectName(QStringLiteral("lbLink"));
    QFont underlined = lbLink->font();
    underlined.setUnderline(true);
    lbLink->setFont(underlined);
    QPalette palette = lbLink->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    lbLink->setPalette(palette);
    lbLink->setCursor(Qt::PointingHandCursor);
    lbLink->installEventFilter(this);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lbSystem);
    texts->addWidget(lbType);
    texts->addSpacing(8);
    texts->addWidget(lbNotice);
    texts->addWidget(lbLink);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setHorizontalSpacing(16);
    layout->addWidget(ProgramIcon, 0, 0, Qt::AlignTop);
    layout->addLayout(texts, 0, 1);
    layout->addWidget(OKButton, 1, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::OpenMakerSite()
{
    if (!m_opener || !m_opener(QUrl(QString::fromLatin1(kMakerWebAddress))))
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    QStringLiteral("Unknown Error in ") + objectName());
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lbLink && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && lbLink->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        OpenMakerSite();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QPixmap TAboutBox::ProgramPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 48.0;
    painter.scale(s, s);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x4E, 0x8C));
    painter.drawRoundedRect(QRectF(1, 1, 46, 46), 8, 8);

    // Two bars lapping in opposite directions over four courses: a tricot chain seen from the
    // face, drawn as two zig-zag yarns.
    const QColor yarns[] = {QColor(0x60, 0xB0, 0xF0), QColor(0xF0, 0xD0, 0x60)};
    for (int bar = 0; bar < 2; ++bar) {
        QPainterPath path;
        for (int course = 0; course <= 4; ++course) {
            const double y = 9 + course * 7.5;
            const double x = ((course + bar) % 2 == 0) ? 12 : 36;
            if (course == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(yarns[bar], 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    // The loops where the yarns meet the needles.
    painter.setPen(QPen(Qt::white, 1.6));
    for (int course = 0; course <= 4; ++course) {
        const double y = 9 + course * 7.5;
        painter.drawEllipse(QPointF(12, y), 2.6, 2.6);
        painter.drawEllipse(QPointF(36, y), 2.6, 2.6);
    }
    return picture;
}

} // namespace warplon
