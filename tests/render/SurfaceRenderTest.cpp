#include "RenderTestSupport.h"

#include "design/Groups.h"
#include "surface/ColorRamp.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

using namespace rendertest;

// A floor rising along x seen from straight above: x runs left to right on
// the screen, so the low end is on the left and the high end on the right.
class TiltedFloor : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        quietDocument(doc);
        lightsFromBelow(doc);
        floor = &tiltedFloor(doc, 0.3);
        floor->showSurfaceLines = 0;
        floor->showSurfaceTriangles = 1;
        lookDownOnto(doc, *floor, 30.0);
    }

    // Colour at a fraction of the way from the left to the right, mid-height.
    Rgb across(const Picture& p, double fraction) const
    {
        return p.at(static_cast<int>(fraction * (p.width - 1)), p.height / 2);
    }
    // The left and right ends of the floor on screen (first and last lit columns).
    std::pair<int, int> extent(const Picture& p) const
    {
        int first = -1, last = -1;
        for (int x = 0; x < p.width; ++x)
            if (!p.at(x, p.height / 2).black()) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }

    COpenGLTemplateDoc doc;
    SurfaceSection* floor = nullptr;
};

TEST_F(TiltedFloor, HeightColouringRunsFromCyanAtTheBottomToRedAtTheTop)
{
    floor->coloring = Coloring::Height;
    const Picture p = frame(doc, 200, 120);
    const auto [left, right] = extent(p);
    ASSERT_GT(right - left, 60) << "the floor fills the middle of the view";
    EXPECT_TRUE(near(p.at(left + 1, p.height / 2), ambientOnly({0, 1, 1}), 10));
    EXPECT_TRUE(near(p.at(right - 1, p.height / 2), ambientOnly({1, 0, 0}), 10));
    // Half way up the floor the ramp is half way along: (0.5, 0.875, 0.125).
    EXPECT_TRUE(near(p.at((left + right) / 2, p.height / 2), ambientOnly(RampColor(0.5)), 12));
}

TEST_F(TiltedFloor, TangentAngleColouringGivesTheTiltsRampColourEverywhere)
{
    floor->coloring = Coloring::TangentAngle;
    const Picture p = frame(doc, 200, 120);
    const auto [left, right] = extent(p);
    ASSERT_GT(right - left, 60);
    const Vec3 expected = RampColor(std::atan(0.3) / kPi);
    for (double f : {0.1, 0.5, 0.9})
        EXPECT_TRUE(near(p.at(left + static_cast<int>(f * (right - left)), p.height / 2), ambientOnly(expected), 6))
            << "at " << f;
}

TEST_F(TiltedFloor, ConstantColouringUsesTheSurfacesColourWhichFacingTheLightsBrightens)
{
    floor->coloring = Coloring::Constant;
    floor->constantColor = {255.0, 128.0, 0.0};
    EXPECT_TRUE(near(across(frame(doc, 200, 120), 0.5), ambientOnly({1.0, 128.0 / 255.0, 0.0}), 4));
    floor->constantColor = {100.0, 100.0, 100.0};
    floor->drawingCache.markStale();
    const Rgb unlit = across(frame(doc, 200, 120), 0.5);
    for (Vec3& light : doc.lightPositions) light = {0.0, 100000.0, 0.0};
    floor->drawingCache.markStale();
    const Rgb lit = across(frame(doc, 200, 120), 0.5);
    EXPECT_GT(lit.r, unlit.r + 20);
    EXPECT_EQ(lit.r, lit.g);
    EXPECT_EQ(lit.g, lit.b);
}

// A floor drawn as white lines with a hole in its middle.
class FloorWithHole : public TiltedFloor {
protected:
    void SetUp() override
    {
        TiltedFloor::SetUp();
        floor = &tiltedFloor(doc, 0.0, 9, 0, 3.0); // 27 long, 24 wide
        floor->showSurfaceTriangles = 0;
        floor->showSurfaceLines = 1;
        floor->coloring = Coloring::Constant;
        floor->constantColor = {255.0, 255.0, 255.0};
        builders::addHole(*floor, "middle", 0.2, 0.8, 0.3, 0.7);
        lookDownOnto(doc, *floor, 30.0);
    }
    // Lit pixels in the middle fifth of the view, well inside the hole.
    int litInMiddle(const Picture& p) const
    {
        return p.litPixels(p.width * 2 / 5, p.height * 2 / 5, p.width * 3 / 5, p.height * 3 / 5);
    }
};

