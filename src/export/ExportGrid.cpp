#include "export/ExportGrid.h"

#include "surface/SurfaceSection.h"

#include <algorithm>

namespace trackexport {

namespace {

// Cut values of the holes in one direction, inside (0, 1), sorted, no repeats.
std::vector<double> holeCuts(const SurfaceSection& surface, bool alongU)
{
    std::vector<double> cuts;
    for (const SurfaceHole& hole : surface.holes) {
        const double ends[2] = {alongU ? hole.rightLeftLow : hole.frontBackLow,
                                alongU ? hole.rightLeftHigh : hole.frontBackHigh};
        for (double value : ends)
            if (value > 0.0 && value < 1.0) cuts.push_back(value);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

bool insideSomeHole(const SurfaceSection& surface, double u, double v)
{
    return std::any_of(surface.holes.begin(), surface.holes.end(),
                       [&](const SurfaceHole& hole) { return PointInHole(hole, u, v); });
}

} // namespace

std::vector<double> GridParameters(int displayCount, int resolution, const std::vector<double>& cuts)
{
    const int count = (std::max(displayCount, 2) - 1) * resolution + 1;
    SampleParameters walk;
    walk.Walk(2, count);
    const double gap = 1.0 / (3.0 * (count - 1));
    std::vector<double> values(cuts);
    for (int j = 0; j < count; ++j) {
        const double value = walk.u(j);
        const auto near = std::lower_bound(cuts.begin(), cuts.end(), value - gap);
        const bool givesWay = j > 0 && j < count - 1 && near != cuts.end() && *near <= value + gap;
        if (!givesWay) values.push_back(value);
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

ExportGrid MakeExportGrid(const SurfaceSection& surface, int resolution)
{
    ExportGrid grid;
    if (surface.displayColumns < 2 || surface.displayRows < 2) return grid;
    grid.u = GridParameters(surface.displayColumns, resolution, holeCuts(surface, true));
    grid.v = GridParameters(surface.displayRows, resolution, holeCuts(surface, false));
    grid.cut.reserve((grid.u.size() - 1) * (grid.v.size() - 1));
    for (int i = 0; i + 1 < grid.rows(); ++i)
        for (int j = 0; j + 1 < grid.columns(); ++j) {
            const double u = 0.5 * (grid.u[j] + grid.u[j + 1]), v = 0.5 * (grid.v[i] + grid.v[i + 1]);
            grid.cut.push_back(insideSomeHole(surface, u, v) ? 1 : 0);
        }
    return grid;
}

} // namespace trackexport
