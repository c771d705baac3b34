#pragma once

// What an export asks for: the file format, open sheets or solids of a
// thickness, the scale that makes the ball a real marble, the sampling
// density and which surfaces. Shared by marlwick-cli export and the
// program's "Export…" dialog; the checks and their messages are here.

#include <optional>
#include <string>
#include <string_view>

namespace trackexport {

enum class ExportFormat { Stl, Obj, Ply, Gltf, Glb };
inline constexpr int kFormatCount = 5;

// The format's file extension with its dot (".stl"), and its caption.
const char* FormatExtension(ExportFormat format);
const char* FormatCaption(ExportFormat format);
// The format a path's extension names (any letter case), or none.
std::optional<ExportFormat> FormatFromPath(std::string_view path);

enum class ExportScope {
    ShownSurfaces, // every surface whose render switch is on
    OneSurface,    // the surface surfaceName in group groupName, shown or not
    OneGroup,      // the shown surfaces of group groupName
};

inline constexpr int kResolutionLow = 1, kResolutionHigh = 8;
inline constexpr double kMaxThickness = 10000.0;
inline constexpr double kMaxBallDiameterMm = 10000.0;

struct ExportOptions {
    ExportFormat format = ExportFormat::Stl;
    // None: open sheets. Otherwise solids this thick: scene units, or
    // millimetres when ballDiameterMm is set.
    std::optional<double> thickness;
    // 0: scene units. Otherwise the whole export is scaled so that the ball
    // is a marble of this diameter, in millimetres.
    double ballDiameterMm = 0.0;
    int resolution = 1; // samples per direction, times the display mesh's
    ExportScope scope = ExportScope::ShownSurfaces;
    std::string surfaceName, groupName; // document bytes (Windows-1252)
};

// An export asked for: where to, and what.
struct ExportRequest {
    std::string outputPath;   // its extension names the format
    std::string documentPath; // the document's own file, never written over; may be empty
    ExportOptions options;    // options.format is taken from outputPath
};

// Messages of the option checks.
inline constexpr const char* kBadExtension = "The output file must end in .stl, .obj, .ply, .gltf or .glb.";
std::string ThicknessPrompt();     // "The thickness must be a number greater than 0 and at most ..."
std::string BallDiameterPrompt();  // "The marble diameter must be a number greater than 0 and at most ..."
std::string ResolutionPrompt();    // "The resolution must be an integer between 1 and 8."

// Empty when the numbers are usable, else the message of the first that is not.
std::string CheckExportNumbers(const ExportOptions& options);

// Scene units per unit of output: 1, or millimetres per scene unit so that a
// ball of radius ballRadius becomes ballDiameterMm wide.
double OutputScale(const ExportOptions& options, double ballRadius);

} // namespace trackexport
