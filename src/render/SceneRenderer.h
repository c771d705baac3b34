#pragma once

#include "render/Camera.h"
#include "render/Capture.h"
#include "render/FrameList.h"
#include "render/OutlineFont.h"
#include "render/SimulationFrame.h"
#include "render/SurfaceDrawing.h"
#include "render/Texture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class COpenGLTemplateDoc;
struct GLUquadric;

// The scene renderer of the view's render thread: the resources a context
// needs (quadrics, texture pool with the ball texture, outline font) and the
// frame: camera, lights, surfaces in list order, the ball and the overlays,
// the force circle; mono or anaglyph. It draws into whatever framebuffer is
// bound on the current context and gives back every piece of GL state it
// changed. All calls on the thread that owns the context.
namespace render {

enum class RenderMode { Screen = 0, Print = 1, Image = 2 };

// What one frame needs besides the document.
struct FrameRequest {
    int width = 0, height = 0;  // the view's client size in pixels
    double fieldOfView = 45.0;  // degrees
    // Copies of the simulation's state, taken under its locks.
    SimulationFrame simulation;
    // The force circle is laid out in the document: the window's when it is
    // first drawn and again whenever the view's size has changed, the movie's
    // on every movie frame.
};

class SceneRenderer {
public:
    SceneRenderer() = default;
    ~SceneRenderer() = default; // GL resources go in Shutdown, with the context current
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // With the context current: the three quadrics, 500 texture names with
    // the ball texture loaded into the first, the frame's list of surfaces,
    // and the font lists when a glyph provider is given (without one, surface
    // names are not drawn).
    void Initialize(const OutlineFontProvider* font = nullptr, const std::string& ballTexture = FindBallTexture());
    // Frees what Initialize made (context current). Surfaces' display lists
    // belong to the context and go with it.
    void Shutdown();
    bool initialized() const { return quadrics_[0] != nullptr; }

    // One frame of the view into the bound framebuffer: projection for the
    // client size, the scene, flush. The caller swaps buffers.
    void RenderFrame(COpenGLTemplateDoc& document, const FrameRequest& request);

    // Renders a width x height picture off screen (its own framebuffer object)
    // and returns it as bottom-up BGRA pixels; empty when the framebuffer could
    // not be made. Mode Image reloads the ball texture and rebuilds every
    // display list; Print clears to white.
    std::vector<std::uint8_t> RenderOffscreen(COpenGLTemplateDoc& document, const FrameRequest& request, int width,
                                              int height, RenderMode mode);

    // SaveImageFile: the picture off screen at width x height written by the
    // file name's extension (BMP, PNG 32-bit, JPEG 24-bit; an unknown
    // extension writes nothing) through WriteImageFile; every display list is
    // stale afterwards. Returns whether a file was written; if not, error
    // names the file and the reason.
    bool SaveImageFile(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                       const std::string& fileName, std::string& error);
    bool SaveImageFile(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                       const std::string& fileName);

    // SaveMovieFrame: frame n as "movie/image%03d.bmp" at the document's
    // imageWidth and the window's aspect. Returns the size used.
    FrameSize SaveMovieFrame(COpenGLTemplateDoc& document, const FrameRequest& request, int frame);

    // Marks every surface's display lists stale (under the document lock).
    static void MarkAllStale(COpenGLTemplateDoc& document);
    // Deletes the display lists of surfaces destroyed since (context current).
    // Every frame and capture begins with it.
    static void DeleteRetiredLists(COpenGLTemplateDoc& document);

    const CompileCounters& counters() const { return counters_; }
    // Called after each mesh list compiled: the loading progress.
    std::function<void()> meshListCompiled;
    // The texture the ball is drawn with now.
    unsigned ballTexture() const;

private:
    void ComposeFrame(COpenGLTemplateDoc& document, const FrameRequest& request, RenderMode mode, int width,
                      int height);
    void DrawPass(COpenGLTemplateDoc& document, const FrameRequest& request, int width, int height,
                  StereoEye eye);
    void DrawScene(COpenGLTemplateDoc& document, const FrameRequest& request, bool following);
    void DrawCircle(COpenGLTemplateDoc& document, const FrameRequest& request, RenderMode mode, int width,
                    int height);

    GLUquadric* quadrics_[3] = {nullptr, nullptr, nullptr}; // ball sphere, two for arrows
    std::vector<unsigned> texturePool_;
    std::vector<std::uint8_t> textureInUse_;
    int texturesInUse_ = 0;
    std::int64_t documentBallTexture_ = -1; // the capture's own ball texture; -1 for the pool's first
    std::string ballTexturePath_;
    OutlineFont font_;
    FrameList frameList_;
    CompileCounters counters_;
};

} // namespace render
