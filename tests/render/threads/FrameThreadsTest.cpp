// Frames drawn by the scene renderer on a render thread of its own while the
// physics thread steps the ball: the frame takes the document lock only to
// record its surfaces and draws the recording after releasing it. Run under
// ThreadSanitizer too.

#include "document/OpenGLTemplateDoc.h"
#include "render/Camera.h"
#include "render/Capture.h"
#include "render/HeadlessContext.h"
#include "render/SceneRenderer.h"
#include "simulation/PhysicsLoop.h"
#include "simulation/Simulation.h"
#include "support/SimulationBuilders.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

// Mesa's software rasteriser synchronises its worker threads in ways
// ThreadSanitizer cannot see (the driver is not instrumented): what it
// reports inside the driver is not ours.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

// Draws frames of the document back to back on its own thread and context.
class RenderThread {
public:
    explicit RenderThread(COpenGLTemplateDoc& doc) : doc_(doc), thread_([this] { Run(); }) {}
    ~RenderThread()
    {
        stop_ = true;
        thread_.join();
    }
    int frames() const { return frames_.load(); }
    bool failed() const { return failed_.load(); }
    void WaitForFrames(int count) const
    {
        while (frames_.load() < count && !failed_.load()) std::this_thread::yield();
    }

private:
    void Run()
    {
        HeadlessContext context;
        if (!context.valid()) {
            failed_ = true;
            return;
        }
        render::SceneRenderer renderer;
        renderer.Initialize();
        {
            render::OffscreenTarget target(160, 120);
            render::FrameRequest request;
            request.width = 160;
            request.height = 120;
            while (!stop_.load()) {
                request.simulation = render::CaptureSimulationFrame(doc_);
                renderer.RenderFrame(doc_, request);
                glFinish();
                ++frames_;
            }
        }
        renderer.Shutdown();
    }

    COpenGLTemplateDoc& doc_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::atomic<int> frames_{0};
    std::thread thread_;
};

TEST(FrameThreads, FramesAreDrawnWhileTheBallRollsAndFlies)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    SurfaceSection& floor = builders::addFloor(doc, "floor", 5, 4, {{0, 0, 0}, 0.3});
    builders::setLaunch(doc, floor, 0.5, 0.05, 6.0);
    render::FitCameraToSurfaces(doc);
    PhysicsLoopControl control;
    std::thread physics = StartPhysicsThread(doc, control);
    ASSERT_TRUE(PositionBall(doc).empty());
    FixLaunch(doc);
    ASSERT_TRUE(RollBall(doc).empty());
    {
        RenderThread render(doc);
        render.WaitForFrames(10);
        ASSERT_FALSE(render.failed());
        // The loop goes on beside the frames, and the frames beside the loop.
        const int frames = render.frames();
        const auto steps = doc.simulation.stepCount.load();
        while (doc.simulation.stepCount.load() < steps + 20) std::this_thread::yield();
        render.WaitForFrames(frames + 10);
        EXPECT_FALSE(render.failed());
    }
    control.threadsStop = true;
    physics.join();
    EXPECT_GT(doc.simulation.ball.contactPoint.x, floor.EvaluatePoint(0.5, 0.05).x);
}

} // namespace
