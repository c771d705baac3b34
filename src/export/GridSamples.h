#pragma once

// A surface evaluated on its export grid: points and unit normals towards the
// side the ball rolls on.

#include "export/ExportGrid.h"
#include "geometry/Vec3.h"

#include <vector>

class SurfaceSection;

namespace trackexport {

struct GridSamples {
    int rows = 0, columns = 0;
    std::vector<Vec3> points;  // row by row
    std::vector<Vec3> normals; // zero where the surface has no tangent plane

    const Vec3& point(int row, int column) const { return points[index(row, column)]; }
    const Vec3& normal(int row, int column) const { return normals[index(row, column)]; }
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
    }
};

GridSamples SampleGrid(const SurfaceSection& surface, const ExportGrid& grid);

} // namespace trackexport
