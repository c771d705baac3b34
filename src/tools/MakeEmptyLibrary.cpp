// Writes the program's shipped surface library, with no entries, to the file
// named on the command line (the build puts it next to each executable). An
// existing library is left alone: it may hold the user's exported surfaces.

#include "design/SurfaceLibrary.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s surface_library.dat\n", argv[0]);
        return 1;
    }
    std::error_code code;
    if (std::filesystem::exists(argv[1], code)) return 0;
    std::string error;
    if (!design::WriteEmptyLibrary(argv[1], error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    return 0;
}
