#include "color/dib256palette.h"

#include "color/usercolordrag.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace warplon {

namespace {

constexpr int kScrollBarWidth = 14;
constexpr int kDefaultSquare = 18;

QColor ToQColor(TColor color)
{
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

} // namespace

TDIB256Palette::TDIB256Palette(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(QStringLiteral("PaletteScrollBar"));
    m_scrollBar->setSingleStep(1);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int row) {
        m_geometry.SetTopRow(row);
        update();
    });
    syncScrollBar();
}

void TDIB256Palette::SetPaletteObject(TPalette *palette)
{
    m_palette = palette;
    update();
}

void TDIB256Palette::SetXSquares(int value)
{
    m_geometry.SetXSquares(value);
    syncScrollBar();
    updateGeometry();
    update();
}

void TDIB256Palette::SetYSquares(int value)
{
    m_geometry.SetYSquares(value);
    syncScrollBar();
    updateGeometry();
    update();
}

void TDIB256Palette::SetTab(int value)
{
    m_geometry.SetTab(value);
    updateGeometry();
    update();
}

int TDIB256Palette::GetUseColor() const
{
    return m_palette ? m_palette->UseColor : 0;
}

void TDIB256Palette::SetUseColor(int value)
{
    if (!m_palette || m_palette->UseColor == 0 || value < 0 || value > 255)
        return;
    m_palette->UseColor = uint16_t(value);
    update();
}

TColor TDIB256Palette::GetFGColor() const
{
    return m_palette ? m_palette->GetColor(m_choice) : 0;
}

TColor TDIB256Palette::GetBGColor() const
{
    return m_palette ? m_palette->GetColor(1) : 0;
}

TColor TDIB256Palette::GetCursorColor() const
{
    return m_palette ? m_palette->GetColor(m_cursor) : 0;
}

RGBQUAD TDIB256Palette::GetForegroundRgb() const
{
    return TColorToRGB(GetFGColor());
}

RGBQUAD TDIB256Palette::GetBackgroundRgb() const
{
    return TColorToRGB(GetBGColor());
}

void TDIB256Palette::SetChoiceIndex(int index)
{
    if (index < PaletteGridGeometry::kFirstEntry || index > PaletteGridGeometry::kLastEntry)
        return;
    m_choice = index;
    m_geometry.EnsureVisible(index);
    syncScrollBar();
    if (m_palette && index > m_palette->UseColor)
        SetUseColor(index);
    update();
    emit colorChanged(index);
}

void TDIB256Palette::SetCursorIndex(int index)
{
    if (index < PaletteGridGeometry::kFirstEntry || index > PaletteGridGeometry::kLastEntry)
        return;
    const bool moved = index != m_cursor;
    m_cursor = index;
    if (moved)
        update();
    emit cursorChanged(index);
}

void TDIB256Palette::ScrollToRowOf(int index)
{
    m_geometry.SetTopRow(m_geometry.RowOf(index));
    syncScrollBar();
    update();
}

bool TDIB256Palette::LoadFromFile(const QString &fileName, QString *error)
{
    if (!m_palette)
        return false;
    const bool loaded = m_palette->LoadFromFile(fileName, error);
    update();
    return loaded;
}

bool TDIB256Palette::SaveToFile(const QString &fileName, QString *error) const
{
    return m_palette && m_palette->SaveToFile(fileName, error);
}

void TDIB256Palette::SetPalette(const TPalette &other)
{
    if (!m_palette)
        return;
    m_palette->SetPalette(other);
    update();
}

void TDIB256Palette::Copy(int index, const TColorData &source)
{
    if (!m_palette)
        return;
    m_palette->Copy(index, source);
    update();
}

void TDIB256Palette::SetNormal(int index, uint8_t r, uint8_t g, uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetNormal(index, r, g, b);
    update();
}

void TDIB256Palette::SetPrinterColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                     uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetPrinterColor(index, page, number, r, g, b);
    update();
}

void TDIB256Palette::SetKvStandardColor(int index, uint16_t page, uint8_t number, uint8_t r,
                                        uint8_t g, uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetKvStandardColor(index, page, number, r, g, b);
    update();
}

void TDIB256Palette::SetKvTextileColor(int index, uint16_t page, uint8_t number, uint8_t r,
                                       uint8_t g, uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetKvTextileColor(index, page, number, r, g, b);
    update();
}

void TDIB256Palette::SetPantone1000(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                    uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetPantone1000(index, page, number, r, g, b);
    update();
}

void TDIB256Palette::SetPantoneTextile(int index, uint16_t page, uint8_t number, uint8_t r,
                                       uint8_t g, uint8_t b)
{
    if (!m_palette)
        return;
    m_palette->SetPantoneTextile(index, page, number, r, g, b);
    update();
}

