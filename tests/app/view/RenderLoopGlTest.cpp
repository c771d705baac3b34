// The render loop with the real scene drawing on a headless context: display
// lists are compiled once per change (also for 20 surfaces), captures write
// their files, and a resized view lays the force circle out again.

#include "view/ViewCore.h"

#include "render/Camera.h"
#include "render/Capture.h"
#include "render/HeadlessContext.h"
#include "support/DocumentBuilders.h"
#include "support/VecExpect.h"
#include "view/LaunchControl.h"
#include "view/ViewFakes.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    // Display lists compiled so far, read between frames once `more` frames more are drawn.
    std::int64_t listsAfterFrames(int more)
    {
        const auto frames = view.framesRendered();
        EXPECT_TRUE(waitUntil([&] { return view.framesRendered() >= frames + more; }, 20000));
        EXPECT_TRUE(view.PauseAllAndWait());
        const std::int64_t lists = drawer.counters().meshLists;
        view.ResumeAll();
        return lists;
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
    EXPECT_EQ(listsAfterFrames(20), 1); // one surface, one list
    ASSERT_TRUE(view.PauseAllAndWait());
    doc.surfaces[0]->coloring = Coloring::Height;
    doc.surfaces[0]->drawingCache.markStale();
    view.ResumeAll();
    EXPECT_EQ(listsAfterFrames(20), 2);
    ASSERT_TRUE(view.PauseAllAndWait());
    builders::fillChainDocument(doc, 20, 7, 4);
    for (std::size_t k = 0; k < doc.surfaces.size(); ++k) {
        doc.surfaces[k]->showSurfaceTriangles = 1;
        doc.surfaces[k]->coloring = static_cast<Coloring>(k % 4);
    }
    render::FitCameraToSurfaces(doc);
    view.ResumeAll();
    EXPECT_EQ(listsAfterFrames(20), 22); // each new surface's list once
}

TEST_F(RenderLoopGlTest, SavedImagesAreWrittenByTheRenderThreadInAContextOfTheirOwn)
{
    doc.OnNewDocument();
    start(400, 300);
    const std::int64_t before = listsAfterFrames(0);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "marlwick-view-gl";
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "view.png").string();
    std::filesystem::remove(png);
    ASSERT_TRUE(view.SaveImage(png));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
    EXPECT_FALSE(view.SaveImage((dir / "view.unknownformat").string())); // nothing written, no message
    // Each capture compiles the list for itself, and the window's frames
    // compile theirs once more; after that, frames compile nothing.
    EXPECT_EQ(listsAfterFrames(6), before + 4);
    EXPECT_EQ(listsAfterFrames(15), before + 4);
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

} // namespace
