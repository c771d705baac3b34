#include "design/AttachmentSites.h"
#include "design/Groups.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

using namespace design;

namespace {

// "a" and "b" in "main", "a" (again) and "c" in "track"; a.end - b.begin,
// b.end - c.begin across the groups, and the second "a" has "a" of main as a
// pseudo surface.
struct TrackFixture : ::testing::Test {
    builders::TrackDocument doc;
    SurfaceSection *a = doc.surfaces[0].get(), *b = doc.surfaces[1].get(), *a2 = doc.surfaces[2].get(),
                   *c = doc.surfaces[3].get();
    SurfaceGroup *main = FindGroup(doc, "main"), *track = FindGroup(doc, "track");
};

} // namespace

// The names each command writes into links, groups and the ball start are
// checked here; that names find their surfaces again when a document is read
// is the document open test's.
TEST_F(TrackFixture, GroupButtonsRefuseInOrderAndChangeNothing)
{
    EXPECT_EQ(CreateGroupButton(doc, ""), "The group name must not be blank.");
    EXPECT_EQ(CreateGroupButton(doc, "track"), "There is already a group with this name.  Choose another name.");
    EXPECT_EQ(CreateGroupButton(doc, std::string(50, 'g')), "Please enter no more than 49 characters.");
    EXPECT_EQ(RenameGroupButton(doc, nullptr, "x"), "Select a group to rename.");
    EXPECT_EQ(RenameGroupButton(doc, main, "x"), "You cannot rename this group.");
    EXPECT_EQ(RenameGroupButton(doc, track, ""), "The group name must not be blank.");
    EXPECT_EQ(RenameGroupButton(doc, track, "main"), "There is already a group with this name.  Choose another name.");
    EXPECT_EQ(DeleteGroupButton(doc, nullptr), "Select a group in in the left tree view to delete.");
    EXPECT_EQ(DeleteGroupButton(doc, main), "You cannot delete this group.");
    EXPECT_EQ(AddSurfaceToGroupButton(doc, a, nullptr), "Select a group in the left tree view to add the surface to.");
    EXPECT_EQ(AddSurfaceToGroupButton(doc, nullptr, track),
              "Select a surface in the right tree view to remove from its group.");
    EXPECT_EQ(AddSurfaceToGroupButton(doc, a, track), "A surface with that name already exists in that group.");
    EXPECT_EQ(DeleteSurfaceButton(doc, nullptr), "Select a surface to delete.");
    EXPECT_EQ(doc.groups.size(), 2u);
    EXPECT_EQ(doc.surfaces.size(), 4u);
    EXPECT_EQ(textOf(track->name), "track");
    EXPECT_EQ(a->group, main);

    // Group names compare case-sensitively.
    ASSERT_EQ(CreateGroupButton(doc, "Track"), "");
    EXPECT_EQ(textOf(doc.groups.back()->name), "Track");
}

TEST_F(TrackFixture, RenamingAGroupRenamesItInEveryLink)
{
    ASSERT_EQ(RenameGroupButton(doc, track, "rails"), "");
    EXPECT_EQ(textOf(c->groupName), "rails");
    EXPECT_EQ(textOf(a2->groupName), "rails");
    EXPECT_EQ(textOf(b->attachmentSites[0].otherSurfaceGroupName), "rails");
    EXPECT_EQ(AttachedSurfaceLines(*b)[0].text, "end -> [rails : c]");
}

TEST_F(TrackFixture, DeletingAGroupDeletesItsSurfacesAndFreesTheirLinks)
{
    doc.selectedSurface = c;
    ASSERT_EQ(DeleteGroupButton(doc, track), "");
    ASSERT_EQ(doc.surfaces.size(), 2u);
    EXPECT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(doc.selectedSurface, nullptr);
    const AttachmentSite& end = b->attachmentSites[0];
    EXPECT_TRUE(end.isFree());
    EXPECT_EQ(textOf(end.otherSurfaceName), "none");
    EXPECT_EQ(doc.currentGroup, main);
}

TEST_F(TrackFixture, DeletingASurfaceLeavesNothingPointingAtIt)
{
    ASSERT_EQ(DeleteSurfaceButton(doc, a), "");
    EXPECT_EQ(doc.ballStartSurface, nullptr);
    EXPECT_EQ(doc.focalSurface, nullptr);
    EXPECT_TRUE(b->attachmentSites[1].isFree());
    EXPECT_EQ(a2->attachmentSites[2].pseudoSurface, nullptr);
    EXPECT_EQ(textOf(a2->attachmentSites[2].pseudoSurfaceName), "none");
    EXPECT_EQ(main->members, (std::vector<SurfaceSection*>{b}));
    EXPECT_EQ(main->memberNames, (std::vector<std::string>{"b"}));
}

TEST_F(TrackFixture, RemovingFromAGroupPointsAtMainWithoutJoiningIt)
{
    RemoveSurfaceFromGroup(doc, *c, *track);
    EXPECT_EQ(c->group, main);
    EXPECT_EQ(textOf(c->groupName), "main");
    EXPECT_FALSE(main->contains(c));
    EXPECT_EQ(track->memberNames, (std::vector<std::string>{"a"}));
    RemoveSurfaceFromGroup(doc, *a, *track);
    EXPECT_EQ(a->group, main);
    EXPECT_TRUE(main->contains(a));
}

TEST_F(TrackFixture, MovingASurfaceCarriesItsLinks)
{
    ASSERT_EQ(AddSurfaceToGroupButton(doc, c, main), "");
    EXPECT_EQ(c->group, main);
    EXPECT_TRUE(main->contains(c));
    EXPECT_FALSE(track->contains(c));
    EXPECT_EQ(AttachedSurfaceLines(*b)[0].text, "end -> [main : c]");
}

TEST_F(TrackFixture, RenamingASurfaceRenamesItInLinksGroupAndBallStart)
{
    EXPECT_EQ(RenameSurface(doc, *a, ""), "The new surface name must not be blank.");
    EXPECT_EQ(RenameSurface(doc, *a, "b"), "A surface with that name already exists in its group.");
    EXPECT_EQ(textOf(a->name), "a");
    ASSERT_EQ(RenameSurface(doc, *a2, "b"), "");
    ASSERT_EQ(RenameSurface(doc, *a, "start"), "");
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "start");
    EXPECT_EQ(textOf(b->attachmentSites[1].otherSurfaceName), "start");
    EXPECT_EQ(textOf(a2->attachmentSites[2].pseudoSurfaceName), "start");
    EXPECT_EQ(main->memberNames, (std::vector<std::string>{"start", "b"}));
    EXPECT_EQ(track->memberNames, (std::vector<std::string>{"b", "c"}));
}
