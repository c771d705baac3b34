// What replaying a ride costs over stepping the same run: the same thousand
// steps of jittered lengths along the ride track, stepped plainly (as
// simulate steps) and replayed from the ride's text (reading every line,
// feeding each step its recorded input, checking each position). The
// difference of the two per step is the replay's overhead.

#include "simulation/RideFile.h"
#include "simulation/RideReplay.h"
#include "support/RecordedRideBuilders.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kSteps = 1000;

// The ride of a ball launched down the track and stepped kSteps times with
// lengths of 1/70 s +-50 %, as the loop would have recorded it.
const std::string& rideText()
{
    static const std::string text = [] {
        COpenGLTemplateDoc doc;
        builders::rideTrack(doc);
        RideRecord ride;
        ride.documentHash = RideDocumentHash(doc);
        builders::launch(doc, *doc.surfaces.front(), 0.5, 0.05, 8.0, {1, 0, 0});
        ride.launch = LaunchOf(doc);
        ride.switches = SwitchesOf(doc);
        std::mt19937 random(3);
        std::uniform_real_distribution<double> stretch(0.5, 1.5);
        for (int k = 0; k < kSteps; ++k) {
            const double h = stretch(random) / 70.0;
            builders::step(doc, h);
            ride.steps.push_back({h, doc.simulation.ball.ballCentre});
        }
        return RideText(ride);
    }();
    return text;
}

void BM_RideStepsPlain(benchmark::State& state)
{
    RideRecord ride;
    ParseRideText(rideText(), ride);
    COpenGLTemplateDoc doc;
    builders::rideTrack(doc);
    for (auto _ : state) {
        state.PauseTiming();
        RideReplay(ride).Launch(doc);
        state.ResumeTiming();
        for (const RideStep& s : ride.steps) builders::step(doc, s.h);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_RideStepsPlain)->Unit(benchmark::kMillisecond);

void BM_RideStepsReplayed(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::rideTrack(doc);
    for (auto _ : state) {
        RideRecord ride;
        ParseRideText(rideText(), ride);
        RideReplay replay(std::move(ride));
        state.PauseTiming();
        replay.Launch(doc);
        state.ResumeTiming();
        while (replay.Step(doc) > 0.0) {}
        if (replay.divergence()) state.SkipWithError("the replay left the ride");
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_RideStepsReplayed)->Unit(benchmark::kMillisecond);

} // namespace
