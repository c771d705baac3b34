#pragma once

// File > "Save movie…": what the view shows, recorded by the render thread
// as it draws. The user-interface thread begins and ends the recording with
// the render thread held between frames; the render thread, after drawing
// each frame and before showing it, takes the picture when the movie's next
// frame is due and then draws the recording mark over the view (the movie
// does not show the mark). Pictures are taken only while the view keeps the
// size the movie began with; the frames missed meanwhile repeat the last one.

#include "movie/MovieRecorder.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

class FrameDrawer;

class LiveMovie {
public:
    // The movie's frame rate, in frames per second of the wall clock.
    static constexpr double kFramesPerSecond = 30.0;
    // The movie's size for a view of width x height: even sides, a pixel less if need be.
    static movie::MovieSettings SettingsFor(int width, int height);

    // What the status says when a recording has ended: "Movie saved: PATH,
    // 120 frames (3 repeated, 0 dropped)." or the reason it was not saved.
    static std::string Report(const movie::RecordingSummary& summary);

    // User-interface thread, render thread held.
    void Begin(std::unique_ptr<movie::MovieRecorder> recorder);
    std::unique_ptr<movie::MovieRecorder> End();
    bool recording() const { return recording_.load(); }

    // Render thread: after the frame of a width x height view is drawn.
    void AfterFrame(FrameDrawer& drawer, int width, int height);

private:
    std::unique_ptr<movie::MovieRecorder> recorder_;
    std::chrono::steady_clock::time_point start_;
    std::atomic<bool> recording_{false};
};
