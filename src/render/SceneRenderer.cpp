#include "render/SceneRenderer.h"

#include "document/OpenGLTemplateDoc.h"
#include "render/Camera.h"
#include "render/GlState.h"
#include "render/ForceCircle.h"
#include "render/Overlays.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

namespace render {

namespace {

constexpr int kTexturePoolSize = 500;

// Colour masks of the two anaglyph passes for the document's anaglyphColors.
struct ColourMask {
    bool red, green, blue;
};
ColourMask firstPassMask(int colours)
{
    switch (colours) {
    case 1: case 2: case 3: return {true, false, false};
    case 4: return {false, false, true};
    case 5: return {false, true, false};
    default: return {false, true, true};
    }
}
ColourMask secondPassMask(int colours)
{
    switch (colours) {
    case 1: return {false, false, true};
    case 2: return {false, true, false};
    case 3: return {false, true, true};
    default: return {true, false, false};
    }
}
void setMask(ColourMask m) { glColorMask(m.red, m.green, m.blue, GL_TRUE); }

// Whether the circle is laid out for a view of this size: the panel or a dock
// shown beside the view narrows it, and the circle must stay centred in it.
bool laidOutFor(const ForceCircle& circle, int width, int height)
{
    return circle.laidOut.load() && circle.centreX.load() == width / 2 && circle.centreY.load() == height / 2 &&
           circle.size.load() == std::min(width, height);
}

} // namespace

void SceneRenderer::Initialize(const OutlineFontProvider* font, const std::string& ballTexture)
{
    if (initialized()) Shutdown();
    for (GLUquadric*& q : quadrics_) {
        q = gluNewQuadric();
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
        gluQuadricOrientation(q, GLU_OUTSIDE);
    }
    ballTexturePath_ = ballTexture;
    texturePool_.assign(kTexturePoolSize, 0);
    textureInUse_.assign(kTexturePoolSize, 0);
    glGenTextures(kTexturePoolSize, texturePool_.data());
    LoadTexture(ballTexturePath_, texturePool_[0]);
    textureInUse_[0] = 1;
    texturesInUse_ = 1;
    documentBallTexture_ = -1;
    if (font) font_.Build(*font);
    frameList_.Create();
}

void SceneRenderer::Shutdown()
{
    if (!initialized()) return;
    frameList_.Release();
    font_.Release();
    glDeleteTextures(static_cast<GLsizei>(texturePool_.size()), texturePool_.data());
    texturePool_.clear();
    textureInUse_.clear();
    texturesInUse_ = 0;
    for (GLUquadric*& q : quadrics_) {
        gluDeleteQuadric(q);
        q = nullptr;
    }
}

unsigned SceneRenderer::ballTexture() const
{
    if (documentBallTexture_ >= 0) return static_cast<unsigned>(documentBallTexture_);
    return texturePool_.empty() ? 0u : texturePool_[0];
}

void SceneRenderer::MarkAllStale(COpenGLTemplateDoc& document)
{
    LockGuard guard(document.documentLock);
    for (const auto& surface : document.surfaces) surface->drawingCache.markStale();
}

void SceneRenderer::DeleteRetiredLists(COpenGLTemplateDoc& document)
{
    for (const std::int32_t list : document.retiredDisplayLists.Take()) glDeleteLists(static_cast<GLuint>(list), 1);
}

void SceneRenderer::RenderFrame(COpenGLTemplateDoc& document, const FrameRequest& request)
{
    SavedGlState saved;
    SetFixedState();
    SetFrameProjection(request.width, request.height, request.fieldOfView);
    ComposeFrame(document, request, RenderMode::Screen, request.width, request.height);
    glFlush();
}

std::vector<std::uint8_t> SceneRenderer::RenderOffscreen(COpenGLTemplateDoc& document, const FrameRequest& request,
                                                         int width, int height, RenderMode mode)
{
    OffscreenTarget target(width, height);
    if (!target.complete()) return {};
    {
        SavedGlState saved;
        // Print clears to (255, 255, 255), white once clamped.
        SetFixedState(mode == RenderMode::Print ? ClearColor{255.0f, 255.0f, 255.0f, 0.0f} : ClearColor{});
        SetFrameProjection(width, height, request.fieldOfView);
        ComposeFrame(document, request, mode, width, height);
        glFinish();
    }
    return target.ReadBgra();
}

bool SceneRenderer::SaveImageFile(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                                  const std::string& fileName, std::string& error)
{
    const std::vector<std::uint8_t> pixels = RenderOffscreen(document, request, width, height, RenderMode::Image);
    // The capture compiled its own lists; the view's frames compile theirs again.
    MarkAllStale(document);
    return WriteImageFile(fileName, width, height, pixels, error);
}

bool SceneRenderer::SaveImageFile(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                                  const std::string& fileName)
{
    std::string error;
    return SaveImageFile(document, request, width, height, fileName, error);
}

FrameSize SceneRenderer::SaveMovieFrame(COpenGLTemplateDoc& document, const FrameRequest& request, int frame)
{
    const FrameSize size = MovieFrameSize(document.imageWidth, request.width, request.height);
    SaveImageFile(document, request, size.width, size.height, MovieFrameName(frame));
    return size;
}

void SceneRenderer::ComposeFrame(COpenGLTemplateDoc& document, const FrameRequest& request, RenderMode mode,
                                 int width, int height)
{
    DeleteRetiredLists(document);
    GLuint captureTexture = 0;
    if (mode == RenderMode::Image) {
        // A capture stands for a context of its own: lists and texture anew.
        MarkAllStale(document);
        glGenTextures(1, &captureTexture);
        LoadTexture(ballTexturePath_, captureTexture);
        documentBallTexture_ = captureTexture;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!document.anaglyphStereo) {
        DrawPass(document, request, width, height, StereoEye::Mono);
        // The arcball's feedback drawing has no switch that can be turned on.
        if (document.navigation) DrawCircle(document, request, mode, width, height);
    } else {
        glDisable(GL_BLEND);
        setMask(firstPassMask(document.anaglyphColors));
        DrawPass(document, request, width, height, StereoEye::Left);
        glFlush();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        setMask(secondPassMask(document.anaglyphColors));
        DrawPass(document, request, width, height, StereoEye::Right);
        glFlush();
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    if (mode == RenderMode::Image) {
        glDeleteTextures(1, &captureTexture);
        documentBallTexture_ = -1;
    }
}

void SceneRenderer::DrawPass(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                             StereoEye eye)
{
    const SimulationFrame& sim = request.simulation;
    const CameraPlacement* follow = ReadSetting(document.cameraFollowsBall) && sim.activeCamera ? &*sim.activeCamera : nullptr;
    PlaceCamera(document, follow, request.fieldOfView, width, height, eye);
    SetLightPositions(document.lightPositions);
    DrawScene(document, request, follow != nullptr);
}

void SceneRenderer::DrawScene(COpenGLTemplateDoc& document, const FrameRequest& request, bool following)
{
    if (!following) glTranslated(-document.focalPoint.x, -document.focalPoint.y, -document.focalPoint.z);
    SurfaceDrawOptions options;
    options.runMode = request.simulation.runMode;
    options.showImpactIntersections = ReadSetting(document.showImpactIntersections);
    options.showBoundingBoxes = ReadSetting(document.showBoundingBoxes);
    options.showAllBoundingBoxes = ReadSetting(document.showAllBoundingBoxes);
    SurfaceDrawTools tools;
    tools.arrow = quadrics_[1];
    tools.font = &font_;
    tools.counters = &counters_;
    tools.meshListCompiled = &meshListCompiled;
    frameList_.Record(document, options, tools);
    frameList_.Draw();
    OverlayTools overlay;
    overlay.sphere = quadrics_[0];
    overlay.arrow = quadrics_[2];
    overlay.ballTexture = ballTexture();
    DrawOverlays(overlay, document, request.simulation, document.focalDerivatives);
}

void SceneRenderer::DrawCircle(COpenGLTemplateDoc& document, const FrameRequest& request, RenderMode mode,
                               int width, int height)
{
    SimulationState& sim = document.simulation;
    if (mode == RenderMode::Image && sim.movieRecording.load()) {
        LayoutForceCircle(sim.movieCircle, width, height);
        DrawForceCircle(sim.movieCircle, width, height);
        return;
    }
    if (!laidOutFor(sim.windowCircle, request.width, request.height))
        LayoutForceCircle(sim.windowCircle, request.width, request.height);
    DrawForceCircle(sim.windowCircle, width, height);
}

} // namespace render
