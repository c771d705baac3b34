#include "simulation/SurfaceQueries.h"

#include "geometry/Plane.h"
#include "simulation/SegmentSlabs.h"
#include "surface/DefaultBallRadius.h"
#include "surface/SurfaceKernel.h"
#include "surface/SurfaceSection.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kNoHitDistance = 999999.0;
// Product of the distances from X to two vertices below which X is at a vertex.
constexpr double kNearVertexProduct = 0.000001;
constexpr double kAngleSumTolerance = 0.000001;
// Rounding allowance of the plane-height shortcut of the leaf triangle test,
// far above the rounding of heights in scene units.
constexpr double kHeightTolerance = 1e-6;

double min3(double a, double b, double c) { return std::min(a, std::min(b, c)); }
double max3(double a, double b, double c) { return std::max(a, std::max(b, c)); }

// Angle between two unit (or zero) vectors; a cosine at or beyond +-1 gives 0 or pi.
double angleBetweenUnits(const Vec3& a, const Vec3& b)
{
    const double c = dot(a, b);
    if (c >= 1.0) return 0.0;
    if (c <= -1.0) return kPi;
    return std::acos(c);
}

// Sine of that angle, sqrt(1 - cos^2), without the arc cosine.
double sineBetweenUnits(const Vec3& a, const Vec3& b)
{
    const double c = dot(a, b);
    if (c >= 1.0 || c <= -1.0) return 0.0;
    return std::sqrt(1.0 - c * c);
}

// Shortcuts of the in-triangle rules, taken only where both rules are
// certain of the answer, so that the search's many misses and clear hits skip
// the three arc cosines.
//
// A point is accepted only within 1e-3 of a vertex (the smaller of two
// distances whose product is below 1e-6) or, by the angle sum, within about
// 2.5e-7 edge lengths of an edge (an edge subtends pi - 5e-7 only that close).
// So a point farther than `slack` outside the bounding box, or (in the plane)
// outside an edge line, is rejected. A point of the plane inside every edge
// by more than 1e-4 of the triangle's size sees the edges at angles adding up
// to exactly 2 pi; the plane test keeps the off-plane deficit below 1e-9.
enum class QuickAnswer { Inside, Outside, Unsure };

// Bounding box of a triangle with the distance beyond it where the
// in-triangle rules can no longer accept a point.
struct TriangleBounds {
    Vec3 lo, hi;
    double size = 0.0; // sum of the box's extents
    double slack = 0.0;

    TriangleBounds(const Vec3& P0, const Vec3& P1, const Vec3& P2)
        : TriangleBounds({min3(P0.x, P1.x, P2.x), min3(P0.y, P1.y, P2.y), min3(P0.z, P1.z, P2.z)},
                         {max3(P0.x, P1.x, P2.x), max3(P0.y, P1.y, P2.y), max3(P0.z, P1.z, P2.z)})
    {
    }

    // A box holding the triangle; being larger, it only widens the bound.
    explicit TriangleBounds(const BoxRecord& box)
        : TriangleBounds({box.xMin, box.yMin, box.zMin}, {box.xMax, box.yMax, box.zMax})
    {
    }

    TriangleBounds(const Vec3& low, const Vec3& high)
        : lo(low), hi(high), size((hi.x - lo.x) + (hi.y - lo.y) + (hi.z - lo.z)), slack(1e-3 + 1e-6 * size)
    {
    }

    bool farOutside(const Vec3& X, double margin) const
    {
        const double m = slack + margin;
        return X.x < lo.x - m || X.x > hi.x + m || X.y < lo.y - m || X.y > hi.y + m || X.z < lo.z - m ||
               X.z > hi.z + m;
    }
};

