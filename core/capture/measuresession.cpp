#include "capture/measuresession.h"

namespace warplon {

void MeasureSession::SetObjectType(uint8_t kind)
{
    m_type = kind;
    m_stage = 0;
    m_pending.clear();
}

void MeasureSession::Click(QPoint p, bool ctrl, double umPerDot)
{
    switch (m_type) {
    case MeasurePoint:
        m_objects.push_back(MakeMeasurePoint(p));
        return;
    case MeasureLine:
        if (m_stage == 0) {
            m_objects.push_back(MakeMeasureLine(p, p, umPerDot));
            m_stage = 1;
        } else {
            m_objects.back() = MakeMeasureLine(m_objects.back().points[0], p, umPerDot);
            m_stage = 0;
        }
        return;
    case MeasureTriangle:
        m_pending.push_back(p);
        m_stage = int32_t(m_pending.size());
        if (m_pending.size() == 3) {
            m_objects.push_back(MakeMeasureTriangle(m_pending[0], m_pending[1], p, umPerDot));
            m_pending.clear();
            m_stage = 0;
        }
        return;
    case MeasureCircle:
        m_pending.push_back(p);
        m_stage = int32_t(m_pending.size());
        if (m_pending.size() == 2) {
            m_objects.push_back(MakeMeasureCircle(m_pending[0], p, umPerDot));
            m_pending.clear();
            m_stage = 0;
        }
        return;
    case MeasurePolygon:
        if (m_stage == 0) {
            MeasureObject polygon;
            polygon.kind = MeasurePolygon;
            polygon.points = {p, p};
            polygon.anchor = p;
            m_objects.push_back(polygon);
            m_stage = 1;
        } else if (ctrl) {
            std::vector<QPoint> fixed = m_objects.back().points;
            fixed.pop_back();
            m_objects.back() = MakeMeasurePolygon(fixed, umPerDot);
            m_stage = 0;
        } else {
            m_objects.back().points.back() = p;
            m_objects.back().points.push_back(p);
            ++m_stage;
        }
        return;
    default:
        return;
    }
}

bool MeasureSession::Move(QPoint p, double umPerDot)
{
    if (m_stage == 0 || m_objects.empty())
        return false;
    MeasureObject &last = m_objects.back();
    if (m_type == MeasureLine && last.kind == MeasureLine) {
        last = MakeMeasureLine(last.points[0], p, umPerDot);
        return true;
    }
    if (m_type == MeasurePolygon && last.kind == MeasurePolygon) {
        last.points.back() = p;
        return true;
    }
    return false;
}

void MeasureSession::Relabel(double umPerDot)
{
    for (size_t i = 0; i < m_objects.size(); ++i) {
        MeasureObject &object = m_objects[i];
        const std::vector<QPoint> &p = object.points;
        switch (object.kind) {
        case MeasureLine:
            object = MakeMeasureLine(p.front(), p.back(), umPerDot);
            break;
        case MeasureTriangle:
            object = MakeMeasureTriangle(p[0], p[1], p[2], umPerDot);
            break;
        case MeasureCircle:
            object = MakeMeasureCircle(p[0], p[1], umPerDot);
            break;
        case MeasurePolygon: {
            const bool building
                = i + 1 == m_objects.size() && m_type == MeasurePolygon && m_stage > 0;
            if (!building && !p.empty())
                object = MakeMeasurePolygon(std::vector<QPoint>(p.begin(), p.end() - 1), umPerDot);
            break;
        }
        default:
            break;
        }
    }
}

void MeasureSession::Undo()
{
    if (!m_objects.empty())
        m_objects.pop_back();
    m_stage = 0;
    m_pending.clear();
}

void MeasureSession::Clear()
{
    m_objects.clear();
    m_stage = 0;
    m_pending.clear();
}

} // namespace warplon
