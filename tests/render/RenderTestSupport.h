#pragma once

// A headless context, a document to draw and the pixels of a frame, shared by
// the rendering tests.

#include "document/OpenGLTemplateDoc.h"
#include "render/Capture.h"
#include "render/GlState.h"
#include "render/HeadlessContext.h"
#include "render/SceneRenderer.h"
#include "support/DocumentBuilders.h"
#include "support/SurfaceBuilders.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace rendertest {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool black() const { return r < 8 && g < 8 && b < 8; }
    // Plainly one primary, as the overlays draw them.
    bool red() const { return r > 40 && g < 10 && b < 10; }
    bool green() const { return g > 40 && r < 10 && b < 10; }
    bool blue() const { return b > 40 && r < 10 && g < 10; }
};

// Pixels read back from an off-screen target; (x, y) with y from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgra; // bottom row first

    Rgb at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
        return {bgra[i + 2], bgra[i + 1], bgra[i]};
    }
    // Pixels in the rectangle [x0, x1) x [y0, y1) that are not black.
    int litPixels(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(x, y).black() ? 0 : 1;
        return n;
    }
    int litPixels() const { return litPixels(0, 0, width, height); }
    // Pixels whose colour `accept` takes (a test of Rgb or a member like &Rgb::red).
    int count(auto accept) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += std::invoke(accept, at(x, y)) ? 1 : 0;
        return n;
    }
};

inline ::testing::AssertionResult near(Rgb actual, Rgb expected, int tolerance)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.r << ", " << actual.g << ", " << actual.b
                                         << "), expected (" << expected.r << ", " << expected.g << ", "
                                         << expected.b << ") within " << tolerance;
}

// What `draw` draws in white, unlit, into a width x height target through an
// orthographic view of x in [left, right], y in [bottom, top], looking down -z
// (z from -depth to depth).
inline Picture drawFlat(int width, int height, double left, double right, double bottom, double top, double depth,
                        const std::function<void()>& draw)
{
    render::OffscreenTarget target(width, height);
    render::SavedGlState saved;
    render::SetFixedState();
    glDisable(GL_LIGHTING);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -depth, depth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3ub(255, 255, 255);
    draw();
    return {width, height, target.ReadBgra()};
}

// A ramp or material colour (0..1) as drawn with only the ambient light:
// the scene ambient 0.2 and the two lights' 0.15 each.
inline Rgb ambientOnly(const Vec3& c)
{
    auto byte = [](double v) { return static_cast<int>(v * 0.5 * 255.0 + 0.5); };
    return {byte(c.x), byte(c.y), byte(c.z)};
}

// A fresh document with one surface "a" and nothing else switched on that
// draws: no ball, no path, no navigation circle, orbit camera.
inline void quietDocument(COpenGLTemplateDoc& doc)
{
    doc.OnNewDocument();
    doc.showBall = false;
    doc.showBallPathPast = false;
    doc.navigation = false;
    doc.cameraFollowsBall = false;
}

// Lights far below the scene: surfaces that face up get no diffuse light, so
// their colour is exactly the ambient share of their material colour.
inline void lightsFromBelow(COpenGLTemplateDoc& doc)
{
    for (Vec3& p : doc.lightPositions) p = {0.0, -100000.0, 0.0};
}

// The orbit camera looking straight down onto the surface's bounding box.
inline void lookDownOnto(COpenGLTemplateDoc& doc, const SurfaceSection& s, double distance)
{
    doc.ballController.rotation = unitquaternion(kPi / 2.0, Vec3{1.0, 0.0, 0.0});
    const BoxRecord& box = s.boxTree->tight;
    doc.focalPoint = {(box.xMin + box.xMax) / 2, (box.yMin + box.yMax) / 2, (box.zMin + box.zMax) / 2};
    doc.cameraDistance = -distance;
}

// Adds a flat floor (points across z, running along x) raised along x by
// `slope` (height per unit of x), without its direction arrows and sites, and
// hides the document's own surface. With
// 5 points and 2 intermediate sections it is 25 long and 4 wide; its width
// grows with the scale, its length with the points and the sections.
inline SurfaceSection& tiltedFloor(COpenGLTemplateDoc& doc, double slope, int points = 5, int intermediate = 2,
                                   double scale = 1.0)
{
    auto floor = builders::makeFlatFloor(&doc, points, intermediate, scale, slope);
    setText(floor->name, "floor");
    floor->showDirections = 0;
    floor->showAttachmentSites = 0;
    for (const auto& other : doc.surfaces) other->render = 0;
    doc.surfaces.push_back(std::move(floor));
    return *doc.surfaces.back();
}

// The display lists a surface holds.
inline std::vector<GLuint> listsOf(const SurfaceSection& s)
{
    std::vector<GLuint> lists;
    for (std::int32_t id : s.drawingCache.listId)
        if (id != -1) lists.push_back(static_cast<GLuint>(id));
    return lists;
}

// A current headless context and a renderer on it for each test.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.valid()) << context.error();
        renderer.Initialize();
    }
    void TearDown() override
    {
        if (context.valid()) renderer.Shutdown();
    }

    // One screen frame of the document drawn into a fresh framebuffer.
    Picture frame(COpenGLTemplateDoc& doc, int width = 160, int height = 120)
    {
        render::FrameRequest request;
        request.width = width;
        request.height = height;
        request.simulation = render::CaptureSimulationFrame(doc);
        return frame(doc, request);
    }
    Picture frame(COpenGLTemplateDoc& doc, const render::FrameRequest& request)
    {
        render::OffscreenTarget target(request.width, request.height);
        EXPECT_TRUE(target.complete());
        renderer.RenderFrame(doc, request);
        return {request.width, request.height, target.ReadBgra()};
    }

    HeadlessContext context;
    render::SceneRenderer renderer;
};

} // namespace rendertest
