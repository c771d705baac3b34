#include "design/CircularSurface.h"
#include "document/OpenGLTemplateDoc.h"
#include "export/OffsetSolid.h"
#include "export/TrackExport.h"
#include "support/DocumentBuilders.h"
#include "support/SurfaceBuilders.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace trackexport;

struct Built {
    ExportGrid grid;
    GridSamples samples;
    ExportMesh mesh;
};

Built build(const SurfaceSection& s, int resolution = 1)
{
    Built b;
    b.grid = MakeExportGrid(s, resolution);
    b.samples = SampleGrid(s, b.grid);
    b.mesh = BuildSheet(s, b.grid, b.samples);
    return b;
}

double triangleArea(const ExportMesh& m, const Triangle& t)
{
    return 0.5 * length(cross(m.positions[t[1]] - m.positions[t[0]], m.positions[t[2]] - m.positions[t[0]]));
}

double sheetArea(const ExportMesh& m)
{
    double area = 0.0;
    for (const Triangle& t : m.triangles) area += triangleArea(m, t);
    return area;
}

// Six times the volume the triangles enclose, by the divergence theorem.
double signedVolume(const ExportMesh& m)
{
    double six = 0.0;
    for (const Triangle& t : m.triangles)
        six += dot(m.positions[t[0]], cross(m.positions[t[1]], m.positions[t[2]]));
    return six / 6.0;
}

// Closed and consistently oriented: each directed edge once, each with its reverse.
void expectWatertight(const ExportMesh& m)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> directed;
    for (const Triangle& t : m.triangles)
        for (int k = 0; k < 3; ++k) ++directed[{t[k], t[(k + 1) % 3]}];
    for (const auto& [edge, count] : directed) {
        ASSERT_EQ(count, 1) << "edge " << edge.first << "-" << edge.second << " runs one way twice";
        ASSERT_EQ(directed.count({edge.second, edge.first}), 1u) << "edge " << edge.first << "-" << edge.second
                                                                 << " is open";
    }
}

void expectNoDegenerateTriangles(const ExportMesh& m, double size)
{
    for (const Triangle& t : m.triangles) ASSERT_GT(triangleArea(m, t), 1e-10 * size * size);
}

StandaloneSurfaceHost host;

// A channel with walls turning right and down.
std::unique_ptr<SurfaceSection> turningChannel(COpenGLTemplateDoc&)
{
    auto s = builders::makeChannel(&host, 7, 4);
    s->horizontalTurn = {true, false, 1.5};
    s->verticalTurn = {true, true, 0.4};
    s->GenerateTypeA(true);
    s->Rebuild();
    return s;
}

TEST(ExportSheet, SamplesLieOnTheSurface)
{
    COpenGLTemplateDoc doc;
    const auto s = turningChannel(doc);
    const Built b = build(*s, 3);
    const double size = s->heightRange + length(s->finalPosition - s->initialPosition);
    for (int i = 0; i < b.grid.rows(); ++i)
        for (int j = 0; j < b.grid.columns(); ++j)
            ASSERT_LE(length(b.samples.point(i, j) - s->EvaluatePoint(b.grid.u[j], b.grid.v[i])), 1e-5 * size);
}

class ExportSheetDensity : public ::testing::TestWithParam<int> {};

TEST_P(ExportSheetDensity, TwoTrianglesPerCellAtTheDisplayDensityTimesTheResolution)
{
    const int resolution = GetParam();
    auto s = builders::makeChannel(&host, 5, 2);
    const Built b = build(*s, resolution);
    const int columns = (s->displayColumns - 1) * resolution + 1, rows = (s->displayRows - 1) * resolution + 1;
    EXPECT_EQ(b.mesh.triangles.size(), 2u * (columns - 1) * (rows - 1));
    EXPECT_EQ(b.mesh.positions.size(), static_cast<std::size_t>(columns) * rows);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ExportSheetDensity, ::testing::Values(1, 2, 8));

TEST(ExportSheet, HolesAreCutExactlyAlongTheirEdges)
{
    auto s = builders::makeFlatFloor(&host, 5, 2);
    builders::addHole(*s, "pit", 0.3, 0.55, 0.2, 0.4537);
    s->Rebuild();
    const Built b = build(*s);
    double cutArea = 0.0;
    std::size_t kept = 0;
    for (int i = 0; i + 1 < b.grid.rows(); ++i)
        for (int j = 0; j + 1 < b.grid.columns(); ++j) {
            const double cell = (b.grid.u[j + 1] - b.grid.u[j]) * (b.grid.v[i + 1] - b.grid.v[i]);
            b.grid.CellCut(i, j) ? cutArea += cell : ++kept;
        }
    EXPECT_NEAR(cutArea, 0.25 * 0.2537, 1e-12);
    EXPECT_EQ(b.mesh.triangles.size(), 2 * kept);
}

