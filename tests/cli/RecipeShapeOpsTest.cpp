#include "cli/Recipe.h"
#include "design/ChannelEditing.h"
#include "design/CircularSurface.h"
#include "design/CrossSectionTemplates.h"
#include "design/SectionTransforms.h"
#include "design/SweepSurface.h"
#include "document/OpenGLTemplateDoc.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using nlohmann::json;
using builders::TempFile;

class RecipeShapeOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        cli::AddShapeRecipeOps(ops);
        doc.OnNewDocument();
        design::WriteTemplateFile(templates.path(), design::StandardTemplates());
    }

    std::string run(const json& step) { return ops.at(step.at("op").get<std::string>())(ctx, step).refusal; }
    SurfaceSection* surface(const std::string& name) { return doc.FindSurface(name, "main"); }

    cli::RecipeOps ops;
    COpenGLTemplateDoc doc;
    TempFile templates{"recipe-templates"};
    cli::RecipeContext ctx{doc, "", templates.path()};
};

// Each create op makes the surface it names, with the dialog's defaults for
// what the step leaves out.
TEST_F(RecipeShapeOps, CreateOpsMakeTheSurfaceTheStepDescribes)
{
    using Shape = std::array<int, 4>; // type, points per section, intermediate sections, sections
    for (const auto& [step, shape] : std::vector<std::pair<json, Shape>>{
             {{{"op", "createChannel"}, {"name", "c"}}, {kTypeA, 5, 2, 6}},
             {{{"op", "createChannel"}, {"name", "d"}, {"points", 7}, {"intermediate", 0}, {"type", "C"}}, {kTypeC, 7, 0, 4}},
             {{{"op", "createCircular"}, {"name", "half"}, {"portion", "2/4"}}, {kTypeCircular, 4, 3, 3}},
             {{{"op", "createSweep"}, {"name", "s"}, {"template", "U 7"}, {"edge", "right"}}, {kTypeSweep, 7, 4, 6}}}) {
        SCOPED_TRACE(step.dump());
        ASSERT_EQ(run(step), "");
        const SurfaceSection* s = surface(step.at("name"));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ((Shape{s->surfaceType, s->pointsPerSection, s->intermediateCount, s->sectionCount}), shape);
    }
    ASSERT_EQ(run({{"op", "createCircular"}, {"name", "full"}, {"portion", "1"}, {"inner", 2}, {"outer", 5}}), "");
    EXPECT_TRUE(surface("full")->wrapU);
}

// The ops pass the design layer's refusals on as they are (each refusal's
// text is pinned by the design tests).
TEST_F(RecipeShapeOps, RefusalsAreTheDialogTextsAndChangeNothing)
{
    EXPECT_EQ(run({{"op", "createChannel"}, {"name", "a"}}), design::kNameExists);
    EXPECT_EQ(run({{"op", "createChannel"}}), design::kNameBlank);
    EXPECT_EQ(run({{"op", "createChannel"}, {"name", "x"}, {"points", 21}}),
              "Please enter an integer between 2 and 20.");
    ctx.templatePath = "/nonexistent-dir/cross_sections.dat";
    EXPECT_EQ(run({{"op", "createSweep"}, {"name", "t"}, {"template", "U 7"}}), design::kSweepReadFailed);
    EXPECT_EQ(doc.surfaces.size(), 1u);
}

TEST_F(RecipeShapeOps, MalformedArgumentsAreRecipeErrors)
{
    for (const json& step : {json{{"op", "createChannel"}, {"name", "x"}, {"points", "five"}},
                             json{{"op", "createChannel"}, {"name", "x"}, {"points", 5.5}},
                             json{{"op", "createChannel"}, {"name", "x"}, {"type", "D"}},
                             json{{"op", "createSweep"}, {"name", "t"}, {"template", "no such"}},
                             json{{"op", "editA"}, {"surface", "nowhere"}},
                             json{{"op", "transform"}, {"surface", "a"}, {"sections", {7}}, {"scale", {{"value", 5}}}},
                             json{{"op", "transform"}, {"surface", "a"}, {"sections", {3}}, {"scale", {{"value", 5}}},
                                  {"move", {{"distance", 1}}}}})
        EXPECT_THROW(run(step), cli::RecipeError) << step.dump();
    EXPECT_EQ(doc.surfaces.size(), 1u);
    EXPECT_EQ(doc.surfaces[0]->showControlLines, 0);
}

