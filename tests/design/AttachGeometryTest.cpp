#include "design/AttachGeometry.h"
#include "design/AttachmentSites.h"
#include "design/CircularSurface.h"
#include "geometry/Matrix4.h"
#include "support/NetPoint.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

using namespace design;

namespace {

AttachmentSite& site(SurfaceSection& s, const char* name) { return s.attachmentSites[FindSiteIndex(s, name)]; }

// A rigid motion of a surface and everything attached to it, away from the origin.
void pose(SurfaceSection& s)
{
    std::set<SurfaceSection*> visited;
    MoveSurfaceTree(&s, nullptr, visited, {7.0, -3.0, 11.0}, {1.0, 2.0, 3.0}, normalized({0.3, 1.0, 0.2}), 1.1,
                    normalized({1.0, 0.0, 0.4}), -0.6, false);
}

// The point of `other` where a ball crossing `x` of `s` at edge parameter t
// arrives, by the site's recorded partner data.
void expectSeamless(SurfaceSection& s, const AttachmentSite& x, SurfaceSection& other)
{
    for (double t : {0.0, 0.2, 0.5, 0.9, 1.0}) {
        const double p = x.reversed ? 1.0 - t : t;
        const double across = x.firstFlag ? 0.0 : 1.0;
        const double partnerAcross = x.partnerFirstFlag ? 0.0 : 1.0;
        const Vec3 here = x.sideFlag ? s.EvaluatePoint(across, t) : s.EvaluatePoint(t, across);
        const Vec3 there =
            x.partnerSideFlag ? other.EvaluatePoint(partnerAcross, p) : other.EvaluatePoint(p, partnerAcross);
        expectVecNear(here, there, 1e-4);
    }
}

// A new channel moved away from the origin, attached at its site y to site x
// of s and checked for a seamless crossing.
SurfaceSection* attachPosed(COpenGLTemplateDoc& doc, SurfaceSection& s, const char* x, const char* name, const char* y)
{
    SurfaceSection* t = doc.CreateChannelSurface(name, 5, 2);
    pose(*t);
    EXPECT_EQ(AttachSurfaceAtSite(s, site(s, x), *t, site(*t, y), false), "");
    expectSeamless(s, site(s, x), *t);
    return t;
}

struct AttachFixture : ::testing::Test {
    builders::NewDocument doc;
    SurfaceSection* S = doc.surfaces[0].get();
};

} // namespace

TEST(MakeAttachedSurfaceName, JoinsTheFirstTwentyCharactersOfEach)
{
    EXPECT_EQ(MakeAttachedSurfaceName("track", "right"), "trackright");
    EXPECT_EQ(MakeAttachedSurfaceName(std::string(25, 's'), std::string(19, 'x') + "yz"),
              std::string(20, 's') + std::string(19, 'x') + "y");
}

TEST_F(AttachFixture, AttachingMovesTheWholeTreeOfTOnceOntoS)
{
    SurfaceSection* T = doc.CreateChannelSurface("t", 5, 2);
    SurfaceSection* U = doc.CreateChannelSurface("u", 5, 3);
    SurfaceSection* V = doc.CreateChannelSurface("v", 5, 1);
    ASSERT_EQ(AttachSurfaceAtSite(*T, site(*T, "end"), *U, site(*U, "begin"), false), "");
    ASSERT_EQ(AttachSurfaceAtSite(*U, site(*U, "end"), *V, site(*V, "begin"), false), "");
    // A loop back to T: the walk must still move each surface once.
    V->attachmentSites.emplace_back("loop", SiteEdge::End, 0.0, 1.0);
    T->attachmentSites.emplace_back("loop", SiteEdge::Left, 0.0, 1.0);
    LinkSites(*V, V->attachmentSites.back(), *T, T->attachmentSites.back());
    pose(*T);
    S->flipDiagonals = 1;

    ASSERT_EQ(AttachSurfaceAtSite(*S, site(*S, "end"), *T, site(*T, "begin"), false), "");
    const int last = S->sectionCount - 1;
    for (int j = 0; j < 5; ++j) {
        expectVecNear(netPoint(*T, 0, j), netPoint(*S, last, j), 1e-4);
        expectVecNear(netPoint(*U, 0, j), netPoint(*T, T->sectionCount - 1, j), 1e-4);
        expectVecNear(netPoint(*V, 0, j), netPoint(*U, U->sectionCount - 1, j), 1e-4);
    }
    expectVecNear(normalized(T->sections[0].direction), normalized(S->sections[last].direction), 1e-9);
    EXPECT_EQ(T->flipDiagonals, 1);
    EXPECT_EQ(U->flipDiagonals, 1);
    expectVecNear(S->sections[0].position, {0.0, 0.8, 0.0}, 1e-12);
    EXPECT_EQ(site(*S, "end").otherSurface, T);
    EXPECT_EQ(site(*T, "begin").reversed, 0);
    expectSeamless(*S, site(*S, "end"), *T);
}

