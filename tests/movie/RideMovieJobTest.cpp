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

struct EndCase {
    const char* name;
    movie::RideMovieExit exit;
    bool made;
    std::string report;
};

class RideMovieEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(RideMovieEnd, SaysWhatBecameOfTheMovie)
{
    const movie::RideMovieOutcome o = movie::RideMovieEnded(GetParam().exit, "/bin/marlwick-cli", "/m/ride.mp4", 42);
    EXPECT_EQ(o.made, GetParam().made);
    EXPECT_EQ(o.report, GetParam().report);
}

movie::RideMovieExit exitWith(int code, std::string errorText = {}, bool cancelled = false, bool crashed = false)
{
    movie::RideMovieExit e;
    e.code = code;
    e.errorText = std::move(errorText);
    e.cancelled = cancelled;
    e.crashed = crashed;
    return e;
}

INSTANTIATE_TEST_SUITE_P(
    Movie, RideMovieEnd,
    ::testing::Values(
        EndCase{"MadeBeforeTheCancelCame", exitWith(0, "", true), true, "Movie saved: /m/ride.mp4, 42 frames."},
        EndCase{"KilledAfterTheCancel", exitWith(9, "", true, true), false,
                "Movie cancelled: /m/ride.mp4 was not written."},
        EndCase{"RefusedInTheToolsWords",
                exitWith(2, "marlwick-cli: r.mwkride diverges at step 3\nmarlwick-cli: and more\n"), false,
                "r.mwkride diverges at step 3 and more"},
        EndCase{"EndedWithoutAWord", exitWith(3), false,
                "/m/ride.mp4 was not made: /bin/marlwick-cli ended with exit status 3."}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
