#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1, // bad command line, or a surface the document does not have
    kExitFile = 2,  // a file could not be read or written
};

// What a command says when its output could not be written.
inline constexpr const char* kOutputFailed = "cannot write to standard output";

// Runs one command (args without the program name): output on out, one-line
// errors on err. Returns the exit code; a failed write to out, at any point,
// is kExitFile with kOutputFailed on err.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A command line the command cannot take: problem and the command's short
// usage, one line on err. Returns kExitUsage.
int UsageError(std::ostream& err, std::string_view command, const std::string& problem);

} // namespace cli
