#include "MovieProbe.h"
#include "movie/MovieRecorder.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

using builders::Scratch;
using movie::MovieRecorder;

constexpr double kFps = 30.0;

// The middle of frame slot k.
double slot(int k) { return (k + 0.5) / kFps; }

TEST(MovieRecorder, FramesWithoutAPictureRepeatTheOneBefore)
{
    Scratch scratch;
    std::string error;
    auto recorder = MovieRecorder::Start(scratch.file("live.webm"), {32, 32, kFps}, error);
    ASSERT_TRUE(recorder) << error;
    EXPECT_TRUE(recorder->Due(slot(0)));
    for (const int k : {0, 1, 4}) {
        std::vector<std::uint8_t> picture = recorder->TakeBuffer();
        ASSERT_EQ(picture.size(), 32u * 32u * 4u);
        std::fill(picture.begin(), picture.end(), std::uint8_t(k * 40));
        EXPECT_TRUE(recorder->Offer(std::move(picture), slot(k)));
        EXPECT_FALSE(recorder->Due(slot(k))) << "one picture a frame";
        EXPECT_FALSE(recorder->Offer(recorder->TakeBuffer(), slot(k)));
    }
    EXPECT_EQ(recorder->picturesTaken(), 3);
    const movie::RecordingSummary summary = recorder->Stop();
    ASSERT_TRUE(summary.written) << summary.error;
    EXPECT_EQ(summary.frames, 5);
    EXPECT_EQ(summary.repeated, 2);
    EXPECT_EQ(summary.dropped, 0);
    EXPECT_EQ(movietest::probe(summary.path).frames, 5);
    EXPECT_FALSE(recorder->Stop().written);
}

TEST(MovieRecorder, ARecorderDroppedWithoutStopLeavesNoFile)
{
    Scratch scratch;
    std::string error;
    {
        auto recorder = MovieRecorder::Start(scratch.file("live.mp4"), {32, 32, kFps}, error);
        ASSERT_TRUE(recorder) << error;
        ASSERT_TRUE(recorder->Offer(recorder->TakeBuffer(), slot(0)));
    }
    EXPECT_EQ(scratch.entries(), 0);
    EXPECT_FALSE(MovieRecorder::Start(scratch.file("live.mp4"), {33, 32, kFps}, error));
    EXPECT_NE(error.find("even sides"), std::string::npos) << error;
}

} // namespace