// How far beyond `box` a hit on a triangle inside it may lie: the slack of
// the in-triangle rules on each axis (largest for the largest triangle, which
// the box bounds), with room for rounding at the box's magnitude.
double hitMargin(const BoxRecord& box)
{
    const double magnitude = std::max({std::fabs(box.xMin), std::fabs(box.xMax), std::fabs(box.yMin),
                                       std::fabs(box.yMax), std::fabs(box.zMin), std::fabs(box.zMax)});
    return 2.0 * TriangleBounds(box).slack + kHeightTolerance + 1e-9 * magnitude;
}

QuickAnswer quickClassify(const Vec3& P0, const Vec3& P1, const Vec3& P2, const Vec3& X)
{
    const TriangleBounds bounds(P0, P1, P2);
    if (bounds.farOutside(X, 0.0)) return QuickAnswer::Outside;
    const double size = bounds.size, slack = bounds.slack;

    const Vec3 e0 = P1 - P0, e1 = P2 - P1, e2 = P0 - P2;
    const Vec3 m = cross(e0, P2 - P0); // |m| is twice the area
    const double m2 = dot(m, m);
    const double height = dot(X - P0, m); // distance from the plane times |m|
    const double planeTolerance = 1e-9 * size;
    if (!(m2 > 0.0) || height * height > planeTolerance * planeTolerance * m2) return QuickAnswer::Unsure;

    // Distance of X inside each edge line, times |edge| |m|.
    const double inside[3] = {dot(cross(e0, X - P0), m), dot(cross(e1, X - P1), m), dot(cross(e2, X - P2), m)};
    const double edge2[3] = {dot(e0, e0), dot(e1, e1), dot(e2, e2)};
    const double margin = 1e-4 * size;
    bool clearlyInside = true;
    for (int k = 0; k < 3; ++k) {
        const double scaled2 = edge2[k] * m2;
        if (inside[k] < 0.0 && inside[k] * inside[k] > slack * slack * scaled2) return QuickAnswer::Outside;
        if (!(inside[k] > 0.0 && inside[k] * inside[k] > margin * margin * scaled2)) clearlyInside = false;
    }
    return clearlyInside ? QuickAnswer::Inside : QuickAnswer::Unsure;
}

double ballRadiusOf(const SurfaceSection& surface)
{
    return surface.document ? surface.document->surfaceBallRadius() : kDefaultBallRadius;
}

bool nodeInHole(const SurfaceSection& surface, const CollisionSample& node)
{
    for (const SurfaceHole& hole : surface.holes)
        if (PointInHole(hole, node.u, node.v)) return true;
    return false;
}

// (u, v) of a point X of the triangle whose two mesh edges meet at Q, with A
// and B the neighbours of Q along those edges: X - Q = s (A - Q) + t (B - Q),
// s and t from the law of sines on the angles at Q; each edge moves only one
// of u and v. The result stays inside the triangle's parameter rectangle.
std::pair<double, double> obliqueParameters(const CollisionSample& Q, const CollisionSample& A,
                                            const CollisionSample& B, const Vec3& X)
{
    for (const CollisionSample* node : {&Q, &A, &B})
        if (X == node->point) return {node->u, node->v};
    Vec3 qa = A.point - Q.point, qb = B.point - Q.point, qx = X - Q.point;
    const double la = normalize(qa), lb = normalize(qb), lx = normalize(qx);
    const double sinQ = sineBetweenUnits(qa, qb);
    double s = 0.0, t = 0.0;
    if (la > 0.0 && lb > 0.0 && sinQ > 0.0) {
        s = lx * sineBetweenUnits(qb, qx) / (sinQ * la);
        t = lx * sineBetweenUnits(qa, qx) / (sinQ * lb);
    }
    double u = Q.u + s * (A.u - Q.u) + t * (B.u - Q.u);
    double v = Q.v + s * (A.v - Q.v) + t * (B.v - Q.v);
    if (!std::isfinite(u) || !std::isfinite(v)) return {Q.u, Q.v};
    u = std::clamp(u, min3(Q.u, A.u, B.u), max3(Q.u, A.u, B.u));
    v = std::clamp(v, min3(Q.v, A.v, B.v), max3(Q.v, A.v, B.v));
    return {u, v};
}

