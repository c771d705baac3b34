#include "render/OutlineFont.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

#include <array>
#include <cmath>
#include <deque>

namespace render {

namespace {

using TessCallback = void(GLAPIENTRY*)();

// Vertices the tessellator keeps pointers to while it runs, including the
// ones it makes where contours cross.
struct TessVertices {
    std::deque<std::array<GLdouble, 3>> points;
};

void GLAPIENTRY beginCallback(GLenum type) { glBegin(type); }
void GLAPIENTRY endCallback() { glEnd(); }
void GLAPIENTRY vertexCallback(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }
void GLAPIENTRY combineCallback(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* polygonData)
{
    auto* store = static_cast<TessVertices*>(polygonData);
    store->points.push_back({coords[0], coords[1], coords[2]});
    *out = store->points.back().data();
}

// One face of the glyph at depth z, facing +z or -z.
void tessellateFace(GLUtesselator* tess, const GlyphOutline& glyph, double z, bool front)
{
    TessVertices store;
    glNormal3d(0.0, 0.0, front ? 1.0 : -1.0);
    gluTessNormal(tess, 0.0, 0.0, front ? 1.0 : -1.0);
    gluTessBeginPolygon(tess, &store);
    for (const auto& contour : glyph.contours) {
        gluTessBeginContour(tess);
        for (const GlyphPoint& p : contour) {
            store.points.push_back({p.x, p.y, z});
            gluTessVertex(tess, store.points.back().data(), store.points.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
}

// The walls between the two faces, one quad per contour edge.
void drawSides(const GlyphOutline& glyph)
{
    glBegin(GL_QUADS);
    for (const auto& contour : glyph.contours) {
        const std::size_t n = contour.size();
        for (std::size_t k = 0; k < n; ++k) {
            const GlyphPoint& a = contour[k];
            const GlyphPoint& b = contour[(k + 1) % n];
            const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
            if (len == 0.0) continue;
            glNormal3d(dy / len, -dx / len, 0.0);
            glVertex3d(a.x, a.y, 0.0);
            glVertex3d(a.x, a.y, -OutlineFont::kExtrusion);
            glVertex3d(b.x, b.y, -OutlineFont::kExtrusion);
            glVertex3d(b.x, b.y, 0.0);
        }
    }
    glEnd();
}

} // namespace

void OutlineFont::Build(const OutlineFontProvider& provider)
{
    Release();
    base_ = glGenLists(256);
    if (base_ == 0) return;
    GLUtesselator* tess = gluNewTess();
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(beginCallback));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(endCallback));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(vertexCallback));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(combineCallback));
    for (int code = 0; code < 255; ++code) {
        GlyphOutline glyph;
        glNewList(base_ + code, GL_COMPILE);
        if (provider.Glyph(static_cast<unsigned char>(code), glyph)) {
            tessellateFace(tess, glyph, 0.0, true);
            tessellateFace(tess, glyph, -kExtrusion, false);
            drawSides(glyph);
            glTranslated(glyph.advance, 0.0, 0.0);
        }
        glEndList();
    }
    glNewList(base_ + 255, GL_COMPILE);
    glEndList();
    gluDeleteTess(tess);
}

void OutlineFont::Release()
{
    if (base_ != 0) glDeleteLists(base_, 256);
    base_ = 0;
}

void OutlineFont::Draw(std::string_view text) const
{
    if (base_ == 0 || text.empty()) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(base_);
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
    glPopAttrib();
}

} // namespace render
