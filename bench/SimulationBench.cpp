// Cost of one physics step: a ball rolling on a 24 x 20 surface, a ball in
// flight through a document of 50 such surfaces, and a whole headless run of
// a thousand steps along a track of linked surfaces.

#include "HeapCounter.h"
#include "simulation/Simulation.h"
#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"

#include <benchmark/benchmark.h>

namespace {

constexpr double kStep = 1.0 / 70.0; // the loop's target period

void reportAllocations(benchmark::State& state, long long before)
{
    state.counters["allocs/step"] = benchmark::Counter(static_cast<double>(heapAllocationCount() - before),
                                                       benchmark::Counter::kAvgIterations);
}

// 20 points across, 24 sections along (a 83 x 99 collision mesh), tilted so
// that the ball keeps a speed of about 2 against the damping; it runs
// slightly across the channel, so both parameter walks do work.
void BM_StepRolling(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    SurfaceSection& floor = builders::addFloor(doc, "floor", 20, 20, builders::FloorShape{{}, 0.06});
    const Vec3 direction{1.0, -0.06, 0.25};
    builders::launch(doc, floor, 0.3, 0.05, 2.0, direction);
    int sinceLaunch = 0;
    const long long before = heapAllocationCount();
    for (auto _ : state) {
        if (++sinceLaunch == 1500) {
            state.PauseTiming();
            builders::launch(doc, floor, 0.3, 0.05, 2.0, direction);
            sinceLaunch = 0;
            state.ResumeTiming();
        }
        builders::step(doc, kStep);
        if (doc.simulation.ball.inAir) state.SkipWithError("the ball left the surface");
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_StepRolling);

// A flight step in a document of fifty 24 x 20 surfaces, the ball put back
// before each step. Arrangements: 0, a track of floors laid end to end, the
// ball flying over the middle one; 1, the same, the ball falling onto it; 2,
// fifty channels with walls all in the same place, the ball falling onto
// their common floor: every surface is searched down to its triangles and
// hit, the worst case there is.
void BM_StepFlight50Surfaces(benchmark::State& state)
{
    const int arrangement = static_cast<int>(state.range(0));
    const bool impact = arrangement != 0;
    COpenGLTemplateDoc doc;
    if (arrangement == 2) {
        builders::fillChainDocument(doc, 50, 20, 20);
    } else {
        builders::emptyDocument(doc);
        builders::addTrack(doc, 50, 20, 20, 0.0);
    }
    SurfaceSection& s = *doc.surfaces[arrangement == 2 ? 0 : 25];
    builders::launch(doc, s, 0.5, 0.5, 1.0, {1, 0, 0});
    const Vec3 centre = s.EvaluatePoint(0.5, 0.5) + Vec3{0.0, doc.ballRadius + (impact ? 0.05 : 1.2), 0.0};
    const Vec3 velocity{6.0, impact ? -6.0 : -1.0, 0.0};
    const long long before = heapAllocationCount();
    for (auto _ : state) {
        builders::throwBall(doc, centre, velocity, kStep);
        builders::step(doc, kStep);
        if (doc.simulation.events.contains(SimulationEventKind::Impact) != impact)
            state.SkipWithError("the flight step did not go as planned");
    }
    state.counters["triangleTests"] = static_cast<double>(doc.simulation.overlay.triangleTests);
    reportAllocations(state, before);
    const char* labels[] = {"track, free flight", "track, impact", "50 coincident surfaces, impact"};
    state.SetLabel(labels[arrangement]);
}
BENCHMARK(BM_StepFlight50Surfaces)->Arg(0)->Arg(1)->Arg(2);

// A thousand steps of 0.06 s from the start of a track of eight linked floors
// running downhill: rolling, crossing from surface to surface.
void BM_HeadlessRun1000Steps(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    builders::addTrack(doc, 8, 9, 7, 0.05);
    long long crossings = 0;
    for (auto _ : state) {
        builders::launch(doc, *doc.surfaces[0], 0.5, 0.02, 2.0, {1, -0.05, 0});
        for (int k = 0; k < 1000; ++k) {
            builders::step(doc, 0.06);
            crossings += doc.simulation.events.contains(SimulationEventKind::Cross);
        }
    }
    state.counters["crossings/run"] =
        benchmark::Counter(static_cast<double>(crossings), benchmark::Counter::kAvgIterations);
    state.SetLabel(doc.ballSurface ? textOf(doc.ballSurface->name) : "none");
}
BENCHMARK(BM_HeadlessRun1000Steps)->Unit(benchmark::kMillisecond);

} // namespace