// One step of the ball centre with its unit direction.
struct StepSegment {
    Vec3 from, to, direction;
    double radius = 0.0;
};

// The triangle test once the segment is known to approach the face (unit
// normal n) and to meet the triangle's plane: the segment shifted toward the
// face by the radius, then the end of the step within one radius of the plane.
std::optional<Vec3> hitShiftedSegment(const StepSegment& s, const Plane& plane, const Vec3& n, const Vec3& P0,
                                      const Vec3& P1, const Vec3& P2, IntersectionOverlay& overlay)
{
    const Vec3 offset = -s.radius * n;
    const Vec3 shiftedFrom = s.from + offset, shiftedTo = s.to + offset;
    overlay.shiftedFrom = shiftedFrom;
    overlay.shiftedTo = shiftedTo;
    const auto X = RayPlane(plane, shiftedFrom, s.direction);
    if (X && isFinite(*X) && PointInTriangle(P0, P1, P2, *X, overlay.triangleTests) &&
        PointBetween(shiftedFrom, shiftedTo, *X))
        return X;

    // The foot of the step's end on the plane, along the shift: unit(to' - to).
    const Vec3 shiftDirection = s.radius > 0.0 ? -n : s.radius < 0.0 ? n : Vec3{};
    const auto Y = RayPlane(plane, s.to, shiftDirection);
    if (Y && isFinite(*Y) && PointInTriangle(P0, P1, P2, *Y, overlay.triangleTests) &&
        PointBetween(shiftedTo, s.to + (s.to - shiftedTo), *Y))
        return Y;
    return std::nullopt;
}

// State of one top-level segment search, shared by its recursion.
class SegmentSearch {
public:
    SegmentSearch(SurfaceSection& surface, const Vec3& from, const Vec3& to, IntersectionOverlay& overlay,
                  std::optional<MeshCell> skipCell)
        : surface_(surface), tree_(*surface.boxTree), segment_{from, to, normalized(to - from), ballRadiusOf(surface)},
          slabs_(from, to, segment_.radius), overlay_(overlay), skipCell_(skipCell), marking_(overlay.marksShown)
    {
    }

    // Marks and tests every box the segment reaches or, when nothing shows
    // the marks, only those that can still improve the hit.
    void run()
    {
        if (marking_ || tree_.depth() + 2 > kStackSize) {
            walk();
            return;
        }
        slabs_.prepareSingle(segment_.from, segment_.to, segment_.radius, tree_.tight);
        margin_ = hitMargin(tree_.tight);
        walkNearestFirst();
    }

    // Deep enough for any tree over a mesh of at most kMaxMeshSamples points.
    static constexpr int kStackSize = 64;

    SegmentHit result() const
    {
        SegmentHit hit;
        if (!found_) return hit;
        // Cell corners A (row, column), B (row, column + 1), C' (row + 1, column + 1),
        // D (row + 1, column). The mesh edges of (A, C', D) meet at D, those of
        // (A, B, C') at B.
        const int row = bestCell_.row, column = bestCell_.column;
        const CollisionSample A = surface_.collisionSample(row, column);
        const CollisionSample C = surface_.collisionSample(row + 1, column + 1);
        const CollisionSample Q =
            bestTriangle_ == 0 ? surface_.collisionSample(row + 1, column) : surface_.collisionSample(row, column + 1);
        const auto [u, v] = obliqueParameters(Q, A, C, bestPoint_);
        hit.found = true;
        hit.u = u;
        hit.v = v;
        hit.point = surface_.EvaluatePoint(u, v);
        // A broken net cannot poison the ball: keep the point on the mesh.
        if (!isFinite(hit.point)) hit.point = bestPoint_;
        return hit;
    }

private:
    // Visits the boxes in pre-order, skipping the subtree of every box the
    // segment (inflated by the radius) misses.
    void walk()
    {
        const WalkNode* nodes = tree_.walkNodes();
        const std::int32_t count = tree_.nodeCount();
        for (std::int32_t i = 0; i < count;) {
            const WalkNode& node = nodes[i];
            if (!slabs_.reaches(node)) {
                i = node.skip(i);
                continue;
            }
            if (marking_) tree_.markEntered(i);
            if (node.leaf()) testCell(i, node);
            ++i;
        }
    }

