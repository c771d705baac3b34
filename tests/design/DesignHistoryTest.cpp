#include "design/AttachGeometry.h"
#include "design/AttachmentSites.h"
#include "design/ChannelCreation.h"
#include "design/ChannelEditing.h"
#include "design/CircularSurface.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "design/Holes.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "simulation/Simulation.h"
#include "support/ReadyDocuments.h"
#include "support/RecordingPeers.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace design;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A name made unique by a number ("g12").
std::string numbered(const char* prefix, int k)
{
    std::string name(prefix);
    name += std::to_string(k);
    return name;
}

SurfaceSection& named(COpenGLTemplateDoc& doc, const char* name, const char* group = "main")
{
    SurfaceSection* s = doc.FindSurface(name, group);
    if (!s) throw std::runtime_error(std::string("no surface ") + name);
    return *s;
}

// Every link of the document points at the surface its names give, and every
// group member at a surface of the document.
void expectLinksResolved(COpenGLTemplateDoc& doc)
{
    for (const auto& s : doc.surfaces) {
        for (const AttachmentSite& site : s->attachmentSites) {
            EXPECT_EQ(site.otherSurface,
                      doc.FindSurface(textOf(site.otherSurfaceName), textOf(site.otherSurfaceGroupName)));
            EXPECT_EQ(site.pseudoSurface,
                      doc.FindSurface(textOf(site.pseudoSurfaceName), textOf(site.pseudoSurfaceGroupName)));
        }
        ASSERT_NE(s->group, nullptr);
        EXPECT_EQ(textOf(s->group->name), textOf(s->groupName));
    }
    for (const auto& g : doc.groups)
        for (SurfaceSection* member : g->members)
            EXPECT_EQ(member, doc.FindSurface(textOf(member->name), textOf(g->name)));
    if (const SurfaceSection* start = doc.ballStartSurface) {
        EXPECT_EQ(start, doc.FindSurface(textOf(doc.ballStartSurfaceName), textOf(doc.ballStartGroupName)));
    }
}

// The track document (links within and across groups, a pseudo surface,
// holes, a hidden surface) with its history started.
struct HistoryTest : ::testing::Test {
    builders::RecordingPeers peers;
    builders::TrackDocument doc{&peers};
    void SetUp() override
    {
        // A free right edge on "c", and "e" of as many points as "a" to attach to it.
        doc.surfaces[3]->attachmentSites.pop_back();
        doc.currentGroup = FindGroup(doc, "track");
        doc.CreateChannelSurface("e", 5, 1);
        doc.currentGroup = FindGroup(doc, "main");
        doc.SetModifiedFlag(false);
        doc.StartHistory();
        peers.told.clear();
    }
};

// One kind of command, done on the track document with the surface of that
// name in "main" selected, if one is named.
struct Command {
    const char* name;
    std::function<DesignResult(COpenGLTemplateDoc&)> run;
    const char* selected = nullptr;
};

// A command that is never refused.
std::function<DesignResult(COpenGLTemplateDoc&)> always(void (*change)(COpenGLTemplateDoc&))
{
    return [change](COpenGLTemplateDoc& d) {
        change(d);
        return DesignResult();
    };
}

std::ostream& operator<<(std::ostream& out, const Command& c) { return out << c.name; }

