#pragma once

// Which moment each movie frame shows. Frame k stands for the time k / fps:
// from the run's clock, the state of the last step at or before it; from the
// wall clock of a recording, the slot a captured picture fills.

#include <cstdint>

namespace movie {

// Frames in a movie of `seconds` at `fps`: ceil(seconds x fps), so that the
// frames cover the whole time (0 for no time).
std::int64_t FrameCount(double seconds, double fps);

// The step whose state frame k shows, for steps of stepLength seconds with
// step j ending at j x stepLength: the last step at or before k / fps.
std::int64_t StepShownAt(std::int64_t frame, double fps, double stepLength);

// The frame slot that a picture taken `seconds` after the start fills.
std::int64_t SlotAt(double seconds, double fps);

} // namespace movie
