#include "design/AttachmentSites.h"
#include "design/CircularSurface.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

using namespace design;

namespace {

// A new document whose surface "a" has no sites yet.
struct SitesFixture : ::testing::Test {
    builders::NewDocument doc;
    SurfaceSection* a = doc.surfaces[0].get();
    void SetUp() override { a->attachmentSites.clear(); }
};

std::string overlapping(const char* name)
{
    return std::string("The proposed attachment site would overlap the site named ") + name + ".";
}

} // namespace

TEST_F(SitesFixture, AddSiteRunsItsChecksInOrderAndRefusalsChangeNothing)
{
    EXPECT_EQ(AddSite(*a, "", SiteEdge::Begin, 0.5, 0.5), "The new site name must not be blank.");
    ASSERT_EQ(AddSite(*a, "left", SiteEdge::Left, 0.2, 0.5), "");
    EXPECT_EQ(AddSite(*a, "LEFT", SiteEdge::Right, 0.5, 0.5),
              "A site already exists for the current surface with that name.");
    EXPECT_EQ(AddSite(*a, "x", SiteEdge::Left, 0.3, 0.3), "The parameter range must be greater than 0.");
    EXPECT_EQ(AddSite(*a, "x", SiteEdge::Left, 0.4, 0.3),
              "The low end of the parameter range must be less than the high end.");
    EXPECT_EQ(AddSite(*a, "x", SiteEdge::Left, 0.4, 0.6), overlapping("left"));
    EXPECT_EQ(AddSite(*a, "x", SiteEdge::Left, 0.0, 1.5), "Please enter a number between 0 and 1.");
    EXPECT_EQ(AddSite(*a, "twentycharactername1", SiteEdge::Left, 0.6, 0.7),
              "Please enter no more than 19 characters.");
    ASSERT_EQ(a->attachmentSites.size(), 1u);
}

TEST_F(SitesFixture, TouchingRangesAndOtherEdgesDoNotOverlap)
{
    ASSERT_EQ(AddSite(*a, "one", SiteEdge::End, 0.2, 0.5), "");
    EXPECT_EQ(AddSite(*a, "two", SiteEdge::End, 0.5, 0.8), "");
    EXPECT_EQ(AddSite(*a, "three", SiteEdge::End, 0.0, 0.2), "");
    EXPECT_EQ(AddSite(*a, "same", SiteEdge::Begin, 0.2, 0.5), "");
    EXPECT_EQ(AddSite(*a, "inside", SiteEdge::End, 0.3, 0.4), overlapping("one"));
    EXPECT_EQ(AddSite(*a, "equal", SiteEdge::End, 0.5, 0.8), overlapping("two"));
    EXPECT_EQ(AddSite(*a, "around", SiteEdge::End, 0.1, 0.9), overlapping("one"));
    ASSERT_EQ(a->attachmentSites.size(), 4u);
    const AttachmentSite& added = a->attachmentSites[1];
    EXPECT_TRUE(added.isFree());
    EXPECT_EQ(textOf(added.otherSurfaceName), "none");
    EXPECT_EQ(added.edge(), SiteEdge::End);
    EXPECT_EQ(SiteListLine(added), "two   [end, 0.50, 0.80]");
}

TEST_F(SitesFixture, DeleteSiteNeedsASelectionAndFreesTheLinkedPartner)
{
    a->AddDefaultSites();
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    ASSERT_TRUE(AttachSurfaces(doc, {a, &a->attachmentSites[0], b, &b->attachmentSites[1], true, nullptr}).ok());
    EXPECT_EQ(DeleteSite(*a, -1), "Select a site to delete.");
    EXPECT_EQ(DeleteSite(*a, 4), "Select a site to delete.");
    EXPECT_EQ(DeleteSite(*a, 0), "");
    EXPECT_EQ(FindSiteIndex(*a, "end"), -1);
    EXPECT_TRUE(b->attachmentSites[1].isFree());
    EXPECT_EQ(textOf(b->attachmentSites[1].otherSurfaceName), "none");
    EXPECT_TRUE(AttachedSurfaceLines(*b).empty());
}

