#pragma once

// Rides recorded by the physics loop as the program runs it: a clock whose
// sleeps and waits last longer or shorter each time (a busy machine's), a
// document to ride on, and a run with the force circle pushed about.

#include "document/OpenGLTemplateDoc.h"
#include "simulation/PhysicsLoop.h"
#include "simulation/RideFile.h"
#include "simulation/RideRecorder.h"
#include "support/SimulationBuilders.h"

#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>

namespace builders {

// Every sleep and busy-wait lasts its time stretched by a factor drawn
// evenly from [0.5, 1.5], and one sleep in eight stalls for up to 40 ms more:
// seeded, so each run of a test sees the same clock.
class JitterClock : public LoopClock {
public:
    explicit JitterClock(unsigned seed) : random_(seed) {}
    double Now() override { return now_; }
    void SleepMilliseconds(int ms) override
    {
        now_ += ms * 0.001 * stretch();
        if (unit_(random_) < 0.125) now_ += 0.040 * unit_(random_);
    }
    void Spin() override { now_ += 0.00002 * stretch(); }

private:
    double stretch() { return 0.5 + unit_(random_); }
    double now_ = 50.0;
    std::mt19937 random_;
    std::uniform_real_distribution<double> unit_{0.0, 1.0};
};

// Three floors 8 wide and 30 long down a slope, joined end to end.
inline constexpr double kRideFloorLength = 30.0;
inline void rideTrack(COpenGLTemplateDoc& doc)
{
    emptyDocument(doc);
    addTrack(doc, 3, 5, 3, 0.15, 8.0); // (3 + 3) sections of 5 points: kRideFloorLength
}

// Launches the ball on the first floor at `speed` along +x with the loop's
// control linked (as the view links it), then iterates the loop on a
// JitterClock(seed) for `steps` steps, calling beforeStep(k) before step k,
// and stops the ball if asked. Returns the recorded ride.
inline RideRecord recordRide(COpenGLTemplateDoc& doc, unsigned seed, int steps, double speed,
                             const std::function<void(int)>& beforeStep, bool stop)
{
    PhysicsLoopControl control;
    doc.simulation.physicsControl = &control;
    JitterClock clock(seed);
    PhysicsLoop loop(doc, control, clock);
    launch(doc, *doc.surfaces.front(), 0.5, 0.05, speed, {1, 0, 0});
    for (int k = 0; k < steps; ++k) {
        beforeStep(k);
        const auto before = doc.simulation.stepCount.load();
        while (doc.simulation.stepCount.load() == before) loop.Iterate();
    }
    if (stop) StopBall(doc);
    doc.simulation.physicsControl = nullptr;
    return control.ride.Copy();
}

// A stopped ride at 8 with the pointer held ahead of the circle's centre and
// a little to the side for a while and let go, three times: the ball crosses
// onto the second floor.
inline RideRecord recordJitteredRide(COpenGLTemplateDoc& doc, unsigned seed, int steps = 240)
{
    const auto push = [&](int k) {
        holdForce(doc.simulation, k % 80 >= 20 && k % 80 < 50, 150 + (k % 3) * 4, 60 + (k % 5) * 12);
    };
    return recordRide(doc, seed, steps, 8.0, push, true);
}

// The ride track saved as track.mwk in dir, beside it tilted.mwk (one floor
// tilted: another version of the document), and a ride of `steps` steps
// recorded on track.mwk as the program opens it, saved as good.mwkride.
// Returns the ride; throws when a file cannot be written or read.
inline RideRecord saveTrackAndRide(const std::filesystem::path& dir, unsigned seed, int steps = 240)
{
    std::filesystem::create_directories(dir);
    const auto path = [&](const char* name) { return (dir / name).string(); };
    std::string error;
    COpenGLTemplateDoc built;
    rideTrack(built);
    bool written = built.OnSaveDocument(path("track.mwk"), error);
    built.surfaces.back()->sections[0].position.y += 0.5;
    built.surfaces.back()->Rebuild();
    written = written && built.OnSaveDocument(path("tilted.mwk"), error);
    COpenGLTemplateDoc opened;
    if (!written || !opened.OnOpenDocument(path("track.mwk"), error)) throw std::runtime_error(error);
    RideRecord ride = recordJitteredRide(opened, seed, steps);
    if (!SaveRideFile(path("good.mwkride"), ride, error)) throw std::runtime_error(error);
    return ride;
}

} // namespace builders
