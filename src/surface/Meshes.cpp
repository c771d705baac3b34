#include "surface/SurfaceSection.h"

#include "geometry/Plane.h"
#include "surface/ColorRamp.h"

#include <algorithm>
#include <cmath>

namespace {

// Sample counts per direction are kept within [2, kMaxSamples] so that a
// damaged or extreme setting can neither divide by zero nor exhaust memory
// (400 x 400 samples stay under about 120 MB with the box tree).
constexpr int kMaxSamples = 400;

int boundedCount(long long count) { return static_cast<int>(std::clamp<long long>(count, 2, kMaxSamples)); }

// The sampling walk: starts at 0, grows by step, snaps to exactly 1 near the end.
double nextParameter(double value, double step)
{
    value += step;
    return value + 1e-9 >= 1.0 ? 1.0 : value;
}

double ballRadiusOf(const SurfaceHost* host) { return host ? host->surfaceBallRadius() : 0.3333333333; }

} // namespace

Vec3 BoxRecord::corner(int k) const
{
    const double x = (k & 3) == 1 || (k & 3) == 2 ? xMax : xMin;
    const double z = (k & 3) >= 2 ? zMax : zMin;
    return {x, k >= 4 ? yMax : yMin, z};
}

bool BoxRecord::contains(const Vec3& p) const
{
    return xMin <= p.x && p.x <= xMax && yMin <= p.y && p.y <= yMax && zMin <= p.z && p.z <= zMax;
}

