#include "simulation/PhysicsLoop.h"
#include "simulation/Simulation.h"
#include "simulation/SimulationPeers.h"

#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A document whose ball rolls along a long floor, driven by a real physics
// thread; every access from the test thread happens while the loop is paused.
class PhysicsThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::emptyDocument(doc);
        floor = &builders::addFloor(doc, "floor", 5, 20);
        builders::setLaunch(doc, *floor, 0.5, 0.05, 2.0);
        thread = StartPhysicsThread(doc, control);
    }

    void TearDown() override
    {
        control.threadsStop = true;
        thread.join();
        EXPECT_FALSE(control.LoopRunning());
    }

    // Places and rolls the ball as the program's commands do.
    void roll()
    {
        ASSERT_TRUE(PositionBall(doc).empty()); // pauses the parked loop and waits
        EXPECT_EQ(control.GetPhysicsState(), Paused);
        FixLaunch(doc);
        ASSERT_TRUE(RollBall(doc).empty());
    }

    // Waits (at most a few seconds) until the loop has made n more steps.
    bool waitForSteps(std::int64_t n)
    {
        const auto target = doc.simulation.stepCount.load() + n;
        for (int k = 0; k < 500 && doc.simulation.stepCount.load() < target; ++k) std::this_thread::sleep_for(10ms);
        return doc.simulation.stepCount.load() >= target;
    }

    COpenGLTemplateDoc doc;
    SurfaceSection* floor = nullptr;
    PhysicsLoopControl control;
    std::thread thread;
};

TEST_F(PhysicsThreadTest, PausedLoopMakesNoStepsAndResumesWithABoundedStep)
{
    roll();
    ASSERT_TRUE(waitForSteps(5));

    ASSERT_TRUE(control.PausePhysicsAndWait());
    const auto steps = doc.simulation.stepCount.load();
    const Vec3 where = doc.simulation.ball.contactPoint;
    EXPECT_GT(where.x, floor->EvaluatePoint(0.5, 0.05).x);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(doc.simulation.stepCount.load(), steps);
    EXPECT_EQ(doc.simulation.ball.contactPoint, where);
    EXPECT_EQ(doc.simulation.physicsFps.load(), 0.0);

    control.SetPhysicsState(Running);
    ASSERT_TRUE(waitForSteps(3));
    ASSERT_TRUE(control.PausePhysicsAndWait());
    EXPECT_LE(doc.simulation.stepLength, doc.simulation.maxStepTime);
    EXPECT_GT(doc.simulation.ball.contactPoint.x, where.x);
}

// "Save ride…" while the ball rolls copies the run so far; the loop goes on
// recording until the ball is stopped, which parks it without waiting.
TEST_F(PhysicsThreadTest, TheRideIsCopiedWhileTheLoopRecordsItAndStopBallParksTheLoop)
{
    roll();
    // The ride takes in each step just after the loop has counted it.
    RideRecord soFar;
    for (int k = 0; k < 500 && soFar.steps.size() < 3; ++k) {
        std::this_thread::sleep_for(10ms);
        soFar = control.ride.Copy();
    }
    EXPECT_EQ(soFar.end, RideEnd::None);
    ASSERT_TRUE(waitForSteps(3));
    StopBall(doc);
    EXPECT_TRUE(doc.simulation.stopped.load());
    ASSERT_TRUE(control.PausePhysicsAndWait());
    EXPECT_EQ(control.GetPhysicsState(), Paused);
    const RideRecord whole = control.ride.Copy();
    EXPECT_EQ(whole.end, RideEnd::Stop);
    ASSERT_GE(soFar.steps.size(), 3u);
    ASSERT_GT(whole.steps.size(), soFar.steps.size());
    for (std::size_t k = 0; k < soFar.steps.size(); ++k) EXPECT_EQ(whole.steps[k].centre, soFar.steps[k].centre);
}

TEST(SimulationPeersTest, OpeningADocumentPausesTheLoopAndPlacesTheBallAtItsStart)
{
    builders::TempFile file("peers");
    {
        COpenGLTemplateDoc source;
        builders::emptyDocument(source);
        source.SetBallStart(&builders::addFloor(source, "floor", 5, 2), 0.25, 0.75);
        std::string error;
        ASSERT_TRUE(source.OnSaveDocument(file.path(), error)) << error;
    }
    SimulationPeers peers;
    COpenGLTemplateDoc doc(&peers);
    PhysicsLoopControl control;
    std::thread thread = StartPhysicsThread(doc, control);
    control.SetPhysicsState(Running);
    std::string error;
    EXPECT_TRUE(doc.OnOpenDocument(file.path(), error)) << error;
    EXPECT_EQ(control.GetPhysicsState(), Running);
    ASSERT_TRUE(control.PausePhysicsAndWait());
    EXPECT_TRUE(doc.simulation.settingVelocity.load());
    EXPECT_EQ(doc.simulation.ball.contactPoint, doc.surfaces[0]->EvaluatePoint(0.25, 0.75));

    doc.OnNewDocument(); // stops the ball and hides its overlays
    EXPECT_TRUE(doc.simulation.stopped.load());
    EXPECT_FALSE(doc.showBall);
    control.threadsStop = true;
    thread.join();
}

TEST(PhysicsLoopControlTest, PauseWithoutALoopReturnsAtOnce)
{
    PhysicsLoopControl control;
    EXPECT_FALSE(control.PausePhysicsAndWait());
    EXPECT_EQ(control.GetPhysicsState(), PauseRequested);
}

} // namespace
