#pragma once

// A run's ride samples thinned for a chart to a fixed budget. The chart's x
// (time or distance) is cut into at most kColumns columns (or as many as the
// chart asks for); each column keeps
// its first and last sample, the samples that hold the lowest and the highest
// value of every charted reading (speed, height, the three felt forces) and
// the first sample of each kind of event. So the line through them draws
// every peak, and every event mark of the run stays, while memory and the
// number of samples kept do not grow with the run's length: when a sample
// lies beyond the last column, neighbouring columns merge in pairs and each
// column covers twice the width.

#include "simulation/RideMeasure.h"

#include <array>
#include <cstdint>
#include <vector>

class RideDecimator {
public:
    static constexpr std::size_t kColumns = 2048;

    // columns: how many the chart's x is cut into, an even number from 2 on.
    explicit RideDecimator(std::size_t columns = kColumns);

    // Adds the next sample of the run at x; x should not decrease from one
    // sample to the next (one below the first x counts as the first). A sample
    // with no finite x is left out.
    void Add(double x, const RideSample& sample);

    // The kept samples in the order they were added, each once.
    std::vector<RideSample> Samples() const;

private:
    // Lowest and highest of each reading, the first and the last sample, then
    // the first of each event kind.
    static constexpr std::size_t kReadings = 5;
    static constexpr std::size_t kFirst = 2 * kReadings, kLast = kFirst + 1, kFirstEvent = kLast + 1;
    static constexpr std::size_t kEventKinds = 9;
    static constexpr std::size_t kRoles = kFirstEvent + kEventKinds;

    struct Kept {
        RideSample sample;
        std::uint64_t order = 0; // place in the run, from 1; 0: none kept
    };
    using Column = std::array<Kept, kRoles>;

    void Widen();
    static void Offer(Column& column, std::size_t role, const Kept& candidate);

    std::size_t columnCount_;
    std::vector<Column> columns_; // up to the last one holding a sample
    double origin_ = 0.0;
    double width_ = 1.0e-6; // of a column, in x
    std::uint64_t added_ = 0;
};
