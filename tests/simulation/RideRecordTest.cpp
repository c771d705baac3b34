#include "simulation/RideFile.h"
#include "simulation/RideReplay.h"

#include "support/RecordedRideBuilders.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

using builders::recordJitteredRide;

// A ride recorded by the loop on a busy machine's clock, with forces, a
// change of the switches and of the force circle on the way.
class RecordedRide : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::rideTrack(doc);
        ride = recordJitteredRide(doc, 20240611);
    }

    // Replays text on a document built afresh; returns the replay.
    RideReplay replayText(const std::string& text)
    {
        RideRecord back;
        EXPECT_EQ(ParseRideText(text, back), "");
        builders::rideTrack(fresh);
        RideReplay replay(std::move(back));
        EXPECT_EQ(replay.Launch(fresh), "");
        while (replay.Step(fresh) > 0.0) {}
        return replay;
    }

    COpenGLTemplateDoc doc, fresh;
    RideRecord ride;
};

TEST_F(RecordedRide, TheLoopRecordsEveryStepItsLaunchAndItsEnd)
{
    ASSERT_EQ(ride.steps.size(), 240u);
    EXPECT_EQ(ride.end, RideEnd::Stop);
    EXPECT_EQ(ride.launch.surface, "t0");
    EXPECT_EQ(ride.launch.speed, 8.0);
    EXPECT_EQ(ride.documentHash, RideDocumentHash(doc));
    // The clock's stalls reach the step lengths; the force was held and let go.
    int stalled = 0, pushed = 0;
    for (const RideStep& s : ride.steps) {
        stalled += s.h > 1.25 / 70.0;
        pushed += s.forceActive;
    }
    EXPECT_GT(stalled, 10);
    EXPECT_EQ(pushed, 3 * 30);
    EXPECT_GT(ride.steps.back().centre.x, builders::kRideFloorLength); // across the first join
    ASSERT_EQ(ride.changes.size(), 1u); // the circle, laid out before the first step
    EXPECT_EQ(ride.changes[0].kind, RideChange::Circle);
    EXPECT_EQ(ride.changes[0].circle.radius, 89.0);
}

TEST_F(RecordedRide, ReplayedFromItsFileEveryPositionIsTheSameBitForBit)
{
    const std::string text = RideText(ride);
    RideReplay replay = replayText(text);
    EXPECT_FALSE(replay.divergence().has_value());
    EXPECT_EQ(replay.StepsDone(), ride.steps.size());
    EXPECT_EQ(fresh.simulation.ball.ballCentre, ride.steps.back().centre);
    // The text reads back to itself.
    RideRecord back;
    ASSERT_EQ(ParseRideText(text, back), "");
    EXPECT_EQ(RideText(back), text);
}

TEST_F(RecordedRide, AChangedSwitchAndCircleMidRunAreReplayedWhereTheyHappened)
{
    // The ride again from the start, this time with "Prevent immediate
    // impact on same surface" switched on and the view resized half way.
    COpenGLTemplateDoc other;
    builders::rideTrack(other);
    const RideRecord changed = builders::recordRide(other, 7, 120, 3.0, [&](int k) {
        if (k == 40) builders::holdForce(other.simulation, true, 200, 40);
        if (k != 60) return;
        other.preventSameSurfaceImpact = true;
        LayoutForceCircle(other.simulation.windowCircle, 400, 300);
        other.simulation.viewHeight = 300;
    }, false);
    EXPECT_EQ(changed.end, RideEnd::None); // still rolling when it was copied
    ASSERT_EQ(changed.changes.size(), 3u); // the circle at step 40, the switch and the circle at 60
    EXPECT_EQ(changed.changes[0].beforeStep, 40u);
    EXPECT_EQ(changed.changes[1].kind, RideChange::Switches);
    EXPECT_EQ(changed.changes[2].beforeStep, 60u);

    const RideReplay replay = replayText(RideText(changed));
    EXPECT_FALSE(replay.divergence().has_value());
    EXPECT_TRUE(fresh.preventSameSurfaceImpact);
}

TEST_F(RecordedRide, AReplayThatLeavesTheRideSaysWhereAndStops)
{
    RideRecord altered = ride;
    Vec3& centre = altered.steps[100].centre;
    centre.y = std::bit_cast<double>(std::bit_cast<std::uint64_t>(centre.y) ^ 1u); // one bit off
    const RideReplay replay = replayText(RideText(altered));
    ASSERT_TRUE(replay.divergence().has_value());
    EXPECT_EQ(replay.divergence()->step, 101u);
    EXPECT_EQ(replay.divergence()->recorded, altered.steps[100].centre);
    EXPECT_EQ(replay.divergence()->replayed, ride.steps[100].centre);
    EXPECT_EQ(replay.StepsDone(), 101u);
}

TEST(RideRecorder, ARunTooLongToKeepEndsUnfinishedAtItsLimit)
{
    RideRecorder recorder;
    recorder.Launch({}, {}, 1);
    const ForceInput none;
    for (std::size_t k = 0; k <= RideRecorder::kMaxSteps; ++k) recorder.RecordStep({}, none, 0.01, {double(k), 0, 0});
    recorder.End(RideEnd::Stop);
    const RideRecord ride = recorder.Copy();
    ASSERT_EQ(ride.steps.size(), RideRecorder::kMaxSteps);
    EXPECT_EQ(ride.steps.back().centre.x, double(RideRecorder::kMaxSteps - 1));
    EXPECT_EQ(ride.end, RideEnd::None); // it did not stop where its record ends
}

