#pragma once

// The one export operation of marlwick-cli export and the program's
// "Export…" dialog: builds the meshes and writes them through Assimp.

#include "export/ExportFields.h"
#include "export/TrackExport.h"

#include <string>

class COpenGLTemplateDoc;

namespace trackexport {

struct ExportOutcome {
    std::string error; // "" when the file is written; otherwise nothing is left behind
    // The refusal concerns the request itself (an option, a surface, a
    // thickness) rather than reading or writing a file.
    bool refused = false;
    ExportSummary summary;
    std::string path; // the file written (the dialog may have added the extension)
};

ExportOutcome ExportTrack(COpenGLTemplateDoc& document, const ExportRequest& request);

// "Export" of the "Export…" dialog: the request its fields make, exported.
ExportOutcome ExportFromFields(COpenGLTemplateDoc& document, const ExportFields& fields,
                               const std::string& documentPath);

} // namespace trackexport
