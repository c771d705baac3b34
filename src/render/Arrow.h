#pragma once

#include "geometry/Vec3.h"

struct GLUquadric;

namespace render {

// DrawArrow: a shaft from P to 95% of V and a cone head of length h (0.2 |V|
// when h is 0) and base radius h / 2 whose tip is at P + V. A zero V draws
// nothing. Colour and line width are the caller's.
void DrawArrow(GLUquadric* quadric, const Vec3& P, const Vec3& V, double h);

} // namespace render
