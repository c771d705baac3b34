#include "cli/BuildCommand.h"
#include "cli/Recipe.h"
#include "design/CrossSectionTemplates.h"
#include "design/DesignHistory.h"
#include "design/SurfaceLibrary.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

// The track document (links within and across groups, a pseudo surface,
// holes, a hidden surface) with a free right edge on "c", "e" in "track"
// to attach to "a" and the circular "ring"; a library holding "a" and the group "track"; the standard
// templates; every operation of a recipe.
struct RecipeHistory : ::testing::Test {
    COpenGLTemplateDoc doc;
    builders::TempFile library{"history-library"};
    builders::TempFile templates{"history-templates"};
    cli::RecipeOps ops;
    cli::RecipeContext ctx{doc, library.path(), templates.path()};

    void SetUp() override
    {
        builders::fillTrackDocument(doc);
        doc.surfaces[3]->attachmentSites.pop_back();
        doc.currentGroup = doc.groups[1].get();
        doc.CreateChannelSurface("e", 5, 1);
        doc.currentGroup = doc.groups[0].get();
        std::string error;
        ASSERT_TRUE(design::WriteEmptyLibrary(library.path(), error)) << error;
        ASSERT_TRUE(design::ExportSurface(library.path(), *doc.surfaces[3]).ok());
        ASSERT_TRUE(design::ExportGroup(library.path(), *doc.groups[1]).ok());
        ASSERT_TRUE(design::WriteTemplateFile(templates.path(), design::StandardTemplates()));
        cli::AddShapeRecipeOps(ops);
        cli::AddTrackRecipeOps(ops);
        cli::AddHistoryRecipeOps(ops);
        ASSERT_EQ(run(json::parse(R"([{"op": "createCircular", "name": "ring", "portion": "1/4"}])")), "");
        doc.SetModifiedFlag(false);
        doc.StartHistory();
    }

    // Runs the steps; "" when all were done, else the refusal line.
    std::string run(const json& steps)
    {
        std::ostringstream err;
        const int code = cli::RunRecipeSteps(ctx, ops, json{{"steps", steps}}, err);
        return code == 0 ? std::string() : err.str();
    }
};

struct StepCase {
    const char* name;
    const char* step; // JSON
};

std::ostream& operator<<(std::ostream& out, const StepCase& c) { return out << c.name; }

const StepCase kSteps[] = {
    {"createChannel", R"({"op": "createChannel", "name": "fresh", "type": "B"})"},
    {"createCircular", R"({"op": "createCircular", "name": "ring2", "portion": "1/4"})"},
    {"identicalCircular", R"({"op": "identicalCircular", "surface": "ring", "site": "left"})"},
    {"createSweep", R"({"op": "createSweep", "name": "bowl", "template": "V 5"})"},
    {"editA", R"({"op": "editA", "surface": "a", "horizontalTurn": {"perform": true, "degrees": 30}})"},
    {"transform",
     R"({"op": "transform", "surface": "a", "sections": [3], "move": {"direction": "up-down", "distance": 5}})"},
    {"shape",
     R"({"op": "shape", "surface": "a", "sections": [3], "points": [[-2, 1], [-1, 0], [0, -0.5], [1, 0], [2, 1]]})"},
    {"addSite",
     R"({"op": "addSite", "surface": "c", "group": "track", "name": "mid", "edge": "right", "low": 0.2, "high": 0.4})"},
    {"deleteSite", R"({"op": "deleteSite", "surface": "a", "group": "track", "name": "right"})"},
    {"addHole", R"({"op": "addHole", "surface": "a", "name": "well", "u": [0.1, 0.3], "v": [0.1, 0.2]})"},
    {"deleteHole", R"({"op": "deleteHole", "surface": "b", "name": "pit"})"},
    {"attach", R"({"op": "attach", "surface": "e", "group": "track", "site": "end", "other": "a", "otherGroup": "main",
                   "otherSite": "begin"})"},
    {"grow", R"({"op": "grow", "surface": "c", "group": "track", "site": "end"})"},
    {"breakAttachment", R"({"op": "breakAttachment", "surface": "b", "site": "end"})"},
    {"createGroup", R"({"op": "createGroup", "name": "spare"})"},
    {"renameGroup", R"({"op": "renameGroup", "group": "track", "name": "loop"})"},
    {"deleteGroup", R"({"op": "deleteGroup", "group": "track"})"},
    {"moveToGroup", R"({"op": "moveToGroup", "surface": "c", "group": "track", "to": "main"})"},
    {"renameSurface", R"({"op": "renameSurface", "surface": "c", "group": "track", "name": "c2"})"},
    {"deleteSurface", R"({"op": "deleteSurface", "surface": "b"})"},
    {"importSurface", R"({"op": "importSurface", "name": "c"})"},
    {"importGroup", R"({"op": "importGroup", "name": "track"})"},
    {"setBallStart", R"({"op": "setBallStart", "surface": "c", "group": "track", "u": 0.3, "v": 0.7})"},
    {"set", R"({"op": "set", "surface": "b", "coloring": 0, "render": false, "reverseNormal": false})"},
};

