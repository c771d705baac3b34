#pragma once

// Binary STL written surface by surface, so that a large track never waits
// in memory whole: Assimp turns each surface into facets, which go straight
// to the file; the header, with the scale and the facet count, comes last.
// Each facet normal is computed from its corners (Assimp's exporter writes
// the mean of the vertex normals, which on a solid's walls points elsewhere).

#include "document/FileIO.h"
#include "export/TrackExport.h"

#include <cstdint>
#include <string>

namespace trackexport {

class StlStream : public MeshSink {
public:
    // file: opened for path, empty; written only through this stream.
    StlStream(ReplacingFileWriter& file, std::string path);

    void Take(ExportMesh mesh) override;
    // Writes the header; false with error set when any write failed.
    bool Finish(const std::string& headline, std::string& error);

private:
    ReplacingFileWriter& file_;
    std::string path_;
    std::uint32_t facets_ = 0;
    std::string error_;
};

} // namespace trackexport
