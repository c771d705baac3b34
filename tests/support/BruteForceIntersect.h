#pragma once

// Reference segment search without the box tree: every triangle of the
// collision mesh, in row-major order. Shared by the tests (as an oracle for the
// tree search) and the benchmarks (as the cost the tree saves).

#include "geometry/Plane.h"
#include "simulation/SurfaceQueries.h"
#include "surface/SurfaceSection.h"

#include <optional>

namespace builders {

struct MeshHit {
    double distance = 0.0; // from the segment's start
    Vec3 point;             // on the mesh triangle
};

inline std::optional<MeshHit> bruteForceIntersect(const SurfaceSection& s, const Vec3& from, const Vec3& to,
                                                  IntersectionOverlay& overlay)
{
    const double radius = s.document ? s.document->surfaceBallRadius() : 0.3333333333;
    auto inHole = [&](const CollisionSample& n) {
        for (const SurfaceHole& h : s.holes)
            if (PointInHole(h, n.u, n.v)) return true;
        return false;
    };
    std::optional<MeshHit> best;
    auto test = [&](const CollisionSample& a, const CollisionSample& b, const CollisionSample& c, const Vec3& n) {
        const auto hit = SegmentTriangleHit(from, to, radius, a.point, b.point, c.point, n, overlay);
        if (!hit || inHole(a) || inHole(b) || inHole(c)) return;
        const double d = length(*hit - from);
        if (!best || d < best->distance) best = MeshHit{d, *hit};
    };
    for (int i = 0; i + 1 < s.collisionRows; ++i)
        for (int j = 0; j + 1 < s.collisionColumns; ++j) {
            const CollisionSample& A = s.collisionSample(i, j);
            const CollisionSample& B = s.collisionSample(i, j + 1);
            const CollisionSample& C = s.collisionSample(i + 1, j + 1);
            const CollisionSample& D = s.collisionSample(i + 1, j);
            const Vec3 n1 = PlaneFromPoints(A.point, C.point, D.point).normal;
            const Vec3 n2 = PlaneFromPoints(A.point, B.point, C.point).normal;
            test(A, C, D, s.reverseNormal ? -n1 : n1);
            test(A, B, C, s.reverseNormal ? -n2 : n2);
        }
    return best;
}

} // namespace builders
