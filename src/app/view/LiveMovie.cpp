#include "view/LiveMovie.h"

#include "view/FrameDrawer.h"

movie::MovieSettings LiveMovie::SettingsFor(int width, int height)
{
    return {width - width % 2, height - height % 2, kFramesPerSecond};
}

std::string LiveMovie::Report(const movie::RecordingSummary& summary)
{
    if (!summary.written) return summary.error;
    return "Movie saved: " + summary.path + ", " + std::to_string(summary.frames) + " frames (" +
           std::to_string(summary.repeated) + " repeated, " + std::to_string(summary.dropped) + " dropped).";
}

void LiveMovie::Begin(std::unique_ptr<movie::MovieRecorder> recorder)
{
    recorder_ = std::move(recorder);
    start_ = std::chrono::steady_clock::now();
    recording_ = recorder_ != nullptr;
}

std::unique_ptr<movie::MovieRecorder> LiveMovie::End()
{
    recording_ = false;
    return std::move(recorder_);
}

void LiveMovie::AfterFrame(FrameDrawer& drawer, int width, int height)
{
    if (!recorder_) return;
    const movie::MovieSettings& movie = recorder_->settings();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const movie::MovieSettings view = SettingsFor(width, height);
    if (recorder_->Due(seconds) && view.width == movie.width && view.height == movie.height) {
        std::vector<std::uint8_t> picture = recorder_->TakeBuffer();
        drawer.ReadFrame(movie.width, movie.height, picture);
        recorder_->Offer(std::move(picture), seconds);
    }
    drawer.DrawRecordingMark(recorder_->picturesTaken(), width, height);
}
