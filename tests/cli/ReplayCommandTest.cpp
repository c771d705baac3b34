// `--replay RIDE`: a ride recorded by the physics loop on a saved document,
// stepped again by simulate, profile and render.

#include "simulation/RideFile.h"

#include "support/CliRun.h"
#include "support/RecordedRideBuilders.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

using Outcome = builders::CliOutcome;
constexpr auto run = builders::runCli;

nlohmann::json lastLine(const std::string& text)
{
    const std::size_t from = text.rfind('\n', text.size() - 2);
    return nlohmann::json::parse(text.substr(from == std::string::npos ? 0 : from + 1));
}

// The track saved, opened again as the program opens it, and a ride recorded
// on it by the loop; beside it the same track with one floor tilted.
class ReplayCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<builders::Scratch>();
        recorded = builders::saveTrackAndRide(dir->path(), 99);
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::string path(const char* name) { return dir->file(name); }
    static std::string saveRide(const char* name, const std::string& text)
    {
        builders::writeFile(path(name), text);
        return path(name);
    }

    static inline std::unique_ptr<builders::Scratch> dir;
    static inline RideRecord recorded;
};

TEST_F(ReplayCommand, SimulateStepsTheRideAndVerifiesEveryPosition)
{
    const Outcome o = run({"simulate", path("track.mwk"), "--replay", path("good.mwkride")});
    ASSERT_EQ(o.code, 0) << o.err;
    const nlohmann::json summary = lastLine(o.out)["summary"];
    EXPECT_EQ(summary["replay"], (nlohmann::json{{"steps", 240}, {"verified", true}}));
    EXPECT_EQ(summary["steps"], 240);
    double time = 0.0;
    for (const RideStep& s : recorded.steps) time += s.h;
    EXPECT_EQ(summary["time"].get<double>(), time);
    const Vec3& last = recorded.steps.back().centre;
    EXPECT_EQ(summary["final"]["centre"], (nlohmann::json{last.x, last.y, last.z}));

    const Outcome first = run({"simulate", path("track.mwk"), "--replay", path("good.mwkride"), "--steps", "10"});
    EXPECT_EQ(lastLine(first.out)["summary"]["replay"], (nlohmann::json{{"steps", 10}, {"verified", true}}));
}

TEST_F(ReplayCommand, AStepThatLandsElsewhereEndsTheRunWithBothPositions)
{
    RideRecord altered = recorded;
    altered.steps[99].centre.x += 1e-9;
    const std::string ride = saveRide("altered.mwkride", RideText(altered));
    const Outcome o = run({"simulate", path("track.mwk"), "--replay", ride});
    EXPECT_TRUE(builders::endedSaying(o, 4, ride + " diverges at step 100: the ride has the ball's centre at ["));
    const nlohmann::json replay = lastLine(o.out)["summary"]["replay"];
    EXPECT_EQ(replay["verified"], false);
    EXPECT_EQ(replay["divergedAt"], 100);
    EXPECT_EQ(replay["recorded"][0].get<double>(), altered.steps[99].centre.x);
    EXPECT_EQ(replay["replayed"][0].get<double>(), recorded.steps[99].centre.x);

    const std::string csv = path("altered.csv");
    EXPECT_EQ(run({"profile", path("track.mwk"), csv, "--replay", ride}).code, 4);
    EXPECT_FALSE(fs::exists(csv));
}

TEST_F(ReplayCommand, ARideOfAnotherVersionOfTheDocumentIsRefused)
{
    const Outcome o = run({"simulate", path("tilted.mwk"), "--replay", path("good.mwkride")});
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.err, "marlwick-cli: " + path("good.mwkride") + " was recorded on another version of the document\n");
    EXPECT_EQ(o.out, "");
}

TEST_F(ReplayCommand, TheRideGivesItsOwnLaunchStepsAndSwitches)
{
    const std::vector<std::string> replay{"simulate", path("track.mwk"), "--replay", path("good.mwkride")};
    for (const std::vector<std::string>& option : std::vector<std::vector<std::string>>{
             {"--dt", "0.05"}, {"--speed", "0.05"}, {"--start", "t0,main,0.5,0.5"}, {"--no-bounce"}})
        EXPECT_EQ(run(builders::joined(replay, option)).code, 1) << option[0];
    const Outcome longer = run({"simulate", path("track.mwk"), "--replay", path("good.mwkride"), "--steps", "241"});
    EXPECT_EQ(longer.code, 1);
    EXPECT_EQ(longer.err, "marlwick-cli: --steps 241 is more than the 240 steps of " + path("good.mwkride") + "\n");
}

// Each command refuses a damaged ride before it writes anything.
class DamagedReplay : public ReplayCommand, public ::testing::WithParamInterface<const char*> {};

TEST_P(DamagedReplay, NamesTheFileAndLineAndWritesNothing)
{
    std::string text = RideText(recorded);
    text.resize(text.find("\"centre\":[", text.size() / 2) + 10); // cut inside a step line
    const std::string ride = saveRide("cut.mwkride", text);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const std::string out = path("out.png");
    std::vector<std::string> args{GetParam(), path("track.mwk")};
    if (std::string(GetParam()) != "simulate") args.push_back(out);
    const Outcome o = run(builders::joined(args, {"--replay", ride}));
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.err, "marlwick-cli: " + ride + " is not a ride that can be replayed: line " +
                         std::to_string(lines + 1) + ": the line ends too soon.\n");
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Commands, DamagedReplay, ::testing::Values("simulate", "profile", "render"));

} // namespace
