#include "RenderTestSupport.h"
#include "support/ScratchDir.h"

#include "cli/SimulateCommand.h"
#include "support/CliRun.h"
#include "support/FileSizeLimit.h"

#include <FreeImage.h>
#include <GL/gl.h>

#include <filesystem>
#include <sys/stat.h>
#include <fstream>
#include <ostream>

namespace {

using namespace rendertest;
namespace fs = std::filesystem;

using builders::Scratch;

struct ImageInfo {
    bool loaded = false;
    int width = 0, height = 0, bits = 0;
    bool operator==(const ImageInfo&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const ImageInfo& i)
    {
        return out << (i.loaded ? "" : "unread ") << i.width << "x" << i.height << "x" << i.bits;
    }
};

ImageInfo inspect(const std::string& file)
{
    ImageInfo info;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(file.c_str(), 0);
    if (format == FIF_UNKNOWN) return info;
    FIBITMAP* image = FreeImage_Load(format, file.c_str(), 0);
    if (!image) return info;
    info = {true, static_cast<int>(FreeImage_GetWidth(image)), static_cast<int>(FreeImage_GetHeight(image)),
            static_cast<int>(FreeImage_GetBPP(image))};
    FreeImage_Unload(image);
    return info;
}

class Capture : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        doc.OnNewDocument();
        render::FitCameraToSurfaces(doc);
        request.width = 200;
        request.height = 150;
    }
    COpenGLTemplateDoc doc;
    render::FrameRequest request;
    Scratch scratch;
};

TEST_F(Capture, WritesTheFormatOfTheExtensionAtTheRequestedSizeAndNothingForAnUnknownOne)
{
    struct Case {
        const char* name;
        int bits;
    };
    // FreeImage's PNG writer keeps an opaque picture's alpha out of the file.
    for (const Case& c : {Case{"shot.png", 24}, Case{"shot.bmp", 32}, Case{"shot.jpg", 24}, Case{"SHOT.PNG", 24}}) {
        ASSERT_TRUE(renderer.SaveImageFile(doc, request, 321, 123, scratch.file(c.name))) << c.name;
        EXPECT_EQ(inspect(scratch.file(c.name)), (ImageInfo{true, 321, 123, c.bits})) << c.name;
    }
    for (const char* name : {"shot.xyz", "shot"}) {
        EXPECT_FALSE(renderer.SaveImageFile(doc, request, 64, 48, scratch.file(name)));
        EXPECT_FALSE(fs::exists(scratch.file(name))) << name;
    }
}

TEST_F(Capture, TheSavedPictureIsTheFrameAndItsBallTextureItsOwn)
{
    const unsigned poolTexture = renderer.ballTexture();
    const std::string name = scratch.file("frame.png");
    ASSERT_TRUE(renderer.SaveImageFile(doc, request, 200, 150, name));
    EXPECT_EQ(renderer.ballTexture(), poolTexture);
    EXPECT_TRUE(glIsTexture(poolTexture));
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, name.c_str(), 0);
    ASSERT_NE(loaded, nullptr);
    FIBITMAP* image = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    const Picture shown = frame(doc, request);
    int lit = 0, differing = 0;
    for (int y = 0; y < 150; ++y) {
        const BYTE* row = FreeImage_GetScanLine(image, 149 - y);
        for (int x = 0; x < 200; ++x) {
            const Rgb saved{row[4 * x + FI_RGBA_RED], row[4 * x + FI_RGBA_GREEN], row[4 * x + FI_RGBA_BLUE]};
            lit += saved.black() ? 0 : 1;
            differing += near(saved, shown.at(x, y), 2) ? 0 : 1;
        }
    }
    FreeImage_Unload(image);
    EXPECT_GT(lit, 500);
    EXPECT_EQ(differing, 0);
}

