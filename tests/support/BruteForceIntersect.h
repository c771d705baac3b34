#pragma once

// Reference segment search without the box tree: every triangle of the
// collision mesh, in row-major order. Shared by the tests (as an oracle for the
// tree search) and the benchmarks (as the cost the tree saves). Beside it, the
// boxes a marked tree search must have entered.

#include "geometry/Plane.h"
#include "simulation/SurfaceQueries.h"
#include "surface/SurfaceSection.h"

#include <algorithm>
#include <functional>
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

// Whether the segment reaches the box grown by r: the box test written out
// axis by axis, leaving at the first empty parameter range.
inline bool reachesInflatedBox(const BoxRecord& tight, double r, const Vec3& from, const Vec3& to)
{
    const BoxRecord b = tight.inflated(r);
    const double lo[3] = {b.xMin, b.yMin, b.zMin}, hi[3] = {b.xMax, b.yMax, b.zMax};
    const double start[3] = {from.x, from.y, from.z}, delta[3] = {to.x - from.x, to.y - from.y, to.z - from.z};
    double t0 = 0.0, t1 = 1.0;
    for (int k = 0; k < 3; ++k) {
        if (delta[k] == 0.0) {
            if (!(lo[k] <= start[k] && start[k] <= hi[k])) return false;
            continue;
        }
        const double inverse = 1.0 / delta[k];
        const double near = delta[k] > 0.0 ? lo[k] : hi[k], far = delta[k] > 0.0 ? hi[k] : lo[k];
        t0 = std::max(t0, (near - start[k]) * inverse);
        t1 = std::min(t1, (far - start[k]) * inverse);
        if (!(t0 <= t1)) return false;
    }
    return true;
}

// The first node whose marks the last marked search of the segment left
// wrong, or -1: a box is entered exactly when its parent was and the segment
// reaches its grown box, even where rounding decides (a segment in or ending
// on a face), and only leaves carry hits. Stale marks of older searches fail.
inline int firstWrongMark(const SurfaceSection& s, const Vec3& from, const Vec3& to)
{
    const BoxTree& tree = *s.boxTree;
    const double r = s.document->surfaceBallRadius();
    const std::function<int(const BoxNode&, bool)> check = [&](const BoxNode& node, bool parentEntered) {
        const bool entered = parentEntered && reachesInflatedBox(tree.tightOf(node), r, from, to);
        if ((tree.entered(node).load() != 0) != entered) return node.index;
        if (node.leaf()) return -1;
        if (tree.hit(node).load() != 0) return node.index;
        const int first = check(tree.first(node), entered);
        return first >= 0 ? first : check(tree.second(node), entered);
    };
    return check(tree.root(), true);
}

} // namespace builders
