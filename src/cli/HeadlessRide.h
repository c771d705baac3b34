#pragma once

// The stepping path every headless command shares: the ball launched as the
// options say (or as the ride they replay was launched), then stepped through
// the physics step one step at a time: N steps of the fixed length, or the
// ride's steps with their recorded lengths and force input, each position
// checked against the ride. Each step gives its ride profile sample: what
// the recorder measured when the step ran, the ball held where it stands
// when the step was skipped (a stopped ball), on the run's own clock.

#include "simulation/RideMeasure.h"
#include "simulation/RideReplay.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

class COpenGLTemplateDoc;

namespace cli {

struct SimulateOptions;

// A replayed step put the ball elsewhere than the ride says it was.
inline constexpr int kExitDiverged = 4;

class HeadlessRide {
public:
    // Applies the options to the opened document and launches the ball.
    // Returns 0, or the exit code after writing the complaint to err: 1 for
    // options a replayed ride gives itself, 2 for a ride that cannot be read,
    // is damaged or was recorded on another version of the document, and for a
    // start surface the document does not have.
    int Prepare(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err);

    // The steps to run: --steps, or the ride's.
    long StepCount() const { return steps_; }
    // Runs the next step and returns its sample.
    RideSample Step(COpenGLTemplateDoc& doc);
    // The run's clock once the next step has run: the fixed length on from
    // the last step, or the ride's next recorded length on from the sum of
    // those before it. None when a replay has no step left to run or has
    // left the ride.
    std::optional<double> NextStepEnd() const;
    // The run's clock after all StepCount() steps.
    double Duration() const;

    const RideReplay* Replay() const { return replay_ ? &*replay_ : nullptr; }
    // The replay has left the ride; no further step moves the ball.
    bool Diverged() const { return replay_ && replay_->divergence(); }
    // Says on err where the replay left the ride and returns kExitDiverged.
    int ReportDivergence(std::ostream& err) const;

    // Extremes and totals of the samples returned so far.
    const RideSummary& Summary() const { return summary_; }

private:
    int PrepareReplay(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err);

    std::optional<RideReplay> replay_;
    std::string ridePath_;
    long steps_ = 0, done_ = 0;
    double h_ = 0.0;    // the fixed step length
    double time_ = 0.0; // the replay's clock
    std::uint64_t recorded_ = 0;
    double distance_ = 0.0;
    RideSummary summary_;
};

} // namespace cli
