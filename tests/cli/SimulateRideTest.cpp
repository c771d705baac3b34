#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

namespace {

using builders::TempFile;
using nlohmann::json;

std::vector<json> simulateLines(std::vector<std::string> args)
{
    args.insert(args.begin(), "simulate");
    const builders::CliOutcome o = builders::runCli(args);
    EXPECT_EQ(o.code, 0) << o.err;
    std::vector<json> lines;
    std::istringstream in(o.out);
    for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
    return lines;
}

double num(const json& j) { return j.get<double>(); }

// A flat floor, the ball starting near its beginning and rolling along it
// (the felt force and energy on an incline are the ride profile's tests).
TEST(SimulateRide, AFlatPlateFeelsOneGUpAndLosesOnlyToTheDamping)
{
    TempFile file("cli-ride-flat");
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        doc.SetBallStart(&builders::addFloor(doc, "floor", 5, 20), 0.5, 0.02);
        doc.launchDirection = {1.0, 0.0, 0.0};
        doc.launchSpeed = 3.0;
        ASSERT_TRUE(builders::saved(doc, file.path()));
    }
    const double h = 0.05;
    const auto lines = simulateLines({file.path(), "--steps", "80", "--dt", "0.05"});
    ASSERT_EQ(lines.size(), 81u);
    double previousSpeed = 3.0, maxLongitudinal = 0.0;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        const json& g = lines[k]["gForce"];
        ASSERT_FALSE(lines[k]["inAir"].get<bool>());
        EXPECT_NEAR(num(g["vertical"]), 1.0, 0.01);
        EXPECT_NEAR(num(g["lateral"]), 0.0, 0.01);
        EXPECT_NEAR(num(g["longitudinal"]), -0.002 * previousSpeed / (h * 5.0), 1e-6);
        maxLongitudinal = std::max(maxLongitudinal, std::fabs(num(g["longitudinal"])));
        const json& e = lines[k]["energy"];
        const double speed = num(lines[k]["speed"]);
        EXPECT_NEAR(num(e["kinetic"]), 0.5 * speed * speed, 1e-12);
        EXPECT_NEAR(num(e["potential"]), 5.0 * num(lines[k]["centre"][1]), 1e-12);
        EXPECT_NEAR(num(e["total"]), num(e["kinetic"]) + num(e["potential"]), 1e-12);
        previousSpeed = speed;
    }
    const json& summary = lines.back()["summary"];
    EXPECT_DOUBLE_EQ(num(summary["gForce"]["maxLongitudinal"]), maxLongitudinal);
    EXPECT_NEAR(num(summary["gForce"]["minVertical"]), 1.0, 0.01);
    EXPECT_EQ(num(summary["airtime"]), 0.0);
    const double lost = 0.5 * 3.0 * 3.0 - num(lines[79]["energy"]["kinetic"]);
    EXPECT_NEAR(num(summary["energyLost"]["damping"]), lost, 1e-9);
    EXPECT_EQ(num(summary["energyLost"]["impacts"]), 0.0);
    EXPECT_EQ(num(summary["energyLost"]["appliedForce"]), 0.0);
}

// The ball runs off the free end of a floor over a lower one, flies, lands
// and rolls on: the summary counts the airtime and the landing's loss.
TEST(SimulateRide, TheSummaryCountsAirtimeAndTheImpactLoss)
{
    TempFile file("cli-ride-drop");
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        SurfaceSection& top = builders::addFloor(doc, "top", 5, 2, builders::FloorShape{{0.0, 3.0, 0.0}});
        builders::addFloor(doc, "low", 5, 12, builders::FloorShape{{15.0, 0.0, 0.0}});
        doc.SetBallStart(&top, 0.5, 0.8);
        doc.launchDirection = {1.0, 0.0, 0.0};
        doc.launchSpeed = 4.0;
        ASSERT_TRUE(builders::saved(doc, file.path()));
    }
    const auto lines = simulateLines({file.path(), "--steps", "60", "--dt", "0.05"});
    int flying = 0;
    double weightless = 0.0;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        if (!lines[k]["inAir"].get<bool>()) continue;
        ++flying;
        weightless = std::max(weightless, std::fabs(num(lines[k]["gForce"]["vertical"])));
    }
    const json& summary = lines.back()["summary"];
    ASSERT_GT(flying, 3);
    EXPECT_EQ(summary["landings"].get<long>() + summary["bounces"].get<long>() > 0, true);
    EXPECT_NEAR(num(summary["airtime"]), flying * 0.05, 1e-9);
    EXPECT_EQ(summary["flights"], 1);
    EXPECT_GT(num(summary["energyLost"]["impacts"]), 0.0);
    // The landing is an event of its step, not a spike of force: on the flat floor it is 1 g.
    EXPECT_NEAR(num(summary["gForce"]["maxVertical"]), 1.0, 0.01);
    EXPECT_LT(num(summary["gForce"]["minVertical"]), 0.1); // the flight
}

} // namespace
