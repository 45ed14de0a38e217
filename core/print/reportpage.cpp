#include "print/reportpage.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

constexpr double kHeaderMm = 15.0;
constexpr double kFooterMm = 7.0;
constexpr double kCellPadMm = 0.8;
const QColor kRuleColor(96, 96, 96);
const QColor kHeaderFill(224, 224, 224);

} // namespace

ReportPage::ReportPage(QPagedPaintDevice &device, QPainter *painter, const PageFrame &frame,
                       int totalPages, int firstPage, int lastPage)
    : m_device(device)
    , m_painter(painter)
    , m_frame(frame)
    , m_total(totalPages)
    , m_first(std::max(firstPage, 1))
    , m_last(lastPage)
{
    const int dpi = device.logicalDpiY();
    m_mm = double(dpi) / 25.4;
    const QRect paint = device.pageLayout().paintRectPixels(dpi);
    m_pageRect = QRectF(0, 0, paint.width(), paint.height());
    m_content = m_pageRect.adjusted(0, kHeaderMm * m_mm, 0, -kFooterMm * m_mm);
    m_left = m_content.left();
    m_right = m_content.right();
    m_y = m_content.top();
}

QFont ReportPage::Font(double points, bool bold) const
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double ReportPage::LineHeight(double points) const
{
    return QFontMetricsF(Font(points), &m_device).lineSpacing();
}

bool ReportPage::painting() const
{
    return m_painter && m_page >= m_first && (m_last <= 0 || m_page <= m_last);
}

void ReportPage::Begin()
{
    m_page = 0;
    startPage();
}

void ReportPage::NewPage()
{
    startPage();
}

