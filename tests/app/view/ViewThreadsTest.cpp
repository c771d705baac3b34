// The view engine's render and physics threads and the hand-shakes the user
// interface drives them with, on a document whose ball really rolls.

#include "view/ViewCore.h"

#include "simulation/ForcesAndPaths.h"
#include "view/MouseInteraction.h"

#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"
#include "support/ScratchDir.h"
#include "support/SimulationBuilders.h"
#include "view/PrintLayout.h"
#include "view/ViewFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

using namespace std::chrono_literals;
// Long enough for any machine, however loaded: only a thread that never ends runs into it.
constexpr int kGenerousWaitMs = 120000;

class ViewThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::emptyDocument(doc);
        floor = &builders::addFloor(doc, "floor", 5, 20, {{0, 0, 0}, 0.02});
        doc.SetBallStart(floor, 0.5, 0.05);
        doc.launchDirection = {1, 0, 0};
        view.Resize(320, 200);
        view.StartThreads(host, drawer);
        ASSERT_TRUE(waitUntil([&] { return drawer.frames.load() >= 2; }));
    }

    void TearDown() override { EXPECT_TRUE(view.Teardown()); }

    // Position ball, fix the launch and roll: the physics thread steps.
    void rollBall()
    {
        ASSERT_TRUE(PositionBall(doc).empty());
        view.WithViewLock([&] { FixLaunch(doc); });
        ASSERT_TRUE(RollBall(doc).empty());
        ASSERT_TRUE(waitUntil([&] { return doc.simulation.stepCount.load() > 5; }));
    }
    // Waits until the render thread has drawn more than `count` frames more.
    bool framesPass(int count)
    {
        const int frames = drawer.frames.load();
        return waitUntil([&] { return drawer.frames.load() > frames + count; });
    }

    COpenGLTemplateDoc doc;
    SurfaceSection* floor = nullptr;
    ViewCore view{doc};
    FakeHost host;
    FakeDrawer drawer{doc};
};

TEST_F(ViewThreadsTest, RenderThreadOwnsTheContextAndDrawsAtMostSixtyFramesASecond)
{
    EXPECT_NE(host.madeCurrentOn, std::this_thread::get_id());
    EXPECT_TRUE(drawer.initialized.load());
    EXPECT_TRUE(doc.viewReady.load());
    const int before = drawer.frames.load();
    // The fake swap returns at once, as a driver without vertical sync does.
    double fastest = 0.0;
    ASSERT_TRUE(waitUntil([&] {
        fastest = std::max(fastest, view.renderFps());
        return drawer.frames.load() >= before + 10;
    }));
    ASSERT_TRUE(waitUntil([&] { return host.swaps.load() >= before + 10; }));
    EXPECT_GT(view.renderFps(), 0.0);
    EXPECT_LE(fastest, 60.0 + 1e-6);
    EXPECT_EQ(doc.simulation.physicsControl.load(), &view.physics());
}

TEST_F(ViewThreadsTest, PauseAllHoldsFramesAndStepsUntilResumed)
{
    rollBall();
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(view.PauseAllAndWait());
        EXPECT_EQ(view.requests().GetRenderRequest(PauseRender), Acknowledged);
        EXPECT_EQ(view.physics().GetPhysicsState(), Paused);
        const int frames = drawer.frames.load();
        const auto steps = doc.simulation.stepCount.load();
        // Safe to touch the ball now: nothing else does.
        const Vec3 where = doc.simulation.ball.contactPoint;
        std::this_thread::sleep_for(30ms);
        EXPECT_EQ(drawer.frames.load(), frames);
        EXPECT_EQ(doc.simulation.stepCount.load(), steps);
        EXPECT_EQ(doc.simulation.ball.contactPoint, where);
        view.ResumeAll();
        EXPECT_EQ(view.physics().GetPhysicsState(), Running); // it was rolling before the pause
        ASSERT_TRUE(waitUntil(
            [&] { return drawer.frames.load() > frames && doc.simulation.stepCount.load() > steps; }));
    }
}

