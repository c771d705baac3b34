#include "support/CliRun.h"
#include "support/DocumentBuilders.h"
#include "support/FileSizeLimit.h"
#include "support/ScratchDir.h"
#include "support/SimulationBuilders.h"

#include <QFile>
#include <QImage>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

using builders::readFile;
using Outcome = builders::CliOutcome;

Outcome profile(std::vector<std::string> args) { return builders::runCommand("profile", std::move(args)); }

// A floor the ball rolls along and off, falling back to its start.
class ProfileCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        builders::setLaunch(doc, builders::addFloor(doc, "floor", 5, 3), 0.5, 0.5, 5.0);
        ASSERT_TRUE(builders::saved(doc, document));
    }

    std::string path(const char* name) const { return scratch.file(name); }

    builders::Scratch scratch;
    std::string document = path("ride.mwk");
};

TEST_F(ProfileCommand, TheCsvHasTheHeaderAndOneRowPerStep)
{
    const std::string csv = path("ride.csv");
    const Outcome o = profile({document, csv, "--steps", "120", "--dt", "0.05"});
    ASSERT_EQ(o.code, 0) << o.err;
    std::istringstream in(readFile(csv));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "t,distance,speed,height,gVertical,gLateral,gLongitudinal,kinetic,potential,total,events");
    int rows = 0;
    bool leftTheFloor = false, fellBack = false;
    while (std::getline(in, line)) {
        ++rows;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 10) << line;
        if (rows == 1) {
            EXPECT_EQ(line.rfind("0.05,", 0), 0u) << line;
        }
        leftTheFloor |= line.find(",edge") != std::string::npos;
        fellBack |= line.find("fall-reset") != std::string::npos;
    }
    EXPECT_EQ(rows, 120);
    EXPECT_TRUE(leftTheFloor);
    EXPECT_TRUE(fellBack);
}

TEST_F(ProfileCommand, ThePngIsANonBlankChartOfTheRequestedSizeMadeWithoutAWordOnStandardError)
{
    // Without XDG_RUNTIME_DIR, Qt's start-up would complain on standard error.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = runtime ? runtime : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    ::testing::internal::CaptureStderr();
    const std::string png = path("ride.png");
    const Outcome o = profile({document, png, "--steps", "100", "--size", "640x480"});
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (runtime) ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    EXPECT_EQ(said, "");
    ASSERT_EQ(o.code, 0) << o.err;
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 480));
    // Lines, labels and markers: a good share of the page is not background.
    long inked = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.lightness() < 200) ++inked;
            if (c.blue() > 150 && c.red() < 90) ++blue; // the speed and vertical lines
        }
    EXPECT_GT(inked, 640 * 480 / 100);
    EXPECT_GT(blue, 200);
}

TEST_F(ProfileCommand, TheSvgIsWellFormedWithItsTitleAndAxes)
{
    const std::string svg = path("ride.svg");
    ASSERT_EQ(profile({document, svg, "--steps", "80", "--x", "distance"}).code, 0);
    QFile file(QString::fromStdString(svg));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    bool root = false;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && !root) {
            root = true;
            EXPECT_EQ(xml.name().toString(), "svg");
        }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(root);
    const std::string text = readFile(svg);
    EXPECT_NE(text.find("<title>ride</title>"), std::string::npos);
    EXPECT_NE(text.find("distance (units)"), std::string::npos);
    EXPECT_NE(text.find("felt acceleration (g)"), std::string::npos);
}

TEST_F(ProfileCommand, RefusesBadArgumentsAndLeavesTheOutputAsItWas)
{
    const std::string csv = path("kept.csv");
    { std::ofstream(csv) << "kept"; }
    for (const auto& args : std::vector<std::vector<std::string>>{{document, path("ride.txt")},
                                                                   {document, csv, "--x", "height"},
                                                                   {document, csv, "--size", "10x10"},
                                                                   {document}}) {
        EXPECT_TRUE(builders::endedSaying(profile(args), cli::kExitUsage, "usage: marlwick-cli profile"));
    }
    const std::string damaged = path("damaged.mwk");
    { std::ofstream(damaged) << "not a document"; }
    EXPECT_TRUE(builders::endedSaying(profile({damaged, csv}), cli::kExitFile, damaged));
    EXPECT_EQ(readFile(csv), "kept");

    // One rule for the three endings: a name must come before it.
    for (const char* name : {".csv", ".png", ".svg", "sub/.PNG"}) {
        EXPECT_TRUE(builders::endedSaying(profile({document, name}), cli::kExitUsage, "has no file name before"));
    }
    EXPECT_NE(profile({document, path("ride.txt")}).err.find("must end in .csv, .png or .svg"), std::string::npos);

    const std::string nowhere = path("no-such-dir/ride.png");
    EXPECT_TRUE(builders::endedSaying(profile({document, nowhere, "--steps", "5"}), cli::kExitFile, nowhere));
}

TEST_F(ProfileCommand, OutputsThatAreNotRegularFilesOrTheDocumentAreRefusedAndKept)
{
    namespace fs = std::filesystem;
    ASSERT_EQ(::mkfifo(path("fifo.png").c_str(), 0600), 0);
    fs::create_symlink("fifo.png", path("to-fifo.svg"));
    fs::create_symlink("loop.csv", path("loop.csv"));
    for (const char* name : {"fifo.png", "to-fifo.svg", "loop.csv"}) {
        const Outcome o = profile({document, path(name), "--steps", "5"});
        EXPECT_TRUE(builders::endedSaying(o, cli::kExitFile, "Cannot save " + path(name)));
    }
    EXPECT_TRUE(fs::is_fifo(path("fifo.png")));
    EXPECT_TRUE(fs::is_symlink(path("loop.csv")));

    const std::string self = path("ride-copy.svg");
    fs::copy_file(document, self);
    EXPECT_TRUE(builders::endedSaying(profile({self, self, "--steps", "5"}), cli::kExitFile,
                                      "Cannot save " + self + ": it is the document being profiled."));
    EXPECT_EQ(readFile(self), readFile(document));
}

TEST_F(ProfileCommand, AFailedWriteKeepsTheOldFileAndAGoodOneItsPermissions)
{
    for (const char* name : {"kept.csv", "kept.png", "kept.svg"}) {
        const std::string out = path(name);
        { std::ofstream(out) << "kept"; }
        ::chmod(out.c_str(), 0444);
        // A limit below the new file: the write itself fails.
        const auto write = [&] { return profile({document, out, "--steps", "60"}); };
        const Outcome failed = builders::underFileSizeLimit(1024, write);
        EXPECT_TRUE(builders::endedSaying(failed, cli::kExitFile, "Cannot save " + out + ": File too large."));
        EXPECT_EQ(readFile(out), "kept");

        ASSERT_EQ(profile({document, out, "--steps", "60"}).code, 0) << name;
        EXPECT_NE(readFile(out), "kept");
        EXPECT_EQ(std::filesystem::status(out).permissions(), std::filesystem::perms(0444)) << name;
    }
    EXPECT_EQ(scratch.entries(), 4); // no temporary file is left
}

} // namespace
