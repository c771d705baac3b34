#pragma once

// Building the meshes of an export from a document, one surface at a time,
// without writing anything: the file writer takes them as they come.

#include "export/ExportMesh.h"
#include "export/ExportOptions.h"

#include <cstddef>
#include <string>

class COpenGLTemplateDoc;

namespace trackexport {

// What an export holds, in output units.
struct ExportSummary {
    int objects = 0;
    std::size_t vertices = 0, triangles = 0;
    double scale = 1.0;             // output units per scene unit
    std::string unit = "scene units"; // or "mm", or "m" for glTF with a marble size
    Vec3 boxMin, boxMax;

    // "3 objects, 51234 triangles, scale 24 mm per scene unit, box (x0, y0, z0) to (x1, y1, z1) mm"
    std::string Line() const;
    // "OUT: " and the line, said once the file is written.
    std::string Report(const std::string& path) const { return path + ": " + Line(); }
};

// Receives the finished meshes of an export, scaled to output units.
class MeshSink {
public:
    virtual ~MeshSink() = default;
    virtual void Take(ExportMesh mesh) = 0;
};

// The scale and unit of an export (ballDiameterMm set: millimetres, or
// metres for the glTF formats, whose unit is the metre).
void ChooseUnits(const ExportOptions& options, double ballRadius, ExportSummary& summary);

// Builds every chosen surface (options.scope) as a sheet or a solid, in
// document order, and hands each to sink. Returns "" when done, else the
// refusal: an option out of range, a missing surface or group, nothing to
// export, or a thickness the named surface cannot take (with the largest it
// can). The sink may have had some meshes before a refusal. Takes the
// document lock for the walk.
std::string BuildTrackMeshes(COpenGLTemplateDoc& document, const ExportOptions& options, MeshSink& sink,
                             ExportSummary& summary);

} // namespace trackexport