TEST_F(ViewThreadsTest, NestedPausesReleaseTheRenderThreadOnlyAtTheOutermostResume)
{
    view.PauseAllAndWait();
    // Position ball pauses and resumes the render thread itself, inside our pause.
    ASSERT_TRUE(PositionBall(doc).empty());
    EXPECT_EQ(view.requests().GetRenderRequest(PauseRender), Acknowledged);
    const int frames = drawer.frames.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(drawer.frames.load(), frames);
    view.ResumeAll();
    EXPECT_EQ(view.requests().GetRenderRequest(PauseRender), Idle);
    // The ball was not rolling: the loop stays parked.
    EXPECT_NE(view.physics().GetPhysicsState(), Running);
    ASSERT_TRUE(waitUntil([&] { return drawer.frames.load() > frames; }));
    // Position ball moved the camera close; the frames show that distance.
    ASSERT_TRUE(waitUntil([&] {
        const std::vector<double> d = drawer.record().distances;
        return !d.empty() && d.back() == -1.0;
    }));
}

TEST_F(ViewThreadsTest, ResizeWhileFramesAndStepsRunNeverShowsAHalfStoredSize)
{
    rollBall();
    const std::pair<int, int> sizes[] = {{640, 480}, {100, 700}, {333, 1}, {1200, 900}};
    for (int k = 0; k < 40; ++k) {
        const auto& s = sizes[k % 4];
        view.Resize(s.first, s.second);
        EXPECT_EQ(doc.simulation.viewWidth.load(), s.first);
        EXPECT_EQ(doc.simulation.viewHeight.load(), s.second);
    }
    ASSERT_TRUE(framesPass(2));
    for (const auto& seen : drawer.record().sizes) {
        const bool known = seen == std::make_pair(320, 200) ||
                           std::find(std::begin(sizes), std::end(sizes), seen) != std::end(sizes);
        EXPECT_TRUE(known) << seen.first << " x " << seen.second;
    }
    EXPECT_EQ(drawer.record().sizes.back(), std::make_pair(1200, 900));
}

TEST_F(ViewThreadsTest, SaveAndPrintRequestsAreServedBetweenFramesWhileTheBallRolls)
{
    rollBall();
    for (int k = 0; k < 5; ++k) {
        const std::string name = "shot" + std::to_string(k) + ".png";
        ASSERT_TRUE(view.SaveImage(name));
        EXPECT_EQ(view.requests().GetRenderRequest(SaveImage), Idle);
        EXPECT_EQ(drawer.record().saved.back(), (FakeDrawer::Saved{name, 320, 200}));

        const OffscreenPicture page = view.Print(800, 1000, false);
        const PixelRect expected = PrintBitmapSize(320, 200, 800, 1000, false);
        EXPECT_EQ(std::pair(page.width, page.height), std::pair(expected.width, expected.height));
        EXPECT_EQ(view.Print(800, 1000, true).width, 320); // the preview is the view's size
    }
    ASSERT_TRUE(framesPass(0));
}

TEST_F(ViewThreadsTest, APrintRequestPendingIgnoresASecondOne)
{
    view.requests().SetRenderRequest(Print, Acknowledged); // as if one were being served
    EXPECT_TRUE(view.Print(800, 600, false).empty());
    view.requests().SetRenderRequest(Print, Idle);
    EXPECT_FALSE(view.Print(800, 600, false).empty());
}

