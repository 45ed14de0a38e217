#pragma once

// The clicks of the capture window's measure mode turned into measure objects: which click of
// the current object comes next, the object being built and the list the window draws.

#include "capture/measureobject.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

class MeasureSession
{
public:
    // The object type of the window's list (MeasureKind); changing it starts the next object
    // afresh (an object already begun stays as it is).
    void SetObjectType(uint8_t kind);
    uint8_t objectType() const { return m_type; }
    // Clicks made of the current object.
    int32_t clickStage() const { return m_stage; }

    // A left click on the picture at p (with Ctrl held: `ctrl`), measured at umPerDot.
    // POINT: adds a point. LINE: the first click adds a line of one point ("0 um"), the second
    // sets its end. TRIANGLE: the third click, the apex, adds the triangle on the first two.
    // CIRCLE: the second click adds the circle across both. POLYGON: the first click starts a
    // polygon with its vertex and a moving vertex, later clicks fix the moving vertex and add a
    // new one, and a click with Ctrl closes it instead (the moving vertex is dropped).
    void Click(QPoint p, bool ctrl, double umPerDot);
    // The mouse moved to p: a begun line follows it with its end, a begun polygon with its
    // moving vertex. True when an object changed (the picture needs drawing again).
    bool Move(QPoint p, double umPerDot);

    // Labels every object again at a new calibration; an unfinished polygon stays unlabelled.
    void Relabel(double umPerDot);

    // Removes the last object and starts the next one afresh.
    void Undo();
    // Removes every object (a new capture).
    void Clear();

    const std::vector<MeasureObject> &objects() const { return m_objects; }
    // What the window's info label shows (MeasureInfoText).
    QString InfoText() const { return MeasureInfoText(m_objects); }

private:
    uint8_t m_type = MeasurePoint;
    int32_t m_stage = 0;
    std::vector<QPoint> m_pending; // clicks of a triangle or circle not yet complete
    std::vector<MeasureObject> m_objects;
};

} // namespace warplon
