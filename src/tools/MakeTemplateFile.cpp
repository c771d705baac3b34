// Writes the program's shipped cross-section templates to the file named on
// the command line (the build puts it next to each executable).

#include "design/CrossSectionTemplates.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s cross_sections.dat\n", argv[0]);
        return 1;
    }
    if (!design::WriteTemplateFile(argv[1], design::StandardTemplates())) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 2;
    }
    return 0;
}
