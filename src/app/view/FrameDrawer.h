#pragma once

// What the render thread needs of the world outside its loop: a context to
// draw with (the window's, or a headless one in tests) and the drawing of the
// scene into it. Every call comes from the render thread.

#include "render/SceneRenderer.h"

#include <cstdint>
#include <string>
#include <vector>

// The OpenGL context of the render thread and the surface it presents to.
class RenderContextHost {
public:
    virtual ~RenderContextHost() = default;
    // Creates the context the first time and makes it current on the
    // calling thread; false when no context could be had.
    virtual bool MakeCurrent() = 0;
    // Shows the frame just drawn.
    virtual void SwapBuffers() = 0;
    // Makes no context current and deletes the context.
    virtual void Release() = 0;
    // After MakeCurrent failed: what failed, in words for the user.
    virtual std::string FailureReason() const { return "no OpenGL context could be made"; }
};

// A picture drawn off screen: bottom-up B, G, R, A rows.
struct OffscreenPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgra;
    bool empty() const { return bgra.empty(); }
};

// The scene as the render thread draws it.
class FrameDrawer {
public:
    virtual ~FrameDrawer() = default;
    // With the context current: the quadrics, textures and font.
    virtual void Initialize() = 0;
    // Frees what Initialize made (context current).
    virtual void Shutdown() = 0;
    virtual void DrawFrame(const render::FrameRequest& request) = 0;
    // Writes the picture at width x height to the file; false when nothing was written.
    virtual bool SaveImage(const render::FrameRequest& request, int width, int height, const std::string& fileName) = 0;
    // The print picture, drawn on white; empty when it could not be drawn.
    virtual OffscreenPicture RenderPrint(const render::FrameRequest& request, int width, int height) = 0;
    // Movie frame n: "movie/image%03d.bmp" at the document's image width.
    virtual render::FrameSize SaveMovieFrame(const render::FrameRequest& request, int frame) = 0;
    // The bottom-left width x height pixels of the frame just drawn, before
    // it is shown, as bottom-up B, G, R, A rows.
    virtual void ReadFrame(int width, int height, std::vector<std::uint8_t>& bgra) = 0;
    // The recording mark over the frame just drawn, in a view of width x height.
    virtual void DrawRecordingMark(std::int64_t frames, int width, int height) = 0;
};

// The real drawing: the document's scene through marlwick_render.
class SceneFrameDrawer : public FrameDrawer {
public:
    // font may be none (surface names are then not drawn).
    SceneFrameDrawer(COpenGLTemplateDoc& document, const render::OutlineFontProvider* font);

    void Initialize() override;
    void Shutdown() override;
    void DrawFrame(const render::FrameRequest& request) override;
    bool SaveImage(const render::FrameRequest& request, int width, int height, const std::string& fileName) override;
    OffscreenPicture RenderPrint(const render::FrameRequest& request, int width, int height) override;
    render::FrameSize SaveMovieFrame(const render::FrameRequest& request, int frame) override;
    void ReadFrame(int width, int height, std::vector<std::uint8_t>& bgra) override;
    void DrawRecordingMark(std::int64_t frames, int width, int height) override;

    // Display lists compiled so far (render thread, or after it has ended).
    const render::CompileCounters& counters() const { return renderer_.counters(); }
    render::SceneRenderer& renderer() { return renderer_; }

private:
    COpenGLTemplateDoc& document_;
    const render::OutlineFontProvider* font_;
    render::SceneRenderer renderer_;
};
