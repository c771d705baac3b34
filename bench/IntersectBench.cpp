// Cost of the surface queries of one physics step: the segment search of a
// flight step through the box tree, the same search over every triangle, and
// the tangent evaluation of the rolling walk.

#include "simulation/SurfaceQueries.h"
#include "support/BruteForceIntersect.h"
#include "support/SurfaceBuilders.h"

#include <benchmark/benchmark.h>

#ifdef MARLWICK_HAVE_BULLET
#include <BulletCollision/CollisionShapes/btBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/CollisionShapes/btTriangleIndexVertexArray.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#endif

#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr double kRadius = kDefaultBallRadius;
constexpr double kStepLength = 0.3;

// A straight channel with a few hundred flight steps of length 0.3 spread over
// it: each starts with the ball centre between 0.1 below and 0.4 above its
// resting height and heads roughly into the surface, so some steps hit and
// some stop short.
struct Scene {
    StandaloneSurfaceHost host;
    std::unique_ptr<SurfaceSection> surface;
    std::vector<std::pair<Vec3, Vec3>> steps;

    Scene(int points, int intermediate, int subdivisions = 4)
        : surface(builders::makeChannel(&host, points, intermediate))
    {
        if (subdivisions != surface->subdivisionsU) {
            surface->subdivisionsU = surface->subdivisionsV = subdivisions;
            surface->Rebuild();
        }
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> unit(0.0, 1.0), height(-0.1, 0.4), spread(-0.7, 0.7);
        for (int k = 0; k < 512; ++k) {
            const double u = unit(rng), v = unit(rng);
            const SurfaceFrame f = SurfaceTangents(*surface, u, v);
            const Vec3 from = surface->EvaluatePoint(u, v) + (kRadius + height(rng)) * f.N;
            const Vec3 heading = -f.N + spread(rng) * normalized(f.Su) + spread(rng) * normalized(f.Sv);
            steps.emplace_back(from, from + kStepLength * normalized(heading));
        }
    }

    int triangles() const { return 2 * (surface->collisionRows - 1) * (surface->collisionColumns - 1); }
};

Scene& scene(int which)
{
    static Scene small(5, 2);      // 23 x 27 collision mesh
    static Scene large(20, 20);    // 83 x 99
    static Scene finer(20, 20, 8); // 167 x 199: cells narrower than the ball, so more of them lie within reach
    return which == 0 ? small : which == 1 ? large : finer;
}

void report(benchmark::State& state, const Scene& s, const IntersectionOverlay& overlay, int hits)
{
    const double queries = static_cast<double>(state.iterations());
    state.SetLabel(std::to_string(s.surface->collisionColumns) + "x" + std::to_string(s.surface->collisionRows));
    state.counters["triangles"] = s.triangles();
    state.counters["testsPerQuery"] = static_cast<double>(overlay.triangleTests) / queries;
    state.counters["hitFraction"] = hits / queries;
}

// The search as a flight step runs it while no overlay shows its marks (the
// program's default), and with the marks of every box the segment reaches.
void intersectSegments(benchmark::State& state, bool marksShown)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    IntersectionOverlay overlay;
    overlay.marksShown = marksShown;
    size_t k = 0;
    int hits = 0;
    for (auto _ : state) {
        const auto& [from, to] = s.steps[k++ % s.steps.size()];
        const SegmentHit hit = IntersectSegment(*s.surface, from, to, overlay);
        hits += hit.found;
        benchmark::DoNotOptimize(hit);
    }
    report(state, s, overlay, hits);
}

void BM_IntersectSegment(benchmark::State& state) { intersectSegments(state, false); }
BENCHMARK(BM_IntersectSegment)->Arg(0)->Arg(1)->Arg(2);

void BM_IntersectSegmentMarked(benchmark::State& state) { intersectSegments(state, true); }
BENCHMARK(BM_IntersectSegmentMarked)->Arg(0)->Arg(1)->Arg(2);

void BM_IntersectBruteForce(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    IntersectionOverlay overlay;
    size_t k = 0;
    int hits = 0;
    for (auto _ : state) {
        const auto& [from, to] = s.steps[k++ % s.steps.size()];
        const auto hit = builders::bruteForceIntersect(*s.surface, from, to, overlay);
        hits += hit.has_value();
        benchmark::DoNotOptimize(hit);
    }
    report(state, s, overlay, hits);
}
BENCHMARK(BM_IntersectBruteForce)->Arg(0)->Arg(1)->Arg(2);

