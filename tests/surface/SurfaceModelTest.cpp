#include "support/SurfaceBuilders.h"

#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

// The settings a new surface starts with, which Reset brings back.
void expectDefaults(const SurfaceSection& s)
{
    EXPECT_EQ(s.surfaceType, kTypeUntyped);
    EXPECT_EQ(s.intermediateCount, 2);
    EXPECT_EQ(s.subdivisionsU, 4);
    EXPECT_EQ(s.subdivisionsV, 4);
    EXPECT_EQ(s.fixedSamplesU, 20);
    EXPECT_EQ(s.fixedSamplesV, 20);
    EXPECT_EQ(s.coloring, Coloring::TangentAngle);
    const std::int32_t shown[] = {s.showSurfaceLines, s.showDirections, s.showAttachmentSites, s.showHoles, s.showName};
    EXPECT_TRUE(std::all_of(std::begin(shown), std::end(shown), [](std::int32_t on) { return on == 1; }));
    EXPECT_EQ(s.showSurfaceTriangles + s.showControlLines, 0);
    EXPECT_EQ(s.horizontalDisplacement.distance, 16.0);
    EXPECT_EQ(s.verticalDisplacement.distance, 16.0);
    EXPECT_EQ(s.constantColor, (Vec3{200, 200, 200}));
    EXPECT_FALSE(s.netAllocated || s.knotsAllocated);
    EXPECT_TRUE(s.holes.empty());
    EXPECT_EQ(s.boxTree, nullptr);
    EXPECT_TRUE(s.displayMesh.empty());
    EXPECT_EQ(s.collisionRows, 0);
}

TEST(SurfaceModelTest, FreshAndResetSurfacesHaveTheDefaults)
{
    StandaloneSurfaceHost host;
    SurfaceSection fresh(&host);
    expectDefaults(fresh);
    EXPECT_EQ(fresh.render.load(), 0);
    EXPECT_EQ(fresh.drawingCache.listId[0], -1);
    EXPECT_FALSE(fresh.drawingCache.valid[0].load());

    auto s = builders::makeChannel(&host);
    s->holes.push_back({});
    s->coloring = Coloring::Constant;
    s->showName = 0;
    s->Reset();
    expectDefaults(*s);
}

TEST(SurfaceModelTest, HolesAreClosedRectangles)
{
    const SurfaceHole h{"h", 0.2, 0.4, 0.5, 0.6};
    for (auto [u, v, inside] : {std::tuple{0.2, 0.5, true}, {0.4, 0.6, true}, {0.3, 0.55, true}, {0.41, 0.55, false},
                                {0.3, 0.49, false}})
        EXPECT_EQ(PointInHole(h, u, v), inside) << u << ", " << v;
}

TEST(AttachmentSiteTest, DefaultSitesAreFreeAndOnTheirEdges)
{
    SurfaceSection s;
    s.AddDefaultSites();
    ASSERT_EQ(s.attachmentSites.size(), 4u);
    const char* names[] = {"end", "begin", "left", "right"};
    const SiteEdge edges[] = {SiteEdge::End, SiteEdge::Begin, SiteEdge::Left, SiteEdge::Right};
    const int side[] = {0, 0, 1, 1}, first[] = {0, 1, 1, 0};
    for (int k = 0; k < 4; ++k) {
        const AttachmentSite& a = s.attachmentSites[k];
        EXPECT_EQ(textOf(a.name), names[k]);
        EXPECT_STREQ(edgeName(a.edge()), names[k]);
        EXPECT_EQ(a.edge(), edges[k]);
        EXPECT_EQ(a.sideFlag, side[k]);
        EXPECT_EQ(a.firstFlag, first[k]);
        EXPECT_EQ(std::vector<double>({a.low, a.high, a.attachedLow, a.attachedHigh}),
                  std::vector<double>({0.0, 1.0, 0.0, 1.0}));
        EXPECT_TRUE(a.isFree());
        EXPECT_EQ(a.reversed, 0);
        for (const std::string& other : {textOf(a.otherSurfaceName), textOf(a.otherSurfaceGroupName),
                                         textOf(a.pseudoSurfaceName), textOf(a.pseudoSurfaceGroupName)})
            EXPECT_EQ(other, "none");
    }
}

TEST(FixedTextTest, NamesAreCutToTheirBuffersAndCompareExactly)
{
    char buffer[kShortNameSize];
    setText(buffer, "a name that is far too long for twenty");
    EXPECT_EQ(textOf(buffer).size(), kShortNameSize - 1);
    setText(buffer, "Flat");
    EXPECT_TRUE(textEquals(buffer, "Flat"));
    EXPECT_FALSE(textEquals(buffer, "flat"));
    EXPECT_FALSE(textEquals(buffer, "Flat2"));
    EXPECT_EQ(buffer[kShortNameSize - 1], 0);
}

} // namespace
