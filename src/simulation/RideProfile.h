#pragma once

// The ride profile of the current run: one RideSample per physics step in a
// ring buffer reserved up front, so recording never allocates. The physics
// thread records; the user interface copies what is new under the same short
// lock, a few samples at a time, so the step never waits for long.

#include "simulation/RideMeasure.h"

#include <cstdint>
#include <mutex>
#include <vector>

class RideProfile {
public:
    // About eight minutes at the loop's 70 steps per second.
    static constexpr std::size_t kCapacity = std::size_t(1) << 15;

    RideProfile();
    RideProfile(const RideProfile&) = delete;
    RideProfile& operator=(const RideProfile&) = delete;

    // Takes the ball as it now stands as the state the next step is measured
    // from (after placing it, or after a fall put it back at its start).
    void Restart(const LiveBall& ball);
    // Drops every sample and the run's totals; the clock and the distance
    // start again from 0.
    void Clear();

    // One step: the ball after it, the step length h, the step's events, and
    // whether the step advanced the ball (false: it stayed at rest).
    void Record(const LiveBall& ball, double h, const StepEvents& events, bool advanced, const RideModel& model);

    // Changes at every Clear, so a reader knows to start over.
    std::uint64_t Generation() const;
    // Samples recorded since the last Clear (the oldest may be gone).
    std::uint64_t Recorded() const;
    // Appends the samples numbered from `first` on that are still held and
    // returns the number of the next one to ask for.
    std::uint64_t CopySince(std::uint64_t first, std::vector<RideSample>& out) const;
    // False when nothing was recorded since the last Clear.
    bool Newest(RideSample& sample) const;
    RideSummary Summary() const;

private:
    mutable std::mutex mutex_;
    std::vector<RideSample> samples_; // reserved to kCapacity, used as a ring
    std::uint64_t recorded_ = 0, generation_ = 0;
    RideSummary summary_;
    // What the next step is measured from.
    Vec3 previousVelocity_, previousCentre_;
    DampingWindow damping_;
    double time_ = 0.0, distance_ = 0.0;
};