TEST_F(AttachFixture, BeginningsFaceEachOtherAndRunReversed)
{
    SurfaceSection* T = attachPosed(doc, *S, "begin", "t", "begin");
    for (int j = 0; j < 5; ++j) expectVecNear(netPoint(*T, 0, j), netPoint(*S, 0, 4 - j), 1e-4);
    expectVecNear(normalized(T->sections[0].direction), -normalized(S->sections[0].direction), 1e-9);
    expectVecNear(T->EvaluatePoint(0.5, 0.5), {-12.5, 0.0, 0.0}, 1e-4);
    EXPECT_EQ(site(*S, "begin").reversed, 1);
    // Ends facing each other, and a beginning onto an end.
    SurfaceSection* W = attachPosed(doc, *T, "end", "w", "end");
    attachPosed(doc, *S, "end", "z", "end");
    attachPosed(doc, *W, "begin", "y", "end");
}

TEST_F(AttachFixture, DifferentSectionsAreRefusedAndNothingMoves)
{
    SurfaceSection* T = doc.CreateChannelSurface("t", 5, 2);
    pose(*T);
    T->sections[0].points[0].y += 0.001;
    T->BuildNet();
    const Vec3 before = netPoint(*T, 2, 2);
    EXPECT_EQ(AttachSurfaceAtSite(*S, site(*S, "end"), *T, site(*T, "begin"), false),
              "The cross sections at the surface attachment sites must be identical.");
    T->sections[0].points[0].y -= 0.001;
    T->sections[0].scale = 1.5;
    EXPECT_EQ(AttachSurfaceAtSite(*S, site(*S, "end"), *T, site(*T, "begin"), true),
              "The cross sections at the surface attachment sites must be identical.");
    EXPECT_EQ(netPoint(*T, 2, 2).x, before.x);
    EXPECT_TRUE(site(*S, "end").isFree());
    EXPECT_TRUE(site(*T, "begin").isFree());

    T->sections[0].scale = 1.0;
    ASSERT_EQ(AttachSurfaceAtSite(*S, site(*S, "end"), *T, site(*T, "begin"), true), "");
    EXPECT_EQ(netPoint(*T, 2, 2).x, before.x);
    EXPECT_EQ(site(*T, "begin").otherSurface, S);
}

namespace {

// P grown from one of its sites: the new surface, checked for a seamless,
// upward-facing continuation.
SurfaceSection* growChecked(COpenGLTemplateDoc& doc, SurfaceSection& P, const char* siteName, int j)
{
    const std::size_t count = doc.surfaces.size();
    EXPECT_EQ(GrowSurfaceFromSite(doc, P, site(P, siteName), 1, j), "");
    EXPECT_EQ(doc.surfaces.size(), count + 1);
    SurfaceSection* N = doc.surfaces.back().get();
    expectSeamless(P, site(P, siteName), *N);
    EXPECT_GT(N->EvaluateDerivatives(0.5, 0.5).N.y, 0.99) << siteName;
    return N;
}

} // namespace

