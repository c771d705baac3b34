#pragma once

// The movie files the encoder writes, chosen by the file's extension, and
// the sizes and rates it takes.

#include <optional>
#include <string>

namespace movie {

enum class MovieFormat {
    Mp4,  // H.264 in yuv420p
    WebM, // VP9 in yuv420p
    Gif,  // 256 colours per frame
};

inline constexpr double kMaxFramesPerSecond = 240.0;
inline constexpr int kMinSide = 16, kMaxSide = 4096;

// The format an extension names (".mp4", ".webm", ".gif", in any case); none for another.
std::optional<MovieFormat> MovieFormatOf(const std::string& path);

// Whether the format stores colour at half resolution, so that both sides must be even.
bool NeedsEvenSides(MovieFormat format);

// Empty when a movie of this format can be made at width x height and the
// rate; otherwise the complaint, e.g. "the frame rate must be above 0 and at most 240, not 0".
std::string CheckMovieSize(MovieFormat format, int width, int height);
std::string CheckFrameRate(double framesPerSecond);

} // namespace movie
