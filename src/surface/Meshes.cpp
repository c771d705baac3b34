#include "surface/SurfaceSection.h"

#include "geometry/Plane.h"
#include "surface/DefaultBallRadius.h"
#include "surface/SurfaceKernel.h"

#include <algorithm>
#include <cmath>

namespace {

// Sample counts per direction are kept within [2, kMaxSamples] so that a
// damaged or extreme setting can neither divide by zero nor exhaust memory
// (400 x 400 samples stay under about 120 MB with the box tree).
constexpr int kMaxSamples = 400;

int boundedCount(long long count) { return static_cast<int>(std::clamp<long long>(count, 2, kMaxSamples)); }

// Bounds each count, then shrinks both alike until the mesh fits kMaxMeshSamples.
void boundMesh(long long columns, long long rows, std::int32_t& boundedColumns, std::int32_t& boundedRows)
{
    boundedColumns = boundedCount(columns);
    boundedRows = boundedCount(rows);
    const double total = static_cast<double>(boundedColumns) * boundedRows;
    if (total <= kMaxMeshSamples) return;
    const double shrink = std::sqrt(kMaxMeshSamples / total);
    boundedColumns = boundedCount(static_cast<long long>(boundedColumns * shrink));
    boundedRows = boundedCount(static_cast<long long>(boundedRows * shrink));
}

// The sampling walk: starts at 0, grows by step, snaps to exactly 1 near the end.
double nextParameter(double value, double step)
{
    value += step;
    return value + 1e-9 >= 1.0 ? 1.0 : value;
}

double ballRadiusOf(const SurfaceHost* host) { return host ? host->surfaceBallRadius() : kDefaultBallRadius; }

} // namespace

void SampleParameters::Walk(int rows, int columns)
{
    auto walk = [](std::vector<double>& values, int count) {
        const double step = 1.0 / (count - 1);
        values.resize(static_cast<std::size_t>(count));
        double value = 0.0;
        for (double& x : values) {
            x = value;
            value = nextParameter(value, step);
        }
    };
    walk(u_, columns);
    walk(v_, rows);
}

void SampleParameters::Clear()
{
    std::vector<double>().swap(u_);
    std::vector<double>().swap(v_);
}

void DisplayMesh::Resize(int rows, int columns)
{
    rows_ = rows;
    columns_ = columns;
    parameters_.Walk(rows, columns);
    samples_ = BlockArray<Packed>(static_cast<std::size_t>(rows) * columns);
}

void DisplayMesh::Clear()
{
    rows_ = columns_ = 0;
    parameters_.Clear();
    samples_.reset();
}

void DisplayMesh::Set(int row, int column, const Vec3& point, const Vec3& N, double K)
{
    Packed& s = samples_[static_cast<std::size_t>(row) * columns_ + column];
    s.point = PackedPoint::from(point);
    s.N = PackedPoint::from(N);
    s.K = static_cast<float>(K);
}

DisplaySample DisplayMesh::At(int row, int column) const
{
    const Packed& s = sample(row, column);
    return {parameters_.u(column), parameters_.v(row), s.point.widened(), s.N.widened(), s.K};
}

std::size_t DisplayMesh::Bytes() const { return samples_.size() * sizeof(Packed) + parameters_.Bytes(); }

void CollisionMesh::Resize(int rows, int columns)
{
    rows_ = rows;
    columns_ = columns;
    parameters_.Walk(rows, columns);
    const std::size_t count = static_cast<std::size_t>(rows) * columns;
    points_ = BlockArray<PackedPoint>(count);
    visited_ = BlockArray<std::atomic<std::uint8_t>>(count);
}

void CollisionMesh::Clear()
{
    rows_ = columns_ = 0;
    parameters_.Clear();
    points_.reset();
    visited_.reset();
}

std::size_t CollisionMesh::Bytes() const
{
    const std::size_t count = points_ ? static_cast<std::size_t>(rows_) * columns_ : 0;
    return count * (sizeof(PackedPoint) + sizeof(std::atomic<std::uint8_t>)) + parameters_.Bytes();
}

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

BoxRecord BoxRecord::inflated(double r) const
{
    return {xMin - r, xMax + r, zMin - r, zMax + r, yMin - r, yMax + r};
}

void SurfaceSection::FreeBoxTree()
{
    LockGuard guard(geometryLock);
    boxTree.reset();
}

std::size_t SurfaceSection::DerivedBytes() const
{
    return displayMesh.Bytes() + collisionMesh.Bytes() + (boxTree ? boxTree->Bytes() : 0);
}

void SurfaceSection::Rebuild()
{
    render = 0;
    {
        LockGuard guard(geometryLock);
        if (samplingMode == SamplingMode::ByLength) ComputeLengthSamples();
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
    case SamplingMode::ByLength: columns = lengthSamplesU; rows = lengthSamplesV; break;
    case SamplingMode::FixedCounts: columns = fixedSamplesU; rows = fixedSamplesV; break;
    case SamplingMode::PerSpan:
        columns = (pointsPerSection + 1LL) * subdivisionsU - 1;
        rows = (sectionCount + 1LL) * subdivisionsV - 1;
        break;
    }
    boundMesh(columns, rows, collisionColumns, collisionRows);
    collisionStepU = 1.0 / (collisionColumns - 1);
    collisionStepV = 1.0 / (collisionRows - 1);
    collisionMesh.Resize(collisionRows, collisionColumns);
    const SurfaceGridKernel grid(*this, collisionMesh.parameters(), false);
    std::vector<Vec3> points;
    for (int i = 0; i < collisionRows; ++i) {
        grid.PointRow(i, points);
        for (int j = 0; j < collisionColumns; ++j) collisionMesh.SetPoint(i, j, points[static_cast<std::size_t>(j)]);
    }

    LockGuard guard(geometryLock);
    boxTree = std::make_unique<BoxTree>(collisionMesh, reverseNormal);
    boxTreeDepth = boxTree->depth();
}

void SurfaceSection::BuildDisplayMesh()
{
    long long columns = 0, rows = 0;
    switch (samplingMode) {
    case SamplingMode::ByLength: columns = lengthSamplesU; rows = lengthSamplesV; break;
    case SamplingMode::FixedCounts: columns = fixedSamplesU; rows = fixedSamplesV; break;
    case SamplingMode::PerSpan:
        columns = (pointsPerSection - 1LL) * subdivisionsU + 1;
        rows = (sectionCount - 1LL) * subdivisionsV + 1;
        break;
    }
    boundMesh(columns, rows, displayColumns, displayRows);
    displayStepU = 1.0 / (displayColumns - 1);
    displayStepV = 1.0 / (displayRows - 1);
    displayMesh.Resize(displayRows, displayColumns);
    curvatureMin = 99999.0;
    curvatureMax = -99999.0;

    const SurfaceGridKernel grid(*this, displayMesh.parameters(), true);
    std::vector<Vec3> points;
    std::vector<SurfaceDerivatives> derivatives;
    for (int i = 0; i < displayRows; ++i) {
        grid.SampleRow(i, points, derivatives);
        for (int j = 0; j < displayColumns; ++j) {
            const SurfaceDerivatives& d = derivatives[static_cast<std::size_t>(j)];
            displayMesh.Set(i, j, points[static_cast<std::size_t>(j)], d.N, d.K);
            curvatureMin = std::min(curvatureMin, d.K);
            curvatureMax = std::max(curvatureMax, d.K);
        }
    }
    curvatureScale = std::max(std::fabs(curvatureMin), std::fabs(curvatureMax));
}
