#include "MovieProbe.h"
#include "movie/MovieEncoder.h"
#include "support/CliRun.h"
#include "support/FileSizeLimit.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

using builders::Scratch;
using movie::MovieEncoder;

constexpr int kWidth = 64, kHeight = 48;

// Frame k: a grey ramp with a bright square that moves with k (bottom-up BGRA).
std::vector<std::uint8_t> testFrame(int k)
{
    std::vector<std::uint8_t> bgra(std::size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &bgra[(std::size_t(y) * kWidth + std::size_t(x)) * 4];
            const bool square = x >= 4 * k % 48 && x < 4 * k % 48 + 12 && y >= 18 && y < 30;
            p[0] = square ? 40 : std::uint8_t(x * 3);
            p[1] = square ? 220 : std::uint8_t(y * 4);
            p[2] = square ? 250 : 90;
            p[3] = 255;
        }
    return bgra;
}

struct FormatCase {
    const char* extension;
    const char* codec;
    const char* pixelFormat; // as ffprobe decodes it
    double durationTolerance; // a GIF counts its delays in hundredths of a second
};

class MovieFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MovieFormats, PushedAndRepeatedFramesAreTheMoviesFramesAtItsRate)
{
    const FormatCase& c = GetParam();
    Scratch scratch;
    const std::string path = scratch.file(std::string("clip.") + c.extension);
    std::string error;
    auto encoder = MovieEncoder::Open(path, {kWidth, kHeight, 12.0}, error);
    ASSERT_TRUE(encoder) << error;
    for (int k = 0; k < 12; ++k) {
        const bool added = k % 3 == 2 ? encoder->RepeatFrame(error) : encoder->PushFrame(testFrame(k).data(), error);
        ASSERT_TRUE(added) << error;
    }
    EXPECT_EQ(encoder->frames(), 12);
    EXPECT_FALSE(std::filesystem::exists(path)) << "the movie appears only when finished";
    ASSERT_TRUE(encoder->Finish(error)) << error;

    const movietest::MovieProbe p = movietest::probe(path);
    EXPECT_EQ(std::tie(p.codec, p.pixelFormat, p.width, p.height, p.frames),
              std::tuple(std::string(c.codec), std::string(c.pixelFormat), kWidth, kHeight, 12L));
    EXPECT_NEAR(p.duration, 1.0, c.durationTolerance);
    EXPECT_EQ(scratch.entries(), 1) << "no temporary file is left";
    EXPECT_FALSE(encoder->PushFrame(testFrame(0).data(), error));
    EXPECT_NE(error.find("already finished"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Encoder, MovieFormats,
                         ::testing::Values(FormatCase{"mp4", "h264", "yuv420p", 1e-3},
                                           FormatCase{"webm", "vp9", "yuv420p", 1e-3},
                                           FormatCase{"GIF", "gif", "bgra", 0.03}),
                         [](const auto& row) { return std::string(row.param.codec); });

TEST(MovieEncoderRefusals, BadNamesSizesAndRatesMakeNoFile)
{
    Scratch scratch;
    std::filesystem::create_directory(scratch.file("folder.mp4"));
    struct Case {
        std::string name;
        movie::MovieSettings settings;
        const char* mentions;
    };
    for (const Case& c : {Case{"a.avi", {64, 48, 30}, "no movie format"}, Case{"a.mp4", {65, 48, 30}, "even sides"},
                          Case{"a.webm", {64, 47, 30}, "even sides"}, Case{"a.gif", {8, 48, 30}, "from 16 to 4096"},
                          Case{"a.gif", {64, 5000, 30}, "from 16 to 4096"}, Case{"a.mp4", {64, 48, 0}, "frame rate"},
                          Case{"a.mp4", {64, 48, 240.5}, "frame rate"},
                          Case{"folder.mp4", {64, 48, 30}, "not a regular file"},
                          Case{"none/a.mp4", {64, 48, 30}, "No such file or directory"}}) {
        std::string error;
        EXPECT_FALSE(MovieEncoder::Open(scratch.file(c.name), c.settings, error)) << c.mentions;
        EXPECT_NE(error.find(scratch.file(c.name)), std::string::npos) << error;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
    EXPECT_EQ(scratch.entries(), 1); // the folder
}

TEST(MovieEncoderFailures, ACancelOrAFailedWriteLeavesTheOldFileAsItWas)
{
    Scratch scratch;
    const std::string path = scratch.file("old.mp4");
    std::ofstream(path) << "the old movie";
    std::string error;
    {
        auto cancelled = MovieEncoder::Open(path, {kWidth, kHeight, 30}, error);
        ASSERT_TRUE(cancelled) << error;
        ASSERT_TRUE(cancelled->PushFrame(testFrame(1).data(), error)) << error;
        cancelled->Cancel();
        EXPECT_FALSE(cancelled->Finish(error));
    }
    EXPECT_EQ(builders::readFile(path), "the old movie");
    EXPECT_EQ(scratch.entries(), 1);

    auto failing = MovieEncoder::Open(path, {kWidth, kHeight, 30}, error);
    ASSERT_TRUE(failing) << error;
    EXPECT_FALSE(builders::underFileSizeLimit(2048, [&] {
        bool written = true;
        for (int k = 0; k < 60 && written; ++k) written = failing->PushFrame(testFrame(k).data(), error);
        return written && failing->Finish(error);
    }));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(builders::readFile(path), "the old movie");
    EXPECT_EQ(scratch.entries(), 1);
}

} // namespace
