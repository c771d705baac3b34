#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// The start surface of "simulate" is not in the document.
inline constexpr int kExitNoStartSurface = 2;

// marlwick-cli simulate FILE.mwk [--steps N] [--dt H] [--speed S]
//   [--direction X,Y,Z] [--start SURFACE,GROUP,U,V] [--pause-on-air]
//   [--pause-on-bounce] [--prevent-same-surface] [--no-bounce] [--pause-each-frame]
// Places the ball quietly at its start with the launch speed and direction,
// rolls it and runs N steps of the fixed length H through the physics step,
// with no thread and no waiting. Writes one JSON object per line and step,
// then a line {"summary": ...}; the output is the same on every run.
int RunSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
