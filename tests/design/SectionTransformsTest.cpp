#include "design/CircularSurface.h"
#include "design/Groups.h"
#include "design/SectionTransforms.h"
#include "support/ReadyDocuments.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

using namespace design;

// Site indices of a new surface.
constexpr int kEnd = 0, kBegin = 1, kLeft = 2, kRight = 3;

class SectionTransforms : public ::testing::Test {
protected:
    // A channel of `intermediate` + 4 sections, selected and opened in the editor.
    SurfaceSection& open(int intermediate = 2, int points = 5)
    {
        SurfaceSection* s = intermediate == 2 && points == 5 ? doc.surfaces[0].get()
                                                             : doc.CreateChannelSurface("s", points, intermediate);
        doc.selectedSurface = s;
        EXPECT_EQ(editor.Open(), "");
        return *s;
    }

    builders::NewDocument doc;
    SectionTransformEditor editor{doc};
};

TEST(SectionTransformEditorClosed, NeedsASelectedSurfaceAndLetsGoOfOneThatLeftTheDocument)
{
    builders::NewDocument doc;
    doc.selectedSurface = nullptr;
    SectionTransformEditor editor(doc);
    EXPECT_EQ(editor.Open(), kSelectSurfaceToEdit);
    SurfaceSection* s = doc.CreateChannelSurface("s", 5, 2);
    doc.selectedSurface = s;
    ASSERT_EQ(editor.Open(), "");
    EXPECT_TRUE(editor.SurfaceInDocument());
    DeleteSurface(doc, *s);
    EXPECT_FALSE(editor.SurfaceInDocument());
    editor.Abandon();
    EXPECT_EQ(editor.surface(), nullptr);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Scale, 10), "");
    EXPECT_FALSE(editor.modified());
    editor.Revert();
    editor.Close();
    EXPECT_EQ(doc.surfaces.size(), 1u);
}

TEST_F(SectionTransforms, SplitEndPairsAreRefused)
{
    SurfaceSection& s = open(0);
    ASSERT_EQ(s.sectionCount, 4);
    editor.SetSelection({1});
    const auto before = s.sections;
    for (TransformKind kind : {TransformKind::Rotate, TransformKind::Move, TransformKind::Scale})
        EXPECT_EQ(editor.ChangeValue(kind, 30), kEndsTogether);
    EXPECT_EQ(editor.CheckEditShape(), kEndsTogether);
    for (int i = 0; i < 4; ++i) expectVecNear(s.sections[i].position, before[i].position, 0.0);
    EXPECT_FALSE(editor.modified());
    // A forward-backward move may take one of a pair.
    editor.SetMoveDirection(kMoveForwardBackward);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Move, 3), "");
}

TEST_F(SectionTransforms, EndPairsTurnOnlyAboutTheChannelAxis)
{
    SurfaceSection& s = open();
    editor.SetSelection({0, 1});
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 45), kEndsChannelAxisOnly);
    editor.SetAxis(kAxisChannel);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 90), "");
    expectVecNear(s.sections[0].direction, s.spareSections[0].direction, 1e-12);
    EXPECT_NEAR(dot(s.sections[0].up, s.spareSections[0].up), 0.0, 1e-9);
    // Interior sections turn about any axis.
    editor.SetSelection({2});
    editor.SetAxis(kAxisUpDown);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 30), "");
}

TEST_F(SectionTransforms, SubsequentChainsCannotStartAtTheLastOrSecond)
{
    open();
    editor.SetSubsequent(true);
    editor.SetSelection({5});
    for (TransformKind kind : {TransformKind::Rotate, TransformKind::Move, TransformKind::Scale})
        EXPECT_EQ(editor.ChangeValue(kind, 10), kLastNotAlone);
    editor.SetSelection({1});
    EXPECT_EQ(editor.ChangeValue(TransformKind::Scale, 10), kSecondNotAlone);
    // Several lines with subsequent on: the change is ignored.
    editor.SetSelection({2, 3});
    EXPECT_TRUE(editor.IgnoresValueChanges());
    EXPECT_EQ(editor.ChangeValue(TransformKind::Scale, 10), "");
    EXPECT_FALSE(editor.modified());
    editor.SetSelection({2});
    EXPECT_FALSE(editor.IgnoresValueChanges());
    editor.SetSubsequent(false);
    editor.SetSelection({2, 3});
    EXPECT_FALSE(editor.IgnoresValueChanges());
}

