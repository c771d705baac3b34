#include "movie/RideMovieJob.h"

#include <gtest/gtest.h>

namespace {

TEST(RideMovieProgress, ReadsLinesSplitAnywhereAndSkipsWhatIsNotProgress)
{
    movie::RideMovieProgress progress;
    progress.Read("1/3");
    EXPECT_EQ(progress.total(), 0) << "a line is read once it is whole";
    progress.Read("0\n2/");
    EXPECT_EQ(progress.done(), 1);
    EXPECT_EQ(progress.total(), 30);
    progress.Read("30\nsomething else\n5/4\n-1/30\n");
    EXPECT_EQ(progress.done(), 2);
    EXPECT_EQ(progress.total(), 30);
}

} // namespace