const Command kCommands[] = {
    {"CreateChannel", [](COpenGLTemplateDoc& d) { return CreateChannelFromFields(d, {"fresh", 0, 6, 2}); }},
    {"DeleteLinkedSurface", [](COpenGLTemplateDoc& d) { return DeleteSurfaceButton(d, &named(d, "b")); }},
    {"DeletePseudoSurface", [](COpenGLTemplateDoc& d) { return DeleteSurfaceButton(d, &named(d, "a")); }},
    {"DeleteGroup", [](COpenGLTemplateDoc& d) { return DeleteGroupButton(d, FindGroup(d, "track")); }},
    // "a" is linked, a pseudo surface and the ball start: each name follows.
    {"RenameSurface", [](COpenGLTemplateDoc& d) { return RenameSurface(d, named(d, "a"), "start"); }},
    {"RenameGroup", [](COpenGLTemplateDoc& d) { return RenameGroupButton(d, FindGroup(d, "track"), "loop"); }},
    {"CreateGroup", [](COpenGLTemplateDoc& d) { return CreateGroupButton(d, "spare"); }},
    {"MoveToGroup",
     [](COpenGLTemplateDoc& d) { return AddSurfaceToGroupButton(d, &named(d, "c", "track"), FindGroup(d, "main")); }},
    {"ShowOnlySelected",
     [](COpenGLTemplateDoc& d) { return ShowOnlySelected(d) ? DesignResult() : DesignResult("not shown"); }, "b"},
    {"ShowAll", always(RenderAllSurfaces)},
    {"SurfaceDisplay",
     always([](COpenGLTemplateDoc& d) { SetSurfaceSwitch(d, &SurfaceSection::showControlLines, 1, true); }), "b"},
    {"AddHole", [](COpenGLTemplateDoc& d) { return AddHole(named(d, "a"), "well", 0.1, 0.3, 0.1, 0.2); }},
    {"DeleteHole", [](COpenGLTemplateDoc& d) { return DeleteHole(named(d, "b"), 0); }},
    {"AddSite",
     [](COpenGLTemplateDoc& d) { return AddSite(named(d, "c", "track"), "mid", SiteEdge::Right, 0.2, 0.4); }},
    {"DeleteSite", [](COpenGLTemplateDoc& d) { return DeleteSite(named(d, "a", "track"), 3); }},
    {"BreakAttachment", [](COpenGLTemplateDoc& d) { return BreakAttachment(named(d, "b"), 0); }},
    {"Attach",
     [](COpenGLTemplateDoc& d) {
         SurfaceSection &e = named(d, "e", "track"), &a = named(d, "a");
         return AttachSurfaces(d, {&e, &e.attachmentSites[0], &a, &a.attachmentSites[1], false, nullptr});
     }},
    {"GrowChannel",
     [](COpenGLTemplateDoc& d) {
         SurfaceSection& c = named(d, "c", "track");
         return NewChannelButton(d, c, &c.attachmentSites[0], kDefaultGrowIntermediate, DefaultDirectionIndex(c));
     }},
    {"SetBallStart",
     [](COpenGLTemplateDoc& d) {
         d.focalSurface = &named(d, "c", "track");
         d.focalU = 0.25;
         return SetBallStartAtFocalPoint(d);
     }},
    {"CreateCircular",
     [](COpenGLTemplateDoc& d) { return CreateCircularFromFields(d, {kThird, 5, 3, 1.0, 4.0, "ring"}); }},
    {"TypeAEdit",
     [](COpenGLTemplateDoc& d) {
         TypeAEditor editor(d);
         DesignResult opened = editor.Open();
         editor.SetPerform(TypeAGroup::HorizontalTurn, true);
         editor.SetAngleDegrees(TypeAGroup::HorizontalTurn, 30);
         editor.Save();
         editor.Close();
         return opened;
     },
     "a"},
    {"SectionTransform",
     [](COpenGLTemplateDoc& d) {
         SectionTransformEditor editor(d);
         DesignResult opened = editor.Open();
         editor.SetSelection({2});
         DesignResult moved = editor.ChangeValue(TransformKind::Move, 3);
         editor.Commit();
         editor.Close();
         return opened.ok() ? moved : opened;
     },
     "a"},
    {"SurfaceColoring", always([](COpenGLTemplateDoc& d) { SetSurfaceColoring(d, Coloring::Curvature); }), "a"},
    {"SurfaceRender", always([](COpenGLTemplateDoc& d) { SetSurfaceRender(d, false); }), "a"},
};

class EachCommand : public HistoryTest, public ::testing::WithParamInterface<Command> {};

} // namespace

TEST_P(EachCommand, MarksTheDocumentAndUndoGivesTheBytesBeforeAndRedoTheBytesAfter)
{
    const Bytes before = doc.SerializeDocument();
    if (GetParam().selected) doc.selectedSurface = &named(doc, GetParam().selected);
    ASSERT_TRUE(GetParam().run(doc).ok());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(peers.told, std::vector<bool>{true}) << "the title hears of the change once";
    RecordStep(doc, GetParam().name);
    const Bytes after = doc.SerializeDocument();
    ASSERT_NE(before, after);
    EXPECT_EQ(UndoStepName(doc), GetParam().name);

    ASSERT_TRUE(Undo(doc).ok());
    EXPECT_EQ(doc.SerializeDocument(), before);
    expectLinksResolved(doc);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(RedoStepName(doc), GetParam().name);

    ASSERT_TRUE(Redo(doc).ok());
    EXPECT_EQ(doc.SerializeDocument(), after);
    expectLinksResolved(doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(peers.restored, 2);
}

INSTANTIATE_TEST_SUITE_P(History, EachCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& test) { return std::string(test.param.name); });

