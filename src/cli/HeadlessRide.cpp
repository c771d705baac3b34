#include "cli/HeadlessRide.h"

#include "cli/CliCommands.h"
#include "cli/SimulateCommand.h"
#include "document/OpenGLTemplateDoc.h"
#include "simulation/RideFile.h"
#include "simulation/Simulation.h"

#include <charconv>
#include <ostream>

namespace cli {

namespace {

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

// Every digit a double needs to read back as itself.
std::string exact(const Vec3& v)
{
    std::string text = "[";
    for (const double c : {v.x, v.y, v.z}) {
        char buffer[32];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, c);
        if (text.size() > 1) text += ", ";
        text.append(buffer, written.ptr);
    }
    return text + "]";
}

bool launchOptionGiven(const SimulateOptions& o)
{
    return o.dt > 0.0 || o.hasSpeed || o.hasDirection || o.hasStart || o.pauseOnAir || o.pauseOnBounce ||
           o.preventSameSurface || o.noBounce || o.pauseEachFrame;
}

} // namespace

int HeadlessRide::Prepare(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err)
{
    if (!o.replay.empty()) {
        if (const int code = PrepareReplay(doc, o, err)) return code;
    } else {
        if (const int code = PrepareSimulation(doc, o, err)) return code;
        steps_ = o.steps;
        h_ = doc.simulation.maxStepTime;
    }
    recorded_ = doc.simulation.rideProfile.Recorded();
    return kExitOk;
}

int HeadlessRide::PrepareReplay(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err)
{
    if (launchOptionGiven(o))
        return fail(err,
                    "--replay runs the ride with its own launch, step lengths and switches; give none of --dt, "
                    "--speed, --direction, --start, --pause-on-air, --pause-on-bounce, --prevent-same-surface, "
                    "--no-bounce, --pause-each-frame with it",
                    kExitUsage);
    RideRecord ride;
    std::string error;
    if (!LoadRideFile(o.replay, ride, error)) return fail(err, error, kExitFile);
    if (RideDocumentHash(doc) != ride.documentHash)
        return fail(err, RideOfAnotherDocument(o.replay), kExitFile);
    const long recordedSteps = static_cast<long>(ride.steps.size());
    if (o.hasSteps && o.steps > recordedSteps)
        return fail(err, "--steps " + std::to_string(o.steps) + " is more than the " + std::to_string(recordedSteps) +
                             " steps of " + o.replay,
                    kExitUsage);
    steps_ = o.hasSteps ? o.steps : recordedSteps;
    ridePath_ = o.replay;
    replay_.emplace(std::move(ride));
    if (const std::string problem = replay_->Launch(doc); !problem.empty())
        return fail(err, o.replay + ": " + problem, kExitNoStartSurface);
    return kExitOk;
}

RideSample HeadlessRide::Step(COpenGLTemplateDoc& doc)
{
    SimulationState& sim = doc.simulation;
    const long k = ++done_;
    double h = h_;
    if (replay_) {
        h = replay_->Step(doc);
        time_ += h;
    } else {
        sim.stepTime = h;
        StepSimulation(doc);
    }
    RideSample sample;
    const std::uint64_t recorded = sim.rideProfile.Recorded();
    const bool ran = recorded > recorded_ && sim.rideProfile.Newest(sample);
    recorded_ = recorded;
    if (!ran) {
        sample = MeasureHeldBall(sim.ball, RideModelOf(sim));
        sample.distance = distance_;
        sample.events = EventBits(sim.events);
    }
    sample.t = replay_ ? time_ : static_cast<double>(k) * h;
    distance_ = sample.distance;
    summary_.Add(sample, ran ? h : 0.0);
    return sample;
}

std::optional<double> HeadlessRide::NextStepEnd() const
{
    if (!replay_) return static_cast<double>(done_ + 1) * h_;
    if (done_ >= steps_ || Diverged()) return std::nullopt;
    return time_ + replay_->ride().steps[static_cast<std::size_t>(done_)].h;
}

double HeadlessRide::Duration() const
{
    if (!replay_) return static_cast<double>(steps_) * h_;
    // Summed in step order, as Step advances the clock.
    double time = 0.0;
    for (long k = 0; k < steps_; ++k) time += replay_->ride().steps[static_cast<std::size_t>(k)].h;
    return time;
}

int HeadlessRide::ReportDivergence(std::ostream& err) const
{
    const RideReplay::Divergence& d = *replay_->divergence();
    return fail(err,
                ridePath_ + " diverges at step " + std::to_string(d.step) + ": the ride has the ball's centre at " +
                    exact(d.recorded) + ", the replay at " + exact(d.replayed),
                kExitDiverged);
}

} // namespace cli