#ifdef MARLWICK_HAVE_BULLET
// The same segments cast against the same collision mesh (triangles (A, C', D)
// and (A, B, C') of every quad) in Bullet's quantized box tree, keeping the
// nearest hit: the reference the segment search is measured against.
class BulletMesh {
public:
    explicit BulletMesh(const SurfaceSection& s)
    {
        const int rows = s.collisionRows, columns = s.collisionColumns;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) {
                const Vec3 p = s.collisionMesh.Point(i, j);
                vertices_.insert(vertices_.end(), {btScalar(p.x), btScalar(p.y), btScalar(p.z)});
            }
        for (int i = 0; i + 1 < rows; ++i)
            for (int j = 0; j + 1 < columns; ++j) {
                const int A = i * columns + j, B = A + 1, C = A + columns + 1, D = A + columns;
                indices_.insert(indices_.end(), {A, C, D, A, B, C});
            }
        array_ = std::make_unique<btTriangleIndexVertexArray>(
            static_cast<int>(indices_.size() / 3), indices_.data(), 3 * static_cast<int>(sizeof(int)),
            static_cast<int>(vertices_.size() / 3), vertices_.data(), 3 * static_cast<int>(sizeof(btScalar)));
        shape_ = std::make_unique<btBvhTriangleMeshShape>(array_.get(), true);
    }

    bool nearestHit(const Vec3& from, const Vec3& to)
    {
        const btVector3 a(btScalar(from.x), btScalar(from.y), btScalar(from.z));
        const btVector3 b(btScalar(to.x), btScalar(to.y), btScalar(to.z));
        Nearest callback(a, b);
        shape_->performRaycast(&callback, a, b);
        return callback.found;
    }

    // The ball itself swept along the step: a sphere of the ball radius cast
    // through the same tree, keeping the nearest hit.
    bool nearestSphereHit(const Vec3& from, const Vec3& to)
    {
        const btVector3 a(btScalar(from.x), btScalar(from.y), btScalar(from.z));
        const btVector3 b(btScalar(to.x), btScalar(to.y), btScalar(to.z));
        const btTransform start(btQuaternion::getIdentity(), a), end(btQuaternion::getIdentity(), b);
        NearestSweep callback(&sphere_, start, end);
        const btScalar r = btScalar(kRadius);
        const btVector3 extent{r, r, r};
        shape_->performConvexcast(&callback, a, b, -extent, extent);
        return callback.found;
    }

private:
    struct NearestSweep : btTriangleConvexcastCallback {
        NearestSweep(const btConvexShape* sphere, const btTransform& from, const btTransform& to)
            : btTriangleConvexcastCallback(sphere, from, to, btTransform::getIdentity(), 0)
        {
        }
        btScalar reportHit(const btVector3&, const btVector3&, btScalar fraction, int, int) override
        {
            found = true;
            return fraction;
        }
        bool found = false;
    };

    struct Nearest : btTriangleRaycastCallback {
        Nearest(const btVector3& from, const btVector3& to) : btTriangleRaycastCallback(from, to) {}
        btScalar reportHit(const btVector3&, btScalar fraction, int, int) override
        {
            found = true;
            return fraction; // later hits must be nearer
        }
        bool found = false;
    };

    std::vector<btScalar> vertices_;
    std::vector<int> indices_;
    std::unique_ptr<btTriangleIndexVertexArray> array_;
    std::unique_ptr<btBvhTriangleMeshShape> shape_;
    btSphereShape sphere_{btScalar(kRadius)};
};

// Bullet's answer to every flight step of a scene, by one of its queries.
void runBullet(benchmark::State& state, bool (BulletMesh::*query)(const Vec3&, const Vec3&))
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    BulletMesh mesh(*s.surface);
    size_t k = 0;
    int hits = 0;
    for (auto _ : state) {
        const auto& [from, to] = s.steps[k++ % s.steps.size()];
        hits += (mesh.*query)(from, to);
    }
    state.SetLabel(std::to_string(s.surface->collisionColumns) + "x" + std::to_string(s.surface->collisionRows));
    state.counters["hitFraction"] = hits / static_cast<double>(state.iterations());
}

void BM_BulletPerformRaycast(benchmark::State& state) { runBullet(state, &BulletMesh::nearestHit); }
BENCHMARK(BM_BulletPerformRaycast)->Arg(0)->Arg(1)->Arg(2);

void BM_BulletPerformConvexcast(benchmark::State& state) { runBullet(state, &BulletMesh::nearestSphereHit); }
BENCHMARK(BM_BulletPerformConvexcast)->Arg(0)->Arg(1)->Arg(2);
#endif

void BM_SurfaceTangents(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::pair<double, double>> params(256);
    for (auto& p : params) p = {unit(rng), unit(rng)};
    size_t k = 0;
    for (auto _ : state) {
        const auto& [u, v] = params[k++ % params.size()];
        benchmark::DoNotOptimize(SurfaceTangents(*s.surface, u, v));
    }
}
BENCHMARK(BM_SurfaceTangents)->Arg(0)->Arg(1);

} // namespace
