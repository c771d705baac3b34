// The render loop with the real scene drawing on a headless context: display
// lists are compiled once per change, captures write their files, and the
// frame rate of a plain and of a 20-surface document.

#include "view/ViewCore.h"

#include "render/Camera.h"
#include "render/Capture.h"
#include "render/HeadlessContext.h"
#include "support/SimulationBuilders.h"
#include "support/VecExpect.h"
#include "view/LaunchControl.h"
#include "view/ViewFakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

// A surfaceless context whose default framebuffer is a framebuffer object.
class HeadlessHost : public RenderContextHost {
public:
    HeadlessHost(int width, int height) : width_(width), height_(height) {}
    bool MakeCurrent() override
    {
        context_ = std::make_unique<HeadlessContext>();
        if (!context_->valid()) return false;
        target_ = std::make_unique<render::OffscreenTarget>(width_, height_);
        return target_->complete();
    }
    void SwapBuffers() override {}
    void Release() override
    {
        target_.reset();
        context_.reset();
    }

private:
    int width_, height_;
    std::unique_ptr<HeadlessContext> context_;
    std::unique_ptr<render::OffscreenTarget> target_;
};

class RenderLoopGlTest : public ::testing::Test {
protected:
    void start(int width = 640, int height = 480)
    {
        host = std::make_unique<HeadlessHost>(width, height);
        view.Resize(width, height);
        view.StartThreads(*host, drawer);
        ASSERT_TRUE(waitUntil([&] { return view.framesRendered() >= 3; }, 20000)) << "no frames: no context?";
    }
    void TearDown() override { EXPECT_TRUE(view.Teardown()); }

    // Frames per second over about a second of drawing.
    double measureFps()
    {
        const auto frames = view.framesRendered();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return (view.framesRendered() - frames) / seconds;
    }

    COpenGLTemplateDoc doc;
    ViewCore view{doc};
    std::unique_ptr<HeadlessHost> host;
    SceneFrameDrawer drawer{doc, nullptr};
};

TEST_F(RenderLoopGlTest, DisplayListsAreCompiledOncePerChangeNotPerFrame)
{
    doc.OnNewDocument();
    start();
    ASSERT_TRUE(waitUntil([&] { return view.framesRendered() >= 20; }, 20000));
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_EQ(drawer.counters().meshLists, 1); // one surface, one list, twenty frames
    doc.surfaces[0]->coloring = Coloring::Height;
    doc.surfaces[0]->drawingCache.markStale();
    const auto frames = view.framesRendered();
    view.ResumeAll();
    ASSERT_TRUE(waitUntil([&] { return view.framesRendered() >= frames + 20; }, 20000));
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_EQ(drawer.counters().meshLists, 2);
    view.ResumeAll();
}

TEST_F(RenderLoopGlTest, SavedImagesAreWrittenByTheRenderThreadInAContextOfTheirOwn)
{
    doc.OnNewDocument();
    start(400, 300);
    ASSERT_TRUE(view.PauseAllAndWait());
    const auto before = drawer.counters().meshLists;
    view.ResumeAll();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "marlwick-view-gl";
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "view.png").string();
    std::filesystem::remove(png);
    ASSERT_TRUE(view.SaveImage(png));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
    EXPECT_FALSE(view.SaveImage((dir / "view.unknownformat").string())); // nothing written, no message
    // Each capture compiles the list for itself, and the window's frames
    // compile theirs once more; after that, frames compile nothing.
    const auto frames = view.framesRendered();
    ASSERT_TRUE(waitUntil([&] { return view.framesRendered() > frames + 5; }));
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_EQ(drawer.counters().meshLists, before + 4);
    view.ResumeAll();
    ASSERT_TRUE(waitUntil([&] { return view.framesRendered() > frames + 20; }));
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_EQ(drawer.counters().meshLists, before + 4);
    view.ResumeAll();
}

TEST_F(RenderLoopGlTest, AResizedViewLaysTheForceCircleOutAgainAndALaunchKeepsItsDirection)
{
    doc.OnNewDocument();
    doc.navigation = true;
    start(640, 480);
    // The pointer an eighth of the width right of the centre, a tenth of the height above it.
    const auto launchDirection = [&](int width, int height) {
        const auto frames = view.framesRendered();
        EXPECT_TRUE(waitUntil([&] { return view.framesRendered() > frames + 1; }));
        EXPECT_TRUE(view.PauseAllAndWait());
        EXPECT_EQ(doc.simulation.windowCircle.centreX.load(), width / 2);
        EXPECT_EQ(doc.simulation.windowCircle.centreY.load(), height / 2);
        MapLaunchVelocity(doc, width / 2 + width / 8, height / 2 - height / 10, 1.0);
        view.ResumeAll();
        return doc.launchDirection;
    };
    const Vec3 before = launchDirection(640, 480);
    view.Resize(400, 300); // the panel shown beside the view
    expectVecNear(launchDirection(400, 300), before, 1e-9);
}

// The frame rates are recorded as figures only (BM_RenderTwentySurfaces in
// bench/ measures them); what is asserted is that frames replay the lists.
TEST_F(RenderLoopGlTest, FrameRatesOfAPlainAndOfATwentySurfaceDocument)
{
    doc.OnNewDocument();
    start(800, 600);
    const double plain = measureFps();
    ASSERT_TRUE(view.PauseAllAndWait());
    doc.DeleteContents();
    builders::emptyDocument(doc);
    for (int k = 0; k < 20; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "s%d", k);
        SurfaceSection& s = builders::addFloor(doc, name, 7, 6, {{0.0, k * 1.5, k * 6.0}, 0.05 * k});
        s.showSurfaceTriangles = 1;
        s.coloring = static_cast<Coloring>(k % 4);
    }
    render::FitCameraToSurfaces(doc);
    view.ResumeAll();
    ASSERT_TRUE(waitUntil([&] { return view.framesRendered() > 5; }));
    const double twenty = measureFps();
    RecordProperty("fps_default_document", std::to_string(plain));
    RecordProperty("fps_twenty_surfaces", std::to_string(twenty));
    std::printf("render frames per second, 800 x 600 headless: default document %.1f, 20 surfaces %.1f\n", plain,
                twenty);
    EXPECT_GT(view.framesRendered(), 5);
    ASSERT_TRUE(view.PauseAllAndWait());
    EXPECT_EQ(drawer.counters().meshLists, 21); // each list once, however many frames
    view.ResumeAll();
}

} // namespace
