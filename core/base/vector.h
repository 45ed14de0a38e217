#pragma once

namespace warplon {

// A small vector of up to three doubles with its dimension count.
class Vector
{
public:
    Vector() = default;
    Vector(double x, double y) { Set(x, y); }
    Vector(double x, double y, double z) { Set(x, y, z); }

    void Set(double x, double y);
    void Set(double x, double y, double z);
    int Dimension() const { return m_dimension; }
    // Component i (0..2); components beyond the dimension read as 0.
    double Get(int i) const;

    double Length() const;
    double Dot(const Vector &other) const;
    // The cross product of the three-component forms; the result has dimension 3.
    Vector Cross(const Vector &other) const;
    Vector Scaled(double factor) const;
    // Scales to length 1; a zero vector stays as it is.
    void Normalize();

private:
    double m_v[3] = {0.0, 0.0, 0.0};
    int m_dimension = 0;
};

} // namespace warplon