TEST_F(SitesFixture, LinkSitesRecordsNamesRangesAndParameterDirection)
{
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    struct Case {
        SiteEdge a, b;
        bool reversed;
    };
    // A beginning joined to an end runs the same way, like an end joined to a beginning.
    const Case cases[] = {{SiteEdge::Left, SiteEdge::Begin, false}, {SiteEdge::Right, SiteEdge::Begin, true},
                          {SiteEdge::Begin, SiteEdge::Begin, true}, {SiteEdge::End, SiteEdge::Begin, false},
                          {SiteEdge::End, SiteEdge::End, true},     {SiteEdge::Begin, SiteEdge::End, false},
                          {SiteEdge::End, SiteEdge::Left, false}};
    for (const Case& c : cases) {
        AttachmentSite x("x", c.a, 0.2, 0.7), y("y", c.b, 0.0, 1.0);
        x.partnerSideFlag = y.sideFlag;
        x.partnerFirstFlag = y.firstFlag;
        y.partnerSideFlag = x.sideFlag;
        y.partnerFirstFlag = x.firstFlag;
        LinkSites(*a, x, *b, y);
        SCOPED_TRACE(std::string(edgeName(c.a)) + " to " + edgeName(c.b));
        EXPECT_EQ(x.otherSurface, b);
        EXPECT_EQ(y.otherSurface, a);
        EXPECT_EQ(textOf(x.otherSurfaceName), "b");
        EXPECT_EQ(textOf(y.otherSurfaceGroupName), "main");
        EXPECT_EQ(x.reversed, c.reversed ? 1 : 0);
        EXPECT_EQ(y.reversed, x.reversed);
        EXPECT_DOUBLE_EQ(y.low, c.reversed ? 0.3 : 0.2);
        EXPECT_DOUBLE_EQ(y.high, c.reversed ? 0.8 : 0.7);
        EXPECT_EQ(x.attachedLow, 0.0);
        EXPECT_EQ(y.partnerAttachedHigh, 1.0);
    }
}

TEST_F(SitesFixture, LinkSitesJoinsTwoCircularSurfacesWholeSidesForwards)
{
    SurfaceSection* p = CreateCircularSurface(doc, "p", kQuarter, 3, 3, 1.0, 4.0);
    SurfaceSection* q = CreateCircularSurface(doc, "q", kQuarter, 3, 3, 1.0, 4.0);
    AttachmentSite x("x", SiteEdge::Right, 0.2, 0.4), y("y", SiteEdge::Left, 0.5, 0.6);
    LinkSites(*p, x, *q, y);
    EXPECT_EQ(x.reversed + y.reversed, 0);
    EXPECT_EQ(x.low + y.low, 0.0);
    EXPECT_EQ(x.high + y.high, 2.0);
}

TEST_F(SitesFixture, BreakAttachmentFreesBothSitesAndDropsTheLine)
{
    a->AddDefaultSites();
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    SurfaceSection* c = doc.CreateChannelSurface("c", 5, 2);
    AttachmentSite& x = a->attachmentSites[0];
    AttachmentSite& y = b->attachmentSites[1];
    ASSERT_TRUE(AttachSurfaces(doc, {a, &x, b, &y, true, c}).ok());
    ASSERT_EQ(AttachedSurfaceLines(*a).size(), 1u);
    EXPECT_EQ(AttachedSurfaceLines(*a)[0].text, "end -> [main : b], *[main : c]");
    EXPECT_EQ(AttachedSurfaceLines(*b)[0].text, "begin -> [main : a]");

    EXPECT_EQ(BreakAttachment(*a, 1), "Select the attached surface which you would like to detach.");
    EXPECT_EQ(BreakAttachment(*a, 0), "");
    EXPECT_TRUE(x.isFree());
    EXPECT_TRUE(y.isFree());
    EXPECT_EQ(textOf(y.otherSurfaceName), "none");
    EXPECT_EQ(x.pseudoSurface, c);
    EXPECT_EQ(x.partnerFirstFlag, 1);
    EXPECT_TRUE(AttachedSurfaceLines(*a).empty());
    EXPECT_TRUE(AttachedSurfaceLines(*b).empty());
}

