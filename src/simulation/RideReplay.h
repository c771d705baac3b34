#pragma once

// Steps a recorded ride again: the ball launched as it was, then each step
// with its recorded length and force input through the very physics step the
// program ran, the ball's centre after it checked against the record.

#include "simulation/RideRecord.h"

#include <optional>
#include <string>

class RideReplay {
public:
    // Where the replay first left the ride: the step (from 1) and the two centres.
    struct Divergence {
        std::size_t step = 0;
        Vec3 recorded, replayed;
    };

    explicit RideReplay(RideRecord ride) : ride_(std::move(ride)) {}

    const RideRecord& ride() const { return ride_; }
    std::size_t StepsDone() const { return next_; }

    // Applies the ride's switches and launches the ball from the ride's start
    // with its speed and direction. Empty on success; otherwise why not.
    std::string Launch(COpenGLTemplateDoc& document);

    // Runs the next recorded step and checks the ball's centre bit for bit.
    // Returns the step length used; once the replay has left the ride (or has
    // no step left) it steps no more and returns 0.
    double Step(COpenGLTemplateDoc& document);
    const std::optional<Divergence>& divergence() const { return divergence_; }

private:
    RideRecord ride_;
    std::size_t next_ = 0, nextChange_ = 0;
    ForceCircleLayout circle_;
    std::optional<Divergence> divergence_;
};
