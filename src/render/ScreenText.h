#pragma once

// Text over a finished frame, in window pixels: a small 5 x 7 pixel font (digits,
// lower-case letters, a few signs; capitals are drawn as lower case, other
// characters as blanks), enlarged by whole pixels, on a dark panel in a corner.
// Used for the movie's readout and the view's recording mark. Needs a
// current context; restores the state it changes.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7;

// The rows of a character's glyph, top first, bit 4 the leftmost pixel.
// All zero for a character the font does not have.
const std::uint8_t* GlyphRows(char c);

// The pixel scale that keeps text readable on a frame this high (1 up to 239 rows).
int TextScaleFor(int frameHeight);

// Lines of text drawn in white on a translucent dark panel at the top left
// corner of a width x height viewport.
void DrawTextPanel(const std::vector<std::string>& lines, int width, int height, int scale);

// The recording mark at the top right: a red disc and the frame count.
void DrawRecordingMark(std::int64_t frames, int width, int height);

} // namespace render