TEST_F(SectionTransforms, ScaleStepsFromTheBackup)
{
    // Negative steps halve at minus a hundred, positive ones double at a hundred.
    EXPECT_DOUBLE_EQ(ScaleFactor(-100), 0.5);
    EXPECT_DOUBLE_EQ(ScaleFactor(0), 1.0);
    EXPECT_DOUBLE_EQ(ScaleFactor(100), 2.0);
    SurfaceSection& s = open();
    editor.SetSelection({2, 3});
    ASSERT_EQ(editor.ChangeValue(TransformKind::Scale, -50), "");
    EXPECT_DOUBLE_EQ(s.sections[2].scale, 0.75);
    // The preview always starts from the backup, not from the last preview.
    ASSERT_EQ(editor.ChangeValue(TransformKind::Scale, 50), "");
    EXPECT_DOUBLE_EQ(s.sections[2].scale, 1.5);
    EXPECT_DOUBLE_EQ(s.sections[3].scale, 1.5);
    EXPECT_DOUBLE_EQ(s.sections[4].scale, 1.0);
    // The net follows at once.
    EXPECT_FLOAT_EQ(s.controlNet[2][0].x, static_cast<float>(s.SectionPointToWorld(2, 0).x));
}

TEST_F(SectionTransforms, CopyAndPasteAScale)
{
    SurfaceSection& s = open();
    editor.SetSelection({2, 3});
    EXPECT_EQ(editor.Copy(), kCopyNeedsOne);
    s.sections[3].scale = s.spareSections[3].scale = 0.6;
    editor.SetSelection({3});
    EXPECT_EQ(editor.Copy(), "");
    EXPECT_EQ(editor.clipboardScale, 0.6);
    editor.SetSelection({2});
    EXPECT_EQ(editor.Paste(), "");
    EXPECT_EQ(s.sections[2].scale, 0.6);
    // Subsequent on: every later section takes the value.
    editor.SetSubsequent(true);
    editor.SetSelection({2});
    ASSERT_EQ(editor.Paste(), "");
    for (int i = 2; i < 6; ++i) EXPECT_EQ(s.sections[i].scale, 0.6);
    EXPECT_EQ(s.sections[1].scale, 1.0);
}

TEST_F(SectionTransforms, MovesAlongTheChosenDirection)
{
    SurfaceSection& s = open();
    const Vec3 p2 = s.spareSections[2].position;
    editor.SetSelection({2});
    editor.SetMoveDirection(kMoveUpDown);
    ASSERT_EQ(editor.ChangeValue(TransformKind::Move, 4), "");
    expectVecNear(s.sections[2].position, p2 + 4.0 * normalized(s.spareSections[2].up), 1e-12);
    // The channel direction points back towards the beginning.
    editor.SetMoveDirection(kMoveChannelDirection);
    ASSERT_EQ(editor.ChangeValue(TransformKind::Move, 1), "");
    expectVecNear(s.sections[2].position, p2 + Vec3{-1, 0, 0}, 1e-12);
}

TEST_F(SectionTransforms, SubsequentRotationBendsTheChannel)
{
    SurfaceSection& s = open();
    const auto backup = s.sections;
    editor.SetSubsequent(true);
    editor.SetSelection({2});
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 90), "");
    expectVecNear(s.sections[2].position, backup[2].position, 0.0);
    for (int i = 3; i < 6; ++i) {
        // Straight on in the new direction, with the old spacing.
        const Vec3 step = s.sections[i].position - s.sections[i - 1].position;
        EXPECT_NEAR(length(step), backup[i - 1].distanceToNext, 1e-9);
        EXPECT_NEAR(dot(normalized(step), normalized(backup[i - 1].toNext)), 0.0, 1e-9);
        expectVecNear(normalized(step), normalized(s.sections[i].direction), 1e-9);
    }
    // A move shifts the whole tail.
    editor.SetMoveDirection(kMoveUpDown);
    ASSERT_EQ(editor.ChangeValue(TransformKind::Move, 2), "");
    for (int i = 0; i < 6; ++i)
        expectVecNear(s.sections[i].position, backup[i].position + (i >= 2 ? Vec3{0, 2, 0} : Vec3{}), 1e-12);
}

TEST_F(SectionTransforms, ChangingTheAxisPutsTheSectionsBack)
{
    SurfaceSection& s = open();
    const auto opening = s.sections;
    editor.SetSelection({2, 3});
    ASSERT_EQ(editor.ChangeValue(TransformKind::Rotate, 40), "");
    EXPECT_TRUE(editor.modified());
    editor.SetAxis(kAxisRightLeft);
    EXPECT_FALSE(editor.modified());
    for (int i = 0; i < 6; ++i) expectVecNear(s.sections[i].direction, opening[i].direction, 0.0);
}

TEST_F(SectionTransforms, CircularSurfacesMoveAndTurnAsAWhole)
{
    doc.selectedSurface = CreateCircularSurface(doc, "ring", kHalf, 4, 3, 1.0, 3.0);
    ASSERT_EQ(editor.Open(), "");
    editor.SetSelection({1});
    EXPECT_EQ(editor.ChangeValue(TransformKind::Move, 1), kCircularMoveRule);
    editor.SetMoveDirection(kMoveUpDown);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Move, 1), "");
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 10), kRotateAllCircular);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Scale, 10), "");
    EXPECT_EQ(editor.CheckEditShape(), kCircularShapeFixed);
    editor.SelectAll();
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 10), kCircularChannelAxisOnly);
    editor.SetAxis(kAxisChannel);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 10), "");
}

