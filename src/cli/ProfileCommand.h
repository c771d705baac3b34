#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// marlwick-cli profile FILE.mwk OUT [simulate's options] [--x time|distance]
//   [--size WxH]
// Runs the ball as "simulate" does and writes its ride profile: OUT ending in
// ".csv" one row per step under a header; ".png" or ".svg" the profile's
// charts (speed and height; the felt forces) over time or distance, titled
// with the document's name.
int RunProfile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
