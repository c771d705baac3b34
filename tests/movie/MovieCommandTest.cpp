#include "MovieProbe.h"
#include "cli/CliCommands.h"
#include "movie/MovieTiming.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using builders::Scratch;

const std::string kSpiral = std::string(MARLWICK_SOURCE_DIR) + "/examples/spiral.mwk";
constexpr double kSpiralStep = 0.06; // the document's maximum step time

struct Outcome {
    int code;
    std::string err;
};

Outcome run(const std::string& command, std::vector<std::string> args)
{
    args.insert(args.begin(), command);
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, err.str()};
}

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
    std::vector<std::string> args = {kSpiral, path, "--size", "160x120", "--follow"};
    args.insert(args.end(), c.length.begin(), c.length.end());
    const Outcome made = run("movie", args);
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

TEST(MovieFrames, EachFrameShowsTheStepThatRenderDraws)
{
    Scratch scratch;
    const std::string path = scratch.file("run.mp4");
    const std::vector<std::string> view = {"--size", "160x120", "--follow"};
    std::vector<std::string> args = {kSpiral, path, "--seconds", "1"};
    args.insert(args.end(), view.begin(), view.end());
    ASSERT_EQ(run("movie", args).code, 0);
    for (const long frame : {0L, 10L, 29L}) {
        const std::int64_t step = movie::StepShownAt(frame, 30.0, kSpiralStep);
        const std::string still = scratch.file("step" + std::to_string(step) + ".png");
        std::vector<std::string> renderArgs = {kSpiral, still, "--steps", std::to_string(step)};
        renderArgs.insert(renderArgs.end(), view.begin(), view.end());
        ASSERT_EQ(run("render", renderArgs).code, 0);
        EXPECT_GE(movietest::framePsnr(path, frame, still), 35.0) << "frame " << frame << ", step " << step;
    }
    // Step 1 is not what frame 29 shows.
    const std::string early = scratch.file("early.png");
    ASSERT_EQ(run("render", {kSpiral, early, "--steps", "1", "--size", "160x120", "--follow"}).code, 0);
    EXPECT_LT(movietest::framePsnr(path, 29, early), 30.0);
}

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
                          Case{{kSpiral, out, "--fps", "0"}, "--fps"}, Case{{kSpiral, out, "--fps", "241"}, "--fps"},
                          Case{{kSpiral, out, "--fps", "fast"}, "--fps"}, Case{{kSpiral, out, "--size", "8x8"}, "16 to 4096"},
                          Case{{kSpiral, out, "--size", "161x120"}, "even sides"},
                          Case{{kSpiral, out, "--size", "5000x120"}, "16 to 4096"},
                          Case{{kSpiral, out, "--seconds", "-1"}, "--seconds"},
                          Case{{kSpiral, out, "--seconds", "1", "--steps", "4"}, "not both"},
                          Case{{kSpiral, out, "--steps", "0"}, "no frame"},
                          Case{{kSpiral, out, "--loud"}, "unknown option"}}) {
        const Outcome o = run("movie", c.args);
        EXPECT_EQ(o.code, 1) << c.mentions;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
    }
    EXPECT_EQ(run("movie", {scratch.file("none.mwk"), out}).code, 2);
    EXPECT_EQ(run("movie", {kSpiral, scratch.file("none/x.mp4"), "--seconds", "0.1"}).code, 2);
    EXPECT_EQ(scratch.entries(), 0);
}

} // namespace
