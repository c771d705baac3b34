#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// No OpenGL context could be had (no EGL surfaceless platform).
inline constexpr int kExitNoContext = 3;

// "WxH" with sides from 1 to 8192 pixels.
bool ParseFrameSize(const std::string& text, int& width, int& height);

// marlwick-cli render FILE.mwk OUT.(png|bmp|jpg) [--size WxH] [--follow] [--steps N]
// Opens the document, places the ball at its start, optionally rolls it N
// steps of the maximum step time, and draws the frame the view would show
// (orbit camera, or the follow camera with --follow) off screen into OUT.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
