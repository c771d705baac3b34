#pragma once

// A movie written frame by frame: H.264 (yuv420p) in MP4, VP9 (yuv420p) in
// WebM, or a GIF with a palette per frame, chosen by the file's extension.
// Frames are converted and handed to the encoder as they come; none is kept
// but the last, for repeating. The movie is written to a temporary file
// beside the destination, with every write checked, and takes the
// destination's place only when Finish succeeds: a failure or a cancel
// leaves no partial file and any old file as it was.

#include "movie/MovieFormat.h"

#include <cstdint>
#include <memory>
#include <string>

namespace movie {

struct MovieSettings {
    int width = 0, height = 0; // pixels; see CheckMovieSize
    double framesPerSecond = 30.0;
};

class MovieEncoder {
public:
    // Starts the movie at path. None, with error naming the file and the
    // reason, when the extension names no movie format, the settings are out
    // of range or the file cannot be made.
    static std::unique_ptr<MovieEncoder> Open(const std::string& path, const MovieSettings& settings,
                                              std::string& error);
    // Without Finish, as Cancel.
    ~MovieEncoder();
    MovieEncoder(const MovieEncoder&) = delete;
    MovieEncoder& operator=(const MovieEncoder&) = delete;

    // Appends a frame of the movie's size: B, G, R, A bytes, bottom row
    // first, rows of width x 4 bytes (what OpenGL reads back).
    bool PushFrame(const std::uint8_t* bgra, std::string& error);
    // Appends the last pushed frame once more (false before the first).
    bool RepeatFrame(std::string& error);
    // Frames appended so far.
    std::int64_t frames() const;
    const MovieSettings& settings() const;

    // Drains the encoder, closes the container and puts the file in place.
    // After a failure of any call, every later call fails with its message.
    bool Finish(std::string& error);
    // Drops the movie: the temporary file is removed.
    void Cancel();

private:
    struct Impl;
    explicit MovieEncoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace movie
