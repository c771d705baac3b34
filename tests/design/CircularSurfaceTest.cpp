#include "design/CircularSurface.h"
#include "support/NetPoint.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace design;

// Angle around the up axis, growing clockwise seen from above.
double degreesOf(const Vec3& p) { return std::atan2(p.z, p.x) * 180.0 / kPi; }

class CircularSurface : public ::testing::Test {
protected:
    DesignResult create(int portion, int points, int sections = 3, double inner = 1.0, double outer = 4.0,
                        const std::string& name = "ring")
    {
        return CreateCircularFromFields(doc, {portion, points, sections, inner, outer, name});
    }

    builders::NewDocument doc;
};

TEST(CircularPortions, ButtonsSuggestTheirCounts)
{
    CircularFields f;
    EXPECT_EQ(f.portion, kThird);
    EXPECT_EQ(f.points, 5);
    const int suggested[] = {3, 4, 5, 4, 5, 7};
    for (int p = 0; p < kPortionCount; ++p) {
        f.choosePortion(p);
        EXPECT_EQ(f.points, suggested[p]) << p;
        EXPECT_TRUE(CheckPortionPoints(p, f.points).ok()) << p;
    }
}

TEST_F(CircularSurface, ChecksComeInOrder)
{
    EXPECT_EQ(create(kQuarter, 2).refusal, "Please enter an integer between 3 and 20.");
    EXPECT_EQ(create(kQuarter, 3, 1).refusal, "Please enter an integer between 2 and 20.");
    EXPECT_EQ(create(kQuarter, 3, 3, -1.0).refusal, "Please enter a number between 0 and 10000.");
    EXPECT_EQ(create(kQuarter, 3, 3, 1.0, 0.25).refusal, "Please enter a number between 0.5 and 1000.");
    EXPECT_EQ(create(kHalf, 3, 3, 1.0, 4.0, "").refusal, kNameBlank);
    EXPECT_EQ(create(kHalf, 3, 3, 1.0, 4.0, "a").refusal, kNameExists);
    EXPECT_EQ(create(kHalf, 3).refusal, kHalfNeedsPoints);
    EXPECT_EQ(create(kThreeQuarters, 4).refusal, kThreeQuartersNeedsPoints);
    EXPECT_EQ(create(kTwoThirds, 4).refusal, kTwoThirdsNeedsPoints);
    EXPECT_EQ(create(kFullCircle, 8).refusal, kFullCircleNeedsPoints);
    EXPECT_EQ(create(kFullCircle, 10).refusal, kFullCircleNeedsPoints);
    EXPECT_EQ(create(kQuarter, 3, 3, 2.0, 2.0).refusal, kOuterRadiusTooSmall);
    // Direct calls are checked too: a half of 3 points would put its corner at infinity.
    EXPECT_EQ(CreateCircularSurface(doc, "h", kHalf, 3, 3, 1.0, 2.0), nullptr);
    EXPECT_EQ(CreateCircularSurface(doc, "f", kFullCircle, 8, 3, 1.0, 2.0), nullptr);
    EXPECT_EQ(doc.surfaces.size(), 1u);
}

// A ring and the polar places of its control points in every cross section:
// angle (degrees, clockwise seen from above) and distance from the centre in
// multiples of the section's radius, which runs from inner to outer.
struct Ring {
    const char* name;
    int portion, points, sections;
    double inner, outer;
    std::vector<double> degrees, factors;
};

std::ostream& operator<<(std::ostream& out, const Ring& r) { return out << r.name; }

const double kRoot2 = std::sqrt(2.0);
const Ring kRings[] = {
    {"HalfCornersAtRootTwo", kHalf, 4, 3, 1.0, 4.0, {0, 45, 135, 180}, {1, kRoot2, kRoot2, 1}},
    {"FullCircleOfNineCloses", kFullCircle, 9, 3, 2.0, 4.0, {0, 45, 90, 135, 180, 225, 270, 315, 360},
     {1, kRoot2, 1, kRoot2, 1, kRoot2, 1, kRoot2, 1}},
    {"ThirdCornerAtTwice", kThird, 3, 3, 1.0, 3.0, {0, 60, 120}, {1, 2, 1}},
    {"InnerRadiusZeroCollapsesTheFirstArc", kQuarter, 3, 3, 0.0, 2.0, {0, 45, 90}, {1, kRoot2, 1}},
    {"QuarterOfTwoSections", kQuarter, 3, 2, 1.0, 2.0, {0, 45, 90}, {1, kRoot2, 1}},
};

class EachRing : public CircularSurface, public ::testing::WithParamInterface<Ring> {};

TEST_P(EachRing, ControlPointsLieOnTheirArcs)
{
    const Ring& ring = GetParam();
    SurfaceSection* s = create(ring.portion, ring.points, ring.sections, ring.inner, ring.outer).surface;
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->sectionCount, ring.sections);
    ASSERT_EQ(s->pointsPerSection, ring.points);
    for (int k = 0; k < ring.sections; ++k) {
        const double r = ring.inner + k * (ring.outer - ring.inner) / (ring.sections - 1);
        for (int j = 0; j < ring.points; ++j) {
            const double a = ring.degrees[j] * kPi / 180.0, f = ring.factors[j] * r;
            expectVecNear(netPoint(*s, k, j), {f * std::cos(a), 0.0, f * std::sin(a)}, r > 0.0 ? 1e-5 : 1e-12);
            EXPECT_EQ(netPoint(*s, k, j).y, 0.0);
        }
        if (s->wrapU) expectVecNear(netPoint(*s, k, 0), netPoint(*s, k, ring.points - 1), 1e-5);
    }
    expectVecNear(s->EvaluatePoint(0.0, 1.0), {ring.outer, 0.0, 0.0}, 1e-5);
    // Only the full circle wraps, and its clamped ends meet.
    EXPECT_EQ(s->wrapU, ring.portion == kFullCircle);
    if (s->wrapU) expectVecNear(s->EvaluatePoint(0.0, 0.5), s->EvaluatePoint(1.0, 0.5), 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Circular, EachRing, ::testing::ValuesIn(kRings),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(CircularSurface, RecordsAndPlacement)
{
    SurfaceSection* s = create(kQuarter, 5, 4, 1.0, 4.0, "q").surface;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->surfaceType, kTypeCircular);
    EXPECT_EQ(s->shapeParameter, kQuarter);
    EXPECT_EQ(s->intermediateCount, 4);
    EXPECT_EQ(s->shapeValue1, 1.0);
    EXPECT_EQ(s->shapeValue2, 4.0);
    EXPECT_EQ(s->attachmentSites.size(), 4u);
    EXPECT_EQ(textOf(s->groupName), "main");
    // Each section is centred at the origin, facing the middle of the arc.
    for (int k = 0; k < 4; ++k) {
        expectVecNear(s->sections[k].position, {0, 0, 0}, 0.0);
        EXPECT_NEAR(degreesOf(s->sections[k].direction), 45.0, 1e-9);
        EXPECT_EQ(s->sections[k].pointCount, 5);
    }
    // The records rebuild the same net.
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 5; ++j) expectVecNear(s->SectionPointToWorld(k, j), netPoint(*s, k, j), 1e-5);
    EXPECT_EQ(doc.selectedSurface, s);
    EXPECT_EQ(s->render, 1);
    EXPECT_EQ(doc.surfaces[0]->render, 0);
}

} // namespace
