#include "document/DataFiles.h"
#include "document/OpenGLTemplateDoc.h"
#include "support/ReadyDocuments.h"
#include "support/RecordingPeers.h"
#include "support/ScratchDir.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using builders::TempFile;

using builders::RecordingPeers;

} // namespace

TEST(DocumentConstruction, HasDefaultsArcballAndDataFilePaths)
{
    COpenGLTemplateDoc doc;
    EXPECT_TRUE(doc.surfaces.empty());
    EXPECT_TRUE(doc.groups.empty());
    EXPECT_EQ(doc.currentGroup, nullptr);
    EXPECT_EQ(textOf(doc.mainGroupName), "main");
    EXPECT_EQ(doc.ballController.ballRadius, 0.699999988079071);
    // -120 degrees about y times -30 degrees about x.
    const unitquaternion& q = doc.ballController.rotation;
    const double c1 = std::cos(-kPi / 3), s1 = std::sin(-kPi / 3), c2 = std::cos(-kPi / 12), s2 = std::sin(-kPi / 12);
    EXPECT_NEAR(q.w, c1 * c2, 1e-9);
    expectVecNear(q.v, {c1 * s2, s1 * c2, -s1 * s2}, 1e-9);
    expectVecNear(doc.lightPositions[1], rotateVector(doc.lightPositions[0], {0, 1, 0}, kTwoPi / 3), 1e-9);
    EXPECT_EQ(doc.lightPositions[0], (Vec3{961.5, 1632.98, 0.0}));
    // The user's own data files (absolute, whatever the current directory: UserDataFiles).
    EXPECT_EQ(doc.libraryPath, LibraryFilePath());
    EXPECT_EQ(doc.templatePath, TemplateFilePath());
}

TEST(DocumentConstruction, ArcballRadiusIsClampedToItsRange)
{
    EXPECT_EQ(CBallController(5.0).ballRadius, 1.0);
    EXPECT_EQ(CBallController(0.01).ballRadius, 0.1);
    EXPECT_EQ(CBallController(0.5).ballRadius, 0.5);
}

TEST(DocumentNew, HasMainGroupAndSurfaceAAsBallStartAndFocus)
{
    RecordingPeers peers;
    COpenGLTemplateDoc doc(&peers);
    doc.OnNewDocument();
    ASSERT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(textOf(doc.groups[0]->name), "main");
    EXPECT_EQ(doc.currentGroup, doc.groups[0].get());
    ASSERT_EQ(doc.surfaces.size(), 1u);
    SurfaceSection* a = doc.surfaces[0].get();
    EXPECT_EQ(textOf(a->name), "a");
    EXPECT_EQ(textOf(a->groupName), "main");
    EXPECT_EQ(a->group, doc.groups[0].get());
    EXPECT_EQ(a->pointsPerSection, 5);
    EXPECT_EQ(a->sectionCount, 6);
    EXPECT_EQ(a->surfaceType, kTypeA);
    EXPECT_EQ(a->render, 1);
    EXPECT_EQ(a->attachmentSites.size(), 4u); // the default sites
    EXPECT_EQ(doc.groups[0]->memberNames, std::vector<std::string>{"a"});
    EXPECT_EQ(doc.ballSurface, a);
    EXPECT_EQ(doc.ballStartSurface, a);
    EXPECT_EQ(doc.focalSurface, a);
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "a");
    EXPECT_EQ(textOf(doc.ballStartGroupName), "main");
    EXPECT_EQ(doc.ballStartU, 0.5);
    EXPECT_EQ(doc.focalV, 0.5);
    expectVecNear(doc.focalPoint, a->EvaluatePoint(0.5, 0.5), 1e-12);
    EXPECT_GT(length(doc.focalDerivatives.Sv), 0.0);
    EXPECT_EQ(peers.calls.front(), "setup");
    EXPECT_EQ(peers.calls.back(), "resume");
    EXPECT_EQ(peers.count("fit"), 1);
    EXPECT_EQ(peers.count("stop"), 1);
    EXPECT_EQ(peers.count("position"), 0) << "the view's threads do not run yet";
}

TEST(DocumentNew, ResetsSettingsAndReplacesEverySurface)
{
    RecordingPeers peers;
    builders::TrackDocument doc(&peers);
    doc.selectedSurface = doc.surfaces[3].get();
    doc.viewReady = true;
    doc.OnNewDocument();
    EXPECT_EQ(doc.surfaces.size(), 1u);
    EXPECT_EQ(doc.groups.size(), 1u);
    EXPECT_FALSE(doc.showFocalPoint);
    EXPECT_EQ(doc.launchDirection, (Vec3{0.5, 0.0, 0.0}));
    EXPECT_EQ(doc.selectedSurface, nullptr);
    EXPECT_EQ(peers.count("setup"), 1) << "the setup runs once";
    EXPECT_EQ(peers.count("position"), 1);
}

