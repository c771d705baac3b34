#include "support/CliRun.h"
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using builders::TempFile;
using nlohmann::json;
using Outcome = builders::CliOutcome;
constexpr auto run = builders::runCli;

// Replaces the file by a FIFO without a writer: opening it to read would wait for one.
void makeFifo(const TempFile& file)
{
    std::remove(file.path().c_str());
    ASSERT_EQ(::mkfifo(file.path().c_str(), 0600), 0);
}

void saveTrack(const TempFile& file)
{
    COpenGLTemplateDoc doc;
    builders::fillTrackDocument(doc);
    ASSERT_TRUE(builders::saved(doc, file.path()));
}

} // namespace

TEST(CliUsage, BadCommandLinesExitWithOneAndTheUsageOfTheCommandThatWasWrong)
{
    struct Row {
        std::vector<std::string> args;
        const char* says;
        const char* usage; // the usage line given, or none
    };
    for (const Row& row : {Row{{}, "no command", nullptr}, Row{{"draw", "x.mwk"}, "unknown command \"draw\"", nullptr},
                           Row{{"help", "draw"}, "\"help\" takes one command name", nullptr},
                           Row{{"new"}, "\"new\" takes 1 argument", "usage: marlwick-cli new OUT.mwk"},
                           Row{{"resave", "a.mwk"}, "\"resave\" takes 2 argument", "resave IN.mwk OUT.mwk"},
                           Row{{"eval", "a.mwk", "a", "main", "0.5"}, "\"eval\" takes 5", "eval FILE.mwk SURFACE GROUP U V"},
                           Row{{"simulate", "a.mwk", "--fast"}, "unknown option", "simulate FILE.mwk [options]"}}) {
        const Outcome o = run(row.args);
        EXPECT_TRUE(builders::refusedInOneLine(o, 1, row.says));
        EXPECT_NE(o.err.find(row.usage ? row.usage : "\"marlwick-cli --help\" lists the commands"), std::string::npos)
            << o.err;
        for (const char* other : {"resave IN", "eval FILE", "simulate FILE"}) {
            const bool ownUsage = row.usage && std::strstr(row.usage, other);
            EXPECT_TRUE(ownUsage || o.err.find(other) == std::string::npos) << o.err;
        }
    }
}

TEST(CliUsage, HelpListsEveryCommandWithASentenceAndItsOptionsAndVersionNamesTheRelease)
{
    const Outcome overview = run({"--help"});
    EXPECT_EQ(overview.code, 0);
    EXPECT_TRUE(overview.err.empty());
    EXPECT_EQ(run({"help"}).out, overview.out);
    for (const char* name : {"new", "resave", "info", "eval", "simulate", "render", "build", "profile"}) {
        const std::string line = std::string("\n  ") + name + " ";
        const auto at = overview.out.find(line);
        ASSERT_NE(at, std::string::npos) << name;
        const std::string sentence = overview.out.substr(at, overview.out.find('\n', at + 1) - at);
        EXPECT_EQ(sentence.back(), '.') << sentence;

        const Outcome own = run({"help", name});
        EXPECT_EQ(own.code, 0);
        EXPECT_EQ(own.out.rfind(std::string("usage: marlwick-cli ") + name + " ", 0), 0u) << own.out;
        EXPECT_EQ(run({name, "--help"}).out, own.out);
        EXPECT_EQ(run({name, "x", "-h"}).out, own.out);
    }
    for (const char* option : {"--steps N", "--follow", "--library FILE", "--x time|distance"})
        EXPECT_NE(overview.out.find(option), std::string::npos) << option;
    EXPECT_NE(run({"help", "render"}).out.find("--steps N"), std::string::npos);
    EXPECT_EQ(run({"help", "build"}).out.find("--steps N"), std::string::npos);
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "marlwick-cli " MARLWICK_VERSION "\n");
}

