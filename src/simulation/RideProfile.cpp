#include "simulation/RideProfile.h"

#include "simulation/SimulationState.h"

#include <algorithm>

namespace {

// The step's losses from the velocity update v' = (v + dv) * damping, in the
// order the step applies them: the damping takes 1 - damping^2 of the
// kinetic energy before it; an impact (bounce or landing) leaves restitution
// of the speed the ball arrived with.
void splitLosses(RideSample& s, const Vec3& before, const LiveBall& ball, double h, const StepEvents& events,
                 const RideModel& model)
{
    const Vec3 undamped = before + ball.velocityChange;
    const Vec3 updated = undamped * model.velocityDamping;
    const double d2 = model.velocityDamping * model.velocityDamping;
    const double r2 = model.restitution * model.restitution;
    s.dampingLoss = 0.5 * dot(undamped, undamped) * (1.0 - d2);
    if (events.contains(SimulationEventKind::Bounce) || events.contains(SimulationEventKind::Land))
        s.impactLoss = 0.5 * dot(updated, updated) * (1.0 - r2);
    s.forceWork = dot(ball.appliedForce, (before + updated) * 0.5) * h;
}

} // namespace

RideProfile::RideProfile() { samples_.reserve(kCapacity); }

void RideProfile::Restart(const LiveBall& ball)
{
    std::lock_guard guard(mutex_);
    previousVelocity_ = ball.velocity;
    previousCentre_ = ball.ballCentre;
    damping_.Clear();
}

void RideProfile::Clear()
{
    std::lock_guard guard(mutex_);
    samples_.clear();
    recorded_ = 0;
    ++generation_;
    summary_ = RideSummary();
    time_ = distance_ = 0.0;
}

void RideProfile::Record(const LiveBall& ball, double h, const StepEvents& events, bool advanced,
                         const RideModel& model)
{
    std::lock_guard guard(mutex_);
    const bool moved = advanced && h > 0.0 && !events.contains(SimulationEventKind::FallReset);
    time_ += h;
    if (moved) distance_ += length(ball.ballCentre - previousCentre_);

    RideSample s = MeasureHeldBall(ball, model);
    if (moved) {
        // The damping slows the velocity the step's forces gave the ball, along the travel.
        const double undampedSpeed = length(previousVelocity_ + ball.velocityChange);
        const double deceleration = damping_.Add(h, (1.0 - model.velocityDamping) * undampedSpeed);
        const Vec3 a = ContactAcceleration(ball, model.gravity) - deceleration * TravelDirection(ball);
        s.felt = DecomposeFeltAcceleration(a, ball, model.gravity);
        splitLosses(s, previousVelocity_, ball, h, events, model);
    }
    s.t = time_;
    s.distance = distance_;
    s.events = EventBits(events);
    previousVelocity_ = ball.velocity;
    previousCentre_ = ball.ballCentre;

    summary_.Add(s, h);
    if (samples_.size() < kCapacity)
        samples_.push_back(s);
    else
        samples_[recorded_ % kCapacity] = s;
    ++recorded_;
}

std::uint64_t RideProfile::Generation() const
{
    std::lock_guard guard(mutex_);
    return generation_;
}

std::uint64_t RideProfile::Recorded() const
{
    std::lock_guard guard(mutex_);
    return recorded_;
}

std::uint64_t RideProfile::CopySince(std::uint64_t first, std::vector<RideSample>& out) const
{
    std::lock_guard guard(mutex_);
    const std::uint64_t oldest = recorded_ - samples_.size();
    for (std::uint64_t k = std::max(first, oldest); k < recorded_; ++k) out.push_back(samples_[k % kCapacity]);
    return recorded_;
}

bool RideProfile::Newest(RideSample& sample) const
{
    std::lock_guard guard(mutex_);
    if (recorded_ == 0) return false;
    sample = samples_[(recorded_ - 1) % kCapacity];
    return true;
}

RideSummary RideProfile::Summary() const
{
    std::lock_guard guard(mutex_);
    return summary_;
}
