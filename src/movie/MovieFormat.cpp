#include "movie/MovieFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace movie {

std::optional<MovieFormat> MovieFormatOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".mp4") return MovieFormat::Mp4;
    if (ext == ".webm") return MovieFormat::WebM;
    if (ext == ".gif") return MovieFormat::Gif;
    return std::nullopt;
}

bool NeedsEvenSides(MovieFormat format) { return format != MovieFormat::Gif; }

std::string CheckMovieSize(MovieFormat format, int width, int height)
{
    const auto inRange = [](int side) { return side >= kMinSide && side <= kMaxSide; };
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!inRange(width) || !inRange(height))
        return "the frame size must have sides from " + std::to_string(kMinSide) + " to " + std::to_string(kMaxSide) +
               " pixels, not " + size;
    if (NeedsEvenSides(format) && (width % 2 != 0 || height % 2 != 0))
        return "the frame size of an .mp4 or .webm movie must have even sides, not " + size;
    return {};
}

std::string CheckFrameRate(double framesPerSecond)
{
    if (std::isfinite(framesPerSecond) && framesPerSecond > 0.0 && framesPerSecond <= kMaxFramesPerSecond) return {};
    std::ostringstream text;
    text << "the frame rate must be above 0 and at most " << kMaxFramesPerSecond << ", not " << framesPerSecond;
    return text.str();
}

} // namespace movie