TEST(CliNewAndResave, WriteTheDocumentsOfNewAndSave)
{
    TempFile created("cli-new"), resaved("cli-resave");
    EXPECT_TRUE(builders::succeeded(run({"new", created.path()})));
    COpenGLTemplateDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(created.read(), doc.SerializeDocument());

    EXPECT_TRUE(builders::succeeded(run({"resave", created.path(), resaved.path()})));
    EXPECT_EQ(resaved.read(), created.read());
}

TEST(CliNewAndResave, FileFailuresExitWithTwoNamingTheFile)
{
    EXPECT_TRUE(builders::refusedInOneLine(run({"new", "/nonexistent/dir/out.mwk"}), 2, "/nonexistent/dir/out.mwk"));

    TempFile garbage("cli-garbage"), out("cli-out");
    garbage.write({1, 2, 3});
    const auto before = out.read();
    EXPECT_TRUE(builders::refusedInOneLine(run({"resave", garbage.path(), out.path()}), 2, garbage.path()));
    EXPECT_EQ(out.read(), before) << "nothing is written after a failed read";
    EXPECT_EQ(run({"info", "/nonexistent/x.mwk"}).code, 2);

    // A FIFO (like a device) is never replaced by a regular file.
    TempFile fifo("cli-fifo");
    makeFifo(fifo);
    EXPECT_TRUE(builders::refusedInOneLine(run({"new", fifo.path()}), 2, fifo.path() + ": it is not a regular file"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo.path()));
}

TEST(CliHostileFiles, AFifoToReadIsRefusedAtOnceByEveryCommand)
{
    TempFile fifo("cli-read-fifo"), document("cli-doc"), recipe("cli-recipe"), out("cli-out");
    makeFifo(fifo);
    saveTrack(document);
    std::ofstream(recipe.path()) << R"({"steps": []})";
    const std::string& f = fifo.path();
    const std::string& r = recipe.path();
    const std::string& o = out.path();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"info", f},
             {"resave", f, o},
             {"eval", f, "a", "main", "0.5", "0.5"},
             {"simulate", f},
             {"profile", f, o + ".csv"},
             {"render", f, o + ".png"},
             {"build", f, o},
             {"build", r, o, "--from", f},
             {"build", r, o, "--library", f},
             {"build", r, o, "--templates", f}}) {
        SCOPED_TRACE(args[0] + " " + args.back());
        EXPECT_TRUE(builders::refusedInOneLine(run(args), 2, "Cannot read " + f + ": it is not a regular file."));
    }
}

TEST(CliInfo, DescribesSettingsGroupsSurfacesSitesAndHoles)
{
    COpenGLTemplateDoc doc;
    builders::fillTrackDocument(doc);
    TempFile file("cli-info");
    ASSERT_TRUE(builders::saved(doc, file.path()));
    const Outcome o = run({"info", file.path()});
    ASSERT_EQ(o.code, 0) << o.err;
    const json j = json::parse(o.out);

    EXPECT_EQ(j["settings"]["movieFrameCount"], 100);
    EXPECT_EQ(j["settings"]["showFocalPoint"], true);
    EXPECT_EQ(j["settings"]["launchDirection"], json::array({0.25, 0.0, -1.0}));
    EXPECT_EQ(j["settings"].size(), 39u);
    EXPECT_EQ(j["ballStart"], json({{"surface", "a"}, {"group", "main"}, {"u", 0.5}, {"v", 0.5}}));
    EXPECT_EQ(j["groups"][1], json({{"name", "track"}, {"members", {"a", "c"}}}));

    ASSERT_EQ(j["surfaces"].size(), 4u);
    const json& b = j["surfaces"][1];
    const json expected = {{"name", "b"}, {"type", 2}, {"pointsPerSection", 7}, {"sectionCount", 7},
                           {"intermediateCount", 3}, {"reverseNormal", true}, {"displayMesh", {25, 25}},
                           {"collisionMesh", {31, 31}}};
    for (const auto& [key, value] : expected.items()) EXPECT_EQ(b[key], value) << key;
    EXPECT_GT(b["boxTreeDepth"].get<int>(), 0);
    EXPECT_LE(b["bounds"]["min"][1].get<double>(), b["heightMin"].get<double>());
    EXPECT_NEAR(b["heightMax"].get<double>(), 2.0, 1e-6);
    EXPECT_EQ(b["sites"][0], json({{"name", "end"},
                                   {"edge", "end"},
                                   {"low", 0.0},
                                   {"high", 1.0},
                                   {"linked", {{"surface", "c"}, {"group", "track"}}},
                                   {"reversed", true}}));
    EXPECT_EQ(b["sites"][2]["edge"], "left");
    EXPECT_TRUE(b["sites"][3]["linked"].is_null());
    EXPECT_EQ(b["holes"][0], json({{"name", "pit"}, {"u", {0.25, 0.75}}, {"v", {0.4, 0.6}}}));
    EXPECT_EQ(j["surfaces"][3]["wrapV"], true);
    // Every cross section with its scale and its shape's points.
    ASSERT_EQ(b["sections"].size(), 7u);
    EXPECT_EQ(b["sections"][2]["scale"], 1.0);
    EXPECT_EQ(b["sections"][2]["points"].size(), 7u);
    EXPECT_EQ(b["sections"][2]["points"][0].size(), 2u);
    EXPECT_EQ(b["sections"][0]["position"].size(), 3u);

    // A ball start naming no surface of the document is null.
    setText(doc.ballStartSurfaceName, "gone");
    ASSERT_TRUE(builders::saved(doc, file.path()));
    const json gone = json::parse(run({"info", file.path()}).out);
    EXPECT_TRUE(gone["ballStart"]["surface"].is_null());
    EXPECT_EQ(gone["settings"]["ballStartSurfaceName"], "gone");
}