namespace {

// Surfaces for the attach decision table: two 5-point channels, a 7-point
// channel and two quarter circles.
struct AttachTable : ::testing::Test {
    builders::NewDocument doc;
    SurfaceSection* a = doc.surfaces[0].get();
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    SurfaceSection* wide = doc.CreateChannelSurface("wide", 7, 2);
    SurfaceSection* p = CreateCircularSurface(doc, "p", kQuarter, 5, 3, 1.0, 4.0);
    SurfaceSection* q = CreateCircularSurface(doc, "q", kQuarter, 5, 3, 1.0, 4.0);
    AttachmentSite* site(SurfaceSection* s, const char* name) { return &s->attachmentSites[FindSiteIndex(*s, name)]; }
    std::vector<std::string> attach(SurfaceSection* S, const char* X, SurfaceSection* T, const char* Y)
    {
        return AttachSurfaces(doc, {S, site(S, X), T, T ? site(T, Y) : nullptr, false, nullptr}).messages();
    }
};

const std::vector<std::string> kInvalid{"Invalid attachment."};

} // namespace

TEST_F(AttachTable, RefusedRowsLeaveEverySiteFree)
{
    EXPECT_EQ(attach(a, "end", nullptr, ""),
              (std::vector<std::string>{"Select a surface to attach and its attachment site.", "Invalid attachment."}));
    EXPECT_EQ(attach(a, "end", p, "left"), kInvalid);
    EXPECT_EQ(attach(a, "left", b, "begin"), kInvalid);
    EXPECT_EQ(attach(a, "end", b, "left"), kInvalid);
    EXPECT_EQ(attach(a, "end", wide, "begin"),
              (std::vector<std::string>{"You can only attach another surface at the selected site with an equal "
                                        "number of control points in the u direction.",
                                        "Invalid attachment."}));
    EXPECT_EQ(attach(p, "left", q, "begin"), kInvalid);
    EXPECT_EQ(attach(p, "left", b, "right"), kInvalid);
    EXPECT_EQ(attach(p, "begin", q, "end"), kInvalid);
    EXPECT_EQ(attach(p, "begin", b, "left"), kInvalid);
    for (SurfaceSection* s : {a, b, wide, p, q})
        for (const AttachmentSite& x : s->attachmentSites) EXPECT_TRUE(x.isFree());
}

TEST_F(AttachTable, CircularSurfacesLinkWithoutMoving)
{
    const float before = q->controlNet[0][0].x;
    ASSERT_TRUE(attach(p, "left", q, "right").empty());
    EXPECT_EQ(q->controlNet[0][0].x, before);
    EXPECT_EQ(site(p, "left")->otherSurface, q);
    EXPECT_EQ(site(q, "right")->partnerFirstFlag, 1);
    EXPECT_EQ(site(p, "left")->partnerFirstFlag, 0);

    ASSERT_TRUE(attach(p, "right", b, "begin").empty());
    EXPECT_EQ(site(b, "begin")->otherSurface, p);
    // The partner flags name the real edges, so breaking the link finds the partner.
    EXPECT_EQ(site(p, "right")->partnerFirstFlag, 1);
    ASSERT_EQ(BreakAttachment(*p, FindSiteIndex(*p, "right")), "");
    EXPECT_TRUE(site(b, "begin")->isFree());

    ASSERT_TRUE(attach(p, "end", a, "end").empty());
    EXPECT_EQ(site(a, "end")->otherSurface, p);
    for (SurfaceSection* s : {a, b, wide, p, q}) EXPECT_EQ(s->render, 1);
    // Linked sites and the surface itself are never offered again.
    EXPECT_EQ(attach(p, "end", b, "end"), kInvalid);
    EXPECT_EQ(attach(b, "end", b, "begin"), kInvalid);
    EXPECT_EQ(FreeSiteIndices(*a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(SurfaceChoiceLabel(*a), "main::a");
}