TEST_F(ViewThreadsTest, MovieRecordsOneFramePerStepOfTheMaximumStepTime)
{
    doc.movieFrameCount = 6;
    const std::thread::id testThread = std::this_thread::get_id();
    bool finishedOnRenderThread = false;
    std::atomic<int> finished{0};
    view.movieFinished = [&] {
        finishedOnRenderThread = std::this_thread::get_id() != testThread;
        finished.fetch_add(1);
    };
    rollBall();
    view.StartMovie();
    ASSERT_TRUE(waitUntil([&] { return finished.load() == 1; }, 20000));
    EXPECT_EQ(drawer.record().movieFrames, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (double h : drawer.record().stepLengths) EXPECT_DOUBLE_EQ(h, doc.simulation.maxStepTime);
    EXPECT_FALSE(doc.simulation.movieRecording.load());
    EXPECT_EQ(view.movieFrameCounter(), 6);
    EXPECT_EQ(view.movieFrameSize().width, doc.imageWidth);
    EXPECT_EQ(view.movieFrameSize().height, 500); // 320 x 200 at 800 wide
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(finished.load(), 1);
    EXPECT_TRUE(finishedOnRenderThread);
}

TEST_F(ViewThreadsTest, ALiveMovieTakesFramesAsTheViewDrawsWhileTheBallRolls)
{
    const builders::Scratch scratch;
    rollBall();
    EXPECT_NE(view.StartLiveMovie(scratch.file("odd.avi")).find("no movie format"), std::string::npos);
    ASSERT_EQ(view.StartLiveMovie(scratch.file("live.mp4")), "");
    EXPECT_TRUE(view.liveMovieRecording());
    EXPECT_NE(view.StartLiveMovie(scratch.file("again.mp4")), "");
    const std::int64_t steps = doc.simulation.stepCount.load();
    ASSERT_TRUE(waitUntil([&] { return drawer.framesRead.load() >= 4 && drawer.markedCount.load() >= 4; }, 20000));
    EXPECT_GT(doc.simulation.stepCount.load(), steps) << "the physics thread steps on while frames are taken";
    const movie::RecordingSummary summary = view.StopLiveMovie();
    EXPECT_FALSE(view.liveMovieRecording());
    ASSERT_TRUE(summary.written) << summary.error;
    EXPECT_EQ(summary.path, scratch.file("live.mp4"));
    EXPECT_EQ(summary.frames, drawer.framesRead.load() - summary.dropped + summary.repeated);
    EXPECT_GT(std::filesystem::file_size(summary.path), 0u);
    EXPECT_EQ(scratch.entries(), 1);
    EXPECT_FALSE(view.StopLiveMovie().written);
}

TEST_F(ViewThreadsTest, DeleteAndInsertZoomByTwoPercentPerFrame)
{
    view.keys().Set(PolledKey::Delete, true);
    const std::size_t start = drawer.record().distances.size();
    ASSERT_TRUE(waitUntil([&] { return drawer.record().distances.size() > start + 20; }));
    view.keys().Set(PolledKey::Delete, false);
    view.keys().Set(PolledKey::Insert, true);
    const std::size_t turn = drawer.record().distances.size();
    ASSERT_TRUE(waitUntil([&] { return drawer.record().distances.size() > turn + 20; }));
    view.keys().Set(PolledKey::Insert, false);
    const std::vector<double> d = drawer.record().distances;
    int growing = 0, shrinking = 0;
    for (std::size_t k = start + 1; k < d.size(); ++k) {
        const double ratio = d[k] / d[k - 1];
        if (std::fabs(ratio - 1.02) < 1e-12) ++growing;
        else if (std::fabs(ratio - 1.0 / 1.02) < 1e-12) ++shrinking;
        else EXPECT_DOUBLE_EQ(ratio, 1.0) << "frame " << k;
    }
    EXPECT_GE(growing, 15);
    EXPECT_GE(shrinking, 15);
    EXPECT_LT(d.back(), 0.0); // still in front of the scene: -d
}

TEST_F(ViewThreadsTest, DigitKeysFocusOnlyOnPiecesOfTheLastStep)
{
    ASSERT_TRUE(view.PauseAllAndWait());
    SurfaceSection* other = &builders::addFloor(doc, "other", 5, 20, {{0, 0, 30}});
    view.ResumeAll();
    for (const bool crossed : {false, true}) {
        for (int digit = 1; digit <= 9; ++digit) {
            ASSERT_TRUE(view.PauseAllAndWait());
            LiveBall& b = doc.simulation.published;
            b.segmentCount = crossed ? 2 : 1;
            b.contactSegments[0].surface = other; // never a piece of a step
            b.contactSegments[1].surface = floor;
            b.contactSegments[1].startU = 0.25;
            b.contactSegments[2].surface = other; // without a crossing, left from an earlier step
            b.contactSegments[2].startU = 0.75;
            doc.focalSurface = nullptr;
            view.keys().Set(KeyStates::Digit(digit), true);
            view.ResumeAll();
            ASSERT_TRUE(framesPass(1));
            ASSERT_TRUE(view.PauseAllAndWait());
            view.keys().ReleaseAll();
            EXPECT_EQ(view.selectedSegment(), digit - 1);
            SurfaceSection* expected = digit == 1 ? floor : digit == 2 && crossed ? other : nullptr;
            EXPECT_EQ(doc.focalSurface, expected) << "key " << digit << (crossed ? " after a crossing" : "");
            if (expected) {
                EXPECT_DOUBLE_EQ(doc.focalU, digit == 1 ? 0.25 : 0.75);
            }
            view.ResumeAll();
        }
    }
}

TEST_F(ViewThreadsTest, PostedOrbitValuesReachTheDocumentThroughTheRenderThread)
{
    view.SetOrbitDistance(12.5);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 12.5);
    ASSERT_TRUE(waitUntil([&] { return drawer.record().distances.back() == -12.5; }));
    const unitquaternion turned(0.5, Vec3{0, 1, 0});
    view.PostRotation(turned);
    ASSERT_TRUE(framesPass(1)); // a frame picked it up
    ASSERT_TRUE(view.PauseAllAndWait()); // read the document while nothing runs
    EXPECT_DOUBLE_EQ(doc.ballController.rotation.w, turned.w);
    view.ResumeAll();
}

