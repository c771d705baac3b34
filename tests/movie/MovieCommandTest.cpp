#include "MovieProbe.h"
#include "support/CliRun.h"
#include "support/RecordedRideBuilders.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <memory>
#include <numeric>
#include <sstream>

namespace {

using builders::Scratch;

const std::string kSpiral = std::string(MARLWICK_SOURCE_DIR) + "/examples/spiral.mwk";

using builders::readFile;
using builders::writeFile;
using Outcome = builders::CliOutcome;

constexpr auto run = builders::runCommand;

struct LengthCase {
    std::vector<std::string> length; // --seconds S or --steps N, and --fps F
    const char* extension;
    double seconds, fps;
};

class MovieLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(MovieLength, HasAFrameForEachPeriodOfTheRun)
{
    const LengthCase& c = GetParam();
    Scratch scratch;
    const std::string path = scratch.file(std::string("run.") + c.extension);
    const Outcome made = run("movie", builders::joined({kSpiral, path, "--size", "160x120", "--follow"}, c.length));
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.err, "") << "no progress bar off a terminal";
    const movietest::MovieProbe p = movietest::probe(path);
    EXPECT_EQ(p.frames, long(std::ceil(c.seconds * c.fps - 1e-9)));
    EXPECT_NEAR(p.duration, std::ceil(c.seconds * c.fps - 1e-9) / c.fps, 0.011);
    EXPECT_EQ(p.width, 160);
}

INSTANTIATE_TEST_SUITE_P(Movie, MovieLength,
                         ::testing::Values(LengthCase{{"--seconds", "1"}, "mp4", 1.0, 30.0},
                                           LengthCase{{"--seconds", "0.5", "--fps", "24"}, "webm", 0.5, 24.0},
                                           LengthCase{{"--steps", "10", "--fps", "25"}, "gif", 0.6, 25.0}),
                         [](const auto& row) { return std::string(row.param.extension); });

// (Each frame shows the step render draws: the ride movie's test, on steps
// of uneven lengths.)
TEST(MovieFrames, TheOverlayWritesOverTheView)
{
    Scratch scratch;
    const std::string path = scratch.file("readout.mp4"), still = scratch.file("still.png");
    ASSERT_EQ(run("movie", {kSpiral, path, "--seconds", "0.1", "--size", "160x120", "--overlay"}).code, 0);
    ASSERT_EQ(run("render", {kSpiral, still, "--steps", "0", "--size", "160x120"}).code, 0);
    EXPECT_LT(movietest::framePsnr(path, 0, still), 30.0);
}

TEST(MovieCommandLine, BadInputExitsWithOneAndWritesNothing)
{
    Scratch scratch;
    const std::string out = scratch.file("x.mp4");
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    for (const Case& c : {Case{{kSpiral}, "takes a document and a movie file"},
                          Case{{kSpiral, scratch.file("x.avi")}, ".mp4, .webm or .gif"},
                          Case{{kSpiral, out, "--fps", "241"}, "--fps"}, Case{{kSpiral, out, "--fps", "fast"}, "--fps"},
                          Case{{kSpiral, out, "--size", "8x8"}, "16 to 4096"},
                          Case{{kSpiral, out, "--size", "161x120"}, "even sides"},
                          Case{{kSpiral, out, "--seconds", "-1"}, "--seconds"},
                          Case{{kSpiral, out, "--seconds", "1", "--steps", "4"}, "not both"},
                          Case{{kSpiral, out, "--steps", "0"}, "no frame"},
                          Case{{kSpiral, out, "--loud"}, "unknown option"}}) {
        EXPECT_TRUE(builders::refusedInOneLine(run("movie", c.args), 1, c.mentions));
    }
    EXPECT_EQ(run("movie", {scratch.file("none.mwk"), out}).code, 2);
    EXPECT_EQ(run("movie", {kSpiral, scratch.file("none/x.mp4"), "--seconds", "0.1"}).code, 2);
    EXPECT_EQ(scratch.entries(), 0);
}

// Standard output that sends the process a signal when the first progress
// line is written to it, as a person's Ctrl+C or the program's Cancel would.
class SignalOnFirstWrite : public std::streambuf {
public:
    explicit SignalOnFirstWrite(int signal) : signal_(signal) {}

protected:
    int overflow(int c) override
    {
        if (!sent_) std::raise(signal_);
        sent_ = true;
        return c;
    }

private:
    int signal_;
    bool sent_ = false;
};

