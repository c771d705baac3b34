#pragma once

// The one export operation of marlwick-cli export and the program's
// "Export…" dialog: builds the meshes and writes them through Assimp.

#include "export/TrackExport.h"

#include <string>

class COpenGLTemplateDoc;

namespace trackexport {

struct ExportRequest {
    std::string outputPath;   // its extension names the format
    std::string documentPath; // the document's own file, never written over; may be empty
    ExportOptions options;    // options.format is taken from outputPath
};

struct ExportOutcome {
    std::string error; // "" when the file is written; otherwise nothing is left behind
    // The refusal concerns the request itself (an option, a surface, a
    // thickness) rather than reading or writing a file.
    bool refused = false;
    ExportSummary summary;
};

ExportOutcome ExportTrack(COpenGLTemplateDoc& document, const ExportRequest& request);

} // namespace trackexport
