#include "color/colorchartform.h"

#include "app/designhost.h"
#include "color/colorcontrols.h"
#include "color/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

enum ChartText { ChartCaption = 0, ChartColorLabel = 1, ChartPrint = 2, ChartTitle = 3 };

// The chips of the window; the mouse over one reports its entry.
class ChartView : public QWidget
{
public:
    ChartView(const TPalette &palette, TColorChartForm &form, QWidget *parent)
        : QWidget(parent)
        , m_palette(palette)
        , m_form(form)
    {
        setMouseTracking(true);
        m_layout.origin = QPoint(4, 4);
        setFixedSize(m_layout.Size() + QSize(8, 8));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        PaintColorChart(painter, m_palette, m_layout, QString());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        const int entry = m_layout.EntryAt(event->position().toPoint());
        if (entry >= 0)
            m_form.ShowEntry(entry);
    }

private:
    const TPalette &m_palette;
    TColorChartForm &m_form;
    ColorChartLayout m_layout = ColorChartLayout::Screen();
};

} // namespace

TColorChartForm::TColorChartForm(DesignHost &host, const TPalette &palette, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_palette(palette)
{
    setObjectName(QStringLiteral("ColorChartForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("ColorChart"));
    setWindowTitle(m_texts.TextAt(ChartCaption));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    ChartGrid = new ChartView(palette, *this, this);
    ChartGrid->setObjectName(QStringLiteral("ChartGrid"));
    layout->addWidget(ChartGrid);

    auto *row = new QHBoxLayout;
    lbColor = new QLabel(m_texts.TextAt(ChartColorLabel), this);
    lbColor->setObjectName(QStringLiteral("lbColor"));
    ShapeColor = new TColorShape(this);
    ShapeColor->setObjectName(QStringLiteral("ShapeColor"));
    ShapeColor->setFixedSize(24, 18);
    lbColorValue = new QLabel(this);
    lbColorValue->setObjectName(QStringLiteral("lbColorValue"));
    lbColorValue->setMinimumWidth(140);
    sbPrint = new QToolButton(this);
    sbPrint->setObjectName(QStringLiteral("sbPrint"));
    sbPrint->setText(m_texts.TextAt(ChartPrint));
    row->addWidget(lbColor);
    row->addWidget(ShapeColor);
    row->addWidget(lbColorValue);
    row->addStretch();
    row->addWidget(sbPrint);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(sbPrint, &QToolButton::clicked, this, &TColorChartForm::Print);
    ShowEntry(-1);
}

void TColorChartForm::Refresh()
{
    ChartGrid->update();
}

void TColorChartForm::ShowEntry(int entry)
{
    const TColorData *record = entry >= 0 ? m_palette.GetColorData(entry) : nullptr;
    ShapeColor->setVisible(record != nullptr);
    if (!record) {
        lbColorValue->clear();
        return;
    }
    ShapeColor->SetColor(record->GetColor());
    // Entries are numbered from 0 for the designer: the number is the index - 1.
    lbColorValue->setText(QStringLiteral("%1   (%2 - %3 - %4)")
                              .arg(entry - 1)
                              .arg(record->color.rgbRed)
                              .arg(record->color.rgbGreen)
                              .arg(record->color.rgbBlue));
}

void TColorChartForm::PrintChart(QPrinter &printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    ColorChartLayout layout
        = ColorChartLayout::ForResolution(printer.logicalDpiX(), printer.logicalDpiY(), true);
    // Centred across the page.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    layout.origin = QPoint(std::max(0, (page.width() - layout.Size().width()) / 2), 0);
    PaintColorChart(painter, m_palette, layout, m_texts.TextAt(ChartTitle));
    painter.end();
}

void TColorChartForm::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(windowTitle());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { PrintChart(*target); });
    preview.exec();
}

} // namespace warplon