// Every other change a user makes marks the document as each command above
// shows; a scene switch, which no undo step keeps, does too.
TEST_F(HistoryTest, ASceneSwitchMarksTheDocumentOnce)
{
    SetDocumentSwitch(doc, &DocumentSettings::pauseOnAir, true);
    SetDocumentSwitch(doc, &DocumentSettings::pauseOnAir, true);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(peers.told, std::vector<bool>{true});
}

TEST_F(HistoryTest, RefusalsAndNoChangesLeaveTheModifiedMarkClear)
{
    EXPECT_NE(AddSite(named(doc, "a"), "", SiteEdge::Left, 0.2, 0.4), "");
    EXPECT_NE(RenameSurface(doc, named(doc, "b"), ""), "");
    EXPECT_NE(DeleteSurfaceButton(doc, nullptr), "");
    EXPECT_NE(BreakAttachment(named(doc, "c", "track"), FindSiteIndex(named(doc, "c", "track"), "left")), "");
    SetDocumentSwitch(doc, &DocumentSettings::showBall, doc.showBall);
    doc.selectedSurface = nullptr;
    SetSurfaceSwitch(doc, &SurfaceSection::showName, 0, false);
    SetSurfaceRender(doc, false);
    EXPECT_EQ(named(doc, "a").showName, 1) << "no selected surface: the switch changes nothing";
    EXPECT_EQ(named(doc, "a").render, 1);
    doc.focalSurface = nullptr;
    EXPECT_EQ(SetBallStartAtFocalPoint(doc), kSetFocalSurfaceFirst);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(peers.told.empty());
}

