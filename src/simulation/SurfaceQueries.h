#pragma once

// Queries the ball asks of a surface: its tangent frame at (u, v) and the
// first place where one flight step (a straight segment) meets it.

#include "geometry/Vec3.h"

#include <cstdint>
#include <optional>

class SurfaceSection;

// Tangents of a surface at one (u, v) and its unit normal (zero where the
// tangents are parallel or zero).
struct SurfaceFrame {
    Vec3 Su, Sv, N;
};

// The light first-order evaluation used by the rolling walk and the impact
// frame. Runs the kernel under the document's geometry lock, in single
// precision; N is flipped on a surface with reverseNormal. A surface without
// a control net gives an all-zero frame.
SurfaceFrame SurfaceTangents(SurfaceSection& surface, double u, double v);

// One cell of a collision mesh, named by its lowest corner: row (v index) and
// column (u index). (-1, -1) is no cell.
struct MeshCell {
    std::int32_t row = -1;
    std::int32_t column = -1;

    bool valid() const { return row >= 0 && column >= 0; }
    friend bool operator==(const MeshCell&, const MeshCell&) = default;
};

// The collision-mesh cell whose (u, v) rectangle contains (u, v); on a shared
// border the cell that starts there (the last cell for 1). No cell outside
// [0, 1] x [0, 1] or when the surface has no collision mesh.
MeshCell CollisionCellAt(const SurfaceSection& surface, double u, double v);

// What the segment search leaves behind for the "Impact intersections"
// overlay, and the count of triangle tests of the current step. The document
// owns one, clears triangleTests at the start of each step and hands it to
// every search of the physics thread; readers on other threads copy it under
// the document's lock.
struct IntersectionOverlay {
    Vec3 segmentFrom, segmentTo; // last segment tested against a triangle
    Vec3 shiftedFrom, shiftedTo; // the same, moved toward that triangle by the ball radius
    Vec3 triangleHitPoint;       // best hit on a mesh triangle in the last search
    std::int64_t triangleTests = 0;
    // Whether anything shows the search's marks and its last tested segment.
    // When not, a search leaves out the boxes that cannot improve its hit
    // (the hit is the same) and sets no marks.
    bool marksShown = true;
};

// Result of a segment search: the hit on the exact surface and its (u, v).
struct SegmentHit {
    bool found = false;
    Vec3 point;
    double u = 0.0, v = 0.0;
};

// The hit of the segment from -> to (one flight step of the ball centre) on
// the surface nearest to `from`, or no hit. Walks the box tree over the
// collision mesh, tests the two triangles of each reached cell with the ball
// radius of the surface's document, ignores triangles touching a hole, and
// moves the best hit onto the exact surface. Clears the marks of the previous
// search; while the overlay's marks are shown, marks the boxes entered and hit
// and the nodes of each tested cell as visited.
//
// skipCell: a cell to leave out of the search. The flight code passes the cell
// the ball has just left while the same-surface guard is active on this
// surface, and no cell otherwise.
//
// Keeps no state between calls other than the marks, but the marks and the
// overlay make it a single-caller operation: run it on the physics thread,
// with the document lock held, while the surface's render flag is set.
SegmentHit IntersectSegment(SurfaceSection& surface, const Vec3& from, const Vec3& to, IntersectionOverlay& overlay,
                            std::optional<MeshCell> skipCell = std::nullopt);

// Hit of a ball of the given radius, moving from -> to, on the triangle
// (P0, P1, P2) whose front side faces along faceNormal; the hit lies on the
// triangle. Only a segment approaching the front side counts. The segment is
// shifted toward the face by the radius; failing that, the step counts when it
// ends within one radius of the triangle's plane, on either side. Degenerate
// triangles, zero normals and zero-length segments never hit. Records the
// segment and the shifted segment in the overlay and counts its triangle tests.
std::optional<Vec3> SegmentTriangleHit(const Vec3& from, const Vec3& to, double radius, const Vec3& P0,
                                       const Vec3& P1, const Vec3& P2, const Vec3& faceNormal,
                                       IntersectionOverlay& overlay);

// True when X (a point of the triangle's plane) lies in the triangle: when it
// is within about 1e-6 of a vertex (the product of its distances to two
// vertices is below 1e-6), or when the angles the three edges subtend at X add
// up to 2 pi within 1e-6. Adds one to triangleTests.
bool PointInTriangle(const Vec3& P0, const Vec3& P1, const Vec3& P2, const Vec3& X, std::int64_t& triangleTests);

// True when X lies roughly between A and B: the unit vectors from A and from B
// to X (zero when X coincides with them) add up to less than 1 in length, so
// the angle AXB is wider than 120 degrees.
bool PointBetween(const Vec3& A, const Vec3& B, const Vec3& X);