TEST(DocumentOpen, ReadsTheSavedSurfacesRebuildsRelinksAndPlacesTheBallStart)
{
    builders::TrackDocument source;
    source.SetBallStart(source.surfaces[3].get(), 0.25, 0.75);
    TempFile file("open");
    std::string error;
    ASSERT_TRUE(source.OnSaveDocument(file.path(), error)) << error;

    RecordingPeers peers;
    COpenGLTemplateDoc doc(&peers);
    ASSERT_TRUE(doc.OnOpenDocument(file.path(), error)) << error;
    ASSERT_EQ(doc.surfaces.size(), 4u);
    SurfaceSection *a = doc.surfaces[0].get(), *b = doc.surfaces[1].get(), *a2 = doc.surfaces[2].get(),
                   *c = doc.surfaces[3].get();
    // The records and settings read back are the round-trip test's; every
    // surface is drawn after a load, hidden ones too.
    for (const auto& s : doc.surfaces) {
        EXPECT_EQ(s->render, 1);
        EXPECT_EQ(s->document, &doc);
    }
    // Links by (name, group): the two surfaces named "a" are told apart.
    EXPECT_EQ(a->attachmentSites[0].otherSurface, b);
    EXPECT_EQ(b->attachmentSites[1].otherSurface, a);
    EXPECT_EQ(b->attachmentSites[0].otherSurface, c);
    EXPECT_EQ(c->attachmentSites[1].otherSurface, b);
    EXPECT_EQ(a2->attachmentSites[2].pseudoSurface, a);
    EXPECT_EQ(a->attachmentSites[2].otherSurface, nullptr);
    EXPECT_EQ(doc.FindSurface("a", "track"), a2);
    EXPECT_EQ(doc.FindSurface("a", "main"), a);
    // Groups and their members.
    ASSERT_EQ(doc.groups.size(), 2u);
    EXPECT_EQ(doc.currentGroup, doc.groups[0].get());
    EXPECT_EQ(doc.groups[1]->members, (std::vector<SurfaceSection*>{a2, c}));
    EXPECT_EQ(c->group, doc.groups[1].get());
    // Derived data is rebuilt.
    EXPECT_TRUE(c->hasNet());
    ASSERT_NE(c->boxTree, nullptr);
    EXPECT_GT(c->displayColumns, 0);
    EXPECT_EQ(c->requestedPointsPerSection, 9);
    // Ball start and focus.
    EXPECT_EQ(doc.ballStartSurface, c);
    EXPECT_EQ(doc.focalSurface, c);
    EXPECT_EQ(doc.focalU, 0.25);
    EXPECT_EQ(doc.focalV, 0.75);
    EXPECT_EQ(peers.progressRange, 8);
    EXPECT_EQ(peers.progressSteps, 4);
    EXPECT_EQ(peers.count("position"), 1);
    EXPECT_EQ(peers.calls.back(), "resume");
    EXPECT_FALSE(doc.loading);
}

TEST(DocumentOpen, BallStartNamingNoSurfaceLeavesStartAndFocusNone)
{
    builders::TrackDocument source;
    setText(source.ballStartGroupName, "elsewhere");
    COpenGLTemplateDoc doc;
    std::string error;
    ASSERT_TRUE(doc.OpenDocumentBytes(source.SerializeDocument(), "nostart.mwk", error)) << error;
    EXPECT_EQ(doc.ballStartSurface, nullptr);
    EXPECT_EQ(doc.focalSurface, nullptr);
    EXPECT_EQ(textOf(doc.ballStartGroupName), "elsewhere");
}

TEST(DocumentOpen, FileWithoutGroupsGetsTheMainGroup)
{
    COpenGLTemplateDoc empty;
    builders::NewDocument doc;
    std::string error;
    ASSERT_TRUE(doc.OpenDocumentBytes(empty.SerializeDocument(), "empty.mwk", error)) << error;
    EXPECT_TRUE(doc.surfaces.empty());
    ASSERT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(doc.currentGroup, doc.groups[0].get());
    EXPECT_EQ(textOf(doc.groups[0]->name), "main");
    EXPECT_EQ(doc.ballSurface, nullptr);
}

// That a directory or other file that is not regular is refused and kept is
// WriteTest.TargetsThatAreNotRegularFilesAreRefusedAndKept's.
TEST(DocumentSave, AFailedSaveNamesTheFileAndLeavesNothingBehind)
{
    const builders::Scratch dir;
    builders::NewDocument doc;
    std::string error;
    EXPECT_FALSE(doc.OnSaveDocument(dir.file("missing/x.mwk"), error));
    EXPECT_NE(error.find("missing/x.mwk"), std::string::npos);
    EXPECT_EQ(dir.entries(), 0);

    ASSERT_TRUE(doc.OnSaveDocument(dir.file("kept.mwk"), error)) << error;
    EXPECT_EQ(std::filesystem::file_size(dir.file("kept.mwk")), 3472u);
}

