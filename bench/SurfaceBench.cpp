// Evaluation and rebuild costs of channel surfaces.

#include "support/SurfaceBuilders.h"

#include "HeapCounter.h"
#include "gul/Pool.h"

#include <benchmark/benchmark.h>

namespace {

// Parameter pairs spread over the surface, visited in turn.
struct ParameterWalk {
    double u = 0.0, v = 0.0;
    void next()
    {
        u += 0.0137;
        if (u > 1.0) u -= 1.0;
        v += 0.0071;
        if (v > 1.0) v -= 1.0;
    }
};

void reportAllocations(benchmark::State& state, long long heapBefore, std::uint64_t poolBefore)
{
    state.counters["heap_allocs"] = static_cast<double>(heapAllocationCount() - heapBefore);
    state.counters["pool_heap_requests"] = static_cast<double>(gul::pool::heapRequests() - poolBefore);
}

void BM_EvaluatePoint(benchmark::State& state)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    ParameterWalk w;
    const long long heapBefore = heapAllocationCount();
    const auto poolBefore = gul::pool::heapRequests();
    for (auto _ : state) {
        benchmark::DoNotOptimize(s->EvaluatePoint(w.u, w.v));
        w.next();
    }
    reportAllocations(state, heapBefore, poolBefore);
}
BENCHMARK(BM_EvaluatePoint)->Args({5, 2})->Args({20, 20})->ArgNames({"points", "intermediate"});

void BM_EvaluateDerivatives(benchmark::State& state)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    ParameterWalk w;
    SurfaceDerivatives d;
    const long long heapBefore = heapAllocationCount();
    const auto poolBefore = gul::pool::heapRequests();
    for (auto _ : state) {
        s->EvaluateDerivatives(w.u, w.v, d);
        benchmark::DoNotOptimize(d);
        w.next();
    }
    reportAllocations(state, heapBefore, poolBefore);
}
BENCHMARK(BM_EvaluateDerivatives)->Args({5, 2})->Args({20, 20})->ArgNames({"points", "intermediate"});

// The geometry lock alone, taken and released as each evaluation does: the
// share of EvaluatePoint and EvaluateDerivatives that is locking.
void BM_KernelLockOnly(benchmark::State& state)
{
    StandaloneSurfaceHost host;
    SurfaceHost* through = &host;
    benchmark::DoNotOptimize(through);
    for (auto _ : state) {
        LockGuard guard(through->kernelLock());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KernelLockOnly);

void BM_RebuildLargest(benchmark::State& state)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, 20, 20);
    for (auto _ : state) s->Rebuild();
    state.counters["display_samples"] = s->displayRows * s->displayColumns;
    state.counters["collision_samples"] = s->collisionRows * s->collisionColumns;
    state.counters["derived_bytes"] = static_cast<double>(s->DerivedBytes());
}
BENCHMARK(BM_RebuildLargest)->Unit(benchmark::kMillisecond);

void BM_RegenerateAndRebuildLargest(benchmark::State& state)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, 20, 20);
    s->horizontalTurn = {true, true, 1.0};
    for (auto _ : state) s->Regenerate(false);
}
BENCHMARK(BM_RegenerateAndRebuildLargest)->Unit(benchmark::kMillisecond);

} // namespace

