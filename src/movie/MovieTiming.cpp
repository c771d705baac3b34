#include "movie/MovieTiming.h"

#include <cmath>

namespace movie {

namespace {

// Products such as 0.1 x 30 land a hair beside the whole number they stand for.
constexpr double kRounding = 1e-9;

} // namespace

std::int64_t FrameCount(double seconds, double fps)
{
    if (!(seconds > 0.0) || !(fps > 0.0)) return 0;
    return static_cast<std::int64_t>(std::ceil(seconds * fps - kRounding));
}

bool ShowsStepEndingAt(std::int64_t frame, double fps, double stepEnd)
{
    return stepEnd * fps <= double(frame) + kRounding;
}

std::int64_t SlotAt(double seconds, double fps)
{
    if (!(seconds > 0.0)) return 0;
    return static_cast<std::int64_t>(std::floor(seconds * fps + kRounding));
}

} // namespace movie