TEST_F(AttachFixture, GrowingFromAPartialEndSiteAddsTwoHolesAndJoinsSmoothly)
{
    ASSERT_EQ(DeleteSite(*S, FindSiteIndex(*S, "end")), "");
    ASSERT_EQ(AddSite(*S, "mid", SiteEdge::End, 0.25, 0.75), "");
    S->flipDiagonals = 1;
    SurfaceSection* N = growChecked(doc, *S, "mid", 2);
    EXPECT_EQ(textOf(N->name), "amid");
    EXPECT_EQ(textOf(N->groupName), "main");
    EXPECT_EQ(N->surfaceType, kTypeAttached);
    EXPECT_EQ(N->sectionCount, 5);
    EXPECT_EQ(N->flipDiagonals, 0);
    ASSERT_EQ(N->holes.size(), 2u);
    EXPECT_EQ(textOf(N->holes[0].name), "Attachment");
    EXPECT_EQ(N->holes[0].rightLeftHigh, 0.25);
    EXPECT_EQ(N->holes[1].rightLeftLow, 0.75);
    EXPECT_EQ(N->holes[1].frontBackHigh, 1.0);
    EXPECT_EQ(site(*N, "begin").low, 0.25);
    EXPECT_EQ(site(*N, "end").high, 0.75);
    EXPECT_EQ(site(*N, "begin").otherSurface, S);
    const int last = S->sectionCount - 1;
    for (int j = 0; j < 5; ++j) {
        expectVecNear(netPoint(*N, 0, j), netPoint(*S, last, j), 1e-5);
        expectVecNear(netPoint(*N, 1, j), 2.0 * netPoint(*S, last, j) - netPoint(*S, last - 1, j), 1e-5);
    }
    for (double u : {0.3, 0.5, 0.7}) {
        const Vec3 a = normalized(S->EvaluateDerivatives(u, 1.0).Sv);
        const Vec3 b = normalized(N->EvaluateDerivatives(u, 0.0).Sv);
        EXPECT_GT(dot(a, b), 1.0 - 1e-9);
    }
    // A straight edge continues straight with the last spacing.
    expectVecNear(netPoint(*N, 4, 2) - netPoint(*N, 3, 2), netPoint(*S, last, 2) - netPoint(*S, last - 1, 2), 1e-4);
}

TEST_F(AttachFixture, GrowingFromEveryEdgeKeepsTheNormalAndTheCrossing)
{
    // Flat floors, so that side edges step outwards horizontally.
    for (int i = 0; i < S->sectionCount; ++i)
        for (int j = 0; j < 5; ++j) S->sections[i].points[j] = {j - 2.0, 0.0, 0.0};
    S->BuildNet();
    S->Rebuild();
    growChecked(doc, *S, "left", 3);
    growChecked(doc, *S, "right", 1);
    growChecked(doc, *S, "begin", 0);
    SurfaceSection* ring = CreateCircularSurface(doc, "ring", kQuarter, 5, 3, 2.0, 6.0);
    growChecked(doc, *ring, "left", 1);
    growChecked(doc, *ring, "right", 2);
    growChecked(doc, *ring, "end", 2);
}

TEST_F(AttachFixture, TheThirdRowMeetsTheFurthestSecondRowPoint)
{
    // Point 4 of the end edge sticks out by one spacing: its second-row point
    // lies beyond the first trial plane, so the plane moves out to it.
    const int last = S->sectionCount - 1;
    const Vec3 step = netPoint(*S, last, 4) - netPoint(*S, last - 1, 4);
    {
        LockGuard guard(doc.geometryLock);
        S->controlNet[last][4].x += static_cast<float>(step.x);
    }
    SurfaceSection* N = growChecked(doc, *S, "end", 2);
    expectVecNear(netPoint(*N, 2, 4), netPoint(*N, 1, 4), 1e-4);
    for (int j = 0; j < 5; ++j) EXPECT_NEAR(netPoint(*N, 2, j).x, netPoint(*N, 2, 4).x, 1e-4);
}

