#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

using builders::TempFile;
using nlohmann::json;

// Names stored as code-page bytes and the UTF-8 the tool must print for them.
constexpr const char* kGroup = "gr\xDB";          // Û
constexpr const char* kGroupUtf8 = "gr\xC3\x9B";
constexpr const char* kFirst = "turn\xE9";        // é
constexpr const char* kFirstUtf8 = "turn\xC3\xA9";
constexpr const char* kSecond = "\x80-b";         // €
constexpr const char* kSecondUtf8 = "\xE2\x82\xAC-b";
constexpr const char* kSite = "\x81out";          // undefined in the code page: Latin-1
constexpr const char* kSiteUtf8 = "\xC2\x81out";
constexpr const char* kHole = "h\xDB\x80";
constexpr const char* kHoleUtf8 = "h\xC3\x9B\xE2\x82\xAC";

using Outcome = builders::CliOutcome;
constexpr auto run = builders::runCli;

// Two floors in a group, every name outside ASCII, the ball rolling from the
// first across to the second.
class NameTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        doc.currentGroup = doc.CreateGroup(kGroup);
        SurfaceSection& a = builders::addFloor(doc, kFirst, 5, 2);
        SurfaceSection& b = builders::addFloor(doc, kSecond, 5, 2, builders::FloorShape{{25.0, 0, 0}});
        setText(a.attachmentSites[0].name, kSite);
        builders::linkSites(a, 0, b, 1);
        builders::addHole(b, kHole, 0.0, 0.1, 0.9, 1.0);
        builders::setLaunch(doc, a, 0.5, 0.8, 6.0);
        ASSERT_TRUE(builders::saved(doc, file.path()));
    }

    TempFile file{"cli-names"};
};

TEST_F(NameTextTest, InfoPrintsEveryNameInUtf8AndEvalFindsSurfacesNamedInUtf8)
{
    const Outcome o = run({"info", file.path()});
    ASSERT_EQ(o.code, 0) << o.err;
    const json j = json::parse(o.out);
    EXPECT_EQ(j["ballStart"], json({{"surface", kFirstUtf8}, {"group", kGroupUtf8}, {"u", 0.5}, {"v", 0.8}}));
    EXPECT_EQ(j["settings"]["ballStartSurfaceName"], kFirstUtf8);
    EXPECT_EQ(j["settings"]["ballStartGroupName"], kGroupUtf8);
    EXPECT_EQ(j["groups"][1], json({{"name", kGroupUtf8}, {"members", {kFirstUtf8, kSecondUtf8}}}));
    const json& a = j["surfaces"][0];
    EXPECT_EQ(a["name"], kFirstUtf8);
    EXPECT_EQ(a["group"], kGroupUtf8);
    EXPECT_EQ(a["sites"][0]["name"], kSiteUtf8);
    EXPECT_EQ(a["sites"][0]["linked"], json({{"surface", kSecondUtf8}, {"group", kGroupUtf8}}));
    EXPECT_EQ(j["surfaces"][1]["holes"][0]["name"], kHoleUtf8);

    const Outcome eval = run({"eval", file.path(), kFirstUtf8, kGroupUtf8, "0.5", "0.5"});
    EXPECT_EQ(eval.code, 0) << eval.err;
    EXPECT_EQ(json::parse(eval.out)["point"].size(), 3u);
}

TEST_F(NameTextTest, SimulatePrintsNamesInUtf8AndTakesThemInUtf8)
{
    const Outcome o = run({"simulate", file.path(), "--steps", "120", "--dt", "0.05"});
    ASSERT_EQ(o.code, 0) << o.err;
    std::istringstream lines(o.out);
    bool crossed = false;
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        const json j = json::parse(line);
        for (const json& e : j.value("events", json::array()))
            if (e.is_object() && e["event"] == "cross") {
                crossed = true;
                EXPECT_EQ(e["site"], kSiteUtf8);
                EXPECT_EQ(e["surface"], kSecondUtf8);
                EXPECT_EQ(e["group"], kGroupUtf8);
                EXPECT_EQ(j["surface"], kSecondUtf8); // the step that crosses ends on the new surface
            }
    }
    EXPECT_EQ(count, 121u);
    EXPECT_TRUE(crossed);

    const std::string start = std::string(kSecondUtf8) + "," + kGroupUtf8 + ",0.5,0.5";
    const Outcome moved = run({"simulate", file.path(), "--steps", "1", "--start", start});
    ASSERT_EQ(moved.code, 0) << moved.err;
    EXPECT_EQ(json::parse(moved.out.substr(0, moved.out.find('\n')))["surface"], kSecondUtf8);
}

void writeRecipe(const TempFile& recipe, const json& steps)
{
    const std::string text = json{{"steps", steps}}.dump();
    recipe.write({text.begin(), text.end()});
}

TEST_F(NameTextTest, BuildStoresRecipeNamesInTheCodePageAndPrintsThemInUtf8)
{
    TempFile recipe("cli-names-recipe"), out("cli-names-out");
    writeRecipe(recipe, {{{"op", "createGroup"}, {"name", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"}}});
    ASSERT_TRUE(builders::succeeded(run({"build", recipe.path(), out.path(), "--from", file.path()})));
    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, out.path()));
    ASSERT_EQ(doc.groups.size(), 3u);
    EXPECT_EQ(textOf(doc.groups[2]->name), "\xE9t\xE9 \x80");

    writeRecipe(recipe, {{{"op", "renameSurface"}, {"surface", "x\xC3\xA9"}, {"group", kGroupUtf8}, {"name", "y"}}});
    EXPECT_TRUE(builders::endedSaying(run({"build", recipe.path(), out.path(), "--from", file.path()}), 1,
                                      std::string("no surface \"x\xC3\xA9\" in group \"") + kGroupUtf8 + "\""));
}

} // namespace
