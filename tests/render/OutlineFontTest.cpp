#include "RenderTestSupport.h"

namespace {

using namespace rendertest;

// Every printable character is a unit square with a square hole; the blank
// has no outline.
class SquareGlyphs : public render::OutlineFontProvider {
public:
    bool Glyph(unsigned char code, render::GlyphOutline& outline) const override
    {
        ++asked;
        if (code == ' ' || code < 32) return false;
        outline.contours = {{{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}},
                            {{0.25, 0.25}, {0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}}};
        outline.advance = 1.2;
        return true;
    }
    mutable int asked = 0;
};

// Text drawn flat, 40 pixels per unit, in an orthographic view of
// x in [-0.5, 5.5], y in [-0.5, 1.5].
Picture drawText(const render::OutlineFont& font, std::string_view text)
{
    return drawFlat(240, 80, -0.5, 5.5, -0.5, 1.5, 1.0, [&] { font.Draw(text); });
}

TEST_F(RenderTest, OutlineGlyphsAreFilledByTheOddRuleAndAdvance)
{
    SquareGlyphs glyphs;
    render::OutlineFont font;
    font.Build(glyphs);
    EXPECT_EQ(glyphs.asked, 255); // codes 0 to 254
    const Picture p = drawText(font, "a b");
    // (x, y) in world units to pixels, y from the top.
    auto lit = [&](double x, double y) { return !p.at(int((x + 0.5) * 40), int((1.5 - y) * 40)).black(); };
    EXPECT_TRUE(lit(0.1, 0.5));   // first glyph
    EXPECT_FALSE(lit(0.5, 0.5));  // its hole
    EXPECT_FALSE(lit(1.8, 0.5));  // the blank draws nothing and does not advance
    EXPECT_TRUE(lit(1.3, 0.5));   // so the second glyph follows at 1.2
    EXPECT_FALSE(lit(2.5, 0.5));
    font.Release();
    EXPECT_FALSE(font.built());
    EXPECT_EQ(drawText(font, "a").litPixels(), 0);
}

TEST_F(RenderTest, TheSelectedSurfaceShowsItsNameOnlyWithAFont)
{
    COpenGLTemplateDoc doc;
    quietDocument(doc);
    SurfaceSection& s = *doc.surfaces[0];
    s.showSurfaceLines = 0;
    s.showDirections = 0;
    s.showAttachmentSites = 0;
    doc.selectedSurface = &s;
    render::FitCameraToSurfaces(doc);
    EXPECT_EQ(frame(doc, 200, 150).count(&Rgb::green), 0);
    SquareGlyphs glyphs;
    renderer.Shutdown();
    renderer.Initialize(&glyphs);
    EXPECT_GT(frame(doc, 200, 150).count(&Rgb::green), 20);
    s.showName = 0;
    EXPECT_EQ(frame(doc, 200, 150).count(&Rgb::green), 0);
}

} // namespace
