#include "export/ExportMesh.h"

#include "surface/SurfaceSection.h"

#include <algorithm>
#include <numeric>

namespace trackexport {

namespace {

constexpr std::uint32_t kNoVertex = ~std::uint32_t{0};

// Grid nodes that are one point of the surface: the two ends of a closed
// direction, and neighbours along an edge that is drawn together into a
// point over some or all of its length.
class NodeClasses {
public:
    explicit NodeClasses(const GridSamples& s) : s_(s), parent_(s.points.size())
    {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
        tolerance_ = 1e-6 * extent();
        const int lastRow = s.rows - 1, lastColumn = s.columns - 1;
        if (lineMatches(0, 0, 1, 0, 0, lastColumn, s.rows))
            for (int i = 0; i < s.rows; ++i) join(s.index(i, 0), s.index(i, lastColumn));
        if (lineMatches(0, 0, 0, 1, lastRow, 0, s.columns))
            for (int j = 0; j < s.columns; ++j) join(s.index(0, j), s.index(lastRow, j));
        joinCoincidentNeighbours(0, 0, 0, 1, s.columns);
        joinCoincidentNeighbours(lastRow, 0, 0, 1, s.columns);
        joinCoincidentNeighbours(0, 0, 1, 0, s.rows);
        joinCoincidentNeighbours(0, lastColumn, 1, 0, s.rows);
    }

    std::size_t root(std::size_t node)
    {
        while (parent_[node] != node) node = parent_[node] = parent_[parent_[node]];
        return node;
    }

private:
    double extent() const
    {
        Vec3 low = s_.points.front(), high = low;
        for (const Vec3& p : s_.points) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        return length(high - low);
    }
    bool near(std::size_t a, std::size_t b) const { return length(s_.points[a] - s_.points[b]) <= tolerance_; }
    // Nodes (r0 + k dr, c0 + k dc) against (r1 + k dr, c1 + k dc), k < count.
    bool lineMatches(int r0, int c0, int dr, int dc, int r1, int c1, int count) const
    {
        for (int k = 0; k < count; ++k)
            if (!near(s_.index(r0 + k * dr, c0 + k * dc), s_.index(r1 + k * dr, c1 + k * dc))) return false;
        return true;
    }
    void joinCoincidentNeighbours(int r0, int c0, int dr, int dc, int count)
    {
        for (int k = 1; k < count; ++k) {
            const std::size_t previous = s_.index(r0 + (k - 1) * dr, c0 + (k - 1) * dc);
            const std::size_t node = s_.index(r0 + k * dr, c0 + k * dc);
            if (near(previous, node)) join(previous, node);
        }
    }
    void join(std::size_t a, std::size_t b) { parent_[root(b)] = root(a); }

    const GridSamples& s_;
    std::vector<std::size_t> parent_;
    double tolerance_ = 0.0;
};

// Emits vertices on first use, one per node class.
class VertexTable {
public:
    VertexTable(const GridSamples& s, ExportMesh& mesh) : s_(s), classes_(s), vertexOf_(s.points.size(), kNoVertex),
                                                          mesh_(mesh)
    {
    }

    std::uint32_t vertex(int row, int column)
    {
        const std::size_t node = classes_.root(s_.index(row, column));
        if (vertexOf_[node] == kNoVertex) {
            vertexOf_[node] = static_cast<std::uint32_t>(mesh_.positions.size());
            mesh_.positions.push_back(s_.points[node]);
            mesh_.normals.emplace_back();
        }
        mesh_.normals[vertexOf_[node]] += s_.normal(row, column);
        return vertexOf_[node];
    }

private:
    const GridSamples& s_;
    NodeClasses classes_;
    std::vector<std::uint32_t> vertexOf_;
    ExportMesh& mesh_;
};

bool hasRepeatedCorner(const Triangle& t) { return t[0] == t[1] || t[1] == t[2] || t[0] == t[2]; }

// Per-vertex normals from the summed node normals; where those cancel out (a
// point the surface has no tangent plane at), from the faces around it.
void finishNormals(ExportMesh& mesh)
{
    std::vector<Vec3> faceSums(mesh.positions.size());
    for (const Triangle& t : mesh.triangles) {
        const Vec3& a = mesh.positions[t[0]];
        const Vec3 area = cross(mesh.positions[t[1]] - a, mesh.positions[t[2]] - a);
        for (std::uint32_t k : t) faceSums[k] += area;
    }
    for (std::size_t k = 0; k < mesh.normals.size(); ++k)
        if (normalize(mesh.normals[k]) == 0.0) mesh.normals[k] = normalized(faceSums[k]);
}

} // namespace

ExportMesh BuildSheet(const SurfaceSection& surface, const ExportGrid& grid, const GridSamples& samples)
{
    ExportMesh mesh;
    if (samples.rows < 2 || samples.columns < 2) return mesh;
    VertexTable table(samples, mesh);
    // Cell corners counter-clockwise in (u, v) face the way of Su x Sv, which
    // the normal takes unless the surface's normal is reversed.
    const bool reversed = surface.reverseNormal;
    auto add = [&](Triangle t) {
        if (reversed) std::swap(t[1], t[2]);
        if (!hasRepeatedCorner(t)) mesh.triangles.push_back(t);
    };
    for (int i = 0; i + 1 < samples.rows; ++i)
        for (int j = 0; j + 1 < samples.columns; ++j) {
            if (grid.CellCut(i, j)) continue;
            const std::uint32_t a = table.vertex(i, j), b = table.vertex(i, j + 1);
            const std::uint32_t c = table.vertex(i + 1, j + 1), d = table.vertex(i + 1, j);
            if (surface.flipDiagonals) {
                add({a, b, d});
                add({b, c, d});
            } else {
                add({a, b, c});
                add({a, c, d});
            }
        }
    finishNormals(mesh);
    return mesh;
}

} // namespace trackexport
