#pragma once

#include <cmath>
#include <vector>

// A position, velocity or offset in pixels: x to the right, y downwards; objects keep z at 0.
class cVector {
public:
    cVector(float fX, float fY, float fZ) : x(fX), y(fY), z(fZ) {}

    cVector& operator+=(const cVector& other) {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }
    cVector& operator*=(const float& fFactor) {
        x *= fFactor;
        y *= fFactor;
        z *= fFactor;
        return *this;
    }
    cVector operator+(const cVector& other) const {
        return {x + other.x, y + other.y, z + other.z};
    }
    cVector operator-(const cVector& other) const {
        return {x - other.x, y - other.y, z - other.z};
    }
    float Length() const {
        const double dX = x, dY = y, dZ = z;
        return static_cast<float>(std::sqrt(dX * dX + dY * dY + dZ * dZ));
    }

    float x;
    float y;
    float z;
};

// The sum of the vectors, (0, 0, 0) for none.
cVector SumarizeVectors(std::vector<cVector> vList);
// The point turned by fAngle radians about the origin in the x-y plane; z of the result is 0.
cVector RotatePoint(cVector& point, float fAngle);