// Solids of several shapes: flat plates (exact volume), a holed plate, a
// turning channel with walls, and a full ring closed on itself.
struct SolidCase {
    const char* name;
    std::unique_ptr<SurfaceSection> (*make)(COpenGLTemplateDoc&);
    double thickness;
    bool flat;
};

std::unique_ptr<SurfaceSection> flatPlate(COpenGLTemplateDoc&) { return builders::makeFlatFloor(&host, 5, 2); }

std::unique_ptr<SurfaceSection> holedPlate(COpenGLTemplateDoc&)
{
    auto s = builders::makeFlatFloor(&host, 6, 4);
    builders::addHole(*s, "a", 0.2, 0.4, 0.1, 0.3);
    builders::addHole(*s, "b", 0.4, 1.0, 0.5, 0.6); // reaches the edge
    s->Rebuild();
    return s;
}

std::unique_ptr<SurfaceSection> fullRing(COpenGLTemplateDoc& doc)
{
    doc.OnNewDocument();
    SurfaceSection* ring = design::CreateCircularSurface(doc, "ring", design::kFullCircle, 9, 4, 1.0, 4.0);
    auto owned = std::move(doc.surfaces.back());
    doc.surfaces.pop_back();
    EXPECT_EQ(owned.get(), ring);
    return owned;
}

class ExportSolid : public ::testing::TestWithParam<SolidCase> {};

TEST_P(ExportSolid, IsClosedOutwardAndFreeOfDegenerateTriangles)
{
    COpenGLTemplateDoc doc;
    auto s = GetParam().make(doc);
    Built b = build(*s, 2);
    const double area = sheetArea(b.mesh), thickness = GetParam().thickness;
    ASSERT_LT(thickness, FoldThickness(b.mesh));
    CloseIntoSolid(b.mesh, thickness);
    expectWatertight(b.mesh);
    expectNoDegenerateTriangles(b.mesh, std::sqrt(area));
    const double volume = signedVolume(b.mesh);
    EXPECT_GT(volume, 0.0);
    if (GetParam().flat) {
        EXPECT_NEAR(volume, area * thickness, 0.02 * area * thickness);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ExportSolid,
                         ::testing::Values(SolidCase{"flatPlate", flatPlate, 0.5, true},
                                           SolidCase{"holedPlate", holedPlate, 0.25, true},
                                           SolidCase{"turningChannel", turningChannel, 0.2, false},
                                           SolidCase{"fullRing", fullRing, 0.3, true}),
                         [](const auto& shape) { return std::string(shape.param.name); });

// A channel with a flat floor bent into a vertical loop, the ball on the
// outside: its offset goes towards the loop's centre. radius: half its height.
SurfaceSection& outsideLoop(COpenGLTemplateDoc& doc, double& radius)
{
    doc.OnNewDocument();
    SurfaceSection& s = *doc.surfaces[0];
    s.intermediateCount = 14;
    s.SizeForType(kTypeA);
    s.verticalTurn = {true, false, 2.0 * kPi};
    s.GenerateTypeA(false);
    for (int i = 0; i < s.sectionCount; ++i)
        for (int j = 0; j < s.sections[i].pointCount; ++j) s.sections[i].points[j] = {j - 2.0, 0.0, 0.0};
    s.reverseNormal = true;
    s.RebuildFromSections();
    double low = 1e9, high = -1e9;
    for (int k = 0; k <= 200; ++k) {
        const double y = s.EvaluatePoint(0.5, k / 200.0).y;
        low = std::min(low, y);
        high = std::max(high, y);
    }
    radius = 0.5 * (high - low);
    return s;
}

TEST(ExportSolid, ThicknessBeyondARingsInnerRadiusIsRefusedNamingTheLargestThatWorks)
{
    COpenGLTemplateDoc doc;
    double radius = 0.0;
    SurfaceSection& loop = outsideLoop(doc, radius);
    struct Sink : MeshSink {
        int taken = 0;
        void Take(ExportMesh) override { ++taken; }
    } sink;
    ExportSummary summary;
    ExportOptions options;
    options.scope = ExportScope::OneSurface;
    options.surfaceName = textOf(loop.name);
    options.groupName = textOf(loop.groupName);
    options.thickness = 1.1 * radius;
    const std::string refusal = BuildTrackMeshes(doc, options, sink, summary);
    EXPECT_NE(refusal.find("The surface \"main/a\" cannot be made"), std::string::npos) << refusal;
    const auto at = refusal.find("The largest thickness that works for it is ");
    ASSERT_NE(at, std::string::npos) << refusal;
    const double largest = std::stod(refusal.substr(at + 43));
    EXPECT_NEAR(largest, radius, 0.1 * radius);
    EXPECT_EQ(sink.taken, 0);
    options.thickness = 0.9 * largest;
    EXPECT_EQ(BuildTrackMeshes(doc, options, sink, summary), "");
    EXPECT_EQ(sink.taken, 1);
}

} // namespace
