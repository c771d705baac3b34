// The surfaces of a frame recorded under the document lock and drawn after
// it is released.
#include "RenderTestSupport.h"

#include "design/Groups.h"
#include "render/Camera.h"
#include "render/FrameList.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <functional>
#include <latch>
#include <thread>
#include <vector>

namespace {

using namespace rendertest;

class FrameListTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        builders::fillChainDocument(doc, 3, 5, 2);
        render::FitCameraToSurfaces(doc);
        list.Create();
        arrow = gluNewQuadric();
        tools.arrow = arrow;
        tools.counters = &counters;
    }
    void TearDown() override
    {
        gluDeleteQuadric(arrow);
        list.Release();
        RenderTest::TearDown();
    }

    // A recording drawn alone, through the orbit camera, into a fresh target.
    Picture drawn() { return drawn(list); }
    Picture drawn(const render::FrameList& recording)
    {
        render::OffscreenTarget target(kWidth, kHeight);
        render::SavedGlState saved;
        render::SetFixedState();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        render::PlaceCamera(doc, nullptr, 45.0, kWidth, kHeight, render::StereoEye::Mono);
        glTranslated(-doc.focalPoint.x, -doc.focalPoint.y, -doc.focalPoint.z);
        recording.Draw();
        glFinish();
        return {kWidth, kHeight, target.ReadBgra()};
    }

    static constexpr int kWidth = 96, kHeight = 72;
    COpenGLTemplateDoc doc;
    render::FrameList list;
    GLUquadric* arrow = nullptr;
    render::CompileCounters counters;
    render::SurfaceDrawTools tools;
};

TEST_F(FrameListTest, NothingIsDrawnBeforeTheFirstRecordingNorForHiddenSurfacesAndOnlyStaleListsAreCompiled)
{
    EXPECT_EQ(drawn().litPixels(), 0);
    for (const auto& s : doc.surfaces) s->render = 0;
    list.Record(doc, {}, tools);
    EXPECT_EQ(drawn().litPixels(), 0);
    EXPECT_EQ(counters.meshLists, 0);

    for (const auto& s : doc.surfaces) s->render = 1;
    list.Record(doc, {}, tools);
    list.Record(doc, {}, tools);
    EXPECT_EQ(counters.meshLists, 3);
    EXPECT_EQ(counters.siteLists, 3);
    EXPECT_GT(drawn().litPixels(), 200);
}

// (The next frame frees its lists: the display list tests.)
TEST_F(FrameListTest, ASurfaceDestroyedAfterTheRecordingIsStillDrawnByIt)
{
    for (std::size_t k = 1; k < doc.surfaces.size(); ++k) doc.surfaces[k]->render = 0;
    list.Record(doc, {}, tools);
    const Picture before = drawn();
    ASSERT_GT(before.litPixels(), 200);
    design::DeleteSurface(doc, *doc.surfaces[0]); // as the user-interface thread would, meanwhile
    EXPECT_EQ(drawn().bgra, before.bgra);
}

TEST_F(FrameListTest, DirectionArrowsFollowASurfacesEndsAndMatchThoseDrawnAfresh)
{
    for (const auto& s : doc.surfaces) {
        s->showSurfaceLines = 0;
        s->showAttachmentSites = 0;
    }
    SurfaceSection& s = *doc.surfaces[1];
    list.Record(doc, {}, tools);
    const Picture before = drawn();
    ASSERT_GT(before.litPixels(), 20);

    // Moved without marking anything stale: the arrows' own values tell.
    s.initialDirection = -s.initialDirection;
    s.finalPosition = s.finalPosition + Vec3{0.0, 2.0, 0.0};
    list.Record(doc, {}, tools);
    const Picture moved = drawn();
    EXPECT_NE(moved.bgra, before.bgra);

    render::FrameList fresh;
    fresh.Create();
    fresh.Record(doc, {}, tools);
    EXPECT_EQ(drawn(fresh).bgra, moved.bgra);
    fresh.Release();
}

TEST_F(FrameListTest, RecordingHoldsTheDocumentLockAndDrawingDoesNot)
{
    bool heldWhileCompiling = false;
    const std::function<void()> probe = [&] {
        std::thread other([&] {
            heldWhileCompiling = !doc.documentLock.tryLock();
            if (!heldWhileCompiling) doc.documentLock.unlock();
        });
        other.join();
    };
    tools.meshListCompiled = &probe;
    list.Record(doc, {}, tools);
    EXPECT_TRUE(heldWhileCompiling);

    // Another thread holds the lock until the drawing is done: a drawing that
    // waited for it would never finish.
    std::latch locked(1), done(1);
    std::thread holder([&] {
        LockGuard guard(doc.documentLock);
        locked.count_down();
        done.wait();
    });
    locked.wait();
    EXPECT_GT(drawn().litPixels(), 200);
    done.count_down();
    holder.join();
}

} // namespace
