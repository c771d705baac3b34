#include "design/AttachmentSites.h"
#include "design/Groups.h"
#include "design/Holes.h"
#include "design/PanelCommands.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

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
// "track", a.end linked to b.begin), unmodified. Every change a user makes
// marking it (scene switches aside) is pinned command by command with the
// undo history.
struct ModifiedFlag : ::testing::Test {
    TitlePeers peers;
    COpenGLTemplateDoc doc{&peers};
    SurfaceSection *a = nullptr, *b = nullptr, *c = nullptr;

    void SetUp() override
    {
        builders::fillTrackDocument(doc);
        a = doc.surfaces[0].get();
        b = doc.surfaces[1].get();
        c = doc.surfaces[3].get();
        doc.SetModifiedFlag(false);
        peers.told.clear();
    }
};

} // namespace

TEST_F(ModifiedFlag, ASceneSwitchMarksItOnce)
{
    SetDocumentSwitch(doc, &DocumentSettings::pauseOnAir, true);
    SetDocumentSwitch(doc, &DocumentSettings::pauseOnAir, true);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(peers.told, std::vector<bool>{true});
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

TEST_F(ModifiedFlag, NewOpenAndSaveClearItAndFailedOnesKeepIt)
{
    builders::TempFile file("modified");
    std::string error;
    ASSERT_EQ(AddHole(*a, "pit", 0.2, 0.4, 0.2, 0.4), "");
    EXPECT_FALSE(doc.OnSaveDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
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