class CancelledMovie : public ::testing::TestWithParam<int> {};

TEST_P(CancelledMovie, StopsAtTheNextFrameAndLeavesTheOldFile)
{
    Scratch scratch;
    const std::string path = scratch.file("run.mp4");
    writeFile(path, "the old movie");
    SignalOnFirstWrite signalling(GetParam());
    std::ostream out(&signalling);
    std::ostringstream err;
    EXPECT_EQ(cli::Run({"movie", kSpiral, path, "--seconds", "1", "--size", "160x120", "--progress"}, out, err), 5);
    EXPECT_EQ(err.str(), "marlwick-cli: cancelled: " + path + " was not written\n");
    EXPECT_EQ(readFile(path), "the old movie");
    EXPECT_EQ(scratch.entries(), 1) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Movie, CancelledMovie, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& row) { return row.param == SIGINT ? "Interrupt" : "Terminate"; });

// A ride recorded by the physics loop on a busy machine's clock (its steps
// of uneven lengths) on a saved track, and movies of it.
class RideMovie : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        inputs = std::make_unique<Scratch>();
        ride = builders::saveTrackAndRide(inputs->path(), 7, 100);
    }
    static void TearDownTestSuite() { inputs.reset(); }
    static std::string input(const char* name) { return inputs->file(name); }

    static inline std::unique_ptr<Scratch> inputs;
    static inline RideRecord ride;
    Scratch scratch;
};

TEST_F(RideMovie, LastsTheWholeRideAndEachFrameShowsTheStepRenderDraws)
{
    const std::string path = scratch.file("ride.mp4");
    const std::vector<std::string> view = {"--replay", input("good.mwkride"), "--size", "160x120", "--follow"};
    ASSERT_TRUE(builders::succeeded(run("movie", builders::joined({input("track.mwk"), path, "--fps", "20"}, view))));
    std::vector<double> h;
    for (const RideStep& step : ride.steps) h.push_back(step.h);
    const double duration = std::accumulate(h.begin(), h.end(), 0.0);
    const movietest::MovieProbe p = movietest::probe(path);
    ASSERT_EQ(p.frames, long(std::ceil(duration * 20.0 - 1e-9)));
    EXPECT_NEAR(p.duration, double(p.frames) / 20.0, 0.011);

    // The track's dense lines cost the codec more than the spiral's, but one
    // step more or less matches far worse.
    const auto psnrOfStep = [&](long frame, long steps) {
        const std::string still = scratch.file("step" + std::to_string(steps) + ".png");
        const std::vector<std::string> args = {input("track.mwk"), still, "--steps", std::to_string(steps)};
        EXPECT_EQ(run("render", builders::joined(args, view)).code, 0);
        return movietest::framePsnr(path, frame, still);
    };
    for (const long frame : {0L, p.frames / 2, p.frames - 1}) {
        const long steps = movietest::stepsShown(frame, 20.0, h);
        const double shown = psnrOfStep(frame, steps);
        EXPECT_GE(shown, 30.0) << "frame " << frame << ", step " << steps;
        for (const long other : {steps - 1, steps + 1}) {
            if (other >= 0) {
                EXPECT_LT(psnrOfStep(frame, other), shown - 6.0) << "frame " << frame << ", step " << other;
            }
        }
    }
}

// A replayed step that leaves its ride stops the movie half made (a damaged
// ride or one of another document is refused before any frame, as the
// replay tests of the other commands pin).
TEST_F(RideMovie, ThatLeavesItsRideSaysWhereAndLeavesTheOldFile)
{
    RideRecord altered = ride;
    altered.steps[59].centre.y += 1e-9;
    const std::string ridePath = scratch.file("altered.mwkride"), path = scratch.file("ride.mp4");
    writeFile(ridePath, RideText(altered));
    writeFile(path, "the old movie");
    const Outcome o = run("movie", {input("track.mwk"), path, "--replay", ridePath, "--size", "160x120"});
    EXPECT_EQ(o.code, 4);
    EXPECT_EQ(o.err.rfind("marlwick-cli: " + ridePath + " diverges at step 60: ", 0), 0u) << o.err;
    EXPECT_EQ(readFile(path), "the old movie");
    EXPECT_EQ(scratch.entries(), 2) << "no temporary file is left";
}

} // namespace
