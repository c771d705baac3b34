#include "design/ChannelEditing.h"
#include "design/CircularSurface.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

using namespace design;

constexpr int kEnd = 0, kBegin = 1;

class ChannelEditing : public ::testing::Test {
protected:
    void SetUp() override { doc.selectedSurface = a; }

    builders::NewDocument doc;
    SurfaceSection* a = doc.surfaces[0].get();
    TypeAEditor typeA{doc};
    TypeBCEditor typeBC{doc};
};

TEST_F(ChannelEditing, OnlyChannelSurfacesCanBeEdited)
{
    EXPECT_EQ(CheckChannelEditable(doc), "");
    doc.selectedSurface = nullptr;
    EXPECT_EQ(CheckChannelEditable(doc), kSelectSurfaceToEdit);
    doc.selectedSurface = CreateCircularSurface(doc, "ring", kHalf, 4, 3, 1.0, 3.0);
    EXPECT_EQ(CheckChannelEditable(doc), kOnlyChannelSurfaces);
    EXPECT_EQ(typeA.Open(), kOnlyChannelSurfaces);
    EXPECT_EQ(typeA.surface(), nullptr);
}

TEST_F(ChannelEditing, TypeATurnIsStoredInRadiansAndShownAtOnce)
{
    const Vec3 finalBefore = a->finalDirection;
    ASSERT_EQ(typeA.Open(), "");
    typeA.SetPerform(TypeAGroup::HorizontalTurn, true);
    typeA.SetAngleDegrees(TypeAGroup::HorizontalTurn, 90);
    EXPECT_EQ(a->horizontalTurn.angle, 90.0 / 360.0 * 2.0 * 3.14159265359);
    EXPECT_EQ(TypeAEditor::ShownDegrees(a->horizontalTurn.angle), 90);
    EXPECT_EQ(TypeAEditor::ShownDegrees(89.9 / 360.0 * kTwoPi), 89);
    // The sections follow at once: a quarter turn to the right.
    EXPECT_NEAR(dot(a->finalDirection, finalBefore), 0.0, 1e-9);
    EXPECT_TRUE(typeA.modified());
    EXPECT_EQ(a->showControlLines, 1);
    EXPECT_TRUE(a->editingSections);
}

TEST_F(ChannelEditing, TypeACloseWithoutSaveRestoresTheBlock)
{
    const auto sections = a->sections;
    a->coloring = Coloring::Height;
    ASSERT_EQ(typeA.Open(), "");
    typeA.SetPerform(TypeAGroup::VerticalTurn, true);
    typeA.SetSense(TypeAGroup::VerticalTurn, true);
    typeA.SetAngleDegrees(TypeAGroup::VerticalTurn, 45);
    typeA.SetPerform(TypeAGroup::HorizontalDisplacement, true);
    typeA.SetDistance(TypeAGroup::HorizontalDisplacement, 30);
    typeA.Close();
    EXPECT_FALSE(a->verticalTurn.perform);
    EXPECT_EQ(a->verticalTurn.angle, 0.0);
    EXPECT_EQ(a->horizontalDisplacement.distance, 16.0);
    for (int i = 0; i < a->sectionCount; ++i) expectVecNear(a->sections[i].position, sections[i].position, 1e-12);
    EXPECT_EQ(a->coloring, Coloring::Height);
    EXPECT_FALSE(a->editingSections);
    EXPECT_NE(a->boxTree, nullptr);
}

TEST_F(ChannelEditing, TypeASaveThenCloseBreaksEveryAttachment)
{
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    builders::linkSites(*a, kEnd, *b, kBegin);
    builders::linkSites(*a, kBegin, *b, kEnd);
    doc.selectedSurface = a;
    ASSERT_EQ(typeA.Open(), "");
    typeA.SetPerform(TypeAGroup::AxisRotation, true);
    typeA.SetAngleDegrees(TypeAGroup::AxisRotation, 30);
    typeA.Save();
    typeA.SetAngleDegrees(TypeAGroup::AxisRotation, 60); // after the save: dropped on close
    typeA.Close();
    for (const AttachmentSite& site : a->attachmentSites) EXPECT_TRUE(site.isFree());
    for (const AttachmentSite& site : b->attachmentSites) EXPECT_TRUE(site.isFree());
    EXPECT_DOUBLE_EQ(a->axisRotation.angle, 30.0 / 360.0 * kTwoPi);
    EXPECT_NE(a->boxTree, nullptr);
}

