#include "design/Holes.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

using namespace design;

namespace {

struct HolesFixture : ::testing::Test {
    builders::NewDocument doc;
    SurfaceSection* a = doc.surfaces[0].get();
};

} // namespace

TEST_F(HolesFixture, AddHoleRunsItsChecksInOrderAndRefusalsChangeNothing)
{
    EXPECT_EQ(AddHole(*a, "", 0.3, 0.3, 0.0, 0.0), "The new hole name must not be blank.");
    ASSERT_EQ(AddHole(*a, "Attachment", 0.4, 0.6, 0.4, 0.6), "");
    EXPECT_EQ(AddHole(*a, "attachment", 0.3, 0.3, 0.1, 0.2),
              "A hole already exists for the current surface with that name.");
    EXPECT_EQ(AddHole(*a, "x", 0.3, 0.3, 0.1, 0.2), "The parameter ranges must be greater than 0.");
    EXPECT_EQ(AddHole(*a, "x", 0.1, 0.2, 0.5, 0.5), "The parameter ranges must be greater than 0.");
    EXPECT_EQ(AddHole(*a, "x", 0.3, 0.2, 0.1, 0.2),
              "The low end of each parameter range must be less than the high end.");
    EXPECT_EQ(AddHole(*a, "x", 0.2, 0.8, 0.2, 0.8), "The proposed hole would overalap the hole named Attachment.");
    EXPECT_EQ(AddHole(*a, "x", 0.2, 0.8, -0.1, 0.8), "Please enter a number between 0 and 1.");
    ASSERT_EQ(a->holes.size(), 1u);
}

TEST_F(HolesFixture, HolesOverlapOnlyWhenBothRangesOverlap)
{
    ASSERT_EQ(AddHole(*a, "first", 0.0, 0.5, 0.0, 0.5), "");
    EXPECT_EQ(AddHole(*a, "touching", 0.5, 1.0, 0.0, 0.5), "");
    EXPECT_EQ(AddHole(*a, "along", 0.6, 0.9, 0.6, 0.9), "");
    // Overlaps "first" across the channel only and "along" along it only.
    EXPECT_EQ(AddHole(*a, "between", 0.1, 0.4, 0.55, 0.7), "");
    EXPECT_EQ(AddHole(*a, "same", 0.5, 1.0, 0.0, 0.5),
              "The proposed hole would overalap the hole named touching.");
    ASSERT_EQ(a->holes.size(), 4u);
    const SurfaceHole& h = a->holes[3];
    EXPECT_EQ(textOf(h.name), "between");
    EXPECT_EQ(h.rightLeftLow, 0.1);
    EXPECT_EQ(h.frontBackHigh, 0.7);
    EXPECT_FALSE(a->drawingCache.valid[DrawingCache::kHoles]);
}

TEST_F(HolesFixture, DeleteHoleNeedsASelection)
{
    ASSERT_EQ(AddHole(*a, "pit", 0.2, 0.4, 0.2, 0.4), "");
    ASSERT_EQ(AddHole(*a, "gap", 0.6, 0.8, 0.6, 0.8), "");
    EXPECT_EQ(DeleteHole(*a, -1), "Select a hole to delete.");
    EXPECT_EQ(DeleteHole(*a, 2), "Select a hole to delete.");
    EXPECT_EQ(DeleteHole(*a, FindHoleIndex(*a, "PIT")), "");
    ASSERT_EQ(a->holes.size(), 1u);
    EXPECT_EQ(textOf(a->holes[0].name), "gap");
    EXPECT_EQ(FindHoleIndex(*a, "pit"), -1);
}
