#include "document/OpenGLTemplateDoc.h"
#include "render/EdgeClipping.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

namespace {

using render::BoundaryOf;
using render::ClipEdgeByHoles;
using render::EdgePiece;
using render::ParamPoint;

SurfaceHole hole(double u0, double u1, double v0, double v1) { return {"", u0, u1, v0, v1}; }

void expectPieces(const std::vector<EdgePiece>& actual, const std::vector<EdgePiece>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_NEAR(actual[k].t0, expected[k].t0, 1e-12) << "piece " << k;
        EXPECT_NEAR(actual[k].t1, expected[k].t1, 1e-12) << "piece " << k;
    }
}

TEST(HoleClipping, EdgesKeepTheirPartsOutsideEveryHole)
{
    const SurfaceHole middle = hole(0.4, 0.6, 0.4, 0.6);
    struct Row {
        const char* what;
        ParamPoint from, to;
        std::vector<SurfaceHole> holes;
        std::vector<EdgePiece> kept;
    };
    const Row rows[] = {
        {"away from every hole", {0.0, 0.1}, {1.0, 0.1}, {middle}, {{0.0, 1.0}}},
        {"no holes", {0.0, 0.1}, {1.0, 0.1}, {}, {{0.0, 1.0}}},
        {"through a hole", {0.0, 0.5}, {1.0, 0.5}, {middle}, {{0.0, 0.4}, {0.6, 1.0}}},
        {"through it walked the other way", {1.0, 0.5}, {0.0, 0.5}, {middle}, {{0.0, 0.4}, {0.6, 1.0}}},
        {"one end inside", {0.0, 0.5}, {0.5, 0.5}, {middle}, {{0.0, 0.8}}},
        {"diagonally, to the first border met", {0.0, 0.0}, {0.5, 0.5}, {hole(0.4, 0.6, 0.2, 0.6)}, {{0.0, 0.8}}},
        {"inside", {0.45, 0.45}, {0.55, 0.55}, {middle}, {}},
        {"along the border, which belongs to the hole", {0.4, 0.4}, {0.4, 0.6}, {middle}, {}},
        {"touching a corner only", {0.3, 0.5}, {0.5, 0.3}, {middle}, {{0.0, 1.0}}},
        {"holes taken in turn on the pieces left", {0.0, 0.5}, {1.0, 0.5},
         {hole(0.1, 0.2, 0.0, 1.0), hole(0.5, 0.6, 0.0, 1.0)}, {{0.0, 0.1}, {0.2, 0.5}, {0.6, 1.0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        expectPieces(ClipEdgeByHoles(row.from, row.to, row.holes), row.kept);
    }
}

TEST(HoleClipping, NoMoreThanTwentyPiecesAreKept)
{
    std::vector<SurfaceHole> slots;
    for (int k = 0; k < 30; ++k) slots.push_back(hole(0.01 + k * 0.03, 0.02 + k * 0.03, 0.0, 1.0));
    const auto pieces = ClipEdgeByHoles({0.0, 0.5}, {1.0, 0.5}, slots);
    ASSERT_EQ(pieces.size(), 20u);
    EXPECT_NEAR(pieces.front().t0, 0.0, 1e-12);
    for (std::size_t k = 1; k < pieces.size(); ++k) EXPECT_LT(pieces[k - 1].t1, pieces[k].t0);
}

TEST(BoundaryPieces, EdgesOnTheFourSidesAreTold)
{
    EXPECT_EQ(BoundaryOf({0.0, 0.2}, {0.0, 0.3}), SiteEdge::Left);
    EXPECT_EQ(BoundaryOf({1.0, 0.2}, {1.0, 0.3}), SiteEdge::Right);
    EXPECT_EQ(BoundaryOf({0.2, 0.0}, {0.3, 0.0}), SiteEdge::Begin);
    EXPECT_EQ(BoundaryOf({0.2, 1.0}, {0.3, 1.0}), SiteEdge::End);
    // An edge leaving the boundary, or crossing the surface, is inner.
    EXPECT_FALSE(BoundaryOf({0.0, 0.2}, {0.1, 0.2}));
    EXPECT_FALSE(BoundaryOf({0.0, 0.0}, {1.0, 1.0}));
}

TEST(BoundaryPieces, SplitValuesInsideThePieceCutItInOrder)
{
    const std::vector<EdgePiece> thirds = {{0.0, 0.25}, {0.25, 0.75}, {0.75, 1.0}};
    expectPieces(render::SplitBoundaryPiece({0.0, 0.2}, {0.0, 0.6}, SiteEdge::Left, {0.1, 0.3, 0.5, 0.6}), thirds);
    // Walked backwards along the edge, the same values come in reverse.
    expectPieces(render::SplitBoundaryPiece({0.0, 0.6}, {0.0, 0.2}, SiteEdge::Left, {0.3, 0.5}), thirds);
}

TEST(BoundaryPieces, HolesOfAnAttachedSurfaceSplitTheEdgeItIsAttachedAt)
{
    COpenGLTemplateDoc doc;
    builders::fillTrackDocument(doc); // a.end is linked to b.begin; b has the hole u 0.25..0.75, v 0.4..0.6
    SurfaceSection& a = *doc.surfaces[0];
    SurfaceSection& b = *doc.surfaces[1];
    EXPECT_TRUE(render::BoundarySplitValues(a, SiteEdge::End).empty()); // b's hole does not reach its edge
    builders::addHole(b, "mouth", 0.25, 0.75, 0.0, 0.1);
    EXPECT_EQ(render::BoundarySplitValues(a, SiteEdge::End), (std::vector<double>{0.25, 0.75}));
    EXPECT_TRUE(render::BoundarySplitValues(a, SiteEdge::Begin).empty());
    // On a reversed link the hole's range runs the other way along the site.
    a.attachmentSites[0].reversed = 1;
    a.attachmentSites[0].low = 0.5;
    EXPECT_EQ(render::BoundarySplitValues(a, SiteEdge::End), (std::vector<double>{0.625, 0.875}));
}

} // namespace
