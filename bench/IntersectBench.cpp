// Cost of the surface queries of one physics step: the segment search of a
// flight step through the box tree, the same search over every triangle, and
// the tangent evaluation of the rolling walk.

#include "simulation/SurfaceQueries.h"
#include "support/BruteForceIntersect.h"
#include "support/SurfaceBuilders.h"

#include <benchmark/benchmark.h>

#include <random>
#include <utility>
#include <vector>

namespace {

constexpr double kRadius = 0.3333333333;
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

void BM_IntersectSegment(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    IntersectionOverlay overlay;
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
BENCHMARK(BM_IntersectSegment)->Arg(0)->Arg(1)->Arg(2);

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