TEST(RideDocumentHash, CoversTheSurfacesButNotTheLaunchOrTheView)
{
    COpenGLTemplateDoc doc;
    builders::rideTrack(doc);
    const std::uint64_t hash = RideDocumentHash(doc);
    doc.launchSpeed = 9.0;
    doc.cameraDistance = -12.0;
    doc.pauseOnAir = true;
    doc.SetBallStart(doc.surfaces.back().get(), 0.2, 0.3);
    EXPECT_EQ(RideDocumentHash(doc), hash);
    doc.surfaces.front()->render = 0; // a surface the ball no longer meets
    EXPECT_NE(RideDocumentHash(doc), hash);
}

// A good ride file damaged at one line, and what is said of it.
struct DamagedRide {
    enum Edit { Replace, Drop, CutInside, EndBefore };
    const char* name;
    Edit edit;
    int line;             // from 1
    const char* with;     // Replace: the line's new text
    const char* expected;
};

class DamagedRideFile : public ::testing::TestWithParam<DamagedRide> {};

std::string damage(const std::string& text, const DamagedRide& d)
{
    std::string out;
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start) + 1;
        const std::string_view line(text.data() + start, end - start);
        start = end;
        if (++number != d.line) {
            out += line;
        } else if (d.edit == DamagedRide::Replace) {
            out.append(d.with).append("\n");
        } else if (d.edit != DamagedRide::Drop) {
            if (d.edit == DamagedRide::CutInside) out += line.substr(0, line.size() / 2);
            break;
        }
    }
    return out;
}

TEST_P(DamagedRideFile, IsRefusedNamingTheLine)
{
    RideRecord ride;
    ride.switches.maxStepTime = 0.06;
    ride.launch = {"t0", "main", 0.5, 0.05, 3.0, {1, 0, 0}};
    for (int k = 0; k < 3; ++k) ride.steps.push_back({0.015, {k * 0.1, 0.5, 0.0}, k == 1, 160, 70});
    ride.end = RideEnd::Stop;
    const std::string good = RideText(ride);
    RideRecord back;
    ASSERT_EQ(ParseRideText(good, back), "");
    EXPECT_EQ(ParseRideText(damage(good, GetParam()), back), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedRideFile,
    ::testing::Values(
        DamagedRide{"Empty", DamagedRide::EndBefore, 1, nullptr, "line 1: the file is empty"},
        DamagedRide{"CutInsideAStep", DamagedRide::CutInside, 4, nullptr, "line 4: the line ends too soon"},
        DamagedRide{"CutAfterTheLaunch", DamagedRide::EndBefore, 3, nullptr,
                    "line 3: the file ends after 0 of the ride's 3 steps"},
        DamagedRide{"CutAfterAStep", DamagedRide::EndBefore, 5, nullptr,
                    "line 5: the file ends after 2 of the ride's 3 steps"},
        DamagedRide{"StepDropped", DamagedRide::Drop, 4, nullptr, "line 4: step 2 was expected here"},
        DamagedRide{"NotARide", DamagedRide::Replace, 1, "{\"hello\":1}", "line 1: this is not a Marlwick ride (\"hello\" is not a field of a ride)"},
        DamagedRide{"NotJson", DamagedRide::Replace, 1, "MWK\x01\x02", "line 1: this is not a Marlwick ride ('{' was expected)"},
        DamagedRide{"LaunchMissing", DamagedRide::Replace, 2, "{\"step\":1,\"h\":0.015,\"centre\":[0,0.5,0]}",
                    "line 2: the second line must be the launch"},
        DamagedRide{"UnknownField", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015,\"centrx\":[0,0.5,0]}",
                    "line 3: \"centrx\" is not a field of a ride"},
        DamagedRide{"StepWithoutCentre", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015}",
                    "line 3: a step has the fields \"step\", \"h\", \"centre\" and may have \"force\", and no others"},
        DamagedRide{"FieldTwice", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015,\"h\":0.01,\"centre\":[0,0.5,0]}",
                    "line 3: \"h\" appears twice"},
        DamagedRide{"StepTooLong", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.5,\"centre\":[0,0.5,0]}",
                    "line 3: the step length must be above 0 and at most the maximum step time"},
        DamagedRide{"CentreNotANumber", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015,\"centre\":[null,0.5,0]}",
                    "line 3: \"centre\" must hold three numbers"},
        DamagedRide{"CentreShort", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015,\"centre\":[0,0.5]}",
                    "line 3: \"centre\" must hold 3 numbers"},
        DamagedRide{"ForceNotPixels", DamagedRide::Replace, 4, "{\"step\":2,\"h\":0.015,\"force\":[1.5,2],\"centre\":[0,0.5,0]}",
                    "line 4: \"force\" must hold whole numbers of pixels"},
        DamagedRide{"UnknownEvent", DamagedRide::Replace, 6, "{\"event\":\"jump\"}",
                    "line 6: the event \"jump\" is none of settings, circle, pause, stop, position"},
        DamagedRide{"EmptyLine", DamagedRide::Replace, 4, "", "line 4: the line is empty"},
        DamagedRide{"AfterTheEnd", DamagedRide::Replace, 6, "{\"event\":\"stop\"}\n{\"event\":\"stop\"}",
                    "line 7: nothing may follow the end of the ride"},
        DamagedRide{"TrailingText", DamagedRide::Replace, 3, "{\"step\":1,\"h\":0.015,\"centre\":[0,0.5,0]} x",
                    "line 3: something follows the line's object"}),
    [](const ::testing::TestParamInfo<DamagedRide>& row) { return std::string(row.param.name); });

} // namespace