// The orbit view (distance, focal point) while nothing else runs.
struct SeenOrbit {
    double distance;
    Vec3 focalPoint;
    bool operator==(const SeenOrbit&) const = default;
};

class FollowEndTest : public ViewThreadsTest {
protected:
    SeenOrbit seen()
    {
        view.PauseRenderAndWait();
        const SeenOrbit orbit{view.OrbitDistance(), doc.focalPoint};
        view.ResumeRender();
        return orbit;
    }
    void setOrbit(double distance, const Vec3& focalPoint)
    {
        view.PauseRenderAndWait();
        doc.cameraDistance = -distance;
        doc.focalPoint = focalPoint;
        view.ResumeRender();
    }
    // Position ball as the menu does it: the follow camera starts close up.
    void positionBall()
    {
        view.KeepOrbitView();
        ASSERT_TRUE(PositionBall(doc).empty());
        ASSERT_TRUE(ReadSetting(doc.cameraFollowsBall));
        ASSERT_DOUBLE_EQ(seen().distance, 1.0);
    }
};

TEST_F(FollowEndTest, StoppingReturnsToTheViewTheFollowBeganFrom)
{
    setOrbit(30.0, {1, 2, 3});
    positionBall();
    view.WithViewLock([&] { FixLaunch(doc); });
    ASSERT_TRUE(RollBall(doc).empty());
    ASSERT_TRUE(waitUntil([&] { return doc.simulation.stepCount.load() > 5; }));
    view.SetOrbitDistance(4.0); // zoomed while following
    view.EndFollowing();
    StopBall(doc);
    EXPECT_FALSE(ReadSetting(doc.cameraFollowsBall));
    EXPECT_EQ(seen(), (SeenOrbit{30.0, {1, 2, 3}}));
    EXPECT_FALSE(view.keepsOrbitView());
    // Frames draw from the restored distance.
    ASSERT_TRUE(framesPass(1));
    EXPECT_DOUBLE_EQ(drawer.record().distances.back(), -30.0);
}

