#pragma once

#include "geometry/Vec3.h"
#include "surface/FixedText.h"

#include <cstdint>

// Most points a cross section can hold and most sections a surface can hold.
inline constexpr int kMaxSectionPoints = 20;
inline constexpr int kMaxSections = 24;

// One cross section of a channel surface: a planar shape placed in the world.
// A point (x, y, z) maps to position + (x·scale)·R + (y·scale)·normalized(up)
// with R = normalized(direction × normalized(up)).
struct CrossSection {
    Vec3 position;
    Vec3 direction;
    Vec3 up;
    double distanceToNext = 0.0; // derived: |toNext|, not stored in files
    Vec3 toNext;                 // next position minus this one; zero for the last section
    Vec3 fromPrevious;           // this position minus the previous one; zero for the first
    double scale = 1.0;
    char shapeName[kShortNameSize] = {};
    std::int32_t pointCount = 0;
    Vec3 points[kMaxSectionPoints];
};

// A rectangle of the (u, v) square cut out of a surface.
struct SurfaceHole {
    char name[kShortNameSize] = {};
    double rightLeftLow = 0.0;  // u range
    double rightLeftHigh = 0.0;
    double frontBackLow = 0.0;  // v range
    double frontBackHigh = 0.0;
};

// True when (u, v) lies in the hole (both ranges closed).
inline bool PointInHole(const SurfaceHole& hole, double u, double v)
{
    return hole.rightLeftLow <= u && u <= hole.rightLeftHigh && hole.frontBackLow <= v && v <= hole.frontBackHigh;
}
