#include "cli/BuildCommand.h"
#include "cli/CliCommands.h"
#include "design/AttachmentSites.h"
#include "design/CrossSectionTemplates.h"
#include "design/SurfaceLibrary.h"
#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using builders::readFile;
using builders::TempFile;
using nlohmann::json;
using Outcome = builders::CliOutcome;

// A scratch directory with a recipe, an output path and an empty library.
struct BuildFixture : ::testing::Test {
    builders::Scratch dir;
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(design::WriteEmptyLibrary(library(), error)) << error;
    }

    std::string library() const { return dir.file("surface_library.dat"); }
    std::string out() const { return dir.file("out.mwk"); }

    Outcome build(const std::string& recipeText, const std::vector<std::string>& extra = {})
    {
        const std::string recipe = dir.file("recipe.json");
        std::ofstream(recipe) << recipeText;
        return builders::runCli(builders::joined({"build", recipe, out(), "--library", library()}, extra));
    }
    Outcome build(const json& recipe, std::vector<std::string> extra = {}) { return build(recipe.dump(), extra); }
};

} // namespace

TEST_F(BuildFixture, ARecipeBuildsATrackAndSavesIt)
{
    const json recipe = {{"steps",
                          {{{"op", "createChannel"}, {"name", "ramp"}, {"points", 5}, {"intermediate", 2}},
                           {{"op", "grow"}, {"surface", "a"}, {"site", "end"}, {"intermediate", 3}},
                           {{"op", "attach"}, {"surface", "a"}, {"site", "begin"}, {"other", "ramp"},
                            {"otherSite", "end"}},
                           {{"op", "addHole"}, {"surface", "ramp"}, {"name", "pit"}, {"u", {0.4, 0.6}},
                            {"v", {0.2, 0.3}}},
                           {{"op", "createGroup"}, {"name", "track"}},
                           {{"op", "moveToGroup"}, {"surface", "ramp"}, {"to", "track"}},
                           {{"op", "set"}, {"surface", "aend"}, {"wrapV", true}, {"coloring", 1}},
                           {{"op", "setBallStart"}, {"surface", "ramp"}, {"group", "track"}, {"v", 0.1}}}}};
    ASSERT_TRUE(builders::succeeded(build(recipe)));
    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, out()));
    SurfaceSection* a = doc.FindSurface("a", "main");
    SurfaceSection* grown = doc.FindSurface("aend", "main");
    SurfaceSection* ramp = doc.FindSurface("ramp", "track");
    ASSERT_TRUE(a && grown && ramp);
    EXPECT_EQ(grown->sectionCount, 7);
    EXPECT_TRUE(grown->wrapV);
    EXPECT_EQ(grown->coloring, Coloring::Height);
    EXPECT_EQ(a->attachmentSites[0].otherSurface, grown);
    EXPECT_EQ(a->attachmentSites[1].otherSurface, ramp);
    EXPECT_EQ(ramp->holes.size(), 1u);
    EXPECT_EQ(doc.ballStartSurface, ramp);
    EXPECT_EQ(doc.ballStartV, 0.1);
}

TEST_F(BuildFixture, ARefusedStepStopsTheRunAndWritesNothing)
{
    const std::string before = readFile(library());
    const json recipe = {{"steps",
                          {{{"op", "exportSurface"}, {"surface", "a"}},
                           {{"op", "addSite"}, {"surface", "a"}, {"edge", "left"}}}}};
    const Outcome o = build(recipe);
    EXPECT_EQ(o.code, cli::kExitRefused);
    EXPECT_EQ(o.err, "step 2 (addSite): The new site name must not be blank.\n");
    EXPECT_FALSE(std::filesystem::exists(out()));
    EXPECT_EQ(readFile(library()), before);
    EXPECT_EQ(dir.entries(), 2); // the recipe and the library: no copy is left behind

    const Outcome attach = build(json{{"steps", {{{"op", "attach"}, {"surface", "a"}, {"site", "end"}}}}});
    EXPECT_EQ(attach.code, cli::kExitRefused);
    EXPECT_EQ(attach.err,
              "step 1 (attach): Select a surface to attach and its attachment site. Invalid attachment.\n");
}