void ReportPage::startPage()
{
    ++m_page;
    m_y = m_content.top();
    m_left = m_content.left();
    m_right = m_content.right();
    if (!painting())
        return;
    if (m_anyPainted)
        m_device.newPage();
    m_anyPainted = true;

    QPainter &p = *m_painter;
    p.save();
    const double mm = m_mm;
    const QRectF top(m_pageRect.left(), m_pageRect.top(), m_pageRect.width(), 6.0 * mm);
    p.setPen(Qt::black);
    p.setFont(Font(12.0, true));
    const QString pageText = QStringLiteral("%1 / %2").arg(m_page).arg(m_total);
    const QFontMetricsF big(Font(12.0, true), &m_device);
    const double pageWidth = big.horizontalAdvance(pageText) + 2.0 * mm;
    p.drawText(QRectF(top.left(), top.top(), top.width() - pageWidth, top.height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               big.elidedText(m_frame.title, Qt::ElideRight, top.width() - pageWidth));
    p.drawText(top, Qt::AlignRight | Qt::AlignVCenter, pageText);

    // Second line: name and code on the left, file and date on the right.
    const QFont small = Font(8.0);
    const QFontMetricsF fm(small, &m_device);
    p.setFont(small);
    const QRectF line(m_pageRect.left(), top.bottom() + 1.0 * mm, m_pageRect.width(), 5.0 * mm);
    const QString rightText = m_frame.fileName + QStringLiteral("   ") + m_frame.printDate;
    const double rightWidth = std::min(fm.horizontalAdvance(rightText) + 1.0, line.width() * 0.45);
    const QString leftText = m_frame.fabricName + QStringLiteral("   ") + m_frame.fabricCode;
    p.drawText(QRectF(line.left(), line.top(), line.width() - rightWidth - 2.0 * mm, line.height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(leftText, Qt::ElideRight, line.width() - rightWidth - 2.0 * mm));
    p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
               fm.elidedText(rightText, Qt::ElideMiddle, rightWidth));
    p.setPen(QPen(kRuleColor, 0.3 * mm));
    const double ruleY = line.bottom() + 1.5 * mm;
    p.drawLine(QPointF(m_pageRect.left(), ruleY), QPointF(m_pageRect.right(), ruleY));

    // Footer: a rule and the program caption.
    const double footY = m_pageRect.bottom() - kFooterMm * mm + 2.0 * mm;
    p.drawLine(QPointF(m_pageRect.left(), footY), QPointF(m_pageRect.right(), footY));
    p.setPen(Qt::black);
    p.setFont(Font(7.0));
    p.drawText(QRectF(m_pageRect.left(), footY + 0.5 * mm, m_pageRect.width(), 4.0 * mm),
               Qt::AlignHCenter | Qt::AlignVCenter, m_frame.caption);
    p.restore();
}

void ReportPage::setColumn(double left, double right)
{
    m_left = left;
    m_right = right;
}

void ReportPage::Ensure(double height)
{
    if (m_y + height > m_content.bottom() && m_y > m_content.top() + 0.5)
        NewPage();
}

void ReportPage::Heading(const QString &text, double keep)
{
    const double height = LineHeight(9.5) + 1.5 * m_mm;
    Ensure(height + keep);
    if (painting()) {
        m_painter->save();
        m_painter->setPen(Qt::black);
        m_painter->setFont(Font(9.5, true));
        const QFontMetricsF fm(Font(9.5, true), &m_device);
        m_painter->drawText(QRectF(m_left, m_y + 1.0 * m_mm, m_right - m_left, LineHeight(9.5)),
                            Qt::AlignLeft | Qt::AlignVCenter,
                            fm.elidedText(text, Qt::ElideRight, m_right - m_left));
        m_painter->restore();
    }
    m_y += height;
}

void ReportPage::Paragraph(const QString &text, double points, bool bold)
{
    const QFont font = Font(points, bold);
    const double lineHeight = QFontMetricsF(font, &m_device).lineSpacing();
    const QStringList lines = wrapCell(text, font, m_right - m_left, 1000);
    for (const QString &line : lines) {
        Ensure(lineHeight);
        if (painting()) {
            m_painter->save();
            m_painter->setPen(Qt::black);
            m_painter->setFont(font);
            m_painter->drawText(QRectF(m_left, m_y, m_right - m_left, lineHeight),
                                Qt::AlignLeft | Qt::AlignVCenter, line);
            m_painter->restore();
        }
        m_y += lineHeight;
    }
}

QStringList ReportPage::wrapCell(const QString &text, const QFont &font, double width,
                                 int maxLines) const
{
    const QFontMetricsF fm(font, &m_device);
    maxLines = std::max(maxLines, 1);
    QStringList lines;
    const QStringList paragraphs = QString(text)
                                       .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                       .split(QLatin1Char('\n'));
    for (const QString &paragraph : paragraphs) {
        QString line;
        qsizetype i = 0;
        const qsizetype n = paragraph.size();
        if (n == 0)
            lines.append(QString());
        while (i < n) {
            // The next word with the blanks before it.
            qsizetype j = i;
            while (j < n && paragraph[j] == QLatin1Char(' '))
                ++j;
            while (j < n && paragraph[j] != QLatin1Char(' '))
                ++j;
            const QString word = paragraph.mid(i, j - i);
            if (fm.horizontalAdvance(line + word) <= width) {
                line += word;
                i = j;
                continue;
            }
            if (!line.isEmpty()) {
                lines.append(line);
                line.clear();
                // The blanks that ended the line are dropped.
                while (i < n && paragraph[i] == QLatin1Char(' '))
                    ++i;
                continue;
            }
            // A word wider than the cell is broken between characters.
            qsizetype k = i;
            while (k < j && fm.horizontalAdvance(line + paragraph[k]) <= width)
                line += paragraph[k++];
            if (k == i) // not even one character fits
                line += paragraph[k++];
            lines.append(line);
            line.clear();
            i = k;
        }
        if (!line.isEmpty())
            lines.append(line);
    }
    if (lines.size() > maxLines) {
        QString rest = lines.mid(maxLines - 1).join(QLatin1Char(' '));
        lines = lines.mid(0, maxLines - 1);
        lines.append(fm.elidedText(rest, Qt::ElideRight, width));
    }
    for (QString &line : lines) {
        if (fm.horizontalAdvance(line) > width)
            line = fm.elidedText(line, Qt::ElideRight, width);
    }
    return lines;
}

double ReportPage::rowHeight(const TableSpec &spec, const TableRow &row,
                             const std::vector<double> &widths,
                             std::vector<QStringList> *lines) const
{
    const QFont font = Font(spec.fontPoints, row.bold);
    const double lineHeight = QFontMetricsF(font, &m_device).lineSpacing();
    // A row never outgrows a page: beyond the lines a page holds the text is elided.
    const double pad = 2.0 * kCellPadMm * m_mm;
    const double pageLines
        = std::max(1.0, std::floor((m_content.height() * 0.8 - pad) / lineHeight));
    const int maxLines = std::max(1, int(std::min(double(spec.maxLines), pageLines)));
    int most = 1;
    if (lines)
        lines->clear();
    for (size_t c = 0; c < widths.size(); ++c) {
        const QString text = qsizetype(c) < row.cells.size() ? row.cells[qsizetype(c)] : QString();
        const QStringList cell
            = wrapCell(text, font, widths[c] - 2.0 * kCellPadMm * m_mm, maxLines);
        most = std::max(most, int(cell.size()));
        if (lines)
            lines->push_back(cell);
    }
    return most * lineHeight + 2.0 * kCellPadMm * m_mm;
}

void ReportPage::paintRow(const TableSpec &spec, const TableRow &row,
                          const std::vector<double> &widths, bool header)
{
    std::vector<QStringList> lines;
    const double height = rowHeight(spec, row, widths, &lines);
    if (painting()) {
        QPainter &p = *m_painter;
        p.save();
        const QFont font = Font(spec.fontPoints, row.bold || header);
        const double lineHeight = QFontMetricsF(font, &m_device).lineSpacing();
        p.setFont(font);
        double x = m_left;
        for (size_t c = 0; c < widths.size(); ++c) {
            const QRectF cell(x, m_y, widths[c], height);
            if (header)
                p.fillRect(cell, kHeaderFill);
            else if (int(c) == spec.swatchColumn && row.swatch.isValid())
                p.fillRect(cell.adjusted(0.6 * m_mm, 0.6 * m_mm, -0.6 * m_mm, -0.6 * m_mm),
                           row.swatch);
            p.setPen(QPen(kRuleColor, 0.15 * m_mm));
            p.drawRect(cell);
            p.setPen(Qt::black);
            const Qt::Alignment align = header ? Qt::AlignLeft : spec.columns[c].align;
            double ty = m_y + kCellPadMm * m_mm;
            for (const QString &text : lines[c]) {
                p.drawText(QRectF(x + kCellPadMm * m_mm, ty, widths[c] - 2.0 * kCellPadMm * m_mm,
                                  lineHeight),
                           align | Qt::AlignVCenter, text);
                ty += lineHeight;
            }
            x += widths[c];
        }
        p.restore();
    }
    m_y += height;
}

void ReportPage::Table(const TableSpec &spec, const std::vector<TableRow> &rows)
{
    double total = 0.0;
    for (const TableColumn &column : spec.columns)
        total += std::max(column.weight, 0.0);
    if (spec.columns.empty() || total <= 0.0)
        return;
    std::vector<double> widths;
    for (const TableColumn &column : spec.columns)
        widths.push_back((m_right - m_left) * std::max(column.weight, 0.0) / total);

    TableRow header;
    for (const TableColumn &column : spec.columns)
        header.cells.append(column.header);
    header.bold = true;
    const double headerHeight = spec.showHeader ? rowHeight(spec, header, widths, nullptr) : 0.0;

    bool headerOnPage = false;
    for (size_t r = 0; r < rows.size(); ++r) {
        const double height = rowHeight(spec, rows[r], widths, nullptr);
        const int before = m_page;
        Ensure((headerOnPage ? 0.0 : headerHeight) + height);
        if (m_page != before)
            headerOnPage = false;
        if (!headerOnPage && spec.showHeader) {
            paintRow(spec, header, widths, true);
            headerOnPage = true;
        }
        paintRow(spec, rows[r], widths, false);
    }
    if (rows.empty() && spec.showHeader) {
        Ensure(headerHeight);
        paintRow(spec, header, widths, true);
    }
}

void ReportPage::DrawPicture(const QImage &picture, const QRectF &target, const QRectF &source)
{
    if (!painting() || picture.isNull())
        return;
    m_painter->save();
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->drawImage(target, picture, source);
    m_painter->restore();
}

QRectF ReportPage::Picture(const QImage &picture, double maxWidth, double maxHeight)
{
    if (picture.isNull() || maxWidth <= 0.0 || maxHeight <= 0.0)
        return QRectF();
    const double scale = std::min(maxWidth / picture.width(), maxHeight / picture.height());
    const QSizeF size(picture.width() * scale, picture.height() * scale);
    Ensure(size.height());
    const QRectF target(QPointF(m_left, m_y), size);
    DrawPicture(picture, target, QRectF(picture.rect()));
    m_y += size.height();
    return target;
}

double ReportPage::MeasureHeight(const std::function<void(ReportPage &)> &flow) const
{
    ReportPage probe(*this);
    probe.m_painter = nullptr;
    probe.m_content.setBottom(1e12);
    probe.m_y = probe.m_content.top();
    flow(probe);
    return probe.m_y - probe.m_content.top();
}

void ReportPage::Paint(const std::function<void(QPainter &)> &paint)
{
    if (painting()) {
        m_painter->save();
        paint(*m_painter);
        m_painter->restore();
    }
}

} // namespace warplon