TEST(DocumentEmptying, ClosingPausesDestroysEverythingAndForgetsTheReferences)
{
    RecordingPeers peers;
    builders::TrackDocument doc(&peers);
    doc.selectedSurface = doc.surfaces[1].get();
    peers.calls.clear();
    doc.OnCloseDocument();
    EXPECT_TRUE(doc.closing);
    EXPECT_TRUE(doc.surfaces.empty());
    EXPECT_TRUE(doc.groups.empty());
    EXPECT_EQ(doc.currentGroup, nullptr);
    const SurfaceSection* references[] = {doc.selectedSurface, doc.focalSurface, doc.ballStartSurface, doc.ballSurface};
    for (const SurfaceSection* reference : references) EXPECT_EQ(reference, nullptr);
    EXPECT_EQ(peers.calls, std::vector<std::string>{"pause"}) << "closing does not resume the threads";
}

TEST(DocumentSurfaces, SetAllRenderReachesEverySurfaceAndThePanel)
{
    RecordingPeers peers;
    builders::TrackDocument doc(&peers);
    doc.SetAllRender(0);
    for (const auto& s : doc.surfaces) EXPECT_EQ(s->render, 0);
    EXPECT_EQ(peers.renderBox, -1) << "no selected surface, no panel update";
    doc.selectedSurface = doc.surfaces[0].get();
    doc.SetAllRender(1);
    for (const auto& s : doc.surfaces) EXPECT_EQ(s->render, 1);
    EXPECT_EQ(peers.renderBox, 1);
}

TEST(DocumentSurfaces, SetBallStartCopiesNamesOnlyForASurface)
{
    builders::TrackDocument doc;
    doc.SetBallStart(doc.surfaces[2].get(), 0.1, 0.9);
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "a");
    EXPECT_EQ(textOf(doc.ballStartGroupName), "track");
    doc.SetBallStart(nullptr, 0.3, 0.4);
    EXPECT_EQ(doc.ballStartSurface, nullptr);
    EXPECT_EQ(textOf(doc.ballStartGroupName), "track");
    EXPECT_EQ(doc.ballStartU, 0.3);
    doc.surfaces[2]->group = nullptr;
    doc.SetBallStart(doc.surfaces[2].get(), 0.5, 0.5);
    EXPECT_EQ(textOf(doc.ballStartGroupName), "none");
}

TEST(DocumentSurfaces, FocalPointStaysWithoutAFocalSurface)
{
    builders::NewDocument doc;
    doc.focalU = 0.0;
    doc.UpdateFocalPoint();
    expectVecNear(doc.focalPoint, doc.surfaces[0]->EvaluatePoint(0.0, 0.5), 1e-12);
    doc.focalSurface = nullptr;
    doc.focalU = 1.0;
    const Vec3 before = doc.focalPoint;
    doc.UpdateFocalPoint();
    EXPECT_EQ(doc.focalPoint, before);
}

// The net's sizes for the counts are the section-count tests' (SizeNetTest).
TEST(CreateChannelSurface, TakesCountsWithinTheirRangesAndTheDefaults)
{
    builders::NewDocument doc;
    SurfaceSection* least = doc.CreateChannelSurface("least", 3, 0);
    SurfaceSection* most = doc.CreateChannelSurface("most", 20, 20);
    ASSERT_NE(least, nullptr);
    ASSERT_NE(most, nullptr);
    EXPECT_EQ(most->surfaceType, kTypeA);
    EXPECT_EQ(most->horizontalDisplacement.distance, 16.0);
    EXPECT_EQ(most->samplingMode, SamplingMode::PerSpan);
    EXPECT_EQ(textOf(most->groupName), "main");
    EXPECT_EQ(doc.surfaces.back().get(), most);
    EXPECT_EQ(doc.ballStartSurface, doc.surfaces[0].get()) << "the start stays on the first surface";
    for (auto [points, intermediate] : {std::pair{1, 2}, {21, 2}, {5, -1}, {5, 21}})
        EXPECT_EQ(doc.CreateChannelSurface("x", points, intermediate), nullptr) << points << " " << intermediate;
    EXPECT_EQ(doc.surfaces.size(), 3u);
}

TEST(CreateChannelSurface, FirstSurfaceWithoutBallStartTakesIt)
{
    RecordingPeers peers;
    COpenGLTemplateDoc doc(&peers);
    doc.EnsureMainGroup();
    SurfaceSection* s = doc.CreateChannelSurface("first", 6, 1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(doc.ballStartSurface, s);
    EXPECT_EQ(doc.focalSurface, s);
    EXPECT_EQ(textOf(doc.ballStartSurfaceName), "first");
    EXPECT_EQ(textOf(doc.ballStartGroupName), "main");
    EXPECT_EQ(doc.ballStartU, 0.5);
    expectVecNear(doc.focalPoint, s->EvaluatePoint(0.5, 0.5), 1e-12);
    EXPECT_EQ(peers.count("tree"), 1);
}
