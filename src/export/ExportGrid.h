#pragma once

// The (u, v) grid an export samples a surface on: the display mesh's density
// times the resolution, with every hole edge added as a grid line so that
// holes are cut out exactly (each cell is wholly inside a hole or wholly out).

#include <vector>

class SurfaceSection;

namespace trackexport {

// One direction: the display walk of `displayCount` samples refined
// `resolution` times, plus every cut value strictly inside (0, 1). A walk
// sample closer to a cut than a third of its step gives way to the cut, so no
// cell is a sliver.
std::vector<double> GridParameters(int displayCount, int resolution, const std::vector<double>& cuts);

struct ExportGrid {
    std::vector<double> u; // per column, increasing from 0 to 1
    std::vector<double> v; // per row
    std::vector<char> cut; // per cell, row by row: 1 inside a hole

    int rows() const { return static_cast<int>(v.size()); }
    int columns() const { return static_cast<int>(u.size()); }
    bool CellCut(int row, int column) const
    {
        return cut[static_cast<std::size_t>(row) * (u.size() - 1) + static_cast<std::size_t>(column)] != 0;
    }
};

// The grid of a sampled surface at the resolution; empty when the surface
// has no display mesh.
ExportGrid MakeExportGrid(const SurfaceSection& surface, int resolution);

} // namespace trackexport
