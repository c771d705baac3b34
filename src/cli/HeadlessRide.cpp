#include "cli/HeadlessRide.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/Simulation.h"

namespace cli {

HeadlessRide::HeadlessRide(const COpenGLTemplateDoc& doc) : recorded_(doc.simulation.rideProfile.Recorded()) {}

RideSample HeadlessRide::Step(COpenGLTemplateDoc& doc, long k, double h)
{
    SimulationState& sim = doc.simulation;
    sim.stepTime = h;
    StepSimulation(doc);
    RideSample sample;
    const std::uint64_t recorded = sim.rideProfile.Recorded();
    const bool ran = recorded > recorded_ && sim.rideProfile.Newest(sample);
    recorded_ = recorded;
    if (!ran) {
        sample = MeasureHeldBall(sim.ball, RideModelOf(sim));
        sample.distance = distance_;
        sample.events = EventBits(sim.events);
    }
    sample.t = static_cast<double>(k) * h;
    distance_ = sample.distance;
    summary_.Add(sample, ran ? h : 0.0);
    return sample;
}

} // namespace cli
