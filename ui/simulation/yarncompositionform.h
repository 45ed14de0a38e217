#pragma once

#include "simulation/composition.h"
#include "text/stringtable.h"

#include <QWidget>

#include <cstdint>

class QTableWidget;

namespace warplon {

class DesignHost;

// The yarn composition: one row per pair of yarn and guide bar that the threading uses, with
// its ends (typed as ends per beam and beams, or as the total), the yarn's length and weight per
// yard of fabric, its share of the fabric's weight and the bar's run-in; below, the machine's and
// the finished fabric's gauge, density and width and the total weight. The window keeps the
// design's yarn-use records in step with the threading each time it is shown or refreshed.
class TYarnCompositionData_F : public QWidget
{
    Q_OBJECT

public:
    explicit TYarnCompositionData_F(DesignHost &host, QWidget *parent = nullptr);

    // Works the composition out again from the design, writes the records back into the
    // document and shows both grids.
    void Refresh();

    // Enter with `text` in cell (row, column) of the yarn grid, row 1 showing the first record:
    // stores the count (columns 3 to 5 only), recalculates and moves to the next column. False,
    // with a message where the text was the reason, when nothing was stored.
    bool EnterCell(int32_t row, int32_t column, const QString &text);

    const CompositionTable &table() const { return m_table; }

    QTableWidget *YarnStringGrid = nullptr;
    QTableWidget *TotalStringGrid = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillYarnGrid();
    void fillTotalGrid();

    DesignHost &m_host;
    TStringTable m_texts;
    CompositionTable m_table;
};

} // namespace warplon
