#include "cli/CliCommands.h"

#include <csignal>
#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails with EFBIG and is reported like any
    // other failed write instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    const int code = cli::Run(args, std::cout, std::cerr);
    if (code == cli::kExitOk && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "marlwick-cli: " << cli::kOutputFailed << '\n';
        return cli::kExitFile;
    }
    return code;
}
