#pragma once

// What an export writes into its files beside the geometry, where the
// format has room: the scale (and the object names where the format keeps
// none) as an OBJ or PLY comment or glTF `extras` (the STL header is
// StlStream's).

#include "export/TrackExport.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trackexport {

// A change to the first bytes of a file: `remove` bytes at `at` give way to `text`.
struct Splice {
    std::size_t at = 0;
    std::size_t remove = 0;
    std::string text;
};

struct FileNotes {
    ExportSummary summary;
    double ballDiameterMm = 0.0;          // 0: none
    std::vector<std::string> objectNames; // in file order
    std::vector<std::size_t> objectTriangles;

    // One line: "Marlwick export, scale 24 mm per scene unit (marble 16 mm)".
    std::string Headline() const;
    // The splice for a file that starts with head, none while head does not
    // tell yet (or never will: the file is left as it is). The file's kind
    // comes from the extension of its path.
    std::optional<Splice> SpliceFor(std::string_view path, std::string_view head) const;
    // A whole GLB file with the notes in its JSON chunk; unchanged when the
    // bytes are not a GLB file.
    std::string PatchGlb(std::string glb) const;
    // True for paths whose file must be seen whole before it is patched.
    static bool NeedsWholeFile(std::string_view path);
};

} // namespace trackexport
