#include "design/AttachmentSites.h"
#include "design/ChannelEditing.h"
#include "design/CircularSurface.h"
#include "design/Groups.h"
#include "design/Holes.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "design/SurfaceLibrary.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace design;

namespace {

// Records what the window title would be told.
class TitlePeers : public DocumentPeers {
public:
    std::vector<bool> told;
    void ModifiedChanged(bool modified) override { told.push_back(modified); }
};

// The track document (surfaces "a" and "b" in "main", "a" and "c" in
// "track", a.end linked to b.begin), unmodified.
struct ModifiedFlag : ::testing::Test {
    TitlePeers peers;
    COpenGLTemplateDoc doc{&peers};
    SurfaceSection *a = nullptr, *b = nullptr, *c = nullptr;
    SurfaceGroup* track = nullptr;

    void SetUp() override
    {
        builders::fillTrackDocument(doc);
        a = doc.surfaces[0].get();
        b = doc.surfaces[1].get();
        c = doc.surfaces[3].get();
        track = FindGroup(doc, "track");
        doc.SetModifiedFlag(false);
        peers.told.clear();
    }
};

struct Change {
    const char* what;
    std::function<DesignResult(ModifiedFlag&)> run;
};

} // namespace

TEST_F(ModifiedFlag, EveryKindOfUserChangeMarksTheDocument)
{
    const Change changes[] = {
        {"add site",
         [](ModifiedFlag& f) {
             // The default site covers the whole edge.
             EXPECT_EQ(DeleteSite(*f.a, FindSiteIndex(*f.a, "left")), "");
             f.doc.SetModifiedFlag(false);
             f.peers.told.clear();
             return AddSite(*f.a, "mid", SiteEdge::Left, 0.2, 0.4);
         }},
        {"delete site", [](ModifiedFlag& f) { return DeleteSite(*f.c, FindSiteIndex(*f.c, "left")); }},
        {"add hole", [](ModifiedFlag& f) { return AddHole(*f.a, "pit", 0.2, 0.4, 0.2, 0.4); }},
        {"delete hole", [](ModifiedFlag& f) { return DeleteHole(*f.b, FindHoleIndex(*f.b, "pit")); }},
        {"break attachment", [](ModifiedFlag& f) { return BreakAttachment(*f.a, 0); }},
        {"create group", [](ModifiedFlag& f) { return CreateGroupButton(f.doc, "loops"); }},
        {"rename group", [](ModifiedFlag& f) { return RenameGroupButton(f.doc, f.track, "loops"); }},
        {"delete group", [](ModifiedFlag& f) { return DeleteGroupButton(f.doc, f.track); }},
        {"move to group", [](ModifiedFlag& f) { return AddSurfaceToGroupButton(f.doc, f.b, f.track); }},
        {"rename surface", [](ModifiedFlag& f) { return RenameSurface(f.doc, *f.b, "bend"); }},
        {"delete surface", [](ModifiedFlag& f) { return DeleteSurfaceButton(f.doc, f.b); }},
        {"create channel", [](ModifiedFlag& f) { return CreateChannelFromFields(f.doc, {"d", -1, 5, 2}); }},
        {"create circular",
         [](ModifiedFlag& f) {
             CircularFields fields;
             fields.name = "ring";
             return CreateCircularFromFields(f.doc, fields);
         }},
        {"ball start", [](ModifiedFlag& f) { return SetBallStartAtFocalPoint(f.doc); }},
        {"type A edit",
         [](ModifiedFlag& f) {
             f.doc.selectedSurface = f.a;
             TypeAEditor editor(f.doc);
             DesignResult opened = editor.Open();
             if (!opened.ok()) return opened;
             editor.SetPerform(TypeAGroup::HorizontalTurn, true);
             editor.SetAngleDegrees(TypeAGroup::HorizontalTurn, 30);
             editor.Save();
             editor.Close();
             return DesignResult::done();
         }},
        {"cross-section transform",
         [](ModifiedFlag& f) {
             f.doc.selectedSurface = f.a;
             SectionTransformEditor editor(f.doc);
             DesignResult opened = editor.Open();
             if (!opened.ok()) return opened;
             editor.SetSelection({2});
             DesignResult moved = editor.ChangeValue(TransformKind::Move, 3);
             editor.Commit();
             editor.Close();
             return moved;
         }},
        {"scene switch",
         [](ModifiedFlag& f) {
             SetDocumentSwitch(f.doc, &DocumentSettings::pauseOnAir, true);
             return DesignResult::done();
         }},
        {"surface switch",
         [](ModifiedFlag& f) {
             f.doc.selectedSurface = f.a;
             SetSurfaceColoring(f.doc, Coloring::Curvature);
             return DesignResult::done();
         }},
        {"surface render",
         [](ModifiedFlag& f) {
             f.doc.selectedSurface = f.a;
             SetSurfaceRender(f.doc, false);
             return DesignResult::done();
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        SetUp();
        ASSERT_EQ(change.run(*this), "");
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(peers.told, std::vector<bool>{true}) << "the title hears of the change once";
    }
}

TEST_F(ModifiedFlag, RefusalsAndNoChangesLeaveItClear)
{
    EXPECT_NE(AddSite(*a, "", SiteEdge::Left, 0.2, 0.4), "");
    EXPECT_NE(RenameSurface(doc, *b, ""), "");
    EXPECT_NE(DeleteSurfaceButton(doc, nullptr), "");
    EXPECT_NE(BreakAttachment(*c, FindSiteIndex(*c, "left")), "");
    SetDocumentSwitch(doc, &DocumentSettings::showBall, doc.showBall);
    doc.selectedSurface = nullptr;
    SetSurfaceSwitch(doc, &SurfaceSection::showName, 0, false);
    SetSurfaceRender(doc, false);
    EXPECT_EQ(a->showName, 1) << "no selected surface: the switch changes nothing";
    EXPECT_EQ(a->render, 1);
    doc.focalSurface = nullptr;
    EXPECT_EQ(SetBallStartAtFocalPoint(doc), kSetFocalSurfaceFirst);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(peers.told.empty());
}

TEST_F(ModifiedFlag, NewOpenAndSaveClearIt)
{
    builders::TempFile file("modified");
    std::string error;
    ASSERT_EQ(AddHole(*a, "pit", 0.2, 0.4, 0.2, 0.4), "");
    ASSERT_TRUE(doc.OnSaveDocument(file.path(), error)) << error;
    EXPECT_FALSE(doc.IsModified());

    ASSERT_EQ(RenameSurface(doc, *b, "bend"), "");
    ASSERT_TRUE(doc.OnOpenDocument(file.path(), error)) << error;
    EXPECT_FALSE(doc.IsModified());

    ASSERT_EQ(CreateGroupButton(doc, "loops"), "");
    doc.OnNewDocument();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(peers.told, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(ModifiedFlag, AFailedSaveOrOpenKeepsIt)
{
    std::string error;
    ASSERT_EQ(AddHole(*a, "pit", 0.2, 0.4, 0.2, 0.4), "");
    EXPECT_FALSE(doc.OnSaveDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
}

TEST(BallStartAtFocalPoint, TakesTheFocalSurfaceAndParameters)
{
    COpenGLTemplateDoc doc;
    builders::fillTrackDocument(doc);
    SurfaceSection* c = doc.surfaces[3].get();
    doc.focalSurface = c;
    doc.focalU = 0.25;
    doc.focalV = 0.75;
    ASSERT_EQ(SetBallStartAtFocalPoint(doc), "");
    EXPECT_EQ(doc.ballStartSurface, c);
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "c");
    EXPECT_EQ(textOf(doc.ballStartGroupName), "track");
    EXPECT_EQ(doc.ballStartU, 0.25);
    EXPECT_EQ(doc.ballStartV, 0.75);
}
