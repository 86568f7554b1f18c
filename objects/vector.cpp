#include "objects/vector.h"

cVector SumarizeVectors(std::vector<cVector> vList) {
    cVector sum(0, 0, 0);
    for (const cVector& v : vList)
        sum += v;
    return sum;
}

cVector RotatePoint(cVector& point, float fAngle) {
    const double dCos = std::cos(fAngle), dSin = std::sin(fAngle);
    return {static_cast<float>(point.x * dCos - point.y * dSin),
            static_cast<float>(point.x * dSin + point.y * dCos), 0};
}
