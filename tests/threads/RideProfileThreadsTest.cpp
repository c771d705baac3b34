#include "simulation/RideProfile.h"
#include "simulation/SimulationState.h"
#include "support/RideBuilders.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The physics thread records while a reader copies what is new, as the
// program's dock does: the reader sees every sample once, in order.
TEST(RideProfileThreads, AReaderCopyingWhileTheStepRecordsSeesEverySampleInOrder)
{
    RideProfile profile;
    constexpr int kSteps = 20000;
    std::thread physics([&profile] { builders::recordRisingBall(profile, 0, kSteps); });
    std::vector<RideSample> seen;
    std::uint64_t next = 0;
    while (next < kSteps) next = profile.CopySince(next, seen);
    physics.join();
    ASSERT_EQ(seen.size(), std::size_t(kSteps));
    for (int k = 0; k < kSteps; ++k) ASSERT_EQ(seen[k].height, k);
}

// Clearing from the user interface while the step records leaves a profile
// that only holds samples recorded after the last clear.
TEST(RideProfileThreads, ClearingWhileRecordingKeepsTheProfileWhole)
{
    RideProfile profile;
    constexpr int kSteps = 20000;
    std::thread physics([&profile] { builders::recordRisingBall(profile, 0, kSteps); });
    for (int k = 0; k < 50; ++k) profile.Clear();
    physics.join();
    builders::recordRisingBall(profile, kSteps, kSteps + 1);
    std::vector<RideSample> all;
    profile.CopySince(0, all);
    ASSERT_EQ(all.size(), profile.Recorded());
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().height, kSteps);
    for (std::size_t k = 1; k < all.size(); ++k) EXPECT_EQ(all[k].height, all[k - 1].height + 1);
    EXPECT_EQ(profile.Summary().samples, static_cast<long>(all.size()));
}

} // namespace
