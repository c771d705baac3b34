#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// The movie was stopped by SIGINT or SIGTERM before it was whole.
inline constexpr int kExitCancelled = 5;

// marlwick-cli movie FILE.mwk OUT.(mp4|webm|gif) [--seconds S | --steps N]
//   [--fps F] [--size WxH] [--follow] [--overlay] [--progress] [simulate's options]
// Runs the ball as simulate does and draws the run as render would, one
// frame at each time k / F of the run's own clock (the state of the last step
// at or before it), S seconds long (10 by default; N steps long with
// --steps; the ride's whole run, or its first N steps, with --replay), and
// encodes the frames as they come: H.264 for .mp4, VP9 for .webm, a GIF.
// --overlay writes the time, speed, height and vertical and lateral g in the
// top left corner. A progress bar goes to a terminal; --progress writes
// "K/N" to out after each frame. A replay that leaves its ride (exit 4), a
// signal (exit 5) or any failure leaves no file and any old one as it was.
int RunMovie(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
