#include "design/PanelCommands.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

using namespace design;

TEST(PanelCommands, BallStartTakesTheFocalSurfaceWithItsNamesOrRefusesWithoutOne)
{
    builders::TrackDocument doc;
    SurfaceSection* c = doc.surfaces[3].get();
    doc.focalSurface = c;
    doc.focalU = 0.2;
    doc.focalV = 0.7;
    EXPECT_EQ(SetBallStartAtFocalPoint(doc), "");
    EXPECT_EQ(doc.ballStartSurface, c);
    EXPECT_DOUBLE_EQ(doc.ballStartU, 0.2);
    EXPECT_DOUBLE_EQ(doc.ballStartV, 0.7);

    doc.focalSurface = nullptr;
    doc.focalU = 0.9;
    EXPECT_EQ(SetBallStartAtFocalPoint(doc), kSetFocalSurfaceFirst);
    EXPECT_EQ(doc.ballStartSurface, c);
    EXPECT_DOUBLE_EQ(doc.ballStartU, 0.2);
}

TEST(PanelCommands, ShowOnlySelectedHidesEveryOtherSurfaceAndShowAllShowsThemAgain)
{
    builders::TrackDocument doc;
    EXPECT_FALSE(ShowOnlySelected(doc));
    EXPECT_EQ(doc.surfaces[0]->render.load(), 1);
    EXPECT_EQ(doc.surfaces[2]->render.load(), 0);

    doc.selectedSurface = doc.surfaces[2].get();
    EXPECT_TRUE(ShowOnlySelected(doc));
    std::vector<int> render;
    for (const auto& s : doc.surfaces) render.push_back(s->render.load());
    EXPECT_EQ(render, (std::vector<int>{0, 0, 1, 0}));

    // That both mark the document is the undo history's (EachCommand rows
    // ShowOnlySelected, ShowAll); showing all once all are shown is no change.
    RenderAllSurfaces(doc);
    for (const auto& s : doc.surfaces) EXPECT_EQ(s->render.load(), 1);
    doc.SetModifiedFlag(false);
    RenderAllSurfaces(doc);
    EXPECT_FALSE(doc.IsModified());
}

TEST(PanelCommands, DeleteQuestionNamesTheSurfaceInUtf8)
{
    builders::NewDocument doc;
    setText(doc.surfaces[0]->name, "caf\xe9");
    EXPECT_EQ(DeleteSurfaceQuestion(*doc.surfaces[0]), "Are you sure you want to delete surface caf\xc3\xa9 ?");
}
