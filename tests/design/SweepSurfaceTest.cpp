#include "design/SweepSurface.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace design;

// A U of 5 points from x = -1 to 3 and y = 0.5 to 2.5 (off-centre, so that
// every edge is told apart).
CrossSectionShape offCentreU()
{
    return ShapeFromPoints("U", {{-1, 2.5}, {-1, 0.5}, {1, 0.5}, {3, 0.5}, {3, 2.5}});
}

double angleBetween(const Vec3& a, const Vec3& b)
{
    return std::acos(std::clamp(dot(normalized(a), normalized(b)), -1.0, 1.0)) * 180.0 / kPi;
}

class SweepSurface : public ::testing::Test {
protected:
    DesignResult create(int edge, double inner = 2.0, int sections = 4, double angle = 120.0)
    {
        return CreateSweepFromFields(doc, {offCentreU(), "sweep" + std::to_string(counter++), sections, angle, inner,
                                           edge});
    }

    builders::NewDocument doc;
    int counter = 0;
};

TEST_F(SweepSurface, ChecksComeInOrder)
{
    SweepFields f;
    f.name = std::string("s");
    EXPECT_EQ(CreateSweepFromFields(doc, f).refusal, kSelectTemplate);
    f.name.clear();
    EXPECT_EQ(CreateSweepFromFields(doc, f).refusal, kNameBlank);
    f.name.push_back('a');
    f.shape = offCentreU();
    EXPECT_EQ(CreateSweepFromFields(doc, f).refusal, kNameExists);
    f.sections = 3;
    EXPECT_EQ(CreateSweepFromFields(doc, f).refusal, "Please enter an integer between 4 and 20.");
    f.sections = 4;
    f.angle = 356.0;
    EXPECT_EQ(CreateSweepFromFields(doc, f).refusal, "Please enter a number between 5 and 355.");
    EXPECT_EQ(doc.surfaces.size(), 1u);
}

TEST_F(SweepSurface, FourSectionsGiveSixRevolvedInFifths)
{
    SurfaceSection* s = create(kSweepLeft, 2.0, 4, 120.0).surface;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->surfaceType, kTypeSweep);
    EXPECT_EQ(s->sectionCount, 6);
    EXPECT_EQ(s->intermediateCount, 4);
    EXPECT_EQ(s->pointsPerSection, 5);
    for (int i = 1; i < 4; ++i)
        EXPECT_NEAR(angleBetween(s->sections[i].direction, s->sections[i + 1].direction), 24.0, 1e-9);
    // Straight unit lead-in and lead-out.
    expectVecNear(s->sections[1].position - s->sections[0].position, {0, 0, 1}, 1e-12);
    expectVecNear(s->sections[5].position - s->sections[4].position, normalized(s->sections[4].direction), 1e-12);
    expectVecNear(s->sections[5].direction, s->sections[4].direction, 0.0);
    EXPECT_EQ(textOf(s->sections[3].shapeName), "U");
    EXPECT_EQ(doc.selectedSurface, s);
    EXPECT_EQ(s->attachmentSites.size(), 4u);
}

TEST_F(SweepSurface, ChosenEdgeLiesAtTheInnerRadiusFromTheAxis)
{
    // Left and right edges (points 0 and 4 of the U) lie at it from the y
    // axis, top (y = 2.5) and bottom (y = 0.5) edges from the x axis; an
    // inner radius of zero puts the edge (points 0 and 1) on the axis.
    struct Row {
        int edge, point;
        bool aboutY;
        double inner, tolerance;
    };
    for (const Row& row : {Row{kSweepLeft, 0, true, 1.5, 1e-9}, Row{kSweepRight, 4, true, 1.5, 1e-9},
                           Row{kSweepTop, 0, false, 1.5, 1e-9}, Row{kSweepBottom, 1, false, 1.5, 1e-9},
                           Row{kSweepLeft, 1, true, 0.0, 1e-12}}) {
        SurfaceSection* s = create(row.edge, row.inner).surface;
        ASSERT_NE(s, nullptr);
        for (int i = 1; i < 5; ++i) {
            const Vec3 p = s->SectionPointToWorld(i, row.point);
            EXPECT_NEAR(std::hypot(row.aboutY ? p.x : p.y, p.z), row.inner, row.tolerance) << row.edge << " " << i;
        }
    }
}

TEST_F(SweepSurface, RightTurnsTheOtherWay)
{
    SurfaceSection* left = create(kSweepLeft).surface;
    SurfaceSection* right = create(kSweepRight).surface;
    EXPECT_GT(left->sections[2].direction.x, 0.0);
    EXPECT_LT(right->sections[2].direction.x, 0.0);
    EXPECT_NEAR(left->sections[2].direction.x, -right->sections[2].direction.x, 1e-12);
    // About a vertical axis the up vector stays; about the x axis it turns.
    expectVecNear(left->sections[4].up, {0, 1, 0}, 0.0);
    SurfaceSection* top = create(kSweepTop).surface;
    EXPECT_NEAR(angleBetween(top->sections[4].up, {0, 1, 0}), 72.0, 1e-9);
}

} // namespace
