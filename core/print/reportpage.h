#pragma once

// The page engine of the technical sheets: pages with a header (sheet title, fabric name and
// code, file name, print date, "n / N") and a footer (the program caption), a flow of headings,
// text, tables and pictures from top to bottom that moves on to a new page when the next item
// does not fit. Tables break between rows and repeat their header row on the next page; cell
// texts wrap and are elided after a few lines so a row never outgrows its cell.
//
// A sheet is laid out twice with the same engine: once without a painter, which only counts the
// pages, and once with a painter, which paints the pages of the chosen range. Both passes
// measure with the device's fonts, so they break pages at the same places.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace warplon {

// The texts every page shows.
struct PageFrame
{
    QString title;
    QString fabricName;
    QString fabricCode;
    QString fileName;
    QString printDate;
    QString caption; // the footer
};

struct TableColumn
{
    QString header;
    double weight = 1.0; // share of the table's width
    Qt::Alignment align = Qt::AlignLeft;
};

struct TableRow
{
    QStringList cells;
    QColor swatch; // painted as the background of the table's swatch column when valid
    bool bold = false;
};

struct TableSpec
{
    std::vector<TableColumn> columns;
    bool showHeader = true;
    int swatchColumn = -1;
    double fontPoints = 8.0;
    int maxLines = 4; // lines a cell may wrap to before its text is elided
};

class ReportPage
{
public:
    // painter null: layout only. Pages firstPage..lastPage (1-based, lastPage 0 = to the end)
    // are painted; totalPages is printed as N of "n / N".
    ReportPage(QPagedPaintDevice &device, QPainter *painter, const PageFrame &frame, int totalPages,
               int firstPage = 1, int lastPage = 0);

    // Starts the first page; call once before the flow.
    void Begin();
    // The page being laid out, from 1, and the pages laid out so far.
    int pageNumber() const { return m_page; }

    // Device units per millimetre.
    double mm() const { return m_mm; }
    // The content area of the page (between header and footer), in device units.
    QRectF contentRect() const { return m_content; }
    // The flow's column: left and right edges, the cursor's height.
    double left() const { return m_left; }
    double right() const { return m_right; }
    double y() const { return m_y; }
    void setColumn(double left, double right);
    void setY(double y) { m_y = y; }
    // Room left below the cursor.
    double room() const { return m_content.bottom() - m_y; }

    // Starts a new page.
    void NewPage();
    // Starts a new page when less than `height` is left (and the cursor is not at the top).
    void Ensure(double height);
    // Moves the cursor down.
    void Skip(double height) { m_y += height; }

    // A bold heading, kept together with the next `keep` device units.
    void Heading(const QString &text, double keep = 0.0);
    // A wrapped paragraph.
    void Paragraph(const QString &text, double points = 8.0, bool bold = false);
    // A table over the column's width.
    void Table(const TableSpec &spec, const std::vector<TableRow> &rows);
    // A picture scaled to fit width x height (device units) at the cursor, aspect kept, left
    // aligned; the cursor moves below it. Returns the painted rectangle.
    QRectF Picture(const QImage &picture, double maxWidth, double maxHeight);
    // A picture drawn into `target` exactly (the caller keeps the aspect).
    void DrawPicture(const QImage &picture, const QRectF &target, const QRectF &source);
    // The height the flow would take from the top of an endless page of this column's width;
    // nothing is painted and this page is left as it is.
    double MeasureHeight(const std::function<void(ReportPage &)> &flow) const;
    // Free painting on the current page; `paint` is called only when the page is painted.
    void Paint(const std::function<void(QPainter &)> &paint);

    // The height of a line of text at `points`.
    double LineHeight(double points) const;
    QFont Font(double points, bool bold = false) const;
    bool painting() const;

private:
    void startPage();
    double rowHeight(const TableSpec &spec, const TableRow &row, const std::vector<double> &widths,
                     std::vector<QStringList> *lines) const;
    void paintRow(const TableSpec &spec, const TableRow &row, const std::vector<double> &widths,
                  bool header);
    QStringList wrapCell(const QString &text, const QFont &font, double width, int maxLines) const;

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
    PageFrame m_frame;
    int m_total;
    int m_first;
    int m_last;
    int m_page = 0;
    bool m_anyPainted = false;
    double m_mm = 1.0;
    QRectF m_pageRect;
    QRectF m_content;
    double m_left = 0.0;
    double m_right = 0.0;
    double m_y = 0.0;
};

} // namespace warplon
