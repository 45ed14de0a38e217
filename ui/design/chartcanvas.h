#pragma once

#include <QWidget>

namespace warplon {

class TDesignForm;

// The design window's chart on screen: the chart picture with a needle ruler below it and a
// course ruler to its right, both counted from the lower right corner as the chart is. Mouse
// presses and moves over the chart, and clicks on the needle ruler, go to the design window.
class TChartCanvas : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRulerThickness = 20;

    explicit TChartCanvas(TDesignForm &form, QWidget *parent = nullptr);

    // Takes the size of the chart picture and the rulers, and repaints.
    void ChartChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TDesignForm &m_form;
};

} // namespace warplon
