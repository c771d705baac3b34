#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/ScratchDir.h"
#include "support/SimulationBuilders.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

using builders::readFile;
using Outcome = builders::CliOutcome;

Outcome exportTrack(std::vector<std::string> args) { return builders::runCommand("export", std::move(args)); }

// A folder holding the track document (four surfaces, two with holes), a
// document without surfaces, and a flat 4-unit-wide floor.
class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        COpenGLTemplateDoc doc;
        builders::fillTrackDocument(doc);
        ASSERT_TRUE(builders::saved(doc, track));
        doc.DeleteContents();
        builders::emptyDocument(doc);
        ASSERT_TRUE(builders::saved(doc, empty));
        builders::addFloor(doc, "floor", 5, 3);
        ASSERT_TRUE(builders::saved(doc, floor));
    }

    std::string path(const std::string& name) const { return dir.file(name); }

    builders::Scratch dir;
    std::string track = path("track.mwk"), empty = path("empty.mwk"), floor = path("floor.mwk");
};

class ExportFormats : public ExportCommand, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExportFormats, ReadBackByAssimpWithTheSameObjectsAndCounts)
{
    const std::string extension = GetParam();
    for (const char* thickness : {"", "0.1"}) {
        const std::string out = path(std::string("track") + (*thickness ? "-solid" : "") + extension);
        std::vector<std::string> args{track, out};
        if (*thickness) args.insert(args.end(), {"--thickness", thickness});
        const Outcome o = exportTrack(args);
        ASSERT_EQ(o.code, 0) << o.err;
        std::size_t objects = 0, triangles = 0;
        const char* counts = o.err.c_str() + o.err.find(": ", 14) + 2;
        ASSERT_EQ(std::sscanf(counts, "%zu objects, %zu triangles", &objects, &triangles), 2) << o.err;
        EXPECT_EQ(objects, 4u);

        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(out, 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        std::size_t read = 0;
        std::vector<std::string> names;
        for (unsigned k = 0; k < scene->mNumMeshes; ++k) {
            read += scene->mMeshes[k]->mNumFaces;
            names.push_back(scene->mMeshes[k]->mName.C_Str());
        }
        EXPECT_EQ(read, triangles);
        if (extension == ".obj" || extension == ".gltf" || extension == ".glb") {
            EXPECT_EQ(names, (std::vector<std::string>{"main/a", "main/b", "track/a", "track/c"}));
        }
    }
    // Only the two exports are left: no temporary files (the glTF buffers aside).
    EXPECT_EQ(dir.entries(), 3 + 2 + (extension == ".gltf" ? 2 : 0));
}

INSTANTIATE_TEST_SUITE_P(Files, ExportFormats, ::testing::Values(".stl", ".obj", ".ply", ".gltf", ".glb"),
                         [](const auto& format) { return std::string(format.param + 1); });

TEST_F(ExportCommand, AMarbleDiameterScalesTheTrackToMillimetresAndSaysSo)
{
    const std::string out = path("floor.stl");
    const Outcome o = exportTrack({floor, out, "--ball-diameter-mm", "16", "--thickness", "2"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.err.find("scale 24 mm per scene unit"), std::string::npos) << o.err;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(out, 0);
    ASSERT_NE(scene, nullptr);
    const aiMesh& mesh = *scene->mMeshes[0];
    double low = 1e9, high = -1e9, bottom = 1e9;
    for (unsigned k = 0; k < mesh.mNumVertices; ++k) {
        low = std::min<double>(low, mesh.mVertices[k].z);
        high = std::max<double>(high, mesh.mVertices[k].z);
        bottom = std::min<double>(bottom, mesh.mVertices[k].y);
    }
    // 4 scene units across; the ball's diameter, 2 x 0.3333333333, is 16 mm.
    EXPECT_NEAR(high - low, 4.0 * 16.0 / (2.0 * 0.3333333333), 1e-3);
    EXPECT_NEAR(bottom, -2.0, 1e-4); // the thickness is in millimetres too
    // Each facet's stored normal is its own, walls included.
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const unsigned* i = mesh.mFaces[f].mIndices;
        const aiVector3D facet = ((mesh.mVertices[i[1]] - mesh.mVertices[i[0]]) ^
                                  (mesh.mVertices[i[2]] - mesh.mVertices[i[0]])).Normalize();
        ASSERT_GT(facet * mesh.mNormals[i[0]], 0.999f) << "facet " << f;
    }
    EXPECT_EQ(readFile(out).substr(0, 43), "Marlwick export, scale 24 mm per scene unit");
}

TEST_F(ExportCommand, TheScaleIsWrittenWhereTheFormatHasRoom)
{
    for (const char* name : {"f.obj", "f.ply", "f.gltf", "f.glb"})
        ASSERT_EQ(exportTrack({floor, path(name), "--ball-diameter-mm", "16"}).code, 0) << name;
    EXPECT_EQ(readFile(path("f.obj")).rfind("# Marlwick export, scale 24 mm per scene unit (marble 16 mm)\n", 0), 0u);
    EXPECT_NE(readFile(path("f.ply")).find("\ncomment object main/floor ("), std::string::npos);
    for (const char* name : {"f.gltf", "f.glb"}) {
        EXPECT_NE(readFile(path(name)).find("\"extras\":{\"generator\":\"Marlwick\",\"unit\":\"m\",\"scale\":0.024"),
                  std::string::npos)
            << name;
        Assimp::Importer importer;
        EXPECT_NE(importer.ReadFile(path(name), 0), nullptr) << name << ": " << importer.GetErrorString();
    }
}

struct BadExport {
    const char* name;
    std::vector<std::string> options;
    const char* message;
};

class ExportRefusals : public ExportCommand, public ::testing::WithParamInterface<BadExport> {};

TEST_P(ExportRefusals, SayWhyAndLeaveNoFileBehind)
{
    const BadExport& bad = GetParam();
    const std::string in = bad.name == std::string("empty") ? empty : track;
    const std::string out = path(bad.name == std::string("extension") ? "out.3mf" : "out.stl");
    const Outcome o = exportTrack(builders::joined({in, out}, bad.options));
    EXPECT_TRUE(builders::endedSaying(o, 1, bad.message));
    EXPECT_EQ(dir.entries(), 3) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ExportRefusals,
    ::testing::Values(
        BadExport{"extension", {}, "must end in .stl, .obj, .ply, .gltf or .glb"},
        BadExport{"zeroThickness", {"--thickness", "0"}, "The thickness must be a number greater than 0"},
        BadExport{"negativeThickness", {"--thickness", "-1"}, "The thickness must be"},
        BadExport{"nanThickness", {"--thickness", "nan"}, "The thickness must be"},
        BadExport{"infiniteThickness", {"--thickness", "inf"}, "The thickness must be"},
        BadExport{"zeroDiameter", {"--ball-diameter-mm", "0"}, "The marble diameter must be"},
        BadExport{"negativeDiameter", {"--ball-diameter-mm", "-16"}, "The marble diameter must be"},
        BadExport{"textDiameter", {"--ball-diameter-mm", "big"}, "The marble diameter must be"},
        BadExport{"resolutionZero", {"--resolution", "0"}, "between 1 and 8"},
        BadExport{"resolutionNine", {"--resolution", "9"}, "between 1 and 8"},
        BadExport{"resolutionFraction", {"--resolution", "1.5"}, "between 1 and 8"},
        BadExport{"missingSurface", {"--surface", "z,main"}, "no surface \"z\" in group \"main\""},
        BadExport{"missingGroup", {"--group", "nowhere"}, "no group \"nowhere\""},
        BadExport{"bothScopes", {"--group", "main", "--surface", "a,main"}, "give one of --surface and --group"},
        BadExport{"empty", {}, "The document has no shown surface to export."},
        BadExport{"folding", {"--surface", "c,track", "--thickness", "100"}, "The largest thickness that works"}),
    [](const auto& bad) { return std::string(bad.param.name); });

TEST_F(ExportCommand, NeverWritesOverTheDocumentNorIntoAMissingFolder)
{
    const std::string before = readFile(track);
    fs::create_symlink(track, path("link.stl"));
    EXPECT_TRUE(builders::endedSaying(exportTrack({track, path("link.stl")}), 1, "it is the document being exported"));
    EXPECT_EQ(readFile(track), before);
    const std::string missing = path("missing/out.glb");
    EXPECT_TRUE(builders::endedSaying(exportTrack({track, missing}), 2, "Cannot save " + missing));
    EXPECT_EQ(dir.entries(), 4);
}

} // namespace