TEST_F(ChannelEditing, ASurfaceIsEditedByOneEditorAtATime)
{
    a->coloring = Coloring::Height;
    const DisplaySettings shown = SaveDisplaySettings(*a);
    TypeAEditor first(doc);
    ASSERT_EQ(first.Open(), "");
    TypeAEditor second(doc);
    SectionTransformEditor sections(doc);
    EXPECT_EQ(second.Open(), kSurfaceBeingEdited);
    EXPECT_EQ(sections.Open(), kSurfaceBeingEdited);
    EXPECT_EQ(sections.surface(), nullptr);
    EXPECT_TRUE(first.StillEditing());
    first.Close();
    const DisplaySettings after = SaveDisplaySettings(*a);
    EXPECT_TRUE(std::equal(std::begin(after.values), std::end(after.values), std::begin(shown.values)));
    EXPECT_EQ(after.coloring, Coloring::Height);
    EXPECT_FALSE(a->editingSections);
    // Free again once the first editor has closed.
    ASSERT_EQ(sections.Open(), "");
    sections.Close();
}

TEST_F(ChannelEditing, TheDialogSaysWhichLinksASaveBreaks)
{
    EXPECT_EQ(DetachNotice(*a), "");
    SurfaceSection* turn1 = doc.CreateChannelSurface("turn1", 5, 2);
    SurfaceSection* turn3 = doc.CreateChannelSurface("turn3", 5, 2);
    builders::linkSites(*a, kEnd, *turn3, kBegin);
    builders::linkSites(*a, kBegin, *turn1, kEnd);
    EXPECT_EQ(DetachNotice(*a), "Closing after Save detaches this surface from: turn1 (begin), turn3 (end)");
}

TEST_F(ChannelEditing, TypeBTakesTheOppositeOfAnotherEndAndTypeCPositions)
{
    SurfaceSection* x = doc.CreateChannelSurface("x", 5, 2);
    x->surfaceType = kTypeB;
    x->finalDirection = {0, 0, 1};
    x->Regenerate(false);
    a->surfaceType = kTypeB;
    doc.selectedSurface = a;
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    ASSERT_EQ(typeBC.ApplyAndSave({2, x, true}, {}), "");
    expectVecNear(a->initialDirection, -x->finalDirection, 1e-9);
    expectVecNear(a->sections[0].direction, {0, 0, -1}, 1e-9);
    EXPECT_TRUE(typeBC.saved());
    typeBC.Close();

    a->surfaceType = kTypeC;
    ASSERT_EQ(typeBC.Open(kTypeC), "");
    ASSERT_EQ(typeBC.ApplyAndSave({}, {}, {}, {1, x, false}), "");
    expectVecNear(a->finalPosition, x->initialPosition, 1e-12);
    expectVecNear(a->sections[a->sectionCount - 1].position, x->initialPosition, 1e-12);
}

TEST_F(ChannelEditing, ApplyAndSaveRefusalsComeInOrderAndChangeNothing)
{
    a->surfaceType = kTypeC;
    const Vec3 before = a->initialDirection;
    ASSERT_EQ(typeBC.Open(kTypeC), "");
    EXPECT_EQ(typeBC.ApplyAndSave({1, nullptr}, {2, nullptr}, {1, nullptr}, {1, nullptr}), kInitialDirectionsSource);
    EXPECT_EQ(typeBC.ApplyAndSave({0, nullptr}, {2, nullptr}, {1, nullptr}), kFinalDirectionsSource);
    EXPECT_EQ(typeBC.ApplyAndSave({}, {}, {2, nullptr}, {1, nullptr}), kInitialPositionSource);
    EXPECT_EQ(typeBC.ApplyAndSave({}, {}, {}, {1, nullptr}), kFinalPositionSource);
    EXPECT_FALSE(typeBC.saved());
    expectVecNear(a->initialDirection, before, 0.0);
    typeBC.Close();
    // Type B has no position choices.
    a->surfaceType = kTypeB;
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    EXPECT_EQ(typeBC.ApplyAndSave({}, {}, {1, nullptr}, {1, nullptr}), "");
}

