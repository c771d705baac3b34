#pragma once

// A made-up ride, sample by sample, for tests and benchmarks of what charts
// it: wavy readings, and every kPeakSpacing steps one reading spiking (in turn
// up and down) on a step that bounces. Beside it, a ball rising one unit a
// step, recorded into a ride profile.

#include "simulation/RideMeasure.h"
#include "simulation/RideProfile.h"
#include "simulation/SimulationState.h"

#include <cmath>

namespace builders {

inline constexpr double kRideStep = 0.01;
inline constexpr long kPeakSpacing = 5000;
inline constexpr double kPeak = 1000.0;

inline RideSample rideSampleAt(long k)
{
    RideSample s;
    s.t = k * kRideStep;
    s.distance = 3.0 * s.t;
    s.speed = 5.0 + std::sin(0.37 * k);
    s.height = std::cos(0.011 * k);
    s.felt = {1.0 + 0.2 * std::sin(0.05 * k), 0.1 * std::cos(0.7 * k), 0.05 * std::sin(1.3 * k)};
    if (k % kPeakSpacing != 0) return s;
    const double spike = (k / kPeakSpacing) % 2 == 0 ? kPeak : -kPeak;
    double* readings[] = {&s.speed, &s.height, &s.felt.vertical, &s.felt.lateral, &s.felt.longitudinal};
    *readings[(k / kPeakSpacing) % 5] = spike;
    s.events = EventBit(SimulationEventKind::Bounce);
    return s;
}

// Records samples of a ball at heights from, from + 1, ..., to - 1 into the
// profile, as the physics thread's step does.
inline void recordRisingBall(RideProfile& profile, long from, long to)
{
    LiveBall ball;
    for (long k = from; k < to; ++k) {
        ball.ballCentre.y = static_cast<double>(k);
        profile.Record(ball, 0.01, StepEvents(), false, RideModel());
    }
}

} // namespace builders
