#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// marlwick-cli export FILE.mwk OUT.(stl|obj|ply|gltf|glb) [--thickness T]
//   [--ball-diameter-mm D] [--resolution N] [--surface NAME,GROUP | --group NAME]
// Writes the document's shown surfaces (or one surface, or one group's) as
// open sheets, or as solids T thick; one summary line on err when done.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
