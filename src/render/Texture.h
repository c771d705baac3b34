#pragma once

#include <string>

namespace render {

// The ball's texture file name.
inline constexpr const char* kBallTextureName = "earth256.bmp";

// Where the ball texture is: the current directory first, then the
// program's shipped data. Returns the plain name when neither has it (the
// load then fails quietly and the ball is drawn untextured).
std::string FindBallTexture();

// LoadTexture: reads an image file through FreeImage's handle-based input
// (type from the contents) into the given texture name: level 0 as RGBA from
// BGR bytes, mipmaps built from the same data, linear filters. FreeImage's
// messages go to standard output as "\n*** " [format " Format\n"] message
// " ***\n". A missing or unreadable file leaves the texture empty, silently.
// Returns whether an image was loaded. Needs a current context.
bool LoadTexture(const std::string& fileName, unsigned textureName);

} // namespace render
