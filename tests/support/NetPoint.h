#pragma once

#include "surface/SurfaceSection.h"

// The control point of a surface's net at cross section `row`, point `column`.
inline Vec3 netPoint(const SurfaceSection& s, int row, int column)
{
    const gul::HPoint4f& p = s.controlNet[row][column];
    return {p.x, p.y, p.z};
}
