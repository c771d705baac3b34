// Time to chart a run of N steps as `marlwick-cli profile` draws it (a
// 1200 x 800 PNG, encoded in memory): thinned to the fixed budget of
// RideDecimator, beside every sample drawn. The thinned chart's time should
// stay flat as the run grows; drawing every sample grows with the run.

#include "profilechart/RideChartFile.h"
#include "simulation/RideDecimation.h"
#include "support/RideBuilders.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<RideSample> madeUpRide(long steps)
{
    std::vector<RideSample> samples;
    samples.reserve(static_cast<std::size_t>(steps));
    for (long k = 1; k <= steps; ++k) samples.push_back(builders::rideSampleAt(k));
    return samples;
}

// Charts what choose makes of the run, once per iteration.
template <typename Choose>
void chartRide(benchmark::State& state, Choose choose)
{
    const std::vector<RideSample> run = madeUpRide(state.range(0));
    std::size_t charted = 0;
    WithOffscreenApplication([&] {
        for (auto _ : state) {
            const std::vector<RideSample> samples = choose(run);
            charted = samples.size();
            std::vector<std::uint8_t> bytes;
            const std::string error = EncodeRideChart(samples, RideAxis::Time, "bench", "png", 1200, 800, bytes);
            if (!error.empty()) state.SkipWithError(error.c_str());
            benchmark::DoNotOptimize(bytes.data());
        }
        return std::string();
    });
    state.counters["charted"] = static_cast<double>(charted);
}

void BM_RideChartThinned(benchmark::State& state)
{
    chartRide(state, [](const std::vector<RideSample>& run) {
        RideDecimator decimator;
        for (const RideSample& s : run) decimator.Add(s.t, s);
        return decimator.Samples();
    });
}
BENCHMARK(BM_RideChartThinned)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RideChartEverySample(benchmark::State& state)
{
    chartRide(state, [](const std::vector<RideSample>& run) { return run; });
}
BENCHMARK(BM_RideChartEverySample)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
