#include "MovieProbe.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameCount, CoversTheWholeTime)
{
    const struct {
        double seconds, fps;
        std::int64_t frames;
    } rows[] = {{1.0, 30.0, 30}, {0.1, 30.0, 3}, {1.01, 30.0, 31}, {30.0, 0.5, 15}, {0.0, 30.0, 0}, {2.5, 29.97, 75}};
    for (const auto& row : rows)
        EXPECT_EQ(movie::FrameCount(row.seconds, row.fps), row.frames) << row.seconds << " s at " << row.fps;
}

TEST(ShowsStepEndingAt, AFrameShowsTheLastStepEndingAtOrBeforeItsTime)
{
    using movietest::stepsShown;
    // Steps of 0.06 s at 30 frames per second: frame k at k / 30 s.
    const std::vector<double> even(12, 0.06);
    const long expected[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 5};
    for (long k = 0; k < 11; ++k) EXPECT_EQ(stepsShown(k, 30.0, even), expected[k]) << k;
    // A frame that falls on a step's end shows that step, summed or not.
    EXPECT_EQ(stepsShown(3, 20.0, std::vector<double>(5, 0.05)), 3);
    EXPECT_EQ(stepsShown(10, 20.0, std::vector<double>(8, 0.1)), 5);
    EXPECT_TRUE(movie::ShowsStepEndingAt(3, 20.0, 3 * 0.05));
    // A loop's measured steps, ending at 0.001, 0.031, 0.033, 0.093 and 0.103 s.
    const std::vector<double> measured = {0.001, 0.03, 0.002, 0.06, 0.01};
    const long uneven[] = {0, 3, 3, 4, 5};
    for (long k = 0; k < 5; ++k) EXPECT_EQ(stepsShown(k, 30.0, measured), uneven[k]) << k;
}

TEST(SlotAt, CountsWholeFramePeriods)
{
    for (const auto& [seconds, slot] : {std::pair{0.0, 0}, {0.0333, 0}, {0.1, 3}, {-1.0, 0}})
        EXPECT_EQ(movie::SlotAt(seconds, 30.0), slot) << seconds;
}

} // namespace
