#include "render/ScreenText.h"

#include "geometry/Vec3.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace render {

namespace {

struct Glyph {
    char c;
    std::uint8_t rows[kGlyphHeight];
};

constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}}, {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}}, {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}}, {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E}},
    {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}}, {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}}, {'g', {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}}, {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'j', {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}}, {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}}, {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}}, {'q', {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}}, {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}}, {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}}, {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}}, {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
};

constexpr std::uint8_t kBlank[kGlyphHeight] = {};
// One pixel of space between characters and between lines, and around the panel.
constexpr int kAdvance = kGlyphWidth + 1, kLineHeight = kGlyphHeight + 2, kMargin = 2;

// Window pixels with y down from the top, nothing lit, textured or tested.
class ScreenSpace {
public:
    ScreenSpace(int width, int height)
    {
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT |
                     GL_VIEWPORT_BIT);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    ~ScreenSpace()
    {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    ScreenSpace(const ScreenSpace&) = delete;
    ScreenSpace& operator=(const ScreenSpace&) = delete;
};

void rectangle(int x, int y, int w, int h)
{
    glVertex2i(x, y);
    glVertex2i(x, y + h);
    glVertex2i(x + w, y + h);
    glVertex2i(x + w, y);
}

// The text's glyph pixels as squares of `scale`, the first line's top left at (x, y).
void drawLine(const std::string& text, int x, int y, int scale)
{
    glBegin(GL_QUADS);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const std::uint8_t* rows = GlyphRows(text[k]);
        const int left = x + int(k) * kAdvance * scale;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int column = 0; column < kGlyphWidth; ++column)
                if (rows[row] & (0x10 >> column)) rectangle(left + column * scale, y + row * scale, scale, scale);
    }
    glEnd();
}

int widestLine(const std::vector<std::string>& lines)
{
    std::size_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, line.size());
    return int(widest);
}

} // namespace

const std::uint8_t* GlyphRows(char c)
{
    const char wanted = char(std::tolower(static_cast<unsigned char>(c)));
    for (const Glyph& glyph : kFont)
        if (glyph.c == wanted) return glyph.rows;
    return kBlank;
}

int TextScaleFor(int frameHeight) { return std::max(1, frameHeight / 240); }

void DrawTextPanel(const std::vector<std::string>& lines, int width, int height, int scale)
{
    if (lines.empty() || width <= 0 || height <= 0) return;
    ScreenSpace screen(width, height);
    const int panelWidth = (widestLine(lines) * kAdvance + 2 * kMargin) * scale;
    const int panelHeight = (int(lines.size()) * kLineHeight + 2 * kMargin - 2) * scale;
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    rectangle(0, 0, panelWidth, panelHeight);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (std::size_t k = 0; k < lines.size(); ++k)
        drawLine(lines[k], kMargin * scale, (kMargin + int(k) * kLineHeight) * scale, scale);
}

void DrawRecordingMark(std::int64_t frames, int width, int height)
{
    if (width <= 0 || height <= 0) return;
    const int scale = TextScaleFor(height) + 1;
    const std::string count = std::to_string(frames);
    const int textWidth = int(count.size()) * kAdvance * scale;
    const int radius = kGlyphHeight * scale / 2;
    const int top = kMargin * scale, right = width - kMargin * scale;
    ScreenSpace screen(width, height);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawLine(count, right - textWidth, top, scale);
    // The disc left of the count.
    const double cx = right - textWidth - kAdvance * scale + 0.5 - radius, cy = top + radius;
    glColor4f(0.9f, 0.1f, 0.1f, 1.0f);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(cx, cy);
    constexpr int kSegments = 24;
    for (int k = 0; k <= kSegments; ++k) {
        const double a = kTwoPi * k / kSegments;
        glVertex2d(cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    glEnd();
}

} // namespace render
