// A type A slider drag regenerates the edited surface while the render
// thread keeps drawing it: each step holds the surface's lock (the ball is
// parked), so a reader that draws as the render thread does (skip a surface
// being rebuilt, else read its net and sections under its lock) only ever
// sees a whole net. Run under ThreadSanitizer too.

#include "design/ChannelEditing.h"
#include "design/LivePreviewGuard.h"
#include "document/OpenGLTemplateDoc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// What drawing the surface reads, read as DrawSurface does.
class DrawingReader {
public:
    explicit DrawingReader(SurfaceSection& surface) : surface_(surface), thread_([this] { Run(); }) {}
    ~DrawingReader()
    {
        stop_ = true;
        thread_.join();
    }
    int draws() const { return draws_.load(); }
    bool sawBrokenNet() const { return broken_.load(); }
    void WaitForDraws(int count) const
    {
        while (draws_.load() < count) std::this_thread::yield();
    }

private:
    void Run()
    {
        while (!stop_.load()) {
            if (surface_.render.load() != 1) continue;
            LockGuard guard(surface_.geometryLock);
            LockGuard kernel(surface_.document->kernelLock());
            const int rows = surface_.sectionCount, columns = surface_.pointsPerSection;
            // The net is built from the cross sections: both from the same step.
            for (int i = 0; i < rows; ++i)
                for (int j = 0; j < columns; ++j) {
                    const gul::HPoint4f p = surface_.controlNet[i][j];
                    const Vec3 fromSection = surface_.SectionPointToWorld(i, j);
                    if (p.w != 1.0f || length(Vec3{p.x, p.y, p.z} - fromSection) > 1e-3) broken_ = true;
                }
            ++draws_;
        }
    }

    SurfaceSection& surface_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> broken_{false};
    std::atomic<int> draws_{0};
    std::thread thread_;
};

TEST(LivePreviewThreads, ADragRebuildsTheSurfaceWhileItIsDrawn)
{
    COpenGLTemplateDoc doc;
    doc.OnNewDocument();
    SurfaceSection& s = *doc.surfaces[0];
    doc.selectedSurface = &s;
    design::TypeAEditor editor(doc);
    ASSERT_EQ(editor.Open(), "");
    {
        DrawingReader reader(s);
        reader.WaitForDraws(1);
        {
            const design::LivePreviewGuard held(doc, &s);
            editor.SetPerform(design::TypeAGroup::VerticalTurn, true);
        }
        for (int sweep = 0; sweep < 4; ++sweep)
            for (int degrees = 0; degrees <= 360; ++degrees) {
                const design::LivePreviewGuard held(doc, &s);
                ASSERT_FALSE(held.pausedThreads());
                editor.SetAngleDegrees(design::TypeAGroup::VerticalTurn, degrees);
                // Now and then the count too: the net is reallocated.
                if (degrees % 90 == 0) {
                    ASSERT_EQ(editor.SetIntermediateCount(degrees % 180 == 0 ? 20 : 1), "");
                }
            }
        const int before = reader.draws();
        reader.WaitForDraws(before + 1); // drawn after the last step
        EXPECT_FALSE(reader.sawBrokenNet());
    }
    EXPECT_EQ(s.sectionCount, 24);
    EXPECT_EQ(s.verticalTurn.angle, kTwoPi);
    editor.Close();
}

} // namespace