TEST_F(FloorWithHole, MeshLinesAreCutOutOfTheHoleWhichIsOutlinedInTheSurfacesColour)
{
    const Picture p = frame(doc, 200, 200);
    EXPECT_EQ(litInMiddle(p), 0);
    // Around the hole the mesh lines are drawn.
    EXPECT_GT(p.litPixels(0, 0, p.width / 5, p.height), 50);
    // Without "show holes" the lines cross the hole.
    floor->showHoles = 0;
    floor->drawingCache.markStale();
    EXPECT_GT(litInMiddle(frame(doc, 200, 200)), 20);

    floor->showHoles = 1;
    floor->showSurfaceLines = 0;
    floor->drawingCache.markStale();
    const Picture outline = frame(doc, 200, 200);
    EXPECT_EQ(litInMiddle(outline), 0);
    EXPECT_GT(outline.litPixels(), 100);                                 // the width-5 outline
    EXPECT_EQ(outline.litPixels(0, 0, outline.width / 5, outline.height), 0); // and nothing of the mesh
}

// The display lists of a document drawn frame after frame.
class DisplayLists : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        builders::fillChainDocument(doc, 3, 5, 2);
        doc.showBall = false;
        render::FitCameraToSurfaces(doc);
    }
    void frames(int n)
    {
        for (int k = 0; k < n; ++k) frame(doc, 64, 48);
    }
    COpenGLTemplateDoc doc;
};

TEST_F(DisplayLists, AreCompiledOnceEachReportingProgressAndAChangeRebuildsOnlyItsSurfaces)
{
    int steps = 0;
    renderer.meshListCompiled = [&] { ++steps; };
    frames(2);
    EXPECT_EQ(renderer.counters().meshLists, 3);
    doc.surfaces[1]->coloring = Coloring::Height;
    doc.surfaces[1]->drawingCache.markStale();
    frames(4);
    EXPECT_EQ(renderer.counters().meshLists, 4);
    EXPECT_EQ(renderer.counters().siteLists, 4);
    EXPECT_EQ(steps, 4);
}

TEST_F(DisplayLists, AnImageCaptureRebuildsThemInTheCaptureAndOnceMoreAfter)
{
    frames(2);
    const builders::TempFile file("capture");
    const std::string name = file.path() + ".png";
    render::FrameRequest request;
    request.width = 64;
    request.height = 48;
    ASSERT_TRUE(renderer.SaveImageFile(doc, request, 64, 48, name));
    std::remove(name.c_str());
    EXPECT_EQ(renderer.counters().meshLists, 6);
    frames(3);
    EXPECT_EQ(renderer.counters().meshLists, 9);
}

TEST_F(DisplayLists, ThoseOfADeletedSurfaceAreFreedByTheNextFrame)
{
    frames(2);
    const std::vector<GLuint> lists = listsOf(*doc.surfaces[1]);
    ASSERT_GE(lists.size(), 2u); // the mesh and the sites at least
    for (GLuint list : lists) ASSERT_TRUE(glIsList(list));
    design::DeleteSurface(doc, *doc.surfaces[1]);
    ASSERT_EQ(doc.surfaces.size(), 2u);
    // Nothing may touch the context before the render thread's next frame.
    for (GLuint list : lists) EXPECT_TRUE(glIsList(list));
    frames(1);
    for (GLuint list : lists) EXPECT_FALSE(glIsList(list)) << list;
    EXPECT_TRUE(glIsList(static_cast<GLuint>(doc.surfaces[1]->drawingCache.listId[DrawingCache::kMesh])));
}

TEST_F(DisplayLists, ThoseOfAReplacedDocumentAreFreedToo)
{
    frames(1);
    std::vector<GLuint> lists;
    for (const auto& s : doc.surfaces) std::ranges::copy(listsOf(*s), std::back_inserter(lists));
    ASSERT_FALSE(lists.empty());
    doc.OnNewDocument();
    doc.surfaces[0]->render = 0; // no new lists that could take the freed names
    frames(1);
    for (GLuint list : lists) EXPECT_FALSE(glIsList(list)) << list;
}

