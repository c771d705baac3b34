#include "export/OffsetSolid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace trackexport {

namespace {

std::uint64_t edgeKey(std::uint32_t from, std::uint32_t to) { return (std::uint64_t{from} << 32) | to; }

// The smallest positive root of a + b t + c t^2 (a > 0), or infinity.
double firstPositiveRoot(double a, double b, double c)
{
    constexpr double kNone = std::numeric_limits<double>::infinity();
    if (c == 0.0) return b < 0.0 ? -a / b : kNone;
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant < 0.0) return kNone;
    const double root = std::sqrt(discriminant);
    const double low = (-b - root) / (2.0 * c), high = (-b + root) / (2.0 * c);
    const double first = std::min(low, high), second = std::max(low, high);
    return first > 0.0 ? first : second > 0.0 ? second : kNone;
}

// Offset by t, a triangle's edges are e - t d; the triangle turns over when
// (e1 - t d1) x (e2 - t d2) stops facing its unmoved normal n.
double triangleFoldThickness(const ExportMesh& sheet, const Triangle& tri)
{
    const Vec3& p0 = sheet.positions[tri[0]];
    const Vec3& n0 = sheet.normals[tri[0]];
    const Vec3 e1 = sheet.positions[tri[1]] - p0, e2 = sheet.positions[tri[2]] - p0;
    const Vec3 d1 = sheet.normals[tri[1]] - n0, d2 = sheet.normals[tri[2]] - n0;
    const Vec3 n = cross(e1, e2);
    return firstPositiveRoot(dot(n, n), -dot(cross(d1, e2) + cross(e1, d2), n), dot(cross(d1, d2), n));
}

} // namespace

void CloseIntoSolid(ExportMesh& sheet, double thickness)
{
    const auto top = static_cast<std::uint32_t>(sheet.positions.size());
    const std::size_t topTriangles = sheet.triangles.size();
    std::unordered_set<std::uint64_t> edges;
    edges.reserve(3 * topTriangles);
    for (const Triangle& t : sheet.triangles)
        for (int k = 0; k < 3; ++k) edges.insert(edgeKey(t[k], t[(k + 1) % 3]));

    sheet.positions.reserve(2 * top);
    sheet.normals.reserve(2 * top);
    for (std::uint32_t k = 0; k < top; ++k) {
        sheet.positions.push_back(sheet.positions[k] - thickness * sheet.normals[k]);
        sheet.normals.push_back(-sheet.normals[k]);
    }
    sheet.triangles.reserve(2 * topTriangles + edges.size() / 4);
    for (std::size_t n = 0; n < topTriangles; ++n) {
        const Triangle t = sheet.triangles[n];
        sheet.triangles.push_back({t[0] + top, t[2] + top, t[1] + top});
        // An edge no other top triangle runs back along is open: a wall
        // runs back along it on top and forward along it below.
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t a = t[k], b = t[(k + 1) % 3];
            if (edges.count(edgeKey(b, a))) continue;
            sheet.triangles.push_back({b, a, a + top});
            sheet.triangles.push_back({b, a + top, b + top});
        }
    }
}

double FoldThickness(const ExportMesh& sheet)
{
    double thickness = std::numeric_limits<double>::infinity();
    for (const Triangle& t : sheet.triangles) thickness = std::min(thickness, triangleFoldThickness(sheet, t));
    return thickness;
}

} // namespace trackexport
