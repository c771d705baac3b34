#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1, // bad command line, or a surface the document does not have
    kExitFile = 2,  // a file could not be read or written
};

// Runs one command (args without the program name): output on out, one-line
// errors on err. Returns the exit code.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