TEST_F(HistoryTest, NewOpenAndSaveClearTheModifiedMarkAndFailedOnesKeepItNewAndOpenTheSteps)
{
    builders::TempFile file("modified");
    std::string error;
    ASSERT_EQ(AddHole(named(doc, "a"), "pit", 0.2, 0.4, 0.2, 0.4), "");
    EXPECT_FALSE(doc.OnSaveDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent-dir/track.mwk", error));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(file.path(), error)) << error;
    EXPECT_FALSE(doc.IsModified());

    ASSERT_EQ(RenameSurface(doc, named(doc, "b"), "bend"), "");
    RecordStep(doc, kStepRenameSurface);
    ASSERT_TRUE(doc.OnOpenDocument(file.path(), error)) << error;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(CanUndo(doc));

    ASSERT_EQ(CreateGroupButton(doc, "loops"), "");
    RecordStep(doc, kStepCreateGroup);
    doc.OnNewDocument();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(CanUndo(doc));
    EXPECT_FALSE(CanRedo(doc));
    EXPECT_EQ(peers.told, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(HistoryTest, ARedundantRecordAddsNoStep)
{
    RecordStep(doc, kStepEditSurface);
    EXPECT_FALSE(CanUndo(doc));
    ASSERT_TRUE(AddHole(named(doc, "a"), "well", 0.1, 0.3, 0.1, 0.2).ok());
    RecordStep(doc, kStepAddHole);
    RecordStep(doc, kStepAddHole);
    EXPECT_EQ(doc.history.StepCount(), 1u);
    ASSERT_TRUE(Undo(doc).ok());
    EXPECT_FALSE(CanUndo(doc));
    EXPECT_EQ(Undo(doc), kNothingToUndo);
    ASSERT_TRUE(Redo(doc).ok());
    EXPECT_EQ(Redo(doc), kNothingToRedo);
}

TEST_F(HistoryTest, ANewStepDropsWhatRedoCouldReach)
{
    ASSERT_TRUE(CreateGroupButton(doc, "one").ok());
    RecordStep(doc, kStepCreateGroup);
    ASSERT_TRUE(Undo(doc).ok());
    ASSERT_TRUE(CreateGroupButton(doc, "two").ok());
    RecordStep(doc, kStepCreateGroup);
    EXPECT_FALSE(CanRedo(doc));
    EXPECT_NE(FindGroup(doc, "two"), nullptr);
    EXPECT_EQ(FindGroup(doc, "one"), nullptr);
}

TEST_F(HistoryTest, UndoSelectsTheSurfaceItBroughtBackAndKeepsUnchangedOnes)
{
    SurfaceSection* unchanged = &named(doc, "a", "track");
    ASSERT_TRUE(DeleteSurfaceButton(doc, &named(doc, "b")).ok());
    RecordStep(doc, "Delete surface b");
    EXPECT_EQ(UndoStepName(doc), "Delete surface b");
    ASSERT_TRUE(Undo(doc).ok());
    ASSERT_NE(doc.selectedSurface, nullptr);
    EXPECT_EQ(textOf(doc.selectedSurface->name), "b");
    EXPECT_EQ(&named(doc, "a", "track"), unchanged);
    EXPECT_EQ(doc.surfaces[1].get(), doc.selectedSurface);
}

TEST_F(HistoryTest, ABallOnARebuiltSurfaceGoesBackToItsStart)
{
    // The ball stands on "a" (the start), which the undo reads again.
    ASSERT_EQ(PositionBall(doc), "");
    ASSERT_TRUE(AddHole(named(doc, "a"), "well", 0.1, 0.3, 0.1, 0.2).ok());
    RecordStep(doc, kStepAddHole);
    ASSERT_TRUE(Undo(doc).ok());
    SurfaceSection* start = &named(doc, "a");
    EXPECT_EQ(doc.ballStartSurface, start);
    EXPECT_EQ(doc.ballSurface, start);
    const Vec3 expected = start->EvaluatePoint(doc.ballStartU, doc.ballStartV);
    EXPECT_NEAR(length(doc.simulation.ball.contactPoint - expected), 0.0, 1e-9);
    EXPECT_TRUE(doc.simulation.stopped.load());
}

TEST_F(HistoryTest, UndoingToTheSavedStateClearsTheModifiedMark)
{
    builders::TempFile file("history-save");
    ASSERT_TRUE(CreateGroupButton(doc, "one").ok());
    RecordStep(doc, kStepCreateGroup);
    std::string error;
    ASSERT_TRUE(doc.OnSaveDocument(file.path(), error)) << error;
    ASSERT_TRUE(CreateGroupButton(doc, "two").ok());
    RecordStep(doc, kStepCreateGroup);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(Undo(doc).ok());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(Undo(doc).ok());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(Redo(doc).ok());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.SerializeDocument(), file.read());
}

TEST_F(HistoryTest, AHoldRefusesUndoUntilItEnds)
{
    ASSERT_TRUE(CreateGroupButton(doc, "one").ok());
    RecordStep(doc, kStepCreateGroup);
    {
        const HistoryHold hold(doc);
        EXPECT_FALSE(CanUndo(doc));
        EXPECT_EQ(Undo(doc), kHistoryHeld);
        EXPECT_NE(FindGroup(doc, "one"), nullptr);
    }
    EXPECT_TRUE(CanUndo(doc));
    EXPECT_TRUE(Undo(doc).ok());
}

TEST_F(HistoryTest, TheOldestStepsGoBeyondAHundred)
{
    for (int k = 0; k < 130; ++k) {
        ASSERT_TRUE(CreateGroupButton(doc, numbered("g", k)).ok());
        RecordStep(doc, kStepCreateGroup);
    }
    EXPECT_EQ(doc.history.StepCount(), DocumentHistory::kMaxSteps);
    int undone = 0;
    while (Undo(doc).ok()) ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_NE(FindGroup(doc, "g29"), nullptr);
    EXPECT_EQ(FindGroup(doc, "g30"), nullptr);
}

TEST(HistoryBytes, TheOldestStepsGoBeyondTheMemoryBound)
{
    // Renaming a group rewrites the record of every surface in it.
    builders::NewDocument doc;
    doc.currentGroup = doc.CreateGroup("r0");
    for (int k = 0; k < 40; ++k) doc.CreateChannelSurface(numbered("s", k), 20, 20);
    doc.StartHistory();
    const std::size_t perStep = doc.history.Bytes();
    const int steps = static_cast<int>(DocumentHistory::kMaxBytes / perStep) + 10;
    for (int k = 1; k <= steps; ++k) {
        RenameGroup(doc, *doc.currentGroup, numbered("r", k));
        RecordStep(doc, kStepRenameGroup);
    }
    EXPECT_LE(doc.history.Bytes(), DocumentHistory::kMaxBytes);
    EXPECT_LT(doc.history.StepCount(), static_cast<std::size_t>(steps));
    EXPECT_GT(doc.history.StepCount(), static_cast<std::size_t>(steps) - 20);
}

namespace {

// One command of a random kind on random surfaces and groups of the document;
// `k` makes its new names unique. True when it was done.
bool randomCommand(COpenGLTemplateDoc& doc, std::mt19937& random, int k)
{
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const auto fraction = [&] { return static_cast<double>(random() % 1000) / 1000.0; };
    SurfaceSection& s = *doc.surfaces[pick(doc.surfaces.size())];
    SurfaceGroup& g = *doc.groups[pick(doc.groups.size())];
    switch (random() % 13) {
    case 0: {
        const ChannelFields fields{numbered("n", k), 0, 3 + static_cast<int>(pick(6)), static_cast<int>(pick(4))};
        return CreateChannelFromFields(doc, fields).ok();
    }
    case 1: return doc.surfaces.size() > 2 && DeleteSurfaceButton(doc, &s).ok();
    case 2: return RenameSurface(doc, s, numbered("r", k)).ok();
    case 3: {
        const double u = fraction() * 0.5, v = fraction() * 0.5;
        return AddHole(s, numbered("h", k), u, u + 0.2, v, v + 0.1).ok();
    }
    case 4: return !s.holes.empty() && DeleteHole(s, 0).ok();
    case 5: return AddSite(s, numbered("x", k), static_cast<SiteEdge>(pick(4)), 0.1, 0.1 + fraction() * 0.8).ok();
    case 6:
        for (std::size_t site = 0; site < s.attachmentSites.size(); ++site)
            if (s.attachmentSites[site].otherSurface) return BreakAttachment(s, static_cast<int>(site)).ok();
        return false;
    case 7: return pick(2) ? CreateGroupButton(doc, numbered("g", k)).ok() : AddSurfaceToGroupButton(doc, &s, &g).ok();
    case 8:
        doc.selectedSurface = &s;
        if (pick(2)) return ShowOnlySelected(doc);
        RenderAllSurfaces(doc);
        return true;
    case 9:
        doc.selectedSurface = &s;
        SetSurfaceColoring(doc, static_cast<Coloring>(pick(4)));
        return true;
    case 10:
        doc.focalSurface = &s;
        doc.focalU = fraction();
        return SetBallStartAtFocalPoint(doc).ok();
    case 11: return RenameGroupButton(doc, &g, numbered("q", k)).ok();
    default: {
        SurfaceSection& t = *doc.surfaces[pick(doc.surfaces.size())];
        const std::vector<int> x = FreeSiteIndices(s), y = FreeSiteIndices(t);
        if (&t == &s || x.empty() || y.empty()) return false;
        AttachmentSite &X = s.attachmentSites[x[pick(x.size())]], &Y = t.attachmentSites[y[pick(y.size())]];
        return AttachSurfaces(doc, {&s, &X, &t, &Y, false, nullptr}).ok();
    }
    }
}

} // namespace

TEST_F(HistoryTest, FiftyRandomCommandsUndoneAndRedoneWhole)
{
    std::mt19937 random(20261206);
    const Bytes first = doc.SerializeDocument();
    std::vector<Bytes> states{first};
    for (int k = 0; states.size() < 51 && k < 2000; ++k) {
        if (!randomCommand(doc, random, k)) continue;
        RecordStep(doc, "random");
        Bytes now = doc.SerializeDocument();
        if (now != states.back()) states.push_back(std::move(now));
    }
    ASSERT_EQ(states.size(), 51u);
    EXPECT_EQ(doc.history.StepCount(), 50u);
    for (std::size_t k = states.size() - 1; k > 0; --k) {
        ASSERT_TRUE(Undo(doc).ok());
        ASSERT_EQ(doc.SerializeDocument(), states[k - 1]) << "undoing step " << k;
    }
    expectLinksResolved(doc);
    EXPECT_FALSE(CanUndo(doc));
    while (Redo(doc).ok()) {}
    EXPECT_EQ(doc.SerializeDocument(), states.back());
    expectLinksResolved(doc);
}
