#pragma once

#include "app/viewerform.h"

#include <array>

class QAction;

namespace warplon {

// The design view: the lapping chart enlarged in a window of its own, panned by dragging, with
// the image viewer's copy and save and a zoom menu of its own. The design window fills it with
// the chart drawn at the chosen zoom.
class TDesignView_F : public TViewer_F
{
    Q_OBJECT

public:
    TDesignView_F(const QString &programDirectory, const QString &language,
                  QWidget *parent = nullptr);

    // Checks the zoom item of factor 1, 2 or 4 ("X 1/4", "X 1/2", "X 1").
    void SetZoom(int factor);
    int Zoom() const { return m_zoom; }

    std::array<QAction *, 3> zoomItems{};

signals:
    // A zoom item was chosen: the design window draws the chart again at that factor.
    void zoomChosen(int factor);

private:
    int m_zoom = 4;
};

} // namespace warplon