TEST_F(ChannelEditing, TypeBCloseAfterApplyBreaksLinks)
{
    SurfaceSection* x = doc.CreateChannelSurface("x", 5, 2);
    builders::linkSites(*a, kEnd, *x, kBegin);
    a->surfaceType = kTypeB;
    doc.selectedSurface = a;
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    typeBC.Close();
    EXPECT_EQ(a->attachmentSites[kEnd].otherSurface, x);
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    ASSERT_EQ(typeBC.ApplyAndSave({}, {}), "");
    typeBC.Close();
    EXPECT_TRUE(a->attachmentSites[kEnd].isFree());
    EXPECT_TRUE(x->attachmentSites[kBegin].isFree());
}

} // namespace

TEST_F(ChannelEditing, IntermediateCountResizesTheNetAndCloseRestoresIt)
{
    a->sections[a->sectionCount - 1].points[1].y = 0.75; // a shaped last cross section
    const int before = a->sectionCount;
    ASSERT_EQ(typeA.Open(), "");
    EXPECT_EQ(typeA.SetIntermediateCount(kIntermediateHigh + 1), IntegerRangePrompt(0, 20));
    EXPECT_EQ(typeA.SetIntermediateCount(-1), IntegerRangePrompt(0, 20));
    EXPECT_FALSE(typeA.modified());
    ASSERT_EQ(typeA.SetIntermediateCount(20), "");
    EXPECT_EQ(a->sectionCount, kMaxSections);
    EXPECT_TRUE(typeA.modified());
    // The cross sections added take the last one's shape.
    EXPECT_EQ(a->sections[kMaxSections - 1].points[1].y, 0.75);
    EXPECT_EQ(a->sections[kMaxSections - 1].pointCount, a->sections[0].pointCount);
    ASSERT_EQ(typeA.SetIntermediateCount(0), "");
    EXPECT_EQ(a->sectionCount, 4);
    typeA.Close();
    EXPECT_EQ(a->intermediateCount, 2);
    EXPECT_EQ(a->sectionCount, before);
    EXPECT_NE(a->boxTree, nullptr);
}

TEST_F(ChannelEditing, TypeBIntermediateCountIsKeptOnlyAfterApply)
{
    a->surfaceType = kTypeB;
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    ASSERT_EQ(typeBC.SetIntermediateCount(6), "");
    EXPECT_EQ(a->sectionCount, 10);
    typeBC.Close();
    EXPECT_EQ(a->sectionCount, 6);
    ASSERT_EQ(typeBC.Open(kTypeB), "");
    ASSERT_EQ(typeBC.SetIntermediateCount(6), "");
    ASSERT_EQ(typeBC.ApplyAndSave({}, {}), "");
    typeBC.Close();
    EXPECT_EQ(a->intermediateCount, 6);
    EXPECT_EQ(a->sectionCount, 10);
}

TEST_F(ChannelEditing, AnEditorForgetsASurfaceThatLeftTheDocument)
{
    ASSERT_EQ(typeA.Open(), "");
    EXPECT_TRUE(typeA.StillEditing());
    EXPECT_TRUE(SurfaceInDocument(doc, a));
    SurfaceSection* b = doc.CreateChannelSurface("b", 5, 2);
    EXPECT_TRUE(SurfaceInDocument(doc, b));
    doc.OnNewDocument(); // every surface replaced, perhaps at the same addresses
    EXPECT_FALSE(typeA.StillEditing());
    EXPECT_EQ(typeA.surface(), nullptr);
    typeA.SetPerform(TypeAGroup::HorizontalTurn, true); // nothing to change
    typeA.Close();
    EXPECT_FALSE(SurfaceInDocument(doc, nullptr));
}
