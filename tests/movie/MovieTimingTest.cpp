#include "movie/MovieTiming.h"

#include <gtest/gtest.h>

namespace {

struct CountCase {
    double seconds, fps;
    std::int64_t frames;
};

class FrameCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(FrameCounts, CoverTheWholeTime)
{
    EXPECT_EQ(movie::FrameCount(GetParam().seconds, GetParam().fps), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(Movie, FrameCounts,
                         ::testing::Values(CountCase{1.0, 30.0, 30}, CountCase{0.1, 30.0, 3}, CountCase{1.01, 30.0, 31},
                                           CountCase{30.0, 0.5, 15}, CountCase{0.0, 30.0, 0},
                                           CountCase{2.5, 29.97, 75}));

TEST(StepShownAt, IsTheLastStepAtOrBeforeTheFramesTime)
{
    // Steps of 0.06 s at 30 frames per second: frame k at k / 30 s.
    const std::int64_t expected[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 5};
    for (std::int64_t k = 0; k < 11; ++k) EXPECT_EQ(movie::StepShownAt(k, 30.0, 0.06), expected[k]) << k;
    // A frame that falls on a step's end shows that step.
    EXPECT_EQ(movie::StepShownAt(3, 20.0, 0.05), 3);
    EXPECT_EQ(movie::StepShownAt(10, 20.0, 0.1), 5);
}

TEST(SlotAt, CountsWholeFramePeriods)
{
    EXPECT_EQ(movie::SlotAt(0.0, 30.0), 0);
    EXPECT_EQ(movie::SlotAt(0.0333, 30.0), 0);
    EXPECT_EQ(movie::SlotAt(0.1, 30.0), 3);
    EXPECT_EQ(movie::SlotAt(-1.0, 30.0), 0);
}

} // namespace
