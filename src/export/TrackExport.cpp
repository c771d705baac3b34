#include "export/TrackExport.h"

#include "design/Groups.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "export/OffsetSolid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trackexport {

namespace {

// Names go into text formats line by line: control characters become '?'.
std::string objectName(const SurfaceSection& surface)
{
    std::string name = NameToUtf8(textOf(surface.groupName) + "/" + textOf(surface.name));
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, '?');
    return name;
}

// Text in double quotes (built by appending: GCC 12 warns wrongly about "\"" + text).
std::string inQuotes(const std::string& utf8)
{
    std::string text(1, '"');
    text += utf8;
    text += '"';
    return text;
}

std::string quoted(const std::string& bytes) { return inQuotes(NameToUtf8(bytes)); }

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// The largest thickness below radius, rounded down to three significant digits.
double largestWorkingThickness(double radius)
{
    const double step = std::pow(10.0, std::floor(std::log10(radius)) - 2.0);
    return std::max(0.0, (std::ceil(radius / step) - 1.0) * step);
}

// The surfaces the scope names, or the refusal.
std::string chooseSurfaces(COpenGLTemplateDoc& document, const ExportOptions& options,
                           std::vector<SurfaceSection*>& chosen)
{
    if (options.scope == ExportScope::OneSurface) {
        SurfaceSection* surface = document.FindSurface(options.surfaceName, options.groupName);
        if (!surface)
            return "The document has no surface " + quoted(options.surfaceName) + " in group " +
                   quoted(options.groupName) + ".";
        chosen.push_back(surface);
        return {};
    }
    const SurfaceGroup* group = nullptr;
    if (options.scope == ExportScope::OneGroup) {
        group = design::FindGroup(document, options.groupName);
        if (!group) return "The document has no group " + quoted(options.groupName) + ".";
    }
    for (const auto& surface : document.surfaces)
        if (surface->render == 1 && (!group || group->contains(surface.get()))) chosen.push_back(surface.get());
    if (!chosen.empty()) return {};
    if (group) return "The group " + quoted(options.groupName) + " has no shown surface to export.";
    return "The document has no shown surface to export.";
}

void grow(ExportSummary& summary, const ExportMesh& mesh)
{
    if (summary.objects == 0) summary.boxMin = summary.boxMax = mesh.positions.front();
    for (const Vec3& p : mesh.positions) {
        summary.boxMin = {std::min(summary.boxMin.x, p.x), std::min(summary.boxMin.y, p.y),
                          std::min(summary.boxMin.z, p.z)};
        summary.boxMax = {std::max(summary.boxMax.x, p.x), std::max(summary.boxMax.y, p.y),
                          std::max(summary.boxMax.z, p.z)};
    }
    ++summary.objects;
    summary.vertices += mesh.positions.size();
    summary.triangles += mesh.triangles.size();
}

} // namespace

std::string ExportSummary::Line() const
{
    const std::string scaleText = unit == "scene units" ? number(scale) : number(scale) + " " + unit + " per scene unit";
    return std::to_string(objects) + (objects == 1 ? " object, " : " objects, ") + std::to_string(triangles) +
           " triangles, scale " + scaleText + ", box (" + number(boxMin.x) + ", " +
           number(boxMin.y) + ", " + number(boxMin.z) + ") to (" + number(boxMax.x) + ", " + number(boxMax.y) +
           ", " + number(boxMax.z) + ") " + unit;
}

void ChooseUnits(const ExportOptions& options, double ballRadius, ExportSummary& summary)
{
    summary.scale = OutputScale(options, ballRadius);
    summary.unit = "scene units";
    if (options.ballDiameterMm == 0.0) return;
    const bool metres = options.format == ExportFormat::Gltf || options.format == ExportFormat::Glb;
    summary.unit = metres ? "m" : "mm";
    if (metres) summary.scale /= 1000.0;
}

std::string BuildTrackMeshes(COpenGLTemplateDoc& document, const ExportOptions& options, MeshSink& sink,
                             ExportSummary& summary)
{
    if (std::string problem = CheckExportNumbers(options); !problem.empty()) return problem;
    summary = ExportSummary();
    ChooseUnits(options, document.ballRadius, summary);
    // A thickness is given in millimetres with a marble size, else in scene units.
    const double thicknessUnit = OutputScale(options, document.ballRadius);
    LockGuard guard(document.documentLock);
    std::vector<SurfaceSection*> chosen;
    if (std::string problem = chooseSurfaces(document, options, chosen); !problem.empty()) return problem;
    for (SurfaceSection* surface : chosen) {
        LockGuard surfaceGuard(surface->geometryLock);
        const ExportGrid grid = MakeExportGrid(*surface, options.resolution);
        const GridSamples samples = SampleGrid(*surface, grid);
        ExportMesh mesh = BuildSheet(*surface, grid, samples);
        if (mesh.triangles.empty()) continue;
        mesh.name = objectName(*surface);
        if (options.thickness) {
            const double thickness = *options.thickness / thicknessUnit;
            const double fold = FoldThickness(mesh);
            if (thickness >= fold)
                return "The surface " + inQuotes(mesh.name) + " cannot be made " + number(*options.thickness) +
                       " thick: it bends more tightly than that away from the side the ball rolls on, so the "
                       "solid would fold over. The largest thickness that works for it is " +
                       number(largestWorkingThickness(fold * thicknessUnit)) + ".";
            CloseIntoSolid(mesh, thickness);
        }
        for (Vec3& p : mesh.positions) p *= summary.scale;
        grow(summary, mesh);
        sink.Take(std::move(mesh));
    }
    if (summary.objects == 0) return "Nothing is left to export: holes cover every chosen surface.";
    return {};
}

} // namespace trackexport