    // The outcome of walk() from fewer boxes: of two children the segment
    // reaches, the one nearer to `from` goes first, and once a hit is found a
    // box is left out when all of it lies farther from `from` than that hit
    // (a hit lies on its triangle to within the in-triangle rules' slack,
    // which the margin covers). Ties go to the cell walk() meets first.
    void walkNearestFirst()
    {
        const WalkNode* nodes = tree_.walkNodes();
        std::int32_t stack[kStackSize]; // at most one entry per level and one more
        int top = 0;
        if (slabs_.reaches(nodes[0])) stack[top++] = 0;
        while (top > 0) {
            const std::int32_t i = stack[--top];
            const WalkNode& node = nodes[i];
            if (found_ && beyondBest(distance2To(node))) continue;
            if (node.leaf()) {
                testCell(i, node);
                continue;
            }
            const std::int32_t a = i + 1, b = nodes[a].skip(a);
            const bool reachA = reaches(nodes[a]), reachB = reaches(nodes[b]);
            if (reachA && reachB) {
                const bool aFirst = distance2To(nodes[a]) <= distance2To(nodes[b]);
                stack[top++] = aFirst ? b : a;
                stack[top++] = aFirst ? a : b;
            } else if (reachA || reachB) {
                stack[top++] = reachA ? a : b;
            }
        }
    }

    // Leaves decide which cells are tested and take the exact test; inner
    // boxes may take the cheaper one, which only lets more of them through.
    bool reaches(const WalkNode& node) const { return node.leaf() ? slabs_.reaches(node) : slabs_.mayReach(node); }