TEST_F(Capture, AFailedWriteKeepsThePreviousImageAndSaysWhy)
{
    const std::string name = scratch.file("keep.bmp");
    std::string error;
    ASSERT_TRUE(renderer.SaveImageFile(doc, request, 32, 32, name, error)) << error;
    const auto before = fs::file_size(name);

    // A file-size limit below the new picture makes the write itself fail.
    const auto write = [&] { return renderer.SaveImageFile(doc, request, 200, 150, name, error); };
    EXPECT_FALSE(builders::underFileSizeLimit(4096, write));
    EXPECT_NE(error.find(name), std::string::npos) << error;
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(fs::file_size(name), before);
    EXPECT_EQ(inspect(name).width, 32);
    EXPECT_EQ(scratch.entries(), 1);

    EXPECT_FALSE(renderer.SaveImageFile(doc, request, 32, 32, scratch.file("none/x.png"), error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST_F(Capture, ImagesAreWrittenThroughLinksAndNeverOverOtherFiles)
{
    fs::create_directory(scratch.path() / "real");
    fs::create_symlink("real/shot.png", scratch.path() / "link.png");
    std::string error;
    ASSERT_TRUE(renderer.SaveImageFile(doc, request, 40, 30, scratch.file("link.png"), error)) << error;
    EXPECT_TRUE(fs::is_symlink(scratch.path() / "link.png"));
    EXPECT_EQ(inspect(scratch.file("real/shot.png")).width, 40);

    ASSERT_EQ(::mkfifo(scratch.file("pipe.png").c_str(), 0600), 0);
    EXPECT_FALSE(renderer.SaveImageFile(doc, request, 40, 30, scratch.file("pipe.png"), error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_fifo(scratch.path() / "pipe.png"));
}

TEST_F(Capture, APrintIsDrawnOnWhite)
{
    doc.surfaces[0]->render = 0;
    doc.showBall = false;
    const auto pixels = renderer.RenderOffscreen(doc, request, 40, 30, render::RenderMode::Print);
    ASSERT_EQ(pixels.size(), 40u * 30 * 4);
    for (std::size_t k = 0; k < pixels.size(); ++k) ASSERT_EQ(pixels[k], 255) << k;
}

TEST_F(Capture, MovieFramesGoToTheMovieFolderAtTheImageWidth)
{
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.path());
    fs::create_directory("movie");
    request.width = 1000;
    request.height = 500;
    const render::FrameSize size = renderer.SaveMovieFrame(doc, request, 7);
    const ImageInfo info = inspect("movie/image007.bmp");
    fs::current_path(previous);
    EXPECT_EQ(size.width, 800);
    EXPECT_EQ(size.height, 400);
    EXPECT_EQ(info, (ImageInfo{true, 800, 400, 32}));
}

TEST_F(Capture, TextureLoadingReportsFreeImagesMessagesAndSkipsMissingFiles)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    EXPECT_FALSE(render::LoadTexture(scratch.file("missing.bmp"), texture));
    ASSERT_EQ(::mkfifo(scratch.file("pipe.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(render::LoadTexture(scratch.file("pipe.bmp"), texture)); // no writer, and not waited for
    EXPECT_TRUE(render::LoadTexture(render::FindBallTexture(), texture));
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, 256);

    // A PNG cut short: FreeImage knows the format and complains.
    const std::string whole = scratch.file("whole.png"), cut = scratch.file("cut.png");
    ASSERT_TRUE(renderer.SaveImageFile(doc, request, 64, 64, whole));
    const std::string bytes = builders::readFile(whole);
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    render::LoadTexture(cut, texture);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "FreeImage's text stays off standard output";
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("\n*** PNG Format\n", 0), 0u) << said;
    EXPECT_GE(said.size(), 21u);
    EXPECT_EQ(said.substr(said.size() - 5), " ***\n") << said;
    glDeleteTextures(1, &texture);
}

// marlwick-cli render, run in-process.
class CliRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        COpenGLTemplateDoc doc;
        doc.OnNewDocument();
        ASSERT_TRUE(builders::saved(doc, document));
    }
    static builders::CliOutcome run(std::vector<std::string> args) { return builders::runCommand("render", args); }
    Scratch scratch;
    std::string document = scratch.file("doc.mwk");
};

TEST_F(CliRender, WritesTheViewAtTheGivenSize)
{
    ASSERT_TRUE(builders::succeeded(run({document, scratch.file("view.png"), "--size", "320x200"})));
    EXPECT_EQ(inspect(scratch.file("view.png")), (ImageInfo{true, 320, 200, 24}));
    ASSERT_TRUE(builders::succeeded(run({document, scratch.file("view.jpg")})));
    EXPECT_EQ(inspect(scratch.file("view.jpg")).width, 800);
}

TEST_F(CliRender, TheRunBeforeTheFrameTakesTheSimulateOptionsAndTheFollowCameraSeesItsEnd)
{
    const auto render = [&](const std::string& name, const std::vector<std::string>& extra) {
        return run(builders::joined({document, scratch.file(name), "--size", "96x64"}, extra));
    };
    const auto bytes = [&](const char* name) { return builders::readFile(scratch.file(name)); };
    ASSERT_TRUE(builders::succeeded(render("start.bmp", {"--follow"})));
    ASSERT_TRUE(builders::succeeded(render("later.bmp", {"--follow", "--steps", "40"})));
    ASSERT_TRUE(builders::succeeded(render("orbit.bmp", {})));
    EXPECT_NE(bytes("start.bmp"), bytes("later.bmp"));
    EXPECT_NE(bytes("start.bmp"), bytes("orbit.bmp"));

    ASSERT_TRUE(builders::succeeded(render("slow.bmp", {"--follow", "--steps", "30", "--speed", "0.5"})));
    ASSERT_TRUE(builders::succeeded(render("fast.bmp", {"--follow", "--steps", "30", "--speed", "6"})));
    EXPECT_NE(bytes("slow.bmp"), bytes("fast.bmp"));

    EXPECT_TRUE(builders::endedSaying(render("none.bmp", {"--start", "nosuch,main,0.5,0.5"}), cli::kExitNoStartSurface,
                                      "nosuch"));
    EXPECT_FALSE(fs::exists(scratch.file("none.bmp")));
}

// The run's options are read as simulate reads them (its refusals are
// simulate's tests'); one of them shows render takes them.
TEST_F(CliRender, RefusesBadCommandLinesWithOneLine)
{
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const std::string out = scratch.file("x.png");
    for (const Case& c : {Case{{document}, "takes a document and an image"},
                          Case{{document, scratch.file("x.gif")}, ".png, .bmp or .jpg"},
                          Case{{document, out, "--size", "0x10"}, "--size"},
                          Case{{document, out, "--size", "wide"}, "--size"},
                          Case{{document, out, "--steps"}, "needs a value"},
                          Case{{document, out, "--fast"}, "unknown option"},
                          Case{{document, out, "--speed", "-3"}, "--speed"}}) {
        EXPECT_TRUE(builders::refusedInOneLine(run(c.args), cli::kExitUsage, c.mentions));
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(run({scratch.file("none.mwk"), out}).code, cli::kExitFile);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliRender, FileFailuresGiveTheReasonAndSpareTheDocument)
{
    const std::string nowhere = scratch.file("nodir/x.png");
    EXPECT_TRUE(
        builders::endedSaying(run({document, nowhere}), cli::kExitFile, nowhere + ": No such file or directory"));

    // A document whose name ends in .png is not overwritten by its own picture,
    // however it is named.
    const std::string named = scratch.file("d.png");
    fs::copy_file(document, named);
    const auto before = fs::file_size(named);
    for (const std::string& image : {named, scratch.path().string() + "/./d.png"}) {
        EXPECT_TRUE(builders::endedSaying(run({named, image}), cli::kExitFile, "it is the document being drawn"));
    }
    EXPECT_EQ(fs::file_size(named), before);
    COpenGLTemplateDoc reopened;
    EXPECT_TRUE(builders::opened(reopened, named));
}

} // namespace
