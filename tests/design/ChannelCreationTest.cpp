#include "design/ChannelCreation.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

using namespace design;

class ChannelCreation : public ::testing::Test {
protected:
    DesignResult create(const std::string& name, int type = -1, int points = 5, int intermediate = 2)
    {
        return CreateChannelFromFields(doc, {name, type, points, intermediate});
    }
    // A refusal leaves the document as it was.
    void expectRefused(const DesignResult& r, const std::string& message)
    {
        EXPECT_EQ(r.refusal, message);
        EXPECT_EQ(r.surface, nullptr);
        EXPECT_EQ(doc.surfaces.size(), 1u);
        EXPECT_EQ(doc.currentGroup->members.size(), 1u);
    }

    builders::NewDocument doc;
};

TEST_F(ChannelCreation, FieldLimitsUseTheStandardPrompts)
{
    expectRefused(create("x", 0, 1), "Please enter an integer between 2 and 20.");
    expectRefused(create("x", 0, 21), "Please enter an integer between 2 and 20.");
    expectRefused(create("x", 0, 5, 21), "Please enter an integer between 0 and 20.");
    expectRefused(create("x", 0, 5, -1), "Please enter an integer between 0 and 20.");
    expectRefused(create(std::string(50, 'n')), "Please enter no more than 49 characters.");
    EXPECT_EQ(NumberRangePrompt(0.5, 1000.0), "Please enter a number between 0.5 and 1000.");
    EXPECT_EQ(CheckNumber(std::nan(""), 0.0, 1.0), "Please enter a number between 0 and 1.");
    // The fewest points build (their net is SizeNetTest.TwoPointSectionsGetALinearSpanAcross's).
    EXPECT_TRUE(create("thin", 0, 2, 0).ok());
}

TEST_F(ChannelCreation, NamesAreCheckedInOrderExactlyAndWithinTheGroup)
{
    expectRefused(create(""), kNameBlank);
    expectRefused(create("a"), kNameExists);
    EXPECT_TRUE(create("A").ok());
    doc.currentGroup = doc.CreateGroup("track");
    DesignResult r = create("a");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(textOf(r.surface->groupName), "track");
}

TEST_F(ChannelCreation, TypeFollowsTheRadioButtons)
{
    const char* names[] = {"none", "typeA", "typeB", "typeC"};
    const int expected[] = {kTypeA, kTypeA, kTypeB, kTypeC};
    for (int type = -1; type < 3; ++type)
        EXPECT_EQ(create(names[type + 1], type).surface->surfaceType, expected[type + 1]) << type;
}

TEST_F(ChannelCreation, NewSurfaceIsSelectedFocusedAndDrawnAlone)
{
    SurfaceSection* s = create("b").surface;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(doc.selectedSurface, s);
    EXPECT_EQ(doc.focalSurface, s);
    EXPECT_EQ(doc.focalU, 0.5);
    expectVecNear(doc.focalPoint, s->EvaluatePoint(0.5, 0.5), 1e-12);
    EXPECT_EQ(doc.surfaces[0]->render, 0);
    EXPECT_EQ(s->render, 1);
}

} // namespace
