#pragma once

#include "text/stringtable.h"

#include <QWidget>

#include <array>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace warplon {

class DesignHost;

// The treatment window: the finishing method of the fabric and, for the bar being edited in the
// main window, which courses are finished. The flags follow that bar's course count; the grid
// shows one row per course ("O" treated, "X" not) and blank rows below.
class TTreatment_F : public QWidget
{
    Q_OBJECT

public:
    explicit TTreatment_F(DesignHost &host, QWidget *parent = nullptr);

    // Re-reads the design: fits the flags to the current bar's course count, shows the bar, the
    // method and the grid. Call after the current bar, the course count or the design changed.
    void Refresh();

    // Controls, named as the program has always named them.
    QLabel *lbLayer = nullptr;
    QGroupBox *rgTreatmentMethod = nullptr;
    std::array<QRadioButton *, 3> methodButtons{};
    QTableWidget *sgCourse = nullptr;
    QLineEdit *edCourseInput = nullptr;
    QToolButton *sbAll = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillGrid();
    void chooseMethod(int method);
    void enterText();
    void checkAll();
    void pressCell(int row, int column);
    std::vector<int32_t> selectedRows() const;
    void edited();

    DesignHost &m_host;
    TStringTable m_texts;
};

} // namespace warplon