TEST(CliEval, ReportsTheSurfaceAtUV)
{
    TempFile file("cli-eval");
    saveTrack(file);
    const Outcome o = run({"eval", file.path(), "a", "track", "0.25", "1"});
    ASSERT_EQ(o.code, 0) << o.err;
    const json j = json::parse(o.out);

    COpenGLTemplateDoc doc;
    ASSERT_TRUE(builders::opened(doc, file.path()));
    SurfaceSection* s = doc.FindSurface("a", "track");
    const Vec3 p = s->EvaluatePoint(0.25, 1.0);
    const SurfaceDerivatives d = s->EvaluateDerivatives(0.25, 1.0);
    EXPECT_EQ(j["point"], json::array({p.x, p.y, p.z}));
    EXPECT_EQ(j["Sv"], json::array({d.Sv.x, d.Sv.y, d.Sv.z}));
    EXPECT_EQ(j["normal"], json::array({d.N.x, d.N.y, d.N.z}));
    EXPECT_EQ(j["curvature"], d.K);
    EXPECT_EQ(j["tangentAngle"], TangentAngle(d.N));
    for (const char* key : {"Su", "Suu", "Suv", "Svv"}) EXPECT_EQ(j[key].size(), 3u) << key;
}

TEST(CliEval, RefusesBadParametersAndUnknownSurfaces)
{
    TempFile file("cli-evalbad");
    saveTrack(file);
    for (const char* bad : {"1.5", "-0.1", "x", "0.5x", "nan", ""})
        EXPECT_TRUE(builders::refusedInOneLine(run({"eval", file.path(), "a", "main", bad, "0.5"}), 1,
                                               "U must be a number from 0 to 1")) << bad;
    EXPECT_TRUE(builders::refusedInOneLine(run({"eval", file.path(), "c", "main", "0.5", "0.5"}), 1,
                                           "has no surface \"c\" in group \"main\""));
}

TEST(CliOutput, AFailedWriteToTheOutputExitsWithTwo)
{
    TempFile file("cli-full");
    saveTrack(file);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", file.path()}, {"eval", file.path(), "a", "main", "0.5", "0.5"},
          {"simulate", file.path(), "--steps", "100000"}}) {
        SCOPED_TRACE(args[0]);
        std::ofstream full("/dev/full");
        ASSERT_TRUE(full.is_open());
        std::ostringstream err;
        EXPECT_EQ(cli::Run(args, full, err), 2);
        EXPECT_EQ(err.str(), "marlwick-cli: cannot write to standard output\n");
    }
}
