#pragma once

// The ride of the program's last run, recorded while the ball rolls: the
// commands that launch, stop and position the ball mark its start and end,
// and the physics loop adds every step it runs. The user interface copies it
// to save it. Each call takes one short lock; the loop never waits for long.

#include "simulation/RideRecord.h"

#include <mutex>

class RideRecorder {
public:
    // Steps kept of one run: an hour at the loop's 70 steps a second, about
    // 12 MB. A longer run keeps its first hour, which replays on its own, and
    // has no end.
    static constexpr std::size_t kMaxSteps = std::size_t(1) << 18;

    // A new run: the last one is dropped.
    void Launch(const RideLaunch& launch, const RideSwitches& switches, std::uint64_t documentHash);
    // A step the loop ran, with the switches and force input it ran with and
    // the ball's centre after it. Ignored unless a run is going on.
    void RecordStep(const RideSwitches& switches, const ForceInput& force, double h, const Vec3& centre);
    // The run ends; the first end it meets is the one it keeps.
    void End(RideEnd how);
    // Forgets the last run (another document was opened).
    void Clear();

    // A run has been launched and has taken at least one step.
    bool HasRun() const;
    RideRecord Copy() const;

private:
    mutable std::mutex mutex_;
    RideRecord record_;
    bool live_ = false;
    RideSwitches switches_;    // as of the last step recorded
    ForceCircleLayout circle_; // likewise
};
