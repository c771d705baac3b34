#include "cli/SimulateCommand.h"

#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <functional>
#include <sstream>
#include <tuple>

namespace {

using builders::TempFile;
using nlohmann::json;

struct SimulateRun {
    int code = 0;
    std::string err;
    std::vector<json> lines;
};

SimulateRun simulate(std::vector<std::string> args)
{
    const builders::CliOutcome o = builders::runCommand("simulate", std::move(args));
    SimulateRun r{o.code, o.err, {}};
    std::istringstream in(o.out);
    for (std::string line; std::getline(in, line);) r.lines.push_back(json::parse(line));
    return r;
}

// Two floors, t0 and t1, linked end to begin, the ball starting near the end
// of t0 and rolling along it.
class SimulateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        builders::addTrack(doc, 2, 5, 2, 0.0);
        builders::setLaunch(doc, *doc.surfaces[0], 0.5, 0.8, 6.0);
        ASSERT_TRUE(builders::saved(doc, file.path()));
    }

    TempFile file{"cli-simulate"};
};

TEST_F(SimulateTest, PrintsOneLinePerStepThenTheSummary)
{
    const SimulateRun r = simulate({file.path(), "--steps", "200", "--dt", "0.05"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 201u);
    const json& first = r.lines[0];
    EXPECT_EQ(first["step"], 1);
    EXPECT_DOUBLE_EQ(first["t"].get<double>(), 0.05);
    EXPECT_EQ(first["surface"], "t0");
    EXPECT_EQ(first["group"], "main");
    EXPECT_EQ(first["centre"].size(), 3u);
    // The ball crosses onto b (the crossing's event is the names test's), runs
    // off its free end, flies and falls back to its start.
    const json& summary = r.lines.back()["summary"];
    EXPECT_EQ(summary["steps"], 200);
    EXPECT_EQ(summary["crossings"], 1);
    EXPECT_EQ(summary["fallResets"], 1);
    EXPECT_TRUE(summary["final"]["stopped"].get<bool>());
}

TEST_F(SimulateTest, OptionsChooseTheStartTheLaunchAndThePauses)
{
    const SimulateRun r = simulate({file.path(), "--steps", "3", "--start", "t1,main,0.5,0.5", "--speed", "1",
                                    "--direction", "0,0,-1", "--pause-each-frame"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.lines[0]["surface"], "t1");
    EXPECT_LT(r.lines[0]["velocity"][2].get<double>(), 0.0);
    EXPECT_TRUE(r.lines[0]["stopped"].get<bool>());
    EXPECT_EQ(r.lines[1]["centre"], r.lines[0]["centre"]); // one step per roll

    const SimulateRun air = simulate({file.path(), "--steps", "200", "--pause-on-air"});
    EXPECT_TRUE(air.lines.back()["summary"]["final"]["inAir"].get<bool>());
    EXPECT_EQ(air.lines.back()["summary"]["fallResets"], 0);
}

TEST_F(SimulateTest, RefusesBadOptionsAndAMissingStartSurface)
{
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    for (const Case& c : {Case{{"--steps", "-1"}, "--steps must be a whole number from 0 to"},
                          Case{{"--dt", "0"}, "--dt must be"},
                          Case{{"--start", "t0,main,2,0"}, "--start must be SURFACE,GROUP,U,V"},
                          Case{{"--fly"}, "unknown option \"--fly\""},
                          Case{{"--speed", "1e200"}, "--speed must be a number from 0 to 1000"},
                          Case{{"--speed", "nan"}, "--speed must be"},
                          Case{{"--dt", "4.9e-324"}, "--dt must be a number of seconds from 0.0001 to 1"},
                          Case{{"--dt", "1e-300"}, "--dt must be"},
                          Case{{"--direction", "1e-320,0,0"}, "--direction \"1e-320,0,0\" is too short"},
                          Case{{"--direction", "0,1e200,0"}, "--direction must be three numbers"},
                          Case{{"--direction", "0,0,0"}, "not all zero"}}) {
        const SimulateRun r = simulate(builders::joined({file.path()}, c.args));
        EXPECT_TRUE(builders::endedSaying(r, cli::kExitUsage, c.says));
        EXPECT_TRUE(r.lines.empty());
    }
    const SimulateRun none = simulate({});
    EXPECT_EQ(none.code, cli::kExitUsage);
    EXPECT_TRUE(none.lines.empty());
    const SimulateRun missing = simulate({file.path(), "--start", "zz,main,0.5,0.5"});
    EXPECT_TRUE(builders::endedSaying(missing, cli::kExitNoStartSurface, "no surface \"zz\" in group \"main\""));
    EXPECT_TRUE(missing.lines.empty());
}

TEST_F(SimulateTest, AStoredStartOrSpeedTheOptionsWouldRefuseIsRefused)
{
    const std::pair<std::array<double, 3>, const char*> cases[] = {
        {{1.5, 0.5, 1.0}, "holds the ball start U = 1.5, V = 0.5, but U and V must be from 0 to 1"},
        {{0.5, -0.25, 1.0}, "holds the ball start U = 0.5, V = -0.25"},
        {{0.5, 0.5, -5.0}, "holds the launch speed -5, but it must be from 0 to 1000"},
        {{0.5, 0.5, 1e9}, "holds the launch speed 1e+09"}};
    for (const auto& [stored, says] : cases) {
        COpenGLTemplateDoc doc;
        ASSERT_TRUE(builders::opened(doc, file.path()));
        std::tie(doc.ballStartU, doc.ballStartV, doc.launchSpeed) = std::tie(stored[0], stored[1], stored[2]);
        ASSERT_TRUE(builders::saved(doc, file.path()));
        const SimulateRun refused = simulate({file.path()});
        EXPECT_TRUE(builders::endedSaying(refused, cli::kExitFile, file.path() + " " + says));
        // Options that replace the stored values let the run go.
        EXPECT_EQ(simulate({file.path(), "--steps", "2", "--start", "t0,main,0.5,0.5", "--speed", "1"}).code, 0);
    }
}

double num(const json& j) { return j.get<double>(); }

// simulate's lines on a document whose floors `lay` builds and launches.
std::vector<json> rideLines(const std::function<void(COpenGLTemplateDoc&)>& lay, const char* steps)
{
    TempFile file("cli-ride");
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    lay(doc);
    EXPECT_TRUE(builders::saved(doc, file.path()));
    const SimulateRun r = simulate({file.path(), "--steps", steps, "--dt", "0.05"});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.lines;
}

// The ride figures as printed: each line's energies, and the summary's
// extremes, airtime and losses gathered from the lines (the felt force
// itself is the ride profile's tests').
TEST(SimulateRide, AFlatPlateLosesOnlyToTheDampingAndTheSummaryGathersTheLines)
{
    const auto lines = rideLines(
        [](COpenGLTemplateDoc& doc) {
            builders::setLaunch(doc, builders::addFloor(doc, "floor", 5, 20), 0.5, 0.02, 3.0);
        },
        "80");
    ASSERT_EQ(lines.size(), 81u);
    double maxLongitudinal = 0.0, minVertical = 10.0;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        const json& e = lines[k]["energy"];
        const double speed = num(lines[k]["speed"]);
        EXPECT_NEAR(num(e["kinetic"]), 0.5 * speed * speed, 1e-12);
        EXPECT_NEAR(num(e["potential"]), 5.0 * num(lines[k]["centre"][1]), 1e-12);
        EXPECT_NEAR(num(e["total"]), num(e["kinetic"]) + num(e["potential"]), 1e-12);
        maxLongitudinal = std::max(maxLongitudinal, std::fabs(num(lines[k]["gForce"]["longitudinal"])));
        minVertical = std::min(minVertical, num(lines[k]["gForce"]["vertical"]));
    }
    const json& summary = lines.back()["summary"];
    EXPECT_DOUBLE_EQ(num(summary["gForce"]["maxLongitudinal"]), maxLongitudinal);
    EXPECT_DOUBLE_EQ(num(summary["gForce"]["minVertical"]), minVertical);
    EXPECT_NEAR(minVertical, 1.0, 0.01);
    EXPECT_EQ(num(summary["airtime"]), 0.0);
    const double lost = 0.5 * 3.0 * 3.0 - num(lines[79]["energy"]["kinetic"]);
    EXPECT_NEAR(num(summary["energyLost"]["damping"]), lost, 1e-9);
    EXPECT_EQ(num(summary["energyLost"]["impacts"]), 0.0);
    EXPECT_EQ(num(summary["energyLost"]["appliedForce"]), 0.0);
}

// The ball runs off the free end of a floor over a lower one, flies, lands
// and rolls on: the summary counts the airtime and the landing's loss (that
// the landing is no spike of felt force is the ride profile's test).
TEST(SimulateRide, TheSummaryCountsAirtimeAndTheImpactLoss)
{
    const auto lines = rideLines(
        [](COpenGLTemplateDoc& doc) {
            SurfaceSection& top = builders::addFloor(doc, "top", 5, 2, builders::FloorShape{{0.0, 3.0, 0.0}});
            builders::addFloor(doc, "low", 5, 12, builders::FloorShape{{15.0, 0.0, 0.0}});
            builders::setLaunch(doc, top, 0.5, 0.8, 4.0);
        },
        "60");
    int flying = 0;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) flying += lines[k]["inAir"].get<bool>();
    const json& summary = lines.back()["summary"];
    ASSERT_GT(flying, 3);
    EXPECT_GT(summary["landings"].get<long>() + summary["bounces"].get<long>(), 0);
    EXPECT_NEAR(num(summary["airtime"]), flying * 0.05, 1e-9);
    EXPECT_EQ(summary["flights"], 1);
    EXPECT_GT(num(summary["energyLost"]["impacts"]), 0.0);
}

} // namespace
