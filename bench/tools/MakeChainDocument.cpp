// Writes a document of COUNT linked channel surfaces of 24 cross sections x 20
// points, the size the opening and memory measurements use:
//   marlwick_make_chain COUNT OUT.mwk
// then e.g. `/usr/bin/time -v marlwick-cli info OUT.mwk`.

#include "support/DocumentBuilders.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: marlwick_make_chain COUNT OUT.mwk\n";
        return 1;
    }
    const int count = std::atoi(argv[1]);
    if (count < 1 || count > 10000) {
        std::cerr << "COUNT must be between 1 and 10000\n";
        return 1;
    }
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, count, 20, 20);
    std::string error;
    if (!doc.OnSaveDocument(argv[2], error)) {
        std::cerr << error << '\n';
        return 2;
    }
    return 0;
}