TEST_F(AttachFixture, AnUnsuitableEdgeChangesNothing)
{
    const int last = S->sectionCount - 1;
    {
        LockGuard guard(doc.geometryLock);
        S->controlNet[last][0].x -= 2.0f * 5.0f;
    }
    EXPECT_EQ(GrowSurfaceFromSite(doc, *S, site(*S, "end"), 1, 2), kEdgeNotSuitable);
    EXPECT_EQ(doc.surfaces.size(), 1u);
    EXPECT_TRUE(site(*S, "end").isFree());
    EXPECT_EQ(doc.groups[0]->members.size(), 1u);
}

TEST_F(AttachFixture, NewChannelButtonChecksItsFields)
{
    EXPECT_EQ(DefaultDirectionIndex(*S), 4);
    EXPECT_EQ(NewChannelButton(doc, *S, nullptr, 1, 3), kSelectSiteToAttachAt);
    EXPECT_EQ(NewChannelButton(doc, *S, &site(*S, "end"), 21, 3), "Please enter an integer between 0 and 20.");
    EXPECT_EQ(NewChannelButton(doc, *S, &site(*S, "end"), 1, 6),
              "The index of the cross section which determines the initial channel directions must be less than "
              "or equal to the number of control points along the edge.");
    EXPECT_EQ(doc.surfaces.size(), 1u);
    ASSERT_EQ(NewChannelButton(doc, *S, &site(*S, "left"), 0, 6), "");
    EXPECT_EQ(doc.surfaces.back()->sectionCount, 4);
    EXPECT_EQ(textOf(doc.surfaces.back()->name), "aleft");
    // A made name that is taken in the group gets an underscore.
    ASSERT_NE(doc.CreateChannelSurface("aright", 5, 2), nullptr);
    ASSERT_EQ(NewChannelButton(doc, *S, &site(*S, "right"), 1, 3), "");
    EXPECT_EQ(textOf(doc.surfaces.back()->name), "aright_");
}

TEST_F(AttachFixture, AnIdenticalHalfCircleClosesTheRing)
{
    SurfaceSection* p = CreateCircularSurface(doc, "p", kHalf, 4, 3, 1.0, 4.0);
    ASSERT_EQ(IdenticalCircularButton(doc, *p, &site(*p, "left")), "");
    SurfaceSection* q = doc.surfaces.back().get();
    EXPECT_EQ(textOf(q->name), "pleft");
    EXPECT_EQ(q->surfaceType, kTypeCircular);
    EXPECT_EQ(doc.selectedSurface, q);
    EXPECT_EQ(site(*p, "left").otherSurface, q);
    EXPECT_EQ(site(*q, "right").otherSurface, p);
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 4; ++j) {
            const Vec3 a = netPoint(*p, k, j), b = netPoint(*q, k, j);
            expectVecNear(b, {-a.x, a.y, -a.z}, 1e-4);
        }
    expectSeamless(*p, site(*p, "left"), *q);
    for (const auto& s : doc.surfaces) EXPECT_EQ(s->render, 1);

    SurfaceSection* r = CreateCircularSurface(doc, "r", kQuarter, 3, 3, 1.0, 4.0);
    ASSERT_EQ(IdenticalCircularButton(doc, *r, &site(*r, "right")), "");
    expectSeamless(*r, site(*r, "right"), *doc.surfaces.back());
}

TEST_F(AttachFixture, OnlyPortionsThatStayWithinACircleAreCopied)
{
    SurfaceSection* p = CreateCircularSurface(doc, "p", kThreeQuarters, 5, 3, 1.0, 4.0);
    const std::size_t count = doc.surfaces.size();
    EXPECT_EQ(IdenticalCircularButton(doc, *p, &site(*p, "left")),
              "Circular surfaces can only be combined to produce a full circle, and no more.");
    EXPECT_EQ(IdenticalCircularButton(doc, *p, nullptr), kSelectSiteToAttachAt);
    SurfaceSection* third = CreateCircularSurface(doc, "third", kThird, 4, 3, 1.0, 4.0);
    EXPECT_EQ(IdenticalCircularButton(doc, *third, &site(*third, "end")), "Invalid attachment.");
    EXPECT_EQ(doc.surfaces.size(), count + 1);
}
