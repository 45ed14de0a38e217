#include "base/vector.h"

#include <cmath>

namespace warplon {

void Vector::Set(double x, double y)
{
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = 0.0;
    m_dimension = 2;
}

void Vector::Set(double x, double y, double z)
{
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
    m_dimension = 3;
}

double Vector::Get(int i) const
{
    return (i >= 0 && i < m_dimension) ? m_v[i] : 0.0;
}

double Vector::Length() const
{
    return std::sqrt(Dot(*this));
}

double Vector::Dot(const Vector &other) const
{
    return Get(0) * other.Get(0) + Get(1) * other.Get(1) + Get(2) * other.Get(2);
}

Vector Vector::Cross(const Vector &other) const
{
    return Vector(Get(1) * other.Get(2) - Get(2) * other.Get(1),
                  Get(2) * other.Get(0) - Get(0) * other.Get(2),
                  Get(0) * other.Get(1) - Get(1) * other.Get(0));
}

Vector Vector::Scaled(double factor) const
{
    Vector result = *this;
    for (double &component : result.m_v)
        component *= factor;
    return result;
}

void Vector::Normalize()
{
    const double length = Length();
    if (length == 0.0)
        return;
    for (double &component : m_v)
        component /= length;
}

} // namespace warplon