TEST_F(BuildFixture, LibraryStepsChangeTheLibraryOnlyWhenTheBuildSucceeds)
{
    const json recipe = {{"steps",
                          {{{"op", "createGroup"}, {"name", "track"}},
                           {{"op", "createChannel"}, {"name", "r"}, {"points", 5}, {"intermediate", 1}},
                           {{"op", "moveToGroup"}, {"surface", "r"}, {"to", "track"}},
                           {{"op", "exportGroup"}, {"group", "track"}},
                           {{"op", "exportSurface"}, {"surface", "a"}},
                           {{"op", "importGroup"}, {"name", "track"}},
                           {{"op", "importSurface"}, {"name", "nothing"}}}}};
    Outcome o = build(recipe);
    EXPECT_EQ(o.code, cli::kExitRefused);
    EXPECT_EQ(o.err, "step 7 (importSurface): Select a surface or group to import.\n");
    std::vector<design::LibraryEntry> entries;
    ASSERT_EQ(design::ReadLibraryIndex(library(), entries), "");
    EXPECT_TRUE(entries.empty());

    json good = recipe;
    good["steps"].erase(6);
    o = build(good);
    ASSERT_EQ(o.code, cli::kExitOk) << o.err;
    ASSERT_EQ(design::ReadLibraryIndex(library(), entries), "");
    EXPECT_EQ(entries.size(), 3u);
    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, out()));
    EXPECT_NE(doc.FindSurface("r", "track_"), nullptr);

    // A damaged library is named by its own path.
    std::ofstream(library(), std::ios::binary | std::ios::trunc) << std::string(4, '\xff');
    o = build(json{{"steps", {{{"op", "exportSurface"}, {"surface", "a"}}}}});
    EXPECT_TRUE(builders::endedSaying(o, cli::kExitRefused, "The surface library file " + library() + " is damaged"));
}

TEST_F(BuildFixture, ALibraryThatCannotBeReplacedLeavesTheOutputAsItWas)
{
    // The library's file lies where no file can be created beside it.
    const std::string unwritable = dir.file("proc-library.dat");
    std::filesystem::create_symlink("/proc/self/comm", unwritable);
    std::ofstream(out()) << "old";
    const json recipe = {{"steps", {{{"op", "exportSurface"}, {"surface", "a"}}}}};
    EXPECT_TRUE(
        builders::endedSaying(build(recipe, {"--library", unwritable}), cli::kExitFile, "Cannot save " + unwritable));
    EXPECT_EQ(readFile(out()), "old");
    EXPECT_EQ(dir.entries(), 4); // no copy or temporary file is left behind
}

TEST_F(BuildFixture, DeletingALinkedSiteFreesItsPartner)
{
    const json recipe = {{"steps",
                          {{{"op", "grow"}, {"surface", "a"}, {"site", "end"}, {"intermediate", 2}},
                           {{"op", "deleteSite"}, {"surface", "a"}, {"name", "end"}}}}};
    ASSERT_TRUE(builders::succeeded(build(recipe)));
    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, out()));
    ASSERT_EQ(doc.surfaces.size(), 2u);
    for (const auto& s : doc.surfaces) EXPECT_TRUE(design::AttachedSurfaceLines(*s).empty()) << textOf(s->name);
}

