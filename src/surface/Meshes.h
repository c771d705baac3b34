#pragma once

#include "geometry/Vec3.h"

#include <atomic>
#include <cstdint>
#include <memory>

// Samples one mesh of a surface may hold, whatever its stored sampling
// settings ask for: 200 x 200, five times the densest mesh the default
// sampling gives (83 x 99 at 20 points and 24 sections).
inline constexpr int kMaxMeshSamples = 40000;

// One sample of the display mesh: everything drawing and colouring need.
struct DisplaySample {
    double u = 0.0, v = 0.0;
    Vec3 point;
    Vec3 heightColor, angleColor, curvatureColor;
    Vec3 Su, Sv, N;
    Vec3 Suu, Svv, Suv;
    double K = 0.0;
};

// One sample of the collision mesh. `visited` is set by the intersection
// search (physics thread) and read by the overlay drawing (render thread).
struct CollisionSample {
    double u = 0.0, v = 0.0;
    Vec3 point;
    std::atomic<std::uint8_t> visited{0};
};

// Axis-aligned box.
struct BoxRecord {
    double xMin = 0.0, xMax = 0.0, zMin = 0.0, zMax = 0.0, yMin = 0.0, yMax = 0.0;

    // Corner k (0..7) for drawing: bottom face (y = yMin) counter-clockwise
    // from (xMin, zMin), then the top face in the same order.
    Vec3 corner(int k) const;
    bool contains(const Vec3& p) const;
    // True when the segment from a to b meets the box (slab test).
    bool crossedBy(const Vec3& a, const Vec3& b) const;
};

// One node of a surface's box tree over its collision mesh. Nodes live in
// one block owned by the surface; children point into it.
struct BoxNode {
    BoxNode* first = nullptr; // none in a leaf
    BoxNode* second = nullptr;
    std::int32_t leaf = 0;
    std::int32_t depth = 0;
    std::int32_t spanU = 0, spanV = 0;
    std::int32_t u0 = 0, u1 = 0, v0 = 0, v1 = 0; // inclusive column and row ranges
    std::atomic<std::uint8_t> hit{0};
    std::atomic<std::uint8_t> entered{0};
    Vec3 normal1, normal2; // leaf triangle normals (A, C', D) and (A, B, C'); zero elsewhere
    BoxRecord tight;
    BoxRecord inflated;
};