TEST_F(RecipeShapeOps, EditATurnsAndKeepsWhatIsNotGiven)
{
    SurfaceSection* a = surface("a");
    a->verticalDisplacement = {true, true, 8.0};
    ASSERT_EQ(run({{"op", "editA"}, {"surface", "a"},
                   {"horizontalTurn", {{"perform", true}, {"left", true}, {"degrees", 90}}}}),
              "");
    EXPECT_TRUE(a->horizontalTurn.perform);
    EXPECT_TRUE(a->horizontalTurn.left);
    EXPECT_DOUBLE_EQ(a->horizontalTurn.angle, kPi / 2.0);
    EXPECT_TRUE(a->verticalDisplacement.displaceDown);
    EXPECT_EQ(a->verticalDisplacement.distance, 8.0);
    EXPECT_NEAR(a->finalDirection.z, -1.0, 1e-9); // a left turn, seen from above
    EXPECT_FALSE(a->editingSections);
    doc.selectedSurface = nullptr;
    EXPECT_EQ(run({{"op", "editA"}, {"surface", "a"}, {"verticalTurn", {{"degrees", 400}}}}),
              "Please enter an integer between 0 and 360.");
    EXPECT_EQ(a->verticalTurn.angle, 0.0);
    EXPECT_EQ(doc.selectedSurface, nullptr);
}

TEST_F(RecipeShapeOps, EditBAndCTakeFramesFromOtherSurfaces)
{
    ASSERT_EQ(run({{"op", "createChannel"}, {"name", "b"}, {"type", "B"}}), "");
    ASSERT_EQ(run({{"op", "createChannel"}, {"name", "c"}, {"type", "C"}}), "");
    EXPECT_THROW(run({{"op", "editB"}, {"surface", "c"}}), cli::RecipeError);
    ASSERT_EQ(run({{"op", "editB"}, {"surface", "b"},
                   {"finalDirections", {{"from", "begin"}, {"surface", "a"}, {"opposite", true}}}}),
              "");
    EXPECT_NEAR(surface("b")->finalDirection.x, -1.0, 1e-9);
    SurfaceSection* a = surface("a");
    ASSERT_EQ(run({{"op", "editC"}, {"surface", "c"}, {"initialPosition", {{"from", "end"}, {"surface", "a"}}}}), "");
    EXPECT_EQ(surface("c")->initialPosition, a->finalPosition);
    EXPECT_THROW(run({{"op", "editB"}, {"surface", "b"}, {"finalPosition", {{"from", "end"}, {"surface", "a"}}}}),
                 cli::RecipeError);
}

TEST_F(RecipeShapeOps, TransformScalesAndCommits)
{
    ASSERT_EQ(run({{"op", "transform"}, {"surface", "a"}, {"sections", {3, 4}}, {"scale", {{"value", 50}}}}), "");
    SurfaceSection* a = surface("a");
    EXPECT_DOUBLE_EQ(a->sections[2].scale, 1.5);
    EXPECT_DOUBLE_EQ(a->sections[3].scale, 1.5);
    EXPECT_EQ(a->showControlLines, 0); // the display is restored
    ASSERT_EQ(run({{"op", "transform"}, {"surface", "a"}, {"sections", {3}}, {"subsequent", true},
                   {"pasteScale", {{"value", 0.5}}}}),
              "");
    for (int i = 2; i < 6; ++i) EXPECT_EQ(a->sections[i].scale, 0.5);
}

TEST_F(RecipeShapeOps, ShapeFromPointsOrTemplate)
{
    ASSERT_EQ(run({{"op", "shape"}, {"surface", "a"}, {"sections", {3, 4}},
                   {"points", {{-2, 1}, {-1, 0}, {0, 0}, {1, 0}, {2, 1}}}}),
              "");
    SurfaceSection* a = surface("a");
    EXPECT_EQ(a->sections[2].points[0].y, 1.0);
    EXPECT_EQ(a->sections[3].points[4].x, 2.0);
    ASSERT_EQ(run({{"op", "shape"}, {"surface", "a"}, {"sections", {1, 2}}, {"template", "V 5"}}), "");
    EXPECT_STREQ(a->sections[0].shapeName, "V 5");
}

TEST_F(RecipeShapeOps, ShapeSavedAsANewTemplateIsAppendedToTheTemplateFile)
{
    std::vector<design::CrossSectionTemplate> before, after;
    ASSERT_TRUE(design::ReadTemplateFile(templates.path(), before));
    ASSERT_EQ(run({{"op", "shape"}, {"surface", "a"}, {"sections", {3}},
                   {"points", {{-2, 2}, {-1, 0}, {0, -1}, {1, 0}, {2, 2}}}, {"saveAsTemplate", "Deep"}}),
              "");
    ASSERT_TRUE(design::ReadTemplateFile(templates.path(), after));
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_STREQ(after.back().shape.name, "Deep");
    EXPECT_EQ(after.back().shape.points[2].y, -1.0);
    ASSERT_EQ(run({{"op", "shape"}, {"surface", "a"}, {"sections", {4}}, {"template", "Deep"}}), "");
    EXPECT_EQ(surface("a")->sections[3].points[4].y, 2.0);
}

} // namespace
