#include "export/GridSamples.h"

#include "surface/SurfaceKernel.h"

namespace trackexport {

GridSamples SampleGrid(const SurfaceSection& surface, const ExportGrid& grid)
{
    GridSamples samples;
    samples.rows = grid.rows();
    samples.columns = grid.columns();
    samples.points.reserve(static_cast<std::size_t>(samples.rows) * samples.columns);
    samples.normals.reserve(samples.points.capacity());
    const SurfaceGridKernel kernel(surface, grid.u, grid.v, true);
    std::vector<Vec3> points;
    std::vector<SurfaceDerivatives> derivatives;
    for (int i = 0; i < samples.rows; ++i) {
        kernel.SampleRow(i, points, derivatives);
        for (int j = 0; j < samples.columns; ++j) {
            const SurfaceDerivatives& d = derivatives[static_cast<std::size_t>(j)];
            samples.points.push_back(points[static_cast<std::size_t>(j)]);
            samples.normals.push_back(d.N);
        }
    }
    return samples;
}

} // namespace trackexport
