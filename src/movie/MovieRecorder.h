#pragma once

// A movie recorded from a view while it draws. The drawing thread offers a
// picture whenever the movie's next frame is due by the wall clock (frame k
// at k / fps seconds after the start) and never waits: the pictures go
// through a small bounded queue to an encoding thread of the recorder's own,
// and a picture that finds the queue full is dropped. Each frame the movie
// has no picture for repeats the one before it, so the movie keeps the pace
// of the wall clock whatever the drawing rate.

#include "movie/MovieEncoder.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace movie {

// What a recording came to.
struct RecordingSummary {
    std::string path;
    bool written = false;
    std::string error;          // why not, naming the file
    std::int64_t frames = 0;    // frames in the movie
    std::int64_t repeated = 0;  // frames that repeat the picture before them
    std::int64_t dropped = 0;   // pictures the encoder could not take in time
};

class MovieRecorder {
public:
    // Pictures waiting for the encoder at most.
    static constexpr std::size_t kQueueLength = 3;

    // Opens the movie (MovieEncoder::Open) and starts the encoding thread.
    // None, with error set, when the movie cannot be made.
    static std::unique_ptr<MovieRecorder> Start(const std::string& path, const MovieSettings& settings,
                                                std::string& error);
    // Without Stop, the movie is cancelled: no file is left.
    ~MovieRecorder();
    MovieRecorder(const MovieRecorder&) = delete;
    MovieRecorder& operator=(const MovieRecorder&) = delete;

    const MovieSettings& settings() const { return settings_; }

    // --- the drawing thread ---
    // Whether a picture taken `seconds` after the start would fill a frame
    // that has none yet.
    bool Due(double seconds) const;
    // A buffer for the next picture, width x height x 4 bytes, reused from
    // pictures already encoded when there is one.
    std::vector<std::uint8_t> TakeBuffer();
    // Hands over a picture (bottom-up B, G, R, A) taken `seconds` after the
    // start. False when it was dropped (the queue was full, or not due).
    bool Offer(std::vector<std::uint8_t>&& bgra, double seconds);
    // Pictures taken so far, for the recording mark.
    std::int64_t picturesTaken() const { return taken_.load(); }

    // Encodes what is queued, finishes the file and ends the thread.
    RecordingSummary Stop();

private:
    struct Picture {
        std::vector<std::uint8_t> bgra;
        std::int64_t frame = 0;
    };
    MovieRecorder(std::unique_ptr<MovieEncoder> encoder, const std::string& path, const MovieSettings& settings);
    void EncodeLoop();
    void Encode(Picture& picture);

    std::unique_ptr<MovieEncoder> encoder_;
    std::string path_;
    MovieSettings settings_;
    std::atomic<std::int64_t> nextDue_{0}; // the first frame no picture was offered for
    std::atomic<std::int64_t> taken_{0};

    std::mutex mutex_; // guards everything below
    std::condition_variable wake_;
    std::deque<Picture> queue_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool stopping_ = false;
    std::int64_t dropped_ = 0;

    // The encoding thread's own.
    std::int64_t nextFrame_ = 0, repeated_ = 0;
    std::string error_;
    std::thread thread_;
};

} // namespace movie
