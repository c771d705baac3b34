#pragma once

// The Qt side of the render thread: the window's OpenGL context, created on
// the render thread and used only there, and the glyph outlines of the font
// that surface names are drawn with.

#include "render/OutlineFont.h"
#include "view/FrameDrawer.h"

#include <QSurfaceFormat>

#include <array>
#include <memory>
#include <string>

class QOpenGLContext;
class QWindow;

class QtRenderHost : public RenderContextHost {
public:
    explicit QtRenderHost(QWindow& window);
    ~QtRenderHost() override;

    // The format of the view: RGBA, 16 depth bits, double-buffered with a
    // swap interval of 1, no alpha or stencil; a compatibility context for
    // the fixed pipeline.
    static QSurfaceFormat ViewFormat();

    bool MakeCurrent() override;
    void SwapBuffers() override;
    void Release() override;
    std::string FailureReason() const override { return failure_; }

private:
    QWindow& window_;
    QOpenGLContext* context_ = nullptr; // lives on the render thread
    std::string failure_;               // render thread, after a failed MakeCurrent
};

// Outlines of the characters 0 to 254 of a bold sans-serif face, taken from
// Qt's font engine once on the user-interface thread; the render thread
// only reads the copies.
class QtGlyphOutlines : public render::OutlineFontProvider {
public:
    QtGlyphOutlines();
    bool Glyph(unsigned char code, render::GlyphOutline& outline) const override;

private:
    std::array<render::GlyphOutline, 255> glyphs_;
    std::array<bool, 255> present_{};
};