TEST_F(BuildFixture, MalformedRecipesAreUsageErrors)
{
    const std::pair<std::string, std::string> cases[] = {
        {"{\"steps\": [", "is not a JSON recipe"},
        {"{\"stages\": []}", "a recipe is a JSON object with a \"steps\" array"},
        {"{\"steps\": [{\"surface\": \"a\"}]}", "step 1: a step is an object with an \"op\" name"},
        {"{\"steps\": [{\"op\": \"fly\"}]}", "step 1: unknown op \"fly\""},
        {"{\"steps\": [{\"op\": \"deleteSite\", \"surface\": \"zz\", \"name\": \"end\"}]}",
         "step 1 (deleteSite): no surface \"zz\" in group \"main\""},
        {"{\"steps\": [{\"op\": \"deleteHole\", \"surface\": \"a\", \"name\": \"pit\"}]}",
         "surface \"a\" has no hole \"pit\""},
        {"{\"steps\": [{\"op\": \"addSite\", \"surface\": \"a\", \"low\": \"0\"}]}", "\"low\" must be a number"},
        {"{\"steps\": [{\"op\": \"addSite\", \"surface\": \"a\", \"edge\": \"top\"}]}", "\"edge\" must be one of"},
        {"{\"steps\": [{\"op\": \"renameGroup\", \"group\": \"nope\", \"name\": \"x\"}]}", "no group \"nope\""},
        {"{\"steps\": [{\"op\": \"set\", \"surface\": \"a\", \"coloring\": 4}]}", "\"coloring\" must be"},
        {"{\"steps\": [{\"op\": \"attach\", \"surface\": \"a\", \"site\": \"end\", \"other\": \"a\"}]}",
         "cannot be attached to itself"},
        {"{\"steps\": [{\"op\": \"createGroup\", \"name\": \"g\"}, {\"op\": \"createChannel\", \"points\": 1e400}]}",
         "step 2 (createChannel), \"points\": number overflow parsing '1e400'"},
        {"{\"steps\": [{\"shape\": {\"scale\": -1e999}}]}", "step 1, \"shape\": number overflow"},
        {"{\"steps\": [{\"op\": \"addSite\", \"surface\": \"a\", \"low\": 1e308}]}",
         "\"low\" must be a number from -1e+06 to 1e+06"},
        {"{\"steps\": [{\"op\": \"addHole\", \"surface\": \"a\", \"u\": [0, -1e300]}]}",
         "\"u\" must be a pair of numbers [low, high] from -1e+06 to 1e+06"},
        {"{\"steps\": [{\"op\": \"shape\", \"surface\": \"a\", \"points\": [[0, 0], [1e308, 1]]}]}",
         "\"points\" must be an array of [x, y] pairs from -1e+06 to 1e+06"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const Outcome o = build(text);
        EXPECT_EQ(o.code, cli::kExitUsage);
        EXPECT_EQ(o.err.rfind("marlwick-cli: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(expected), std::string::npos) << o.err;
        EXPECT_FALSE(std::filesystem::exists(out()));
    }
    EXPECT_EQ(build(std::string("{\"steps\": []}"), {"--from"}).code, cli::kExitUsage);
    EXPECT_EQ(build(std::string("{\"steps\": []}"), {"--colour", "red"}).code, cli::kExitUsage);
    EXPECT_EQ(build(std::string("{\"steps\": []}"), {"--from", dir.file("missing.mwk")}).code, cli::kExitFile);
}

TEST_F(BuildFixture, BuildingStartsFromAGivenDocument)
{
    TempFile start("start");
    COpenGLTemplateDoc original;
    builders::fillTrackDocument(original);
    ASSERT_TRUE(builders::saved(original, start.path()));
    const json recipe = {{"steps",
                          {{{"op", "breakAttachment"}, {"surface", "b"}, {"site", "end"}},
                           {{"op", "deleteGroup"}, {"group", "track"}},
                           {{"op", "renameSurface"}, {"surface", "b"}, {"name", "bridge"}}}}};
    ASSERT_TRUE(builders::succeeded(build(recipe, {"--from", start.path()})));
    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, out()));
    EXPECT_EQ(doc.surfaces.size(), 2u);
    EXPECT_EQ(doc.groups.size(), 1u);
    SurfaceSection* bridge = doc.FindSurface("bridge", "main");
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(doc.surfaces[0]->attachmentSites[0].otherSurface, bridge);
}

TEST_F(BuildFixture, TheExampleRecipesBuildTracksTheBallRollsAcross)
{
    const std::string examples = MARLWICK_SOURCE_DIR "/examples/";
    const std::string templates = dir.file("cross_sections.dat");
    ASSERT_TRUE(design::WriteTemplateFile(templates, design::StandardTemplates()));
    // Attachments each example's ball crosses in its first 900 steps.
    const std::pair<const char*, int> cases[] = {{"spiral", 3}, {"loop", 2}, {"holed-plate", 0}, {"sweep-bowl", 1}};
    for (const auto& [name, crossings] : cases) {
        SCOPED_TRACE(name);
        const std::string recipe = readFile(examples + name + ".json");
        ASSERT_FALSE(recipe.empty());
        ASSERT_TRUE(builders::succeeded(build(recipe, {"--templates", templates})));
        const Outcome run = builders::runCli({"simulate", out(), "--steps", "900"});
        ASSERT_EQ(run.code, cli::kExitOk) << run.err;
        const std::string& text = run.out;
        const json summary = json::parse(text.substr(text.rfind("{\"summary\"")))["summary"];
        EXPECT_EQ(summary["crossings"].get<int>(), crossings);
        if (crossings == 0) {
            EXPECT_GE(summary["landings"].get<int>(), 2); // through the hole into the channel
        }
    }
}