TEST_F(SectionTransforms, AttachedSurfacesKeepTheirFirstTwoSections)
{
    SurfaceSection& s = open();
    s.surfaceType = kTypeAttached;
    editor.SetSelection({0, 1});
    editor.SetAxis(kAxisChannel);
    EXPECT_EQ(editor.ChangeValue(TransformKind::Rotate, 10), kAttachedFixed);
    EXPECT_EQ(editor.CheckEditShape(), kAttachedShapeFixed);
    editor.SetSelection({});
    EXPECT_EQ(editor.CheckEditShape(), kEditShapeNeedsSelection);
}

// Surface "a" with its beginning, left and end sites linked to three others.
class SectionCommit : public SectionTransforms {
protected:
    void SetUp() override
    {
        a = &open();
        b = doc.CreateChannelSurface("b", 5, 2);
        c = doc.CreateChannelSurface("c", 5, 2);
        d = doc.CreateChannelSurface("d", 5, 2);
        builders::linkSites(*a, kBegin, *b, kEnd);
        builders::linkSites(*a, kLeft, *c, kBegin);
        builders::linkSites(*a, kEnd, *d, kBegin);
    }
    SurfaceSection *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
};

TEST_F(SectionCommit, SavingTheFirstSectionBreaksBeginningAndSides)
{
    editor.SetSelection({0, 1});
    editor.SetAxis(kAxisChannel);
    ASSERT_EQ(editor.ChangeValue(TransformKind::Rotate, 20), "");
    editor.Commit();
    EXPECT_TRUE(a->attachmentSites[kBegin].isFree());
    EXPECT_TRUE(a->attachmentSites[kLeft].isFree());
    EXPECT_EQ(textOf(a->attachmentSites[kLeft].otherSurfaceName), "none");
    EXPECT_TRUE(b->attachmentSites[kEnd].isFree());
    EXPECT_TRUE(c->attachmentSites[kBegin].isFree());
    EXPECT_EQ(a->attachmentSites[kEnd].otherSurface, d);
    EXPECT_EQ(d->attachmentSites[kBegin].otherSurface, a);
    // The commit is the new backup.
    expectVecNear(a->spareSections[0].up, a->sections[0].up, 0.0);
}

TEST_F(SectionCommit, AttachedSurfaceKeepsItsBeginningLinked)
{
    a->surfaceType = kTypeAttached;
    editor.SetSelection({2, 3, 4, 5});
    ASSERT_EQ(editor.ChangeValue(TransformKind::Scale, 20), "");
    editor.Commit();
    EXPECT_EQ(a->attachmentSites[kBegin].otherSurface, b);
    EXPECT_TRUE(a->attachmentSites[kEnd].isFree());
    EXPECT_TRUE(a->attachmentSites[kLeft].isFree());
}

TEST_F(SectionCommit, SavingWithoutAChangeKeepsTheLinks)
{
    editor.SetSelection({0, 1});
    editor.Commit();
    EXPECT_EQ(a->attachmentSites[kBegin].otherSurface, b);
    EXPECT_EQ(a->attachmentSites[kLeft].otherSurface, c);
}

TEST_F(SectionCommit, CloseKeepsWhatWasSavedAndRestoresTheDisplay)
{
    editor.Close();
    a->coloring = Coloring::Curvature;
    a->showSurfaceTriangles = 1;
    SectionTransformEditor again(doc);
    ASSERT_EQ(again.Open(), "");
    EXPECT_EQ(a->coloring, Coloring::Constant);
    EXPECT_EQ(a->showControlLines, 1);
    EXPECT_TRUE(a->editingSections);
    again.SetSelection({0, 2});
    EXPECT_EQ(a->highlightedSections.load(), 0b101u); // the preview shows the chosen sections
    again.SetSelection({2});
    ASSERT_EQ(again.ChangeValue(TransformKind::Scale, 100), "");
    again.Commit();
    ASSERT_EQ(again.ChangeValue(TransformKind::Scale, -100), ""); // previewed after the save, then dropped
    again.Close();
    EXPECT_DOUBLE_EQ(a->sections[2].scale, 2.0);
    EXPECT_EQ(a->coloring, Coloring::Curvature);
    EXPECT_EQ(a->showSurfaceTriangles, 1);
    EXPECT_EQ(a->showControlLines, 0);
    EXPECT_FALSE(a->editingSections);
    EXPECT_FALSE(a->editingShape);
    EXPECT_EQ(a->highlightedSections.load(), 0u);
    EXPECT_EQ(a->render, 1);
    ASSERT_NE(a->boxTree, nullptr);
}

} // namespace