class EachStep : public RecipeHistory, public ::testing::WithParamInterface<StepCase> {};

} // namespace

TEST_P(EachStep, UndoGivesTheBytesBeforeAndRedoTheBytesAfter)
{
    const Bytes before = doc.SerializeDocument();
    ASSERT_EQ(run(json::array({json::parse(GetParam().step)})), "");
    const Bytes after = doc.SerializeDocument();
    ASSERT_NE(before, after);
    ASSERT_EQ(run(json::parse(R"([{"op": "undo"}])")), "");
    EXPECT_EQ(doc.SerializeDocument(), before);
    ASSERT_EQ(run(json::parse(R"([{"op": "redo"}])")), "");
    EXPECT_EQ(doc.SerializeDocument(), after);
}

INSTANTIATE_TEST_SUITE_P(Recipe, EachStep, ::testing::ValuesIn(kSteps),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecipeHistory, StepsAreNamedAsTheEditMenuNamesThem)
{
    ASSERT_EQ(run(json::parse(R"([{"op": "deleteSurface", "surface": "b"}])")), "");
    EXPECT_EQ(design::UndoStepName(doc), "Delete surface b");
    ASSERT_EQ(run(json::parse(R"([{"op": "undo"}, {"op": "createGroup", "name": "g"}])")), "");
    EXPECT_EQ(design::UndoStepName(doc), "Create group");
    EXPECT_FALSE(design::CanRedo(doc));
}

TEST_F(RecipeHistory, UndoAndRedoWithNothingToDoAreRefusedSteps)
{
    EXPECT_EQ(run(json::parse(R"([{"op": "undo"}])")), "step 1 (undo): There is nothing to undo.\n");
    EXPECT_EQ(run(json::parse(R"([{"op": "createGroup", "name": "g"}, {"op": "undo"}, {"op": "redo"},
                                  {"op": "redo"}])")),
              "step 4 (redo): There is nothing to redo.\n");
    // Exports change the library, which no undo takes back.
    EXPECT_EQ(run(json::parse(R"([{"op": "undo"}, {"op": "exportSurface", "surface": "a"}, {"op": "undo"}])")),
              "step 3 (undo): There is nothing to undo.\n");
}

TEST(RecipeHistoryBuild, ABuildThatUndoesEverythingSavesTheDocumentItStartedFrom)
{
    builders::TempFile recipe("history-recipe"), plain("history-plain"), undone("history-undone");
    const auto build = [&](const char* steps, const std::string& out) {
        std::ofstream(recipe.path()) << steps;
        std::ostringstream o, e;
        return cli::RunBuild({recipe.path(), out}, o, e);
    };
    ASSERT_EQ(build(R"({"steps": []})", plain.path()), 0);
    ASSERT_EQ(build(R"({"steps": [{"op": "createChannel", "name": "x"}, {"op": "addHole", "surface": "x", "name": "h",
                        "u": [0.2, 0.4], "v": [0.2, 0.4]}, {"op": "undo"}, {"op": "undo"}]})",
                    undone.path()),
              0);
    EXPECT_EQ(undone.read(), plain.read());
}