// The design display of the selected surface and the run display.
class DesignAndRun : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        quietDocument(doc);
        surface = doc.surfaces[0].get();
        surface->showSurfaceLines = 0;
        render::FitCameraToSurfaces(doc);
    }
    static bool whitish(Rgb c) { return c.r > 60 && std::abs(c.r - c.g) < 4 && std::abs(c.g - c.b) < 4; }

    COpenGLTemplateDoc doc;
    SurfaceSection* surface = nullptr;
};

TEST_F(DesignAndRun, TheDesignDisplayShowsDirectionsAndSitesAndOnlyTheSelectedSurfaceHasAWhiteBox)
{
    const Picture p = frame(doc, 160, 120);
    EXPECT_GT(p.count(&Rgb::blue), 20); // the blue direction arrows
    EXPECT_GT(p.count(&Rgb::red), 20);  // the red attachment sites
    surface->showDirections = 0;
    surface->showAttachmentSites = 0;
    const Picture bare = frame(doc, 160, 120);
    EXPECT_EQ(bare.count(&Rgb::blue), 0);
    EXPECT_EQ(bare.count(&Rgb::red), 0);
    EXPECT_EQ(bare.count(whitish), 0);
    doc.selectedSurface = surface;
    EXPECT_GT(frame(doc, 160, 120).count(whitish), 100);
}

TEST_F(DesignAndRun, TheRunDisplayDropsTheDesignOverlaysAndMayShowTheSearch)
{
    doc.selectedSurface = surface;
    doc.simulation.runMode = true;
    const Picture p = frame(doc, 160, 120);
    EXPECT_EQ(p.count(&Rgb::blue), 0);
    EXPECT_EQ(p.count(&Rgb::red), 0);
    EXPECT_EQ(p.count(whitish), 0);
    // "Bounding boxes (all)" draws the deepest levels of the box tree.
    doc.showAllBoundingBoxes = true;
    EXPECT_GT(frame(doc, 160, 120).litPixels(), 100);
    // "Bounding boxes" alone draws only boxes the last search marked: none.
    doc.showAllBoundingBoxes = false;
    doc.showBoundingBoxes = true;
    EXPECT_EQ(frame(doc, 160, 120).litPixels(), 0);
    // "Show intersection mesh" outlines the collision cells in blue.
    surface->showIntersectionMesh = 1;
    EXPECT_GT(frame(doc, 160, 120).count(&Rgb::blue), 100);
}

TEST_F(DesignAndRun, TheEditingPreviewShowsTheNetAndTheEndSectionsInsteadOfTheMesh)
{
    surface->showSurfaceTriangles = 1;
    surface->showDirections = 0;
    surface->showAttachmentSites = 0;
    const int meshPixels = frame(doc, 160, 120).litPixels();
    surface->editingSections = true;
    const Picture p = frame(doc, 160, 120);
    EXPECT_GT(p.count(&Rgb::green), 30); // the first cross section
    EXPECT_GT(p.count(&Rgb::blue), 30);  // the last one and the direction arrows
    EXPECT_LT(p.litPixels(), meshPixels);
}

TEST_F(DesignAndRun, TheCrossSectionPreviewHighlightsTheChosenSectionsOnly)
{
    surface->showDirections = 0;
    surface->editingSections = surface->editingShape = true;
    // The green pixels of a frame: how many, and their centre on the screen.
    const auto green = [&](std::uint32_t chosen) {
        surface->highlightedSections = chosen;
        const Picture p = frame(doc, 160, 120);
        int n = 0;
        double x = 0.0, y = 0.0;
        for (int row = 0; row < p.height; ++row)
            for (int column = 0; column < p.width; ++column) {
                const Rgb c = p.at(column, row);
                if (c.green()) ++n, x += column, y += row;
            }
        return std::tuple{n, n ? x / n : 0.0, n ? y / n : 0.0};
    };
    EXPECT_EQ(std::get<0>(green(0)), 0);
    const auto [early, earlyX, earlyY] = green(1u << 1);
    const auto [late, lateX, lateY] = green(1u << (surface->sectionCount - 2));
    EXPECT_GT(early, 30);
    EXPECT_GT(late, 30);
    EXPECT_GT(std::hypot(lateX - earlyX, lateY - earlyY), 10.0); // each where its section lies
    EXPECT_GT(std::get<0>(green((1u << 1) | (1u << 2))), early);
}

} // namespace