void TDIB256Palette::SetUserColor(int index, uint16_t kind, uint16_t page, uint8_t number,
                                  uint8_t r, uint8_t g, uint8_t b, const QByteArray &fileName,
                                  const QByteArray &colorName)
{
    if (!m_palette)
        return;
    m_palette->SetUserColor(index, kind, page, number, r, g, b, fileName, colorName);
    update();
}

void TDIB256Palette::SetBeforeDropStore(std::function<void(int)> beforeStore)
{
    m_beforeDropStore = std::move(beforeStore);
}

QRect TDIB256Palette::SquareRect(int index) const
{
    return m_geometry.SquareRect(index);
}

int TDIB256Palette::IndexAt(QPoint point) const
{
    return m_geometry.IndexAt(point);
}

QSize TDIB256Palette::sizeHint() const
{
    return m_geometry.SizeFor(kDefaultSquare, kDefaultSquare) + QSize(kScrollBarWidth, 0);
}

int TDIB256Palette::squaresWidth() const
{
    return std::max(1, width() - kScrollBarWidth);
}

void TDIB256Palette::layoutGrid()
{
    m_geometry.SetSize(QSize(squaresWidth(), height()));
    m_scrollBar->setGeometry(squaresWidth(), 0, kScrollBarWidth, height());
}

void TDIB256Palette::syncScrollBar()
{
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setRange(m_geometry.MinTopRow(), m_geometry.MaxTopRow());
    m_scrollBar->setPageStep(m_geometry.YSquares());
    m_scrollBar->setValue(m_geometry.TopRow());
}

void TDIB256Palette::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutGrid();
}

void TDIB256Palette::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, squaresWidth(), height()), palette().color(QPalette::Mid));
    if (!m_palette)
        return;
    for (int index = PaletteGridGeometry::kFirstEntry; index <= PaletteGridGeometry::kLastEntry;
         ++index) {
        const QRect square = m_geometry.SquareRect(index);
        if (square.isEmpty())
            continue;
        painter.fillRect(square, ToQColor(m_palette->GetColor(index)));
    }
    // The cursor gets a dotted frame, the chosen entry a black and white double frame around
    // its square, so both show on any colour.
    const QRect cursor = m_geometry.SquareRect(m_cursor);
    if (!cursor.isEmpty() && m_cursor != m_choice) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(cursor.adjusted(0, 0, -1, -1));
    }
    const QRect chosen = m_geometry.SquareRect(m_choice);
    if (!chosen.isEmpty()) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(chosen.adjusted(-1, -1, 0, 0));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(chosen.adjusted(0, 0, -1, -1));
    }
}

void TDIB256Palette::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0)
        SetChoiceIndex(index);
}

void TDIB256Palette::mouseMoveEvent(QMouseEvent *event)
{
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0)
        SetCursorIndex(index);
}

void TDIB256Palette::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = IndexAt(event->position().toPoint());
    if (index < 0)
        return;
    if (index != m_choice)
        SetChoiceIndex(index);
    emit accepted(m_choice);
}

void TDIB256Palette::keyPressEvent(QKeyEvent *event)
{
    using Move = PaletteGridGeometry::Move;
    Move move;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit accepted(m_choice);
        return;
    case Qt::Key_Left:
        move = Move::Left;
        break;
    case Qt::Key_Right:
        move = Move::Right;
        break;
    case Qt::Key_Up:
        move = Move::Up;
        break;
    case Qt::Key_Down:
        move = Move::Down;
        break;
    case Qt::Key_PageUp:
        move = Move::PageUp;
        break;
    case Qt::Key_PageDown:
        move = Move::PageDown;
        break;
    case Qt::Key_Home:
        move = Move::Home;
        break;
    case Qt::Key_End:
        move = Move::End;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const int target = m_geometry.Moved(m_choice, move, GetUseColor());
    if (target != m_choice)
        SetChoiceIndex(target);
}

void TDIB256Palette::wheelEvent(QWheelEvent *event)
{
    const int rows = event->angleDelta().y() / 120;
    if (rows == 0)
        return;
    m_geometry.SetTopRow(m_geometry.TopRow() - rows);
    syncScrollBar();
    update();
}

void TDIB256Palette::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_palette && event->mimeData()->hasFormat(UserColorDragMimeType()))
        event->acceptProposedAction();
}

void TDIB256Palette::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_palette && event->mimeData()->hasFormat(UserColorDragMimeType())
        && IndexAt(event->position().toPoint()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDIB256Palette::dropEvent(QDropEvent *event)
{
    const int index = IndexAt(event->position().toPoint());
    QByteArray collection;
    std::vector<UserColor> colors;
    if (!m_palette || index < 0
        || !DecodeUserColorDrag(event->mimeData()->data(UserColorDragMimeType()), collection,
                                colors)) {
        event->ignore();
        return;
    }
    const int stored = LoadAllOnPalette(colors, *m_palette, index, collection, m_beforeDropStore);
    event->acceptProposedAction();
    update();
    if (stored > 0)
        emit userColorsDropped(index, stored);
}

} // namespace warplon
