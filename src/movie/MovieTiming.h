#pragma once

// Which moment each movie frame shows. Frame k stands for the time k / fps:
// from the run's clock, the state of the last step at or before it; from the
// wall clock of a recording, the slot a captured picture fills.

#include <cstdint>

namespace movie {

// Frames in a movie of `seconds` at `fps`: ceil(seconds x fps), so that the
// frames cover the whole time (0 for no time).
std::int64_t FrameCount(double seconds, double fps);

// Whether frame k, at the time k / fps, shows a step that ends at stepEnd
// seconds of the run's clock: a frame shows the last step that ends at or
// before its time, whatever the steps' lengths.
bool ShowsStepEndingAt(std::int64_t frame, double fps, double stepEnd);

// The frame slot that a picture taken `seconds` after the start fills.
std::int64_t SlotAt(double seconds, double fps);

} // namespace movie
