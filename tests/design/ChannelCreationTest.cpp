#include "design/ChannelCreation.h"
#include "document/OpenGLTemplateDoc.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

using namespace design;

class ChannelCreation : public ::testing::Test {
protected:
    void SetUp() override { doc.OnNewDocument(); }

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

    COpenGLTemplateDoc doc;
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
}

TEST_F(ChannelCreation, NameChecksComeInOrder)
{
    expectRefused(create(""), kNameBlank);
    expectRefused(create("a"), kNameExists);
    // Names are compared exactly.
    EXPECT_TRUE(create("A").ok());
}

TEST_F(ChannelCreation, NameOfAnotherGroupIsAccepted)
{
    doc.currentGroup = doc.CreateGroup("track");
    DesignResult r = create("a");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(textOf(r.surface->groupName), "track");
}

TEST_F(ChannelCreation, TypeFollowsTheRadioButtons)
{
    EXPECT_EQ(create("none", -1).surface->surfaceType, kTypeA);
    EXPECT_EQ(create("typeA", 0).surface->surfaceType, kTypeA);
    EXPECT_EQ(create("typeB", 1).surface->surfaceType, kTypeB);
    EXPECT_EQ(create("typeC", 2).surface->surfaceType, kTypeC);
}

TEST_F(ChannelCreation, SectionCountIsIntermediatePlusFour)
{
    SurfaceSection* few = create("few", 0, 5, 0).surface;
    SurfaceSection* many = create("many", 0, 20, 20).surface;
    EXPECT_EQ(few->sectionCount, 4);
    EXPECT_EQ(many->sectionCount, 24);
    EXPECT_EQ(many->pointsPerSection, 20);
    ASSERT_EQ(few->attachmentSites.size(), 4u);
    EXPECT_EQ(textOf(few->attachmentSites[0].name), "end");
    EXPECT_EQ(textOf(few->attachmentSites[3].name), "right");
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
    // The ball keeps its start on the first surface.
    EXPECT_EQ(doc.ballStartSurface, doc.surfaces[0].get());
}

TEST(ChannelCreationEmpty, FirstSurfaceTakesTheBallStart)
{
    COpenGLTemplateDoc doc;
    doc.EnsureMainGroup();
    SurfaceSection* s = CreateChannelFromFields(doc, {"first", 0, 5, 2}).surface;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(doc.ballStartSurface, s);
    EXPECT_EQ(doc.ballStartU, 0.5);
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "first");
}

TEST_F(ChannelCreation, TwoPointSectionsSpanLinearlyAcross)
{
    SurfaceSection* s = create("thin", 0, 2).surface;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->pointsPerSection, 2);
    EXPECT_EQ(s->degreeU, 1);
    EXPECT_NE(s->boxTree, nullptr);
}

} // namespace