    // Squared distance from `from` to the node's tight box.
    double distance2To(const WalkNode& node) const
    {
        const double p[3] = {segment_.from.x, segment_.from.z, segment_.from.y};
        double sum = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double below = double{node.low(k)} - p[k], above = p[k] - double{node.high(k)};
            const double gap = std::max(0.0, std::max(below, above));
            sum += gap * gap;
        }
        return sum;
    }

    bool beyondBest(double distance2) const
    {
        const double reach = best_ + margin_;
        return distance2 > reach * reach;
    }

    void testCell(std::int32_t index, const WalkNode& leaf)
    {
        const int row = leaf.row(), column = leaf.column();
        if (row + 1 >= surface_.collisionRows || column + 1 >= surface_.collisionColumns) return;
        if (skipCell_ && *skipCell_ == MeshCell{row, column}) return;
        const CollisionMesh& mesh = surface_.collisionMesh;
        const Vec3 A = mesh.Point(row, column), B = mesh.Point(row, column + 1);
        const Vec3 C = mesh.Point(row + 1, column + 1), D = mesh.Point(row + 1, column);
        if (marking_)
            for (const auto& [i, j] :
                 {std::pair{row, column}, {row, column + 1}, {row + 1, column + 1}, {row + 1, column}})
                mesh.Visited(i, j).store(1, std::memory_order_relaxed);
        const LeafNormals& normals = tree_.normalsAt(row, column);
        const BoxRecord tight = leaf.tight();
        testTriangle(index, row, column, tight, 0, A, C, D, normals.normal1);
        testTriangle(index, row, column, tight, 1, A, B, C, normals.normal2);
    }

    void testTriangle(std::int32_t index, int row, int column, const BoxRecord& tight, int which, const Vec3& P0,
                      const Vec3& P1, const Vec3& P2, const Vec3& normal)
    {
        const auto hit = hitTriangle(P0, P1, P2, normal, tight);
        if (!hit || triangleInHole(row, column, which)) return;
        if (marking_) tree_.hitAt(index).store(1, std::memory_order_relaxed);
        const double d = length(*hit - segment_.from);
        const std::int32_t order = 2 * index + which;
        if (d < best_ || (d == best_ && order < bestOrder_)) {
            best_ = d;
            bestOrder_ = order;
            found_ = true;
            bestCell_ = {row, column};
            bestTriangle_ = which;
            bestPoint_ = *hit;
            overlay_.triangleHitPoint = *hit;
        }
    }

    // True when a corner of the cell's triangle (0: A, C', D; 1: A, B, C')
    // lies in a hole; the samples' parameters are read only here.
    bool triangleInHole(int row, int column, int which) const
    {
        static constexpr int kCorners[2][3][2] = {{{0, 0}, {1, 1}, {1, 0}}, {{0, 0}, {0, 1}, {1, 1}}};
        if (surface_.holes.empty()) return false;
        for (const auto& [r, c] : kCorners[which])
            if (nodeInHole(surface_, surface_.collisionMesh.At(row + r, column + c))) return true;
        return false;
    }

    // SegmentTriangleHit for a leaf triangle. The leaf normal is the unit
    // normal PlaneFromPoints gives the same three points (negated on a
    // reversed surface, which leaves the plane's intersections unchanged), so
    // the plane is built from it directly; a segment approaching the face
    // cannot be parallel to that plane.
    //
    // Most triangles a search reaches are out of range: the shifted segment
    // meets their plane (if at all) and the step's end projects onto it far
    // from the triangle. Their two in-triangle tests cannot succeed, so they
    // are only counted.
    std::optional<Vec3> hitTriangle(const Vec3& P0, const Vec3& P1, const Vec3& P2, const Vec3& normal,
                                    const BoxRecord& cellBox)
    {
        overlay_.segmentFrom = segment_.from;
        overlay_.segmentTo = segment_.to;
        if (!(dot(segment_.direction, normal) < 0.0)) return std::nullopt;
        const Plane plane{normal, -dot(P0, normal)};
        const double r = segment_.radius;
        const double startHeight = dot(normal, segment_.from) + plane.d;
        const double endHeight = dot(normal, segment_.to) + plane.d;
        const bool shiftedCrosses = startHeight - r > -kHeightTolerance && endHeight - r < kHeightTolerance;
        const bool endsNear = std::fabs(endHeight) < r + kHeightTolerance;
        // Where the shifted segment meets the plane and the foot of the step's
        // end, to within rounding; far outside the cell's box neither counts.
        const TriangleBounds bounds(cellBox);
        const double along = dot(segment_.direction, normal);
        const bool crossingNear =
            shiftedCrosses &&
            !bounds.farOutside(segment_.from - r * normal + ((startHeight - r) / -along) * segment_.direction,
                               kHeightTolerance);
        const bool footNear = endsNear && !bounds.farOutside(segment_.to - endHeight * normal, kHeightTolerance);
        if (!crossingNear && !footNear) {
            overlay_.shiftedFrom = segment_.from - r * normal;
            overlay_.shiftedTo = segment_.to - r * normal;
            overlay_.triangleTests += r != 0.0 ? 2 : 1;
            return std::nullopt;
        }
        return hitShiftedSegment(segment_, plane, normal, P0, P1, P2, overlay_);
    }

    SurfaceSection& surface_;
    const BoxTree& tree_;
    const StepSegment segment_;
    SegmentSlabs slabs_;
    IntersectionOverlay& overlay_;
    const std::optional<MeshCell> skipCell_;
    const bool marking_;

    double best_ = kNoHitDistance;
    std::int32_t bestOrder_ = 0; // 2 * pre-order index of the leaf + which triangle
    double margin_ = 0.0; // how far a hit may lie outside its cell's box
    bool found_ = false;
    MeshCell bestCell_;
    int bestTriangle_ = 0; // 0: (A, C', D), 1: (A, B, C')
    Vec3 bestPoint_;
};

} // namespace

