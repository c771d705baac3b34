#include "export/ExportOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace trackexport {

namespace {

struct FormatEntry {
    ExportFormat format;
    const char* extension;
    const char* caption;
};

constexpr FormatEntry kFormats[kFormatCount] = {
    {ExportFormat::Stl, ".stl", "STL (binary)"},
    {ExportFormat::Obj, ".obj", "Wavefront OBJ"},
    {ExportFormat::Ply, ".ply", "PLY (binary)"},
    {ExportFormat::Gltf, ".gltf", "glTF 2.0"},
    {ExportFormat::Glb, ".glb", "glTF 2.0 binary (GLB)"},
};

const FormatEntry& entryOf(ExportFormat format) { return kFormats[static_cast<int>(format)]; }

bool positiveUpTo(double value, double most) { return std::isfinite(value) && value > 0.0 && value <= most; }

std::string shortNumber(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

} // namespace

const char* FormatExtension(ExportFormat format) { return entryOf(format).extension; }
const char* FormatCaption(ExportFormat format) { return entryOf(format).caption; }

std::optional<ExportFormat> FormatFromPath(std::string_view path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatEntry& entry : kFormats)
        if (extension == entry.extension) return entry.format;
    return std::nullopt;
}

std::string ThicknessPrompt()
{
    return "The thickness must be a number greater than 0 and at most " + shortNumber(kMaxThickness) + ".";
}

std::string BallDiameterPrompt()
{
    return "The marble diameter must be a number greater than 0 and at most " + shortNumber(kMaxBallDiameterMm) +
           " mm.";
}

std::string ResolutionPrompt()
{
    return "The resolution must be an integer between " + std::to_string(kResolutionLow) + " and " +
           std::to_string(kResolutionHigh) + ".";
}

std::string CheckExportNumbers(const ExportOptions& options)
{
    if (options.thickness && !positiveUpTo(*options.thickness, kMaxThickness)) return ThicknessPrompt();
    if (options.ballDiameterMm != 0.0 && !positiveUpTo(options.ballDiameterMm, kMaxBallDiameterMm))
        return BallDiameterPrompt();
    if (options.resolution < kResolutionLow || options.resolution > kResolutionHigh) return ResolutionPrompt();
    return {};
}

double OutputScale(const ExportOptions& options, double ballRadius)
{
    if (options.ballDiameterMm == 0.0 || !(ballRadius > 0.0)) return 1.0;
    return options.ballDiameterMm / (2.0 * ballRadius);
}

} // namespace trackexport
