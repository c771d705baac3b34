#pragma once

// Paces the render loop to the display: at most one frame per refresh
// period of 1/60 s. Where the buffer swap waits for the display (vertical
// sync at 60 Hz), the frames already come that far apart and nothing is
// added; where it does not, the loop sleeps out the rest of the period, so
// that a still scene is not drawn hundreds of times a second. Render thread
// only.

class FramePacer {
public:
    static constexpr double kPeriod = 1.0 / 60.0; // seconds

    // Called when a frame has been shown, with the time now (seconds): how
    // long to wait before the next frame starts. The frames keep to a steady
    // rhythm of one per period; a frame that ran late starts the rhythm anew
    // from now rather than drawing the missed ones back to back.
    double DelayAfterFrame(double now);

private:
    double nextStart_ = 0.0;
    bool started_ = false;
};
