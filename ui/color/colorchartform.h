#pragma once

#include "color/colorchart.h"
#include "text/stringtable.h"

#include <QWidget>

class QLabel;
class QPrinter;
class QToolButton;

namespace warplon {

class DesignHost;
class TColorShape;
class TPalette;

// The colour chart window: the design palette as 16 labelled rows of 16 chips (see
// core/color/colorchart.h). The mouse over a chip shows its entry after "Color  :"; "Print"
// opens a print preview of the chart under its title, with chips sized from the printer's
// resolution.
class TColorChartForm : public QWidget
{
    Q_OBJECT

public:
    // `palette` is the design palette of the palette window and must outlive this window.
    TColorChartForm(DesignHost &host, const TPalette &palette, QWidget *parent = nullptr);

    // Repaints from the palette.
    void Refresh();
    // Shows an entry (or clears the label for -1) as the mouse over its chip does.
    void ShowEntry(int entry);
    // Draws the chart with its title on a printer (or a PDF printer), one page.
    void PrintChart(QPrinter &printer) const;
    // Opens the print preview; its print button prints.
    void Print();

    // Controls, named as the program has always named them.
    QWidget *ChartGrid = nullptr;
    QLabel *lbColor = nullptr;
    QLabel *lbColorValue = nullptr;
    TColorShape *ShapeColor = nullptr;
    QToolButton *sbPrint = nullptr;

private:
    const TPalette &m_palette;
    TStringTable m_texts;
};

} // namespace warplon
