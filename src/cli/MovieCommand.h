#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// marlwick-cli movie FILE.mwk OUT.(mp4|webm|gif) [--seconds S | --steps N]
//   [--fps F] [--size WxH] [--follow] [--overlay] [simulate's options]
// Runs the ball as simulate does and draws the run as render would, one
// frame at each time k / F of the run's own clock (the state of the last step
// at or before it), S seconds long (10 by default; N steps long with
// --steps), and encodes the frames as they come: H.264 for .mp4, VP9 for
// .webm, a GIF. --overlay writes the time, speed, height and vertical and
// lateral g in the top left corner. A progress bar goes to a terminal.
int RunMovie(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
