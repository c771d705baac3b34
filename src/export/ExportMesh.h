#pragma once

// One exported object: an indexed triangle mesh with per-vertex normals.

#include "export/ExportGrid.h"
#include "export/GridSamples.h"
#include "geometry/Vec3.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class SurfaceSection;

namespace trackexport {

using Triangle = std::array<std::uint32_t, 3>;

struct ExportMesh {
    std::string name; // "GROUP/SURFACE", UTF-8
    std::vector<Vec3> positions;
    std::vector<Vec3> normals; // unit, one per position
    std::vector<Triangle> triangles;
};

// The sampled surface as an open sheet: two triangles per kept cell, wound
// so that they face the ball side (the sampled normals). Nodes that coincide
// along a closed or collapsed edge of the surface share one vertex, and a
// triangle that has two corners on one vertex is left out; vertices no kept
// triangle uses are not emitted. The surface's flipDiagonals picks the
// diagonal that splits each cell, as the display does.
ExportMesh BuildSheet(const SurfaceSection& surface, const ExportGrid& grid, const GridSamples& samples);

} // namespace trackexport
