#include "simulation/RideRecorder.h"

void RideRecorder::Launch(const RideLaunch& launch, const RideSwitches& switches, std::uint64_t documentHash)
{
    std::lock_guard guard(mutex_);
    record_ = RideRecord();
    record_.launch = launch;
    record_.switches = switches_ = switches;
    record_.documentHash = documentHash;
    circle_ = ForceCircleLayout();
    live_ = true;
}

void RideRecorder::RecordStep(const RideSwitches& switches, const ForceInput& force, double h, const Vec3& centre)
{
    std::lock_guard guard(mutex_);
    if (!live_) return;
    // A run too long to keep ends, unfinished, at its limit.
    if (record_.steps.size() == kMaxSteps) {
        live_ = false;
        return;
    }
    const std::size_t next = record_.steps.size();
    if (!(switches == switches_)) {
        record_.changes.push_back({RideChange::Switches, next, switches, {}});
        switches_ = switches;
    }
    if (!(force.circle == circle_)) {
        record_.changes.push_back({RideChange::Circle, next, {}, force.circle});
        circle_ = force.circle;
    }
    record_.steps.push_back({h, centre, force.active, force.active ? force.x : 0, force.active ? force.y : 0});
}

void RideRecorder::End(RideEnd how)
{
    std::lock_guard guard(mutex_);
    if (!live_) return;
    live_ = false;
    record_.end = how;
}

void RideRecorder::Clear()
{
    std::lock_guard guard(mutex_);
    record_ = RideRecord();
    live_ = false;
}

bool RideRecorder::HasRun() const
{
    std::lock_guard guard(mutex_);
    return !record_.steps.empty();
}

RideRecord RideRecorder::Copy() const
{
    std::lock_guard guard(mutex_);
    return record_;
}
