#include "app/viewerform.h"

#include "app/messagebox.h"
#include "app/picturedialog.h"
#include "app/viewerscroll.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

namespace warplon {

namespace {

enum ViewerText { ViewerCaption = 0, ViewerCopy = 1, ViewerSave = 2 };

QString TextOr(const TStringTable &table, int32_t index, const char *fallback)
{
    const QString text = table.TextAt(index);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

// Moves a bar by one per cent when it is in use.
void StepBar(QScrollBar *bar, int step)
{
    if (bar->isEnabled())
        bar->setValue(bar->value() + step);
}

} // namespace

TViewer_F::TViewer_F(const QString &programDirectory, const QString &language, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_programDirectory(programDirectory)
{
    setObjectName(QStringLiteral("Viewer_F"));
    LoadTable(m_texts, programDirectory, language, QStringLiteral("Viewer"));
    setWindowTitle(TextOr(m_texts, ViewerCaption, "Image Viewer"));

    m_view = new QWidget(this);
    m_view->setObjectName(QStringLiteral("View"));
    Image = new QLabel(m_view);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image->installEventFilter(this);

    for (QScrollBar **bar : {&scHori, &scVert}) {
        *bar = new QScrollBar(bar == &scHori ? Qt::Horizontal : Qt::Vertical, this);
        (*bar)->setRange(0, 100);
        (*bar)->setSingleStep(1);
        (*bar)->setPageStep(10);
        (*bar)->setFocusPolicy(Qt::NoFocus);
        (*bar)->installEventFilter(this);
        connect(*bar, &QScrollBar::valueChanged, this, &TViewer_F::placeImage);
    }
    scHori->setObjectName(QStringLiteral("scHori"));
    scVert->setObjectName(QStringLiteral("scVert"));
    pnCorner = new QFrame(this);
    pnCorner->setObjectName(QStringLiteral("pnCorner"));

    // Keys reach the viewer through an edit placed above the visible area.
    focusEater = new QLineEdit(this);
    focusEater->setObjectName(QStringLiteral("focusEater"));
    focusEater->setGeometry(0, -30, 20, 20);
    focusEater->installEventFilter(this);

    pmViewer = new QMenu(this);
    pmViewer->setObjectName(QStringLiteral("pmViewer"));
    pmvToClipBoard = pmViewer->addAction(TextOr(m_texts, ViewerCopy, "&Copy"));
    pmvToClipBoard->setObjectName(QStringLiteral("pmvToClipBoard"));
    connect(pmvToClipBoard, &QAction::triggered, this, &TViewer_F::CopyToClipboard);
    pmvSave = pmViewer->addAction(TextOr(m_texts, ViewerSave, "&Save"));
    pmvSave->setObjectName(QStringLiteral("pmvSave"));
    connect(pmvSave, &QAction::triggered, this, &TViewer_F::SaveWithDialog);

    resize(320, 240);
    layOut();
}

void TViewer_F::Fill(const QImage &picture)
{
    m_picture = picture;
    Image->setPixmap(QPixmap::fromImage(picture));
    Image->resize(picture.size());
    QSize available(picture.width() + kViewerFrameWidth, picture.height() + kViewerFrameHeight);
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        available = screen->availableSize();
    scHori->setValue(0);
    scVert->setValue(0);
    resize(ViewerClientSize(picture.size(), available));
    layOut();
    show();
    raise();
    focusEater->setFocus();
    repaint();
}

void TViewer_F::CopyToClipboard()
{
    if (!m_picture.isNull())
        QApplication::clipboard()->setImage(m_picture.convertToFormat(QImage::Format_RGB888));
}

void TViewer_F::SaveWithDialog()
{
    SavePictureWithDialog(this, m_picture, m_programDirectory, pmvSave->text());
}

bool TViewer_F::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image)
        return imageEvent(event);
    if (watched == focusEater)
        return keyEvent(event);
    if ((watched == scHori || watched == scVert) && event->type() == QEvent::Enter)
        focusEater->setFocus();
    return QDialog::eventFilter(watched, event);
}

bool TViewer_F::imageEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_dragging = true;
        m_downPosition = mouse->globalPosition().toPoint();
        m_downOffset = Image->pos();
        m_downBars = QPoint(scHori->value(), scVert->value());
        m_restoreCursor = Image->cursor();
        Image->setCursor(Qt::SizeAllCursor);
        focusEater->setFocus();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging)
            dragTo(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return m_dragging;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_dragging || mouse->button() != Qt::LeftButton)
            return false;
        dragTo(mouse->globalPosition().toPoint());
        m_dragging = false;
        Image->setCursor(m_restoreCursor);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        m_dragging = false;
        Image->setCursor(m_restoreCursor);
        close();
        return true;
    default:
        return false;
    }
}

bool TViewer_F::keyEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
        StepBar(scHori, -1);
        return true;
    case Qt::Key_Right:
        StepBar(scHori, 1);
        return true;
    case Qt::Key_Up:
        StepBar(scVert, -1);
        return true;
    case Qt::Key_Down:
        StepBar(scVert, 1);
        return true;
    default:
        return false;
    }
}

void TViewer_F::dragTo(QPoint globalPosition)
{
    const int32_t h = ViewerPositionAfterDrag(m_downBars.x(), m_downOffset.x(), m_downPosition.x(),
                                              globalPosition.x(), m_picture.width(), width());
    const int32_t v = ViewerPositionAfterDrag(m_downBars.y(), m_downOffset.y(), m_downPosition.y(),
                                              globalPosition.y(), m_picture.height(), height());
    if (scHori->isEnabled())
        scHori->setValue(h);
    if (scVert->isEnabled())
        scVert->setValue(v);
}

void TViewer_F::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void TViewer_F::contextMenuEvent(QContextMenuEvent *event)
{
    pmViewer->popup(event->globalPos());
}

void TViewer_F::layOut()
{
    const int w = width();
    const int h = height();
    const int bar = kViewerBarSize;
    m_view->setGeometry(0, 0, std::max(w - bar, 0), std::max(h - bar, 0));
    scHori->setGeometry(0, h - bar, std::max(w - bar, 0), bar);
    scVert->setGeometry(w - bar, 0, bar, std::max(h - bar, 0));
    pnCorner->setGeometry(w - bar, h - bar, bar, bar);
    updateBars();
}

void TViewer_F::updateBars()
{
    const bool across = ViewerBarEnabled(m_picture.width(), width());
    const bool down = ViewerBarEnabled(m_picture.height(), height());
    if (!across)
        scHori->setValue(0);
    if (!down)
        scVert->setValue(0);
    scHori->setEnabled(across);
    scVert->setEnabled(down);
    placeImage();
}

void TViewer_F::placeImage()
{
    Image->move(ViewerPictureOffset(scHori->value(), m_picture.width(), width()),
                ViewerPictureOffset(scVert->value(), m_picture.height(), height()));
}

} // namespace warplon