bool BoxRecord::crossedBy(const Vec3& a, const Vec3& b) const
{
    double t0 = 0.0, t1 = 1.0;
    const double lo[3] = {xMin, yMin, zMin}, hi[3] = {xMax, yMax, zMax};
    const double start[3] = {a.x, a.y, a.z}, delta[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    for (int k = 0; k < 3; ++k) {
        if (delta[k] == 0.0) {
            if (start[k] < lo[k] || start[k] > hi[k]) return false;
            continue;
        }
        double ta = (lo[k] - start[k]) / delta[k], tb = (hi[k] - start[k]) / delta[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

void SurfaceSection::FreeBoxTree()
{
    LockGuard guard(geometryLock);
    boxTree = nullptr;
    boxNodes.reset();
    boxNodeCount = 0;
}

std::size_t SurfaceSection::DerivedBytes() const
{
    return displayMesh.capacity() * sizeof(DisplaySample) +
           static_cast<std::size_t>(collisionRows) * collisionColumns * sizeof(CollisionSample) +
           static_cast<std::size_t>(boxNodeCount) * sizeof(BoxNode);
}

void SurfaceSection::Rebuild()
{
    render = 0;
    {
        LockGuard guard(geometryLock);
        if (samplingMode == 1) ComputeLengthSamples();
        BuildCollisionMesh();
        heightMax = boxTree->tight.yMax;
        heightMin = boxTree->tight.yMin;
        heightRange = heightMax - heightMin;
        BuildDisplayMesh();
    }
    render = 1;
}

void SurfaceSection::ComputeLengthSamples()
{
    const double spacing = 3.0 * ballRadiusOf(document);
    auto walkLength = [&](bool alongU, double fixed) {
        double total = 0.0;
        Vec3 previous = alongU ? EvaluatePoint(0.0, fixed) : EvaluatePoint(fixed, 0.0);
        for (int k = 1; k <= 69; ++k) {
            const double t = k / 69.0;
            const Vec3 p = alongU ? EvaluatePoint(t, fixed) : EvaluatePoint(fixed, t);
            total += length(p - previous);
            previous = p;
        }
        return total;
    };
    const double meanU = (walkLength(true, 0.0) + walkLength(true, 0.5) + walkLength(true, 1.0)) / 3.0;
    const double meanV = (walkLength(false, 0.0) + walkLength(false, 0.5) + walkLength(false, 1.0)) / 3.0;
    const double countU = std::isfinite(meanU / spacing) ? std::trunc(meanU / spacing) : 0.0;
    const double countV = std::isfinite(meanV / spacing) ? std::trunc(meanV / spacing) : 0.0;
    lengthSamplesU = static_cast<std::int32_t>(std::min(countU, double(kMaxSamples))) + 1;
    lengthSamplesV = static_cast<std::int32_t>(std::min(countV, double(kMaxSamples))) + 1;
}

void SurfaceSection::BuildCollisionMesh()
{
    long long columns = 0, rows = 0;
    switch (samplingMode) {
    case 1: columns = lengthSamplesU; rows = lengthSamplesV; break;
    case 2: columns = fixedSamplesU; rows = fixedSamplesV; break;
    default:
        columns = (pointsPerSection + 1LL) * subdivisionsU - 1;
        rows = (sectionCount + 1LL) * subdivisionsV - 1;
        break;
    }
    collisionColumns = boundedCount(columns);
    collisionRows = boundedCount(rows);
    collisionStepU = 1.0 / (collisionColumns - 1);
    collisionStepV = 1.0 / (collisionRows - 1);
    collisionMesh = std::make_unique<CollisionSample[]>(static_cast<size_t>(collisionRows) * collisionColumns);

    double v = 0.0;
    for (int i = 0; i < collisionRows; ++i) {
        double u = 0.0;
        for (int j = 0; j < collisionColumns; ++j) {
            CollisionSample& s = collisionSample(i, j);
            s.u = u;
            s.v = v;
            s.point = EvaluatePoint(u, v);
            s.visited.store(0, std::memory_order_relaxed);
            u = nextParameter(u, collisionStepU);
        }
        v = nextParameter(v, collisionStepV);
    }

    LockGuard guard(geometryLock);
    // A tree whose leaves are the quads, each once, has 2 * quads - 1 nodes.
    boxNodeCount = 2 * (collisionColumns - 1) * (collisionRows - 1) - 1;
    boxNodes = std::make_unique<BoxNode[]>(static_cast<size_t>(boxNodeCount));
    boxTreeDepth = 0;
    int nextNode = 0;
    boxTree = &BuildBoxNode(0, collisionColumns - 1, 0, collisionRows - 1, 0, nextNode);
}

// Builds the node over columns u0..u1 and rows v0..v1. Children are built
// first and a parent's tight box is the union of theirs, which equals the
// box of its points because the halves share their middle row or column.
BoxNode& SurfaceSection::BuildBoxNode(int u0, int u1, int v0, int v1, int depth, int& nextNode)
{
    BoxNode& node = boxNodes[nextNode++];
    boxTreeDepth = std::max(boxTreeDepth, depth);
    node.depth = depth;
    node.u0 = u0;
    node.u1 = u1;
    node.v0 = v0;
    node.v1 = v1;
    node.spanU = u1 - u0;
    node.spanV = v1 - v0;

    BoxRecord& t = node.tight;
    if (node.spanU > 1 || node.spanV > 1) {
        node.leaf = 0;
        if (node.spanU > node.spanV) {
            const int m = u0 + (u1 - u0) / 2;
            node.first = &BuildBoxNode(u0, m, v0, v1, depth + 1, nextNode);
            node.second = &BuildBoxNode(m, u1, v0, v1, depth + 1, nextNode);
        } else {
            const int m = v0 + (v1 - v0) / 2;
            node.first = &BuildBoxNode(u0, u1, v0, m, depth + 1, nextNode);
            node.second = &BuildBoxNode(u0, u1, m, v1, depth + 1, nextNode);
        }
        const BoxRecord& a = node.first->tight;
        const BoxRecord& b = node.second->tight;
        t.xMin = std::min(a.xMin, b.xMin);
        t.xMax = std::max(a.xMax, b.xMax);
        t.yMin = std::min(a.yMin, b.yMin);
        t.yMax = std::max(a.yMax, b.yMax);
        t.zMin = std::min(a.zMin, b.zMin);
        t.zMax = std::max(a.zMax, b.zMax);
    } else {
        node.leaf = 1;
        t.xMin = t.yMin = t.zMin = 99999.0;
        t.xMax = t.yMax = t.zMax = -99999.0;
        for (int i = v0; i <= v1; ++i)
            for (int j = u0; j <= u1; ++j) {
                const Vec3& p = collisionSample(i, j).point;
                t.xMin = std::min(t.xMin, p.x);
                t.xMax = std::max(t.xMax, p.x);
                t.yMin = std::min(t.yMin, p.y);
                t.yMax = std::max(t.yMax, p.y);
                t.zMin = std::min(t.zMin, p.z);
                t.zMax = std::max(t.zMax, p.z);
            }
        const Vec3& A = collisionSample(v0, u0).point;
        const Vec3& B = collisionSample(v0, u0 + 1).point;
        const Vec3& C = collisionSample(v0 + 1, u0 + 1).point;
        const Vec3& D = collisionSample(v0 + 1, u0).point;
        node.normal1 = PlaneFromPoints(A, C, D).normal;
        node.normal2 = PlaneFromPoints(A, B, C).normal;
        if (reverseNormal) {
            node.normal1 = -node.normal1;
            node.normal2 = -node.normal2;
        }
    }
    const double r = ballRadiusOf(document);
    BoxRecord& f = node.inflated;
    f.xMin = t.xMin - r;
    f.xMax = t.xMax + r;
    f.yMin = t.yMin - r;
    f.yMax = t.yMax + r;
    f.zMin = t.zMin - r;
    f.zMax = t.zMax + r;
    return node;
}

void SurfaceSection::BuildDisplayMesh()
{
    long long columns = 0, rows = 0;
    switch (samplingMode) {
    case 1: columns = lengthSamplesU; rows = lengthSamplesV; break;
    case 2: columns = fixedSamplesU; rows = fixedSamplesV; break;
    default:
        columns = (pointsPerSection - 1LL) * subdivisionsU + 1;
        rows = (sectionCount - 1LL) * subdivisionsV + 1;
        break;
    }
    displayColumns = boundedCount(columns);
    displayRows = boundedCount(rows);
    displayStepU = 1.0 / (displayColumns - 1);
    displayStepV = 1.0 / (displayRows - 1);
    displayMesh.assign(static_cast<size_t>(displayRows) * displayColumns, DisplaySample());
    curvatureMin = 99999.0;
    curvatureMax = -99999.0;

    double v = 0.0;
    SurfaceDerivatives d;
    for (int i = 0; i < displayRows; ++i) {
        double u = 0.0;
        for (int j = 0; j < displayColumns; ++j) {
            DisplaySample& s = displayMesh[static_cast<size_t>(i) * displayColumns + j];
            s.u = u;
            s.v = v;
            s.point = EvaluatePoint(u, v);
            s.heightColor = HeightColor(s.point.y, heightMin, heightRange);
            EvaluateDerivatives(u, v, d);
            s.Su = d.Su;
            s.Sv = d.Sv;
            s.N = d.N;
            s.Suu = d.Suu;
            s.Svv = d.Svv;
            s.Suv = d.Suv;
            s.K = d.K;
            s.angleColor = AngleColor(d.N);
            curvatureMin = std::min(curvatureMin, d.K);
            curvatureMax = std::max(curvatureMax, d.K);
            u = nextParameter(u, displayStepU);
        }
        v = nextParameter(v, displayStepV);
    }
    curvatureScale = std::max(std::fabs(curvatureMin), std::fabs(curvatureMax));
    for (DisplaySample& s : displayMesh) s.curvatureColor = CurvatureColor(s.K, curvatureScale);
}
