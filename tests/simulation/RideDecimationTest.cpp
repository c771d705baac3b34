#include "simulation/RideDecimation.h"
#include "support/RideBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using builders::kPeak;
using builders::kRideStep;

bool spiked(const RideSample& s)
{
    for (double v : {s.speed, s.height, s.felt.vertical, s.felt.lateral, s.felt.longitudinal})
        if (std::fabs(v) == kPeak) return true;
    return false;
}

class RideDecimation : public ::testing::TestWithParam<long> {};

TEST_P(RideDecimation, KeepsEveryPeakAndEventWithinAFixedBudget)
{
    const long steps = GetParam();
    RideDecimator decimator;
    long peaks = 0;
    for (long k = 1; k <= steps; ++k) {
        const RideSample s = builders::rideSampleAt(k);
        peaks += s.events != 0;
        decimator.Add(s.t, s);
    }
    const std::vector<RideSample> kept = decimator.Samples();
    // A short run is kept whole; a long one within the budget of a few samples per column.
    if (steps < static_cast<long>(RideDecimator::kColumns)) {
        EXPECT_EQ(kept.size(), static_cast<std::size_t>(steps));
    }
    EXPECT_LE(kept.size(), RideDecimator::kColumns * 21);
    long keptPeaks = 0, keptEvents = 0;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        if (k > 0) {
            ASSERT_LT(kept[k - 1].t, kept[k].t) << "in the run's order, each once";
        }
        keptPeaks += spiked(kept[k]);
        keptEvents += kept[k].events != 0;
    }
    EXPECT_EQ(keptPeaks, peaks);
    EXPECT_EQ(keptEvents, peaks);
    EXPECT_EQ(kept.front().t, kRideStep);
    EXPECT_EQ(kept.back().t, steps * kRideStep);
}

INSTANTIATE_TEST_SUITE_P(RunLengths, RideDecimation, ::testing::Values(1000L, 100000L, 1000000L));

} // namespace
