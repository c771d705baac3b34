// Cost of recording one step of the ride profile, beside the step it is
// part of (BM_StepRolling): a rolling ball's sample into a ring that has
// wrapped, with and without a reader copying the new samples every seventh
// step, as the program's dock does ten times a second.

#include "HeapCounter.h"
#include "simulation/RideProfile.h"
#include "simulation/SimulationState.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_RideProfileRecord(benchmark::State& state)
{
    const bool reader = state.range(0) != 0;
    RideProfile profile;
    LiveBall ball;
    ball.velocity = {2.0, -0.1, 0.3};
    ball.surfaceNormal = {0.0, 1.0, 0.0};
    ball.velocityChange = {0.01, -0.001, 0.0};
    StepEvents events;
    const RideModel model;
    std::vector<RideSample> copied;
    copied.reserve(64);
    for (std::size_t k = 0; k < RideProfile::kCapacity; ++k) profile.Record(ball, 1.0 / 70.0, events, true, model);
    std::uint64_t next = profile.Recorded();
    const long long before = heapAllocationCount();
    long steps = 0;
    for (auto _ : state) {
        ball.ballCentre.x += 0.03;
        ball.velocity.z = -ball.velocity.z;
        profile.Record(ball, 1.0 / 70.0, events, true, model);
        if (reader && ++steps % 7 == 0) {
            copied.clear();
            next = profile.CopySince(next, copied);
        }
    }
    benchmark::DoNotOptimize(copied.data());
    state.counters["allocs/step"] = benchmark::Counter(static_cast<double>(heapAllocationCount() - before),
                                                       benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RideProfileRecord)->Arg(0)->Arg(1);

} // namespace
