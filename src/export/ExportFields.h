#pragma once

// The fields of the program's "Export…" dialog and the request they make.

#include "export/ExportOptions.h"

#include <string>

class COpenGLTemplateDoc;

namespace trackexport {

// What the dialog's "Export :" choice exports.
enum ExportChoice : int { kShownSurfaces = 0, kSelectedSurface = 1, kOneGroup = 2 };
inline constexpr const char* kChoiceCaptions[] = {"Shown surfaces", "Selected surface", "One group"};
// The format box's first entry: the format the file name's extension names.
inline constexpr const char* kFormatFromName = "From the file name";

inline constexpr const char* kNoFile = "Choose a file to export to.";
inline constexpr const char* kNoSelectedSurface = "Select a surface to export.";

struct ExportFields {
    std::string path;
    int formatIndex = -1; // -1: from the file name; else an ExportFormat
    bool solid = false;
    double thickness = 1.0;
    bool marbleSize = false;
    double ballDiameterMm = 16.0;
    int resolution = 1;
    int choice = kShownSurfaces;
    std::string groupName; // with kOneGroup, document bytes
};

// The request the fields make; with a chosen format the path takes that
// format's extension unless it has it. "" when done, else the refusal.
std::string RequestFromFields(const COpenGLTemplateDoc& document, const ExportFields& fields, ExportRequest& request);

} // namespace trackexport
