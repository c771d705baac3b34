// Writes the seed corpus of the document fuzzer: documents the program
// itself saves. Usage: marlwick_fuzz_seeds DIRECTORY

#include "support/DocumentBuilders.h"

#include <iostream>

namespace {

bool save(COpenGLTemplateDoc& doc, const std::string& path)
{
    std::string error;
    if (doc.OnSaveDocument(path, error)) return true;
    std::cerr << error << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: marlwick_fuzz_seeds DIRECTORY\n";
        return 1;
    }
    const std::string dir = argv[1];
    COpenGLTemplateDoc empty;
    COpenGLTemplateDoc fresh;
    fresh.OnNewDocument();
    COpenGLTemplateDoc track;
    builders::fillTrackDocument(track);
    COpenGLTemplateDoc chain;
    builders::fillChainDocument(chain, 3, 3, 0);
    chain.surfaces[1]->samplingMode = SamplingMode::FixedCounts;
    chain.surfaces[1]->fixedSamplesU = 5;
    chain.surfaces[1]->fixedSamplesV = 7;
    const bool ok = save(empty, dir + "/empty.mwk") && save(fresh, dir + "/new.mwk") &&
                    save(track, dir + "/track.mwk") && save(chain, dir + "/chain.mwk");
    return ok ? 0 : 2;
}
