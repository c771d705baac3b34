#pragma once

// The ride profile of a headless run, one sample per step: what the
// recorder measured when the step ran, the ball held where it stands when
// the step was skipped (a stopped ball), on the run's own clock k * h.

#include "simulation/RideMeasure.h"

#include <cstdint>

class COpenGLTemplateDoc;

namespace cli {

class HeadlessRide {
public:
    explicit HeadlessRide(const COpenGLTemplateDoc& doc);

    // Runs step k (from 1) of length h through the physics step and returns its sample.
    RideSample Step(COpenGLTemplateDoc& doc, long k, double h);

    // Extremes and totals of the samples returned so far.
    const RideSummary& Summary() const { return summary_; }

private:
    std::uint64_t recorded_ = 0;
    double distance_ = 0.0;
    RideSummary summary_;
};

} // namespace cli
