#pragma once

#include "color/palette.h"
#include "color/palettegridgeometry.h"

#include <QWidget>

#include <functional>

class QScrollBar;

namespace warplon {

// The palette grid: the entries of a palette (not owned) as coloured squares, XSquares per row
// and YSquares rows with Tab pixels between them, scrolled by rows (the geometry is described in
// core/color/palettegridgeometry.h). A click chooses an entry, the mouse moves the cursor
// entry, a double click or Enter accepts the choice; arrows, Page Up/Down, Home (the
// background) and End (the last colour in use) move the choice. User colour cells dragged from
// a collection land on the entry under the drop and those after it, up to entry 251.
// Numbers shown to the designer are the entry index - 1.
class TDIB256Palette : public QWidget
{
    Q_OBJECT

public:
    explicit TDIB256Palette(QWidget *parent = nullptr);

    // The palette shown; null shows an empty grid.
    void SetPaletteObject(TPalette *palette);
    TPalette *PaletteObject() const { return m_palette; }

    int XSquares() const { return m_geometry.XSquares(); }
    int YSquares() const { return m_geometry.YSquares(); }
    int Tab() const { return m_geometry.Tab(); }
    // 1-16 squares, tab 1-6; other values are ignored.
    void SetXSquares(int value);
    void SetYSquares(int value);
    void SetTab(int value);

    int GetUseColor() const;
    // Does nothing while UseColor is 0.
    void SetUseColor(int value);
    TColor GetFGColor() const;
    TColor GetBGColor() const;
    TColor GetCursorColor() const;
    RGBQUAD GetForegroundRgb() const;
    RGBQUAD GetBackgroundRgb() const;

    int ChoiceIndex() const { return m_choice; }
    // Scrolls the entry into view, raises UseColor to it when needed, repaints and emits
    // colorChanged(). Entries outside 1..255 are ignored.
    void SetChoiceIndex(int index);
    int CursorIndex() const { return m_cursor; }
    // Emits cursorChanged().
    void SetCursorIndex(int index);
    int FirstVisibleIndex() const { return m_geometry.FirstVisibleIndex(); }
    // Scrolls so that the row holding `index` is at the top, as far as the rows allow.
    void ScrollToRowOf(int index);

    // The palette's file, and the palette setters on one entry; each repaints.
    bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    bool SaveToFile(const QString &fileName, QString *error = nullptr) const;
    void SetPalette(const TPalette &other);
    void Copy(int index, const TColorData &source);
    void SetNormal(int index, uint8_t r, uint8_t g, uint8_t b);
    void SetPrinterColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetKvStandardColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                            uint8_t b);
    void SetKvTextileColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                           uint8_t b);
    void SetPantone1000(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetPantoneTextile(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                           uint8_t b);
    void SetUserColor(int index, uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                      uint8_t b, const QByteArray &fileName, const QByteArray &colorName);

    // Called with each entry just before a dropped user colour replaces it (the palette
    // window's undo snapshot).
    void SetBeforeDropStore(std::function<void(int index)> beforeStore);

    // Where an entry is drawn (widget coordinates; empty when not in view) and the entry at a
    // point (-1 for none).
    QRect SquareRect(int index) const;
    int IndexAt(QPoint point) const;

    QScrollBar *ScrollBar() const { return m_scrollBar; }
    QSize sizeHint() const override;

signals:
    void colorChanged(int index);
    void cursorChanged(int index);
    // A double click on an entry, or Enter.
    void accepted(int index);
    // User colours were stored at entries first .. first + count - 1.
    void userColorsDropped(int first, int count);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void layoutGrid();
    void syncScrollBar();
    int squaresWidth() const;

    TPalette *m_palette = nullptr;
    PaletteGridGeometry m_geometry;
    QScrollBar *m_scrollBar = nullptr;
    int m_choice = 2;
    int m_cursor = 2;
    std::function<void(int)> m_beforeDropStore;
};

} // namespace warplon
