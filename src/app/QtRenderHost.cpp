#include "QtRenderHost.h"

#include <QFont>
#include <QGuiApplication>
#include <QFontMetricsF>
#include <QOpenGLContext>
#include <QPainterPath>
#include <QWindow>

namespace {

// Glyphs are taken at this pixel size and scaled to em units.
constexpr double kGlyphPixels = 64.0;

} // namespace

QtRenderHost::QtRenderHost(QWindow& window) : window_(window) {}

QtRenderHost::~QtRenderHost() = default;

QSurfaceFormat QtRenderHost::ViewFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(16);
    format.setStencilBufferSize(0);
    // One frame per display refresh where the driver honours it; the render
    // loop caps the rate itself where it does not.
    format.setSwapInterval(1);
    return format;
}

bool QtRenderHost::MakeCurrent()
{
    if (!context_) {
        context_ = new QOpenGLContext;
        context_->setFormat(window_.requestedFormat());
        if (!context_->create()) {
            Release();
            failure_ = "no OpenGL context could be created on the display (platform \"" +
                       QGuiApplication::platformName().toStdString() +
                       "\"; the view needs OpenGL with its fixed-function pipeline)";
            return false;
        }
    }
    if (context_->makeCurrent(&window_)) return true;
    failure_ = "the OpenGL context could not be made current on the view's window";
    return false;
}

void QtRenderHost::SwapBuffers()
{
    if (context_) context_->swapBuffers(&window_);
}

void QtRenderHost::Release()
{
    if (!context_) return;
    context_->doneCurrent();
    delete context_;
    context_ = nullptr;
}

QtGlyphOutlines::QtGlyphOutlines()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(static_cast<int>(kGlyphPixels));
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    const QFontMetricsF metrics(font);
    for (int code = 0; code < 255; ++code) {
        // Control characters have no outline.
        if (code < 32 || (code >= 127 && code < 160)) continue;
        const QString text(QChar(static_cast<char16_t>(code)));
        QPainterPath path;
        path.addText(0.0, 0.0, font, text);
        render::GlyphOutline& glyph = glyphs_[static_cast<std::size_t>(code)];
        for (const QPolygonF& polygon : path.toSubpathPolygons()) {
            std::vector<render::GlyphPoint> contour;
            contour.reserve(static_cast<std::size_t>(polygon.size()));
            for (const QPointF& p : polygon) contour.push_back({p.x() / kGlyphPixels, -p.y() / kGlyphPixels});
            // The closing point repeats the first; the contour closes itself.
            if (contour.size() > 1 && contour.front().x == contour.back().x && contour.front().y == contour.back().y)
                contour.pop_back();
            if (contour.size() >= 3) glyph.contours.push_back(std::move(contour));
        }
        glyph.advance = metrics.horizontalAdvance(text) / kGlyphPixels;
        present_[static_cast<std::size_t>(code)] = true;
    }
}

bool QtGlyphOutlines::Glyph(unsigned char code, render::GlyphOutline& outline) const
{
    if (code >= 255 || !present_[code]) return false;
    outline = glyphs_[code];
    return true;
}
