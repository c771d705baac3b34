#pragma once

#include <string_view>
#include <vector>

// Outline text for surface names: glyph outlines come from the program
// around the renderer (the Qt program takes them from its fonts), and are
// tessellated here into 256 display lists, one per character code, extruded
// 0.05 deep. Without glyphs, text draws nothing.
namespace render {

struct GlyphPoint {
    double x = 0.0, y = 0.0;
};

// One character's outline in em units (about 1 high), baseline at y = 0:
// closed contours (the last point joins the first), filled by the odd rule.
struct GlyphOutline {
    std::vector<std::vector<GlyphPoint>> contours;
    double advance = 0.0; // pen movement to the next character
};

class OutlineFontProvider {
public:
    virtual ~OutlineFontProvider() = default;
    // The outline of one character code (0 to 254); false when it has none
    // (the character then draws nothing and does not advance).
    virtual bool Glyph(unsigned char code, GlyphOutline& outline) const = 0;
};

class OutlineFont {
public:
    static constexpr double kExtrusion = 0.05;

    OutlineFont() = default;
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;

    // Generates the 256 lists and fills those of codes 0 to 254 from the
    // provider. Needs a current context; replaces lists built before.
    void Build(const OutlineFontProvider& provider);
    // Deletes the lists (context current).
    void Release();
    bool built() const { return base_ != 0; }
    unsigned base() const { return base_; }
    // Draws text from the current origin along +x; nothing when not built.
    void Draw(std::string_view text) const;

private:
    unsigned base_ = 0;
};

} // namespace render