TEST_F(FollowEndTest, PositioningAgainWhileFollowingKeepsTheFirstView)
{
    setOrbit(25.0, {0, 0, 0});
    positionBall();
    positionBall();
    view.EndFollowing();
    EXPECT_DOUBLE_EQ(seen().distance, 25.0);
}

TEST_F(FollowEndTest, WithNoViewKeptAFollowingCameraFitsAllSurfaces)
{
    setOrbit(1.0, {0, 0, 0});
    view.PauseRenderAndWait();
    WriteSetting(doc.cameraFollowsBall, true); // as a document may be saved
    view.ResumeRender();
    view.EndFollowing();
    const SeenOrbit after = seen();
    const BoxRecord& box = floor->boxTree->tight;
    const double side = std::max({box.xMax - box.xMin, box.yMax - box.yMin, box.zMax - box.zMin});
    EXPECT_DOUBLE_EQ(after.distance, 1.5 * side);
    EXPECT_DOUBLE_EQ(after.focalPoint.x, (box.xMin + box.xMax) / 2);
    EXPECT_DOUBLE_EQ(after.focalPoint.z, (box.zMin + box.zMax) / 2);
}

TEST_F(FollowEndTest, AViewKeptOfAnotherDocumentIsForgotten)
{
    setOrbit(500.0, {9, 9, 9});
    positionBall();
    view.ForgetOrbitView();
    view.EndFollowing();
    EXPECT_LT(seen().distance, 500.0);
    EXPECT_NE(seen().focalPoint, (Vec3{9, 9, 9}));
}

TEST_F(FollowEndTest, ACameraThatWasNotFollowingStaysWhereTheUserPutIt)
{
    setOrbit(12.0, {4, 5, 6});
    view.EndFollowing();
    EXPECT_EQ(seen(), (SeenOrbit{12.0, {4, 5, 6}}));
}

TEST_F(ViewThreadsTest, ShutdownWhileThePhysicsThreadIsPausedEndsWellWithinTheBound)
{
    rollBall();
    ASSERT_TRUE(view.PauseAllAndWait());
    view.ResumeRender(); // frames again, physics still paused
    ASSERT_EQ(view.physics().GetPhysicsState(), Paused);
    // Waking the paused thread ends it; a thread left asleep would run into the bound.
    EXPECT_TRUE(view.Teardown(kGenerousWaitMs));
    EXPECT_TRUE(doc.viewGone.load());
    EXPECT_TRUE(drawer.shutDown.load());
    EXPECT_TRUE(host.released.load());
    EXPECT_EQ(doc.simulation.renderHandshake.load(), nullptr);
    // With the threads gone, requests return at once instead of waiting.
    EXPECT_FALSE(view.SaveImage("late.bmp"));
    view.PauseRenderAndWait();
    view.ResumeRender();
}

TEST_F(ViewThreadsTest, TheMouseChoosesPushesTurnsAndZoomsWhileFramesAndStepsRun)
{
    LayoutForceCircle(doc.simulation.windowCircle, 320, 200);
    CBallController controller(0.7);
    MouseInteraction mouse(view, controller);
    mouse.SetWindowSize(320, 200);
    ASSERT_TRUE(PositionBall(doc).empty());
    for (int x = 100; x <= 220; x += 4) mouse.Move(x, 80); // choosing the launch while frames run
    mouse.LeftDown(160, 80, false, false);                 // fixes it
    mouse.LeftUp();
    mouse.LeftDown(160, 80, false, false); // rolls
    mouse.LeftUp();
    ASSERT_TRUE(waitUntil([&] { return doc.simulation.stepCount.load() > 10; }));
    const int frames = drawer.frames.load();
    for (int round = 0; round < 5; ++round) {
        mouse.LeftDown(170, 100, false, false); // inside the circle: a push
        for (int y = 100; y > 40; y -= 5) mouse.Move(170, y);
        mouse.LeftUp();
        mouse.LeftDown(2, 2, round % 2 == 0, false); // outside: the arcball
        for (int x = 2; x < 60; x += 3) mouse.Move(x, 2 + x / 4);
        mouse.LeftUp();
        mouse.RightDown(100, 100);
        for (int y = 100; y < 160; y += 6) mouse.Move(100, y);
        mouse.RightUp();
    }
    ASSERT_TRUE(waitUntil([&] { return drawer.frames.load() > frames + 5; }));
    EXPECT_FALSE(doc.simulation.forceInputActive.load());
    EXPECT_GT(view.OrbitDistance(), 1.0); // zoomed out from the launch distance
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_DOUBLE_EQ(doc.ballController.rotation.w, controller.rotation.w);
    view.ResumeAll();
}