SurfaceFrame SurfaceTangents(SurfaceSection& surface, double u, double v)
{
    SurfaceFrame frame;
    SurfaceDerivatives partials;
    if (!KernelPartials(surface, u, v, 1, partials)) return frame;
    frame.Su = partials.Su;
    frame.Sv = partials.Sv;
    // A net with zero weights evaluates to infinities: treat it as degenerate.
    if (!isFinite(frame.Su) || !isFinite(frame.Sv)) return SurfaceFrame{};
    frame.N = normalized(cross(frame.Su, frame.Sv));
    if (surface.reverseNormal) frame.N = -frame.N;
    return frame;
}

MeshCell CollisionCellAt(const SurfaceSection& surface, double u, double v)
{
    if (!surface.collisionMesh || surface.collisionRows < 2 || surface.collisionColumns < 2) return {};
    if (!(u >= 0.0 && u <= 1.0 && v >= 0.0 && v <= 1.0)) return {};
    // Last cell index in [0, count - 2] whose first sample parameter is at most x.
    auto lastCellStartingBy = [](int count, double x, auto parameterAt) {
        int lo = 0, hi = count - 2;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (parameterAt(mid) <= x)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    };
    MeshCell cell;
    cell.column =
        lastCellStartingBy(surface.collisionColumns, u, [&](int j) { return surface.collisionSample(0, j).u; });
    cell.row = lastCellStartingBy(surface.collisionRows, v, [&](int i) { return surface.collisionSample(i, 0).v; });
    return cell;
}

SegmentHit IntersectSegment(SurfaceSection& surface, const Vec3& from, const Vec3& to, IntersectionOverlay& overlay,
                            std::optional<MeshCell> skipCell)
{
    if (!surface.boxTree || !surface.collisionMesh) return {};
    surface.boxTree->clearMarks();
    // A poisoned segment would pass every slab test and meet nothing.
    if (!isFinite(from) || !isFinite(to)) return {};
    SegmentSearch search(surface, from, to, overlay, skipCell);
    search.run();
    return search.result();
}

std::optional<Vec3> SegmentTriangleHit(const Vec3& from, const Vec3& to, double radius, const Vec3& P0,
                                       const Vec3& P1, const Vec3& P2, const Vec3& faceNormal,
                                       IntersectionOverlay& overlay)
{
    overlay.segmentFrom = from;
    overlay.segmentTo = to;
    const StepSegment segment{from, to, normalized(to - from), radius};
    const Vec3 n = normalized(faceNormal);
    // Written so that a NaN direction is rejected as well.
    if (!(dot(segment.direction, n) < 0.0)) return std::nullopt;
    const Plane plane = PlaneFromPoints(P0, P1, P2);
    if (!RayPlane(plane, from, segment.direction)) return std::nullopt;
    return hitShiftedSegment(segment, plane, n, P0, P1, P2, overlay);
}

bool PointInTriangle(const Vec3& P0, const Vec3& P1, const Vec3& P2, const Vec3& X, std::int64_t& triangleTests)
{
    ++triangleTests;
    switch (quickClassify(P0, P1, P2, X)) {
    case QuickAnswer::Inside: return true;
    case QuickAnswer::Outside: return false;
    case QuickAnswer::Unsure: break;
    }
    Vec3 a = P0 - X, b = P1 - X, c = P2 - X;
    const double la = normalize(a), lb = normalize(b), lc = normalize(c);
    if (la * lb < kNearVertexProduct || lb * lc < kNearVertexProduct || lc * la < kNearVertexProduct) return true;
    const double angleSum = angleBetweenUnits(a, b) + angleBetweenUnits(b, c) + angleBetweenUnits(c, a);
    return std::fabs(angleSum - kTwoPi) <= kAngleSumTolerance;
}

bool PointBetween(const Vec3& A, const Vec3& B, const Vec3& X)
{
    return length(normalized(X - A) + normalized(X - B)) < 1.0;
}
