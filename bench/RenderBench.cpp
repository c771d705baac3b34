// Frames per second of the scene drawn off screen with software rendering
// (Mesa llvmpipe on a headless context), display lists cached: the default
// document and a chain of 20 surfaces, lines and triangles.

#include "document/OpenGLTemplateDoc.h"
#include "render/Camera.h"
#include "render/FrameList.h"
#include "render/HeadlessContext.h"
#include "render/SceneRenderer.h"
#include "support/DocumentBuilders.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

namespace {

void drawFrames(benchmark::State& state, COpenGLTemplateDoc& doc)
{
    HeadlessContext context;
    if (!context.valid()) {
        state.SkipWithError(context.error().c_str());
        return;
    }
    render::SceneRenderer renderer;
    renderer.Initialize();
    render::FitCameraToSurfaces(doc);
    render::FrameRequest request;
    request.width = 800;
    request.height = 600;
    request.simulation = render::CaptureSimulationFrame(doc);
    render::OffscreenTarget target(request.width, request.height);
    renderer.RenderFrame(doc, request); // compiles the lists
    glFinish();
    for (auto _ : state) {
        renderer.RenderFrame(doc, request);
        glFinish(); // the frame is drawn, not only queued
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["lists_compiled"] = static_cast<double>(renderer.counters().meshLists);
    renderer.Shutdown();
}

void BM_RenderDefaultDocument(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    doc.OnNewDocument();
    drawFrames(state, doc);
}
BENCHMARK(BM_RenderDefaultDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderTwentySurfaces(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, 20, 7, 4);
    for (const auto& s : doc.surfaces) s->showSurfaceTriangles = 1;
    drawFrames(state, doc);
}
BENCHMARK(BM_RenderTwentySurfaces)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part of a frame that holds the document lock: recording the 20
// surfaces (lists compiled, direction arrows listed) into the frame's list.
// The recording's drawing, the bulk of the frame, happens after the lock is
// released.
void BM_RecordTwentySurfaces(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, 20, 7, 4);
    for (const auto& s : doc.surfaces) s->showSurfaceTriangles = 1;
    HeadlessContext context;
    if (!context.valid()) {
        state.SkipWithError(context.error().c_str());
        return;
    }
    render::FrameList list;
    list.Create();
    GLUquadric* arrow = gluNewQuadric();
    render::SurfaceDrawTools tools;
    tools.arrow = arrow;
    list.Record(doc, {}, tools); // compiles the lists
    for (auto _ : state) list.Record(doc, {}, tools);
    gluDeleteQuadric(arrow);
    list.Release();
}
BENCHMARK(BM_RecordTwentySurfaces)->Unit(benchmark::kMicrosecond);

} // namespace