TEST(ViewThreadsNoContext, RequestsAreAnsweredEvenWithoutAContext)
{
    COpenGLTemplateDoc doc;
    doc.OnNewDocument();
    ViewCore view(doc);
    FakeHost host(false);
    FakeDrawer drawer(doc);
    view.Resize(200, 100);
    view.StartThreads(host, drawer);
    EXPECT_FALSE(view.SaveImage("never.bmp"));
    EXPECT_TRUE(view.Print(100, 100, false).empty());
    EXPECT_TRUE(view.PauseAllAndWait());
    view.ResumeAll();
    EXPECT_TRUE(view.Teardown());
    EXPECT_EQ(drawer.frames.load(), 0);
    EXPECT_FALSE(drawer.initialized.load());
}

TEST(ViewThreadsStart, TeardownRightAfterTheStartStillJoinsBothThreads)
{
    for (int k = 0; k < 10; ++k) {
        COpenGLTemplateDoc doc;
        doc.OnNewDocument();
        ViewCore view(doc);
        FakeHost host;
        FakeDrawer drawer(doc);
        view.StartThreads(host, drawer);
        view.PauseRenderAndWait(); // before or after the thread is scheduled
        view.ResumeRender();
        EXPECT_TRUE(view.Teardown(kGenerousWaitMs));
        EXPECT_FALSE(view.renderRunning());
        EXPECT_FALSE(view.physics().LoopRunning());
    }
}

// A frame slower than the wait at shutdown (a big compile, a capture).
class ViewTeardownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.OnNewDocument();
        view.Resize(200, 100);
        drawer.holdFrames = true;
        view.StartThreads(host, drawer);
        ASSERT_TRUE(waitUntil([&] { return drawer.inHeldFrame.load(); }));
    }

    COpenGLTemplateDoc doc;
    FakeHost host;
    FakeDrawer drawer{doc};
    ViewCore view{doc};
};

TEST_F(ViewTeardownTest, AFrameSlowerThanTheWaitIsJoinedBeforeTeardownReturns)
{
    bool late = false;
    view.threadsLate = [&] {
        late = true;
        drawer.holdFrames = false; // the frame ends, later than the wait
    };
    EXPECT_FALSE(view.Teardown(1, 600000));
    EXPECT_TRUE(late);
    // The thread is over: what it used may go now.
    EXPECT_FALSE(view.renderRunning());
    EXPECT_FALSE(view.physics().LoopRunning());
    EXPECT_TRUE(drawer.shutDown.load());
    EXPECT_TRUE(host.released.load());
    EXPECT_TRUE(doc.viewGone.load());
}

using ViewTeardownDeathTest = ViewTeardownTest;

TEST_F(ViewTeardownDeathTest, AThreadThatNeverEndsEndsTheProcessWithoutFreeingWhatItUses)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Returning from Teardown with the frame still held would be the fault.
    EXPECT_EXIT(
        {
            view.Teardown(1, 20);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(ViewCore::kThreadsHungExitCode), "did not end within 21 ms");
    drawer.holdFrames = false;
}

} // namespace
