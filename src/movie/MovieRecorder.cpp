#include "movie/MovieRecorder.h"

#include "movie/MovieTiming.h"

namespace movie {

std::unique_ptr<MovieRecorder> MovieRecorder::Start(const std::string& path, const MovieSettings& settings,
                                                    std::string& error)
{
    std::unique_ptr<MovieEncoder> encoder = MovieEncoder::Open(path, settings, error);
    if (!encoder) return nullptr;
    return std::unique_ptr<MovieRecorder>(new MovieRecorder(std::move(encoder), path, settings));
}

MovieRecorder::MovieRecorder(std::unique_ptr<MovieEncoder> encoder, const std::string& path,
                             const MovieSettings& settings)
    : encoder_(std::move(encoder)), path_(path), settings_(settings)
{
    thread_ = std::thread([this] { EncodeLoop(); });
}

MovieRecorder::~MovieRecorder()
{
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_one();
    thread_.join();
    encoder_->Cancel();
}

bool MovieRecorder::Due(double seconds) const { return SlotAt(seconds, settings_.framesPerSecond) >= nextDue_.load(); }

std::vector<std::uint8_t> MovieRecorder::TakeBuffer()
{
    std::vector<std::uint8_t> buffer;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!spare_.empty()) {
            buffer = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    buffer.resize(std::size_t(settings_.width) * std::size_t(settings_.height) * 4);
    return buffer;
}

bool MovieRecorder::Offer(std::vector<std::uint8_t>&& bgra, double seconds)
{
    const std::int64_t frame = SlotAt(seconds, settings_.framesPerSecond);
    if (frame < nextDue_.load()) return false;
    nextDue_ = frame + 1;
    taken_.fetch_add(1);
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (queue_.size() >= kQueueLength || stopping_) {
            ++dropped_;
            spare_.push_back(std::move(bgra));
            return false;
        }
        queue_.push_back({std::move(bgra), frame});
    }
    wake_.notify_one();
    return true;
}

void MovieRecorder::EncodeLoop()
{
    for (;;) {
        Picture picture;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            picture = std::move(queue_.front());
            queue_.pop_front();
        }
        Encode(picture);
        std::lock_guard<std::mutex> guard(mutex_);
        spare_.push_back(std::move(picture.bgra));
    }
}

// Frames skipped since the last picture repeat it; a failed encoder takes nothing more.
void MovieRecorder::Encode(Picture& picture)
{
    if (!error_.empty()) return;
    bool added = true;
    for (; nextFrame_ < picture.frame && nextFrame_ > 0 && added; ++nextFrame_, ++repeated_)
        added = encoder_->RepeatFrame(error_);
    if (added && encoder_->PushFrame(picture.bgra.data(), error_)) nextFrame_ = picture.frame + 1;
}

RecordingSummary MovieRecorder::Stop()
{
    RecordingSummary summary;
    summary.path = path_;
    if (!thread_.joinable()) {
        summary.error = "The movie was stopped already.";
        return summary;
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
        summary.dropped = dropped_;
    }
    wake_.notify_one();
    thread_.join();
    summary.frames = encoder_->frames();
    summary.repeated = repeated_;
    summary.error = error_;
    summary.written = error_.empty() && encoder_->Finish(summary.error);
    return summary;
}

} // namespace movie
