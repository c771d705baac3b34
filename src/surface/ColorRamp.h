#pragma once

#include "geometry/Vec3.h"

// The colour ramp: a cubic Bezier in RGB through cyan, green, yellow and red.
// t is not clamped: values outside [0, 1] extrapolate the curve.
Vec3 RampColor(double t);

// Height colour of y over a surface's own range. A flat surface (range 0, or
// no finite ratio) takes the ramp's start, cyan.
Vec3 HeightColor(double y, double heightMin, double heightRange);

// Tangent-angle colour: the angle of the normal from the vertical over 0 .. pi.
Vec3 AngleColor(const Vec3& unitNormal);

// Curvature colour: |K| over the surface's largest |K|. A surface without
// curvature (scale 0) takes the ramp's start, cyan, like a zero curvature.
Vec3 CurvatureColor(double K, double curvatureScale);
